#pragma once
// Rules about calibration inputs that no heading can be taken from, and
// the measures of how well one frame suits a heading-only calibration.
// All quaternions here are the library's [w, x, y, z], of any length;
// angles are radians. Plain double arithmetic: these values inform, they
// are not part of a calibration's result.

namespace tarn {

// Every component below this magnitude: no orientation at all.
constexpr double kZeroQuaternion = 1e-8;
// Pitched further than this (85 degrees): the heading is undefined.
constexpr double kNearVerticalPitch = 85.0 * 3.14159265358979323846 / 180.0;

enum class Degeneracy { None = 0, ZeroQuaternion = 1, NearVertical = 2, HandsTooClose = 3, NoDevice = 4 };

// Why no heading can be taken from q: a zero quaternion, or one pitched
// near vertical. A NaN quaternion is none of these (callers refuse NaN).
Degeneracy headingDegeneracy(const double* q);

// The "ZYX" Euler angles of q normalised: heading about Z, pitch about Y.
double headingOf(const double* q);
// The direction of q's heading, [cos, sin] scaled by the cosine of its
// pitch and its squared length (q need not be normalised).
void headingDirection(const double* q, double* direction);
double pitchOf(const double* q);

// How far q is tilted away from a pure heading: the angle of the rotation
// left once its heading is taken out, 0 to pi.
double tiltOf(const double* q);

// The heading of the direction q turns the device's +Y (forward) axis to:
// the angle psi for which a turn by psi about Z carries +Y there.
double forwardHeadingOf(const double* q);

// The forward axis of a device, q applied to +Y (q normalised first).
void forwardOf(const double* q, double* forward);

// Angle wrapped into (-pi, pi].
double wrapAngle(double angle);

}  // namespace tarn
