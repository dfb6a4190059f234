#include "calibration/DriftHistory.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "attitude/Attitude.h"

namespace tarn {

namespace {

constexpr std::size_t kFirstFitBins = 10;  // the first line, after ten seconds
constexpr std::size_t kSteadyBins = 60;    // a new line every bin until a minute's bins,
constexpr std::size_t kRefitBins = 60;     // then every sixty

}  // namespace

void turnBack(double& re, double& im, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const double r = re * c + im * s;
    im = im * c - re * s;
    re = r;
}

void DriftHistory::reserve(double window)
{
    // Bins start at least a bin apart, so a window holds at most this many.
    const auto bins = static_cast<std::size_t>(window / kBinSeconds) + 3;
    binTimes_.reserve(bins);
    binValues_.reserve(bins);
    fitter_.reserve(bins);
}

void DriftHistory::clear()
{
    binRe_ = binIm_ = binTime_ = 0.0;
    binFrames_ = 0;
    binTimes_.clear();
    binValues_.clear();
    binsSinceFit_ = 0;
    unwrapped_ = correction_ = 0.0;
    fitted_ = false;
}

bool DriftHistory::closeBinBefore(double time, double window)
{
    if (binFrames_ == 0 || time - binStart_ < kBinSeconds) return false;
    closeBin(window);
    return true;
}

void DriftHistory::add(double time, double re, double im)
{
    if (binFrames_ == 0) binStart_ = time;
    binRe_ += re;
    binIm_ += im;
    binTime_ += time;
    ++binFrames_;
}

void DriftHistory::closeBin(double window)
{
    if (binRe_ != 0.0 || binIm_ != 0.0) {
        unwrapped_ += wrapAngle(std::atan2(binIm_, binRe_) - unwrapped_);
        binTimes_.push_back(binTime_ / static_cast<double>(binFrames_));
        binValues_.push_back(unwrapped_ + correction_);
        const auto old = std::upper_bound(binTimes_.begin(), binTimes_.end(), binTimes_.back() - window);
        const auto dropped = old - binTimes_.begin();
        binTimes_.erase(binTimes_.begin(), old);
        binValues_.erase(binValues_.begin(), binValues_.begin() + dropped);
        ++binsSinceFit_;
        const std::size_t bins = binTimes_.size();
        if (bins >= kFirstFitBins && (bins < kSteadyBins || binsSinceFit_ >= kRefitBins)) {
            line_ = fitter_.fit(binTimes_.data(), binValues_.data(), binTimes_.size(), fitted_ ? &line_ : nullptr);
            fitted_ = true;
            binsSinceFit_ = 0;
        }
    }
    binRe_ = binIm_ = binTime_ = 0.0;
    binFrames_ = 0;
}

void DriftHistory::shift(double turn)
{
    unwrapped_ -= turn;
    correction_ += turn;
    turnBack(binRe_, binIm_, turn);
}

double DriftHistory::unwrap(double re, double im) const
{
    if (std::isnan(re)) return std::numeric_limits<double>::quiet_NaN();
    return unwrapped_ + wrapAngle(std::atan2(im, re) - unwrapped_);
}

}  // namespace tarn
