// Exit codes of tarn-replay and the error type that carries them up to main.
#pragma once

#include <stdexcept>
#include <string>

namespace replay {

enum class ExitCode : int {
    Ok = 0,
    Usage = 2,        // bad command line, or no frame at --calibrate-at
    Unreadable = 3,   // the session file cannot be opened or read
    BadHeader = 4,    // missing, empty or inconsistent header row
    ColumnCount = 5,  // a line with more or fewer fields than the header
    NotANumber = 6,   // a field of a known column that is not a number
    Unwritable = 7,   // the output file cannot be created or written
    NoFrames = 8,     // a header but no data rows
    Degenerate = 9,   // a calibration refused (or NaN) without --allow-degenerate
    TimeOrder = 10,   // time that goes backwards, repeats or is not a number
    NearMiss = 11,    // with --strict-columns: a column that nearly names a known one
};

// An input or output problem reported to the user with its exit code. The
// message is complete ("file:line: what is wrong") and printed as it is.
class ReplayError : public std::runtime_error {
public:
    ReplayError(ExitCode code, const std::string& message)
        : std::runtime_error(message), code_(code) {}
    ExitCode code() const { return code_; }

private:
    ExitCode code_;
};

}  // namespace replay
