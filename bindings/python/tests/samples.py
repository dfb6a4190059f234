"""Inputs and checks shared by the binding tests."""

import math

import numpy

IDENTITY = [1.0, 0.0, 0.0, 0.0]


def heading(degrees):
    """The rotation about Z by `degrees`, [w, x, y, z]."""
    half = math.radians(degrees) / 2
    return [math.cos(half), 0.0, 0.0, math.sin(half)]


def hand_of(quaternion):
    """A hand block whose 20 rows all equal `quaternion`."""
    return numpy.tile(quaternion, (20, 1))


def arbitrary_hand():
    """80 distinct finite values, not unit quaternions, shape (20, 4)."""
    i = numpy.arange(80.0)
    return (numpy.sin(0.7 * i + 0.1) * (1 + i % 3)).reshape(20, 4)


def assert_near(actual, expected):
    numpy.testing.assert_allclose(actual, expected, rtol=0, atol=1e-12)


def assert_same(actual, expected):
    """Bit-for-bit equality (tells -0.0 from +0.0)."""
    assert numpy.asarray(actual).tobytes() == numpy.asarray(expected, dtype=numpy.float64).tobytes()
