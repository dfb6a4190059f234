"""Finds and loads the native library and declares its 16 C prototypes."""

import ctypes
import functools
import os
import sys
from pathlib import Path

#: Path of the shared library (or of the folder holding it); when set, it is
#: the only place searched.
ENVIRONMENT_VARIABLE = "TARN_HAND_CALIBRATION_LIBRARY"

FILE_NAME = "TarnHandCalibrationSDK.dll" if sys.platform == "win32" else "libTarnHandCalibrationSDK.so"

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


def candidates():
    """Where the library is looked for, in order: the environment variable
    alone when it is set; otherwise this package's folder, the folder above
    it, and finally the bare file name, which the system's loader resolves
    (LD_LIBRARY_PATH, the linker cache, the system folders; PATH on
    Windows)."""
    configured = os.environ.get(ENVIRONMENT_VARIABLE)
    if configured:
        path = Path(configured)
        return [str(path / FILE_NAME if path.is_dir() else path)]
    here = Path(__file__).resolve().parent
    nearby = [folder / FILE_NAME for folder in (here, here.parent)]
    return [str(path) for path in nearby if path.is_file()] + [FILE_NAME]


@functools.lru_cache(maxsize=None)
def library():
    """The loaded library with argtypes and restype set on all 16 exports.
    Raises OSError naming every place tried when none of them loads."""
    failures = []
    for candidate in candidates():
        try:
            loaded = ctypes.CDLL(candidate)
        except OSError as error:
            failures.append(f"{candidate}: {error}")
            continue
        for name, (restype, argtypes) in _PROTOTYPES.items():
            function = getattr(loaded, name)
            function.restype = restype
            function.argtypes = argtypes
        return loaded
    raise OSError(
        f"cannot load {FILE_NAME}; set {ENVIRONMENT_VARIABLE} to its path. Tried:\n  " + "\n  ".join(failures)
    )
