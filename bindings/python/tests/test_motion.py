"""Calibrating a hand from motion through the binding: a window with a
known heading offset and mount, solved in one call and in pieces, refused
with its reason, and kept by save and restore."""

import math

import numpy
import pytest

import tarn_hand_calibration as tarn
from test_drift import turns


def product(p, q):
    """Quaternion products p (x) q of [w, x, y, z] arrays, frame by frame."""
    pw, px, py, pz = numpy.moveaxis(p, -1, 0)
    qw, qx, qy, qz = numpy.moveaxis(q, -1, 0)
    return numpy.stack([pw * qw - px * qx - py * qy - pz * qz, pw * qx + px * qw + py * qz - pz * qy,
                        pw * qy - px * qz + py * qw + pz * qx, pw * qz + px * qy - py * qx + pz * qw], axis=-1)


def about(axis, angles):
    half = numpy.asarray(angles) / 2
    q = numpy.zeros(half.shape + (4,))
    q[..., 0], q[..., axis] = numpy.cos(half), numpy.sin(half)
    return q


def window(offset_deg, over=True, seconds=10.0):
    """Times, glove rows and trackers of an arm waved for `seconds` at 90
    frames a second (turned over too, unless not `over`), the glove on the
    tracker by a mount turned 70 degrees about the forearm, its heading
    reference `offset_deg` away from the tracking frame."""
    times = numpy.arange(0, seconds, 1 / 90)
    tracker = product(turns(0.8 * numpy.sin(0.9 * times)), about(1, (0.6 if over else 0.0) * numpy.sin(1.3 * times)))
    tracker = product(tracker, about(2, (0.5 if over else 0.0) * numpy.sin(0.7 * times + 1)))
    mount = product(about(2, math.radians(70)), turns(math.pi / 2))
    rows = product(turns(-math.radians(offset_deg)), product(tracker, numpy.broadcast_to(mount, tracker.shape)))
    return times, rows, tracker, mount


def test_a_known_offset_and_mount_are_found_alike_in_one_call_and_in_pieces():
    times, rows, trackers, mount = window(25.0)
    with tarn.Calibrator() as whole, tarn.Calibrator() as pieces:
        result = whole.calibrate_hand_from_motion("right", times, rows, trackers)
        pieces.start_motion("right", capacity=len(times))
        for part in numpy.array_split(numpy.arange(len(times)), 7):
            pieces.add_motion("right", times[part], rows[part], trackers[part])
        progress = pieces.motion_progress("right")
        assert pieces.finish_motion("right") == result
        assert whole.motion_calibration("right") == result
    assert result.good and result.message == "good"
    assert result.heading_offset_deg == pytest.approx(25.0, abs=1e-6)
    assert abs(numpy.dot(result.mount, mount)) == pytest.approx(1.0, abs=1e-9)
    assert 0 <= result.heading_uncertainty_deg < 0.01 and result.residual_spread_deg < 0.01
    assert (result.frames_used, result.frames_skipped) == (len(times), 0)
    assert progress.verdict == tarn.MotionVerdict.GOOD and math.isnan(progress.heading_offset_deg)
    assert progress.duration == result.duration and progress.turning_over_deg > 10


def test_a_refused_window_says_why_and_changes_nothing():
    times, rows, trackers, _ = window(25.0, over=False)
    with tarn.Calibrator() as calibrator:
        result = calibrator.calibrate_hand_from_motion("left", times, rows, trackers)
        assert calibrator.motion_calibration("left") is None
        with pytest.raises(tarn.CalibrationError, match="NOT_CALIBRATED"):
            calibrator.hand_rotation("left")
        short = calibrator.calibrate_hand_from_motion("left", times[:90], rows[:90], trackers[:90])
        with pytest.raises(tarn.CalibrationError, match="INVALID_ARGUMENT"):
            calibrator.add_motion("left", times, rows, trackers)  # no window started
    assert (result.verdict, result.message) == (tarn.MotionVerdict.TURN_OVER, "turn your forearm over as well as round")
    assert short.verdict == tarn.MotionVerdict.TOO_SHORT


def test_save_and_restore_keep_the_motion_calibration_and_drift_settings():
    times, rows, trackers, _ = window(-40.0)
    with tarn.Calibrator() as calibrator, tarn.Calibrator("unity") as restored:
        result = calibrator.calibrate_hand_from_motion("right", times, rows, trackers)
        calibrator.set_drift_settings("right", compensate=True, window=90.0)
        restored.restore(calibrator.save())
        assert restored.drift_settings("right") == calibrator.drift_settings("right")
        kept = restored.motion_calibration("right")
        assert restored.motion_calibration("left") is None
    assert kept.heading_offset_deg == result.heading_offset_deg
    assert kept.frames_used == result.frames_used
