#pragma once
// The rule every calibration applies to an orientation it takes a heading
// from: none can be taken from a zero quaternion, nor from one whose right
// (+X) axis is within 5 degrees of vertical (the device rolled onto its
// side: the "ZYX" pitch beyond 85 degrees, where the heading is
// undefined). Quaternions [w, x, y, z] of any length.
#include "attitude/Attitude.h"

namespace tarn {

// Every component below this magnitude: no orientation at all.
constexpr double kZeroQuaternion = 1e-8;
// The right axis dipping or rising further than this (85 degrees).
constexpr double kNearVerticalPitch = 85.0 * kDegree;

enum class Degeneracy { None = 0, ZeroQuaternion = 1, NearVertical = 2, HandsTooClose = 3, NoDevice = 4 };

// Why no heading can be taken from q (4 doubles): a zero quaternion, or
// one whose right axis is near vertical. A NaN quaternion is neither
// (callers refuse NaN).
Degeneracy headingDegeneracy(const double* q);

}  // namespace tarn
