"""The binding without NumPy: plain lists in and out."""

import pytest

import tarn_hand_calibration as tarn
from tarn_hand_calibration import _arrays
from samples import IDENTITY, assert_near, heading


@pytest.fixture
def without_numpy(monkeypatch):
    monkeypatch.setattr(_arrays, "numpy", None)


def test_hand_blocks_come_back_as_nested_lists(without_numpy):
    tarn.calibrate_right_hand(IDENTITY, IDENTITY)
    hand = tarn.apply_right_hand([IDENTITY] * 20)
    assert type(hand) is list and len(hand) == 20 and all(type(row) is list and len(row) == 4 for row in hand)
    assert_near(hand, [heading(90)] * 20)


def test_positions_come_back_as_lists(without_numpy):
    tarn.reset_both_hands()
    result = tarn.apply_both_hands([0.0] * 80, [IDENTITY] * 20, (1, 2, 3), [4, 5, 6])
    assert result.position1 == [1.0, 2.0, 3.0] and result.position2 == [4.0, 5.0, 6.0]


@pytest.mark.parametrize(
    "values, message",
    [
        ([[1, 0], [0]], "ragged"),
        ("1000", "text"),
        ([1, 0, 0], r"got shape \(3,\)"),
        ([[1, 0], [0, 0]], r"got shape \(2, 2\)"),
    ],
)
def test_shape_errors_without_numpy(without_numpy, values, message):
    with pytest.raises(ValueError, match=message):
        tarn.calibrate_left_hand(values, IDENTITY)
