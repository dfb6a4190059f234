/*
 * TarnHandCalibrationSDK: heading calibration of a pair of data gloves
 * against the VR devices worn with them (a tracker on each wrist, a headset).
 *
 * Conventions used by every function below
 * ----------------------------------------
 *  - All arrays are caller-owned IEEE 754 doubles. No function allocates
 *    memory for the caller or keeps a pointer after it returns.
 *  - Quaternion: 4 doubles [w, x, y, z], scalar first, Hamilton product.
 *    A device quaternion rotates device (body) coordinates into the tracking
 *    (world) coordinates. Quaternions need not be of unit length.
 *  - Position: 3 doubles [x, y, z] in the host's tracking unit. Z is vertical
 *    and points up, so a heading is a rotation about Z.
 *  - Hand data: one glove's 20 quaternions, 80 doubles in row-major order
 *    (quaternion i, component j at index 4*i + j).
 *  - Angles are radians.
 *  - "In/out" arrays are read and then overwritten in place with the
 *    calibrated values.
 *  - Pointers are not checked: pass arrays of at least the stated length.
 *    The only pointers that may be NULL are those said to be optional.
 *  - bool is the one-byte C99/C++ bool (1 = true, 0 = false).
 *  - The library keeps one set of calibration state per process and has no
 *    locks: call it from one thread at a time.
 *  - The only output besides the caller's arrays is an occasional error line
 *    on standard output (GBK text) from the internal matrix code; the
 *    functions here never fail loudly and never throw.
 */
#ifndef TARN_HAND_CALIBRATION_SDK_H
#define TARN_HAND_CALIBRATION_SDK_H

#include <stdbool.h>

/* Version of this header and of the library built with it (the build checks
 * that it matches the project version). NUMBER is major * 10000 +
 * minor * 100 + patch, for compile-time comparisons. */
#define TARN_HAND_CALIBRATION_SDK_VERSION_MAJOR 1
#define TARN_HAND_CALIBRATION_SDK_VERSION_MINOR 2
#define TARN_HAND_CALIBRATION_SDK_VERSION_PATCH 0
#define TARN_HAND_CALIBRATION_SDK_VERSION_NUMBER                       \
    (TARN_HAND_CALIBRATION_SDK_VERSION_MAJOR * 10000 +                 \
     TARN_HAND_CALIBRATION_SDK_VERSION_MINOR * 100 +                   \
     TARN_HAND_CALIBRATION_SDK_VERSION_PATCH)

#if defined(_WIN32)
#  if defined(TARN_BUILDING_LIBRARY)
#    define TARN_API __declspec(dllexport)
#  else
#    define TARN_API __declspec(dllimport)
#  endif
#else
#  if defined(TARN_BUILDING_LIBRARY)
#    define TARN_API __attribute__((visibility("default")))
#  else
#    define TARN_API
#  endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------
 * Single-hand calibration: one heading offset per hand.
 *
 * After InitialRHand(source, target), hand data whose heading equals the
 * heading of `source` comes out of GetCalculationDataRHand with the heading
 * of `target` plus 90 degrees (minus 90 degrees for the left hand). Only the
 * rotations about Z of `source` and `target` matter; their tilt is ignored,
 * and the tilt of the hand data is kept.
 * ---------------------------------------------------------------------- */

/* Calibrates the right hand. source, target: quaternions (4 doubles each),
 * read only. Replaces any earlier right-hand calibration. A zero quaternion
 * yields a NaN offset (the hand's output is then NaN until the next
 * calibration or Close). */
TARN_API void InitialRHand(const double* source, const double* target);

/* As InitialRHand, for the left hand (quarter turn of -90 degrees). */
TARN_API void InitialLHand(const double* source, const double* target);

/* Applies the right-hand calibration. handData: 80 doubles, in/out; each of
 * the 20 quaternions is turned about the world Z axis by the calibrated
 * heading (rows are not normalised). Before any calibration, and after
 * Close, finite values come back unchanged (a -0.0 comes back as +0.0). */
TARN_API void GetCalculationDataRHand(double* handData);

/* As GetCalculationDataRHand, with the left-hand calibration. */
TARN_API void GetCalculationDataLHand(double* handData);

/* ------------------------------------------------------------------------
 * Double-hand calibration: a common frame for both hands, from the two
 * hand positions. Origin: the midpoint of the two positions. X axis: the
 * horizontal direction from position2 to position1. Z: the vertical axis.
 * ---------------------------------------------------------------------- */

/* Calibrates from two positions (3 doubles each, read only). Returns false
 * and leaves the library uncalibrated when the two positions are closer than
 * 0.001 (in the positions' unit) along both horizontal axes; their height
 * difference does not matter. A refused calibration disables
 * GetDoubleHandCalibrationData until the next successful one. NaN components
 * are not refused: the calibration then holds NaN values. */
TARN_API bool InitialDoubleCalibration(const double* position1,
                                       const double* position2);

/* Re-expresses both hands in the double-hand frame. hand1, hand2: 80 doubles
 * each, in/out, every quaternion turned about Z by minus the frame heading.
 * position1, position2: 3 doubles each, in/out, made relative to the frame
 * origin and turned about Z by minus the frame heading. Writes nothing at
 * all while no calibration is in force. */
