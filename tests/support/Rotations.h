#pragma once
// Independent rotation arithmetic for tests: Hamilton products and
// elementary rotation matrices written out directly.
#include <array>
#include <cmath>

using Quat = std::array<double, 4>;  // w, x, y, z
using Mat3 = std::array<double, 9>;  // row-major

inline Quat hamilton(const Quat& p, const Quat& q)
{
    return {p[0] * q[0] - p[1] * q[1] - p[2] * q[2] - p[3] * q[3],
            p[0] * q[1] + p[1] * q[0] + p[2] * q[3] - p[3] * q[2],
            p[0] * q[2] - p[1] * q[3] + p[2] * q[0] + p[3] * q[1],
            p[0] * q[3] + p[1] * q[2] - p[2] * q[1] + p[3] * q[0]};
}

inline Quat conjugate(const Quat& q) { return {q[0], -q[1], -q[2], -q[3]}; }

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

// The rotation about Z by `angle` as a quaternion.
inline Quat headingQuat(double angle) { return {std::cos(angle / 2), 0, 0, std::sin(angle / 2)}; }

// The heading (rotation about Z) of a quaternion, from its rotation matrix:
// the direction the body x axis points in the horizontal plane.
inline double headingOf(const Quat& q)
{
    const double r10 = 2 * (q[1] * q[2] + q[0] * q[3]);
    const double r00 = q[0] * q[0] + q[1] * q[1] - q[2] * q[2] - q[3] * q[3];
    return std::atan2(r10, r00);
}
