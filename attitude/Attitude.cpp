#include "attitude/Attitude.h"

#include <cmath>

namespace tarn {

Quaternion normalised(const Quaternion& q)
{
    const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    return {q[0] / length, q[1] / length, q[2] / length, q[3] / length};
}

Quaternion aboutX(double angle) { return {std::cos(angle / 2), std::sin(angle / 2), 0.0, 0.0}; }
Quaternion aboutY(double angle) { return {std::cos(angle / 2), 0.0, std::sin(angle / 2), 0.0}; }
Quaternion aboutZ(double angle) { return {std::cos(angle / 2), 0.0, 0.0, std::sin(angle / 2)}; }

Vector3 rotate(const Quaternion& q, const Vector3& v)
{
    const Quaternion u = normalised(q);
    const Quaternion r = product(product(u, {0.0, v[0], v[1], v[2]}), conjugate(u));
    return {r[1], r[2], r[3]};
}

double headingOf(const Quaternion& q)
{
    const std::array<double, 2> direction = headingDirection(normalised(q));
    return std::atan2(direction[1], direction[0]);
}

std::array<double, 2> headingDirection(const Quaternion& q)
{
    return {q[0] * q[0] + q[1] * q[1] - q[2] * q[2] - q[3] * q[3], 2 * (q[1] * q[2] + q[0] * q[3])};
}

double pitchOf(const Quaternion& q)
{
    const Quaternion u = normalised(q);
    const double s = 2 * (u[0] * u[2] - u[3] * u[1]);
    return std::asin(s > 1 ? 1 : s < -1 ? -1 : s);
}

double tiltOf(const Quaternion& q)
{
    const Quaternion u = normalised(q);
    // The rotation left once the heading is taken out is conj(h) (x) u with
    // h the heading-only quaternion; its scalar part is cos(angle / 2).
    const double half = headingOf(u) / 2;
    const double scalar = std::cos(half) * u[0] + std::sin(half) * u[3];
    return 2 * std::acos(std::fmin(1.0, std::fabs(scalar)));
}

Vector3 forwardOf(const Quaternion& q)
{
    const Quaternion u = normalised(q);
    return {2 * (u[1] * u[2] - u[0] * u[3]), u[0] * u[0] - u[1] * u[1] + u[2] * u[2] - u[3] * u[3],
            2 * (u[2] * u[3] + u[0] * u[1])};
}

double forwardHeadingOf(const Quaternion& q)
{
    const Vector3 forward = forwardOf(q);
    return std::atan2(-forward[0], forward[1]);
}

double wrapAngle(double angle)
{
    const double wrapped = std::remainder(angle, 2 * kPi);
    return wrapped == -kPi ? kPi : wrapped;
}

}  // namespace tarn
