// Construction, accessors, transpose and copy-out of MatFunc.
#include "matrix/MatFunc.h"

#include <algorithm>

#include "matrix/ErrorLine.h"

namespace tarn {

MatFunc::MatFunc(const ElementBuffer& values, int rows, int cols)
{
    setShape(rows, cols);
    if (!isValidShape(rows, cols) || values.size() < static_cast<std::size_t>(size)) {
        writeErrorLine(ErrorLine::Constructor);
        return;
    }
    data.assign(values.data(), values.data() + size);
    empty = false;
}

MatFunc MatFunc::getrow(int i) const
{
    MatFunc result = MatFunc::forOverwrite(1, col);
    if (i < 0 || i >= row || !holdsElements()) {
        writeErrorLine(ErrorLine::GetRowIndex);
        result.data.assign(result.data.size(), 0.0);
        return result;
    }
    for (int j = 0; j < col; ++j) result.data[j] = data[static_cast<std::size_t>(i) * col + j];
    return result;
}

MatFunc MatFunc::getcol(int j) const
{
    MatFunc result = MatFunc::forOverwrite(row, 1);
    if (j < 0 || j >= col || !holdsElements()) {
        writeErrorLine(ErrorLine::GetColIndex);
        result.data.assign(result.data.size(), 0.0);
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

bool MatFunc::toDouble(double (*block)[4]) const
{
    if (row < 20 || col < 4 || !holdsElements()) {
        writeErrorLine(ErrorLine::ToDoubleLength);
        return false;
    }
    // With exactly 4 columns the first 20 rows are stored as the block is.
    if (col == 4) {
        std::copy_n(data.data(), 80, &block[0][0]);
        return true;
    }
    for (int i = 0; i < 20; ++i) std::copy_n(data.data() + static_cast<std::size_t>(i) * col, 4, block[i]);
    return true;
}

}  // namespace tarn
