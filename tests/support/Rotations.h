#pragma once
// Independent rotation arithmetic for tests: elementary rotation matrices
// and their products written out directly.
#include <array>
#include <cmath>

using Mat3 = std::array<double, 9>;  // row-major

inline Mat3 multiply(const Mat3& a, const Mat3& b)
{
    Mat3 c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) c[3 * i + j] += a[3 * i + k] * b[3 * k + j];
    return c;
}

// Right-handed rotation by `angle` radians about axis 'X', 'Y' or 'Z'.
inline Mat3 elementaryRotation(char axis, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    switch (axis) {
    case 'X': return {1, 0, 0, 0, c, -s, 0, s, c};
    case 'Y': return {c, 0, s, 0, 1, 0, -s, 0, c};
    default: return {c, -s, 0, s, c, 0, 0, 0, 1};
    }
}
