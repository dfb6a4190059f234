// Element-wise arithmetic with row/column stretching, the matrix product,
// the scalar operations and sums.
#include <algorithm>
#include <cstdint>

#include "matrix/ErrorLine.h"
#include "matrix/MatFunc.h"
#include "matrix/ProductKernel.h"

namespace tarn {

namespace {

struct ShapeErrors {
    ErrorLine columns;
    ErrorLine rows;
    ErrorLine rowsAndColumns;
};

constexpr ShapeErrors kAddErrors{ErrorLine::AddColumns, ErrorLine::AddRows, ErrorLine::AddRowsAndColumns};
constexpr ShapeErrors kSubtractErrors{ErrorLine::SubtractColumns, ErrorLine::SubtractRows,
                                      ErrorLine::SubtractRowsAndColumns};
constexpr ShapeErrors kDivideErrors{ErrorLine::DivideColumns, ErrorLine::DivideRows,
                                    ErrorLine::DivideRowsAndColumns};
constexpr ShapeErrors kDotErrors{ErrorLine::DotColumns, ErrorLine::DotRows, ErrorLine::DotRowsAndColumns};

// How the two operands of an element-wise operation line up.
enum class Stretch { None, LeftColumn, RightColumn, LeftRow, RightRow };

// Finds the stretching of a single row or column of either operand along the
// one dimension in which the shapes differ. Shapes that do not line up:
// writes the matching error line and returns false.
bool lineUp(const MatFunc& a, const MatFunc& b, const ShapeErrors& errors, Stretch& stretch)
{
    if (a.row == b.row) {
        if (a.col == b.col)
            stretch = Stretch::None;
        else if (a.col == 1)
            stretch = Stretch::LeftColumn;
        else if (b.col == 1)
            stretch = Stretch::RightColumn;
        else {
            writeErrorLine(errors.columns);
            return false;
        }
    } else if (a.col != b.col) {
        writeErrorLine(errors.rowsAndColumns);
        return false;
    } else if (a.row == 1) {
        stretch = Stretch::LeftRow;
    } else if (b.row == 1) {
        stretch = Stretch::RightRow;
    } else {
        writeErrorLine(errors.rows);
        return false;
    }
    return true;
}

// a (op) b for operands that line up: a matrix of the larger shape filled
// in place; when that shape has no elements nothing is read. Element
// (i, j) combines a[i * aRowStep + j * aColStep] with the same of b, a step
// being 0 along a stretched dimension; equal shapes run as one flat loop.
template <class Op>
MatFunc combined(const MatFunc& a, const MatFunc& b, Stretch stretch, Op op, const ShapeErrors& errors)
{
    const bool leftStretched = stretch == Stretch::LeftColumn || stretch == Stretch::LeftRow;
    MatFunc r = leftStretched ? MatFunc::forOverwrite(b.row, b.col) : MatFunc::forOverwrite(a.row, a.col);
    if (r.empty) return r;
    if (!a.holdsElements() || !b.holdsElements()) {
        writeErrorLine(errors.rowsAndColumns);
        r = MatFunc();
        return r;
    }
    const double* __restrict x = a.data.data();
    const double* __restrict y = b.data.data();
    double* __restrict out = r.data.data();
    if (stretch == Stretch::None) {
        for (int k = 0; k < r.size; ++k) out[k] = op(x[k], y[k]);
        return r;
    }
    const std::size_t aRowStep = stretch == Stretch::LeftRow ? 0 : a.col;
    const std::size_t aColStep = stretch == Stretch::LeftColumn ? 0 : 1;
    const std::size_t bRowStep = stretch == Stretch::RightRow ? 0 : b.col;
    const std::size_t bColStep = stretch == Stretch::RightColumn ? 0 : 1;
    for (int i = 0; i < r.row; ++i)
        for (int j = 0; j < r.col; ++j)
            out[static_cast<std::size_t>(i) * r.col + j] =
                op(x[i * aRowStep + j * aColStep], y[i * bRowStep + j * bColStep]);
    return r;
}

template <class Op>
MatFunc stretched(const MatFunc& a, const MatFunc& b, Op op, const ShapeErrors& errors)
{
    Stretch stretch = Stretch::None;
    if (!lineUp(a, b, errors, stretch)) return MatFunc();
    return combined(a, b, stretch, op, errors);
}

// A copy of m (all five fields) with f applied to each of its `size`
// elements.
template <class F>
MatFunc mapped(const MatFunc& m, F f)
{
    MatFunc r(m);
    const std::size_t count = m.size > 0 ? std::min(static_cast<std::size_t>(m.size), r.data.size()) : 0;
    for (std::size_t k = 0; k < count; ++k) r.data[k] = f(r.data[k]);
    return r;
}

}  // namespace

MatFunc operator+(const MatFunc& a, const MatFunc& b)
{
    return stretched(a, b, [](double x, double y) { return x + y; }, kAddErrors);
}

MatFunc operator-(const MatFunc& a, const MatFunc& b)
{
    return stretched(a, b, [](double x, double y) { return x - y; }, kSubtractErrors);
}

MatFunc operator/(const MatFunc& a, const MatFunc& b)
{
    return stretched(a, b, [](double x, double y) { return x / y; }, kDivideErrors);
}

MatFunc MatFunc::dot(const MatFunc& b) const
{
    return stretched(*this, b, [](double x, double y) { return x * y; }, kDotErrors);
}

namespace {

// a * b for a.col == b.row.
MatFunc multiplied(const MatFunc& a, const MatFunc& b)
{
    MatFunc r = MatFunc::forOverwrite(a.row, b.col);
    if (r.empty) return r;
    if (!a.holdsElements() || !b.holdsElements()) {
        writeErrorLine(ErrorLine::ProductDimensions);
        r = MatFunc();
        return r;
    }
    const double* x = a.data.data();
    const double* y = b.data.data();
    double* out = r.data.data();
    if (b.row == 4 && b.col == 4)
        multiplyRows(x, y, out, r.row, Extent4{}, Extent4{});
    else if (b.row == 3 && b.col == 3)
        multiplyRows(x, y, out, r.row, Extent3{}, Extent3{});
    else
        multiplyRows(x, y, out, r.row, b.row, b.col);
    return r;
}

}  // namespace

MatFunc operator*(const MatFunc& a, const MatFunc& b)
{
    if (a.col != b.row) {
        writeErrorLine(ErrorLine::ProductDimensions);
        return MatFunc();
    }
    return multiplied(a, b);
}

MatFunc operator-(const MatFunc& m, double s)
{
    return mapped(m, [s](double x) { return x - s; });
}

MatFunc operator-(double s, const MatFunc& m)
{
    return mapped(m, [s](double x) { return s - x; });
}

MatFunc operator*(const MatFunc& m, double s)
{
    return mapped(m, [s](double x) { return x * s; });
}

MatFunc operator*(int n, const MatFunc& m)
{
    const double s = static_cast<double>(n);
    return mapped(m, [s](double x) { return x * s; });
}

MatFunc operator/(const MatFunc& m, double s)
{
    return mapped(m, [s](double x) { return x / s; });
}

MatFunc operator/(const MatFunc& m, int n)
{
    const double s = static_cast<double>(n);
    return mapped(m, [s](double x) { return x / s; });
}

MatFunc Square(const MatFunc& m)
{
    return mapped(m, [](double x) { return x * x; });
}

namespace {

// ((0.0 + v[n-1]) + v[n-2]) + ... + v[0]
double sumLastToFirst(const MatFunc& v)
{
    double total = 0.0;
    for (std::size_t k = v.data.size(); k-- > 0;) total += v.data[k];
    return total;
}

}  // namespace

MatFunc MatFunc::sum(int dim) const
{
    if ((dim != 0 && dim != 1) || !holdsElements()) {
        writeErrorLine(ErrorLine::SumDimension);
        return MatFunc();
    }
    if (dim == 0) {
        MatFunc r(1, col);
        for (int j = 0; j < col; ++j) r.data[j] = sumLastToFirst(getcol(j));
        return r;
    }
    MatFunc r(row, 1);
    for (int i = 0; i < row; ++i) r.data[i] = sumLastToFirst(getrow(i));
    return r;
}

}  // namespace tarn
