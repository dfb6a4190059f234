// Construction, shape rules, accessors, copy-out and failed matrices.
#include <gtest/gtest.h>

#include <vector>

#include "support/Bits.h"
#include "support/MatrixAssertions.h"
#include "support/Messages.h"
#include "support/StdoutCapture.h"

namespace {

TEST(Construction, InvalidShapesFailWithOneLineAndKeepTheRequestedShape)
{
    MatFunc m;
    EXPECT_EQ(captureStdout([&] { m = MatFunc(1.5, 0, 3); }), errorLines({MSG_CTOR}));
    EXPECT_TRUE(isFailed(m, 0, 3));
    EXPECT_EQ(m.size, 0);

    // Two negative dimensions have a positive product but are still invalid.
    EXPECT_EQ(captureStdout([&] { m = MatFunc(-2, -3); }), errorLines({MSG_CTOR}));
    EXPECT_TRUE(isFailed(m, -2, -3));
    EXPECT_EQ(m.size, 6);

    // A product beyond 32 bits fails instead of allocating.
    EXPECT_EQ(captureStdout([&] { m = MatFunc(65536, 65536); }), errorLines({MSG_CTOR}));
    EXPECT_TRUE(isFailed(m, 65536, 65536));

    EXPECT_EQ(captureStdout([&] { m = MatFunc(static_cast<const double*>(nullptr), 0); }), errorLines({MSG_CTOR}));
    EXPECT_TRUE(isFailed(m, 1, 0));
}

TEST(Construction, VectorConstructorTakesTheFirstValuesAndNeedsEnough)
{
    const std::vector<double> seven{1, 2, 3, 4, 5, 6, 7};
    EXPECT_TRUE(matrixEquals(MatFunc(seven, 2, 3), 2, 3, {1, 2, 3, 4, 5, 6}));

    MatFunc m;
    EXPECT_EQ(captureStdout([&] { m = MatFunc(std::vector<double>{1, 2, 3, 4, 5}, 2, 3); }), errorLines({MSG_CTOR}));
    EXPECT_TRUE(isFailed(m, 2, 3));
    EXPECT_EQ(m.size, 6);
}

TEST(Construction, BlockConstructorIsRowMajorTwentyByFour)
{
    double block[20][4];
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 4; ++j) block[i][j] = 10 * i + j;
    const MatFunc m(block);
    ASSERT_EQ(m.row, 20);
    ASSERT_EQ(m.col, 4);
    EXPECT_FALSE(m.empty);
    EXPECT_EQ(m.data[4 * 7 + 2], 72);
}

TEST(Construction, LargeMatricesSpillOutOfInlineStorageAndCopyDeeply)
{
    const MatFunc big(2.5, 30, 30);
    MatFunc copy = big;
    copy.data[899] = -1.0;
    EXPECT_EQ(big.data[899], 2.5);
    MatFunc moved = std::move(copy);
    EXPECT_EQ(moved.data[899], -1.0);
    EXPECT_EQ(moved.data.size(), 900u);

    MatFunc self = matrixOf(1, 2, {1, 2});
    const MatFunc& alias = self;
    self = alias;
    EXPECT_TRUE(matrixEquals(self, 1, 2, {1, 2}));
}

