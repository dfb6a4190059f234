#include "calibration/DriftMonitor.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "calibration/InputQuality.h"
#include "calibration/QuaternionProduct.h"

namespace tarn {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kBinSeconds = 1.0;
constexpr std::size_t kFirstFitBins = 10;  // the first line, after ten seconds
constexpr std::size_t kSteadyBins = 60;    // a new line every bin until a minute's bins,
constexpr std::size_t kRefitBins = 60;     // then every sixty
// Glove and tracker speeds are taken over this long or more (every other
// sample), so that sensor noise from one frame to the next does not count
// as motion.
constexpr double kSpeedInterval = 0.17;  // seconds
constexpr double kCompensationSpan = 30.0;  // seconds of bins before compensating
static_assert(kCompensationSpan <= DriftMonitor::kShortestWindow, "a window holds the span compensation needs");
constexpr int kRows = 20;
constexpr double kNoTurn[4] = {1.0, 0.0, 0.0, 0.0};

// Whether a device turned from p to q by at most `angle`: the half angle's
// sine squared, 1 - (p.q)^2 / (|p|^2 |q|^2), against (angle / 2)^2.
inline bool turnedAtMost(const double* p, const double* q, double angle)
{
    const double dot = p[0] * q[0] + p[1] * q[1] + p[2] * q[2] + p[3] * q[3];
    const double norms = (p[0] * p[0] + p[1] * p[1] + p[2] * p[2] + p[3] * p[3]) *
                         (q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    return norms > 0.0 && 4 * (norms - dot * dot) <= angle * angle * norms;  // a zero quaternion never is still
}

// (re, im) turned by -angle.
void turnBack(double& re, double& im, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const double r = re * c + im * s;
    im = im * c - re * s;
    re = r;
}

bool positiveFinite(double value) { return std::isfinite(value) && value > 0.0; }

}  // namespace

void gloveOnTracker(const double* row, const double* tracker, double* mount)
{
    const double back[4] = {tracker[0], -tracker[1], -tracker[2], -tracker[3]};
    hamiltonProduct(back, row, mount);
}

bool validDriftSettings(const DriftSettings& s)
{
    return s.referenceRow >= 0 && s.referenceRow < kRows && positiveFinite(s.threshold) &&
           std::isfinite(s.holdTime) && s.holdTime >= 0.0 && positiveFinite(s.stillSpeed) &&
           std::isfinite(s.stillTime) && s.stillTime >= 0.0 && s.window >= DriftMonitor::kShortestWindow &&
           s.window <= DriftMonitor::kLongestWindow && positiveFinite(s.compensateWithin);
}

DriftMonitor::DriftMonitor(const DriftSettings& settings)
{
    configure(settings);
    restart(kNoTurn);
}

void DriftMonitor::configure(const DriftSettings& settings)
{
    // Bins start at least a bin apart, so a window holds at most this many:
    // observing never allocates.
    const auto bins = static_cast<std::size_t>(settings.window / kBinSeconds) + 3;
    binTimes_.reserve(bins);
    binValues_.reserve(bins);
    fitter_.reserve(bins);
    settings_ = settings;
    compensating_ = compensating_ && settings.compensate;
}

void DriftMonitor::restart(const double* mount)
{
    mountKnown_ = mount != nullptr;
    if (mountKnown_) setMount(mount);
    binRe_ = binIm_ = binTime_ = 0.0;
    binFrames_ = 0;
    binTimes_.clear();
    binValues_.clear();
    binsSinceFit_ = 0;
    unwrapped_ = correction_ = 0.0;
    fitted_ = false;
    time_ = lastTime_ = sampleTime_ = kNaN;
    haveLast_ = false;
    stillSince_ = aboveSince_ = firstFlag_ = largestTime_ = kNaN;
    flag_ = false;
    largest_ = 0.0;
    frameRe_ = frameIm_ = sampleRe_ = sampleIm_ = kNaN;
    frames_ = 0;
    pendingTurn_ = 0.0;
    compensating_ = false;
}

void DriftMonitor::setMount(const double* mount)
{
    const double length = std::sqrt(mount[0] * mount[0] + mount[1] * mount[1] + mount[2] * mount[2] + mount[3] * mount[3]);
    for (int k = 0; k < 4; ++k) mountBack_[k] = (length > 0.0 ? mount[k] / length : k == 0 ? 1.0 : 0.0) * (k == 0 ? 1 : -1);
}

bool DriftMonitor::measure(const double* row, const double* tracker)
{
    if (!mountKnown_) {
        // Restored: the first frame with both orientations gives the mount.
        double mount[4];
        gloveOnTracker(row, tracker, mount);
        const double size = mount[0] * mount[0] + mount[1] * mount[1] + mount[2] * mount[2] + mount[3] * mount[3];
        if (!(size > 0.0) || !std::isfinite(size)) return invalidFrame();
        setMount(mount);
        mountKnown_ = true;
    }
    // Where the glove would be had it neither drifted nor moved against
    // the tracker, tracker (x) mount, and the heading of the turn from
    // there to where it is. A frame with a NaN, infinite or zero
    // orientation has no such turn.
    double turn[4], e[2][4];
    hamiltonProduct(row, mountBack_, turn);
    const double back[4] = {tracker[0], -tracker[1], -tracker[2], -tracker[3]};
    hamiltonProduct(turn, back, e[0]);
    headingDirection(e[0], e[1]);
    frameRe_ = e[1][0];
    frameIm_ = e[1][1];
    const double size = frameRe_ * frameRe_ + frameIm_ * frameIm_;
    return size > 0.0 && std::isfinite(size) ? true : invalidFrame();
}

bool DriftMonitor::invalidFrame()
{
    frameRe_ = frameIm_ = kNaN;
    return false;
}

void DriftMonitor::sample(double time, const double* row, const double* tracker)
{
    time_ = sampleTime_ = time;
    if (binFrames_ > 0 && time - binStart_ >= kBinSeconds) closeBin();
    const bool measured = measure(row, tracker);
    sampleRe_ = frameRe_;
    sampleIm_ = frameIm_;
    if (!measured) {
        haveLast_ = false;
        stillSince_ = kNaN;
        return;
    }
    if (binFrames_ == 0) binStart_ = time;
    binRe_ += frameRe_;
    binIm_ += frameIm_;
    binTime_ += time;
    ++binFrames_;

    if (!haveLast_ || time - lastTime_ >= kSpeedInterval) {
        if (haveLast_) {
            const double angle = settings_.stillSpeed * (time - lastTime_);
            const bool still = turnedAtMost(lastRow_, row, angle) && turnedAtMost(lastTracker_, tracker, angle);
            if (!still) stillSince_ = kNaN;
            else if (std::isnan(stillSince_)) stillSince_ = lastTime_;
        }
        std::copy_n(row, 4, lastRow_);
        std::copy_n(tracker, 4, lastTracker_);
        lastTime_ = time;
        haveLast_ = true;
    }

    if (!fitted_) return;
    const double trend = trendResidual(time);
    if (std::fabs(trend) > std::fabs(largest_)) {
        largest_ = trend;
        largestTime_ = time;
    }
    if (std::fabs(trend) <= settings_.threshold) {
        aboveSince_ = kNaN;
        flag_ = false;
        return;
    }
    if (std::isnan(aboveSince_)) aboveSince_ = time;
    flag_ = time - aboveSince_ >= settings_.holdTime;
    if (flag_ && std::isnan(firstFlag_)) firstFlag_ = time;
}

bool DriftMonitor::still() const { return !std::isnan(stillSince_) && time_ - stillSince_ >= settings_.stillTime; }

double DriftMonitor::frameResidual() const { return residualOf(frameRe_, frameIm_); }

double DriftMonitor::residualOf(double re, double im) const
{
    if (std::isnan(re)) return kNaN;
    return unwrapped_ + wrapAngle(std::atan2(im, re) - unwrapped_);
}

DriftMonitor::Action DriftMonitor::action() const
{
    if (settings_.autoRecalibrate && flag_ && still() && !std::isnan(frameRe_)) return Action::Recalibrate;
    if (pendingTurn_ != 0.0) return Action::Turn;
    return Action::None;
}

void DriftMonitor::closeBin()
{
    if (binRe_ != 0.0 || binIm_ != 0.0) {
        unwrapped_ += wrapAngle(std::atan2(binIm_, binRe_) - unwrapped_);
        binTimes_.push_back(binTime_ / static_cast<double>(binFrames_));
        binValues_.push_back(unwrapped_ + correction_);
        const auto old = std::upper_bound(binTimes_.begin(), binTimes_.end(), binTimes_.back() - settings_.window);
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

    const bool known =
        fitted_ && line_.span >= kCompensationSpan && line_.slopeError * line_.span <= settings_.compensateWithin;
    compensating_ = compensating_ && known && settings_.compensate;
    pendingTurn_ = known && settings_.compensate ? trendResidual(time_) : 0.0;
}

double DriftMonitor::trendResidual(double time) const { return line_.at(time) - correction_; }

void DriftMonitor::shift(double turn)
{
    unwrapped_ -= turn;
    correction_ += turn;
    turnBack(binRe_, binIm_, turn);
    if (!std::isnan(frameRe_)) turnBack(frameRe_, frameIm_, turn);
    if (!std::isnan(sampleRe_)) turnBack(sampleRe_, sampleIm_, turn);
    aboveSince_ = kNaN;
    flag_ = false;
}

double DriftMonitor::acceptedTurn(double turn) const
{
    const double trend = trendResidual(time_);
    const double left = wrapAngle(trend - turn);
    return std::fabs(left) <= settings_.threshold / 2 ? trend - left : kNaN;
}

void DriftMonitor::recalibrated(double turn)
{
    const double before = trendResidual(time_);
    shift(turn);
    pendingTurn_ = 0.0;  // the re-calibration has taken the drift out already
    event(DriftEventKind::Recalibration, before, trendResidual(time_));
}

void DriftMonitor::turned()
{
    const double before = trendResidual(time_);
    shift(pendingTurn_);
    pendingTurn_ = 0.0;
    if (!compensating_) event(DriftEventKind::Compensation, before, trendResidual(time_));
    compensating_ = true;
}

void DriftMonitor::event(DriftEventKind kind, double before, double after)
{
    if (eventCount_ == kKeptEvents) {
        firstEvent_ = (firstEvent_ + 1) % kKeptEvents;
        --eventCount_;
    }
    events_[(firstEvent_ + eventCount_) % kKeptEvents] = {kind, time_, before, after};
    ++eventCount_;
}

std::size_t DriftMonitor::takeEvents(DriftEvent* events, std::size_t capacity)
{
    const std::size_t taken = std::min(capacity, eventCount_);
    for (std::size_t k = 0; k < taken; ++k) events[k] = events_[(firstEvent_ + k) % kKeptEvents];
    firstEvent_ = (firstEvent_ + taken) % kKeptEvents;
    eventCount_ -= taken;
    return taken;
}

DriftReport DriftMonitor::report() const
{
    DriftReport r;
    r.time = time_;
    r.residual = residualOf(sampleRe_, sampleIm_);
    r.trendResidual = fitted_ ? trendResidual(time_) : kNaN;
    r.rate = fitted_ ? line_.slope : kNaN;
    r.rateUncertainty = fitted_ ? line_.slopeError : kNaN;
    r.fitSpan = fitted_ ? line_.span : 0.0;
    r.largestResidual = std::isnan(largestTime_) ? kNaN : largest_;
    r.largestResidualTime = largestTime_;
    r.firstFlagTime = firstFlag_;
    r.correction = correction_;
    r.stillSince = stillSince_;
    r.flag = flag_;
    r.still = still();
    r.compensating = compensating_;
    r.frames = frames_;
    return r;
}

}  // namespace tarn
