"""All-VR calibration (two wrist trackers and a headset) with Python names.

Positions are [x, y, z] with Z up, quaternions [w, x, y, z]; the pose
functions take one pose or batches, (N, 3) positions and (N, 4) quaternions,
converted frame by frame. Results are new arrays; inputs are never modified.
"""

from typing import Any, NamedTuple, Optional

from . import _batch, native


class Pose(NamedTuple):
    """Position and orientation of one device."""

    position: Any
    quaternion: Any


class Tracker(NamedTuple):
    """A wrist tracker's sample at calibration time.

    second_position: needed only when this tracker calibrates alone; the
    horizontal direction from it to `position` is taken as forward.
    second_quaternion: optional; when neither tracker supplies one and the
    headset is given, the headset decides the frame.
    """

    position: Any
    quaternion: Any
    second_position: Optional[Any] = None
    second_quaternion: Optional[Any] = None


def _tracker_arguments(tracker, other, side):
    """The C function's five arguments for one tracker (None: off)."""
    if tracker is None:
        return (False, None, None, None, None)
    if tracker.second_position is None and other is None:
        raise ValueError(f"the {side} tracker calibrates alone and needs second_position")
    second_position = tracker.position if tracker.second_position is None else tracker.second_position
    return (True, tracker.position, second_position, tracker.quaternion, tracker.second_quaternion)


def calibrate_all_vr(right: Optional[Tracker] = None, left: Optional[Tracker] = None,
                     headset: Optional[Pose] = None, *, replace_origin=True):
    """Calibrates the common frame from the devices given (None: absent).
    With replace_origin False the new origin is added to the stored one."""
    headset_arguments = (False, None, None) if headset is None else (True, headset.position, headset.quaternion)
    native.InitialAllVRCalibrationV2(
        *_tracker_arguments(right, left, "right"),
        *_tracker_arguments(left, right, "left"),
        *headset_arguments,
        replace_origin,
    )


def _pose_arrays(*poses):
    return [(values, shape, name) for pose in poses
            for values, shape, name in zip(pose, (_batch.POSITION, _batch.QUATERNION), ("position", "quaternion"))]


def _device_pose(export, position, quaternion):
    if _batch.is_batch(position, 1):
        return Pose(*_batch.each_frame(export, *_pose_arrays((position, quaternion))))
    return Pose(*getattr(native, export)(position, quaternion))


def right_tracker_pose(position, quaternion):
    """The right tracker's pose in the All-VR frame, as a Pose (unchanged
    when the last calibration did not cover it)."""
    return _device_pose("GetAllRTracker", position, quaternion)


def left_tracker_pose(position, quaternion):
    """As right_tracker_pose, for the left tracker."""
    return _device_pose("GetAllLTracker", position, quaternion)


def headset_pose(position, quaternion):
    """As right_tracker_pose, for the headset."""
    return _device_pose("GetAllVRGlasses", position, quaternion)


def all_poses(right: Pose, left: Pose, headset: Pose):
    """The three devices' poses in one call, as (right, left, headset) Poses."""
    if _batch.is_batch(right[0], 1):
        arrays = _pose_arrays(right, left, headset)
        spare = (None, None, None)  # the export's two unused pointers
        values = _batch.each_frame("GetAllVRCalibrationData", *arrays[0:2], spare, *arrays[2:4], spare, *arrays[4:6])
    else:
        values = native.GetAllVRCalibrationData(*right, *left, *headset)
    return Pose(*values[0:2]), Pose(*values[2:4]), Pose(*values[4:6])
