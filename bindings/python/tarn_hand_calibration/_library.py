"""Finds and loads the native libraries and declares their C prototypes:
libTarnHandCalibrationSDK (the 16 exports) and libTarnCalibrator (the
integrator API)."""

import ctypes
import functools
import os
import sys
from pathlib import Path

#: A folder holding the shared libraries, or the path of
#: libTarnHandCalibrationSDK itself (its folder then holds libTarnCalibrator);
#: when set, it is the only place searched. Not needed for an installed
#: wheel, which carries the libraries beside this file.
ENVIRONMENT_VARIABLE = "TARN_HAND_CALIBRATION_LIBRARY"


def _file_name(name):
    return f"{name}.dll" if sys.platform == "win32" else f"lib{name}.so"


FILE_NAME = _file_name("TarnHandCalibrationSDK")
CALIBRATOR_FILE_NAME = _file_name("TarnCalibrator")
SESSION_FILE_NAME = _file_name("TarnSession")

#: The range of calibration inputs (TARN_LARGEST_QUATERNION_COMPONENT,
#: TARN_LARGEST_POSITION in TarnCalibrator.h): beyond it a calibration is refused.
LARGEST_QUATERNION_COMPONENT = 1e150
LARGEST_POSITION = 1e6

_DOUBLES = ctypes.POINTER(ctypes.c_double)
_BOOL = ctypes.c_bool  # the one-byte C bool
_ALL_VR_INPUTS = [_BOOL, _DOUBLES, _DOUBLES, _DOUBLES, _DOUBLES] * 2 + [_BOOL, _DOUBLES, _DOUBLES]

# name: (restype, argtypes)
_PROTOTYPES = {
    "InitialRHand": (None, [_DOUBLES, _DOUBLES]),
    "InitialLHand": (None, [_DOUBLES, _DOUBLES]),
    "GetCalculationDataRHand": (None, [_DOUBLES]),
    "GetCalculationDataLHand": (None, [_DOUBLES]),
    "InitialDoubleCalibration": (_BOOL, [_DOUBLES, _DOUBLES]),
    "GetDoubleHandCalibrationData": (None, [_DOUBLES] * 4),
    "ResetDoubleHandCalibration": (None, []),
    "InitialAllVRCalibration": (_BOOL, _ALL_VR_INPUTS),
    "InitialAllVRCalibrationV2": (_BOOL, _ALL_VR_INPUTS + [_BOOL]),
    "GetAllVRCalibrationData": (None, [_DOUBLES] * 8),
    "GetAllRTracker": (None, [_DOUBLES, _DOUBLES]),
    "GetAllLTracker": (None, [_DOUBLES, _DOUBLES]),
    "GetAllVRGlasses": (None, [_DOUBLES, _DOUBLES]),
    "GetAllmHand": (None, []),
    "ResetAllVRCalibration": (None, []),
    "Close": (None, []),
}




class Quality(ctypes.Structure):
    """tarn_quality."""

    _fields_ = [("degeneracy", ctypes.c_int), ("degenerate_input", ctypes.c_int)] + [
        (name, ctypes.c_double)
        for name in ("source_tilt", "target_tilt", "separation", "tracker_line_heading", "right_forward_heading",
                     "left_forward_heading", "headset_heading", "largest_disagreement")
    ] + [("frame_decided_by", ctypes.c_int)]


class AllVRInput(ctypes.Structure):
    """tarn_all_vr_input."""

    _fields_ = [(name, ctypes.c_ubyte) for name in ("right_tracker_on", "left_tracker_on", "headset_on",
                                                     "headset_decides")] + [
        (f"{device}_{part}", ctypes.c_double * size)
        for device in ("right", "left", "headset") for part, size in (("position", 3), ("orientation", 4))
    ]


_SIZE = ctypes.c_size_t
# Batches pass their arrays as addresses (NumPy's array.ctypes.data).
_ADDRESS = ctypes.c_void_p


