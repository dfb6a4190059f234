#pragma once
// The re-calibration flag of a drift monitor: up once the trend residual
// has stayed beyond the threshold for the hold time; and the largest trend
// residual seen. Times in seconds, angles radians.
#include <cmath>
#include <limits>

namespace tarn {

class DriftFlag {
public:
    void clear() { *this = DriftFlag(); }
    // The trend residual at `time`.
    void observe(double time, double trend, double threshold, double holdTime);
    // The calibration was corrected: the hold time starts again.
    void lower();

    bool up() const { return up_; }
    double firstUp() const { return firstUp_; }  // NaN if never
    double largest() const { return std::isnan(largestTime_) ? kNaN : largest_; }  // signed; NaN before any
    double largestTime() const { return largestTime_; }

private:
    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    double beyondSince_ = kNaN;
    bool up_ = false;
    double firstUp_ = kNaN;
    double largest_ = 0.0, largestTime_ = kNaN;
};

}  // namespace tarn
