"""Session files in tarn-replay's CSV layout (docs/session-format.md), as
NumPy arrays per glove and device.

    session = read_session("session.csv")
    session.right_glove            # (N, 20, 4), or None when absent
    session.right_tracker.position # (N, 3); .quaternion (N, 4)
    write_session("out.csv", session)

Reading and writing are done by libTarnSession, the code tarn-replay reads
and writes sessions with: every rule and message is the tool's. A file the
tool refuses raises SessionError with its message ("file:line: ...") and
its exit code; a header the tool warns about gives the same warnings, as
SessionWarning and in session.warnings.
"""

import ctypes
import os
import warnings as _warnings
from dataclasses import dataclass, field
from typing import Dict, List, Optional

import numpy

from ._library import SessionArrays, SessionOptions, session_library
from .all_vr import Pose

#: Session attributes in the library's block order, and the doubles a
#: frame of each holds (a glove's 20 rows, a device's position and quaternion).
BLOCKS = [("right_glove", 80), ("left_glove", 80), ("right_tracker", 7), ("left_tracker", 7), ("headset", 7)]
_OK, _INVALID_ARGUMENT, _NO_FRAMES = 0, 1, 8


class SessionError(ValueError):
    """A session file tarn-replay would refuse. `code` is the tool's exit
    code for the same file: 3 unreadable, 4 bad header, 5 wrong field
    count, 6 not a number, 7 unwritable, 8 no frames, 10 time order, 11 a
    near-miss column with strict_columns."""

    def __init__(self, code, message):
        super().__init__(message)
        self.code = code


class SessionWarning(UserWarning):
    """What tarn-replay warns of in a session's header (a column that
    nearly names a known one)."""


@dataclass
class Session:
    """A session: `time` (N,), gloves (N, 20, 4) and devices (Poses of
    (N, 3) positions and (N, 4) quaternions [w, x, y, z]) or None when
    absent, `other` columns as text by name, `columns`, the column order
    of the file read (None: time, gloves, devices, other columns), and the
    `warnings` reading gave."""

    time: numpy.ndarray
    right_glove: Optional[numpy.ndarray] = None
    left_glove: Optional[numpy.ndarray] = None
    right_tracker: Optional[Pose] = None
    left_tracker: Optional[Pose] = None
    headset: Optional[Pose] = None
    other: Dict[str, List[str]] = field(default_factory=dict)
    columns: Optional[List[str]] = None
    warnings: List[str] = field(default_factory=list)

    def __len__(self):
        return len(self.time)


def _text(value):
    return value.decode("utf-8", "surrogateescape")


class _Reader:
    """An open libTarnSession reader: the header, then chunks of frames."""

    def __init__(self, path, allow_repeated_time, strict_columns):
        self._library = session_library()
        self._handle = ctypes.c_void_p()
        options = SessionOptions(allow_repeated_time, strict_columns, b"allow_repeated_time=True")
        status = self._library.tarn_session_open(os.fsencode(path), ctypes.byref(options), ctypes.byref(self._handle))
        self._check(status)
        count = self._library.tarn_session_column_count(self._handle)
        self.columns = [_text(self._library.tarn_session_column_name(self._handle, c)) for c in range(count)]
        self.other = [c for c in range(count) if not self._library.tarn_session_is_known(self._handle, c)]
        self.blocks = [(name, size) if self._library.tarn_session_has_block(self._handle, b) else (name, 0)
                       for b, (name, size) in enumerate(BLOCKS)]
        self.warnings = [_text(self._library.tarn_session_warning(self._handle, k))
                         for k in range(self._library.tarn_session_warning_count(self._handle))]
        for warning in self.warnings:
            _warnings.warn(warning, SessionWarning, stacklevel=3)

    def _check(self, status):
        if status != _OK:
            message = _text(self._library.tarn_session_message(self._handle))
            self.close()
            raise SessionError(status, message)

    def close(self):
        if self._handle:
            self._library.tarn_session_close(self._handle)
            self._handle = ctypes.c_void_p()

    def frames_at_most(self):
        frames = ctypes.c_size_t(0)
        self._check(self._library.tarn_session_frames_at_most(self._handle, ctypes.byref(frames)))
        return frames.value

    def read(self, capacity, first):
        """Up to `capacity` frames as a Session (None at the end); `first`:
        whether no frame has been read yet."""
        time = numpy.empty(capacity)
        arrays = {name: numpy.empty((capacity, size)) for name, size in self.blocks if size}
        into = SessionArrays(time.ctypes.data, (ctypes.c_void_p * 5)(
            *(arrays[name].ctypes.data if name in arrays else None for name, _ in BLOCKS)))
        count = ctypes.c_size_t(0)
        status = self._library.tarn_session_read(self._handle, ctypes.byref(into), capacity, ctypes.byref(count))
        if status == _NO_FRAMES and not first:
            status = _OK
        self._check(status)
        if count.value == 0:
            return None
        n = count.value
        session = Session(time=time[:n], columns=list(self.columns), warnings=self.warnings)
        for name, size in self.blocks:
            if size == 80:
                setattr(session, name, arrays[name][:n].reshape(n, 20, 4))
            elif size:
                setattr(session, name, Pose(arrays[name][:n, :3], arrays[name][:n, 3:]))
        text = self._library.tarn_session_text
        session.other = {self.columns[c]: [_text(text(self._handle, k, c)) for k in range(n)] for c in self.other}
        return session


