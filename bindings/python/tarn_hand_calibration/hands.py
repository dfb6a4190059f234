"""Single-hand and double-hand calibration with Python names, over the
process-wide state of the 16 exports.

Quaternions are [w, x, y, z]; a hand block is one glove's 20 quaternions,
shape (20, 4) (a flat sequence of 80 numbers is accepted too), or a batch of
them, (N, 20, 4), converted frame by frame; positions are [x, y, z] with Z
up, or (N, 3). Results are new arrays; inputs are never modified. Whole
sessions go faster through a Calibrator, in one call.
"""

from typing import Any, NamedTuple

from . import _batch, native


class BothHands(NamedTuple):
    """Both hands and their positions, expressed in the double-hand frame."""

    hand1: Any
    hand2: Any
    position1: Any
    position2: Any


def calibrate_right_hand(source, target):
    """Right-hand calibration from the glove's quaternion `source` and the
    wrist tracker's `target`: afterwards hand data with the heading of
    `source` come out with the heading of `target` plus 90 degrees."""
    native.InitialRHand(source, target)


def calibrate_left_hand(source, target):
    """As calibrate_right_hand, with minus 90 degrees."""
    native.InitialLHand(source, target)


def apply_right_hand(hand_block):
    """The hand block turned about Z by the right-hand calibration, shape
    (20, 4); or each block of an (N, 20, 4) batch."""
    if _batch.is_batch(hand_block, 2):
        return _batch.each_frame("GetCalculationDataRHand", (hand_block, _batch.HAND, "hand_block"))[0]
    return native.GetCalculationDataRHand(hand_block)


def apply_left_hand(hand_block):
    """As apply_right_hand, with the left-hand calibration."""
    if _batch.is_batch(hand_block, 2):
        return _batch.each_frame("GetCalculationDataLHand", (hand_block, _batch.HAND, "hand_block"))[0]
    return native.GetCalculationDataLHand(hand_block)


def calibrate_both_hands(position1, position2):
    """Common frame of both hands: origin midway, X from position2 towards
    position1. Returns False (and calibration is off) when the positions are
    closer than 0.001 along both horizontal axes."""
    return native.InitialDoubleCalibration(position1, position2)


def apply_both_hands(hand1, hand2, position1, position2):
    """Both hand blocks and positions in the double-hand frame, as
    BothHands; unchanged while no double-hand calibration is in force. Takes
    one frame, or batches of N frames of each."""
    if _batch.is_batch(position1, 1):
        return BothHands(*_batch.each_frame(
            "GetDoubleHandCalibrationData", (hand1, _batch.HAND, "hand1"), (hand2, _batch.HAND, "hand2"),
            (position1, _batch.POSITION, "position1"), (position2, _batch.POSITION, "position2")))
    return BothHands(*native.GetDoubleHandCalibrationData(hand1, hand2, position1, position2))


def reset_both_hands():
    """Discards the double-hand calibration."""
    native.ResetDoubleHandCalibration()


def reset_single_hands():
    """Resets both single-hand calibrations to the identity (the library's
    Close; the library stays usable)."""
    native.Close()
