"""The library's 16 functions under their C names and parameter order.

Arrays are in the library's convention: quaternions [w, x, y, z], positions
[x, y, z] with Z up, angles in radians. Each function checks the shapes of
its arrays and raises ValueError before calling into the library, which
trusts its caller. Nothing is modified in place: where the C function
overwrites its arrays, this one returns the new values instead (NumPy arrays
when NumPy is installed) and leaves the caller's arrays as they were.
"""

from ._arrays import HAND, POSITION, QUATERNION, from_c, to_c, to_c_optional
from ._library import library


def InitialRHand(source, target):
    """Calibrates the right hand from two quaternions: hand data with the
    heading of `source` afterwards gets the heading of `target` plus 90
    degrees. Replaces any earlier right-hand calibration."""
    library().InitialRHand(to_c(source, QUATERNION, "source"), to_c(target, QUATERNION, "target"))


def InitialLHand(source, target):
    """As InitialRHand, for the left hand (minus 90 degrees)."""
    library().InitialLHand(to_c(source, QUATERNION, "source"), to_c(target, QUATERNION, "target"))


def GetCalculationDataRHand(handData):
    """handData (20 x 4, or 80 flat) turned about Z by the right-hand
    calibration; returned as a new 20 x 4 array."""
    hand = to_c(handData, HAND, "handData")
    library().GetCalculationDataRHand(hand)
    return from_c(hand, HAND)


def GetCalculationDataLHand(handData):
    """As GetCalculationDataRHand, with the left-hand calibration."""
    hand = to_c(handData, HAND, "handData")
    library().GetCalculationDataLHand(hand)
    return from_c(hand, HAND)


def InitialDoubleCalibration(position1, position2):
    """Sets up the common frame of both hands from two positions. Returns
    False, leaving double-hand calibration off, when they are closer than
    0.001 along both horizontal axes."""
    return library().InitialDoubleCalibration(
        to_c(position1, POSITION, "position1"), to_c(position2, POSITION, "position2")
    )


def GetDoubleHandCalibrationData(hand1, hand2, position1, position2):
    """The two hand blocks and two positions in the double-hand frame, as
    (hand1, hand2, position1, position2). Without a calibration in force
    they come back unchanged."""
    arrays = (
        (to_c(hand1, HAND, "hand1"), HAND),
        (to_c(hand2, HAND, "hand2"), HAND),
        (to_c(position1, POSITION, "position1"), POSITION),
        (to_c(position2, POSITION, "position2"), POSITION),
    )
    library().GetDoubleHandCalibrationData(*(array for array, _ in arrays))
    return tuple(from_c(array, layout) for array, layout in arrays)


def ResetDoubleHandCalibration():
    """Discards the double-hand calibration."""
    library().ResetDoubleHandCalibration()


def _all_vr_inputs(rTrackerOn, rTrackerPos, rTrackerPos2, rTrackerQuat, rTrackerQuat2,
                   lTrackerOn, lTrackerPos, lTrackerPos2, lTrackerQuat, lTrackerQuat2,
                   vrGlassesOn, vrGlassesPos, vrGlassesQuat):
    """The 13 checked C arguments of the All-VR calibration. Arrays of a
    device that is off may be None; the second quaternions always may."""

    def device_array(on, values, layout, name):
        if on and values is None:
            raise ValueError(f"{name} is needed while its device is on")
        return to_c_optional(values, layout, name)

    return (
        bool(rTrackerOn),
        device_array(rTrackerOn, rTrackerPos, POSITION, "rTrackerPos"),
        device_array(rTrackerOn, rTrackerPos2, POSITION, "rTrackerPos2"),
        device_array(rTrackerOn, rTrackerQuat, QUATERNION, "rTrackerQuat"),
        to_c_optional(rTrackerQuat2, QUATERNION, "rTrackerQuat2"),
        bool(lTrackerOn),
        device_array(lTrackerOn, lTrackerPos, POSITION, "lTrackerPos"),
        device_array(lTrackerOn, lTrackerPos2, POSITION, "lTrackerPos2"),
        device_array(lTrackerOn, lTrackerQuat, QUATERNION, "lTrackerQuat"),
        to_c_optional(lTrackerQuat2, QUATERNION, "lTrackerQuat2"),
        bool(vrGlassesOn),
        device_array(vrGlassesOn, vrGlassesPos, POSITION, "vrGlassesPos"),
        device_array(vrGlassesOn, vrGlassesQuat, QUATERNION, "vrGlassesQuat"),
    )


