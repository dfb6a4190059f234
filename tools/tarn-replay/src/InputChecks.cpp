#include "InputChecks.h"

#include <cmath>
#include <cstdio>

bool hasNaN(const double* values, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (std::isnan(values[i])) {
            return true;
        }
    }
    return false;
}

bool isZeroQuaternion(const Quat& q)
{
    for (const double c : q) {
        if (!(std::fabs(c) < 1e-8)) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> headingProblem(const Quat& q)
{
    if (hasNaN(q.data(), q.size())) {
        return "NaN";
    }
    if (isZeroQuaternion(q)) {
        return "zero quaternion";
    }
    const double pitch = pitchOf(q);
    if (std::fabs(pitch) > kNearVerticalPitch) {
        char text[64];
        std::snprintf(text, sizeof text, "pitch %+.1f deg (heading ill-defined)", degrees(pitch));
        return std::string(text);
    }
    return std::nullopt;
}
