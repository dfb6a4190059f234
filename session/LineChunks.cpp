#include "LineChunks.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "SessionError.h"

namespace session {

LineChunks::LineChunks(const std::string& path, long long offset, long firstLine, std::size_t bytes)
    : path_(path), file_(path, std::ios::binary), bytes_(bytes), nextLine_(firstLine), position_(offset)
{
    if (!file_ || !file_.seekg(offset))
        throw SessionError(TARN_SESSION_UNREADABLE, path + ": cannot read the file: " + std::strerror(errno));
}

bool LineChunks::next(LineChunk& chunk)
{
    chunk.text.swap(carry_);
    carry_.clear();
    // Read until the chunk holds its size and a line end, or the file ends.
    std::size_t end = std::string::npos;
    for (;;) {
        const std::size_t searchFrom = chunk.text.size() >= bytes_ ? bytes_ - 1 : 0;
        if (chunk.text.size() >= bytes_) end = chunk.text.find('\n', searchFrom);
        if (end != std::string::npos || ended_) break;
        const std::size_t kept = chunk.text.size();
        chunk.text.resize(kept + bytes_);
        file_.read(&chunk.text[kept], static_cast<std::streamsize>(bytes_));
        chunk.text.resize(kept + static_cast<std::size_t>(file_.gcount()));
        if (file_.bad()) throw SessionError(TARN_SESSION_UNREADABLE, path_ + ": read error: " + std::strerror(errno));
        ended_ = !file_;
    }
    if (end != std::string::npos) {
        carry_.assign(chunk.text, end + 1, std::string::npos);
        chunk.text.resize(end + 1);
    }
    if (chunk.text.empty()) return false;
    chunk.firstLine = nextLine_;
    chunk.lines = static_cast<long>(std::count(chunk.text.begin(), chunk.text.end(), '\n')) +
                  (chunk.text.back() == '\n' ? 0 : 1);
    nextLine_ += chunk.lines;
    position_ += static_cast<long long>(chunk.text.size());
    return true;
}

}  // namespace session
