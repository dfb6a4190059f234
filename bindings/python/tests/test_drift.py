"""Drift monitors through the binding: a session with a known drift, and
tracked batches against apply_hand."""

import dataclasses
import math

import numpy
import pytest

import tarn_hand_calibration as tarn
from test_batches import bits


def turns(headings):
    """Quaternions [w, x, y, z] turning about the up axis by `headings` (radians)."""
    half = numpy.asarray(headings) / 2
    return numpy.stack([numpy.cos(half), 0 * half, 0 * half, numpy.sin(half)], axis=-1)


def drifting(hand, degrees_a_minute, row, seconds=120):
    """Times, glove blocks and wrist trackers at 10 frames a second, and the
    drift rate in radians a second: the tracker turns to and fro slowly;
    every glove row is the tracker turned a quarter turn inwards, and `row`
    drifts from it at the rate."""
    times = numpy.arange(0, seconds, 0.1)
    rate = math.radians(degrees_a_minute) / 60
    tracker = 0.3 * numpy.sin(times / 20)
    blocks = numpy.repeat(turns(tracker + (-math.pi / 2 if hand == "right" else math.pi / 2))[:, None], 20, axis=1)
    blocks[:, row] = turns(tracker + (-math.pi / 2 if hand == "right" else math.pi / 2) + rate * times)
    return times, blocks, turns(tracker), rate


@pytest.mark.parametrize("hand, degrees_a_minute, settings, events", [
    ("right", 6, {}, []),
    ("left", -3, {"compensate": True, "reference_row": 19}, ["COMPENSATION"]),
    ("right", 6, {"auto_recalibrate": True, "reference_row": 4}, ["RECALIBRATION"] * 2)])
def test_a_known_drift_is_measured_and_acted_on(hand, degrees_a_minute, settings, events):
    times, blocks, trackers, rate = drifting(hand, degrees_a_minute, settings.get("reference_row", 0))
    with tarn.Calibrator() as calibrator:
        chosen = calibrator.set_drift_settings(hand, **settings)
        assert chosen == calibrator.drift_settings(hand) == dataclasses.replace(tarn.default_drift_settings(),
                                                                                **settings)
        calibrator.calibrate_hand(hand, blocks[0, chosen.reference_row], trackers[0])
        before = calibrator.drift(hand)
        converted, residuals = calibrator.apply_hand_tracked(hand, times, blocks, trackers, residuals=True)
        report, taken = calibrator.drift(hand), calibrator.take_drift_events(hand)
        assert calibrator.take_drift_events(hand) == []
    assert (before.frames, before.flag, before.still, math.isnan(before.time), math.isnan(before.rate)) == (
        0, False, False, True, True)
    assert abs(math.degrees(report.rate) * 60 - degrees_a_minute) < 0.2
    assert (report.frames, report.time, report.residual, report.still) == (len(times), times[-1], residuals[-1], True)
    assert report.residual + report.correction == pytest.approx(rate * times[-1], abs=1e-9)
    assert [event.kind.name for event in taken] == events
    assert all(event.time in times and abs(event.residual_after) < 1e-9 < abs(event.residual_before) < 0.1
               for event in taken)
    if not settings:  # nothing turned: each frame's residual is the drift so far, and the flag is up
        numpy.testing.assert_allclose(residuals, rate * times, atol=1e-12)
        assert report.flag and report.first_flag_time == pytest.approx(math.radians(5) / rate + 3, abs=0.5)


@pytest.mark.parametrize("convention", ["library", "unity"])
def test_tracked_batches_give_the_bits_of_apply_hand(convention):
    rng = numpy.random.default_rng(3)
    unit = lambda *shape: (lambda q: q / numpy.linalg.norm(q, axis=-1, keepdims=True))(rng.normal(size=shape + (4,)))
    n = 40
    records = numpy.zeros(n, [("time", "f8"), ("block", "f8", (20, 4)), ("tracker", "f8", 4)])  # a host's records
    records["time"], records["block"], records["tracker"] = numpy.arange(n) // 2, unit(n, 20), unit(n)
    records["block"][5, 0, 1] = records["tracker"][6, 2] = math.nan  # frames whose tracking was lost
    def calibrated():  # a fresh monitor for each path: residuals are unwrapped from the frames before
        calibrator = tarn.Calibrator(convention)
        calibrator.calibrate_hand("left", records["block"][0, 0], records["tracker"][0])
        return calibrator

    expected = calibrated().apply_hand("left", records["block"])
    copied = calibrated().apply_hand_tracked("left", records["time"], records["block"], records["tracker"],
                                             residuals=True)
    one = calibrated()
    one_by_one = [one.apply_hand_tracked("left", records["time"][k], records["block"][k], records["tracker"][k],
                                         residuals=True) for k in range(n)]
    in_place = calibrated().apply_hand_tracked("left", list(records["time"]), records["block"], records["tracker"],
                                               inplace=True, residuals=True)
    for blocks, residuals in (copied, zip(*one_by_one), in_place):
        assert bits(blocks) == bits(expected) and bits(residuals) == bits(copied[1])
    assert in_place[0].base is records.base or in_place[0].base is records
    assert numpy.isnan(copied[1][[5, 6]]).all() and numpy.isfinite(numpy.delete(copied[1], [5, 6])).all()
