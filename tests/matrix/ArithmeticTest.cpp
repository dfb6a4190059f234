// Element-wise arithmetic with stretching, the matrix product, scalar
// operations and sums.
#include <gtest/gtest.h>

#include "support/MatrixAssertions.h"
#include "support/Messages.h"
#include "support/StdoutCapture.h"

namespace {

const MatFunc k3x4 = matrixOf(3, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});

TEST(Stretching, ASingleColumnOrRowIsAppliedOnEitherSide)
{
    EXPECT_TRUE(matrixEquals(k3x4 + matrixOf(3, 1, {100, 200, 300}), 3, 4,
                             {101, 102, 103, 104, 205, 206, 207, 208, 309, 310, 311, 312}));
    EXPECT_TRUE(matrixEquals(matrixOf(1, 4, {10, 20, 30, 40}) + k3x4, 3, 4,
                             {11, 22, 33, 44, 15, 26, 37, 48, 19, 30, 41, 52}));
    // The left operand stays on the left when it is the stretched one.
    EXPECT_TRUE(matrixEquals(matrixOf(3, 1, {0, 0, 100}) - k3x4, 3, 4,
                             {-1, -2, -3, -4, -5, -6, -7, -8, 91, 90, 89, 88}));
    EXPECT_TRUE(matrixEquals(k3x4 / matrixOf(1, 4, {1, 2, 4, 8}), 3, 4,
                             {1, 1, 0.75, 0.5, 5, 3, 1.75, 1, 9, 5, 2.75, 1.5}));
    EXPECT_TRUE(matrixEquals(matrixOf(1, 3, {1, 2, 3}).dot(matrixOf(1, 3, {1, 2, 3})), 1, 3, {1, 4, 9}));
}

TEST(Stretching, ShapesThatDoNotLineUpFailWithTheOperationsMessage)
{
    MatFunc r = k3x4;
    EXPECT_EQ(captureStdout([&] { r = MatFunc(1.0, 1, 1) + MatFunc(1.0, 3, 3); }),
              errorLines({"Error(MatFunc +): " MSG_ROWS_COLS}));
    EXPECT_TRUE(isFailed(r, 0, 0));
    EXPECT_EQ(captureStdout([&] { r = MatFunc(1.0, 1, 3) / MatFunc(1.0, 3, 1); }),
              errorLines({"Error(MatFunc /): " MSG_ROWS_COLS}));
    EXPECT_EQ(captureStdout([&] { r = MatFunc(1.0, 2, 3).dot(MatFunc(1.0, 2, 4)); }),
              errorLines({"Error(MatFunc dot): " MSG_COLS}));
    EXPECT_EQ(captureStdout([&] { r = MatFunc(1.0, 2, 3) - MatFunc(1.0, 4, 3); }),
              errorLines({"Error(MatFunc -): " MSG_ROWS}));
    EXPECT_TRUE(isFailed(r, 0, 0));
}

TEST(Stretching, ShapesWithoutElementsStretchOverNothing)
{
    MatFunc zeroRows;
    captureStdout([&] { zeroRows = MatFunc(0, 3); });
    MatFunc r;
    EXPECT_EQ(captureStdout([&] { r = matrixOf(1, 3, {1, 2, 3}) + zeroRows; }), errorLines({MSG_CTOR}));
    EXPECT_TRUE(isFailed(r, 0, 3));
    EXPECT_EQ(captureStdout([&] { r = MatFunc() + MatFunc(); }), errorLines({MSG_CTOR}));
    EXPECT_TRUE(isFailed(r, 0, 0));
}

TEST(Product, SumsRunOverKAscendingFromZero)
{
    EXPECT_TRUE(matrixEquals(matrixOf(1, 3, {1, 2, 3}) * matrixOf(3, 1, {4, 5, 6}), 1, 1, {32}));
    EXPECT_TRUE(matrixEquals(matrixOf(3, 1, {1, 2, 3}) * matrixOf(1, 3, {4, 5, 6}), 3, 3,
                             {4, 5, 6, 8, 10, 12, 12, 15, 18}));
    // ((0 + 1e16) + 1) - 1e16 is 0; any other order gives 1 or 2.
    EXPECT_TRUE(matrixEquals(matrixOf(1, 3, {1e16, 1, -1e16}) * matrixOf(3, 1, {1, 1, 1}), 1, 1, {0}));

    MatFunc r;
    EXPECT_EQ(captureStdout([&] { r = MatFunc(1.0, 2, 3) * MatFunc(1.0, 2, 3); }), errorLines({MSG_PRODUCT}));
    EXPECT_TRUE(isFailed(r, 0, 0));
}

TEST(Scalars, MapEveryElementAndKeepShapeAndFlag)
{
    const MatFunc m = matrixOf(1, 3, {1, -2, 4});
    EXPECT_TRUE(matrixEquals(2 * m, 1, 3, {2, -4, 8}));
    EXPECT_TRUE(matrixEquals(m / 2, 1, 3, {0.5, -1, 2}));
    EXPECT_TRUE(matrixEquals(m * 0.25, 1, 3, {0.25, -0.5, 1}));
    EXPECT_TRUE(matrixEquals(m / 4.0, 1, 3, {0.25, -0.5, 1}));
    EXPECT_TRUE(matrixEquals(m - 1.0, 1, 3, {0, -3, 3}));
    EXPECT_TRUE(matrixEquals(1.0 - m, 1, 3, {0, 3, -3}));
    EXPECT_TRUE(matrixEquals(Square(m), 1, 3, {1, 4, 16}));

    MatFunc failed;
    captureStdout([&] { failed = MatFunc(0, 2); });
    EXPECT_EQ(captureStdout([&] { failed = -2 * failed; }), "");
    EXPECT_TRUE(isFailed(failed, 0, 2));
}

TEST(Sum, ColumnsAndRowsAreSummedFromTheLastElement)
{
    const MatFunc m = matrixOf(2, 2, {1, 2, 3, 4});
    EXPECT_TRUE(matrixEquals(m.sum(0), 1, 2, {4, 6}));
    EXPECT_TRUE(matrixEquals(m.sum(1), 2, 1, {3, 7}));
    // ((0 - 1e16) + 1e16) + 1 is 1; first to last would give 0.
    EXPECT_TRUE(matrixEquals(matrixOf(1, 3, {1, 1e16, -1e16}).sum(1), 1, 1, {1}));

    MatFunc r = m;
    EXPECT_EQ(captureStdout([&] { r = m.sum(2); }), errorLines({MSG_SUM}));
    EXPECT_TRUE(isFailed(r, 0, 0));
}

}  // namespace
