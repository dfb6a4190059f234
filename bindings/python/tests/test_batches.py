"""Calibrators and sessions: batches against the 16 exports frame by frame,
refusals, saved calibrations, and session files against tarn-replay's table
of runs."""

import dataclasses
import math
import re
import warnings
from pathlib import Path

import numpy
import pytest

import tarn_hand_calibration as tarn
from tarn_hand_calibration import native

ROOT = Path(__file__).resolve().parents[3]
IDENTITY = [1.0, 0.0, 0.0, 0.0]


def bits(arrays):
    """The bytes of an array, or of a sequence of arrays one after the other."""
    if isinstance(arrays, (list, tuple)):
        return b"".join(map(bits, arrays))
    return numpy.ascontiguousarray(arrays).tobytes()


def frame_by_frame(export, *batches):
    """The 16-export `export` called on each frame in turn, outputs stacked."""
    results = [getattr(native, export)(*frame) for frame in zip(*batches)]
    return [numpy.array(output) for output in zip(*(r if isinstance(r, tuple) else (r,) for r in results))]


def test_batches_give_the_bits_of_the_exports_frame_by_frame():
    rng = numpy.random.default_rng(17)
    unit = lambda *shape: (lambda q: q / numpy.linalg.norm(q, axis=-1, keepdims=True))(rng.normal(size=shape + (4,)))
    n, source, target, p1, p2 = 9, unit(), unit(), rng.uniform(-1, 1, 3), rng.uniform(-1, 1, 3)
    rigs = [(rng.uniform(-1, 1, 3), unit()) for _ in range(3)]  # right tracker, left tracker, headset
    native.InitialRHand(source, target), native.InitialLHand(target, source), native.InitialDoubleCalibration(p1, p2)
    (rp, rq), (lp, lq), (hp, hq) = rigs
    native.InitialAllVRCalibration(True, rp, rp, rq, rq, True, lp, lp, lq, lq, True, hp, hq)
    calibrator = tarn.Calibrator()
    calibrator.calibrate_hand("right", source, target), calibrator.calibrate_hand(tarn.Hand.LEFT, target, source)
    calibrator.calibrate_both_hands(p1, p2), calibrator.calibrate_all_vr(*rigs)

    hands, positions, quaternions = unit(2, n, 20), rng.uniform(-1, 1, (2, n, 3)), unit(3, n)
    records = numpy.zeros(n, [("right", "f8", (20, 4)), ("time", "f8"), ("left", "f8", (20, 4))]
                          + [(f"pose{d}", "f8", 7) for d in range(3)])  # a host's frame records, read through strides
    records["right"], records["left"] = hands
    for d in range(3):
        records[f"pose{d}"] = numpy.hstack([positions[d % 2], quaternions[d]])
    given = [array.copy() for array in (hands, positions, quaternions)]

    right, = frame_by_frame("GetCalculationDataRHand", hands[0])
    left, = frame_by_frame("GetCalculationDataLHand", hands[1])
    both = frame_by_frame("GetDoubleHandCalibrationData", *hands, *positions)
    exports = ("GetAllRTracker", "GetAllLTracker", "GetAllVRGlasses")
    poses = [frame_by_frame(exports[d], positions[d % 2], quaternions[d]) for d in range(3)]
    in_place = [calibrator.apply_hand("right", records["right"], inplace=True)]
    for d in range(3):
        calibrator.apply_device(d, records[f"pose{d}"][:, :3], records[f"pose{d}"][:, 3:], inplace=True)
    cases = [
        (right, calibrator.apply_hand("right", hands[0])), (right, records["right"]), (right, in_place[0]),
        (right, [calibrator.apply_hand("right", block) for block in hands[0]]),
        (right, tarn.apply_right_hand(hands[0])),
        (left, calibrator.apply_hand("left", hands[1])), (left, tarn.apply_left_hand(hands[1])),
        (both, calibrator.apply_both_hands(*hands, *positions)), (both, tarn.apply_both_hands(*hands, *positions)),
        (both, [numpy.array(output) for output in zip(*(calibrator.apply_both_hands(*frame) for frame in
                                                        zip(*hands, *positions)))]),
    ] + [(poses[d], calibrator.apply_device(tarn.Device(d), positions[d % 2], quaternions[d])) for d in range(3)] + [
        (numpy.hstack(poses[d]), records[f"pose{d}"]) for d in range(3)] + [
        (poses[d], getattr(tarn, name)(positions[d % 2], quaternions[d]))
        for d, name in enumerate(("right_tracker_pose", "left_tracker_pose", "headset_pose"))] + [
        (poses[0] + poses[1] + poses[2], [a for pose in tarn.all_poses(*zip(positions[[0, 1, 0]], quaternions))
                                          for a in pose])]
    for number, (expected, actual) in enumerate(cases):
        assert bits(expected) == bits(actual), f"case {number}"
    assert in_place[0].base is records.base or in_place[0].base is records
    assert all(bits(a) == bits(b) for a, b in zip(given, (hands, positions, quaternions)))  # copies converted


