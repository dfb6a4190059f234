#pragma once
// Watches one hand's single-hand calibration go stale. Gloves measure
// their heading with gyroscopes, which drift; the wrist tracker's heading
// does not. At calibration the monitor takes how the calibrated glove row
// sits on the tracker, tracker_from_glove = conj(world_from_tracker) (x)
// world_from_glove (the mount); on every frame after, the residual is the
// heading of the turn from where the glove would be had it kept that mount
// (world_from_tracker (x) tracker_from_glove) to where it is:
//
//   residual = heading of world_from_glove (x) conj(world_from_tracker (x) tracker_from_glove)
//
// zero right after calibrating: the glove's heading less the tracker's,
// less the same difference at calibration, taken with the tilts of both.
// Conventions in attitude/Attitude.h. The residual is the glove's heading
// drift plus whatever the hand turns against the tracker's strap; the
// monitor tells the two apart over time (DriftHistory): the slope of a
// robust line through a window of per-second bins is the drift rate, its
// value now the trend residual, which raises the flag (DriftFlag) and
// drives the corrections. Whether the hand is still: Stillness.
//
// The monitor observes and records; what happens to the calibration is
// decided by the hand that owns it (TrackedHand), which tells the monitor
// of each correction it makes.
//
// Times in seconds, angles in radians, rates in radians per second.
#include <cstddef>
#include <limits>

#include "attitude/Attitude.h"
#include "calibration/DriftEvents.h"
#include "calibration/DriftFlag.h"
#include "calibration/DriftHistory.h"
#include "calibration/DriftSettings.h"
#include "calibration/Stillness.h"

namespace tarn {

struct DriftReport {
    double time;              // of the last frame observed; NaN before any
    double residual;          // of the last sample; NaN when it had none
    double trendResidual;     // the fitted line now, less the corrections; NaN before a fit
    double rate;              // of the glove's heading against the tracker's; NaN before a fit
    double rateUncertainty;   // one standard error of `rate`
    double fitSpan;           // seconds of bins behind the fit
    double largestResidual;   // the trend residual of largest magnitude so far, and when
    double largestResidualTime;
    double firstFlagTime;     // when the flag first went up; NaN if never
    double correction;        // the turn the monitor has given the calibration in all
    double stillSince;        // start of the current still stretch; NaN when moving
    bool flag;                // re-calibration recommended
    bool still;               // still for `stillTime` or longer
    bool compensating;
    std::size_t frames;       // frames observed since calibration
};

class DriftMonitor {
public:
    // Frames sampled: at least this far apart (about 11 a second at most).
    static constexpr double kSampleInterval = 0.09;  // seconds

    explicit DriftMonitor(const DriftSettings& settings = DriftSettings());

    const DriftSettings& settings() const { return settings_; }
    // New settings (valid ones: validDriftSettings); the history is kept,
    // cut to the new window.
    void configure(const DriftSettings& settings);

    // Forgets everything: the hand was calibrated anew, its glove row
    // sitting on the tracker as `tracker_from_glove`; or restored (null:
    // the first frame with a glove row and a tracker gives the mount).
    void restart(const Quaternion* tracker_from_glove);
    // After a restart: the drift goes on at `rate` (radians a second, one
    // standard error `rateError`), as fitted before the calibration was
    // saved. Until the monitor's own fit is good enough to compensate, the
    // calibration is compensated by that rate from the first sample on,
    // for as long as the rate's error over the time since stays within
    // `compensateWithin`.
    void assumeRate(double rate, double rateError);
    // The rate the monitor goes by, and its standard error: its own fit's,
    // else the one assumed. False when it has neither.
    bool knownRate(double& rate, double& rateError) const;

    // The last time observed (NaN before any frame): frames must not go
    // back from it.
    double lastTime() const { return time_; }

    // Drift is slow: the monitor samples frames 0.09 s apart or more
    // (every third at 30 frames a second, every ninth at 90) and passes
    // over the others. Frames come at times no earlier than lastTime():
    //  - due(time): whether the frame at `time` is to be sampled;
    //  - sample(): a sampled frame's calibrated glove row and tracker
    //    (library convention, [w, x, y, z]);
    //  - measure(): only the residual of a frame passed over, when the
    //    host asks for every frame's (false: the frame has none);
    //  - passed(): after a batch, its last time and how many frames it had.
    bool due(double time) const { return !(time - sampleTime_ < kSampleInterval); }
    void sample(double time, const double* row, const double* tracker);
    bool measure(const double* row, const double* tracker);
    void passed(double time, std::size_t frames)
    {
        time_ = time;
        frames_ += frames;
    }

    // The residual of the last frame measured, unwrapped (NaN when its
    // glove row or tracker was not finite, or zero).
    double frameResidual() const { return history_.unwrap(frameRe_, frameIm_); }
    // The trend residual as of the last frame (NaN before the first fit).
    double trendResidual() const;
    // The fitted line at `time`, less the corrections so far (NaN before
    // the first fit): the trend residual of a frame at that time.
    double trendAt(double time) const { return history_.fitted() ? history_.trendResidual(time) : kNaN; }

    // After a sample, what the monitor's settings allow the hand to do:
    // re-calibrate (the flag is up, the frame measured, re-calibration
    // asked for, and, where `stillNeeded`, the hand still); or turn the
    // calibration's rows back by compensationTurn() (not 0: compensation
    // asked for, and the drift known well enough).
    bool recalibrationWanted(bool stillNeeded) const;
    double compensationTurn() const { return pendingTurn_; }

    // The hand turned its calibration so that its rows come out turned
    // back by `turn`, as a re-calibration or as compensation: the history
    // counts the turn, the flag's hold time starts again, and an event is
    // kept (for compensation, only when it starts).
    void corrected(DriftEventKind kind, double turn);

    DriftReport report() const;
    std::size_t takeEvents(DriftEvent* events, std::size_t capacity) { return events_.take(events, capacity); }

private:
    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    void setMount(const Quaternion& tracker_from_glove);
    bool invalidFrame();
    void updateCompensation();

    DriftSettings settings_;
    Quaternion glove_from_tracker_{1.0, 0.0, 0.0, 0.0};  // conj(mount), normalised
    bool mountKnown_ = true;
    DriftHistory history_;
    Stillness stillness_;
    DriftFlag flag_;
    DriftEvents events_;
    double time_ = kNaN;        // of the last frame
    double sampleTime_ = kNaN;  // of the last frame sampled
    double frameRe_ = kNaN, frameIm_ = kNaN;    // the last measured frame's turn, as a direction
    double sampleRe_ = kNaN, sampleIm_ = kNaN;  // the last sample's
    std::size_t frames_ = 0;
    double pendingTurn_ = 0.0;
    bool compensating_ = false;
    // The rate assumed after a restore (NaN: none), and the first sample's
    // time, from which it counts.
    double assumedRate_ = kNaN, assumedRateError_ = kNaN, assumedSince_ = kNaN;
};

// How a glove row sits on a tracker: tracker_from_glove =
// conj(world_from_tracker) (x) world_from_glove.
Quaternion gloveOnTracker(const double* world_from_glove, const double* world_from_tracker);

}  // namespace tarn
