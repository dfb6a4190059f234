#pragma once
// MatFunc: a dense, row-major matrix of doubles with a run-time shape.
//
// Every vector, quaternion, angle set and matrix of the library is a MatFunc:
// a quaternion is 1 x 4, a position 1 x 3, a block of hand data 20 x 4, a set
// of n samples n x 4 or n x 3. Element (i, j) is data[i * col + j].
//
// Fields (public, read and written directly):
//   row, col  the shape, as requested (a failed construction keeps it, even
//             when zero or negative);
//   size      row * col as a 32-bit product (wrapped if it overflows);
//   empty     true while the matrix holds no valid data;
//   data      the elements, row after row.
//
// Shapes. A construction succeeds only when both dimensions are at least 1
// and their product fits in 32 bits (and, for the vector constructor, enough
// values are given). Otherwise it writes the constructor error line and
// leaves a failed matrix: empty = true, no elements, row/col/size as asked.
// No operation ever sizes or loops over anything from a negative count.
//
// Errors. Operations never throw for bad input and never stop the program.
// A failure writes one line to standard output (see matrix/ErrorLine.h) and
// returns the defined failure value documented below; the caller carries on
// with it. When an operation builds its result with a failing constructor,
// the constructor's line comes first.
//
// Failed matrices as operands. A failed matrix whose shape claims elements
// (both dimensions positive) holds none, so no operation may read it. Every
// operation that would read such an operand treats it as its own failure:
// it writes its own error line and returns its failure value (transpose,
// which has no failure, returns its zero result). A failed matrix of size 0
// (a 0 x 3 or 1 x 0 shape) is an ordinary operand.
//
// Arithmetic is IEEE 754 double precision, every operation rounded on its
// own (build with -ffp-contract=off); sums run in the orders stated here.

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "matrix/ElementBuffer.h"
#include "matrix/ErrorLine.h"

namespace tarn {

class MatFunc {
public:
    int row = 0;
    int col = 0;
    int size = 0;
    bool empty = true;
    ElementBuffer data;

    // ---- Construction -------------------------------------------------
    // The default matrix: 0 x 0, empty, no elements.
    MatFunc() = default;
    // rows x cols zeros.
    MatFunc(int rows, int cols);
    // rows x cols, every element `value`.
    MatFunc(double value, int rows, int cols);
    // rows x cols from the first rows * cols values, row-major; extra values
    // are ignored, too few make the construction fail.
    MatFunc(const ElementBuffer& values, int rows, int cols);
    // 1 x n from the n doubles at `values` (n < 1 fails).
    MatFunc(const double* values, int n);
    // 20 x 4 from a block of 20 rows of 4 doubles; cannot fail.
    explicit MatFunc(const double (*block)[4]);
    // rows x cols like MatFunc(rows, cols), with the same checks and error
    // line, but with the elements not yet written: for a result whose every
    // element the caller writes next.
    static MatFunc forOverwrite(int rows, int cols);

    MatFunc(const MatFunc&) = default;
    MatFunc(MatFunc&&) noexcept = default;
    MatFunc& operator=(const MatFunc&) = default;
    MatFunc& operator=(MatFunc&&) noexcept = default;

    // ---- Accessors ----------------------------------------------------
    // Row i as a 1 x col matrix. Out of range: error line and a 1 x col
    // matrix of zeros.
    MatFunc getrow(int i) const;
    // Column j as a row x 1 matrix. Out of range: error line and zeros.
    MatFunc getcol(int j) const;
    // Overwrites column j with the elements of v (any shape with exactly
    // `row` elements). Bad j or element count: error line, no change.
    void setcol(const MatFunc& v, int j);
    // The col x row transpose.
    MatFunc transpose() const;
    // Copies the first n elements in storage order to out. n > size: error
    // line, false, out untouched. n <= 0 copies nothing and returns true.
    bool toDouble(double* out, int n) const;
    // Copies the top-left 20 x 4 corner into block. Fewer than 20 rows or 4
    // columns: error line, false, block untouched.
    bool toDouble(double (*block)[4]) const;

