#pragma once
// A drift monitor's history: sampled residual directions averaged into
// bins of one second, each bin's residual unwrapped, and a robust line
// fitted through the bins of the last `window` seconds. The line's slope
// is the drift rate; its value now, less the corrections the calibration
// has had since, is the trend residual. Times in seconds, angles radians.
#include <cstddef>
#include <vector>

#include "calibration/DriftFit.h"

namespace tarn {

class DriftHistory {
public:
    static constexpr double kBinSeconds = 1.0;

    // Room for a window of `window` seconds: adding never allocates.
    void reserve(double window);
    // Forgets every bin, the fit and the corrections.
    void clear();

    // Closes the bin being filled when `time` is a bin or more after its
    // start, and fits a new line when it is time to: after the first ten
    // bins, then every bin up to a minute's, then every sixty. Bins older
    // than `window` seconds are dropped first. Whether a bin closed.
    bool closeBinBefore(double time, double window);
    // A sample's residual as a direction (re, im) at `time`.
    void add(double time, double re, double im);

    // The calibration turned by -turn (its rows turned back by `turn`):
    // the residuals of the bin being filled, and every later one, are
    // `turn` smaller; the fitted bins keep their values and the trend is
    // taken less the corrections.
    void shift(double turn);

    // A direction (re, im) as a residual unwrapped against the last bin's.
    double unwrap(double re, double im) const;
    bool fitted() const { return fitted_; }
    const Line& line() const { return line_; }
    double trendResidual(double time) const { return line_.at(time) - correction_; }
    double correction() const { return correction_; }

private:
    void closeBin(double window);

    // The bin being filled: the sum of its residual directions, and of
    // their times.
    double binStart_ = 0.0, binRe_ = 0.0, binIm_ = 0.0, binTime_ = 0.0;
    std::size_t binFrames_ = 0;
    // Closed bins: time and unwrapped residual plus correction, oldest first.
    std::vector<double> binTimes_, binValues_;
    std::size_t binsSinceFit_ = 0;
    double unwrapped_ = 0.0;   // residual of the last bin, unwrapped
    double correction_ = 0.0;  // calibration turns since the restart
    RobustLineFit fitter_;
    Line line_;
    bool fitted_ = false;
};

// (re, im) turned by -angle.
void turnBack(double& re, double& im, double angle);

}  // namespace tarn
