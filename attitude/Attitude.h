#pragma once
// Rotations: the conventions of the whole library, and the plain-double
// quaternion and angle arithmetic used outside the bit-exact MatFunc path
// (input rules and quality measures, the drift monitor, tarn-replay and
// its session generator, tests). MatFunc's own attitude operations are
// documented where they are declared (matrix/MatFunc.h).
//
// Conventions, shared by the whole library:
//  - A quaternion is [w, x, y, z], scalar first.
//  - The product a (x) b is Hamilton's (i^2 = j^2 = k^2 = ijk = -1).
//  - A device's orientation rotates device (body) coordinates into world
//    (tracking) coordinates, right-handed, X right, Y forward, Z up. Frames
//    are named in variables as `to_from_from`: world_from_glove carries
//    glove coordinates into world coordinates, so
//    world_from_glove = world_from_tracker (x) tracker_from_glove.
//  - A heading is a rotation about the world's up axis (Z), counter-
//    clockwise seen from above; headings are the "ZYX" Euler angle about Z:
//    q = Rz(heading) (x) Ry(pitch) (x) Rx(roll).
//  - Angles are radians.
//  - Functions here take quaternions of any length unless they say
//    otherwise, and do not test for zero: a zero quaternion gives NaN.
#include <array>

namespace tarn {

using Quaternion = std::array<double, 4>;  // [w, x, y, z]
using Vector3 = std::array<double, 3>;
using Matrix3 = std::array<std::array<double, 3>, 3>;  // [row][column]

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180;
constexpr double degrees(double radians) { return radians * (180.0 / kPi); }
constexpr double radians(double degrees) { return degrees * (kPi / 180.0); }

// The 4 doubles at q.
inline Quaternion quaternionAt(const double* q) { return {q[0], q[1], q[2], q[3]}; }

// a (x) b.
inline Quaternion product(const Quaternion& a, const Quaternion& b)
{
    return {a[0] * b[0] - a[1] * b[1] - a[2] * b[2] - a[3] * b[3],
            a[0] * b[1] + a[1] * b[0] + a[2] * b[3] - a[3] * b[2],
            a[0] * b[2] - a[1] * b[3] + a[2] * b[0] + a[3] * b[1],
            a[0] * b[3] + a[1] * b[2] - a[2] * b[1] + a[3] * b[0]};
}

inline Quaternion conjugate(const Quaternion& q) { return {q[0], -q[1], -q[2], -q[3]}; }

// q / |q|.
Quaternion normalised(const Quaternion& q);

// Turns by `angle` about the world's X, Y and Z axes.
Quaternion aboutX(double angle);
Quaternion aboutY(double angle);
Quaternion aboutZ(double angle);

// q applied to v, q normalised first.
Vector3 rotate(const Quaternion& q, const Vector3& v);

// The heading of q, normalised first: the "ZYX" angle about Z, -pi to pi.
double headingOf(const Quaternion& q);
// The direction of q's heading, [cos, sin] scaled by the cosine of its
// pitch and by its squared length (q not normalised): a heading that
// weighs itself by how well it is defined.
std::array<double, 2> headingDirection(const Quaternion& q);

// The "ZYX" pitch of q, normalised first: the angle by which the device's
// right (+X) axis dips below the horizontal, -pi/2 to pi/2. At +-pi/2 the
// right axis is vertical (the device rolled onto its side) and no heading
// is defined.
double pitchOf(const Quaternion& q);

// How far q is tilted away from a pure heading: the angle of the rotation
// left once its heading is taken out, 0 to pi.
double tiltOf(const Quaternion& q);

// The device's forward axis, q (normalised first) applied to +Y.
Vector3 forwardOf(const Quaternion& q);
// The heading of that axis: the angle psi for which a turn by psi about Z
// carries +Y onto its horizontal direction.
double forwardHeadingOf(const Quaternion& q);

// Angle wrapped into (-pi, pi].
double wrapAngle(double angle);

// The rotation matrix of q (unit length): R v = q (x) v (x) conj(q).
Matrix3 rotationMatrix(const Quaternion& q);

// The angle of the rotation q (any length, not zero), 0 to pi.
double angleOf(const Quaternion& q);

// The rotation R that maximises trace(R^T S) (the best rotation for a
// correlation matrix S = sum of weight * a b^T, Davenport's q-method), as
// a unit quaternion with w >= 0; `value` (optional) gets the maximum.
Quaternion bestRotation(const Matrix3& s, double* value = nullptr);

}  // namespace tarn