class DriftSettings(ctypes.Structure):
    """tarn_drift_settings."""

    _fields_ = [("reference_row", ctypes.c_uint)] + [
        (name, ctypes.c_double) for name in ("threshold", "hold_time", "still_speed", "still_time", "window")
    ] + [("auto_recalibrate", ctypes.c_ubyte), ("compensate", ctypes.c_ubyte), ("compensate_within", ctypes.c_double)]


class DriftReport(ctypes.Structure):
    """tarn_drift_report."""

    _fields_ = [
        (name, ctypes.c_double)
        for name in ("time", "residual", "trend_residual", "rate", "rate_uncertainty", "fit_span", "largest_residual",
                     "largest_residual_time", "first_flag_time", "correction", "still_since")
    ] + [(name, ctypes.c_ubyte) for name in ("flag", "still", "compensating")] + [("frames", _SIZE)]


class DriftEvent(ctypes.Structure):
    """tarn_drift_event."""

    _fields_ = [("kind", ctypes.c_int)] + [(name, ctypes.c_double)
                                          for name in ("time", "residual_before", "residual_after")]


class TrackedHandFrames(ctypes.Structure):
    """tarn_tracked_hand_frames: an address and a byte stride per array."""

    _fields_ = [(name, kind) for array in ("time", "block", "tracker", "residual")
                for name, kind in ((f"{array}s", _ADDRESS), (f"{array}_stride", _SIZE))]


class MotionFrames(ctypes.Structure):
    """tarn_motion_frames: an address and a byte stride per array."""

    _fields_ = [(name, kind) for array in ("time", "row", "tracker")
                for name, kind in ((f"{array}s", _ADDRESS), (f"{array}_stride", _SIZE))]


class MotionResult(ctypes.Structure):
    """tarn_motion_result."""

    _fields_ = [("verdict", ctypes.c_int), ("heading_offset", ctypes.c_double),
                ("heading_uncertainty", ctypes.c_double), ("mount", ctypes.c_double * 4)] + [
        (name, ctypes.c_double)
        for name in ("strap_turn", "strap_tilt", "residual_spread", "turning_round", "turning_over", "duration")
    ] + [("frames_used", _SIZE), ("frames_skipped", _SIZE)]


_HANDLE = ctypes.c_void_p
_STATUS = ctypes.c_int
_QUALITY = ctypes.POINTER(Quality)

