"""Calibrators of the integrator API (libTarnCalibrator) over NumPy arrays.

    with tarn.Calibrator("unity") as calibrator:
        quality = calibrator.calibrate_hand("right", source, target)
        calibrated = calibrator.apply_hand("right", session_blocks)   # (N, 20, 4)

A calibrator holds one user's calibrations and takes and returns data in the
host convention it was made with (see Convention). Calibrate functions take
one sample and return the Quality record; apply functions take one frame or
a whole session, frames along the first axis: hand blocks (20, 4) or
(N, 20, 4), positions (3,) or (N, 3), quaternions (4,) or (N, 4). They return
new arrays, or with inplace=True convert the caller's float64 arrays and
return them (frames may be a column slice of a wider array; each frame's
values must be packed). The whole session goes to the library in one call,
with the same bits as converting frame by frame. A status other than OK is
raised as CalibrationError, which leaves the calibrator and the arrays
unchanged. Different calibrators may be used from different threads at the
same time; one calibrator from one thread at a time.
"""

import ctypes
import enum
from dataclasses import dataclass

import numpy

from . import _batch
from ._batch import HAND, POSITION, QUATERNION
from ._library import AllVRInput, Quality as _CQuality, calibrator_library
from .all_vr import Pose
from .hands import BothHands


class _Named(enum.IntEnum):
    @classmethod
    def of(cls, value):
        """A member from itself, its number or its name in any case."""
        if isinstance(value, str):
            try:
                return cls[value.upper()]
            except KeyError:
                names = ", ".join(member.name.lower() for member in cls)
                raise ValueError(f"unknown {cls.__name__.lower()} {value!r}: one of {names}") from None
        return cls(value)


class Convention(_Named):
    """How a host lays out its data (positions, then quaternions):
    LIBRARY right-handed, Z up, [w, x, y, z], metres; UNITY left-handed, Y up,
    [x, y, z, w], metres; OPENXR right-handed, Y up, -Z forward, [x, y, z, w],
    metres; UNREAL left-handed, Z up, X forward, [x, y, z, w], centimetres."""

    LIBRARY = 0
    UNITY = 1
    OPENXR = 2
    UNREAL = 3


class Hand(_Named):
    RIGHT = 0
    LEFT = 1


class Device(_Named):
    RIGHT_TRACKER = 0
    LEFT_TRACKER = 1
    HEADSET = 2


class Status(_Named):
    OK = 0
    INVALID_ARGUMENT = 1
    DEGENERATE_INPUT = 2
    NOT_CALIBRATED = 3
    BUFFER_TOO_SMALL = 4
    INVALID_SAVED_STATE = 5
    OUT_OF_MEMORY = 6


class Degeneracy(_Named):
    """The rule that refused a calibration input."""

    NONE = 0
    ZERO_QUATERNION = 1
    NEAR_VERTICAL = 2
    HANDS_TOO_CLOSE = 3
    NO_DEVICE = 4

    def __str__(self):
        return calibrator_library().tarn_degeneracy_string(self).decode()


class Input(_Named):
    """Which input a degeneracy was found in, or what decided a frame."""

    NONE = 0
    SOURCE = 1
    TARGET = 2
    POSITIONS = 3
    RIGHT_TRACKER = 4
    LEFT_TRACKER = 5
    HEADSET = 6


@dataclass(frozen=True)
class Quality:
    """What a calibrate function found in its input. Fields that do not
    apply to the calibration are NaN; angles in radians. Headings are about
    the world's up axis in the library convention."""

    degeneracy: Degeneracy
    degenerate_input: Input
    source_tilt: float
    target_tilt: float
    separation: float
    tracker_line_heading: float
    right_forward_heading: float
    left_forward_heading: float
    headset_heading: float
    largest_disagreement: float
    frame_decided_by: Input

    @classmethod
    def _from_c(cls, record):
        values = {name: getattr(record, name) for name, _ in _CQuality._fields_}
        values["degeneracy"] = Degeneracy(values["degeneracy"])
        for name in ("degenerate_input", "frame_decided_by"):
            values[name] = Input(values[name])
        return cls(**values)


class CalibrationError(Exception):
    """A status other than OK. `status` (a Status), `status_name` (the C
    name, "TARN_DEGENERATE_INPUT"...) and, from calibrate functions,
    `quality` (the Quality record, naming the rule that refused) say why."""

    def __init__(self, function, status, quality=None):
        self.status = Status(status)
        self.status_name = calibrator_library().tarn_status_string(status).decode()
        self.quality = quality
        message = f"{function}: {self.status_name}"
        if quality is not None and quality.degeneracy != Degeneracy.NONE:
            where = quality.degenerate_input.name.lower().replace("_", " ")
            message += f" ({quality.degeneracy}: the {where})"
        super().__init__(message)


