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

// Writes the message of `line` to standard output, ends the line, flushes.
void writeErrorLine(ErrorLine line);

}  // namespace tarn
