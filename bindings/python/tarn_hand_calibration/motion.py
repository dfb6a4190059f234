"""What a motion calibration gives (Calibrator.finish_motion and
Calibrator.calibrate_hand_from_motion): the verdict and the figures, angles
in degrees with names that say so. docs/motion-calibration.md describes the
model, the motion to ask of the user and each verdict."""

import enum
import math
from dataclasses import dataclass

from ._library import calibrator_library


class MotionVerdict(enum.IntEnum):
    """Whether a window determines the calibration: GOOD, or the reason it
    does not. `message` is the library's text for the user."""

    GOOD = 0
    TOO_FEW_FRAMES = 1
    TOO_SHORT = 2
    TURN_OVER = 3
    HAND_MOVED = 4

    @property
    def message(self):
        return calibrator_library().tarn_motion_verdict_string(self).decode()


@dataclass(frozen=True)
class MotionResult:
    """What a motion window gave.

    verdict (a MotionVerdict) and message: good, or why not, as a host can
    show it; heading_offset_deg: the turn the hand's rows get about the up
    axis; heading_uncertainty_deg: its standard error, from the data;
    mount: how the glove's reference row sits on the tracker
    (tracker_from_glove: a quaternion, a tuple of 4 in the calibrator's
    convention);
    strap_turn_deg, strap_tilt_deg: the mount against the nominal one,
    turned about the forearm and tilted; residual_spread_deg: how far the
    hand turned against the tracker (root mean square); turning_round_deg,
    turning_over_deg: the motion seen, the tracker's heading and tilt about
    their means (root mean square); duration: seconds of valid frames;
    frames_used, frames_skipped: frames with both orientations, and frames
    with a NaN, infinite or zero one. The solved values are NaN in a
    progress report, before a solve.
    """

    verdict: MotionVerdict
    message: str
    heading_offset_deg: float
    heading_uncertainty_deg: float
    mount: tuple
    strap_turn_deg: float
    strap_tilt_deg: float
    residual_spread_deg: float
    turning_round_deg: float
    turning_over_deg: float
    duration: float
    frames_used: int
    frames_skipped: int

    @property
    def good(self):
        return self.verdict == MotionVerdict.GOOD


def motion_result(record):
    """A MotionResult from a tarn_motion_result."""
    verdict = MotionVerdict(record.verdict)
    return MotionResult(
        verdict, verdict.message,
        *(math.degrees(getattr(record, name)) for name in ("heading_offset", "heading_uncertainty")),
        tuple(record.mount),
        *(math.degrees(getattr(record, name))
          for name in ("strap_turn", "strap_tilt", "residual_spread", "turning_round", "turning_over")),
        record.duration, record.frames_used, record.frames_skipped)
