#pragma once
// The hosts' conventions of axes, handedness, quaternion order and length
// unit, and the exact conversions between each of them and the library's
// own (right-handed, X right, Y forward, Z up, quaternions [w, x, y, z],
// metres). include/TarnCalibrator.h describes the conventions for hosts.
//
// Every conversion is a signed permutation of the axes: positions map
// axis to axis, quaternion vector parts the same way and are negated as
// well when the permutation is a reflection (a change of handedness), so
// converting only moves and negates components, bit for bit. The one
// exception is Unreal's length unit: centimetres are divided by 100 on the
// way in and multiplied by 100 on the way out.

namespace tarn {

enum class Convention { Library = 0, Unity = 1, OpenXR = 2, Unreal = 3 };

constexpr bool isConvention(int value) { return value >= 0 && value <= 3; }

// 3 doubles in `convention` -> 3 doubles in the library's (in may equal out).
void positionToLibrary(Convention convention, const double* in, double* out);
void positionFromLibrary(Convention convention, const double* in, double* out);

// 4 doubles in `convention` -> [w, x, y, z] in the library's (in may equal out).
void quaternionToLibrary(Convention convention, const double* in, double* out);
void quaternionFromLibrary(Convention convention, const double* in, double* out);

// A length in metres (the library's unit) -> the same length in
// `convention`'s unit.
double lengthFromLibrary(Convention convention, double metres);

}  // namespace tarn
