#pragma once
// Seeded random calibration inputs and frames, in the library's own
// convention, and a calibrator's saved string, shared by the integrator
// API's tests.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "TarnCalibrator.h"

using Hand80 = std::array<double, 80>;

struct RandomSession {
    std::mt19937_64 rng;
    explicit RandomSession(unsigned long long seed) : rng(seed) {}

    double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng); }
    // A unit quaternion [w, x, y, z] tilted at most about 40 degrees.
    std::array<double, 4> orientation()
    {
        const double heading = uniform(-3.1, 3.1), tilt = uniform(-0.35, 0.35), axis = uniform(0, 6.28);
        const std::array<double, 4> h{std::cos(heading / 2), 0, 0, std::sin(heading / 2)};
        const std::array<double, 4> t{std::cos(tilt), std::sin(tilt) * std::cos(axis), std::sin(tilt) * std::sin(axis), 0};
        return {h[0] * t[0] - h[3] * t[3], h[0] * t[1] - h[3] * t[2], h[0] * t[2] + h[3] * t[1], h[0] * t[3] + h[3] * t[0]};
    }
    std::array<double, 3> position() { return {uniform(-3, 3), uniform(-3, 3), uniform(0, 2)}; }
    Hand80 hand()
    {
        Hand80 block;
        for (double& v : block) v = uniform(-1, 1);
        return block;
    }
};

// The calibrator's calibrations as a saved string.
inline std::vector<unsigned char> saved(const tarn_calibrator* c)
{
    std::size_t size = 0;
    EXPECT_EQ(tarn_calibrator_save(c, nullptr, 0, &size), TARN_BUFFER_TOO_SMALL);
    std::vector<unsigned char> bytes(size);
    EXPECT_EQ(tarn_calibrator_save(c, bytes.data(), bytes.size(), &size), TARN_OK);
    bytes.resize(size);
    return bytes;
}
