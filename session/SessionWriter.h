// Writes frames as CSV in the column layout of a session.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "Frame.h"
#include "SessionLayout.h"

namespace session {

// Formats rows of a layout into text: the known columns from the frame,
// every other column copied from the row's fields as read. One formatter
// per thread.
class RowFormatter {
public:
    // significantDigits 0: every number is written with the fewest digits
    // that read back to the same double (ShortestText.h); otherwise with
    // that many significant digits (at most 17).
    explicit RowFormatter(const SessionLayout& layout, int significantDigits = 0);

    // Appends the header row to `out`.
    void header(std::string& out) const;
    // Appends one row to `out`; `passThrough` may be empty when the layout
    // has no other columns.
    void row(const Frame& frame, const std::vector<std::string_view>& passThrough, std::string& out);

private:
    // Writes `value` at `out` (room for kLongestShortestText characters);
    // returns the end of what it wrote.
    char* writeNumber(double value, char* out) const;

    const SessionLayout& layout_;
    int digits_;
    std::vector<double> values_;
};

// Rows formatted and handed to a stream a mebibyte at a time.
class SessionWriter {
public:
    SessionWriter(std::ostream& out, const SessionLayout& layout, int significantDigits = 0);

    void writeHeader();

    // Writes one row (RowFormatter::row).
    void write(const Frame& frame, const std::vector<std::string_view>& passThrough);

    // Hands the rows written so far to the stream (also done whenever a
    // mebibyte has gathered, and on destruction).
    void flush();
    ~SessionWriter();

private:
    std::ostream& out_;
    RowFormatter formatter_;
    std::string text_;  // rows not yet handed to the stream
};

}  // namespace session
