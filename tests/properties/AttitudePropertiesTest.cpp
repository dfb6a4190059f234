// Seeded properties of the attitude operations in the six rotation orders,
// against rotations written out independently (support/Rotations.h).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "matrix/MatFunc.h"
#include "support/Matchers.h"
#include "support/Rotations.h"
#include "support/StdoutCapture.h"

using tarn::MatFunc;

namespace {

int axisColumn(char axis) { return axis - 'X'; }

class EveryOrder : public ::testing::TestWithParam<std::string> {
protected:
    std::mt19937_64 rng{0x7a9e};
    // Angles inside the ranges AttitudeAngle returns, the middle axis of the
    // order kept away from its singular +-pi/2.
    MatFunc randomAngles()
    {
        std::uniform_real_distribution<double> outer(-3.1, 3.1), middle(-1.5, 1.5);
        MatFunc e(0.0, 1, 3);
        for (int k = 0; k < 3; ++k) e.data[k] = outer(rng);
        e.data[axisColumn(GetParam()[1])] = middle(rng);
        return e;
    }
};

TEST_P(EveryOrder, QuaternionsAreTheElementaryRotationsInOrderAndAnglesReadBack)
{
    const std::string order = GetParam();
    std::uniform_real_distribution<double> scale(0.2, 5.0);
    for (int trial = 0; trial < 200; ++trial) {
        const MatFunc e = randomAngles();
        const MatFunc q = e.SY(order);
        Mat3 expected = elementaryRotation(order[0], e.data[axisColumn(order[0])]);
        expected = multiply(expected, elementaryRotation(order[1], e.data[axisColumn(order[1])]));
        expected = multiply(expected, elementaryRotation(order[2], e.data[axisColumn(order[2])]));
        const MatFunc cbn = q.Cbn();
        for (int k = 0; k < 9; ++k) ASSERT_NEAR(cbn.data[k], expected[k], kRoundOff) << "element " << k;

        // Length and sign of the quaternion do not change its angles.
        const MatFunc back = (q * (trial % 2 ? -scale(rng) : scale(rng))).AttitudeAngle(order);
        ASSERT_EQ(back.col, 3);
        for (int k = 0; k < 3; ++k) ASSERT_NEAR(back.data[k], e.data[k], kAngleRoundTrip) << "axis " << k;
    }
}

TEST_P(EveryOrder, SingularAttitudeGivesTheMiddleAngleWithoutError)
{
    const int middle = axisColumn(GetParam()[1]);
    for (double sign : {1.0, -1.0}) {
        MatFunc e(0.0, 1, 3);
        e.data[middle] = sign * std::acos(-1.0) / 2;
        e.data[(middle + 1) % 3] = 0.4;
        MatFunc back;
        EXPECT_EQ(captureStdout([&] { back = e.SY(GetParam()).AttitudeAngle(GetParam()); }), "");
        EXPECT_NEAR(back.data[middle], e.data[middle], 1e-7);
    }
}

INSTANTIATE_TEST_SUITE_P(Orders, EveryOrder, ::testing::Values("ZYX", "ZXY", "YZX", "YXZ", "XYZ", "XZY"));

}  // namespace
