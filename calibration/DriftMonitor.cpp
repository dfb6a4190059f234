#include "calibration/DriftMonitor.h"

#include <cmath>

namespace tarn {

namespace {

constexpr double kCompensationSpan = 30.0;  // seconds of bins before compensating
static_assert(kCompensationSpan <= DriftSettings::kShortestWindow, "a window holds the span compensation needs");

}  // namespace

Quaternion gloveOnTracker(const double* world_from_glove, const double* world_from_tracker)
{
    return product(conjugate(quaternionAt(world_from_tracker)), quaternionAt(world_from_glove));
}

DriftMonitor::DriftMonitor(const DriftSettings& settings)
{
    configure(settings);
    const Quaternion identity{1.0, 0.0, 0.0, 0.0};
    restart(&identity);
}

void DriftMonitor::configure(const DriftSettings& settings)
{
    history_.reserve(settings.window);
    settings_ = settings;
    compensating_ = compensating_ && settings.compensate;
}

void DriftMonitor::restart(const Quaternion* tracker_from_glove)
{
    mountKnown_ = tracker_from_glove != nullptr;
    if (mountKnown_) setMount(*tracker_from_glove);
    history_.clear();
    stillness_.clear();
    flag_.clear();
    time_ = sampleTime_ = kNaN;
    frameRe_ = frameIm_ = sampleRe_ = sampleIm_ = kNaN;
    frames_ = 0;
    pendingTurn_ = 0.0;
    compensating_ = false;
    assumedRate_ = assumedRateError_ = assumedSince_ = kNaN;
}

void DriftMonitor::assumeRate(double rate, double rateError)
{
    assumedRate_ = rate;
    assumedRateError_ = rateError;
}

bool DriftMonitor::knownRate(double& rate, double& rateError) const
{
    if (history_.fitted()) {
        rate = history_.line().slope;
        rateError = history_.line().slopeError;
        return true;
    }
    rate = assumedRate_;
    rateError = assumedRateError_;
    return !std::isnan(assumedRate_);
}

void DriftMonitor::setMount(const Quaternion& m)
{
    const double length = std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2] + m[3] * m[3]);
    for (int k = 0; k < 4; ++k)
        glove_from_tracker_[k] = (length > 0.0 ? m[k] / length : k == 0 ? 1.0 : 0.0) * (k == 0 ? 1 : -1);
}

bool DriftMonitor::measure(const double* row, const double* tracker)
{
    if (!mountKnown_) {
        // Restored: the first frame with both orientations gives the mount.
        const Quaternion mount = gloveOnTracker(row, tracker);
        const double size = mount[0] * mount[0] + mount[1] * mount[1] + mount[2] * mount[2] + mount[3] * mount[3];
        if (!(size > 0.0) || !std::isfinite(size)) return invalidFrame();
        setMount(mount);
        mountKnown_ = true;
    }
    // Where the glove would be had it neither drifted nor moved against
    // the tracker, world_from_tracker (x) tracker_from_glove, and the
    // heading of the turn from there to where it is. A frame with a NaN,
    // infinite or zero orientation has no such turn.
    const Quaternion glove_from_tracker = product(quaternionAt(row), glove_from_tracker_);
    const Quaternion drift = product(glove_from_tracker, conjugate(quaternionAt(tracker)));
    const std::array<double, 2> direction = headingDirection(drift);
    frameRe_ = direction[0];
    frameIm_ = direction[1];
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
    if (std::isnan(assumedSince_)) assumedSince_ = time;
    if (history_.closeBinBefore(time, settings_.window)) updateCompensation();
    const bool measured = measure(row, tracker);
    sampleRe_ = frameRe_;
    sampleIm_ = frameIm_;
    if (!measured) {
        stillness_.clear();
        return;
    }
    history_.add(time, frameRe_, frameIm_);
    stillness_.observe(time, row, tracker, settings_.stillSpeed);
    if (history_.fitted()) flag_.observe(time, history_.trendResidual(time), settings_.threshold, settings_.holdTime);
}

void DriftMonitor::updateCompensation()
{
    const Line& line = history_.line();
    const bool fitKnown = history_.fitted() && line.span >= kCompensationSpan &&
                          line.slopeError * line.span <= settings_.compensateWithin;
    // Before that, the rate assumed: no drift at the first sample, and
    // since then the rate, while its error over the time since is small.
    const double since = time_ - assumedSince_;
    const bool assumedKnown = !fitKnown && assumedRateError_ * since <= settings_.compensateWithin;
    const bool known = fitKnown || assumedKnown;
    compensating_ = compensating_ && known && settings_.compensate;
    const double trend = fitKnown ? history_.trendResidual(time_) : assumedRate_ * since - history_.correction();
    pendingTurn_ = known && settings_.compensate ? trend : 0.0;
}

double DriftMonitor::trendResidual() const { return history_.fitted() ? history_.trendResidual(time_) : kNaN; }

bool DriftMonitor::recalibrationWanted(bool stillNeeded) const
{
    return settings_.autoRecalibrate && flag_.up() && (!stillNeeded || stillness_.still(time_, settings_.stillTime)) &&
           !std::isnan(frameRe_);
}

void DriftMonitor::corrected(DriftEventKind kind, double turn)
{
    // Before a fit the turn is all the monitor knows of the trend (the
    // assumed rate's).
    const double before = history_.fitted() ? history_.trendResidual(time_) : turn;
    history_.shift(turn);
    if (!std::isnan(frameRe_)) turnBack(frameRe_, frameIm_, turn);
    if (!std::isnan(sampleRe_)) turnBack(sampleRe_, sampleIm_, turn);
    flag_.lower();
    pendingTurn_ = 0.0;
    const double after = history_.fitted() ? history_.trendResidual(time_) : before - turn;
    if (kind == DriftEventKind::Recalibration || !compensating_) events_.push({kind, time_, before, after});
    if (kind == DriftEventKind::Compensation) compensating_ = true;
}

DriftReport DriftMonitor::report() const
{
    DriftReport r;
    r.time = time_;
    r.residual = history_.unwrap(sampleRe_, sampleIm_);
    r.trendResidual = trendResidual();
    r.rate = history_.fitted() ? history_.line().slope : kNaN;
    r.rateUncertainty = history_.fitted() ? history_.line().slopeError : kNaN;
    r.fitSpan = history_.fitted() ? history_.line().span : 0.0;
    r.largestResidual = flag_.largest();
    r.largestResidualTime = flag_.largestTime();
    r.firstFlagTime = flag_.firstUp();
    r.correction = history_.correction();
    r.stillSince = stillness_.since();
    r.flag = flag_.up();
    r.still = stillness_.still(time_, settings_.stillTime);
    r.compensating = compensating_;
    r.frames = frames_;
    return r;
}

}  // namespace tarn
