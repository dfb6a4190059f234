#pragma once
// A calibrator's calibrations as a small versioned byte string, and back.
//
// Layout (little-endian): the 8 bytes "TARNCAL\0", a 16-bit format version
// (1), a 16-bit payload length, the payload, and the CRC-32 (IEEE 802.3)
// of everything before it. The payload holds one byte of flags per
// calibration and, for each rotation or point, its doubles as IEEE 754 bit
// patterns: the hands' offsets, the double-hand rotation and centre, the
// All-VR frame's rotation and origin and each device's heading at
// calibration. Restoring rebuilds the precomputed matrices from the saved
// quaternions, as calibrating does, so a restored calibration applies bit
// for bit as the saved one did.
#include <cstddef>

#include "calibration/Calibrator.h"

namespace tarn {

// The size of every saved string of this format.
std::size_t savedCalibrationSize();

// Writes savedCalibrationSize() bytes to `out`.
void saveCalibration(const Calibrator& calibrator, unsigned char* out);

// Replaces the calibrator's calibrations by those of `data` when it is a
// whole, unaltered string of this format holding values a calibration can
// make; otherwise returns false and changes nothing. The checksum finds
// damage, not a string forged or written wrong, so restoring also checks
// the contents: flag bytes 0 or 1; each rotation that must be there (the
// hands', the two frames', a calibrated device's heading) present; every
// present rotation a heading (about the up axis) of unit length, both
// within 1e-9; every absent one all zeros; both points finite and within
// 1e7 m of zero in each axis; the All-VR origin on the floor (height 0).
bool restoreCalibration(Calibrator& calibrator, const unsigned char* data, std::size_t size);

}  // namespace tarn
