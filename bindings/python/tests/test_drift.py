"""Drift monitors through the binding: a session with a known drift, and
tracked batches against apply_hand."""

import dataclasses
import math

import numpy
import pytest

import tarn_hand_calibration as tarn
from test_batches import bits

IDENTITY_ROW = [1.0, 0.0, 0.0, 0.0]


def turns(headings):
    """Quaternions [w, x, y, z] turning about the up axis by `headings` (radians)."""
    half = numpy.asarray(headings) / 2
    return numpy.stack([numpy.cos(half), 0 * half, 0 * half, numpy.sin(half)], axis=-1)


def drifting(hand, degrees_a_minute, row, seconds=120):
    """Times, glove blocks and wrist trackers at 10 frames a second: the
    tracker turns to and fro slowly; every glove row is the tracker turned
    a quarter turn inwards, and `row` drifts from it at the rate."""
    times = numpy.arange(0, seconds, 0.1)
    rate = math.radians(degrees_a_minute) / 60
    tracker = 0.3 * numpy.sin(times / 20)
    blocks = numpy.repeat(turns(tracker + (-math.pi / 2 if hand == "right" else math.pi / 2))[:, None], 20, axis=1)
    blocks[:, row] = turns(tracker + (-math.pi / 2 if hand == "right" else math.pi / 2) + rate * times)
    return times, blocks, turns(tracker)


@pytest.mark.parametrize("hand, degrees_a_minute, settings, events", [
    ("right", 6, {}, []),
    ("left", -3, {"compensate": True, "reference_row": 19}, ["COMPENSATION"]),
    ("right", 6, {"auto_recalibrate": True, "reference_row": 4, "threshold_deg": 4}, ["RECALIBRATION"] * 2)])
def test_a_known_drift_is_measured_and_acted_on(hand, degrees_a_minute, settings, events):
    """In degrees, degrees a minute and seconds: the rate, each frame's
    residual and trend, the flag's time, the events."""
    times, blocks, trackers = drifting(hand, degrees_a_minute, settings.get("reference_row", 0))
    with tarn.Calibrator() as calibrator:
        chosen = calibrator.set_drift_settings(hand, **settings)
        assert chosen == calibrator.drift_settings(hand) == dataclasses.replace(tarn.default_drift_settings(),
                                                                                **settings)
        calibrator.calibrate_hand(hand, blocks[0, chosen.reference_row], trackers[0])
        before = calibrator.drift(hand)
        converted, residuals, trends = calibrator.apply_hand_tracked(hand, times, blocks, trackers, residuals=True,
                                                                     trends=True)
        report, taken = calibrator.drift(hand), calibrator.take_drift_events(hand)
        assert calibrator.take_drift_events(hand) == []
    assert (before.frames, before.flag, before.still, math.isnan(before.time_s), math.isnan(before.rate_deg_per_min)) \
        == (0, False, False, True, True)
    assert abs(report.rate_deg_per_min - degrees_a_minute) < 0.2
    assert (report.frames, report.time_s, report.residual_deg, report.still) == (len(times), times[-1], residuals[-1], True)
    assert report.residual_deg + report.correction_deg == pytest.approx(degrees_a_minute * times[-1] / 60, abs=1e-7)
    assert trends[-1] == report.trend_residual_deg and numpy.isnan(trends[:50]).all()
    assert [event.kind.name for event in taken] == events
    assert all(event.time_s in times and abs(event.residual_after_deg) < 1e-7 < abs(event.residual_before_deg) < 6
               for event in taken)
    if not settings:  # nothing turned: each frame's residual and trend is the drift so far, and the flag is up
        numpy.testing.assert_allclose(residuals, degrees_a_minute * times / 60, atol=1e-10)
        numpy.testing.assert_allclose(trends[100:], degrees_a_minute * times[100:] / 60, atol=0.05)
        assert report.flag and report.first_flag_time_s == pytest.approx(5 / degrees_a_minute * 60 + 3, abs=0.5)


def test_the_radian_names_of_1_1_still_work_and_warn():
    with tarn.Calibrator() as calibrator:
        with pytest.warns(DeprecationWarning, match="use threshold_deg"):
            chosen = calibrator.set_drift_settings("right", threshold=math.radians(4), window=60)
        assert (chosen.threshold_deg, chosen.window_s) == pytest.approx((4, 60))
        with pytest.warns(DeprecationWarning, match="use threshold_deg"):
            assert chosen.threshold == pytest.approx(math.radians(4))
        calibrator.calibrate_hand("right", IDENTITY_ROW, IDENTITY_ROW)
        calibrator.apply_hand_tracked("right", 2.0, numpy.tile(IDENTITY_ROW, (20, 1)), IDENTITY_ROW)
        with pytest.warns(DeprecationWarning, match="use time_s"):
            assert calibrator.drift("right").time == 2.0


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
