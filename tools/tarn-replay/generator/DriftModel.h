// A longer session whose gloves drift: a person stands for minutes, turning
// about and moving the arms, and now and then holds still. Each glove's
// heading drifts against its wrist tracker by a constant rate plus a random
// walk; its hand turns against the tracker's strap (the wrist's side-to-side
// bend, smooth sway plus the odd gesture); every device has sensor noise.
// Everything random comes from one seed.
//
// At t = 0 the person holds still in the calibration pose: each glove's
// row 0 a quarter turn inwards of its tracker's forward, the wrist straight,
// no drift yet. Devices are recorded in the room frame; each glove reports
// in a reference of its own, turned about Z.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "SessionTypes.h"
#include "Rotations.h"

namespace replay {

struct DriftTruth {
    std::uint64_t seed = 1;
    double frameRate = 30.0;                       // frames per second
    std::array<double, 2> rate{radians(6.0) / 60, radians(-3.0) / 60};  // per Side, radians a second
    double walk = radians(0.01);                   // random walk of each glove's heading, radians per sqrt(second)
    double gloveNoise = radians(0.2);              // per frame and axis, radians
    double trackerNoise = radians(0.05);
    std::array<double, 2> gloveReference{radians(71.0), radians(-28.0)};  // per Side
};

// What a frame's recording hides.
struct DriftFrameTruth {
    double time = 0.0;
    std::array<double, 2> drift{};      // per Side: the glove's heading error, radians, unwrapped
    std::array<double, 2> deviation{};  // per Side: the hand's turn against the tracker, radians
    bool still = false;                 // the person holds still, or all but (moving at most half speed)
};

class DriftSession {
public:
    explicit DriftSession(const DriftTruth& truth);

    // The next frame and its truth (frame k at time k / frameRate).
    void next(Frame& frame, DriftFrameTruth& truth);

private:
    struct Rest {
        double start, end;                 // seconds
        std::array<double, 2> deviation;   // per Side: the relaxed wrist's turn
    };
    struct Bump {
        double start, length, size;  // motion time, motion time, radians
    };
    void planAhead(double t);
    double stillness(double t, const Rest*& rest) const;  // 1 holding still, 0 moving, ramps between
    double deviation(std::size_t hand, double tau) const;  // while moving
    Quaternion noise(double sigma);

    DriftTruth truth_;
    std::mt19937_64 random_;
    std::normal_distribution<double> normal_;
    std::vector<Rest> rests_;
    std::array<std::vector<Bump>, 2> gestures_;
    std::array<std::array<double, 6>, 2> jitter_{};  // per Side: of the sway's and arm's frequencies
    std::array<double, 2> walked_{};                // per Side: the random walk so far
    double tau_ = 0.0;                               // motion time: stands still while the person does
    std::size_t frame_ = 0;
};

}  // namespace replay
