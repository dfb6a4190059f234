#include "LineChunks.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "SessionError.h"

namespace session {

LineChunks::LineChunks(const std::string& path, long long offset, long firstLine, std::size_t bytes, std::size_t lines)
    : path_(path), bytes_(bytes), lines_(lines), nextLine_(firstLine), position_(offset)
{
    errno = 0;
    file_.open(path, std::ios::binary);
    if (!file_ || !file_.seekg(offset))
        throw SessionError(TARN_SESSION_UNREADABLE, path + ": cannot read the file: " + std::strerror(errno));
}

bool LineChunks::next(LineChunk& chunk)
{
    chunk.text.swap(carry_);
    carry_.clear();
    // Read until the chunk holds its size or its lines, ending with a line
    // end, or the file ends. Each search starts where the last one ended.
    std::size_t end = std::string::npos, searched = 0, lines = 0;
    for (;;) {
        const char* const base = chunk.text.data();
        const char* const stop = base + chunk.text.size();
        for (const char* at = base + searched; at < stop; ++at) {
            at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(stop - at)));
            if (at == nullptr) break;
            if (++lines >= lines_ || static_cast<std::size_t>(at - base) + 1 >= bytes_) {
                end = static_cast<std::size_t>(at - base);
                break;
            }
        }
        searched = chunk.text.size();
        if (end != std::string::npos || ended_) break;
        const std::size_t kept = chunk.text.size();
        chunk.text.resize(kept + bytes_);
        errno = 0;
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