    // ---- Arithmetic (matrix/Arithmetic.cpp) ---------------------------
    // Element-wise product, with the same stretching as operator+.
    MatFunc dot(const MatFunc& b) const;
    // Column sums as a 1 x col row (dim 0) or row sums as a row x 1 column
    // (dim 1); each summed from its last element to its first, from 0.0.
    // Other dim: error line and the default matrix.
    MatFunc sum(int dim) const;

    // ---- Norms (matrix/ElementWise.cpp) -------------------------------
    // sqrt of the sum of all squared elements (last to first). Empty: error
    // line and 0.0.
    double Module() const;
    // Norm of every column (dim 0, a 1 x col row) or row (dim 1, a row x 1
    // column). Empty: error line and the default matrix.
    MatFunc Module(int dim) const;

    // ---- Attitude operations (attitude/Quaternion.cpp, EulerAngles.cpp) --
    // Quaternions, direction-cosine matrices and Euler angles, written with
    // the matrix operations above, under the conventions stated once in
    // attitude/Attitude.h. Each leaves the matrix it is called on unchanged.
    //
    // A single quaternion is any matrix of exactly 4 elements, read in
    // storage order; a set is n x 4 (one per row) or 4 x n (one per
    // column), rows winning for a 4 x 4 matrix. An Euler-angle matrix is
    // n x 3 (or 3 x n for SY), columns fixed by axis whatever the order:
    // 0 = about X, 1 = about Y, 2 = about Z. Rotation orders are the texts
    // "ZYX", "ZXY", "YZX", "YXZ", "XYZ", "XZY", compared exactly; order PQR
    // means q = qP (x) qQ (x) qR, so "ZYX" gives Cbn = Rz(z) * Ry(y) * Rx(x).

    // The 3 x 3 direction-cosine matrix of a 4-element quaternion (body to
    // reference), L^2 times a rotation for length L. Not 4 elements: error
    // line, 3 x 3 zeros.
    MatFunc Cbn() const;
    // The 4 x 4 product matrix of a 4-element quaternion q: mode 1 the
    // right-product matrix (W * p = p (x) q), any other mode the
    // left-product matrix (W * p = q (x) p), p a column. A row p times the
    // left-product matrix gives conj(q) (x) p. Not 4 elements: error line,
    // zeros.
    MatFunc w_matrix_function(int mode) const;
    // n x 4: every row to unit length; else 4 x n: every column; else the
    // whole matrix. No test against zero: a zero quaternion becomes NaN.
    MatFunc normalize() const;
    // n x 3 (or 3 x n) Euler angles to n x 4 quaternions (not normalised).
    // Bad shape: error line, default matrix. Bad order: error line, n x 4
    // zeros.
    MatFunc SY(const std::string& RotationOrder = "ZYX") const;
    // Quaternions (normalised first) to n x 3 Euler angles: the middle axis
    // of the order in [-pi/2, pi/2] (a clamped arcsine), the other two in
    // [-pi, pi] (atan2); singular attitudes get no special treatment. Bad
    // shape: error line, default matrix. Bad order: error line, n x 3 zeros.
    MatFunc AttitudeAngle(const std::string& RotationOrder = "ZYX") const;

