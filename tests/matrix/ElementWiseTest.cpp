// Element-wise functions and norms.
#include <gtest/gtest.h>

#include <cmath>

#include "support/MatrixAssertions.h"
#include "support/Messages.h"
#include "support/StdoutCapture.h"

namespace {

const double kPi = std::acos(-1.0);

TEST(ElementWise, EmptyOperandsGiveZerosOfTheirShapeAndAMessage)
{
    MatFunc r;
    EXPECT_EQ(captureStdout([&] { r = Sin(MatFunc()); }),
              errorLines({MSG_CTOR, "Error(MatFunc Sin): " MSG_EMPTY}));
    EXPECT_TRUE(isFailed(r, 0, 0));

    MatFunc failed;
    captureStdout([&] { failed = MatFunc(std::vector<double>{}, 2, 3); });
    EXPECT_EQ(captureStdout([&] { r = Cos(failed); }), errorLines({"Error(MatFunc Cos): " MSG_EMPTY}));
    EXPECT_TRUE(matrixEquals(r, 2, 3, {0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(captureStdout([&] { r = Sqrt(failed); }), errorLines({"Error(MatFunc Sqrt): " MSG_EMPTY}));
    EXPECT_EQ(captureStdout([&] { r = Asin(failed); }), errorLines({"Error(MatFunc Asin): " MSG_EMPTY}));
    EXPECT_EQ(captureStdout([&] { r = Atan2(failed, MatFunc(1.0, 2, 3)); }),
              errorLines({"Error(MatFunc Atan2): " MSG_EMPTY}));
}

TEST(ElementWise, AsinClampsItsArgumentButKeepsNaN)
{
    const MatFunc r = Asin(matrixOf(1, 5, {2, -3, 0.5, 1.0, NAN}));
    EXPECT_EQ(r.data[0], std::asin(1.0));
    EXPECT_EQ(r.data[1], -std::asin(1.0));
    EXPECT_EQ(r.data[2], std::asin(0.5));
    EXPECT_EQ(r.data[3], std::asin(1.0));
    EXPECT_TRUE(std::isnan(r.data[4]));
    EXPECT_TRUE(std::isnan(Sqrt(matrixOf(1, 1, {-1})).data[0]));
}

TEST(ElementWise, Atan2TakesTheOrdinateFirstInItsShape)
{
    const MatFunc r = Atan2(matrixOf(1, 2, {1, 0}), matrixOf(2, 1, {-1, -1}));
    ASSERT_EQ(r.row, 1);
    EXPECT_DOUBLE_EQ(r.data[0], 3 * kPi / 4);
    EXPECT_EQ(r.data[1], kPi);

    MatFunc shortX;
    EXPECT_EQ(captureStdout([&] { shortX = Atan2(matrixOf(1, 2, {1, 1}), matrixOf(1, 1, {1})); }),
              errorLines({"Error(MatFunc Atan2): " MSG_EMPTY}));
    EXPECT_TRUE(matrixEquals(shortX, 1, 2, {0, 0}));
}

TEST(Norms, WholeMatrixNormSumsSquaresFromTheLast)
{
    EXPECT_EQ(matrixOf(1, 2, {3, 4}).Module(), 5.0);
    // ((0 + 1e16) + 1) + 1 stays 1e16; first to last would reach 1e16 + 2.
    EXPECT_EQ(matrixOf(1, 3, {1, 1, 1e8}).Module(), 1e8);

    double norm = -1;
    EXPECT_EQ(captureStdout([&] { norm = MatFunc().Module(); }), errorLines({"Error(MatFunc Module): " MSG_EMPTY}));
    EXPECT_EQ(norm, 0.0);
}

TEST(Norms, ColumnAndRowNorms)
{
    const MatFunc m = matrixOf(2, 2, {3, 0, 4, 5});
    EXPECT_TRUE(matrixEquals(m.Module(0), 1, 2, {5, 5}));
    EXPECT_TRUE(matrixEquals(m.Module(1), 2, 1, {3, std::sqrt(41.0)}));

    MatFunc r;
    EXPECT_EQ(captureStdout([&] { r = m.Module(2); }),
              errorLines({MSG_SUM, MSG_CTOR, "Error(MatFunc Sqrt): " MSG_EMPTY}));
    EXPECT_TRUE(isFailed(r, 0, 0));
    EXPECT_EQ(captureStdout([&] { r = MatFunc().Module(0); }), errorLines({"Error(MatFunc Module): " MSG_EMPTY}));
    EXPECT_TRUE(isFailed(r, 0, 0));
}

}  // namespace
