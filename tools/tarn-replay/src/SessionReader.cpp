#include "SessionReader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "ExitCode.h"
#include "NumberField.h"

namespace replay {

namespace {

std::ifstream openForReading(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw ReplayError(ExitCode::Unreadable, path + ": is a directory, not a session file");
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw ReplayError(ExitCode::Unreadable, path + ": cannot open the file for reading: " + std::strerror(errno));
    }
    return file;
}

}  // namespace

SessionReader::SessionReader(const std::string& path)
    : path_(path), file_(openForReading(path)), csv_(file_)
{
    std::error_code error;
    size_ = static_cast<long long>(std::filesystem::file_size(path, error));
    if (!csv_.next(fields_)) {
        if (csv_.failed()) {
            throw ReplayError(ExitCode::Unreadable, path_ + ": read error: " + std::strerror(errno));
        }
        throw ReplayError(ExitCode::BadHeader, path_ + ": the file is empty (expected a header row)");
    }
    try {
        layout_ = SessionLayout::fromHeader({fields_.begin(), fields_.end()});
    } catch (const ReplayError& e) {
        throw ReplayError(e.code(), path_ + ":" + std::to_string(csv_.lineNumber()) + ": " + e.what());
    }
}

bool SessionReader::next(Frame& frame)
{
    if (!csv_.next(fields_)) {
        if (csv_.failed()) {
            throw ReplayError(ExitCode::Unreadable, path_ + ": read error: " + std::strerror(errno));
        }
        return false;
    }
    const auto expected = layout_.names().size();
    if (fields_.size() != expected) {
        throw ReplayError(ExitCode::ColumnCount, path_ + ":" + std::to_string(lineNumber()) + ": " +
                                                     std::to_string(fields_.size()) + " fields, the header has " +
                                                     std::to_string(expected));
    }
    forEachKnownValue(layout_, frame, [this](std::size_t column, double& value) { value = number(column); });
    return true;
}

double SessionReader::fractionRead() const
{
    return size_ > 0 ? static_cast<double>(csv_.bytesRead()) / static_cast<double>(size_) : 1.0;
}

double SessionReader::number(std::size_t column) const
{
    const auto value = parseNumberField(fields_[column]);
    if (!value) {
        throw ReplayError(ExitCode::NotANumber, path_ + ":" + std::to_string(lineNumber()) + ": column " +
                                                    layout_.names()[column] + ": \"" +
                                                    std::string(fields_[column]) + "\" is not a number");
    }
    return *value;
}

}  // namespace replay