TARN_API void GetDoubleHandCalibrationData(double* hand1, double* hand2,
                                           double* position1,
                                           double* position2);

/* Discards the double-hand calibration (back to the state at load). */
TARN_API void ResetDoubleHandCalibration(void);

/* ------------------------------------------------------------------------
 * All-VR calibration: one frame for the right wrist tracker, the left wrist
 * tracker and the headset.
 *
 * The frame: +z up; +x points horizontally from the left tracker towards the
 * right tracker; +y is forward (+x turned by +90 degrees about z); the origin
 * lies on the floor plane (z = 0). Which device decides it:
 *  - both trackers on and more than 0.001 apart along x or y: the line
 *    between them gives the heading, their midpoint the origin;
 *  - both on but closer (or NaN): frame and origin keep their old values and
 *    neither tracker is calibrated by this call;
 *  - right tracker alone: forward is the horizontal direction from
 *    rTrackerPos2 to rTrackerPos; the origin is 0.2 to the left of the
 *    tracker (left tracker alone: from lTrackerPos2 to lTrackerPos, origin
 *    0.2 to the right);
 *  - headset fallback: when neither second quaternion is supplied and the
 *    headset is on, the headset's heading becomes the frame heading and the
 *    point 0.5 in front of it the origin, overriding any tracker result of
 *    the same call.
 * Each tracker and the headset also remembers its own heading at
 * calibration, which the pose output takes out of its orientation.
 * Nothing but the next All-VR calibration resets this state.
 * ---------------------------------------------------------------------- */

/* Calibrates the All-VR frame, replacing the stored origin. Equivalent to
 * InitialAllVRCalibrationV2(..., true).
 *  rTrackerOn:    the right wrist tracker takes part.
 *  rTrackerPos:   right tracker position (3).
 *  rTrackerPos2:  a second right-side position (3), used when the right
 *                 tracker calibrates alone.
 *  rTrackerQuat:  right tracker orientation (4).
 *  rTrackerQuat2: optional (may be NULL) second right-side quaternion (4);
 *                 it counts as supplied when not NULL and some component has
 *                 an absolute value of at least 1e-8 (or is NaN). Only its
 *                 presence matters: it disables the headset fallback.
 *  lTracker...:   the same five for the left wrist tracker.
 *  vrGlassesOn, vrGlassesPos (3), vrGlassesQuat (4): the headset.
 * Arrays of a device whose on-flag is false are not read and may be NULL.
 * Returns true, always. */
TARN_API bool InitialAllVRCalibration(
    bool rTrackerOn, const double* rTrackerPos, const double* rTrackerPos2,
    const double* rTrackerQuat, const double* rTrackerQuat2,
    bool lTrackerOn, const double* lTrackerPos, const double* lTrackerPos2,
    const double* lTrackerQuat, const double* lTrackerQuat2,
    bool vrGlassesOn, const double* vrGlassesPos, const double* vrGlassesQuat);

/* As InitialAllVRCalibration. replaceOrigin true: the newly computed origin
 * replaces the stored one; false: it is added to the stored origin (whose z
 * is then set to 0 again). Returns true, always. */
TARN_API bool InitialAllVRCalibrationV2(
    bool rTrackerOn, const double* rTrackerPos, const double* rTrackerPos2,
    const double* rTrackerQuat, const double* rTrackerQuat2,
    bool lTrackerOn, const double* lTrackerPos, const double* lTrackerPos2,
    const double* lTrackerQuat, const double* lTrackerQuat2,
    bool vrGlassesOn, const double* vrGlassesPos, const double* vrGlassesQuat,
    bool replaceOrigin);

/* Pose output. Each takes a position (3, in/out) and a quaternion (4,
 * in/out) of one device. The position becomes relative to the frame origin,
 * turned about z by minus the frame heading (its height is kept); the
 * quaternion loses the device's own heading at calibration (conj(heading) *
 * q, not normalised). When the last All-VR calibration did not cover the
 * device (or none ran yet), the arrays are neither read nor written and may
 * be NULL. */
TARN_API void GetAllRTracker(double* position, double* quaternion);
TARN_API void GetAllLTracker(double* position, double* quaternion);
TARN_API void GetAllVRGlasses(double* position, double* quaternion);

/* All three devices in one call, right tracker, left tracker, then headset;
 * the same as calling the three functions above in turn. rSpare and lSpare
 * are never used and may be NULL. */
TARN_API void GetAllVRCalibrationData(double* rTrackerPos, double* rTrackerQuat,
                                      double* rSpare, double* lTrackerPos,
                                      double* lTrackerQuat, double* lSpare,
                                      double* vrGlassesPos,
                                      double* vrGlassesQuat);

/* ------------------------------------------------------------------------
 * Lifetime
 * ---------------------------------------------------------------------- */

/* Does nothing (kept for hosts that call it). */
TARN_API void GetAllmHand(void);

/* Does nothing: in particular it does not reset the All-VR calibration. */
TARN_API void ResetAllVRCalibration(void);

/* Resets the two single-hand calibrations to the identity. Leaves the
 * double-hand and All-VR calibrations in force. The library stays usable;
 * Close may be called any number of times. */
TARN_API void Close(void);

#ifdef __cplusplus
}
#endif

#endif /* TARN_HAND_CALIBRATION_SDK_H */
