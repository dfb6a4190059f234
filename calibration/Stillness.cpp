#include "calibration/Stillness.h"

#include <cmath>

namespace tarn {

namespace {

// Whether a device turned from p to q by at most `angle`: the half angle's
// sine squared, 1 - (p.q)^2 / (|p|^2 |q|^2), against (angle / 2)^2. A zero
// quaternion never has.
bool turnedAtMost(const Quaternion& p, const Quaternion& q, double angle)
{
    const double dot = p[0] * q[0] + p[1] * q[1] + p[2] * q[2] + p[3] * q[3];
    const double norms = (p[0] * p[0] + p[1] * p[1] + p[2] * p[2] + p[3] * p[3]) *
                         (q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    return norms > 0.0 && 4 * (norms - dot * dot) <= angle * angle * norms;
}

}  // namespace

void Stillness::observe(double time, const double* row, const double* tracker, double speed)
{
    if (haveLast_ && time - lastTime_ < kSpeedInterval) return;
    const Quaternion glove = quaternionAt(row), device = quaternionAt(tracker);
    if (haveLast_) {
        const double angle = speed * (time - lastTime_);
        const bool still = turnedAtMost(lastRow_, glove, angle) && turnedAtMost(lastTracker_, device, angle);
        if (!still) since_ = kNaN;
        else if (std::isnan(since_)) since_ = lastTime_;
    }
    lastRow_ = glove;
    lastTracker_ = device;
    lastTime_ = time;
    haveLast_ = true;
}

}  // namespace tarn
