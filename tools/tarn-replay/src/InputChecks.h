// Tests for inputs from which no heading can be taken.
#pragma once

#include <optional>
#include <string>

#include "Rotation.h"

constexpr double kNearVerticalPitch = radians(85.0);

bool hasNaN(const double* values, std::size_t count);

// All four components below 1e-8 in magnitude: no orientation at all.
bool isZeroQuaternion(const Quat& q);

// What makes the heading of q unusable, if anything: "NaN", "zero
// quaternion" or "pitch +87.3 deg (heading ill-defined)".
std::optional<std::string> headingProblem(const Quat& q);