NAN = [math.nan, 0.0, 0.0, 0.0]
DRIFT = tarn.default_drift_settings()
TRACKED = (numpy.ones((2, 20, 4)), numpy.ones((2, 4)))  # blocks and trackers of two frames
REFUSALS = [  # call, arguments, status, degeneracy, where, what the message says
    ("calibrate_hand", ("right", [0, 0, 0, 0], IDENTITY), "DEGENERATE_INPUT", "ZERO_QUATERNION", "SOURCE", ""),
    ("calibrate_hand", ("left", IDENTITY, [0.7071, 0, 0.7071, 0]), "DEGENERATE_INPUT", "NEAR_VERTICAL", "TARGET", ""),
    ("calibrate_hand", ("left", NAN, IDENTITY), "INVALID_ARGUMENT", "NONE", "NONE", "(NaN or infinite input: source)"),
    ("calibrate_hand", ("left", IDENTITY, [2e150, 0, 0, 0]), "INVALID_ARGUMENT", "NONE", "NONE",
     "(out-of-range input: target (beyond 1e+150))"),
    ("calibrate_both_hands", ([1, 1, 0], [1.0005, 1.0009, 2]), "DEGENERATE_INPUT", "HANDS_TOO_CLOSE", "POSITIONS", ""),
    ("calibrate_both_hands", ([1, 1, 0], [math.inf, 0, 2]), "INVALID_ARGUMENT", "NONE", "NONE", "input: position2"),
    ("calibrate_all_vr", (None, None, None), "DEGENERATE_INPUT", "NO_DEVICE", "NONE", ""),
    ("calibrate_all_vr", (None, ([0, 0, 0], [0, 0, 0, 0])), "DEGENERATE_INPUT", "ZERO_QUATERNION", "LEFT_TRACKER", ""),
    ("calibrate_all_vr", (None, ([0, 0, 0], NAN)), "INVALID_ARGUMENT", "NONE", "NONE", "input: left orientation"),
    ("apply_hand", ("left", numpy.ones((2, 20, 4))), "NOT_CALIBRATED", None, None, ""),
    ("apply_device", ("headset", numpy.ones(3)), "NOT_CALIBRATED", None, None, ""),
    ("restore", (b"TARN" * 8,), "INVALID_SAVED_STATE", None, None, ""),
    ("apply_hand_tracked", ("right", [1.5, 1.4], *TRACKED), "INVALID_ARGUMENT", None, None,
     "(frame 1 at 1.400 s is earlier than frame 0 at 1.500 s)"),
    ("apply_hand_tracked", ("right", [0.5, 2], *TRACKED), "INVALID_ARGUMENT", None, None,
     "(frame 0 at 0.500 s is earlier than the last frame this monitor saw, 1.000 s: a calibrator's monitor takes "
     "a session once)"),
    ("apply_hand_tracked", ("right", [2, math.inf], *TRACKED), "INVALID_ARGUMENT", None, None,
     "frame 1 has time inf"),
    ("apply_hand_tracked", ("left", [2, 3], *TRACKED), "NOT_CALIBRATED", None, None, ""),
    ("drift", ("left",), "NOT_CALIBRATED", None, None, ""),
] + [("set_drift_settings", ("right", dataclasses.replace(DRIFT, **change)), "INVALID_ARGUMENT", None, None, says)
     for change, says in (({"reference_row": 20}, "reference_row = 20"), ({"threshold_deg": math.nan}, "threshold_deg = nan"),
                          ({"threshold_deg": 286.0}, "threshold_deg = 286.0; in the C API threshold: radians"),
                          ({"still_speed_deg_per_s": 0}, "still_speed_deg_per_s = 0"),
                          ({"still_speed_deg_per_s": 721}, "still_speed_deg_per_s = 721"),
                          ({"window_s": 9.5}, "window_s = 9.5"), ({"hold_time_s": -1}, "hold_time_s = -1"),
                          ({"still_time_s": 3601}, "still_time_s = 3601"),
                          ({"compensate_within_deg": math.inf}, "compensate_within_deg = inf"),
                          ({"compensate": 2}, "compensate = 2"))]


