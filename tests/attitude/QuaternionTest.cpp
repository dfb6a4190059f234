// Direction cosines, product matrices and normalisation against a Hamilton
// product written out in the test.
#include <gtest/gtest.h>

#include <random>

#include "support/MatrixAssertions.h"
#include "support/Messages.h"
#include "support/Rotations.h"
#include "support/StdoutCapture.h"

namespace {

MatFunc row(const Quat& q) { return matrixOf(1, 4, {q[0], q[1], q[2], q[3]}); }
MatFunc column(const Quat& q) { return matrixOf(4, 1, {q[0], q[1], q[2], q[3]}); }

void expectQuatNear(const MatFunc& m, const Quat& q)
{
    ASSERT_EQ(m.size, 4);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(m.data[k], q[k], 1e-14) << "component " << k;
}

class ProductMatrices : public ::testing::Test {
protected:
    std::mt19937_64 rng{20261205};
    Quat randomQuat()
    {
        std::uniform_real_distribution<double> u(-2.0, 2.0);
        return {u(rng), u(rng), u(rng), u(rng)};
    }
};

TEST_F(ProductMatrices, TurnHamiltonProductsIntoMatrixProducts)
{
    for (int trial = 0; trial < 50; ++trial) {
        const Quat p = randomQuat(), q = randomQuat();
        expectQuatNear(row(q).w_matrix_function(1) * column(p), hamilton(p, q));
        expectQuatNear(row(q).w_matrix_function(2) * column(p), hamilton(q, p));
        // A row times the left-product matrix multiplies by the conjugate.
        expectQuatNear(row(p) * row(q).w_matrix_function(2), hamilton(conjugate(q), p));
        expectQuatNear(row(p) * row(q).w_matrix_function(1), hamilton(p, conjugate(q)));
        // The transpose of either form is that form of the conjugate.
        for (int mode : {1, 2}) {
            const MatFunc t = row(q).w_matrix_function(mode).transpose();
            const MatFunc c = row(conjugate(q)).w_matrix_function(mode);
            for (int k = 0; k < 16; ++k) EXPECT_EQ(t.data[k], c.data[k]);
        }
    }
}

TEST_F(ProductMatrices, EveryModeButOneIsTheLeftProduct)
{
    const MatFunc q = row(randomQuat());
    const MatFunc left = q.w_matrix_function(2);
    for (int mode : {0, -1, 7}) {
        const MatFunc w = q.w_matrix_function(mode);
        for (int k = 0; k < 16; ++k) EXPECT_EQ(w.data[k], left.data[k]);
    }
}

TEST_F(ProductMatrices, DirectionCosinesRotateLikeTheSandwichProduct)
{
    for (int trial = 0; trial < 50; ++trial) {
        const Quat q = randomQuat();
        const double length2 = q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3];
        const Quat v{0, 0.3, -1.2, 2.0};
        const Quat rotated = hamilton(hamilton(q, v), conjugate(q));  // L^2 times the rotation
        const MatFunc m = row(q).Cbn() * matrixOf(3, 1, {v[1], v[2], v[3]});
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(m.data[k], rotated[k + 1], 1e-12 * length2);
    }
    EXPECT_TRUE(matrixEquals(row({2, 0, 0, 0}).Cbn(), 3, 3, {4, 0, 0, 0, 4, 0, 0, 0, 4}));
    EXPECT_EQ(captureStdout([] { row({0, 0, 0, 0}).Cbn(); }), "");
}

TEST(QuaternionShapes, AnyFourElementMatrixIsOneQuaternion)
{
    const MatFunc expected = matrixOf(1, 4, {0.5, 0.5, 0.5, 0.5}).Cbn();
    for (const MatFunc& q : {matrixOf(4, 1, {0.5, 0.5, 0.5, 0.5}), matrixOf(2, 2, {0.5, 0.5, 0.5, 0.5})}) {
        const MatFunc m = q.Cbn();
        for (int k = 0; k < 9; ++k) EXPECT_EQ(m.data[k], expected.data[k]);
    }
    MatFunc r;
    EXPECT_EQ(captureStdout([&] { r = MatFunc(1.0, 1, 3).Cbn(); }), errorLines({MSG_CBN}));
    EXPECT_TRUE(matrixEquals(r, 3, 3, {0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(captureStdout([&] { r = MatFunc(1.0, 3, 3).w_matrix_function(1); }), errorLines({MSG_WMAT}));
    EXPECT_EQ(r.row, 4);
    EXPECT_FALSE(r.empty);
}

TEST(Normalize, RowsThenColumnsThenTheWholeMatrix)
{
    EXPECT_TRUE(matrixEquals(matrixOf(1, 4, {0, 0, 3, 4}).normalize(), 1, 4, {0, 0, 0.6, 0.8}));
    // 4 x 4: rows are the quaternions.
    const MatFunc square = matrixOf(4, 4, {3, 4, 0, 0, 0, 0, 0, 2, 1, 1, 1, 1, 0, 5, 0, 0});
    EXPECT_TRUE(matrixEquals(square.normalize(), 4, 4,
                             {0.6, 0.8, 0, 0, 0, 0, 0, 1, 0.5, 0.5, 0.5, 0.5, 0, 1, 0, 0}));
    // 4 x 3: columns.
    EXPECT_TRUE(matrixEquals(matrixOf(4, 3, {3, 0, 1, 4, 0, 1, 0, 2, 1, 0, 0, 1}).normalize(), 4, 3,
                             {0.6, 0, 0.5, 0.8, 0, 0.5, 0, 1, 0.5, 0, 0, 0.5}));
    // Otherwise the matrix as a whole.
    EXPECT_TRUE(matrixEquals(matrixOf(1, 3, {0, 3, 4}).normalize(), 1, 3, {0, 0.6, 0.8}));

    const MatFunc zero = matrixOf(1, 4, {0, 0, 0, 0}).normalize();
    EXPECT_TRUE(std::isnan(zero.data[0]));
    MatFunc r;
    EXPECT_EQ(captureStdout([&] { r = MatFunc().normalize(); }), errorLines({"Error(MatFunc Module): " MSG_EMPTY}));
    EXPECT_TRUE(isFailed(r, 0, 0));
}

}  // namespace
