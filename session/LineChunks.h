// The rest of a session file in chunks of whole lines, for readers that
// parse chunks on several threads: each chunk's text and the number of its
// first line, read in order by one thread.
#pragma once

#include <fstream>
#include <string>

namespace session {

struct LineChunk {
    std::string text;     // whole lines, each ending in LF but perhaps the file's last
    long firstLine = 0;   // 1-based line number of the first
    long lines = 0;
};

class LineChunks {
public:
    // From byte `offset` of the file at `path`, whose line `firstLine`
    // starts there; chunks of about `bytes` (a longer line makes a longer
    // chunk) and at most `lines` lines. Throws SessionError (UNREADABLE)
    // when the file cannot be read.
    LineChunks(const std::string& path, long long offset, long firstLine, std::size_t bytes, std::size_t lines);

    // The next chunk into `chunk` (its text's room reused); false at the end.
    bool next(LineChunk& chunk);

    // Bytes handed out so far, from the start of the file.
    long long position() const { return position_; }

private:

    std::string path_;
    std::ifstream file_;
    std::size_t bytes_, lines_;
    std::string carry_;  // an unfinished line read ahead
    long nextLine_;
    long long position_;
    bool ended_ = false;
};

}  // namespace session
