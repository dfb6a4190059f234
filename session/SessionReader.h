// Reads the frames of a session file, checking every row as tarn-replay
// does: the header, the field count, the numbers, the time order.
#pragma once

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "ColumnCheck.h"
#include "CsvReader.h"
#include "Frame.h"
#include "SessionLayout.h"
#include "TarnSession.h"
#include "TimeOrder.h"

namespace session {

struct ReaderOptions {
    bool allowRepeatedTime = false;  // a frame may have the time of the one before
    bool strictColumns = false;      // a near miss of a known column is refused
    // How the message for a repeated time names the way to allow it.
    std::string repeatedTimeHint = "--allow-repeated-time";
};

// Opens a session CSV file and reads its header on construction, then one
// Frame per call of next(). Values of absent gloves and devices are left as
// the Frame holds them. Every problem is thrown as a SessionError whose
// message names the file and, for rows, the line:
//  - UNREADABLE: the file cannot be opened or a read fails;
//  - BAD_HEADER: empty file, or a header SessionLayout rejects;
//  - NEAR_MISS: with strictColumns, a column within two edits of a known
//    column the file lacks (otherwise a warning);
//  - COLUMN_COUNT: a row with another number of fields than the header;
//  - NOT_A_NUMBER: a field of a known column that parseNumberField rejects;
//  - TIME_ORDER: a time that is not a number, goes back, or repeats
//    (unless allowRepeatedTime);
//  - NO_FRAMES: the end of the file before any row.
class SessionReader {
public:
    explicit SessionReader(const std::string& path, ReaderOptions options = {});

    const SessionLayout& layout() const { return layout_; }
    // The columns the reader does not read, in file order, with near misses.
    const std::vector<OtherColumn>& others() const { return others_; }
    // One sentence per near miss: "column X is not a known column; did you
    // mean Y?".
    const std::vector<std::string>& warnings() const { return warnings_; }

    // Reads the next row into `frame`; false at the end of the file.
    bool next(Frame& frame);

    // The path, the rules, and where the rows not read yet start: for
    // readers of the rest of the file in chunks (LineChunks), which parse
    // each row with parse() and check times with a TimeOrder of their own.
    const std::string& path() const { return path_; }
    TimeOrder timeOrder() const;
    long long offset() const { return csv_.bytesRead(); }
    // Reads a row's fields into `frame`: their count, and a number in every
    // known column (COLUMN_COUNT, NOT_A_NUMBER at `line`). Const: rows may
    // be parsed on several threads at once.
    void parse(const std::vector<std::string_view>& fields, long line, Frame& frame) const;

    // The fields of the row read last, as text (for columns carried through).
    const std::vector<std::string_view>& fields() const { return fields_; }

    // Line number of the row read last.
    long lineNumber() const { return csv_.lineNumber(); }

    // Share of the file read so far, 0 to 1.
    double fractionRead() const;

    // The lines after the ones read so far (an upper bound on the frames
    // left), counted by reading the rest of the file once aside.
    std::size_t linesLeft() const;

private:
    [[noreturn]] void refuse(tarn_session_status status, long line, const std::string& what) const;

    std::string path_;
    ReaderOptions options_;
    std::ifstream file_;
    CsvReader csv_;
    SessionLayout layout_;
    std::vector<OtherColumn> others_;
    std::vector<std::string> warnings_;
    std::vector<std::string_view> fields_;
    long long size_ = 0;
    TimeOrder order_;
    bool anyFrame_ = false;
};

}  // namespace session
