// Single-hand and double-hand calibration through the exports, with
// expectations built from rotations written out in the test.
#include <array>
#include <cmath>
#include <limits>

#include "support/Bits.h"
#include "support/FreshLibrary.h"
#include "support/Rotations.h"
#include "support/StdoutCapture.h"

namespace {

const double kDeg = std::acos(-1.0) / 180;

// Quaternion of rotations about X, Y, Z (radians), applied as Rz * Ry * Rx.
Quat fromAngles(double x, double y, double z)
{
    const Quat qx{std::cos(x / 2), std::sin(x / 2), 0, 0};
    const Quat qy{std::cos(y / 2), 0, std::sin(y / 2), 0};
    return hamilton(hamilton(headingQuat(z), qy), qx);
}

using HandBlock = std::array<double, 80>;

HandBlock blockOf(const Quat& q)
{
    HandBlock block{};
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 4; ++j) block[4 * i + j] = q[j] * (1 + 0.05 * i);  // rows of different lengths
    return block;
}

// Every row of `after` equals the same row of `before` turned about the
// world Z axis by `angle`.
void expectTurnedAboutZ(const HandBlock& before, const HandBlock& after, double angle)
{
    for (int i = 0; i < 20; ++i) {
        const Quat h{before[4 * i], before[4 * i + 1], before[4 * i + 2], before[4 * i + 3]};
        const Quat expected = hamilton(headingQuat(angle), h);
        for (int j = 0; j < 4; ++j) ASSERT_NEAR(after[4 * i + j], expected[j], 1e-12) << "row " << i;
    }
}

using SingleHand = FreshLibrary;

TEST_F(SingleHand, UncalibratedHandsComeBackUnchangedExceptNegativeZero)
{
    HandBlock block = blockOf(fromAngles(0.1, 0.2, 0.3));
    block[5] = -0.0;
    const HandBlock before = block;
    GetCalculationDataRHand(block.data());
    for (int k = 0; k < 80; ++k) {
        if (k == 5) continue;
        EXPECT_EQ(bitsOf(block[k]), bitsOf(before[k]));
    }
    EXPECT_EQ(bitsOf(block[5]), bitsOf(0.0));
}

TEST_F(SingleHand, OffsetsTurnByTargetMinusSourcePlusOrMinusAQuarterTurn)
{
    const Quat source = fromAngles(10 * kDeg, -20 * kDeg, 30 * kDeg);
    const Quat target = fromAngles(5 * kDeg, 7 * kDeg, 10 * kDeg);
    InitialRHand(source.data(), target.data());
    InitialLHand(source.data(), target.data());

    const HandBlock before = blockOf(source);
    HandBlock right = before, left = before;
    GetCalculationDataRHand(right.data());
    GetCalculationDataLHand(left.data());
    expectTurnedAboutZ(before, right, 70 * kDeg);
    expectTurnedAboutZ(before, left, -110 * kDeg);
    EXPECT_NEAR(headingOf({right[0], right[1], right[2], right[3]}), 100 * kDeg, 1e-12);
}

TEST_F(SingleHand, TiltOfSourceAndTargetDoesNotMatter)
{
    const Quat flatSource = fromAngles(0, 0, 0.7), flatTarget = fromAngles(0, 0, -1.9);
    const Quat tiltedSource = fromAngles(0.5, -0.3, 0.7), tiltedTarget = fromAngles(-1.0, 0.8, -1.9);
    const HandBlock before = blockOf(fromAngles(0.2, 0.1, 0.4));

    InitialRHand(flatSource.data(), flatTarget.data());
    HandBlock flat = before;
    GetCalculationDataRHand(flat.data());
    InitialRHand(tiltedSource.data(), tiltedTarget.data());
    HandBlock tilted = before;
    GetCalculationDataRHand(tilted.data());
    for (int k = 0; k < 80; ++k) EXPECT_NEAR(flat[k], tilted[k], 1e-12);
    expectTurnedAboutZ(before, tilted, -1.9 - 0.7 + 90 * kDeg);
}

TEST_F(SingleHand, HandsAreIndependentAndRecalibrationReplaces)
{
    const Quat a = fromAngles(0, 0, 0.3), b = fromAngles(0, 0, 1.3);
    InitialRHand(a.data(), a.data());
    InitialRHand(a.data(), b.data());  // only this one stays in force
    const HandBlock before = blockOf(fromAngles(0.3, 0.2, 0.1));
    HandBlock right = before, left = before;
    GetCalculationDataRHand(right.data());
    GetCalculationDataLHand(left.data());
    expectTurnedAboutZ(before, right, 1.0 + 90 * kDeg);
    expectTurnedAboutZ(before, left, 0.0);
}

TEST_F(SingleHand, CloseResetsBothHandsOnly)
{
    const Quat q = fromAngles(0, 0, 0.5);
    InitialRHand(q.data(), q.data());
    InitialLHand(q.data(), q.data());
    const double p1[3] = {1, 0, 0}, p2[3] = {0, 0, 0};
    ASSERT_TRUE(InitialDoubleCalibration(p1, p2));
    Close();
    Close();

    const HandBlock before = blockOf(fromAngles(0.1, 0.2, 0.3));
    HandBlock right = before, left = before;
    GetCalculationDataRHand(right.data());
    GetCalculationDataLHand(left.data());
    expectTurnedAboutZ(before, right, 0.0);
    expectTurnedAboutZ(before, left, 0.0);

    HandBlock h1 = before, h2 = before;
    double q1[3] = {2, 0, 0}, q2[3] = {0, 0, 0};
    GetDoubleHandCalibrationData(h1.data(), h2.data(), q1, q2);
    EXPECT_NEAR(q1[0], 1.5, 1e-14);  // still relative to the double-hand centre
}