def _check(function, status, quality=None):
    if status != Status.OK:
        raise CalibrationError(function, status, None if quality is None else Quality._from_c(quality))


def _vector(values, shape, name):
    """One sample as a C array of doubles."""
    array = _batch.frames(values, shape, name).array
    if array.shape != shape:
        raise ValueError(f"{name} must be one sample of shape {shape}, got shape {array.shape}")
    return (ctypes.c_double * array.size)(*array.ravel().tolist())


def _doubles(size):
    return (ctypes.c_double * size)()


def check_orientation(orientation, convention=Convention.LIBRARY):
    """The Degeneracy that keeps a heading from being taken from
    `orientation` (4 numbers in `convention`), Degeneracy.NONE when there is
    none: the rule every calibrate function applies. NaN or infinite
    components raise CalibrationError."""
    degeneracy = ctypes.c_int(0)
    status = calibrator_library().tarn_check_orientation(
        Convention.of(convention), _vector(orientation, QUATERNION, "orientation"), ctypes.byref(degeneracy))
    if status == Status.DEGENERATE_INPUT:
        return Degeneracy(degeneracy.value)
    _check("check_orientation", status)
    return Degeneracy.NONE


def library_version():
    """The version of the loaded libTarnCalibrator, "major.minor.patch"."""
    number = calibrator_library().tarn_version()
    return f"{number // 10000}.{number // 100 % 100}.{number % 100}"


