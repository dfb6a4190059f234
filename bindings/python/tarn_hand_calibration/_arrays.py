"""Shape checks and conversions between Python values and C double arrays.

Inputs may be NumPy arrays, lists or tuples (nested for hand data). Outputs
are NumPy float64 arrays when NumPy is installed, plain lists otherwise.
"""

import ctypes

try:
    import numpy
except ImportError:  # the binding works without NumPy, on lists
    numpy = None

POSITION = ((3,), "a position x, y, z")
QUATERNION = ((4,), "a quaternion w, x, y, z")
HAND = ((20, 4), "20 quaternions w, x, y, z")


def _shape_and_values(values):
    """Shape and flattened floats of a nested sequence or array."""
    if numpy is not None:
        array = numpy.asarray(values, dtype=numpy.float64)
        return array.shape, array.ravel().tolist()
    if isinstance(values, (str, bytes)):
        raise TypeError("text is not a number array")
    try:
        items = list(values)
    except TypeError:
        return (), [float(values)]
    parts = [_shape_and_values(item) for item in items]
    shapes = {shape for shape, _ in parts}
    if len(shapes) > 1:
        raise ValueError("ragged nesting")
    inner = shapes.pop() if shapes else ()
    return (len(items),) + inner, [value for _, flat in parts for value in flat]


def to_c(values, layout, name):
    """A new C array of doubles holding `values`, checked against `layout`
    (POSITION, QUATERNION or HAND; hand data may also come flat, 80 long).
    Raises ValueError naming `name` when the shape is wrong."""
    shape, what = layout
    count = 1
    for extent in shape:
        count *= extent
    accepted = {shape, (count,)}
    try:
        actual, flat = _shape_and_values(values)
    except (TypeError, ValueError) as error:
        raise ValueError(f"{name} must be {count} numbers ({what}): {error}") from None
    if actual not in accepted:
        wanted = " or ".join(str(s) for s in sorted(accepted, key=len, reverse=True))
        raise ValueError(f"{name} must have shape {wanted} ({what}), got shape {actual}")
    return (ctypes.c_double * count)(*flat)


def to_c_optional(values, layout, name):
    """As to_c, with None passing through as a NULL pointer."""
    return None if values is None else to_c(values, layout, name)


def from_c(c_array, layout):
    """The C array's values in `layout`'s shape (a NumPy array, or a list,
    nested for hand data, without NumPy)."""
    shape, _ = layout
    if numpy is not None:
        return numpy.array(c_array, dtype=numpy.float64).reshape(shape)
    values = list(c_array)
    if len(shape) == 1:
        return values
    width = shape[1]
    return [values[i : i + width] for i in range(0, len(values), width)]
