#pragma once
// Whether a hand is still: its glove row and its wrist tracker both turn
// slower than a given speed, measured between orientations at least a
// sixth of a second apart (so that sensor noise from one frame to the next
// does not count as motion), for a given time. Times in seconds.
#include <cmath>
#include <limits>

#include "attitude/Attitude.h"

namespace tarn {

class Stillness {
public:
    // Speeds are taken over this long or more (every other sample).
    static constexpr double kSpeedInterval = 0.17;

    // Forgets the orientations and the still stretch: a new start, or a
    // frame whose glove row or tracker is missing.
    void clear() { *this = Stillness(); }
    // The glove row and tracker at `time` (library convention, any
    // length); `speed` in radians a second.
    void observe(double time, const double* row, const double* tracker, double speed);

    // Start of the current still stretch; NaN while moving.
    double since() const { return since_; }
    // Still for `duration` or longer as of `now`.
    bool still(double now, double duration) const { return !std::isnan(since_) && now - since_ >= duration; }

private:
    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    double lastTime_ = kNaN;  // of the orientations the next speed is taken from
    Quaternion lastRow_{}, lastTracker_{};
    bool haveLast_ = false;
    double since_ = kNaN;
};

}  // namespace tarn
