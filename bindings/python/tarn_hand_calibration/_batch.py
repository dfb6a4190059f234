"""Whole sessions as NumPy arrays of frames, checked and laid out for the C
batch functions (one address, a byte stride between frames, a count)."""

from typing import NamedTuple

import numpy

from ._library import address_export

HAND = (20, 4)
POSITION = (3,)
QUATERNION = (4,)
TIME = ()


class Frames(NamedTuple):
    array: numpy.ndarray  # what the caller gets back: a new array, or theirs when in place
    address: int  # of frame 0
    stride: int  # bytes from one frame to the next; 0 for packed frames
    count: int
    single: bool  # one frame, given without the frame axis


def real_array(values, name):
    """`values` as a float64 array; complex numbers and anything that is
    not numbers are refused (ValueError), not cast."""
    if numpy.iscomplexobj(values):
        raise ValueError(f"{name} holds complex numbers; the library takes real ones")
    try:
        return numpy.array(values, dtype=numpy.float64, order="C")
    except (TypeError, ValueError) as error:
        raise ValueError(f"{name} must be an array of numbers: {error}") from None


def frames(values, frame_shape, name, inplace=False):
    """`values` as Frames of `frame_shape`: one frame, or N frames with the
    frame axis first. A new packed float64 copy, or, in place, the caller's
    own float64 array, whose frames may lie any whole number of doubles
    apart (a column slice of a wider array of records works) but must each
    be packed."""
    if inplace:
        if not isinstance(values, numpy.ndarray):
            raise TypeError(f"{name}: converting in place needs a NumPy array, not {type(values).__name__}")
        array = values
    else:
        array = real_array(values, name)
    single = array.shape == frame_shape
    if not single and (array.ndim != len(frame_shape) + 1 or array.shape[1:] != frame_shape):
        frame_text = ", ".join(str(extent) for extent in frame_shape)
        raise ValueError(f"{name} must have shape ({frame_text}) for one frame or (N, {frame_text}) for N frames, "
                         f"got shape {array.shape}")
    count = 1 if single else array.shape[0]
    stride = 0 if single or count < 2 else array.strides[0]
    if inplace:
        _check_in_place(array, frame_shape, count, name)
    return Frames(array, array.ctypes.data, stride, count, single)


def _check_in_place(array, frame_shape, count, name):
    if array.dtype != numpy.float64:
        raise TypeError(f"{name} must hold float64 to be converted in place, not {array.dtype}")
    if not array.flags.writeable:
        raise ValueError(f"{name} is read-only and cannot be converted in place")
    packed = numpy.empty(frame_shape).strides
    frame_bytes = 8 * int(numpy.prod(frame_shape))
    overlapping = count > 1 and array.strides[0] < frame_bytes  # also 0 (broadcast) and reversed
    if not array.flags.aligned:
        raise ValueError(f"{name} cannot be converted in place: its doubles are not aligned to 8 bytes "
                         f"(an offset field of a packed record array?); pass inplace=False for a copy")
    if array.strides[-len(frame_shape):] != packed or overlapping:
        raise ValueError(f"{name} cannot be converted in place (strides {array.strides}): each frame's doubles "
                         f"must be packed and the frames in order without overlap; pass inplace=False for a copy")


def same_count(*batches):
    """The frame count shared by all batches; ValueError when they differ
    or mix one frame with several."""
    if len({(batch.count, batch.single) for batch in batches}) > 1:
        shapes = ", ".join(str(batch.array.shape) for batch in batches)
        raise ValueError(f"the arrays must hold the same number of frames, got shapes {shapes}")
    return batches[0].count


def is_batch(values, frame_ndim):
    """True for an array-like with one more axis than a frame."""
    return numpy.ndim(values) == frame_ndim + 1


def call_per_frame(export, *batches):
    """Calls a one-frame export (declared to take addresses) on every frame
    of batches in turn; None arguments pass as NULL."""
    count = same_count(*(batch for batch in batches if batch is not None))
    steps = [(None, 0) if batch is None else (batch.address, batch.array.strides[0]) for batch in batches]
    for k in range(count):
        export(*[None if address is None else address + k * step for address, step in steps])


def each_frame(export, *arrays):
    """The 16-export `export` called on every frame of (values, frame
    shape, name) batches, copied first; returns the copies, converted.
    (None, None, None) stands for a NULL argument."""
    batches = [None if values is None else frames(values, shape, name) for values, shape, name in arrays]
    call_per_frame(address_export(export), *batches)
    return [batch.array for batch in batches if batch is not None]
