"""Session files in tarn-replay's CSV layout (docs/session-format.md), as
NumPy arrays per glove and device.

    session = read_session("session.csv")
    session.right_glove            # (N, 20, 4), or None when absent
    session.right_tracker.position # (N, 3); .quaternion (N, 4)
    write_session("out.csv", session)

The rules and the messages are tarn-replay's: columns found by name in any
order, a glove or device present when all its columns are, other columns
kept as text; fields trimmed of blanks and of one pair of double quotes;
numbers in decimal or scientific notation, nan, inf or infinity, nothing
else (no hexadecimal, no digit separators, nothing out of a double's range);
LF or CRLF, blank lines skipped but counted, a UTF-8 byte-order mark
ignored. A bad file raises SessionError with tarn-replay's message
("file:line: ...") and exit code.
"""

import math
import operator
import os
import re
from dataclasses import dataclass, field
from typing import Dict, List, Optional

import numpy

from .all_vr import Pose

GLOVES = {"right_glove": ("rglove", "right glove"), "left_glove": ("lglove", "left glove")}
DEVICES = {"right_tracker": ("rtracker", "right tracker"), "left_tracker": ("ltracker", "left tracker"),
           "headset": ("headset", "headset")}


def glove_columns(prefix):
    return [f"{prefix}_{row}_{component}" for row in range(20) for component in "wxyz"]


def device_columns(prefix):
    return [f"{prefix}_{element}" for element in ("px", "py", "pz", "qw", "qx", "qy", "qz")]


def _block_columns():
    """(attribute, block name, its columns) in tarn-replay's order."""
    return [(attribute, name, glove_columns(prefix)) for attribute, (prefix, name) in GLOVES.items()] + [
        (attribute, name, device_columns(prefix)) for attribute, (prefix, name) in DEVICES.items()]


class SessionError(ValueError):
    """A session file tarn-replay would refuse. `code` is the tool's exit
    code: 3 unreadable, 4 bad header, 5 wrong field count, 6 not a number,
    8 no frames."""

    def __init__(self, code, message):
        super().__init__(message)
        self.code = code


@dataclass
class Session:
    """A session: `time` (N,), gloves (N, 20, 4) and devices (Poses of
    (N, 3) positions and (N, 4) quaternions [w, x, y, z]) or None when
    absent, `other` columns as text by name, and `columns`, the column order
    of the file read (None: time, gloves, devices, other columns)."""

    time: numpy.ndarray
    right_glove: Optional[numpy.ndarray] = None
    left_glove: Optional[numpy.ndarray] = None
    right_tracker: Optional[Pose] = None
    left_tracker: Optional[Pose] = None
    headset: Optional[Pose] = None
    other: Dict[str, List[str]] = field(default_factory=dict)
    columns: Optional[List[str]] = None

    def __len__(self):
        return len(self.time)


_NUMBER = re.compile(r"[+-]?(?:([0-9]+\.?[0-9]*|\.[0-9]+)(?:e[+-]?[0-9]+)?|inf(?:inity)?"
                     r"|(nan(?:\([0-9a-z_]*\))?))", re.ASCII | re.IGNORECASE)


def parse_number(text):
    """The double of a whole field, or None where tarn-replay finds no
    number (including values that overflow, or underflow to zero)."""
    match = _NUMBER.fullmatch(text)
    if match is None:
        return None
    mantissa, nan = match.groups()
    if nan:
        return -math.nan if text.startswith("-") else math.nan
    value = float(text)
    if mantissa and (math.isinf(value) or (value == 0 and re.search("[1-9]", mantissa))):
        return None
    return value


# Fields of nothing but these characters have the same grammar for float()
# as for tarn-replay; only the range differs.
_PLAIN = str.maketrans("", "", "0123456789.eE+-,")


def _numbers(values):
    """parse_number of every field; quick for plain numbers."""
    if not ",".join(values).translate(_PLAIN):
        try:
            numbers = list(map(float, values))
        except ValueError:
            return [parse_number(value) for value in values]
        if 0.0 in numbers or math.inf in numbers or -math.inf in numbers:  # perhaps out of range
            return [parse_number(value) if number == 0 or math.isinf(number) else number
                    for value, number in zip(values, numbers)]
        return numbers
    return [parse_number(value) for value in values]


def _field(text):
    text = text.strip(" \t")
    return text[1:-1] if len(text) >= 2 and text[0] == '"' and text[-1] == '"' else text


def _records(path):
    """(line number, fields) of each non-blank line."""
    if os.path.isdir(path):
        raise SessionError(3, f"{path}: is a directory, not a session file")
    try:
        with open(path, "rb") as stream:
            text = stream.read().decode("utf-8", "surrogateescape")
    except OSError as error:
        raise SessionError(3, f"{path}: cannot open the file for reading: {error.strerror}") from None
    if text.startswith("\ufeff"):
        text = text[1:]
    for number, line in enumerate(text.split("\n"), start=1):
        if line.endswith("\r"):
            line = line[:-1]
        if line.strip(" \t"):
            parts = line.split(",")
            yield number, [_field(part) for part in parts] if '"' in line or " " in line or "\t" in line else parts


