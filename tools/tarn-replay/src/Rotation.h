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

// The pitch of q = Rz(heading) Ry(pitch) Rx(roll) ("ZYX"), q normalised
// first, for the report's wording of a near-vertical input (the rule itself
// is the calibrator's). NaN for a zero quaternion.
double pitchOf(const Quat& q);

// Angle wrapped into (-pi, pi].
double wrapAngle(double angle);
