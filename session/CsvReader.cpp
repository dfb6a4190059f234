#include "CsvReader.h"

#include <cstring>

namespace session {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    text = text.substr(first, last - first + 1);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
    }
    return text;
}

}  // namespace

CsvReader::CsvReader(std::istream& in) : in_(in) {}

bool CsvReader::nextLine(std::string_view& line)
{
    constexpr std::size_t kBlock = 1 << 20;
    for (;;) {
        const char* begin = buffer_.data() + start_;
        const void* end = std::memchr(begin, '\n', buffer_.size() - start_);
        if (end != nullptr || (ended_ && start_ < buffer_.size())) {
            const std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - begin)
                                           : buffer_.size() - start_;
            line = std::string_view(begin, length);
            start_ += length + (end ? 1 : 0);
            bytes_ += static_cast<long long>(length) + 1;
            return true;
        }
        if (ended_) return false;
        // Keep the unfinished line, read the next block after it.
        buffer_.erase(0, start_);
        start_ = 0;
        const std::size_t kept = buffer_.size();
        buffer_.resize(kept + kBlock);
        in_.read(&buffer_[kept], static_cast<std::streamsize>(kBlock));
        buffer_.resize(kept + static_cast<std::size_t>(in_.gcount()));
        ended_ = !in_;
    }
}

bool CsvReader::split(std::string_view line, bool first, std::vector<std::string_view>& fields)
{
    fields.clear();
    if (first && line.substr(0, 3) == "\xEF\xBB\xBF") {
        line.remove_prefix(3);
    }
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (line.find_first_not_of(" \t") == std::string_view::npos) {
        return false;
    }
    for (;;) {
        const auto comma = line.find(',');
        fields.push_back(trimmed(line.substr(0, comma)));
        if (comma == std::string_view::npos) {
            return true;
        }
        line.remove_prefix(comma + 1);
    }
}

bool CsvReader::next(std::vector<std::string_view>& fields)
{
    std::string_view line;
    while (nextLine(line)) {
        ++line_;
        if (split(line, line_ == 1, fields)) return true;
    }
    fields.clear();
    return false;
}

}  // namespace session
