// Quaternion and heading arithmetic for reports and the session generator.
// Quaternions are [w, x, y, z], Hamilton product, rotating device
// coordinates into the tracking frame (Z up). Angles are radians; a heading
// is the rotation about Z.
#pragma once

#include <array>

using Quat = std::array<double, 4>;
using Vec3 = std::array<double, 3>;

constexpr double kPi = 3.14159265358979323846;
constexpr double degrees(double radians) { return radians * (180.0 / kPi); }
constexpr double radians(double degrees) { return degrees * (kPi / 180.0); }

Quat multiply(const Quat& a, const Quat& b);  // a ⊗ b
Quat conjugate(const Quat& q);
Quat aboutX(double angle);
Quat aboutY(double angle);
Quat aboutZ(double angle);

// q applied to v (q need not be of unit length; it is normalised first).
Vec3 rotate(const Quat& q, const Vec3& v);

// "ZYX" Euler angles of q = Rz(heading) Ry(pitch) Rx(roll), q normalised
// first. NaN for a zero quaternion.
double headingOf(const Quat& q);
double pitchOf(const Quat& q);

// Angle of the rotation that is left of q once its heading is taken out:
// how far q is tilted away from a pure heading, 0 to pi.
double tiltOf(const Quat& q);

// Heading of a horizontal forward direction: the angle psi for which
// aboutZ(psi) turns +y into the direction (dx, dy).
double headingOfForward(double dx, double dy);

// Angle wrapped into (-pi, pi].
double wrapAngle(double angle);
