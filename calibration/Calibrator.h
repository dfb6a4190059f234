#pragma once
// A calibrator: one user's three calibrations as an object, in one host
// convention, with the checks the 16 exports do not make. Every operation
// returns a Status; one that does not return Status::Ok has changed
// neither the calibrator nor the caller's arrays. The integrator API
// (api/TarnCalibrator.cpp) is a thin C layer over this class; the enums'
// values are those of include/TarnCalibrator.h. Each hand, with its drift
// monitor, is a TrackedHand.
#include <array>
#include <cstddef>

#include "calibration/AllVR.h"
#include "calibration/CalibrationState.h"
#include "calibration/Degeneracy.h"
#include "calibration/Frames.h"
#include "calibration/HostConvention.h"
#include "calibration/SingleHand.h"
#include "calibration/Status.h"
#include "calibration/TrackedHand.h"

namespace tarn {

// Where a degeneracy was found.
enum class Input { None = 0, Source = 1, Target = 2, Positions = 3, RightTracker = 4, LeftTracker = 5, Headset = 6 };

// What a calibration found in its input; NaN where a field does not apply.
// Headings in the library convention (see include/TarnCalibrator.h).
struct Quality {
    Degeneracy degeneracy = Degeneracy::None;
    Input degenerateInput = Input::None;
    double sourceTilt;
    double targetTilt;
    double separation;
    double trackerLineHeading;
    double rightForwardHeading;
    double leftForwardHeading;
    double headsetHeading;
    double largestDisagreement;
    FrameDecider frameDecidedBy = FrameDecider::Nothing;  // All-VR, once calibrated
    Quality();
};

// The inputs of an All-VR calibration, indexed by VRDevice.
struct AllVRInput {
    bool on[3] = {false, false, false};
    bool headsetDecides = false;
    double position[3][3] = {};
    double orientation[3][4] = {};
};

// The range of a calibration's inputs, beyond which its arithmetic would
// overflow or lose the input: quaternion components (a larger one
// overflows the squared length) and positions in metres (farther out, the
// unit a lone tracker's direction is taken over is lost in rounding).
// include/TarnCalibrator.h gives them to hosts.
constexpr double kLargestQuaternionComponent = 1e150;
constexpr double kLargestPosition = 1e6;

// The rule every calibration applies to an orientation given in
// `convention`: InvalidArgument for a NaN, infinite or out-of-range
// component, else DegenerateInput with `rule` set when no heading can be
// taken from it.
Status checkOrientation(Convention convention, const double* orientation, Degeneracy& rule);

class Calibrator {
public:
    explicit Calibrator(Convention convention) : convention_(convention) {}

    Convention convention() const { return convention_; }

    Status calibrateHand(Hand hand, const double* source, const double* target, Quality& quality);
    Status applyHand(Hand hand, Frames blocks, std::size_t count) const;

    // applyHand, and each frame observed by the hand's drift monitor
    // (TrackedHand::applyTracked).
    Status applyHandTracked(Hand hand, TrackedHandFrames frames, std::size_t count);
    // Calibrating a hand from motion, frames in the calibrator's
    // convention (TrackedHand, MotionCalibration.h). InvalidArgument for
    // a hand with no window started.
    void startMotion(Hand hand, std::size_t capacity) { tracked(hand).startMotion(capacity); }
    Status addMotion(Hand hand, MotionFrames frames, std::size_t count);
    Status motionProgress(Hand hand, MotionSummary& summary) const;
    Status finishMotion(Hand hand, MotionSummary& summary);
    Status calibrateFromMotion(Hand hand, MotionFrames frames, std::size_t count, MotionSummary& summary);
    // The mount of a motion calibration, in the calibrator's convention.
    void mountToHost(const Quaternion& mount, double* out) const;
    DriftMonitor& drift(Hand hand) { return tracked(hand).monitor(); }
    const DriftMonitor& drift(Hand hand) const { return tracked(hand).monitor(); }
    bool handCalibrated(Hand hand) const { return tracked(hand).calibrated(); }

    // The double-hand frame: origin midway between the hands, its X axis
    // from the left hand's position towards the right one's.
    Status calibrateBothHands(const double* rightPosition, const double* leftPosition, Quality& quality);
    Status applyBothHands(Frames rightHand, Frames leftHand, Frames rightPosition, Frames leftPosition,
                          std::size_t count) const;
    void resetBothHands();

    Status calibrateAllVR(const AllVRInput& input, Quality& quality);
    // Either of positions.data and orientations.data may be null.
    Status applyDevice(VRDevice device, Frames positions, Frames orientations, std::size_t count) const;
    // Every part of each record present in `layout`, a record after the
    // other: the hands as applyHand, the devices as applyDevice, the same
    // bits. NotCalibrated, before anything changes, for a hand in the
    // layout without a calibration or a device the All-VR calibration does
    // not cover.
    Status applyFrames(const FrameLayout& layout, unsigned char* records, std::size_t stride, std::size_t count) const;

    // Reading a calibration back, in the calibrator's convention: the
    // rotation applied to a hand's rows; a frame's orientation and origin
    // (origin may be null); which devices the All-VR calibration covers.
    Status handRotation(Hand hand, double* rotation) const;
    Status bothHandsFrame(double* rotation, double* origin) const;
    Status allVRFrame(double* rotation, double* origin, bool* covered) const;

    // The calibrations, and whether each hand has one (the 16 exports'
    // state has no such flag: an uncalibrated hand turns by nothing).
    const CalibrationState& state() const { return state_; }
    // With `kept` (one per hand, right first), what each hand keeps beyond
    // its offset (TrackedHand::restored).
    void replaceState(const CalibrationState& state, const bool handsCalibrated[2], const KeptHand* kept);
    KeptHand keptHand(Hand hand) const { return tracked(hand).kept(); }
    const MotionSummary* motionCalibration(Hand hand) const { return tracked(hand).motionCalibration(); }

private:
    TrackedHand& tracked(Hand hand) { return hands_[hand == Hand::Right ? 0 : 1]; }
    const TrackedHand& tracked(Hand hand) const { return hands_[hand == Hand::Right ? 0 : 1]; }

    Convention convention_;
    CalibrationState state_;
    std::array<TrackedHand, 2> hands_{TrackedHand(Hand::Right), TrackedHand(Hand::Left)};
};

}  // namespace tarn
