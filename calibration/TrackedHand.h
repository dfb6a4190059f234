#pragma once
// One hand of a calibrator: whether it is calibrated, its drift monitor,
// and, frame by frame, what happens to its single-hand calibration. The
// calibration itself (the hand's offset) lives in the calibrator's
// SingleHandState, which every operation here is given; the hand decides
// when it changes: when the host calibrates, and, as the monitor's
// settings allow, when drift calls for a re-calibration or compensation.
//
// Quaternions in the library convention unless a Convention is given.
#include <cstddef>

#include "calibration/DriftMonitor.h"
#include "calibration/Frames.h"
#include "calibration/MotionCalibration.h"
#include "calibration/SingleHand.h"
#include "calibration/Status.h"

namespace tarn {

// What a saved calibration keeps of a hand beyond its offset: the motion
// calibration it came from, if any; its monitor's settings; and the rate
// its monitor goes by (DriftMonitor::knownRate), if any.
struct KeptHand {
    bool fromMotion = false;
    MotionSummary motion;  // when fromMotion
    DriftSettings settings;
    bool rateKnown = false;
    double rate = 0.0, rateError = 0.0;  // when rateKnown
};

class TrackedHand {
public:
    explicit TrackedHand(Hand hand) : hand_(hand) {}

    bool calibrated() const { return calibrated_; }
    DriftMonitor& monitor() { return monitor_; }
    const DriftMonitor& monitor() const { return monitor_; }

    // Calibrates from glove row `source` and wrist tracker `target` (checked
    // already: finite, a heading defined) and restarts the monitor with the
    // calibrated row's mount on the tracker.
    void calibrate(SingleHandState& state, const double* source, const double* target);
    // The calibration was replaced from a saved string: the monitor
    // restarts. With `kept` (a string that has it) the hand takes its
    // motion calibration, and the monitor its settings, the solved mount
    // and the rate it went by; otherwise, or for a hand not calibrated from
    // motion, the monitor takes its mount from its first frame.
    void restored(bool calibrated, const KeptHand* kept);
    KeptHand kept() const;
    // The motion calibration the hand's calibration came from; null when
    // it came from a single frame, or there is none.
    const MotionSummary* motionCalibration() const { return mountKnown_ ? &solved_ : nullptr; }

    // Calibrating from motion (MotionCalibration.h): a window of up to
    // `capacity` frames (allocated here, once); frames given in
    // `convention` (rows the glove's reference row, 4 doubles a frame);
    // what the window allows so far; and the solve, which on a good
    // verdict replaces the calibration (the rows turn by the solved
    // heading), restarts the monitor with the solved mount and ends the
    // window, and otherwise changes nothing. InvalidArgument without a
    // window, or for a time that is not finite or goes back (nothing
    // added); DegenerateInput for a refusal (the summary says why).
    void startMotion(std::size_t capacity) { motion_.start(capacity); }
    bool motionStarted() const { return motion_.started(); }
    Status addMotion(Convention convention, MotionFrames frames, std::size_t count);
    MotionSummary motionProgress() const { return motion_.progress(); }
    Status finishMotion(SingleHandState& state, MotionSummary& summary);
    // The same over a recorded window, in one call, leaving any window
    // started alone.
    Status calibrateFromMotion(SingleHandState& state, Convention convention, MotionFrames frames, std::size_t count,
                               MotionSummary& summary);

    // Converts `count` blocks given in `convention`, in place.
    Status apply(const SingleHandState& state, Convention convention, Frames blocks, std::size_t count) const;
    // apply(), and each frame observed by the monitor; after each sampled
    // frame the calibration may be re-calibrated or turned, for the frames
    // after it. InvalidArgument, before anything changes, for a time that
    // is not finite or goes back.
    Status applyTracked(SingleHandState& state, Convention convention, TrackedHandFrames frames, std::size_t count);

private:
    // Adds frames to `window` after checking every time.
    static Status addFrames(MotionWindow& window, Convention convention, MotionFrames frames, std::size_t count);
    // Takes a good solve as the hand's calibration.
    Status adopt(SingleHandState& state, const MotionSummary& summary);
    // What the calibration does after a sampled frame: `row` the glove's
    // reference row before calibration, `tracker` the wrist tracker.
    void afterSample(SingleHandState& state, const double* row, const double* tracker);
    void recalibrate(SingleHandState& state, const double* row, const double* tracker);

    Hand hand_;
    bool calibrated_ = false;
    // Whether the calibration knows how the glove sits on the tracker
    // (from motion): drift is then corrected from the trend alone.
    bool mountKnown_ = false;
    MotionSummary solved_;  // the motion calibration, when mountKnown_
    DriftMonitor monitor_;
    MotionWindow motion_;
};

}  // namespace tarn
