#include "SessionWriter.h"

#include <array>
#include <charconv>

#include "ShortestText.h"

namespace session {

SessionWriter::SessionWriter(std::ostream& out, const SessionLayout& layout, int significantDigits)
    : out_(out), layout_(layout), digits_(significantDigits), values_(layout.names().size())
{
}

void SessionWriter::writeHeader()
{
    line_.clear();
    for (const auto& name : layout_.names()) {
        if (!line_.empty()) {
            line_ += ',';
        }
        line_ += name;
    }
    line_ += '\n';
    flush();
}

void SessionWriter::flush()
{
    out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
    line_.clear();
}

SessionWriter::~SessionWriter() { flush(); }

void SessionWriter::write(const Frame& frame, const std::vector<std::string_view>& passThrough)
{
    forEachKnownValue(layout_, frame, [this](std::size_t column, double value) { values_[column] = value; });
    for (std::size_t c = 0; c < values_.size(); ++c) {
        if (c != 0) {
            line_ += ',';
        }
        if (layout_.isKnown(c)) {
            appendNumber(values_[c]);
        } else {
            line_ += passThrough[c];
        }
    }
    line_ += '\n';
    if (line_.size() >= (1u << 20)) flush();
}

void SessionWriter::appendNumber(double value)
{
    std::array<char, 32> text{};
    char* end = digits_ == 0 ? writeShortest(text.data(), value)
                             : std::to_chars(text.data(), text.data() + text.size(), value,
                                             std::chars_format::general, digits_).ptr;
    line_.append(text.data(), end);
}

}  // namespace session
