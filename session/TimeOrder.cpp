#include "TimeOrder.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "SessionError.h"

namespace session {

std::string formatSeconds(double seconds)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.6g s", seconds);
    return text;
}

TimeOrder::TimeOrder(std::string path, std::string repeatedTimeHint)
    : path_(std::move(path)), repeatedTimeHint_(std::move(repeatedTimeHint))
{
}

void TimeOrder::check(double time, long line)
{
    const std::string where = path_ + ":" + std::to_string(line) + ": time ";
    if (std::isnan(time)) throw SessionError(TARN_SESSION_TIME_ORDER, where + "is not a number");
    const bool back = time < last_, repeated = time == last_ && !repeatedTimeHint_.empty();
    if (lastLine_ != 0 && (back || repeated)) {
        throw SessionError(TARN_SESSION_TIME_ORDER,
                           where + formatSeconds(time) + (back ? " goes back from " : " repeats ") +
                               formatSeconds(last_) + " (line " + std::to_string(lastLine_) + ")" +
                               (back ? "" : "; " + repeatedTimeHint_ + " accepts it"));
    }
    last_ = time;
    lastLine_ = line;
}

}  // namespace session
