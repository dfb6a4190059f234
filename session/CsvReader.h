// Splits a comma-separated text stream into records, one record per line.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace session {

// Reads records line by line, from blocks of a mebibyte, and keeps the line
// number of each, so callers can point at the exact line of a bad record. The format it accepts:
//  - fields are separated by commas; blanks and tabs around a field are
//    dropped, and so is one pair of double quotes enclosing a whole field
//    (quoted fields cannot contain commas, quotes or line breaks);
//  - lines end in LF or CRLF; the last line may lack its line end;
//  - a UTF-8 byte-order mark at the start of the stream is skipped;
//  - blank lines (nothing but blanks) are skipped but still counted.
class CsvReader {
public:
    explicit CsvReader(std::istream& in);

    // Reads the next non-blank record into `fields`; returns false at the
    // end of the stream (or on a read error: see failed()). The views point
    // into the reader and stay valid until the next call.
    bool next(std::vector<std::string_view>& fields);

    // The fields of one line (its line end already cut off; `first`: the
    // stream's first line, which may start with a byte-order mark) into
    // `fields`, views into `line`; false for a blank line.
    static bool split(std::string_view line, bool first, std::vector<std::string_view>& fields);

    // 1-based line number of the record returned last.
    long lineNumber() const { return line_; }

    // Bytes consumed so far, for progress display.
    long long bytesRead() const { return bytes_; }

    // True when the stream failed for another reason than its end.
    bool failed() const { return in_.bad(); }

private:
    // The next line without its end, or false at the end of the stream.
    bool nextLine(std::string_view& line);

    std::istream& in_;
    std::string buffer_;       // a block of the stream
    std::size_t start_ = 0;    // where the next line starts in buffer_
    bool ended_ = false;       // the stream has no more bytes
    long line_ = 0;
    long long bytes_ = 0;
};

}  // namespace session
