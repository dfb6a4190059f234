// Reads the frames of a session file, checking every row.
#pragma once

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "CsvReader.h"
#include "Frame.h"
#include "SessionLayout.h"

namespace replay {

// Opens a session CSV file and reads its header on construction, then one
// Frame per call of next(). Values of absent gloves and devices are left as
// the Frame holds them. Every problem is thrown as a ReplayError whose
// message names the file and, for rows, the line:
//  - Unreadable: the file cannot be opened or a read fails;
//  - BadHeader:  empty file, or a header SessionLayout rejects;
//  - ColumnCount: a row with another number of fields than the header;
//  - NotANumber: a field of a known column that parseNumberField rejects.
class SessionReader {
public:
    explicit SessionReader(const std::string& path);

    const SessionLayout& layout() const { return layout_; }

    // Reads the next row into `frame`; false at the end of the file.
    bool next(Frame& frame);

    // The fields of the row read last, as text (for columns carried through).
    const std::vector<std::string_view>& fields() const { return fields_; }

    // Line number of the row read last.
    long lineNumber() const { return csv_.lineNumber(); }

    // Share of the file read so far, 0 to 1.
    double fractionRead() const;

private:
    double number(std::size_t column) const;

    std::string path_;
    std::ifstream file_;
    CsvReader csv_;
    SessionLayout layout_;
    std::vector<std::string_view> fields_;
    long long size_ = 0;
};

}  // namespace replay
