// Euler angles and quaternions in the six rotation orders.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/MatrixAssertions.h"
#include "support/Messages.h"
#include "support/Rotations.h"
#include "support/StdoutCapture.h"

namespace {

const double kHalfPi = std::acos(-1.0) / 2;

// Column of each axis in an Euler-angle row.
int axisColumn(char axis) { return axis - 'X'; }

class EveryOrder : public ::testing::TestWithParam<std::string> {
protected:
    std::mt19937_64 rng{0x7a9e};
    // Random angles inside the ranges AttitudeAngle returns, the middle axis
    // of the order kept away from its singular +-pi/2.
    MatFunc randomAngles()
    {
        std::uniform_real_distribution<double> outer(-3.1, 3.1), middle(-1.5, 1.5);
        MatFunc e(0.0, 1, 3);
        for (int k = 0; k < 3; ++k) e.data[k] = outer(rng);
        e.data[axisColumn(GetParam()[1])] = middle(rng);
        return e;
    }
};

TEST_P(EveryOrder, AttitudeAngleInvertsSY)
{
    for (int trial = 0; trial < 200; ++trial) {
        const MatFunc e = randomAngles();
        const MatFunc back = e.SY(GetParam()).AttitudeAngle(GetParam());
        ASSERT_EQ(back.col, 3);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(back.data[k], e.data[k], 1e-9) << "axis " << k;
    }
}

TEST_P(EveryOrder, DirectionCosinesAreTheElementaryRotationsInOrder)
{
    const std::string order = GetParam();
    for (int trial = 0; trial < 50; ++trial) {
        const MatFunc e = randomAngles();
        Mat3 expected = elementaryRotation(order[0], e.data[axisColumn(order[0])]);
        expected = multiply(expected, elementaryRotation(order[1], e.data[axisColumn(order[1])]));
        expected = multiply(expected, elementaryRotation(order[2], e.data[axisColumn(order[2])]));
        const MatFunc m = e.SY(order).Cbn();
        for (int k = 0; k < 9; ++k) EXPECT_NEAR(m.data[k], expected[k], 1e-14);
    }
}

TEST_P(EveryOrder, SingularAttitudeGivesTheMiddleAngleWithoutError)
{
    const int middle = axisColumn(GetParam()[1]);
    for (double sign : {1.0, -1.0}) {
        MatFunc e(0.0, 1, 3);
        e.data[middle] = sign * kHalfPi;
        e.data[(middle + 1) % 3] = 0.4;
        MatFunc back;
        EXPECT_EQ(captureStdout([&] { back = e.SY(GetParam()).AttitudeAngle(GetParam()); }), "");
        EXPECT_NEAR(back.data[middle], sign * kHalfPi, 1e-7);
    }
}

TEST_P(EveryOrder, SingleAxisAnglesGiveElementaryQuaternions)
{
    for (int axis = 0; axis < 3; ++axis) {
        MatFunc e(0.0, 1, 3);
        e.data[axis] = 0.8;
        const MatFunc q = e.SY(GetParam());
        EXPECT_NEAR(q.data[0], std::cos(0.4), 1e-16);
        for (int k = 1; k < 4; ++k) EXPECT_NEAR(q.data[k], k == axis + 1 ? std::sin(0.4) : 0.0, 1e-16);
    }
    EXPECT_TRUE(matrixEquals(MatFunc(0.0, 1, 3).SY(GetParam()), 1, 4, {1, 0, 0, 0}));
}

TEST_P(EveryOrder, AnglesIgnoreLengthAndSignOfTheQuaternion)
{
    EXPECT_TRUE(matrixEquals(matrixOf(1, 4, {2, 0, 0, 0}).AttitudeAngle(GetParam()), 1, 3, {0, 0, 0}));
    const MatFunc q = randomAngles().SY(GetParam());
    const MatFunc a = q.AttitudeAngle(GetParam());
    const MatFunc b = (q * -3.0).AttitudeAngle(GetParam());
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(a.data[k], b.data[k], 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Orders, EveryOrder, ::testing::Values("ZYX", "ZXY", "YZX", "YXZ", "XYZ", "XZY"));

TEST(EulerShapes, SamplesAreRowsOrColumnsOfTheInput)
{
    // 3 x 5: five samples, one per column.
    MatFunc columns(0.0, 3, 5);
    for (int k = 0; k < 15; ++k) columns.data[k] = 0.1 * k - 0.7;
    const MatFunc q = columns.SY();
    ASSERT_EQ(q.row, 5);
    ASSERT_EQ(q.col, 4);
    const MatFunc sample = columns.getcol(3).transpose().SY();
    for (int k = 0; k < 4; ++k) EXPECT_EQ(q.data[12 + k], sample.data[k]);

    // 3 x 3: samples are rows.
    const MatFunc rows = matrixOf(3, 3, {0.1, 0.2, 0.3, 0, 0, 0, -0.5, 0.4, 1.0});
    const MatFunc r = rows.SY();
    ASSERT_EQ(r.row, 3);
    EXPECT_EQ(r.data[4], 1.0);

    // 4 x 2: quaternions are columns; 4 x 4: rows.
    EXPECT_EQ(matrixOf(4, 2, {1, 1, 0, 0, 0, 0, 0, 0}).AttitudeAngle().row, 2);
    const MatFunc square = matrixOf(4, 4, {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1});
    const MatFunc angles = square.AttitudeAngle();
    ASSERT_EQ(angles.row, 4);
    EXPECT_NEAR(angles.data[11], 2 * kHalfPi, 1e-15);
}

TEST(EulerShapes, WrongShapesAndEmptySetsWriteTheirLines)
{
    MatFunc r;
    EXPECT_EQ(captureStdout([&] { r = MatFunc(1.0, 2, 4).SY(); }), errorLines({MSG_SY_DIM}));
    EXPECT_TRUE(isFailed(r, 0, 0));
    EXPECT_EQ(captureStdout([&] { r = MatFunc(1.0, 2, 3).AttitudeAngle(); }), errorLines({MSG_ATT_DIM}));
    EXPECT_TRUE(isFailed(r, 0, 0));

    MatFunc noSamples;
    captureStdout([&] { noSamples = MatFunc(0, 4); });
    EXPECT_EQ(captureStdout([&] { r = noSamples.AttitudeAngle(); }),
              errorLines({"Error(MatFunc Module): " MSG_EMPTY, "Error(MatFunc /): " MSG_COLS, MSG_ATT_DIM}));
    EXPECT_TRUE(isFailed(r, 0, 0));

    captureStdout([&] { noSamples = MatFunc(0, 3); });
    EXPECT_EQ(captureStdout([&] { r = noSamples.SY("bad order"); }),
              errorLines({MSG_CTOR, MSG_CTOR, MSG_CTOR, MSG_CTOR}));
    EXPECT_TRUE(isFailed(r, 0, 4));
}

TEST(EulerShapes, UnknownOrdersGiveZerosOfTheResultShape)
{
    for (const std::string order : {"zyx", "ZYX ", "", "XXX"}) {
        MatFunc r;
        EXPECT_EQ(captureStdout([&] { r = MatFunc(0.3, 2, 3).SY(order); }), errorLines({MSG_SY_ORDER}));
        EXPECT_TRUE(matrixEquals(r, 2, 4, {0, 0, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(captureStdout([&] { r = MatFunc(0.5, 2, 4).AttitudeAngle(order); }), errorLines({MSG_ATT_ORDER}));
        EXPECT_TRUE(matrixEquals(r, 2, 3, {0, 0, 0, 0, 0, 0}));
    }
}

TEST(EulerShapes, ZeroQuaternionGivesNaNSilently)
{
    MatFunc r;
    EXPECT_EQ(captureStdout([&] { r = MatFunc(0.0, 1, 4).AttitudeAngle(); }), "");
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(std::isnan(r.data[k]));
}

}  // namespace
