#include "calibration/DriftFlag.h"

#include <cmath>

namespace tarn {

void DriftFlag::observe(double time, double trend, double threshold, double holdTime)
{
    if (std::fabs(trend) > std::fabs(largest_)) {
        largest_ = trend;
        largestTime_ = time;
    }
    if (std::fabs(trend) <= threshold) {
        lower();
        return;
    }
    if (std::isnan(beyondSince_)) beyondSince_ = time;
    up_ = time - beyondSince_ >= holdTime;
    if (up_ && std::isnan(firstUp_)) firstUp_ = time;
}

void DriftFlag::lower()
{
    beyondSince_ = kNaN;
    up_ = false;
}

}  // namespace tarn
