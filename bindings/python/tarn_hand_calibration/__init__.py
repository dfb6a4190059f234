"""Python binding of TarnHandCalibrationSDK, the data-glove calibration library.

    import tarn_hand_calibration as tarn
    session = tarn.read_session("session.csv")
    with tarn.Calibrator() as calibrator:
        calibrator.calibrate_hand("right", session.right_glove[0, 0], session.right_tracker.quaternion[0])
        calibrated = calibrator.apply_hand("right", session.right_glove)   # (N, 20, 4)

Calibrator (tarn_hand_calibration.calibrator) is the integrator API: one
object per user, a host convention, whole sessions as NumPy arrays in one
call, refusals raised as CalibrationError with the quality record, and
each hand's drift monitor (apply_hand_tracked, drift, DriftReport) and
calibration from motion (calibrate_hand_from_motion, MotionResult). The
module functions (calibrate_right_hand, apply_right_hand, ...) are the 16
exports with Python names, over one calibration state per process, without
locks: use them from one thread; `tarn_hand_calibration.native` has the 16
under their C names. Library conventions: quaternions [w, x, y, z],
positions [x, y, z] with Z up, radians.

An installed wheel carries the shared libraries beside this file. A source
tree finds them through the TARN_HAND_CALIBRATION_LIBRARY environment
variable (their folder), or on the system's library path.
"""

from . import native
from ._library import ENVIRONMENT_VARIABLE
from .all_vr import Pose, Tracker, all_poses, calibrate_all_vr, headset_pose, left_tracker_pose, right_tracker_pose
from .calibrator import (
    CalibrationError,
    Calibrator,
    Convention,
    Degeneracy,
    Device,
    Hand,
    Input,
    Quality,
    Status,
    check_orientation,
    default_drift_settings,
    library_version,
)
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
from .drift import DriftEvent, DriftEventKind, DriftReport, DriftSettings
from .motion import MotionResult, MotionVerdict
from .session import Session, SessionError, SessionWarning, iter_session, read_session, write_session

try:
    from ._version import version as __version__  # written when the wheel is built
except ImportError:  # a source tree: the version of the library it runs on
    __version__ = library_version()

__all__ = [
    "ENVIRONMENT_VARIABLE",
    "BothHands",
    "CalibrationError",
    "Calibrator",
    "Convention",
    "Degeneracy",
    "Device",
    "DriftEvent",
    "DriftEventKind",
    "DriftReport",
    "DriftSettings",
    "Hand",
    "Input",
    "MotionResult",
    "MotionVerdict",
    "Pose",
    "Quality",
    "Session",
    "SessionError",
    "SessionWarning",
    "Status",
    "Tracker",
    "all_poses",
    "apply_both_hands",
    "apply_left_hand",
    "apply_right_hand",
    "calibrate_all_vr",
    "calibrate_both_hands",
    "calibrate_left_hand",
    "calibrate_right_hand",
    "check_orientation",
    "default_drift_settings",
    "headset_pose",
    "iter_session",
    "left_tracker_pose",
    "library_version",
    "native",
    "read_session",
    "reset_both_hands",
    "reset_single_hands",
    "right_tracker_pose",
    "write_session",
]
