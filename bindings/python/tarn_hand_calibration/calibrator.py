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

Each hand also has a drift monitor, which watches the glove's heading
against the wrist tracker's on the frames given to apply_hand_tracked:

    calibrator.set_drift_settings("right", compensate=True)
    blocks, residuals = calibrator.apply_hand_tracked("right", times, blocks, trackers, residuals=True)
    calibrator.drift("right").rate_deg_per_min
"""

import ctypes
import enum
import math
import warnings
from dataclasses import dataclass, fields, replace

import numpy

from . import _batch
from ._batch import HAND, POSITION, QUATERNION, TIME
from ._library import AllVRInput, DriftEvent as _CDriftEvent, DriftReport as _CDriftReport
from ._library import DriftSettings as _CDriftSettings, LARGEST_POSITION, LARGEST_QUATERNION_COMPONENT
from ._library import MotionFrames, MotionResult as _CMotionResult
from ._library import Quality as _CQuality, TrackedHandFrames, calibrator_library
from .drift import RADIAN_SETTINGS, DriftEvent, DriftEventKind, DriftReport, DriftSettings, python_name, to_degrees
from .all_vr import Pose
from .hands import BothHands
from .motion import motion_result

#: How many events a drift monitor keeps until they are taken
#: (TARN_DRIFT_KEPT_EVENTS); older ones are dropped.
KEPT_DRIFT_EVENTS = 64


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


def _record(cls, c_record):
    """The dataclass `cls` from a C record's fields of the same names, each
    converted to the field's type (one-byte flags to bool, enum values to
    their enum)."""
    return cls(**{field.name: field.type(getattr(c_record, field.name)) for field in fields(cls)})


class CalibrationError(Exception):
    """A status other than OK. `status` (a Status), `status_name` (the C
    name, "TARN_DEGENERATE_INPUT"...) and, from calibrate functions,
    `quality` (the Quality record, naming the rule that refused) say why."""

    def __init__(self, function, status, quality=None, why=None):
        self.status = Status(status)
        self.status_name = calibrator_library().tarn_status_string(status).decode()
        self.quality = quality
        message = f"{function}: {self.status_name}"
        if quality is not None and quality.degeneracy != Degeneracy.NONE:
            where = quality.degenerate_input.name.lower().replace("_", " ")
            message += f" ({quality.degeneracy}: the {where})"
        elif why:
            message += f" ({why})"
        super().__init__(message)


def _check(function, status, quality=None, why=None):
    """Raises CalibrationError for a status other than OK; `why()`, when
    given, explains an INVALID_ARGUMENT."""
    if status != Status.OK:
        explained = why() if why is not None and status == Status.INVALID_ARGUMENT else None
        raise CalibrationError(function, status, None if quality is None else _record(Quality, quality), explained)


def _unusable(**inputs):
    """Which input made a calibration INVALID_ARGUMENT: the first holding
    NaN or infinite values, or values beyond the range the library takes
    (TARN_LARGEST_QUATERNION_COMPONENT, TARN_LARGEST_POSITION)."""
    for name, (values, largest) in inputs.items():
        if values is None:
            continue
        array = numpy.asarray(values, dtype=numpy.float64)
        if not numpy.isfinite(array).all():
            return f"NaN or infinite input: {name}"
        if (numpy.abs(array) > largest).any():
            return f"out-of-range input: {name} (beyond {largest:g})"
    return None


def _out_of_order(times, last):
    """Why the frames at `times` (seconds) cannot follow a monitor whose
    last frame was at `last` (NaN: none), or None."""
    times = numpy.atleast_1d(numpy.asarray(times, dtype=numpy.float64))
    for k, time in enumerate(times):
        if not math.isfinite(time):
            return f"frame {k} has time {time}: every frame needs a finite time"
        if k > 0 and time < times[k - 1]:
            return f"frame {k} at {time:.3f} s is earlier than frame {k - 1} at {times[k - 1]:.3f} s"
    if not math.isnan(last) and len(times) and times[0] < last:
        return (f"frame 0 at {times[0]:.3f} s is earlier than the last frame this monitor saw, {last:.3f} s: "
                f"a calibrator's monitor takes a session once")
    return None


def _vector(values, shape, name):
    """One sample as a C array of doubles."""
    array = _batch.real_array(values, name)
    if array.shape != shape:
        raise ValueError(f"{name} must be one sample of shape {shape}, got shape {array.shape}")
    return (ctypes.c_double * array.size)(*array.ravel().tolist())


def _doubles(size):
    return (ctypes.c_double * size)()


def check_orientation(orientation, convention=Convention.LIBRARY):
    """The Degeneracy that keeps a heading from being taken from
    `orientation` (4 numbers in `convention`), Degeneracy.NONE when there is
    none: the rule every calibrate function applies. NaN, infinite or
    out-of-range components (TarnCalibrator.h) raise CalibrationError."""
    degeneracy = ctypes.c_int(0)
    status = calibrator_library().tarn_check_orientation(
        Convention.of(convention), _vector(orientation, QUATERNION, "orientation"), ctypes.byref(degeneracy))
    if status == Status.DEGENERATE_INPUT:
        return Degeneracy(degeneracy.value)
    _check("check_orientation", status)
    return Degeneracy.NONE


def default_drift_settings():
    """The DriftSettings every drift monitor starts with."""
    settings = _CDriftSettings()
    _check("default_drift_settings", calibrator_library().tarn_drift_default_settings(ctypes.byref(settings)))
    return DriftSettings.from_c(settings)


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

    def _calibrate(self, name, *arguments, inputs):
        """`inputs`: each input by name with the largest value the library
        takes in it, to say which one an INVALID_ARGUMENT is about."""
        quality = _CQuality()
        status = getattr(self._library, f"tarn_{name}")(self._live(), *arguments, ctypes.byref(quality))
        _check(name, status, quality, lambda: _unusable(**inputs))
        return _record(Quality, quality)

    # ---- Calibrations ------------------------------------------------

    def calibrate_hand(self, hand, source, target):
        """Calibrates one hand ("right" or "left"): afterwards hand data
        whose heading is that of `source` (a glove row, usually the
        wrist's) comes out with the heading of `target` (the wrist tracker)
        plus 90 degrees for the right hand, minus 90 for the left. Returns
        the Quality record."""
        return self._calibrate("calibrate_hand", Hand.of(hand), _vector(source, QUATERNION, "source"),
                               _vector(target, QUATERNION, "target"),
                               inputs={"source": (source, LARGEST_QUATERNION_COMPONENT),
                                       "target": (target, LARGEST_QUATERNION_COMPONENT)})

    def calibrate_both_hands(self, position1, position2):
        """A frame for both hands: origin midway, forward from position2
        towards position1, up unchanged. Returns the Quality record."""
        return self._calibrate("calibrate_both_hands", _vector(position1, POSITION, "position1"),
                               _vector(position2, POSITION, "position2"),
                               inputs={"position1": (position1, LARGEST_POSITION),
                                       "position2": (position2, LARGEST_POSITION)})

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
        inputs = {}
        for device, pose in (("right", right), ("left", left), ("headset", headset)):
            if pose is None:
                continue
            position, orientation = pose
            setattr(record, "headset_on" if device == "headset" else f"{device}_tracker_on", 1)
            setattr(record, f"{device}_position", _vector(position, POSITION, f"{device} position"))
            setattr(record, f"{device}_orientation", _vector(orientation, QUATERNION, f"{device} orientation"))
            inputs[f"{device} position"] = (position, LARGEST_POSITION)
            inputs[f"{device} orientation"] = (orientation, LARGEST_QUATERNION_COMPONENT)
        return self._calibrate("calibrate_all_vr", ctypes.byref(record), inputs=inputs)

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

    def apply_hand_tracked(self, hand, times, blocks, trackers, *, inplace=False, residuals=False, trends=False):
        """apply_hand with every frame watched by the hand's drift monitor.
        `times`: the frames' times in seconds, (N,) or one number, never
        going back (nor from the last frame of the previous call: a
        monitor takes a session once); `blocks`: hand blocks, (N, 20, 4) or
        (20, 4); `trackers`: the wrist tracker's orientations, (N, 4) or
        (4,); all in the calibrator's convention. Returns the converted
        blocks (a new array, or the caller's with inplace=True), followed,
        when asked for, by each frame's heading residual (residuals=True)
        and trend residual (trends=True: the fitted drift at the frame's
        time, NaN before the first fit), in degrees, (N,) or 0-d; a
        residual is NaN where the reference row or the tracker is NaN,
        infinite or zero.
        The blocks are apply_hand's bit for bit while the monitor changes
        nothing; with auto_recalibrate or compensate set it may change the
        hand's calibration after a frame, the frames after it use the new
        one, and take_drift_events() tells. A time that is NaN, infinite
        or goes back raises CalibrationError (INVALID_ARGUMENT, naming the
        frame and its time), an uncalibrated hand NOT_CALIBRATED; nothing
        is converted then."""
        batches = (_batch.frames(times, TIME, "times"), _batch.frames(blocks, HAND, "blocks", inplace),
                   _batch.frames(trackers, QUATERNION, "trackers"))
        count = _batch.same_count(*batches)
        outputs = [numpy.empty(batches[0].array.shape) if wanted else None for wanted in (residuals, trends)]
        frames = TrackedHandFrames(*(value for batch in batches for value in (batch.address, batch.stride)),
                                   None if outputs[0] is None else outputs[0].ctypes.data, 0)
        hand = Hand.of(hand)
        status = self._library.tarn_apply_hand_tracked_trends(
            self._live(), hand, ctypes.byref(frames), None if outputs[1] is None else outputs[1].ctypes.data, 0, count)
        _check("apply_hand_tracked", status,
               why=lambda: _out_of_order(batches[0].array, self._monitor_time(hand)))
        asked = [to_degrees(output) for output in outputs if output is not None]
        return (batches[1].array, *asked) if asked else batches[1].array

    def _monitor_time(self, hand):
        """The time of the last frame the hand's monitor saw (NaN: none)."""
        report = _CDriftReport()
        status = self._library.tarn_get_drift(self._handle, hand, ctypes.byref(report))
        return report.time if status == Status.OK else math.nan

    # ---- Drift monitors ----------------------------------------------

    def drift_settings(self, hand):
        """The DriftSettings of the hand's ("right" or "left") monitor."""
        settings = _CDriftSettings()
        _check("drift_settings", self._library.tarn_get_drift_settings(self._live(), Hand.of(hand),
                                                                        ctypes.byref(settings)))
        return DriftSettings.from_c(settings)

    def set_drift_settings(self, hand, settings=None, **changes):
        """Sets the hand's monitor to `settings` (a DriftSettings; by
        default the hand's current ones) with the fields named in
        `changes` replaced, e.g. set_drift_settings("left", compensate=True,
        threshold_deg=4) or set_drift_settings("left",
        default_drift_settings()). The monitor keeps its history, cut to
        the new window. Returns the settings set. The radian names of 1.1
        (threshold=..., window=...) are taken with a DeprecationWarning. An
        unknown field raises TypeError; a setting out of its range (see
        DriftSettings) raises CalibrationError (INVALID_ARGUMENT) naming the
        field, its value and its range, and changes nothing."""
        hand = Hand.of(hand)
        for old in [name for name in changes if name in RADIAN_SETTINGS]:
            new, unit = RADIAN_SETTINGS[old]
            warnings.warn(f"set_drift_settings({old}=...) is deprecated (radians and seconds): use {new}",
                          DeprecationWarning, stacklevel=2)
            changes[new] = changes.pop(old) / unit if unit != 1 else changes.pop(old)
        settings = replace(self.drift_settings(hand) if settings is None else settings, **changes)
        record = settings.to_c()

        def why():
            problem = self._library.tarn_drift_settings_problem(ctypes.byref(record))
            if problem is None:
                return None
            field = python_name(problem.decode().partition(":")[0])
            return f"{field} = {getattr(settings, field)!r}; in the C API {problem.decode()}"

        _check("set_drift_settings", self._library.tarn_set_drift_settings(self._live(), hand, ctypes.byref(record)),
               why=why)
        return settings

    def drift(self, hand):
        """The hand's monitor as of its last frame, as a DriftReport.
        Raises CalibrationError (NOT_CALIBRATED) before the hand is
        calibrated; calibrating it restarts the monitor."""
        report = _CDriftReport()
        _check("drift", self._library.tarn_get_drift(self._live(), Hand.of(hand), ctypes.byref(report)))
        return DriftReport.from_c(report)

    def take_drift_events(self, hand):
        """The changes the hand's monitor made to its calibration since
        they were last taken, oldest first, as a list of DriftEvents; the
        monitor forgets them (it keeps the last KEPT_DRIFT_EVENTS)."""
        events, count = (_CDriftEvent * KEPT_DRIFT_EVENTS)(), ctypes.c_size_t(0)
        _check("take_drift_events", self._library.tarn_take_drift_events(self._live(), Hand.of(hand), events,
                                                                          len(events), ctypes.byref(count)))
        return [DriftEvent.from_c(event) for event in events[: count.value]]

    # ---- Calibrating a hand from motion ------------------------------

    def start_motion(self, hand, capacity=900):
        """Starts a motion window for the hand, with room for `capacity`
        frames (900 hold 10 seconds at 90 frames a second); beyond it each
        frame replaces the oldest. A window already started is discarded;
        the calibration is untouched until finish_motion."""
        _check("start_motion", self._library.tarn_motion_start(self._live(), Hand.of(hand), capacity))

    @staticmethod
    def _motion_frames(times, rows, trackers):
        """The C frames, their count, and the arrays they point into (to be
        kept alive through the call)."""
        batches = (_batch.frames(times, TIME, "times"), _batch.frames(rows, QUATERNION, "rows"),
                   _batch.frames(trackers, QUATERNION, "trackers"))
        count = _batch.same_count(*batches)
        return MotionFrames(*(value for batch in batches for value in (batch.address, batch.stride))), count, batches

    def add_motion(self, hand, times, rows, trackers):
        """Adds frames to the hand's window: `times` in seconds, (N,) or one
        number, never going back; `rows`: the glove's reference row, (N, 4)
        or (4,) (blocks[:, 0] of hand blocks (N, 20, 4)); `trackers`: the
        wrist tracker's orientations, (N, 4) or (4,); in the calibrator's
        convention. Frames with a NaN, infinite or zero orientation are
        counted and skipped. No window, or a time that is NaN, infinite or
        goes back, raises CalibrationError (INVALID_ARGUMENT) and adds
        nothing."""
        frames, count, _arrays = self._motion_frames(times, rows, trackers)
        _check("add_motion", self._library.tarn_motion_add(self._live(), Hand.of(hand), ctypes.byref(frames), count))

    def motion_progress(self, hand):
        """The window so far as a MotionResult, without solving: frames,
        duration, motion seen and the verdict they allow (the solved
        values NaN). Cheap enough for every rendered frame."""
        record = _CMotionResult()
        _check("motion_progress", self._library.tarn_motion_progress(self._live(), Hand.of(hand),
                                                                      ctypes.byref(record)))
        return motion_result(record)

    def finish_motion(self, hand):
        """Solves the hand's window and returns the MotionResult. When it
        is good the hand's calibration becomes the solved heading turn, its
        drift monitor takes the solved mount and the window ends; otherwise
        nothing changes, the window stays open for more frames, and the
        result's message says what to ask of the user."""
        record = _CMotionResult()
        status = self._library.tarn_motion_finish(self._live(), Hand.of(hand), ctypes.byref(record))
        if status != Status.DEGENERATE_INPUT:
            _check("finish_motion", status)
        return motion_result(record)

    def calibrate_hand_from_motion(self, hand, times, rows, trackers):
        """start_motion, add_motion and finish_motion over a recorded
        window in one call, leaving a window started for the hand alone.
        Returns the MotionResult; refusals are in its verdict."""
        frames, count, _arrays = self._motion_frames(times, rows, trackers)
        record = _CMotionResult()
        status = self._library.tarn_calibrate_hand_from_motion(self._live(), Hand.of(hand), ctypes.byref(frames),
                                                               count, ctypes.byref(record))
        if status != Status.DEGENERATE_INPUT:
            _check("calibrate_hand_from_motion", status)
        return motion_result(record)

    def motion_calibration(self, hand):
        """The MotionResult the hand's calibration came from (a motion
        calibration, or a restored string that holds one); None when it
        came from calibrate_hand, or the hand has no calibration."""
        record = _CMotionResult()
        status = self._library.tarn_get_motion_calibration(self._live(), Hand.of(hand), ctypes.byref(record))
        if status == Status.NOT_CALIBRATED:
            return None
        _check("motion_calibration", status)
        return motion_result(record)

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
        string with a checksum, for restore() by any calibrator; with each
        hand's motion calibration, drift settings and drift rate."""
        size = ctypes.c_size_t(0)
        status = self._library.tarn_calibrator_save(self._live(), None, 0, ctypes.byref(size))
        if status != Status.BUFFER_TOO_SMALL:
            _check("save", status)
        buffer = ctypes.create_string_buffer(size.value)
        _check("save", self._library.tarn_calibrator_save(self._handle, buffer, size.value, ctypes.byref(size)))
        return buffer.raw[: size.value]

    def restore(self, saved):
        """Replaces the calibrations by those of save()'s bytes, bit for bit.
        Bytes saved by 1.2 or later also carry each hand's motion
        calibration, drift settings and drift rate, and restore them; older
        bytes leave the drift settings as they are.
        A truncated, altered or foreign string raises CalibrationError
        (INVALID_SAVED_STATE) and changes nothing."""
        saved = bytes(saved)
        _check("restore", self._library.tarn_calibrator_restore(self._live(), saved, len(saved)))
