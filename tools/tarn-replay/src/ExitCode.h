// Exit codes of tarn-replay and the error type that carries them up to main.
#pragma once

#include <stdexcept>
#include <string>

#include "TarnSession.h"

namespace replay {

// The codes for problems with a session file are the session library's
// statuses (include/TarnSession.h); the others are the tool's own.
enum class ExitCode : int {
    Ok = 0,
    Usage = 2,        // bad command line, or no frame at --calibrate-at
    Unreadable = TARN_SESSION_UNREADABLE,
    BadHeader = TARN_SESSION_BAD_HEADER,
    ColumnCount = TARN_SESSION_COLUMN_COUNT,
    NotANumber = TARN_SESSION_NOT_A_NUMBER,
    Unwritable = TARN_SESSION_UNWRITABLE,  // the output file cannot be created or written
    NoFrames = TARN_SESSION_NO_FRAMES,
    Degenerate = 9,   // a calibration refused (or NaN) without --allow-degenerate
    TimeOrder = TARN_SESSION_TIME_ORDER,
    NearMiss = TARN_SESSION_NEAR_MISS,
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
