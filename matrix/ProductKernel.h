#pragma once
// The kernel of the matrix product, on plain arrays of doubles (row-major).
// MatFunc's operator* runs it on its operands' elements once their shapes
// are checked; the per-frame pose conversion runs it directly on its fixed
// 1 x 3 and 1 x 4 rows, so both compute the same bits.
#include <cstddef>
#include <type_traits>

namespace tarn {

// Compile-time extents for the 3 x 3 and 4 x 4 right operands of the
// rotations, which get fully unrolled loops.
using Extent3 = std::integral_constant<int, 3>;
using Extent4 = std::integral_constant<int, 4>;

// out (rows x cols) = x (rows x inner) * y (inner x cols); out may not
// overlap x or y. Row by row: the output row starts at 0.0, then, k
// ascending, each row of y scaled by x[i][k] is added to it: every element
// is summed as ((0.0 + x0*y0) + x1*y1) + ..., while the additions of
// neighbouring elements are independent and can share vector instructions.
// Inner and Cols are int or a compile-time extent.
template <class Inner, class Cols>
void multiplyRows(const double* __restrict x, const double* __restrict y, double* __restrict out, int rows,
                  Inner inner, Cols cols)
{
    for (int i = 0; i < rows; ++i) {
        double* outRow = out + static_cast<std::size_t>(i) * cols;
        for (int j = 0; j < cols; ++j) outRow[j] = 0.0;
        for (int k = 0; k < inner; ++k) {
            const double xik = x[static_cast<std::size_t>(i) * inner + k];
            const double* yRow = y + static_cast<std::size_t>(k) * cols;
            for (int j = 0; j < cols; ++j) outRow[j] += xik * yRow[j];
        }
    }
}

}  // namespace tarn
