#include "calibration/InputQuality.h"

#include <cmath>

namespace tarn {

namespace {

constexpr double kPi = 3.14159265358979323846;

// q / |q|.
void normalised(const double* q, double* unit)
{
    const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (int k = 0; k < 4; ++k) unit[k] = q[k] / length;
}

}  // namespace

Degeneracy headingDegeneracy(const double* q)
{
    bool zero = true;
    for (int k = 0; k < 4; ++k) zero = zero && std::fabs(q[k]) < kZeroQuaternion;
    if (zero) return Degeneracy::ZeroQuaternion;
    if (std::fabs(pitchOf(q)) > kNearVerticalPitch) return Degeneracy::NearVertical;
    return Degeneracy::None;
}

double headingOf(const double* q)
{
    double u[4], direction[2];
    normalised(q, u);
    headingDirection(u, direction);
    return std::atan2(direction[1], direction[0]);
}

void headingDirection(const double* q, double* direction)
{
    direction[0] = q[0] * q[0] + q[1] * q[1] - q[2] * q[2] - q[3] * q[3];
    direction[1] = 2 * (q[1] * q[2] + q[0] * q[3]);
}

double pitchOf(const double* q)
{
    double u[4];
    normalised(q, u);
    const double s = 2 * (u[0] * u[2] - u[3] * u[1]);
    return std::asin(s > 1 ? 1 : s < -1 ? -1 : s);
}

double tiltOf(const double* q)
{
    double u[4];
    normalised(q, u);
    // The rotation left once the heading is taken out is conj(h) (x) u with
    // h the heading-only quaternion; its scalar part is cos(angle / 2).
    const double half = headingOf(u) / 2;
    const double scalar = std::cos(half) * u[0] + std::sin(half) * u[3];
    const double angle = 2 * std::acos(std::fmin(1.0, std::fabs(scalar)));
    return angle;
}

void forwardOf(const double* q, double* forward)
{
    double u[4];
    normalised(q, u);
    forward[0] = 2 * (u[1] * u[2] - u[0] * u[3]);
    forward[1] = u[0] * u[0] - u[1] * u[1] + u[2] * u[2] - u[3] * u[3];
    forward[2] = 2 * (u[2] * u[3] + u[0] * u[1]);
}

double forwardHeadingOf(const double* q)
{
    double forward[3];
    forwardOf(q, forward);
    return std::atan2(-forward[0], forward[1]);
}

double wrapAngle(double angle)
{
    const double wrapped = std::remainder(angle, 2 * kPi);
    return wrapped == -kPi ? kPi : wrapped;
}

}  // namespace tarn
