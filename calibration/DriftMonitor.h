#pragma once
// Watches one hand's single-hand calibration go stale. Gloves measure
// their heading with gyroscopes, which drift; the wrist tracker's heading
// does not. At calibration the monitor takes how the calibrated glove row
// sits against the tracker (the mount, conj(tracker) (x) row); on every
// frame after, the residual is the heading of the turn from where the
// glove would be had it kept that mount (tracker (x) mount) to where it is:
//
//   residual = heading of row (x) conj(tracker (x) mount)
//
// zero right after calibrating: the glove's heading less the tracker's,
// less the same difference at calibration, taken with the tilts of both
// (comparing the two devices' own "ZYX" headings would mix their tilts
// into it). Headings in the library convention (include/TarnCalibrator.h).
// The residual is the glove's heading drift plus whatever the hand turns
// against the tracker's strap: a bend of the wrist moves it too, and the
// monitor cannot tell one from the other frame by frame. It tells them apart over time:
// frames are averaged into bins of one second and a line is fitted through
// the bins of the last `window` seconds, robustly, so that a gesture does
// not pull at it. The line's slope is the drift rate; its value now (the
// trend residual) is the drift the calibration carries, and it is what the
// recalibration flag and the corrections watch.
//
// Times in seconds, angles in radians, rates in radians per second.
#include <array>
#include <cstddef>
#include <vector>

#include "calibration/DriftFit.h"

namespace tarn {

constexpr double kDegree = 3.14159265358979323846 / 180;

struct DriftSettings {
    int referenceRow = 0;             // glove row compared with the tracker, 0-19
    double threshold = 5 * kDegree;
    double holdTime = 3.0;            // the trend residual beyond `threshold` this long raises the flag
    double stillSpeed = 15 * kDegree;  // a second
    double stillTime = 1.0;           // glove and tracker slower than `stillSpeed` this long: still
    double window = 300.0;            // seconds of bins the rate is fitted over, 30 to 3600
    bool autoRecalibrate = false;     // re-calibrate while the flag is up and the hand still
    bool compensate = false;          // turn the calibration by the fitted drift
    // Compensation starts once the fitted drift is known to within this: the
    // rate's standard error times the span it was fitted over.
    double compensateWithin = 2.5 * kDegree;
};

// Whether every setting is in range (finite, positive where it must be).
bool validDriftSettings(const DriftSettings& settings);

enum class DriftEventKind { Recalibration = 1, Compensation = 2 };

// A change the monitor made to the calibration.
struct DriftEvent {
    DriftEventKind kind;
    double time;
    double residualBefore;  // the trend residual just before
    double residualAfter;   // and just after
};

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
    // New settings; the history is kept, cut to the new window.
    void configure(const DriftSettings& settings);

    // Forgets everything: the hand was calibrated anew by the host, with
    // the glove on its tracker as `mount` (from gloveOnTracker()), or
    // restored (mount null: the first frame with a glove row and a tracker
    // gives it).
    void restart(const double* mount);

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
    // glove row or tracker was not finite).
    double frameResidual() const;
    // Glove and tracker have turned slower than `stillSpeed` (about, from
    // one frame to the next) for `stillTime` or longer.
    bool still() const;

    // What the monitor asks of the calibration after a sample: nothing, a
    // re-calibration at that frame, or a turn of its heading by -turn()
    // (the glove's rows turned back by the drift).
    enum class Action { None, Recalibrate, Turn };
    Action action() const;
    double turn() const { return pendingTurn_; }

    // Whether a re-calibration that turns the glove rows by -turn about Z
    // (give or take a full turn) leaves the trend residual within half the
    // threshold: the turn as the history counts it (the full turns nearest
    // the trend residual), or NaN when it would leave more (the hand is
    // held bent against its tracker, or tilted: the frame is not a good
    // one to calibrate from).
    double acceptedTurn(double turn) const;
    // The calibration did what action() asked: re-calibrated, turning the
    // glove rows by -turn (from acceptedTurn()); or turned by -turn().
    void recalibrated(double turn);
    void turned();

    DriftReport report() const;

    // Events not taken yet, oldest first; up to kKeptEvents are kept (the
    // oldest are dropped beyond).
    static constexpr std::size_t kKeptEvents = 64;
    std::size_t takeEvents(DriftEvent* events, std::size_t capacity);
    // The window's bounds in seconds: at least the span compensation needs.
    static constexpr double kShortestWindow = 30.0, kLongestWindow = 3600.0;

private:
    void setMount(const double* mount);
    bool invalidFrame();
    double residualOf(double re, double im) const;  // a direction as a residual, unwrapped
    void closeBin();
    void shift(double turn);
    void event(DriftEventKind kind, double before, double after);
    double trendResidual(double time) const;

    DriftSettings settings_;
    double mountBack_[4] = {1.0, 0.0, 0.0, 0.0};  // conj(mount), normalised
    bool mountKnown_ = true;
    // The bin being filled: the sum of its frames' residuals as directions
    // (each as long as the cosine of the pitch the turn carries), and of
    // their times.
    double binStart_ = 0.0, binRe_ = 0.0, binIm_ = 0.0, binTime_ = 0.0;
    std::size_t binFrames_ = 0;
    // Closed bins: time and unwrapped residual plus correction, oldest first.
    std::vector<double> binTimes_, binValues_;
    std::size_t binsSinceFit_ = 0;
    double unwrapped_ = 0.0;     // residual of the last bin, unwrapped
    double correction_ = 0.0;    // calibration turns since the restart
    RobustLineFit fitter_;
    Line line_;
    bool fitted_ = false;
    // Motion.
    double time_;      // of the last frame
    double sampleTime_;  // of the last frame sampled
    double lastTime_;  // of the orientations the next speed is taken from
    double lastRow_[4] = {}, lastTracker_[4] = {};
    bool haveLast_ = false;
    double stillSince_;
    // Flag.
    double aboveSince_;
    bool flag_ = false;
    double firstFlag_;
    double largest_ = 0.0, largestTime_;
    double frameRe_, frameIm_;    // the last measured frame's turn, as a direction
    double sampleRe_, sampleIm_;  // the last sample's
    std::size_t frames_ = 0;
    // Corrections.
    double pendingTurn_ = 0.0;
    bool compensating_ = false;
    std::array<DriftEvent, kKeptEvents> events_{};
    std::size_t firstEvent_ = 0, eventCount_ = 0;
};

// How a calibrated glove row sits against a tracker: conj(tracker) (x) row.
void gloveOnTracker(const double* row, const double* tracker, double* mount);

}  // namespace tarn
