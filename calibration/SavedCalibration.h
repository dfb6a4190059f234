#pragma once
// A calibrator's calibrations as a small versioned byte string, and back.
//
// Layout (little-endian): the 8 bytes "TARNCAL\0", a 16-bit format version,
// a 16-bit payload length, the payload, and the CRC-32 (IEEE 802.3) of
// everything before it. The payload holds one byte of flags per
// calibration and, for each rotation or point, its doubles as IEEE 754 bit
// patterns: the hands' offsets, the double-hand rotation and centre, the
// All-VR frame's rotation and origin and each device's heading at
// calibration (format 1); then, per hand, the motion calibration it came
// from, its drift monitor's settings and the drift rate the monitor went by
// (format 2, docs/saved-calibrations.md). Restoring rebuilds the
// precomputed matrices from the saved quaternions, as calibrating does, so
// a restored calibration applies bit for bit as the saved one did.
#include <cstddef>

#include "calibration/Calibrator.h"

namespace tarn {

// The size of every saved string written (format 2).
std::size_t savedCalibrationSize();

// Writes savedCalibrationSize() bytes to `out`.
void saveCalibration(const Calibrator& calibrator, unsigned char* out);

// Replaces the calibrator's calibrations by those of `data` when it is a
// whole, unaltered string of format 1 or 2 holding values a calibration
// can make; otherwise returns false and changes nothing. A format-2 string
// also replaces each hand's motion calibration, drift settings and rate
// (TrackedHand::restored); a format-1 string leaves the settings as they
// are. The checksum finds
// damage, not a string forged or written wrong, so restoring also checks
// the contents: flag bytes 0 or 1; each rotation that must be there (the
// hands', the two frames', a calibrated device's heading) present; every
// present rotation a heading (about the up axis) of unit length, both
// within 1e-9; every absent one all zeros; both points finite and within
// 1e7 m of zero in each axis; the All-VR origin on the floor (height 0);
// in format 2, each hand's record as TrackedHand keeps it (a motion
// calibration only for a calibrated hand, its mount of unit length within
// 1e-9, its angles in range; valid drift settings; a finite rate).
bool restoreCalibration(Calibrator& calibrator, const unsigned char* data, std::size_t size);

}  // namespace tarn
