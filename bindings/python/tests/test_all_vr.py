"""All-VR calibration and pose output through the binding. Each test starts
with its own calibration, since nothing else resets that state."""

import pytest

import tarn_hand_calibration as tarn
from tarn_hand_calibration import Pose, Tracker, native
from samples import IDENTITY, assert_near, assert_same, heading

# Right tracker at (1, 0, 1), forward from (1, -1, 1): heading 0, origin
# 0.2 to its left, (0.8, 0, 0).
RIGHT_ALONE = Tracker(position=[1.0, 0.0, 1.0], quaternion=IDENTITY, second_position=[1.0, -1.0, 1.0])
HEADSET = Pose(position=[0.0, 0.0, 1.7], quaternion=IDENTITY)
UNTOUCHED = Pose([1.5, -0.0, 2.0], [0.5, 0.5, -0.5, 0.5])


def test_right_tracker_alone():
    assert native.InitialAllVRCalibration(True, [1, 0, 1], [1, -1, 1], IDENTITY, None,
                                          False, None, None, None, None, False, None, None) is True
    pose = tarn.right_tracker_pose([1.0, 0.0, 1.0], IDENTITY)
    assert_near(pose.position, [0.2, 0.0, 1.0])
    assert_near(pose.quaternion, IDENTITY)
    for uncovered in (tarn.left_tracker_pose, tarn.headset_pose):
        result = uncovered(*UNTOUCHED)
        assert_same(result.position, UNTOUCHED.position)
        assert_same(result.quaternion, UNTOUCHED.quaternion)


def test_origin_accumulates_without_replace():
    assert native.InitialAllVRCalibrationV2(True, [1, 0, 1], [1, -1, 1], IDENTITY, None,
                                            False, None, None, None, None, False, None, None, True) is True
    tarn.calibrate_all_vr(right=RIGHT_ALONE, replace_origin=False)
    assert_near(tarn.right_tracker_pose([1.0, 0.0, 1.0], IDENTITY).position, [-0.6, 0.0, 1.0])


def test_both_trackers_set_the_frame_and_their_own_headings():
    # Trackers at (0, 1, 1) and (0, 0, 1): heading +90 degrees, origin (0, 0.5, 0).
    turned = heading(90)
    tarn.calibrate_all_vr(right=Tracker([0.0, 1.0, 1.0], turned, second_quaternion=turned),
                          left=Tracker([0.0, 0.0, 1.0], turned, second_quaternion=turned))
    pose = tarn.left_tracker_pose([1.0, 0.5, 1.5], turned)
    assert_near(pose.position, [0.0, -1.0, 1.5])
    assert_near(pose.quaternion, IDENTITY)


def test_headset_decides_the_frame_without_second_quaternions():
    tarn.calibrate_all_vr(right=RIGHT_ALONE, headset=HEADSET)
    assert_near(tarn.headset_pose([0.0, 0.5, 1.7], IDENTITY).position, [0.0, 0.0, 1.7])
    assert_near(tarn.right_tracker_pose([0.0, 0.5, 1.0], IDENTITY).position, [0.0, 0.0, 1.0])
    native.ResetAllVRCalibration()  # does nothing
    native.GetAllmHand()  # does nothing
    assert_near(tarn.right_tracker_pose([0.0, 0.5, 1.0], IDENTITY).position, [0.0, 0.0, 1.0])


def test_all_devices_in_one_call_match_the_single_calls():
    tarn.calibrate_all_vr(right=RIGHT_ALONE, headset=HEADSET)
    right = Pose([0.4, 0.9, 1.1], [0.9, 0.1, -0.2, 0.3])
    headset = Pose([-0.3, 0.2, 1.6], [0.7, 0.0, 0.1, -0.7])
    together = tarn.all_poses(right, UNTOUCHED, headset)
    one_by_one = (tarn.right_tracker_pose(*right), tarn.left_tracker_pose(*UNTOUCHED), tarn.headset_pose(*headset))
    for joint, single in zip(together, one_by_one):
        assert_same(joint.position, single.position)
        assert_same(joint.quaternion, single.quaternion)
    assert_same(together[1].position, UNTOUCHED.position)


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda: native.InitialAllVRCalibration(True, None, [0, 0, 0], IDENTITY, None,
                                                False, None, None, None, None, False, None, None),
         "rTrackerPos is needed while its device is on"),
        (lambda: native.InitialAllVRCalibrationV2(False, None, None, None, None,
                                                  True, [0, 0, 0], [0, 0, 0], IDENTITY, [0, 0, 0],
                                                  False, None, None, True),
         r"lTrackerQuat2 must have shape \(4,\)"),
        (lambda: tarn.calibrate_all_vr(headset=Pose([0, 0, 1], [1, 0, 0, 0, 0])), "vrGlassesQuat"),
        (lambda: tarn.calibrate_all_vr(left=Tracker([0, 0, 1], IDENTITY)), "left tracker calibrates alone"),
        (lambda: tarn.headset_pose([0, 0], IDENTITY), "position must have shape"),
        (lambda: native.GetAllVRCalibrationData([0, 0, 0], IDENTITY, [0, 0, 0], [1, 0], [0, 0, 0], IDENTITY),
         "lTrackerQuat"),
    ],
)
def test_wrong_inputs_raise_before_the_call(call, message):
    with pytest.raises(ValueError, match=message):
        call()
