#include "InputChecks.h"

#include <cmath>
#include <cstdio>

#include "TarnCalibrator.h"

namespace replay {

namespace {

tarn_degeneracy degeneracyOf(const Quaternion& q)
{
    tarn_degeneracy rule = TARN_DEGENERACY_NONE;
    tarn_check_orientation(TARN_CONVENTION_LIBRARY, q.data(), &rule);
    return rule;
}

}  // namespace

bool hasNaN(const double* values, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (std::isnan(values[i])) {
            return true;
        }
    }
    return false;
}

bool isZeroQuaternion(const Quaternion& q)
{
    return degeneracyOf(q) == TARN_DEGENERACY_ZERO_QUATERNION;
}

std::optional<std::string> headingProblem(const Quaternion& q)
{
    if (hasNaN(q.data(), q.size())) {
        return "NaN";
    }
    switch (degeneracyOf(q)) {
    case TARN_DEGENERACY_ZERO_QUATERNION: return "zero quaternion";
    case TARN_DEGENERACY_NEAR_VERTICAL: {
        char text[128];
        std::snprintf(text, sizeof text, "right axis %.1f deg from vertical (rolled onto its side: heading ill-defined)",
                      90.0 - std::fabs(degrees(pitchOf(q))));
        return std::string(text);
    }
    default: return std::nullopt;
    }
}

}  // namespace replay
