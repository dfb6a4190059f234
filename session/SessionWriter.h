// Writes frames as CSV in the column layout of a session.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "Frame.h"
#include "SessionLayout.h"

namespace session {

class SessionWriter {
public:
    // significantDigits 0: every number is written with the fewest digits
    // that read back to the same double (ShortestText.h); otherwise with
    // that many significant digits.
    SessionWriter(std::ostream& out, const SessionLayout& layout, int significantDigits = 0);

    void writeHeader();

    // Writes one row: the known columns from `frame`, every other column
    // copied from `passThrough` (the row's fields as read; may be empty when
    // the layout has no other columns).
    void write(const Frame& frame, const std::vector<std::string_view>& passThrough);

    // Hands the rows written so far to the stream (also done whenever a
    // mebibyte has gathered, and on destruction).
    void flush();
    ~SessionWriter();

private:
    void appendNumber(double value);

    std::ostream& out_;
    const SessionLayout& layout_;
    int digits_;
    std::vector<double> values_;
    std::string line_;  // rows not yet handed to the stream
};

}  // namespace session