@pytest.mark.parametrize("call, arguments, status, degeneracy, where, says", REFUSALS)
def test_refusals_raise_with_status_and_quality_and_change_nothing(call, arguments, status, degeneracy, where, says):
    with tarn.Calibrator() as calibrator:
        calibrator.calibrate_hand("right", IDENTITY, IDENTITY)
        calibrator.apply_hand_tracked("right", 1.0, TRACKED[0][0], TRACKED[1][0])
        state = lambda: (calibrator.save(), calibrator.drift_settings("right"), repr(calibrator.drift("right")))
        saved = state()
        with pytest.raises(tarn.CalibrationError, match=f"^{call}: TARN_{status}") as raised:
            getattr(calibrator, call)(*arguments)
        assert (raised.value.status.name, raised.value.status_name) == (status, f"TARN_{status}")
        assert says in str(raised.value)
        quality = raised.value.quality
        found = quality and (quality.degeneracy.name, quality.degenerate_input.name)
        assert found == (degeneracy and (degeneracy, where))
        assert state() == saved


C = math.sqrt(0.5)


@pytest.mark.parametrize("convention, identity, rotation", [  # +90 degrees about each convention's up axis
    ("library", IDENTITY, [C, 0, 0, C]), ("unity", [0, 0, 0, 1], [0, -C, 0, C]),
    ("openxr", [0, 0, 0, 1], [0, C, 0, C]), (tarn.Convention.UNREAL, [0, 0, 0, 1], [0, 0, -C, C])])