def InitialAllVRCalibration(rTrackerOn, rTrackerPos, rTrackerPos2, rTrackerQuat, rTrackerQuat2,
                            lTrackerOn, lTrackerPos, lTrackerPos2, lTrackerQuat, lTrackerQuat2,
                            vrGlassesOn, vrGlassesPos, vrGlassesQuat):
    """Calibrates the frame of the two wrist trackers and the headset,
    replacing the stored origin. Per tracker: on-flag, position, second
    position (used when it calibrates alone), quaternion, optional second
    quaternion (None allowed; with neither supplied and the headset on, the
    headset decides the frame). Headset: on-flag, position, quaternion.
    Arrays of a device that is off may be None. Returns True."""
    return library().InitialAllVRCalibration(*_all_vr_inputs(
        rTrackerOn, rTrackerPos, rTrackerPos2, rTrackerQuat, rTrackerQuat2,
        lTrackerOn, lTrackerPos, lTrackerPos2, lTrackerQuat, lTrackerQuat2,
        vrGlassesOn, vrGlassesPos, vrGlassesQuat))


def InitialAllVRCalibrationV2(rTrackerOn, rTrackerPos, rTrackerPos2, rTrackerQuat, rTrackerQuat2,
                              lTrackerOn, lTrackerPos, lTrackerPos2, lTrackerQuat, lTrackerQuat2,
                              vrGlassesOn, vrGlassesPos, vrGlassesQuat, replaceOrigin):
    """As InitialAllVRCalibration; with replaceOrigin False the new origin
    is added to the stored one. Returns True."""
    return library().InitialAllVRCalibrationV2(*_all_vr_inputs(
        rTrackerOn, rTrackerPos, rTrackerPos2, rTrackerQuat, rTrackerQuat2,
        lTrackerOn, lTrackerPos, lTrackerPos2, lTrackerQuat, lTrackerQuat2,
        vrGlassesOn, vrGlassesPos, vrGlassesQuat), bool(replaceOrigin))


def _device_pose(export, position, quaternion):
    arrays = (to_c(position, POSITION, "position"), to_c(quaternion, QUATERNION, "quaternion"))
    export(*arrays)
    return from_c(arrays[0], POSITION), from_c(arrays[1], QUATERNION)


def GetAllRTracker(position, quaternion):
    """The right tracker's pose in the All-VR frame, as (position,
    quaternion): position relative to the frame origin and turned into the
    frame, quaternion without the tracker's heading at calibration.
    Unchanged when the last All-VR calibration did not cover it."""
    return _device_pose(library().GetAllRTracker, position, quaternion)


def GetAllLTracker(position, quaternion):
    """As GetAllRTracker, for the left tracker."""
    return _device_pose(library().GetAllLTracker, position, quaternion)


def GetAllVRGlasses(position, quaternion):
    """As GetAllRTracker, for the headset."""
    return _device_pose(library().GetAllVRGlasses, position, quaternion)


def GetAllVRCalibrationData(rTrackerPos, rTrackerQuat, lTrackerPos, lTrackerQuat, vrGlassesPos, vrGlassesQuat):
    """The three pose conversions in one call, returned as (rTrackerPos,
    rTrackerQuat, lTrackerPos, lTrackerQuat, vrGlassesPos, vrGlassesQuat).
    The C function's two unused spare pointers are passed as NULL."""
    arrays = (
        (to_c(rTrackerPos, POSITION, "rTrackerPos"), POSITION),
        (to_c(rTrackerQuat, QUATERNION, "rTrackerQuat"), QUATERNION),
        (to_c(lTrackerPos, POSITION, "lTrackerPos"), POSITION),
        (to_c(lTrackerQuat, QUATERNION, "lTrackerQuat"), QUATERNION),
        (to_c(vrGlassesPos, POSITION, "vrGlassesPos"), POSITION),
        (to_c(vrGlassesQuat, QUATERNION, "vrGlassesQuat"), QUATERNION),
    )
    (rp, _), (rq, _), (lp, _), (lq, _), (gp, _), (gq, _) = arrays
    library().GetAllVRCalibrationData(rp, rq, None, lp, lq, None, gp, gq)
    return tuple(from_c(array, layout) for array, layout in arrays)


def GetAllmHand():
    """Does nothing; kept for hosts that call it."""
    library().GetAllmHand()


def ResetAllVRCalibration():
    """Does nothing: the All-VR calibration stays in force."""
    library().ResetAllVRCalibration()


def Close():
    """Resets both single-hand calibrations to the identity; the library
    stays usable."""
    library().Close()