_CALIBRATOR_PROTOTYPES = {
    "tarn_version": (ctypes.c_uint, []),
    "tarn_status_string": (ctypes.c_char_p, [_STATUS]),
    "tarn_degeneracy_string": (ctypes.c_char_p, [ctypes.c_int]),
    "tarn_check_orientation": (_STATUS, [ctypes.c_int, _DOUBLES, ctypes.POINTER(ctypes.c_int)]),
    "tarn_calibrator_create": (_STATUS, [ctypes.c_int, ctypes.POINTER(_HANDLE)]),
    "tarn_calibrator_destroy": (None, [_HANDLE]),
    "tarn_calibrate_hand": (_STATUS, [_HANDLE, ctypes.c_int, _DOUBLES, _DOUBLES, _QUALITY]),
    "tarn_apply_hand": (_STATUS, [_HANDLE, ctypes.c_int, _ADDRESS, _SIZE, _SIZE]),
    "tarn_calibrate_both_hands": (_STATUS, [_HANDLE, _DOUBLES, _DOUBLES, _QUALITY]),
    "tarn_apply_both_hands": (_STATUS, [_HANDLE] + [_ADDRESS, _SIZE] * 4 + [_SIZE]),
    "tarn_reset_both_hands": (_STATUS, [_HANDLE]),
    "tarn_calibrate_all_vr": (_STATUS, [_HANDLE, ctypes.POINTER(AllVRInput), _QUALITY]),
    "tarn_apply_device": (_STATUS, [_HANDLE, ctypes.c_int, _ADDRESS, _SIZE, _ADDRESS, _SIZE, _SIZE]),
    "tarn_get_hand_rotation": (_STATUS, [_HANDLE, ctypes.c_int, _DOUBLES]),
    "tarn_get_both_hands_frame": (_STATUS, [_HANDLE, _DOUBLES, _DOUBLES]),
    "tarn_get_all_vr_frame": (_STATUS, [_HANDLE, _DOUBLES, _DOUBLES, ctypes.POINTER(ctypes.c_ubyte)]),
    "tarn_drift_default_settings": (_STATUS, [ctypes.POINTER(DriftSettings)]),
    "tarn_drift_settings_problem": (ctypes.c_char_p, [ctypes.POINTER(DriftSettings)]),
    "tarn_apply_hand_tracked_trends": (_STATUS, [_HANDLE, ctypes.c_int, ctypes.POINTER(TrackedHandFrames), _ADDRESS,
                                                 _SIZE, _SIZE]),
    "tarn_set_drift_settings": (_STATUS, [_HANDLE, ctypes.c_int, ctypes.POINTER(DriftSettings)]),
    "tarn_get_drift_settings": (_STATUS, [_HANDLE, ctypes.c_int, ctypes.POINTER(DriftSettings)]),
    "tarn_apply_hand_tracked": (_STATUS, [_HANDLE, ctypes.c_int, ctypes.POINTER(TrackedHandFrames), _SIZE]),
    "tarn_get_drift": (_STATUS, [_HANDLE, ctypes.c_int, ctypes.POINTER(DriftReport)]),
    "tarn_take_drift_events": (_STATUS, [_HANDLE, ctypes.c_int, ctypes.POINTER(DriftEvent), _SIZE,
                                         ctypes.POINTER(_SIZE)]),
    "tarn_motion_verdict_string": (ctypes.c_char_p, [ctypes.c_int]),
    "tarn_motion_start": (_STATUS, [_HANDLE, ctypes.c_int, _SIZE]),
    "tarn_motion_add": (_STATUS, [_HANDLE, ctypes.c_int, ctypes.POINTER(MotionFrames), _SIZE]),
    "tarn_motion_progress": (_STATUS, [_HANDLE, ctypes.c_int, ctypes.POINTER(MotionResult)]),
    "tarn_motion_finish": (_STATUS, [_HANDLE, ctypes.c_int, ctypes.POINTER(MotionResult)]),
    "tarn_calibrate_hand_from_motion": (_STATUS, [_HANDLE, ctypes.c_int, ctypes.POINTER(MotionFrames), _SIZE,
                                                  ctypes.POINTER(MotionResult)]),
    "tarn_get_motion_calibration": (_STATUS, [_HANDLE, ctypes.c_int, ctypes.POINTER(MotionResult)]),
    "tarn_calibrator_save": (_STATUS, [_HANDLE, ctypes.c_char_p, _SIZE, ctypes.POINTER(_SIZE)]),
    "tarn_calibrator_restore": (_STATUS, [_HANDLE, ctypes.c_char_p, _SIZE]),
}


class SessionArrays(ctypes.Structure):
    """tarn_session_arrays: the times and the five blocks, as addresses."""

    _fields_ = [("times", _ADDRESS), ("blocks", _ADDRESS * 5)]


class SessionOptions(ctypes.Structure):
    """tarn_session_options."""

    _fields_ = [("allow_repeated_time", ctypes.c_ubyte), ("strict_columns", ctypes.c_ubyte),
                ("repeated_time_hint", ctypes.c_char_p)]