def _layout(names, where):
    """{attribute: column indices} of the blocks present."""
    def refuse(what):
        raise SessionError(4, f"{where}: header: {what}")

    by_name = {}
    for index, name in enumerate(names):
        if not name:
            refuse(f"column {index + 1} has no name")
        if parse_number(name) is not None:
            refuse(f'the first line holds numbers ("{name}"); the file must start with a row of column names')
        if name in by_name:
            refuse(f'column "{name}" appears twice')
        by_name[name] = index
    if "time" not in by_name:
        refuse('no "time" column')
    layout = {"time": [by_name["time"]]}
    for attribute, block, columns in _block_columns():
        found = [by_name[column] for column in columns if column in by_name]
        if found and len(found) < len(columns):
            missing = next(column for column in columns if column not in by_name)
            refuse(f"the {block} has {len(found)} of its {len(columns)} columns ({missing} is missing)")
        if found:
            layout[attribute] = found
    return layout


def read_session(path):
    """The session in the CSV file at `path`, as a Session. Raises
    SessionError as tarn-replay refuses the file."""
    path = os.fspath(path)
    records = _records(path)
    header = next(records, None)
    if header is None:
        raise SessionError(4, f"{path}: the file is empty (expected a header row)")
    names = header[1]
    layout = _layout(names, f"{path}:{header[0]}")
    known = [column for columns in layout.values() for column in columns]  # tarn-replay's order
    known_fields = operator.itemgetter(*known, 0)  # 0 again: a tuple even for time alone
    carried = [index for index in range(len(names)) if index not in set(known)]
    rows, other = [], [[] for _ in carried]
    for line, fields in records:
        if len(fields) != len(names):
            raise SessionError(5, f"{path}:{line}: {len(fields)} fields, the header has {len(names)}")
        numbers = _numbers(known_fields(fields)[:-1])
        if None in numbers:
            column = known[numbers.index(None)]
            raise SessionError(6, f'{path}:{line}: column {names[column]}: "{fields[column]}" is not a number')
        rows.append(numbers)
        for texts, index in zip(other, carried):
            texts.append(fields[index])
    if not rows:
        raise SessionError(8, f"{path}: no frames after the header")
    table = numpy.array(rows, dtype=numpy.float64)
    session = Session(time=table[:, 0].copy(), other={names[i]: texts for i, texts in zip(carried, other)},
                      columns=list(names))
    start = 1
    for attribute, _, columns in _block_columns():
        if attribute in layout:
            block = numpy.ascontiguousarray(table[:, start : start + len(columns)])
            start += len(columns)
            value = block.reshape(-1, 20, 4) if len(columns) == 80 else Pose(block[:, :3].copy(), block[:, 3:].copy())
            setattr(session, attribute, value)
    return session


def _texts(values):
    """The shortest texts that read back to the same doubles."""
    if not values.size:
        return []
    return re.sub(r"\.0$", "", "\n".join(map(repr, values.tolist())), flags=re.MULTILINE).split("\n")


def write_session(path, session=None, **arrays):
    """Writes a Session (or its fields given by name: time=..., right_glove=...)
    to `path` in tarn-replay's layout, numbers with the fewest digits that
    read back to the same double. The columns keep `session.columns` when it
    names exactly the columns written, else come in the order time, gloves,
    devices, other columns."""
    if session is None:
        session = Session(**arrays)
    elif arrays:
        raise TypeError("write_session takes a Session or its fields, not both")
    count = len(session.time)
    columns = {"time": numpy.asarray(session.time, dtype=numpy.float64).reshape(count)}
    for attribute, _, names in _block_columns():
        value = getattr(session, attribute)
        if value is None:
            continue
        if attribute in GLOVES:
            block = numpy.asarray(value, dtype=numpy.float64).reshape(count, 80)
        else:
            block = numpy.hstack([numpy.asarray(value[0], dtype=numpy.float64).reshape(count, 3),
                                  numpy.asarray(value[1], dtype=numpy.float64).reshape(count, 4)])
        columns.update(zip(names, block.T))
    for name, texts in session.other.items():
        if len(texts) != count:
            raise ValueError(f"other column {name!r} has {len(texts)} values for {count} frames")
        columns[name] = texts
    order = list(columns)
    if session.columns is not None and sorted(session.columns) == sorted(order):
        order = list(session.columns)
    texts = [_texts(columns[name]) if isinstance(columns[name], numpy.ndarray) else list(map(str, columns[name]))
             for name in order]
    with open(path, "w", encoding="utf-8", errors="surrogateescape", newline="\n") as stream:
        stream.write(",".join(order) + "\n")
        for row in zip(*texts):
            stream.write(",".join(row) + "\n")
