// Seeded properties of the hand calibrations through the exports, each
// trial from the state at load, against the geometry written out
// independently: headings read off rotation matrices, frames built from
// the positions.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

#include "TarnHandCalibrationSDK.h"
#include "api/ProcessState.h"
#include "support/Matchers.h"
#include "support/Rotations.h"

namespace {

const double kQuarterTurn = std::acos(-1.0) / 2;
using Vec3 = std::array<double, 3>;
using HandBlock = std::array<double, 80>;

class Calibrations : public ::testing::Test {
protected:
    void SetUp() override { tarn::resetProcessStateForTesting(); }

    std::mt19937_64 rng{0xca1b};
    double uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng); }
    // A tilted rotation: heading anywhere, pitch and roll up to 60 degrees.
    Quat attitude()
    {
        const Quat pitch{std::cos(uniform(-0.5, 0.5)), 0, std::sin(uniform(-0.5, 0.5)), 0};
        const double roll = uniform(-0.5, 0.5);
        return hamilton(hamilton(headingQuat(uniform(-3.1, 3.1)), pitch), {std::cos(roll), std::sin(roll), 0, 0});
    }
    Vec3 position() { return {uniform(-3, 3), uniform(-3, 3), uniform(0, 2)}; }
    HandBlock hand()
    {
        HandBlock block;
        for (double& v : block) v = uniform(-1.5, 1.5);
        return block;
    }
};

// Every row of `after` is the same row of `before` turned about Z by `angle`.
void expectTurned(const HandBlock& before, const HandBlock& after, double angle)
{
    for (int i = 0; i < 20; ++i) {
        const Quat expected = hamilton(headingQuat(angle), {before[4 * i], before[4 * i + 1], before[4 * i + 2], before[4 * i + 3]});
        ASSERT_TRUE(sameRotation(&after[4 * i], expected.data())) << "row " << i;
    }
}

// (p - origin) turned by -heading about Z.
Vec3 inFrame(const Vec3& p, double heading, const Vec3& origin)
{
    const double dx = p[0] - origin[0], dy = p[1] - origin[1], c = std::cos(heading), s = std::sin(heading);
    return {c * dx + s * dy, -s * dx + c * dy, p[2] - origin[2]};
}

void expectPosition(const double* actual, const Vec3& expected)
{
    for (int k = 0; k < 3; ++k) ASSERT_NEAR(actual[k], expected[k], kRoundOff) << "axis " << k;
}

TEST_F(Calibrations, EachHandTurnsByTargetHeadingMinusSourceHeadingPlusOrMinusAQuarterTurn)
{
    for (int trial = 0; trial < 100; ++trial) {
        const Quat source = attitude(), target = attitude(), other = attitude();
        InitialRHand(source.data(), target.data());
        InitialLHand(target.data(), other.data());
        const HandBlock before = hand();
        HandBlock right = before, left = before;
        GetCalculationDataRHand(right.data());
        GetCalculationDataLHand(left.data());
        expectTurned(before, right, headingOf(target) - headingOf(source) + kQuarterTurn);
        expectTurned(before, left, headingOf(other) - headingOf(target) - kQuarterTurn);
    }
    Close();  // both hands back to no turn, finite rows bit for bit, -0.0 as +0.0
    HandBlock block = hand();
    block[5] = -0.0;
    GetCalculationDataLHand(block.data());
    EXPECT_EQ(bitsOf(block[5]), bitsOf(0.0));
}

TEST_F(Calibrations, BothHandsGoIntoTheFrameFromPosition2ToPosition1AroundTheirMidpoint)
{
    for (int trial = 0; trial < 100; ++trial) {
        Vec3 p1 = position(), p2 = position();
        ASSERT_TRUE(InitialDoubleCalibration(p1.data(), p2.data()));
        const double heading = std::atan2(p1[1] - p2[1], p1[0] - p2[0]);
        const Vec3 centre{(p1[0] + p2[0]) / 2, (p1[1] + p2[1]) / 2, (p1[2] + p2[2]) / 2};
        const HandBlock before1 = hand(), before2 = hand();
        HandBlock h1 = before1, h2 = before2;
        const Vec3 q1 = position(), q2 = position();
        p1 = q1, p2 = q2;
        GetDoubleHandCalibrationData(h1.data(), h2.data(), p1.data(), p2.data());
        expectPosition(p1.data(), inFrame(q1, heading, centre));
        expectPosition(p2.data(), inFrame(q2, heading, centre));
        expectTurned(before1, h1, -heading);
        expectTurned(before2, h2, -heading);
    }
}

}  // namespace