TEST(Accessors, OutOfRangeIndicesGiveZerosAndAMessage)
{
    const MatFunc m = matrixOf(3, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    EXPECT_TRUE(matrixEquals(m.getrow(1), 1, 4, {5, 6, 7, 8}));
    EXPECT_TRUE(matrixEquals(m.getcol(2), 3, 1, {3, 7, 11}));
    for (int bad : {-1, 3}) {
        MatFunc r;
        EXPECT_EQ(captureStdout([&] { r = m.getrow(bad); }), errorLines({MSG_GETROW}));
        EXPECT_TRUE(matrixEquals(r, 1, 4, {0, 0, 0, 0}));
    }
    MatFunc c;
    EXPECT_EQ(captureStdout([&] { c = m.getcol(4); }), errorLines({MSG_GETCOL}));
    EXPECT_TRUE(matrixEquals(c, 3, 1, {0, 0, 0}));

    // On the default matrix the zero row itself cannot be built.
    MatFunc r;
    EXPECT_EQ(captureStdout([&] { r = MatFunc().getrow(0); }), errorLines({MSG_CTOR, MSG_GETROW}));
    EXPECT_TRUE(isFailed(r, 1, 0));
}

TEST(Accessors, SetcolAcceptsEitherOrientationAndRejectsWrongCounts)
{
    MatFunc m(0.0, 3, 2);
    m.setcol(matrixOf(1, 3, {1, 2, 3}), 0);
    m.setcol(matrixOf(3, 1, {4, 5, 6}), 1);
    EXPECT_TRUE(matrixEquals(m, 3, 2, {1, 4, 2, 5, 3, 6}));

    EXPECT_EQ(captureStdout([&] { m.setcol(matrixOf(1, 2, {9, 9}), 0); }), errorLines({MSG_SETCOL}));
    EXPECT_EQ(captureStdout([&] { m.setcol(matrixOf(1, 3, {9, 9, 9}), 2); }), errorLines({MSG_SETCOL}));
    EXPECT_TRUE(matrixEquals(m, 3, 2, {1, 4, 2, 5, 3, 6}));
}

TEST(Accessors, TransposeOfARowKeepsItsStorage)
{
    const MatFunc t = matrixOf(1, 3, {1, 2, 3}).transpose();
    EXPECT_TRUE(matrixEquals(t, 3, 1, {1, 2, 3}));
    EXPECT_TRUE(matrixEquals(matrixOf(2, 3, {1, 2, 3, 4, 5, 6}).transpose(), 3, 2, {1, 4, 2, 5, 3, 6}));
}

TEST(CopyOut, ToDoubleCopiesInStorageOrderOrLeavesTheOutputAlone)
{
    const MatFunc m = matrixOf(2, 2, {1, 2, 3, 4});
    double out[5] = {-1, -1, -1, -1, -1};
    EXPECT_TRUE(m.toDouble(out, 4));
    EXPECT_EQ(out[3], 4);
    EXPECT_EQ(out[4], -1);

    double untouched[5] = {-1, -1, -1, -1, -1};
    bool ok = true;
    EXPECT_EQ(captureStdout([&] { ok = m.toDouble(untouched, 5); }), errorLines({MSG_TODOUBLE}));
    EXPECT_FALSE(ok);
    EXPECT_EQ(untouched[0], -1);
    EXPECT_TRUE(m.toDouble(untouched, 0));
    EXPECT_TRUE(m.toDouble(untouched, -3));
}

TEST(CopyOut, BlockFormNeedsTwentyRowsAndFourColumns)
{
    double block[20][4] = {};
    bool ok = true;
    EXPECT_EQ(captureStdout([&] { ok = MatFunc(1.0, 20, 3).toDouble(block); }), errorLines({MSG_TODOUBLE}));
    EXPECT_FALSE(ok);
    EXPECT_EQ(block[0][0], 0.0);

    MatFunc wide(0.0, 25, 6);
    for (int k = 0; k < 150; ++k) wide.data[k] = k;
    EXPECT_TRUE(wide.toDouble(block));
    EXPECT_EQ(block[0][3], 3);
    EXPECT_EQ(block[1][0], 6);
    EXPECT_EQ(block[19][3], 19 * 6 + 3);
}

// A failed matrix that claims elements (here 2 x 3, size 6, none stored) is
// never read: every operation that would read it fails in its own way.
class FailedOperand : public ::testing::Test {
protected:
    MatFunc failed = [] {
        MatFunc m;
        captureStdout([&] { m = MatFunc(std::vector<double>{1, 2}, 2, 3); });
        return m;
    }();
    MatFunc valid = matrixOf(2, 3, {1, 2, 3, 4, 5, 6});
};

TEST_F(FailedOperand, AccessorsReportTheirOwnFailure)
{
    MatFunc r;
    EXPECT_EQ(captureStdout([&] { r = failed.getrow(0); }), errorLines({MSG_GETROW}));
    EXPECT_TRUE(matrixEquals(r, 1, 3, {0, 0, 0}));
    double out[6];
    EXPECT_EQ(captureStdout([&] { EXPECT_FALSE(failed.toDouble(out, 6)); }), errorLines({MSG_TODOUBLE}));
    EXPECT_EQ(captureStdout([&] { valid.setcol(MatFunc(std::vector<double>{}, 1, 2), 0); }), errorLines({MSG_CTOR, MSG_SETCOL}));
    EXPECT_EQ(captureStdout([&] { r = failed.transpose(); }), "");
    EXPECT_TRUE(matrixEquals(r, 3, 2, {0, 0, 0, 0, 0, 0}));
}

TEST_F(FailedOperand, ArithmeticReturnsTheDefaultMatrix)
{
    MatFunc r;
    EXPECT_EQ(captureStdout([&] { r = valid + failed; }), errorLines({"Error(MatFunc +): " MSG_ROWS_COLS}));
    EXPECT_TRUE(isFailed(r, 0, 0));
    EXPECT_EQ(captureStdout([&] { r = failed * valid.transpose(); }), errorLines({MSG_PRODUCT}));
    EXPECT_TRUE(isFailed(r, 0, 0));
    EXPECT_EQ(captureStdout([&] { r = failed.sum(0); }), errorLines({MSG_SUM}));
    // Scalar operations copy the failed matrix as it is.
    EXPECT_TRUE(isFailed(failed * 2.0, 2, 3));
}

TEST_F(FailedOperand, NegativeShapesNeverSizeAnything)
{
    MatFunc negative;
    captureStdout([&] { negative = MatFunc(-2, 3); });
    MatFunc r;
    EXPECT_EQ(captureStdout([&] { r = negative * MatFunc(1.0, 3, 4); }), errorLines({MSG_CTOR}));
    EXPECT_TRUE(isFailed(r, -2, 4));
    EXPECT_EQ(captureStdout([&] { r = negative + negative; }), errorLines({MSG_CTOR}));
    EXPECT_TRUE(isFailed(r, -2, 3));
}

}  // namespace
