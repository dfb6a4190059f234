#pragma once
// The error lines of the matrix and attitude code.
//
// A failure writes exactly one line to standard output: the message bytes,
// then an end of line, then a flush. The messages are GBK (code page 936)
// text; ErrorLine.cpp keeps every one of them as escaped byte strings, and
// they are written byte for byte, with no conversion or localisation.

namespace tarn {

enum class ErrorLine {
    Constructor,
    GetRowIndex,
    GetColIndex,
    SetColIndex,
    ToDoubleLength,
    AddColumns, AddRows, AddRowsAndColumns,
    SubtractColumns, SubtractRows, SubtractRowsAndColumns,
    DivideColumns, DivideRows, DivideRowsAndColumns,
    DotColumns, DotRows, DotRowsAndColumns,
    ProductDimensions,
    SumDimension,
    SinEmpty, CosEmpty, AsinEmpty, SqrtEmpty, Atan2Empty, ModuleEmpty,
    CbnLength,
    WMatrixLength,
    SYDimensions, SYRotationOrder,
    AttitudeAngleDimensions, AttitudeAngleRotationOrder,
};

// The message bytes of `line`, without the end of line.
const char* errorText(ErrorLine line);

// The one sink of error lines: writes the message of `line` to standard
// output, ends the line, flushes; or, while an ErrorLineCounter is alive on
// the calling thread, counts it there instead.
void writeErrorLine(ErrorLine line);

// Diverts the error lines of its thread for its lifetime: the integrator
// API reports statuses and never writes to a stream.
class ErrorLineCounter {
public:
    ErrorLineCounter();
    ~ErrorLineCounter();
    ErrorLineCounter(const ErrorLineCounter&) = delete;
    ErrorLineCounter& operator=(const ErrorLineCounter&) = delete;

    int count() const { return count_; }

private:
    friend void writeErrorLine(ErrorLine line);
    ErrorLineCounter* outer_;
    int count_ = 0;
};

}  // namespace tarn
