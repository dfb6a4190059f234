// Construction, accessors, transpose and copy-out of MatFunc.
#include "matrix/MatFunc.h"

#include <cstdint>
#include <limits>

#include "matrix/ErrorLine.h"

namespace {

// Both dimensions at least 1 and the element count within 32 bits.
bool isValidShape(int rows, int cols)
{
    return rows >= 1 && cols >= 1 &&
           static_cast<std::int64_t>(rows) * cols <= std::numeric_limits<int>::max();
}

// Records the requested shape in a matrix that holds nothing yet.
void setShape(MatFunc& m, int rows, int cols)
{
    m.row = rows;
    m.col = cols;
    m.size = static_cast<int>(static_cast<std::int64_t>(rows) * cols);
    m.empty = true;
    m.data.clear();
}

}  // namespace

MatFunc::MatFunc(int rows, int cols) : MatFunc(0.0, rows, cols) {}

MatFunc::MatFunc(double value, int rows, int cols)
{
    setShape(*this, rows, cols);
    if (!isValidShape(rows, cols)) {
        writeErrorLine(ErrorLine::Constructor);
        return;
    }
    data.assign(static_cast<std::size_t>(size), value);
    empty = false;
}

MatFunc::MatFunc(const ElementBuffer& values, int rows, int cols)
{
    setShape(*this, rows, cols);
    if (!isValidShape(rows, cols) || values.size() < static_cast<std::size_t>(size)) {
        writeErrorLine(ErrorLine::Constructor);
        return;
    }
    data.assign(values.data(), values.data() + size);
    empty = false;
}

MatFunc::MatFunc(const double* values, int n)
{
    setShape(*this, 1, n);
    if (n < 1) {
        writeErrorLine(ErrorLine::Constructor);
        return;
    }
    data.assign(values, values + n);
    empty = false;
}

MatFunc::MatFunc(const double (*block)[4])
{
    setShape(*this, 20, 4);
    data.assign(&block[0][0], &block[0][0] + 80);
    empty = false;
}

bool MatFunc::holdsElements() const noexcept
{
    if (row < 1 || col < 1) return true;
    return static_cast<std::int64_t>(data.size()) >= static_cast<std::int64_t>(row) * col;
}

MatFunc MatFunc::getrow(int i) const
{
    MatFunc result(1, col);
    if (i < 0 || i >= row || !holdsElements()) {
        writeErrorLine(ErrorLine::GetRowIndex);
        return result;
    }
    const double* source = data.data() + static_cast<std::size_t>(i) * col;
    for (int j = 0; j < col; ++j) result.data[j] = source[j];
    return result;
}

MatFunc MatFunc::getcol(int j) const
{
    MatFunc result(row, 1);
    if (j < 0 || j >= col || !holdsElements()) {
        writeErrorLine(ErrorLine::GetColIndex);
        return result;
    }
    for (int i = 0; i < row; ++i) result.data[i] = data[static_cast<std::size_t>(i) * col + j];
    return result;
}

void MatFunc::setcol(const MatFunc& v, int j)
{
    if (j < 0 || j >= col || v.size != row || !holdsElements() || !v.holdsElements() ||
        v.data.size() < static_cast<std::size_t>(row > 0 ? row : 0)) {
        writeErrorLine(ErrorLine::SetColIndex);
        return;
    }
    for (int i = 0; i < row; ++i) data[static_cast<std::size_t>(i) * col + j] = v.data[i];
}

MatFunc MatFunc::transpose() const
{
    MatFunc result(col, row);
    if (result.empty || !holdsElements()) return result;
    for (int i = 0; i < row; ++i)
        for (int j = 0; j < col; ++j)
            result.data[static_cast<std::size_t>(j) * row + i] = data[static_cast<std::size_t>(i) * col + j];
    return result;
}

bool MatFunc::toDouble(double* out, int n) const
{
    if (n > size || (n > 0 && data.size() < static_cast<std::size_t>(n))) {
        writeErrorLine(ErrorLine::ToDoubleLength);
        return false;
    }
    for (int k = 0; k < n; ++k) out[k] = data[k];
    return true;
}

bool MatFunc::toDouble(double (*block)[4]) const
{
    if (row < 20 || col < 4 || !holdsElements()) {
        writeErrorLine(ErrorLine::ToDoubleLength);
        return false;
    }
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 4; ++j) block[i][j] = data[static_cast<std::size_t>(i) * col + j];
    return true;
}
