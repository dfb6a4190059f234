#include "SessionReader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "NumberField.h"
#include "SessionError.h"

namespace session {

namespace {

std::ifstream openForReading(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw SessionError(TARN_SESSION_UNREADABLE, path + ": is a directory, not a session file");
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw SessionError(TARN_SESSION_UNREADABLE, path + ": cannot open the file for reading: " + std::strerror(errno));
    }
    return file;
}

}  // namespace

SessionReader::SessionReader(const std::string& path, ReaderOptions options)
    : path_(path), options_(std::move(options)), file_(openForReading(path)), csv_(file_), order_(timeOrder())
{
    std::error_code error;
    size_ = static_cast<long long>(std::filesystem::file_size(path, error));
    if (!csv_.next(fields_)) {
        if (csv_.failed()) {
            throw SessionError(TARN_SESSION_UNREADABLE, path_ + ": read error: " + std::strerror(errno));
        }
        throw SessionError(TARN_SESSION_BAD_HEADER, path_ + ": the file is empty (expected a header row)");
    }
    try {
        layout_ = SessionLayout::fromHeader({fields_.begin(), fields_.end()});
    } catch (const SessionError& e) {
        refuse(e.status(), lineNumber(), e.what());
    }
    others_ = otherColumns(layout_);
    for (const OtherColumn& column : others_) {
        if (column.probablyMeant.empty()) continue;
        const std::string what = "column " + column.name + " is not a known column; did you mean " +
                                 column.probablyMeant + "?";
        if (options_.strictColumns) refuse(TARN_SESSION_NEAR_MISS, lineNumber(), what);
        warnings_.push_back(what);
    }
}

void SessionReader::refuse(tarn_session_status status, long line, const std::string& what) const
{
    throw SessionError(status, path_ + ":" + std::to_string(line) + ": " + what);
}

TimeOrder SessionReader::timeOrder() const
{
    return TimeOrder(path_, options_.allowRepeatedTime ? std::string() : options_.repeatedTimeHint);
}

bool SessionReader::next(Frame& frame)
{
    if (!csv_.next(fields_)) {
        if (csv_.failed()) {
            throw SessionError(TARN_SESSION_UNREADABLE, path_ + ": read error: " + std::strerror(errno));
        }
        if (!anyFrame_) throw SessionError(TARN_SESSION_NO_FRAMES, path_ + ": no frames after the header");
        return false;
    }
    parse(fields_, lineNumber(), frame);
    order_.check(frame.time, lineNumber());
    anyFrame_ = true;
    return true;
}

void SessionReader::parse(const std::vector<std::string_view>& fields, long line, Frame& frame) const
{
    const auto expected = layout_.names().size();
    if (fields.size() != expected) {
        refuse(TARN_SESSION_COLUMN_COUNT,
               line, std::to_string(fields.size()) + " fields, the header has " + std::to_string(expected));
    }
    forEachKnownValue(layout_, frame, [&](std::size_t column, double& value) {
        const auto number = parseNumberField(fields[column]);
        if (!number) {
            refuse(TARN_SESSION_NOT_A_NUMBER, line,
                   "column " + layout_.names()[column] + ": \"" + std::string(fields[column]) + "\" is not a number");
        }
        value = *number;
    });
}

double SessionReader::fractionRead() const
{
    return size_ > 0 ? static_cast<double>(csv_.bytesRead()) / static_cast<double>(size_) : 1.0;
}

std::size_t SessionReader::linesLeft() const
{
    std::ifstream rest = openForReading(path_);
    rest.seekg(csv_.bytesRead());
    std::vector<char> block(1 << 20);
    std::size_t lines = 0;
    char last = '\n';
    while (rest) {
        rest.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto got = static_cast<std::size_t>(rest.gcount());
        for (std::size_t k = 0; k < got; ++k) lines += block[k] == '\n';
        if (got > 0) last = block[got - 1];
    }
    if (rest.bad()) throw SessionError(TARN_SESSION_UNREADABLE, path_ + ": read error: " + std::strerror(errno));
    return lines + (last != '\n');
}

}  // namespace session
