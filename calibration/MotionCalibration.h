#pragma once
// Calibrating a hand from a few seconds of motion instead of one instant.
//
// The glove and its wrist tracker both sense gravity, so the glove's
// heading reference differs from the tracking frame by a turn about the
// vertical alone (the heading offset psi), while the glove row sits on the
// tracker by a full rotation (the mount). With the wrist held loosely,
// every frame t satisfies, up to the hand's small motion against the
// tracker:
//
//   Rz(psi) (x) glove_t = world_from_tracker_t (x) tracker_from_glove
//
// One frame cannot tell psi from the mount; frames in which the forearm is
// turned over (tilted about a horizontal axis) as well as round determine
// both. The solve maximises, over psi and the mount, the weighted sum of
// trace(R_mount^T R_tracker^T Rz(psi) R_glove): for each psi the best
// mount is Davenport's (bestRotation), so the search is over psi alone.
// Frames are weighted down where many share an orientation (a hand held
// still does not outweigh a hand that moves) and where the hand moved
// against the tracker (Tukey's biweight on the residual angle). The
// heading's standard error comes from the data: a jackknife over ten
// stretches of the window, which allows for the slow sway of the wrist
// (neighbouring frames are not independent).
//
// Quaternions in the library convention (attitude/Attitude.h); angles in
// radians, times in seconds.
#include <cstddef>
#include <limits>
#include <vector>

#include "attitude/Attitude.h"
#include "calibration/SingleHand.h"

namespace tarn {

// Whether a window determines the calibration; every refusal is a reason
// a host can show (include/TarnCalibrator.h gives their messages).
enum class MotionVerdict { Good = 0, TooFewFrames = 1, TooShort = 2, TurnOver = 3, HandMoved = 4 };

// The refusal rules, in one place.
struct MotionRules {
    static constexpr std::size_t kFewestFrames = 20;        // valid frames
    static constexpr double kShortest = 2.0;                // seconds from the first valid frame to the last
    static constexpr double kLeastTurningOver = 10 * kDegree;  // RMS tilt of the tracker about its mean
    static constexpr double kLargestUncertainty = 2 * kDegree;  // the heading's standard error
    static constexpr double kLargestResidual = 15 * kDegree;    // RMS turn of the hand against the tracker
};

struct MotionSummary {
    MotionVerdict verdict = MotionVerdict::TooFewFrames;
    double headingOffset;       // psi: the hand's rows turn by it about Z
    double headingUncertainty;  // one standard error of psi
    Quaternion mount;           // tracker_from_glove of the calibrated row
    double strapTurn;           // the mount against the nominal one (the tracker's +Y along the
    double strapTilt;           // forearm, the row a quarter turn from it): turn about the forearm, and the rest
    double residualSpread;      // RMS turn of the hand against the tracker
    double turningRound;        // RMS turn of the tracker's heading about its mean
    double turningOver;         // RMS tilt of the tracker (its up axis) about its mean
    double duration;            // seconds from the first valid frame to the last
    std::size_t framesUsed = 0;
    std::size_t framesSkipped = 0;  // NaN, infinite or zero orientations
    MotionSummary();
};

// The frames of one window, kept for the solve. After start(), adding
// frames and solving allocate nothing.
class MotionWindow {
public:
    // Room for `capacity` frames (at least 1); the window starts empty.
    // Beyond the capacity, each new frame replaces the oldest.
    void start(std::size_t capacity);
    bool started() const { return capacity_ > 0; }
    // Forgets the frames and the room for them.
    void stop();

    // The last time added (NaN before any): frames must not go back from it.
    double lastTime() const { return lastTime_; }
    // One frame at a finite `time` no earlier than lastTime(): the glove's
    // reference row and the wrist tracker (library convention). A frame
    // with a NaN, infinite or zero orientation is counted and skipped.
    void add(double time, const double* row, const double* tracker);

    // Counts, duration and motion so far, and the verdict they allow; no
    // solve (the heading, mount and residual are NaN).
    MotionSummary progress() const;
    // The whole solve for `hand` over the frames kept.
    MotionSummary solve(Hand hand);

private:
    struct Frame {
        double time;
        Quaternion glove, tracker;  // unit length
    };
    const Frame& frame(std::size_t k) const { return frames_[(first_ + k) % capacity_]; }
    void measureMotion(MotionSummary& summary) const;
    // The verdict the figures allow; `solved`: the heading, its error and
    // the residual are the solve's (else NaN, and not judged).
    MotionVerdict allowed(const MotionSummary& summary, bool solved) const;

    std::vector<Frame> frames_;
    std::size_t capacity_ = 0, first_ = 0, count_ = 0, skipped_ = 0;
    double lastTime_ = std::numeric_limits<double>::quiet_NaN();
    // Scratch of the solve, sized at start.
    std::vector<Matrix3> gloves_, trackers_;
    std::vector<Vector3> residuals_;
    std::vector<double> weights_, spread_, angles_, sorted_;
    std::vector<std::size_t> order_, cells_;
};

}  // namespace tarn
