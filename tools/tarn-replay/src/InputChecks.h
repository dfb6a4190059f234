// Tests for inputs from which no heading can be taken: the library's own
// rule (tarn_check_orientation), worded for the report.
#pragma once

#include <optional>
#include <string>

#include "Rotations.h"

namespace replay {

bool hasNaN(const double* values, std::size_t count);

// All four components too small to give an orientation.
bool isZeroQuaternion(const Quaternion& q);

// What makes the heading of q unusable, if anything: "NaN", "zero
// quaternion" or "pitch +87.3 deg (heading ill-defined)".
std::optional<std::string> headingProblem(const Quaternion& q);

}  // namespace replay
