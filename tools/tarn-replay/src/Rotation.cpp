#include "Rotation.h"

#include <algorithm>
#include <cmath>

namespace {

Quat normalised(const Quat& q)
{
    const double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    return {q[0] / n, q[1] / n, q[2] / n, q[3] / n};
}

}  // namespace

Quat multiply(const Quat& a, const Quat& b)
{
    return {a[0] * b[0] - a[1] * b[1] - a[2] * b[2] - a[3] * b[3],
            a[0] * b[1] + a[1] * b[0] + a[2] * b[3] - a[3] * b[2],
            a[0] * b[2] - a[1] * b[3] + a[2] * b[0] + a[3] * b[1],
            a[0] * b[3] + a[1] * b[2] - a[2] * b[1] + a[3] * b[0]};
}

Quat conjugate(const Quat& q)
{
    return {q[0], -q[1], -q[2], -q[3]};
}

Quat aboutX(double angle)
{
    return {std::cos(angle / 2), std::sin(angle / 2), 0.0, 0.0};
}

Quat aboutY(double angle)
{
    return {std::cos(angle / 2), 0.0, std::sin(angle / 2), 0.0};
}

Quat aboutZ(double angle)
{
    return {std::cos(angle / 2), 0.0, 0.0, std::sin(angle / 2)};
}

Vec3 rotate(const Quat& q, const Vec3& v)
{
    const Quat u = normalised(q);
    const Quat r = multiply(multiply(u, {0.0, v[0], v[1], v[2]}), conjugate(u));
    return {r[1], r[2], r[3]};
}

double pitchOf(const Quat& q)
{
    const Quat u = normalised(q);
    return std::asin(std::clamp(-2 * (u[1] * u[3] - u[0] * u[2]), -1.0, 1.0));
}

double wrapAngle(double angle)
{
    const double wrapped = std::remainder(angle, 2 * kPi);
    return wrapped == -kPi ? kPi : wrapped;
}
