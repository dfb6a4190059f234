// A session file refused: the status (include/TarnSession.h, whose values
// are tarn-replay's exit codes) and the whole message, "file:line: what is
// wrong", to be shown as it is.
#pragma once

#include <stdexcept>
#include <string>

#include "TarnSession.h"

namespace session {

class SessionError : public std::runtime_error {
public:
    SessionError(tarn_session_status status, const std::string& message)
        : std::runtime_error(message), status_(status) {}
    tarn_session_status status() const { return status_; }

private:
    tarn_session_status status_;
};

}  // namespace session