    // True when the matrix has every element its shape claims (always for a
    // valid matrix and for a failed one of size 0). Operations read only
    // operands for which this holds.
    bool holdsElements() const noexcept;

private:
    // Both dimensions at least 1 and the element count within 32 bits.
    static bool isValidShape(int rows, int cols) noexcept;
    // Records the requested shape in a matrix that holds nothing yet.
    void setShape(int rows, int cols) noexcept;
    // setShape, then for an invalid shape the constructor error line and
    // false.
    bool startShape(int rows, int cols);
};

// ---- Element-wise arithmetic with stretching ---------------------------
// Same shapes: element by element. Equal row counts and one operand a single
// column: that column is applied to every column of the other. Equal column
// counts and one operand a single row: that row is applied to every row. The
// left operand always stays on the left. Anything else: the operation's
// rows / columns / rows-and-columns error line and the default matrix.
MatFunc operator+(const MatFunc& a, const MatFunc& b);
MatFunc operator-(const MatFunc& a, const MatFunc& b);
MatFunc operator/(const MatFunc& a, const MatFunc& b);

// Matrix product a * b, sums over k in ascending order from 0.0.
// a.col != b.row: error line and the default matrix.
MatFunc operator*(const MatFunc& a, const MatFunc& b);

// ---- Scalar operations: a copy of m (all fields) with f applied to every
// element; no checks, no messages. -------------------------------------
MatFunc operator-(const MatFunc& m, double s);
MatFunc operator-(double s, const MatFunc& m);
MatFunc operator*(const MatFunc& m, double s);
MatFunc operator*(int n, const MatFunc& m);
MatFunc operator/(const MatFunc& m, double s);
MatFunc operator/(const MatFunc& m, int n);
MatFunc Square(const MatFunc& m);

// ---- Element-wise functions: a zero matrix of the operand's shape filled
// with f of each element. An empty operand: error line and that zero
// matrix. ---------------------------------------------------------------
MatFunc Sin(const MatFunc& m);
MatFunc Cos(const MatFunc& m);
// Arcsine with the argument clamped to [-1, 1] (NaN stays NaN).
MatFunc Asin(const MatFunc& m);
MatFunc Sqrt(const MatFunc& m);
// atan2(y[k], x[k]) in y's shape; only y is tested for emptiness. An x with
// fewer elements than y counts as a failure too (error line, zeros).
MatFunc Atan2(const MatFunc& y, const MatFunc& x);

// ---- Inline definitions of the constructors, the check every operation
// runs and the copy-out: the calibration code builds and copies out several
// small matrices per frame, and with the shape or count in sight the
// compiler turns each into a few loads and stores. ----------------------

inline bool MatFunc::isValidShape(int rows, int cols) noexcept
{
    return rows >= 1 && cols >= 1 && static_cast<std::int64_t>(rows) * cols <= std::numeric_limits<int>::max();
}

inline void MatFunc::setShape(int rows, int cols) noexcept
{
    row = rows;
    col = cols;
    size = static_cast<int>(static_cast<std::int64_t>(rows) * cols);
    empty = true;
    data.clear();
}

inline MatFunc::MatFunc(int rows, int cols) : MatFunc(0.0, rows, cols) {}

inline bool MatFunc::startShape(int rows, int cols)
{
    setShape(rows, cols);
    if (isValidShape(rows, cols)) return true;
    writeErrorLine(ErrorLine::Constructor);
    return false;
}

inline MatFunc::MatFunc(double value, int rows, int cols)
{
    if (!startShape(rows, cols)) return;
    data.assign(static_cast<std::size_t>(size), value);
    empty = false;
}

inline MatFunc MatFunc::forOverwrite(int rows, int cols)
{
    MatFunc m;
    if (!m.startShape(rows, cols)) return m;
    m.data.setSizeForOverwrite(static_cast<std::size_t>(m.size));
    m.empty = false;
    return m;
}

inline MatFunc::MatFunc(const double* values, int n)
{
    setShape(1, n);
    if (n < 1) {
        writeErrorLine(ErrorLine::Constructor);
        return;
    }
    data.assign(values, values + n);
    empty = false;
}

inline MatFunc::MatFunc(const double (*block)[4])
{
    setShape(20, 4);
    data.assign(&block[0][0], &block[0][0] + 80);
    empty = false;
}

inline bool MatFunc::toDouble(double* out, int n) const
{
    if (n > size || (n > 0 && data.size() < static_cast<std::size_t>(n))) {
        writeErrorLine(ErrorLine::ToDoubleLength);
        return false;
    }
    if (n > 0) std::memcpy(out, data.data(), static_cast<std::size_t>(n) * sizeof(double));
    return true;
}

inline bool MatFunc::holdsElements() const noexcept
{
    if (row < 1 || col < 1) return true;
    return static_cast<std::int64_t>(data.size()) >= static_cast<std::int64_t>(row) * col;
}

}  // namespace tarn
