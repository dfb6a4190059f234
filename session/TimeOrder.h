// The rule that frames come in time order: a time that is not a number,
// goes back, or (unless allowed) repeats the one before is refused at its
// line (TIME_ORDER, "file:line: time 0.5 s goes back from 1 s (line 3)").
#pragma once

#include <string>

namespace session {

class TimeOrder {
public:
    // `repeatedTimeHint`: how the message for a repeated time names the
    // way to allow it; empty when repeats are allowed.
    TimeOrder(std::string path, std::string repeatedTimeHint);

    // The frame on `line` has time `time`; throws SessionError when it may not.
    void check(double time, long line);

private:
    std::string path_;
    std::string repeatedTimeHint_;
    double last_ = 0.0;
    long lastLine_ = 0;  // 0 before the first frame
};

// How the tools write a time in their messages ("%.6g s").
std::string formatSeconds(double seconds);

}  // namespace session
