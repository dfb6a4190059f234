// A glove and its wrist tracker as people wear them, during the few seconds
// of arm motion a motion calibration asks for. The forearm turns round,
// raises and lowers, and turns over (tens of degrees each); the tracker
// sits on it as its strap puts it (turned about the forearm anywhere the
// truth allows, tilted a few degrees, slipping about a degree); the glove's
// reference row sits on the hand a few degrees off its nominal place and
// the hand sways at the loose wrist (a few degrees up and down, less side
// to side). Every device has sensor noise; tracking drops frames in runs.
// The glove reports in a heading reference of its own.
//
// Frames: forearm +Y along the forearm towards the hand, +Z up when the
// forearm lies level palm down. Nominally the tracker's axes are the
// forearm's and the glove row's heading is the tracker's plus a quarter
// turn (right hand; minus for the left): tracker_from_glove = Rz(+-90).
#pragma once

#include <cstdint>
#include <random>

#include "SessionTypes.h"
#include "Rotations.h"

namespace replay {

struct WearTruth {
    std::uint64_t seed = 1;
    Side hand = Side::Right;
    double frameRate = 90.0;
    double strapTurnRange = radians(20.0);  // the strap turned about the forearm, uniform within +-this
    double strapTilt = radians(3.0);        // and tilted, per axis (standard deviation)
    double gloveTilt = radians(3.0);        // the glove row on the hand, per axis
    double swayUpDown = radians(3.0);       // the loose wrist's sway, standard deviations
    double swaySideways = radians(2.0);
    double strapSlip = radians(1.0);        // the strap's slow slip about the forearm
    double armMotion = 1.0;                 // scale of the forearm's motion (0: held still)
    bool turnRoundOnly = false;             // the forearm turning about the vertical alone
    double gloveNoise = radians(0.2);       // per frame and axis
    double trackerNoise = radians(0.05);
    double dropouts = 0.05;                 // fraction of frames lost, in runs of up to half a second
};

// One frame of the reference row and the tracker, and what they hide.
struct WearFrame {
    double time = 0.0;
    Quaternion glove{};    // reported, in the glove's heading reference; NaN when lost
    Quaternion tracker{};  // world_from_tracker; NaN when lost
};

class WearSession {
public:
    explicit WearSession(const WearTruth& truth);

    // The solution a calibration should find: the turn the rows need about
    // Z, and tracker_from_glove with the wrist straight and the strap
    // where it was put.
    double headingOffset() const { return headingOffset_; }
    const Quaternion& mount() const { return mount_; }

    WearFrame next();

private:
    double wave(int which, double t) const;  // a smooth motion of unit amplitude
    Quaternion noise(double sigma);

    WearTruth truth_;
    std::mt19937_64 random_;
    std::normal_distribution<double> normal_;
    double headingOffset_;
    Quaternion strap_{}, gloveOnHand_{}, mount_{};
    double bodyHeading_, startPitch_, startRoll_;
    std::array<std::array<double, 2>, 6> waves_{};  // frequency and phase of each motion
    std::size_t frame_ = 0;
    std::size_t lostUntil_ = 0;
};

}  // namespace replay
