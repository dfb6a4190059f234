"""Python binding of TarnHandCalibrationSDK, the data-glove calibration library.

    import tarn_hand_calibration as tarn
    tarn.calibrate_right_hand(source=[1, 0, 0, 0], target=[1, 0, 0, 0])
    calibrated = tarn.apply_right_hand(hand_block)   # (20, 4)

The functions here follow Python's conventions; `tarn_hand_calibration.native`
has the library's 16 functions under their C names. Conventions: quaternions
[w, x, y, z], positions [x, y, z] with Z up, radians. The library keeps one
calibration state per process and has no locks: use it from one thread.

The shared library is found through the TARN_HAND_CALIBRATION_LIBRARY
environment variable, next to this package, or on the system's library path.
"""

from . import native
from ._library import ENVIRONMENT_VARIABLE
from .all_vr import Pose, Tracker, all_poses, calibrate_all_vr, headset_pose, left_tracker_pose, right_tracker_pose
from .hands import (
    BothHands,
    apply_both_hands,
    apply_left_hand,
    apply_right_hand,
    calibrate_both_hands,
    calibrate_left_hand,
    calibrate_right_hand,
    reset_both_hands,
    reset_single_hands,
)

__all__ = [
    "ENVIRONMENT_VARIABLE",
    "BothHands",
    "Pose",
    "Tracker",
    "all_poses",
    "apply_both_hands",
    "apply_left_hand",
    "apply_right_hand",
    "calibrate_all_vr",
    "calibrate_both_hands",
    "calibrate_left_hand",
    "calibrate_right_hand",
    "headset_pose",
    "left_tracker_pose",
    "native",
    "reset_both_hands",
    "reset_single_hands",
    "right_tracker_pose",
]
