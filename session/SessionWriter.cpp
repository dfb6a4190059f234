#include "SessionWriter.h"

#include <algorithm>
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
    // Room for the longest row first, then the text written in place.
    std::size_t longest = values_.size() * (kLongestShortestText + 1) + 1;
    for (std::size_t c = 0; c < values_.size(); ++c)
        if (!layout_.isKnown(c)) longest += passThrough[c].size();
    const std::size_t start = out.size();
    out.resize(start + longest);
    char* at = &out[start];
    for (std::size_t c = 0; c < values_.size(); ++c) {
        if (c != 0) *at++ = ',';
        if (layout_.isKnown(c)) {
            at = writeNumber(values_[c], at);
        } else {
            at = std::copy(passThrough[c].begin(), passThrough[c].end(), at);
        }
    }
    *at++ = '\n';
    out.resize(static_cast<std::size_t>(at - out.data()));
}

char* RowFormatter::writeNumber(double value, char* out) const
{
    return digits_ == 0 ? writeShortest(out, value)
                        : std::to_chars(out, out + kLongestShortestText, value, std::chars_format::general, digits_).ptr;
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
