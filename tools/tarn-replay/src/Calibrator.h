// Calibrates the library from one frame and replays frames through it.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "Frame.h"
#include "LibraryProbe.h"
#include "SessionLayout.h"

// Which calibration fills the glove columns of the output.
enum class HandsOutput { Single, Double };
// Which device should decide the All-VR frame when both kinds are present.
enum class FrameSource { Trackers, Headset };

struct CalibrationSettings {
    std::size_t sourceRow = 0;  // glove row used as single-hand source, 0-19
    HandsOutput hands = HandsOutput::Single;
    FrameSource frameFrom = FrameSource::Trackers;
};

struct HandResult {
    bool calibrated = false;
    std::string reason;        // why not, when not calibrated
    double turn = 0.0;         // read back: turn applied to the rows, radians
};

struct DoubleHandResult {
    bool attempted = false;    // both trackers were there
    bool accepted = false;     // the library's answer
    std::string reason;        // why not attempted or why refused
    ProbedFrame frame;         // read back, when accepted
};

struct AllVRResult {
    bool attempted = false;
    std::array<bool, 3> covered{};       // per Device: its pose output is calibrated
    std::string decidedBy;               // which input set the frame
    std::string note;                    // why a present tracker is not covered
    std::optional<ProbedFrame> frame;    // read back through a covered device
};

struct CalibrationResult {
    std::array<HandResult, 2> hand;      // indexed by Hand
    DoubleHandResult doubleHand;
    AllVRResult allVR;
};

// Drives the library's single-hand, double-hand and All-VR calibrations for
// the gloves and devices present in a session.
//  - Single hand: source = glove row `sourceRow`, target = that side's
//    tracker orientation.
//  - Double hand: position1 = right tracker, position2 = left tracker, so the
//    frame's +x points from the left hand to the right one.
//  - All-VR: every present device is on. A tracker's second position is one
//    unit behind it along its own +y axis (its forward when worn), so a
//    tracker alone takes its heading from where it points. With
//    FrameSource::Trackers each present tracker's orientation is also passed
//    as its second quaternion, which keeps the headset from overriding the
//    trackers; with FrameSource::Headset none is passed and a present headset
//    decides.
class Calibrator {
public:
    Calibrator(const SessionLayout& layout, const CalibrationSettings& settings);

    // Calibrates from `frame` (the library state is replaced) and reports
    // what happened, with the values read back from the library.
    CalibrationResult calibrate(const Frame& frame);

    // Replaces the gloves and devices of `frame` by their calibrated values;
    // blocks whose calibration did not happen are left as they are.
    void apply(Frame& frame) const;

private:
    HandResult calibrateHand(Hand hand, const Frame& frame) const;
    DoubleHandResult calibrateBothHands(const Frame& frame) const;
    AllVRResult calibrateAllVR(const Frame& frame) const;

    const SessionLayout& layout_;
    CalibrationSettings settings_;
    CalibrationResult result_;
};
