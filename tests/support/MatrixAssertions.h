#pragma once
// Building matrices and checking them in tests.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "matrix/MatFunc.h"

// A rows x cols matrix from row-major values (must be valid).
inline MatFunc matrixOf(int rows, int cols, std::initializer_list<double> values)
{
    return MatFunc(std::vector<double>(values), rows, cols);
}

// Shape, flag and elements equal; elements compared exactly (==).
inline ::testing::AssertionResult matrixEquals(const MatFunc& m, int rows, int cols,
                                               std::initializer_list<double> values)
{
    const std::vector<double> expected(values);
    if (m.row != rows || m.col != cols || m.size != rows * cols || m.empty || m.data.size() != expected.size())
        return ::testing::AssertionFailure() << "shape " << m.row << "x" << m.col << " size " << m.size
                                             << " empty " << m.empty << " elements " << m.data.size();
    for (std::size_t k = 0; k < expected.size(); ++k)
        if (!(m.data[k] == expected[k]))
            return ::testing::AssertionFailure() << "element " << k << " is " << m.data[k] << ", expected "
                                                 << expected[k];
    return ::testing::AssertionSuccess();
}

// A failed matrix: the requested shape, empty, no elements.
inline ::testing::AssertionResult isFailed(const MatFunc& m, int rows, int cols)
{
    if (m.row == rows && m.col == cols && m.empty && m.data.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "shape " << m.row << "x" << m.col << " empty " << m.empty
                                         << " elements " << m.data.size();
}