_READER = ctypes.c_void_p
_SESSION_PROTOTYPES = {
    "tarn_session_block_column": (ctypes.c_char_p, [ctypes.c_int, _SIZE]),
    "tarn_session_open": (_STATUS, [ctypes.c_char_p, ctypes.POINTER(SessionOptions), ctypes.POINTER(_READER)]),
    "tarn_session_close": (None, [_READER]),
    "tarn_session_message": (ctypes.c_char_p, [_READER]),
    "tarn_session_column_count": (_SIZE, [_READER]),
    "tarn_session_column_name": (ctypes.c_char_p, [_READER, _SIZE]),
    "tarn_session_has_block": (ctypes.c_int, [_READER, ctypes.c_int]),
    "tarn_session_is_known": (ctypes.c_int, [_READER, _SIZE]),
    "tarn_session_warning_count": (_SIZE, [_READER]),
    "tarn_session_warning": (ctypes.c_char_p, [_READER, _SIZE]),
    "tarn_session_frames_at_most": (_STATUS, [_READER, ctypes.POINTER(_SIZE)]),
    "tarn_session_read": (_STATUS, [_READER, ctypes.POINTER(SessionArrays), _SIZE, ctypes.POINTER(_SIZE)]),
    "tarn_session_text": (ctypes.c_char_p, [_READER, _SIZE, _SIZE]),
    "tarn_session_create": (_STATUS, [ctypes.c_char_p, ctypes.POINTER(ctypes.c_char_p), _SIZE,
                                      ctypes.POINTER(_READER)]),
    "tarn_session_write": (_STATUS, [_READER, ctypes.POINTER(SessionArrays), ctypes.POINTER(ctypes.c_char_p), _SIZE]),
    "tarn_session_finish": (_STATUS, [_READER]),
    "tarn_session_writer_message": (ctypes.c_char_p, [_READER]),
    "tarn_session_close_writer": (None, [_READER]),
}


def candidates(file_name=FILE_NAME):
    """Where a library is looked for, in order: the environment variable
    alone when it is set; otherwise this package's folder (where a wheel
    puts the libraries), the folder above it, and finally the bare file
    name, which the system's loader resolves (LD_LIBRARY_PATH, the linker
    cache, the system folders; PATH on Windows)."""
    configured = os.environ.get(ENVIRONMENT_VARIABLE)
    if configured:
        path = Path(configured)
        if path.is_dir():
            return [str(path / file_name)]
        return [str(path if file_name == FILE_NAME else path.parent / file_name)]
    here = Path(__file__).resolve().parent
    nearby = [folder / file_name for folder in (here, here.parent)]
    return [str(path) for path in nearby if path.is_file()] + [file_name]


def _load(file_name, prototypes):
    failures = []
    for candidate in candidates(file_name):
        try:
            loaded = ctypes.CDLL(candidate)
        except OSError as error:
            failures.append(f"{candidate}: {error}")
            continue
        for name, (restype, argtypes) in prototypes.items():
            function = getattr(loaded, name)
            function.restype = restype
            function.argtypes = argtypes
        return loaded
    raise OSError(
        f"cannot load {file_name}; set {ENVIRONMENT_VARIABLE} to its folder. Tried:\n  " + "\n  ".join(failures)
    )


@functools.lru_cache(maxsize=None)
def library():
    """libTarnHandCalibrationSDK with argtypes and restype set on all 16
    exports. Raises OSError naming every place tried when none loads."""
    return _load(FILE_NAME, _PROTOTYPES)


@functools.lru_cache(maxsize=None)
def calibrator_library():
    """libTarnCalibrator with its prototypes set; OSError as library()."""
    return _load(CALIBRATOR_FILE_NAME, _CALIBRATOR_PROTOTYPES)


@functools.lru_cache(maxsize=None)
def address_export(name):
    """The 16-export `name` declared to take addresses (plain ints) instead
    of arrays, for calling it on frame after frame of one NumPy batch."""
    function = library()[name]  # a new function object: the checked prototype stays as it is
    restype, argtypes = _PROTOTYPES[name]
    function.restype = restype
    function.argtypes = [_ADDRESS if argtype is _DOUBLES else argtype for argtype in argtypes]
    return function


@functools.lru_cache(maxsize=None)
def session_library():
    """libTarnSession with its prototypes set; OSError as library()."""
    return _load(SESSION_FILE_NAME, _SESSION_PROTOTYPES)
