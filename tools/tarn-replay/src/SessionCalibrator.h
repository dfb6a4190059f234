// Calibrates one session's calibrator of the integrator API from one frame
// and replays frames through it.
#pragma once

#include <array>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "SessionTypes.h"
#include "Rotations.h"
#include "TarnCalibrator.h"

namespace replay {

// Which calibration fills the glove columns of the output.
enum class HandsOutput { Single, Double };
// Which device should decide the All-VR frame when both kinds are present.
enum class FrameSource { Trackers, Headset };

struct CalibrationSettings {
    std::size_t sourceRow = 0;  // glove row used as single-hand source, 0-19
    HandsOutput hands = HandsOutput::Single;
    FrameSource frameFrom = FrameSource::Trackers;
    // The drift monitors of single-hand gloves: automatic re-calibration
    // above this residual (radians), and compensation, when asked for.
    std::optional<double> recalibrateAbove;
    bool compensateDrift = false;
    // Single-hand gloves calibrated from the motion between these times
    // (seconds, both included) instead of at the calibration frame.
    std::optional<std::pair<double, double>> motionWindow;
};

// The frames of the motion window, per hand: times, the source row and the
// wrist tracker, 4 doubles a frame; and where the window starts.
struct MotionWindowFrames {
    std::array<std::vector<double>, 2> times, rows, trackers;  // indexed by Side
    Frame first;           // the window's first frame
    long firstLine = 0;    // its line; 0 when the window holds no frame
};

// A motion calibration's outcome, and what a snapshot at the window's first
// frame would have given.
struct MotionOutcome {
    tarn_motion_result result{};
    std::optional<double> snapshotTurn;  // radians; empty when refused,
    std::string snapshotRefused;         // for this reason
};

// A calibrated frame as the library reports it: positions are made relative
// to `origin` and turned by -heading about Z.
struct CalibratedFrame {
    double heading = 0.0;  // radians
    Vector3 origin{};
};

// What one calibration found in its input (NaN fields do not apply).

struct HandResult {
    bool attempted = false;    // glove and tracker were there
    bool calibrated = false;
    std::string reason;        // why not, when not calibrated
    double turn = 0.0;         // read back: turn applied to the rows, radians
    std::optional<tarn_quality> quality;
    std::optional<MotionOutcome> motion;  // calibrated from motion
};

struct DoubleHandResult {
    bool attempted = false;    // both trackers were there
    bool accepted = false;
    std::string reason;        // why not attempted or why refused
    CalibratedFrame frame;     // read back, when accepted
};

struct AllVRResult {
    bool attempted = false;
    bool accepted = false;
    std::array<unsigned char, 3> covered{};  // per Device: its pose output is calibrated
    std::string decidedBy;                   // which input set the frame, or why none did
    std::string reason;                      // why it was refused
    std::optional<CalibratedFrame> frame;
    std::optional<tarn_quality> quality;
};

// What a hand's drift monitor saw over the replay (single-hand gloves).
struct DriftResult {
    bool monitored = false;
    tarn_drift_report report{};
    double threshold = 0.0;                // radians
    double holdTime = 0.0;                 // seconds
    std::vector<tarn_drift_event> events;  // re-calibrations and compensation starts
};

struct CalibrationResult {
    std::array<HandResult, 2> hand;      // indexed by Side
    DoubleHandResult doubleHand;
    AllVRResult allVR;
};

// Drives the single-hand, double-hand and All-VR calibrations of one
// calibrator (in the library's convention) for the gloves and devices
// present in a session.
//  - Single hand: source = glove row `sourceRow`, target = that side's
//    tracker orientation.
//  - Double hand: position1 = right tracker, position2 = left tracker, so the
//    frame's +x points from the left hand to the right one.
//  - All-VR: every present device is on; FrameSource says whether the
//    trackers or the headset decide the frame when both are present.
class SessionCalibrator {
public:
    SessionCalibrator(const SessionLayout& layout, const CalibrationSettings& settings);
    ~SessionCalibrator();
    SessionCalibrator(const SessionCalibrator&) = delete;
    SessionCalibrator& operator=(const SessionCalibrator&) = delete;

    // Calibrates from `frame` and reports what happened, with the values
    // read back from the calibrator. With a motion window in the settings,
    // single-hand gloves are left to calibrateFromMotion().
    CalibrationResult calibrate(const Frame& frame);
    // Calibrates each glove present with its tracker from the window's
    // frames; the drift monitors start at the window's first frame.
    CalibrationResult calibrateFromMotion(const MotionWindowFrames& window);

    // Replaces the gloves and devices of `count` frames by their calibrated
    // values, with one batch call per glove and device; blocks whose
    // calibration did not happen are left as they are. Single-hand gloves
    // pass through their drift monitors, which write each frame's residual
    // and trend residual (radians, NaN where not monitored) into
    // residuals[hand] and trends[hand] when given; frames before the
    // calibration frame are not monitored. Throws
    // ReplayError if a monitor refuses the frames.
    void apply(Frame* frames, std::size_t count, std::array<std::vector<double>, 2>* residuals,
               std::array<std::vector<double>, 2>* trends = nullptr);

    // A hand's drift monitor after the frames applied so far.
    DriftResult drift(Side hand) const;

    // The calibrations that were attempted and refused, as "right hand (the
    // source: zero quaternion)", in the order of the report.
    std::vector<std::string> refusals() const;

private:
    HandResult calibrateHand(Side hand, const Frame& frame);
    DoubleHandResult calibrateBothHands(const Frame& frame);
    AllVRResult calibrateAllVR(const Frame& frame);

    const SessionLayout& layout_;
    CalibrationSettings settings_;
    tarn_calibrator* calibrator_ = nullptr;
    CalibrationResult result_;
    double calibrationTime_ = 0.0;
    std::array<std::vector<tarn_drift_event>, 2> events_;
};

// Why a calibration was refused, in words: the status, or the rule and the
// input it was found in.
std::string refusal(tarn_status status, const tarn_quality& quality);

}  // namespace replay
