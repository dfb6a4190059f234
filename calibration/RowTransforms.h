#pragma once
// The per-frame conversions of rows, shared by the hand, double-hand and
// All-VR outputs:
//   P = (P - origin) * Cbn          a position, 1 x 3 times 3 x 3
//   Q = Q * w_matrix_function(2)    quaternions, n x 4 times 4 x 4 (n <= 20)
// The state matrices they use have fixed shapes (origin 1 x 3, Cbn 3 x 3,
// product matrix 4 x 4), so the product kernel runs on the caller's rows
// directly: the operations and order of the matrix expressions, without
// their temporaries.
#include <algorithm>

#include "matrix/MatFunc.h"
#include "matrix/ProductKernel.h"

namespace tarn {

// position (3 doubles, in place) = (position - origin) * cbn.
inline void moveIntoFrame(double* position, const MatFunc& origin, const MatFunc& cbn)
{
    double offset[3];
    for (int j = 0; j < 3; ++j) offset[j] = position[j] - origin.data[j];
    multiplyRows(offset, cbn.data.data(), position, 1, Extent3{}, Extent3{});
}

// `count` quaternions (4 doubles each, in place) = quaternions * leftProduct.
inline void turnQuaternions(double* quaternions, int count, const MatFunc& leftProduct)
{
    constexpr int kMaxRows = 20;
    double q[4 * kMaxRows];
    std::copy_n(quaternions, 4 * count, q);
    multiplyRows(q, leftProduct.data.data(), quaternions, count, Extent4{}, Extent4{});
}

inline void turnQuaternion(double* quaternion, const MatFunc& leftProduct) { turnQuaternions(quaternion, 1, leftProduct); }

}  // namespace tarn
