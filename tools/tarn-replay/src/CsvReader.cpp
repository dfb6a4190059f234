#include "CsvReader.h"

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

bool CsvReader::next(std::vector<std::string_view>& fields)
{
    fields.clear();
    while (std::getline(in_, buffer_)) {
        bytes_ += static_cast<long long>(buffer_.size()) + 1;
        ++line_;
        if (line_ == 1 && buffer_.rfind("\xEF\xBB\xBF", 0) == 0) {
            buffer_.erase(0, 3);
        }
        if (!buffer_.empty() && buffer_.back() == '\r') {
            buffer_.pop_back();
        }
        if (buffer_.find_first_not_of(" \t") == std::string::npos) {
            continue;
        }
        std::string_view rest(buffer_);
        for (;;) {
            const auto comma = rest.find(',');
            fields.push_back(trimmed(rest.substr(0, comma)));
            if (comma == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(comma + 1);
        }
        return true;
    }
    return false;
}