def test_saved_calibrations_restore_in_any_convention(convention, identity, rotation):
    with tarn.Calibrator(convention) as first, tarn.Calibrator() as second:
        first.calibrate_hand("right", identity, identity)
        numpy.testing.assert_allclose(first.hand_rotation("right"), rotation, atol=1e-16)
        second.restore(first.save())
        numpy.testing.assert_allclose(second.hand_rotation("right"), [C, 0, 0, C], atol=1e-16)
        assert second.save() == first.save()
        altered = bytearray(first.save())
        altered[len(altered) // 2] ^= 1
        with pytest.raises(tarn.CalibrationError, match="TARN_INVALID_SAVED_STATE"):
            second.restore(altered)


UNALIGNED = numpy.zeros(3, [("pad", "u1"), ("block", "f8", (20, 4))])["block"]  # a packed record's field


@pytest.mark.parametrize("call, error, says", [
    (lambda c: c.apply_hand("right", numpy.ones((3, 20, 4), numpy.float32), inplace=True), TypeError, "float64"),
    (lambda c: c.apply_hand("right", [IDENTITY] * 20, inplace=True), TypeError, "NumPy array"),
    (lambda c: c.apply_hand("right", numpy.ones((3, 20, 4))[::-1], inplace=True), ValueError, "in order"),
    (lambda c: c.apply_hand("right", numpy.ones((3, 4, 20)).transpose(0, 2, 1), inplace=True), ValueError, "packed"),
    (lambda c: c.apply_hand("right", numpy.broadcast_to(numpy.ones((20, 4)), (3, 20, 4)), inplace=True), ValueError,
     "read-only"),
    (lambda c: c.apply_hand("right", UNALIGNED, inplace=True), ValueError, "not aligned to 8 bytes"),
    (lambda c: c.apply_hand("right", numpy.ones((3, 20, 3))), ValueError, "shape (20, 4) for one frame"),
    (lambda c: c.apply_hand("right", numpy.ones((20, 4), complex)), ValueError, "complex numbers"),
    (lambda c: c.calibrate_hand("right", numpy.ones((2, 4)), IDENTITY), ValueError,
     "source must be one sample of shape (4,), got shape (2, 4)"),
    (lambda c: c.calibrate_hand("right", [1j, 0, 0, 0], IDENTITY), ValueError, "source holds complex numbers"),
    (lambda c: c.apply_device("headset", numpy.ones((3, 3)), numpy.ones((2, 4))), ValueError, "same number of frames"),
    (lambda c: c.apply_device("headset", numpy.ones(3), numpy.ones((1, 4))), ValueError, "same number of frames"),
    (lambda c: c.apply_device("glasses", numpy.ones(3)), ValueError, "unknown device"),
    (lambda c: c.apply_hand_tracked("right", [0, 1], numpy.ones((2, 20, 4)), numpy.ones((3, 4))), ValueError, "frames"),
    (lambda c: c.apply_hand_tracked("right", 0, numpy.ones((2, 20, 4)), numpy.ones((2, 4))), ValueError, "frames"),
    (lambda c: c.set_drift_settings("right", windw=30), TypeError, "windw"),
    (lambda c: (c.close(), c.save()), ValueError, "closed"),
])
def test_arrays_that_cannot_be_converted_raise_before_the_call(call, error, says):
    with tarn.Calibrator() as calibrator:
        calibrator.calibrate_hand("right", IDENTITY, IDENTITY)
        with pytest.raises(error) as raised:
            call(calibrator)
        assert says in str(raised.value)


# tarn-replay's options for the rules of reading, as read_session's keywords.
KEYWORDS = {"--allow-repeated-time": "allow_repeated_time", "--strict-columns": "strict_columns"}


def tool_runs():
    """tarn-replay's runs on session files it reads or refuses while reading."""
    runs = []
    for line in (ROOT / "tools/tarn-replay/tests/tool-runs.txt").read_text(encoding="utf-8").splitlines():
        key, _, value = line.partition(":")
        if key == "run":
            runs.append({"run": value.split(), "in": [], "exit": 0, "says": [], "out": []})
        elif runs and key in ("in", "says", "out"):
            runs[-1][key].append(value[1:])
        elif runs and key == "exit":
            runs[-1]["exit"] = int(value)
    return [run for run in runs if run["run"][:1] and run["run"][0].startswith("DIR")
            and all(option in KEYWORDS for option in run["run"][1:] if option.startswith("--"))
            and run["exit"] in (0, 3, 4, 5, 6, 8, 10, 11)]


@pytest.mark.parametrize("run", tool_runs(), ids=lambda run: " ".join(run["says"])[:60] or "reads")
def test_sessions_read_as_tarn_replay_reads_them(run, tmp_path):
    """The same code, the same message (the option named as the keyword),
    the same warnings."""
    (tmp_path / "in.csv").write_text("".join(line + "\n" for line in run["in"]), encoding="utf-8")
    path = re.sub(r"^DIR", str(tmp_path), run["run"][0])
    options = {KEYWORDS[option]: True for option in run["run"][1:] if option in KEYWORDS}
    if run["exit"]:
        with pytest.raises(tarn.SessionError) as raised:
            tarn.read_session(path, **options)
        says = [re.sub("--allow-repeated-time", "allow_repeated_time=True", text) for text in run["says"]]
        assert raised.value.code == run["exit"] and all(text in str(raised.value) for text in says)
        return
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        session = tarn.read_session(path, **options)
    warned = [text[len("warning: "):] for text in run["says"] if text.startswith("warning: ")]
    assert session.warnings == warned == [str(w.message) for w in caught if w.category is tarn.SessionWarning]
    for frame, column, value in (out.split() for out in run["out"]):
        if column == "time":  # the one column a replay leaves as it was
            assert bits(session.time[int(frame)]) == bits(numpy.float64(value))


@pytest.mark.parametrize("seed", range(6))
def test_random_sessions_read_back_bit_for_bit(seed, tmp_path):
    """Any column order, blocks present or not, CRLF, quoted and padded
    fields, blank lines: every value read is the one written, bit for bit,
    and what is written again reads back the same."""
    random = numpy.random.default_rng(seed)
    frames = 4
    session = tarn.Session(time=numpy.sort(random.uniform(-5, 5, frames)))
    for name, size in tarn.session.BLOCKS:
        if random.integers(2):
            values = random.choice([0.1, -0.0, 5e-324, 1e300, math.inf, math.nan], (frames, size)) * (
                random.integers(2, size=(frames, size)) + random.standard_normal((frames, size)))
            setattr(session, name, values.reshape(frames, 20, 4) if size == 80 else tarn.Pose(values[:, :3], values[:, 3:]))
    session.other = {"note": [f"n{k}" for k in range(frames)]}
    tarn.write_session(tmp_path / "plain.csv", session)
    lines = (tmp_path / "plain.csv").read_text().splitlines()
    order = random.permutation(len(lines[0].split(",")))
    text = ""
    for number, line in enumerate(lines):
        fields = [line.split(",")[k] for k in order]
        fields = [f' "{f}"\t' if random.integers(3) == 0 else f for f in fields]
        text += ",".join(fields) + ("\r\n" if seed % 2 else "\n") + (" \n" if number % 2 else "")
    (tmp_path / "shuffled.csv").write_text(text)
    read = tarn.read_session(tmp_path / "shuffled.csv")
    tarn.write_session(tmp_path / "again.csv", read)
    again = tarn.read_session(tmp_path / "again.csv")
    for got in (read, again):
        assert bits(got.time) == bits(session.time) and got.other == session.other
        for name, _ in tarn.session.BLOCKS:
            expected, actual = getattr(session, name), getattr(got, name)
            assert (expected is None) == (actual is None)
            if expected is not None:  # NaN read back as NaN, whatever its payload
                flat = lambda value: numpy.nan_to_num(numpy.hstack(value) if isinstance(value, tarn.Pose) else value, nan=7.0)
                assert bits(flat(expected)) == bits(flat(actual))


def test_sessions_write_and_read_back_bit_for_bit(tmp_path):
    sample = ROOT / "examples/sample-session.csv"
    tarn.write_session(tmp_path / "same.csv", tarn.read_session(sample))
    assert (tmp_path / "same.csv").read_bytes() == sample.read_bytes()
    values = numpy.array([0.1, -0.0, math.inf, 1e-310, 123456789.0, 1e22, math.nan])
    poses = tarn.Pose(numpy.tile(values[:3], (7, 1)), numpy.tile(values[3:], (7, 1)))
    times = numpy.arange(7) / 3
    tarn.write_session(tmp_path / "made.csv", time=times, headset=poses, other={"note": list("abc-d\"é")})
    read = tarn.read_session(tmp_path / "made.csv")
    assert read.columns == ["time"] + [f"headset_{e}" for e in ("px", "py", "pz", "qw", "qx", "qy", "qz")] + ["note"]
    assert [bits(a) for a in (read.time, *read.headset)] == [bits(a) for a in (times, *poses)]
    assert read.other == {"note": list("abc-d\"é")} and read.right_glove is None
    crlf = tmp_path / "crlf.csv"  # a byte-order mark, CRLF, blank lines
    crlf.write_bytes(b"\xef\xbb\xbf" + (tmp_path / "made.csv").read_bytes().replace(b"\n", b"\r\n \r\n"))
    again = tarn.read_session(crlf)
    assert bits((again.time, *again.headset)) == bits((read.time, *read.headset)) and again.other == read.other
    chunks = list(tarn.iter_session(crlf, frames=3))
    assert [len(chunk) for chunk in chunks] == [3, 3, 1]
    assert bits(numpy.concatenate([chunk.time for chunk in chunks])) == bits(read.time)
    assert sum((chunk.other["note"] for chunk in chunks), []) == read.other["note"]
    with pytest.raises(tarn.SessionError, match="cannot create") as raised:
        tarn.write_session(tmp_path / "missing" / "out.csv", read)
    assert raised.value.code == 7
    with pytest.raises(ValueError, match="would not read back as written"):
        tarn.write_session(tmp_path / "comma.csv", time=[0.0], other={"note": ["a,b"]})