class Calibrator:
    """One user's calibrations, in one host convention (a Convention, its
    number or its name: "library", "unity", "openxr", "unreal"). Close it, or
    use it as a context manager, to free it at once."""

    def __init__(self, convention=Convention.LIBRARY):
        self._handle = None
        self.convention = Convention.of(convention)
        self._library = calibrator_library()
        handle = ctypes.c_void_p()
        _check("Calibrator", self._library.tarn_calibrator_create(self.convention, ctypes.byref(handle)))
        self._handle = handle

    def close(self):
        """Frees the calibrator; later calls raise ValueError."""
        if self._handle is not None:
            self._library.tarn_calibrator_destroy(self._handle)
            self._handle = None

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()

    def __del__(self):
        self.close()

    def __repr__(self):
        state = "closed" if self._handle is None else "open"
        return f"Calibrator({self.convention.name.lower()!r}, {state})"

    def _live(self):
        if self._handle is None:
            raise ValueError("the calibrator is closed")
        return self._handle

    def _calibrate(self, name, *arguments):
        quality = _CQuality()
        status = getattr(self._library, f"tarn_{name}")(self._live(), *arguments, ctypes.byref(quality))
        _check(name, status, quality)
        return Quality._from_c(quality)

    # ---- Calibrations ------------------------------------------------

    def calibrate_hand(self, hand, source, target):
        """Calibrates one hand ("right" or "left"): afterwards hand data
        whose heading is that of `source` (a glove row, usually the
        wrist's) comes out with the heading of `target` (the wrist tracker)
        plus 90 degrees for the right hand, minus 90 for the left. Returns
        the Quality record."""
        return self._calibrate("calibrate_hand", Hand.of(hand), _vector(source, QUATERNION, "source"),
                               _vector(target, QUATERNION, "target"))

    def calibrate_both_hands(self, position1, position2):
        """A frame for both hands: origin midway, forward from position2
        towards position1, up unchanged. Returns the Quality record."""
        return self._calibrate("calibrate_both_hands", _vector(position1, POSITION, "position1"),
                               _vector(position2, POSITION, "position2"))

    def reset_both_hands(self):
        """Discards the double-hand calibration."""
        _check("reset_both_hands", self._library.tarn_reset_both_hands(self._live()))

    def calibrate_all_vr(self, right=None, left=None, headset=None, *, headset_decides=False):
        """A frame for the trackers and the headset from the devices given,
        each a (position, orientation) pair such as a Pose, None when off.
        With both kinds on, the trackers decide the frame unless
        headset_decides; a headset alone always decides. Replaces the
        previous All-VR calibration. Returns the Quality record."""
        record = AllVRInput(headset_decides=bool(headset_decides))
        for device, pose in (("right", right), ("left", left), ("headset", headset)):
            if pose is None:
                continue
            position, orientation = pose
            setattr(record, "headset_on" if device == "headset" else f"{device}_tracker_on", 1)
            setattr(record, f"{device}_position", _vector(position, POSITION, f"{device} position"))
            setattr(record, f"{device}_orientation", _vector(orientation, QUATERNION, f"{device} orientation"))
        return self._calibrate("calibrate_all_vr", ctypes.byref(record))

    # ---- Applying them ----------------------------------------------

    def apply_hand(self, hand, blocks, *, inplace=False):
        """Hand blocks, (20, 4) or (N, 20, 4), turned about the up axis by
        the hand's calibration."""
        batch = _batch.frames(blocks, HAND, "blocks", inplace)
        _check("apply_hand", self._library.tarn_apply_hand(self._live(), Hand.of(hand), batch.address, batch.stride,
                                                            batch.count))
        return batch.array

    def apply_both_hands(self, hand1, hand2, position1, position2, *, inplace=False):
        """Both hands' blocks and positions (one frame, or N frames of each)
        in the double-hand frame, as BothHands."""
        batches = (_batch.frames(hand1, HAND, "hand1", inplace), _batch.frames(hand2, HAND, "hand2", inplace),
                   _batch.frames(position1, POSITION, "position1", inplace),
                   _batch.frames(position2, POSITION, "position2", inplace))
        count = _batch.same_count(*batches)
        arguments = [value for batch in batches for value in (batch.address, batch.stride)]
        _check("apply_both_hands", self._library.tarn_apply_both_hands(self._live(), *arguments, count))
        return BothHands(*(batch.array for batch in batches))

    def apply_device(self, device, positions=None, quaternions=None, *, inplace=False):
        """A device's poses ("right_tracker", "left_tracker" or "headset";
        positions (3,) or (N, 3), quaternions (4,) or (N, 4), either may be
        None) in the All-VR frame, as a Pose (None where none was given)."""
        given = [(values, shape, name) for values, shape, name in
                 ((positions, POSITION, "positions"), (quaternions, QUATERNION, "quaternions")) if values is not None]
        if not given:
            raise ValueError("apply_device needs positions, quaternions or both")
        batches = {name: _batch.frames(values, shape, name, inplace) for values, shape, name in given}
        count = _batch.same_count(*batches.values())
        position, quaternion = batches.get("positions"), batches.get("quaternions")
        arguments = [value for batch in (position, quaternion)
                     for value in ((None, 0) if batch is None else (batch.address, batch.stride))]
        _check("apply_device", self._library.tarn_apply_device(self._live(), Device.of(device), *arguments, count))
        return Pose(*(None if batch is None else batch.array for batch in (position, quaternion)))

    # ---- Reading them back ------------------------------------------

    def hand_rotation(self, hand):
        """The rotation (a quaternion in the calibrator's convention) the
        hand's calibration applies to its rows."""
        rotation = _doubles(4)
        _check("hand_rotation", self._library.tarn_get_hand_rotation(self._live(), Hand.of(hand), rotation))
        return numpy.array(rotation)

    def both_hands_frame(self):
        """The double-hand frame as a Pose: its origin and orientation."""
        rotation, origin = _doubles(4), _doubles(3)
        _check("both_hands_frame", self._library.tarn_get_both_hands_frame(self._live(), rotation, origin))
        return Pose(numpy.array(origin), numpy.array(rotation))

    def all_vr_frame(self):
        """The All-VR frame as (Pose of its origin and orientation, the set
        of Devices the calibration covers)."""
        rotation, origin, covered = _doubles(4), _doubles(3), (ctypes.c_ubyte * 3)()
        _check("all_vr_frame", self._library.tarn_get_all_vr_frame(self._live(), rotation, origin, covered))
        return Pose(numpy.array(origin), numpy.array(rotation)), {Device(d) for d in range(3) if covered[d]}

    # ---- Saved calibrations -----------------------------------------

    def save(self):
        """The calibrations (not the convention) as a small versioned byte
        string with a checksum, for restore() by any calibrator."""
        size = ctypes.c_size_t(0)
        status = self._library.tarn_calibrator_save(self._live(), None, 0, ctypes.byref(size))
        if status != Status.BUFFER_TOO_SMALL:
            _check("save", status)
        buffer = ctypes.create_string_buffer(size.value)
        _check("save", self._library.tarn_calibrator_save(self._handle, buffer, size.value, ctypes.byref(size)))
        return buffer.raw[: size.value]

    def restore(self, saved):
        """Replaces the calibrations by those of save()'s bytes, bit for bit.
        A truncated, altered or foreign string raises CalibrationError
        (INVALID_SAVED_STATE) and changes nothing."""
        saved = bytes(saved)
        _check("restore", self._library.tarn_calibrator_restore(self._live(), saved, len(saved)))