def read_session(path, *, allow_repeated_time=False, strict_columns=False):
    """The session in the CSV file at `path`, as a Session. Raises
    SessionError as tarn-replay refuses the file: with allow_repeated_time
    a frame may have the time of the one before, with strict_columns a
    near-miss column is refused instead of warned of."""
    reader = _Reader(os.fspath(path), allow_repeated_time, strict_columns)
    try:
        return reader.read(max(reader.frames_at_most(), 1), True)
    finally:
        reader.close()


def iter_session(path, frames=100000, *, allow_repeated_time=False, strict_columns=False):
    """The session at `path` as Sessions of up to `frames` frames each, in
    order, for files larger than memory; arguments and errors as
    read_session's (an error comes with the chunk it is in)."""
    if frames < 1:
        raise ValueError("frames must be at least 1")
    reader = _Reader(os.fspath(path), allow_repeated_time, strict_columns)
    try:
        first = True
        while (chunk := reader.read(frames, first)) is not None:
            first = False
            yield chunk
    finally:
        reader.close()


def write_session(path, session=None, **arrays):
    """Writes a Session (or its fields given by name: time=..., right_glove=...)
    to `path` in tarn-replay's layout, numbers with the fewest digits that
    read back to the same double. The columns keep `session.columns` when it
    names exactly the columns written, else come in the order time, gloves,
    devices, other columns. Raises SessionError (7) when the file cannot be
    written."""
    if session is None:
        session = Session(**arrays)
    elif arrays:
        raise TypeError("write_session takes a Session or its fields, not both")
    library = session_library()
    count = len(session.time)
    packed = {"time": numpy.ascontiguousarray(session.time, dtype=numpy.float64).reshape(count)}
    for name, size in BLOCKS:
        value = getattr(session, name)
        if value is None:
            continue
        if size == 80:
            packed[name] = numpy.ascontiguousarray(value, dtype=numpy.float64).reshape(count, 80)
        else:
            packed[name] = numpy.hstack([numpy.asarray(value[0], dtype=numpy.float64).reshape(count, 3),
                                         numpy.asarray(value[1], dtype=numpy.float64).reshape(count, 4)])
    for name, texts in session.other.items():
        if len(texts) != count:
            raise ValueError(f"other column {name!r} has {len(texts)} values for {count} frames")
    columns = _columns(session, packed)
    names = (ctypes.c_char_p * len(columns))(*(os.fsencode(c) for c in columns))
    handle = ctypes.c_void_p()
    try:
        status = library.tarn_session_create(os.fsencode(path), names, len(columns), ctypes.byref(handle))
        if status == _OK:
            others = [session.other[c] for c in columns if c in session.other]
            texts = (ctypes.c_char_p * (count * len(others)))(
                *(str(column[k]).encode("utf-8", "surrogateescape") for k in range(count) for column in others))
            into = SessionArrays(packed["time"].ctypes.data, (ctypes.c_void_p * 5)(
                *(packed[name].ctypes.data if name in packed else None for name, _ in BLOCKS)))
            status = library.tarn_session_write(handle, ctypes.byref(into), texts, count)
        if status == _OK:
            status = library.tarn_session_finish(handle)
        if status == _INVALID_ARGUMENT:
            raise ValueError("write_session: " + _text(library.tarn_session_writer_message(handle)))
        if status != _OK:
            raise SessionError(status, _text(library.tarn_session_writer_message(handle)))
    finally:
        library.tarn_session_close_writer(handle)


def _columns(session, packed):
    """The header written: session.columns when it names exactly these
    columns, else time, the blocks present, the other columns."""
    names = ["time"]
    for name, size in BLOCKS:
        if name in packed:
            names += _block_columns(name, size)
    names += list(session.other)
    if session.columns is not None and sorted(session.columns) == sorted(names):
        return list(session.columns)
    return names


def _block_columns(name, size):
    block = [n for n, _ in BLOCKS].index(name)
    return [_text(session_library().tarn_session_block_column(block, value)) for value in range(size)]
