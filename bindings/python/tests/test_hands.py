"""Single-hand and double-hand calibration through the binding."""

import math

import numpy
import pytest

import tarn_hand_calibration as tarn
from samples import IDENTITY, arbitrary_hand, assert_near, assert_same, hand_of, heading


class TestSingleHand:
    def test_right_gets_target_plus_90_and_left_target_minus_90(self):
        tarn.calibrate_right_hand(heading(30), heading(10))
        tarn.calibrate_left_hand(heading(30), heading(10))
        assert_near(tarn.apply_right_hand(hand_of(heading(30))), hand_of(heading(100)))
        assert_near(tarn.apply_left_hand(hand_of(heading(30))), hand_of(heading(-80)))

    def test_reset_returns_hand_data_unchanged(self):
        tarn.calibrate_right_hand(heading(45), heading(-20))
        tarn.calibrate_left_hand(heading(45), heading(-20))
        tarn.reset_single_hands()
        assert_same(tarn.apply_right_hand(arbitrary_hand()), arbitrary_hand())
        assert_same(tarn.apply_left_hand(arbitrary_hand()), arbitrary_hand())

    def test_flat_lists_are_accepted_and_inputs_left_alone(self):
        tarn.calibrate_right_hand(IDENTITY, IDENTITY)
        flat = [1.0, 0.0, 0.0, 0.0] * 20
        result = tarn.native.GetCalculationDataRHand(flat)
        assert isinstance(result, numpy.ndarray) and result.shape == (20, 4)
        assert_near(result, hand_of(heading(90)))
        assert flat == [1.0, 0.0, 0.0, 0.0] * 20

    @pytest.mark.parametrize(
        "call, message",
        [
            (lambda: tarn.calibrate_right_hand([1, 0, 0], IDENTITY), r"source must have shape \(4,\)"),
            (lambda: tarn.calibrate_left_hand(IDENTITY, None), "target must"),
            (lambda: tarn.apply_left_hand(numpy.zeros((4, 20))), r"handData .* got shape \(4, 20\)"),
            (lambda: tarn.apply_right_hand([[1, 0, 0, 0]] * 19 + [[1, 0, 0]]), "handData"),
            (lambda: tarn.apply_right_hand(numpy.zeros(81)), r"got shape \(81,\)"),
        ],
    )
    def test_wrong_shapes_raise_before_the_call(self, call, message):
        with pytest.raises(ValueError, match=message):
            call()


class TestDoubleHand:
    # (0.2, 0.5, 1.0) and (1.2, 1.5, 1.1): heading -135 degrees, centre (0.7, 1.0, 1.05).
    P1, P2 = [0.2, 0.5, 1.0], [1.2, 1.5, 1.1]

    def test_positions_and_hands_in_the_frame(self):
        assert tarn.calibrate_both_hands(self.P1, self.P2) is True
        tarn.reset_single_hands()  # leaves the double-hand calibration alone
        result = tarn.apply_both_hands(hand_of(heading(-135 + 17)), hand_of(heading(-175)), self.P1, self.P2)
        assert_near(result.position1, [math.sqrt(0.5), 0.0, -0.05])
        assert_near(result.position2, [-math.sqrt(0.5), 0.0, 0.05])
        assert_near(result.hand1, hand_of(heading(17)))
        assert_near(result.hand2, hand_of(heading(-40)))

    def assert_nothing_written(self):
        result = tarn.apply_both_hands(arbitrary_hand(), arbitrary_hand() * 2, [0.3, -0.0, 7.0], [-2.0, 4.5, 0.25])
        assert_same(result.hand1, arbitrary_hand())
        assert_same(result.hand2, arbitrary_hand() * 2)
        assert_same(result.position1, [0.3, -0.0, 7.0])
        assert_same(result.position2, [-2.0, 4.5, 0.25])

    def test_refused_when_horizontally_too_close(self):
        assert tarn.calibrate_both_hands(self.P1, self.P2) is True
        assert tarn.calibrate_both_hands([0, 0, 0], [0.0005, -0.0009, 3.0]) is False
        self.assert_nothing_written()

    def test_reset_discards_the_calibration(self):
        assert tarn.calibrate_both_hands(self.P1, self.P2) is True
        tarn.reset_both_hands()
        self.assert_nothing_written()

    def test_wrong_position_shape(self):
        with pytest.raises(ValueError, match="position2 must have shape"):
            tarn.apply_both_hands(hand_of(IDENTITY), hand_of(IDENTITY), self.P1, [[1, 2, 3]])
