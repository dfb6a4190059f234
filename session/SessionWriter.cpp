#include "SessionWriter.h"

#include <array>
#include <charconv>

#include "ShortestText.h"

namespace session {

RowFormatter::RowFormatter(const SessionLayout& layout, int significantDigits)
    : layout_(layout), digits_(significantDigits), values_(layout.names().size())
{
}

void RowFormatter::header(std::string& out) const
{
    for (std::size_t c = 0; c < layout_.names().size(); ++c) {
        if (c != 0) out += ',';
        out += layout_.names()[c];
    }
    out += '\n';
}

void RowFormatter::row(const Frame& frame, const std::vector<std::string_view>& passThrough, std::string& out)
{
    forEachKnownValue(layout_, frame, [this](std::size_t column, double value) { values_[column] = value; });
    for (std::size_t c = 0; c < values_.size(); ++c) {
        if (c != 0) out += ',';
        if (layout_.isKnown(c)) {
            appendNumber(values_[c], out);
        } else {
            out += passThrough[c];
        }
    }
    out += '\n';
}

void RowFormatter::appendNumber(double value, std::string& out) const
{
    std::array<char, 32> text{};
    char* end = digits_ == 0 ? writeShortest(text.data(), value)
                             : std::to_chars(text.data(), text.data() + text.size(), value,
                                             std::chars_format::general, digits_).ptr;
    out.append(text.data(), end);
}

SessionWriter::SessionWriter(std::ostream& out, const SessionLayout& layout, int significantDigits)
    : out_(out), formatter_(layout, significantDigits)
{
}

void SessionWriter::writeHeader()
{
    formatter_.header(text_);
    flush();
}

void SessionWriter::write(const Frame& frame, const std::vector<std::string_view>& passThrough)
{
    formatter_.row(frame, passThrough, text_);
    if (text_.size() >= (1u << 20)) flush();
}

void SessionWriter::flush()
{
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
}

SessionWriter::~SessionWriter() { flush(); }

}  // namespace session