TEST_F(SingleHand, ZeroSampleGivesNaNSilently)
{
    const Quat zero{0, 0, 0, 0}, q = fromAngles(0, 0, 1);
    EXPECT_EQ(captureStdout([&] { InitialRHand(zero.data(), q.data()); }), "");
    HandBlock block = blockOf(q);
    GetCalculationDataRHand(block.data());
    EXPECT_TRUE(std::isnan(block[0]));
}

using DoubleHand = FreshLibrary;

struct TwoHands {
    HandBlock hand1, hand2;
    std::array<double, 3> position1, position2;
};

TwoHands sample(const Quat& q, std::array<double, 3> p1, std::array<double, 3> p2)
{
    return {blockOf(q), blockOf(hamilton(q, fromAngles(0.2, 0, 0))), p1, p2};
}

void apply(TwoHands& s)
{
    GetDoubleHandCalibrationData(s.hand1.data(), s.hand2.data(), s.position1.data(), s.position2.data());
}

void expectUntouched(const TwoHands& before, const TwoHands& after)
{
    for (int k = 0; k < 80; ++k) {
        EXPECT_EQ(bitsOf(after.hand1[k]), bitsOf(before.hand1[k]));
        EXPECT_EQ(bitsOf(after.hand2[k]), bitsOf(before.hand2[k]));
    }
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(bitsOf(after.position1[k]), bitsOf(before.position1[k]));
        EXPECT_EQ(bitsOf(after.position2[k]), bitsOf(before.position2[k]));
    }
}

TEST_F(DoubleHand, FrameRunsFromPosition2ToPosition1AroundTheirMidpoint)
{
    const double p1[3] = {0.2, 0.5, 1.0}, p2[3] = {1.2, 1.5, 1.1};
    ASSERT_TRUE(InitialDoubleCalibration(p1, p2));  // heading -135 degrees

    const double psi = -135 * kDeg;
    TwoHands s = sample(fromAngles(0.1, -0.2, psi + 0.3), {0.2, 0.5, 1.0}, {1.2, 1.5, 1.1});
    const TwoHands before = s;
    apply(s);
    const double half = std::sqrt(0.5);
    EXPECT_NEAR(s.position1[0], half, 1e-14);
    EXPECT_NEAR(s.position1[1], 0, 1e-14);
    EXPECT_NEAR(s.position1[2], -0.05, 1e-14);
    EXPECT_NEAR(s.position2[0], -half, 1e-14);
    EXPECT_NEAR(s.position2[2], 0.05, 1e-14);
    expectTurnedAboutZ(before.hand1, s.hand1, -psi);
    expectTurnedAboutZ(before.hand2, s.hand2, -psi);
    EXPECT_NEAR(headingOf({s.hand1[0], s.hand1[1], s.hand1[2], s.hand1[3]}), 0.3, 1e-12);
}

TEST_F(DoubleHand, ToleranceIsStrictAndHorizontalOnly)
{
    const double origin[3] = {0, 0, 0}, justEnough[3] = {0.001, 0, 0};
    const double tooClose[3] = {0.0009, -0.0009, 50.0};
    EXPECT_TRUE(InitialDoubleCalibration(justEnough, origin));
    EXPECT_FALSE(InitialDoubleCalibration(tooClose, origin));

    // A NaN difference is not refused; the frame then holds NaN.
    const double notANumber[3] = {std::numeric_limits<double>::quiet_NaN(), 0, 0};
    EXPECT_TRUE(InitialDoubleCalibration(notANumber, origin));
    TwoHands s = sample(fromAngles(0, 0, 0), {1, 1, 1}, {0, 0, 0});
    apply(s);
    EXPECT_TRUE(std::isnan(s.position1[0]));
}

TEST_F(DoubleHand, NothingIsWrittenWhileUncalibrated)
{
    TwoHands s = sample(fromAngles(0.1, 0.2, 0.3), {1, 2, 3}, {-1, -2, -3});
    s.hand1[7] = -0.0;
    const TwoHands before = s;
    apply(s);
    expectUntouched(before, s);

    const double p1[3] = {1, 0, 0}, p2[3] = {0, 0, 0}, same[3] = {0, 0, 9};
    ASSERT_TRUE(InitialDoubleCalibration(p1, p2));
    ASSERT_FALSE(InitialDoubleCalibration(same, p2));  // refusal disables the output
    apply(s);
    expectUntouched(before, s);

    ASSERT_TRUE(InitialDoubleCalibration(p1, p2));
    ResetDoubleHandCalibration();
    apply(s);
    expectUntouched(before, s);
}

TEST_F(DoubleHand, NewCalibrationReplacesRotationAndCentre)
{
    const double a1[3] = {1, 0, 0}, a2[3] = {0, 0, 0};
    const double b1[3] = {5, 6, 0}, b2[3] = {5, 4, 0};  // along +y, centre (5, 5)
    ASSERT_TRUE(InitialDoubleCalibration(a1, a2));
    ASSERT_TRUE(InitialDoubleCalibration(b1, b2));
    TwoHands s = sample(fromAngles(0, 0, 0), {5, 7, 2}, {6, 5, 0});
    apply(s);
    EXPECT_NEAR(s.position1[0], 2, 1e-14);
    EXPECT_NEAR(s.position1[1], 0, 1e-14);
    EXPECT_NEAR(s.position1[2], 2, 1e-14);
    EXPECT_NEAR(s.position2[1], -1, 1e-14);
}

}  // namespace
