"""The Python binding against the native library: reference call sequences
replayed through it, shape checks, version, README snippet and example."""

import _ctypes
import ctypes
import inspect
import json
import os
import re
import subprocess
import sys
import types
from pathlib import Path

import numpy
import pytest

import tarn_hand_calibration
from tarn_hand_calibration import _arrays, _library, calibrator, native

ROOT = Path(__file__).resolve().parents[3]
SEQUENCES = [json.loads(line) for line in (ROOT / "tests/data/exports.jsonl").read_text().splitlines()]


def doubles(hex_words):
    return numpy.array([int(word, 16) for word in hex_words], dtype=numpy.uint64).view(numpy.float64)


def bits(values):  # the bytes of the doubles, all NaNs made alike
    return numpy.where(numpy.isnan(values), numpy.nan, values).tobytes()


@pytest.mark.parametrize("sequence", SEQUENCES, ids=lambda sequence: str(sequence["sequence"]))
def test_reference_sequence(sequence, monkeypatch):
    # Unloading gives the next call the state at load; several sequences
    # read that state first, so a reload that kept it would fail them.
    _ctypes.dlclose(_library.library()._handle)
    _library.library.cache_clear()
    lists = sequence["sequence"] % 2 == 1  # odd sequences take the NumPy-free path
    if lists:
        monkeypatch.setattr(_arrays, "numpy", None)
    for number, call in enumerate(sequence["calls"]):
        name, args, after = call["export"], call["args"], call["after"]
        if name == "GetAllVRCalibrationData":  # the binding passes the two spare pointers itself
            del args[5], args[2], after[5], after[2]
        args = [doubles(arg).tolist() if isinstance(arg, list) else arg for arg in args]
        if name.startswith("GetAll"):  # NULL poses cannot be passed: read from zeros, left unchecked
            args = [[0.0] * (3 + i % 2) if arg is None else arg for i, arg in enumerate(args)]
        result = getattr(native, name)(*args)
        where = f"call {number}, {name}"
        if call["return"] is not None:
            assert result is call["return"], where
        for output, expected in zip(result if isinstance(result, tuple) else [result], after):
            if expected is not None:
                expected, actual = doubles(expected), numpy.asarray(output, dtype=numpy.float64)
                assert type(output) is (list if lists else numpy.ndarray), where
                assert actual.shape == ((20, 4) if len(expected) == 80 else expected.shape), where
                assert bits(actual.ravel()) == bits(expected), f"{where}: {actual.ravel()} != {expected}"


def valid(parameter):
    """A well-shaped argument for the parameter of `native` so named."""
    if parameter.endswith("On") or parameter == "replaceOrigin":
        return True
    return [0.0] * 3 if "pos" in parameter.lower() else [1.0, 0, 0, 0] * (20 if "hand" in parameter.lower() else 1)


PARAMETERS = {name: list(inspect.signature(getattr(native, name)).parameters) for name in _library._PROTOTYPES}
WRONG = [(name, parameter, wrong) for name, parameters in PARAMETERS.items() for parameter in parameters
         for wrong in ("long", None) if valid(parameter) is not True and (wrong or not parameter.endswith("Quat2"))]


@pytest.mark.parametrize("with_numpy", [True, False])
@pytest.mark.parametrize("name, parameter, wrong", WRONG + [
    ("GetCalculationDataLHand", "handData", numpy.zeros((4, 20))), ("InitialRHand", "source", [[1, 0], [0]])])
def test_wrong_inputs_raise_before_the_call(monkeypatch, with_numpy, name, parameter, wrong):
    exports = types.SimpleNamespace(**dict.fromkeys(_library._PROTOTYPES))  # calling one raises TypeError
    monkeypatch.setattr(native, "library", lambda: exports)
    if not with_numpy:
        monkeypatch.setattr(_arrays, "numpy", None)
    args = {each: valid(each) for each in PARAMETERS[name]}
    args[parameter] = args[parameter] + [0.0] if isinstance(wrong, str) else wrong
    with pytest.raises(ValueError, match=f"^{parameter} "):
        getattr(native, name)(**args)


def test_version_is_the_projects_and_the_librarys():
    version = re.search(r"project\(\S+ VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text()).group(1)
    assert tarn_hand_calibration.__version__ == tarn_hand_calibration.library_version() == version


def test_readme_snippet_and_example(capsys, tmp_path, monkeypatch):
    example = [sys.executable, ROOT / "bindings/python/examples/plot_session.py", ROOT / "examples/sample-session.csv"]
    subprocess.run(example + ["-o", tmp_path / "h.png"], check=True, capture_output=True, timeout=120)
    assert (tmp_path / "h.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    snippet = re.search(r"```python\n(.*?)```", (ROOT / "README.md").read_text(encoding="utf-8"), re.DOTALL)
    (tmp_path / "examples").symlink_to(ROOT / "examples")  # the snippet runs in a fresh clone's root
    monkeypatch.chdir(tmp_path)
    exec(compile(snippet.group(1), "README.md (python snippet)", "exec"), {})
    assert capsys.readouterr().out.strip() == "glove tilt 10.0 deg, error 1e-10"
    assert (tmp_path / "calibrated.csv").is_file()


@pytest.mark.skipif("TARN_HEADER_LAYOUT" not in os.environ, reason="no header layout from the build (TARN_HEADER_LAYOUT)")
def test_structs_enums_and_constants_are_the_headers():
    """What the package restates of TarnCalibrator.h, against the C
    compiler's layout of it (tests/bindings/HeaderLayout.c)."""
    structs = {"tarn_quality": _library.Quality, "tarn_all_vr_input": _library.AllVRInput,
               "tarn_drift_settings": _library.DriftSettings, "tarn_drift_report": _library.DriftReport,
               "tarn_drift_event": _library.DriftEvent, "tarn_tracked_hand_frames": _library.TrackedHandFrames,
               "tarn_motion_frames": _library.MotionFrames, "tarn_motion_result": _library.MotionResult}
    enums = {"tarn_status": calibrator.Status, "tarn_convention": calibrator.Convention, "tarn_hand": calibrator.Hand,
             "tarn_device": calibrator.Device, "tarn_degeneracy": calibrator.Degeneracy, "tarn_input": calibrator.Input,
             "tarn_drift_event_kind": calibrator.DriftEventKind, "tarn_motion_verdict": tarn_hand_calibration.MotionVerdict}
    constants = {"TARN_DRIFT_KEPT_EVENTS": calibrator.KEPT_DRIFT_EVENTS,
                 "TARN_LARGEST_QUATERNION_COMPONENT": _library.LARGEST_QUATERNION_COMPONENT,
                 "TARN_LARGEST_POSITION": _library.LARGEST_POSITION}
    named = {name: set() for name in enums}
    for kind, *fact in (line.split() for line in Path(os.environ["TARN_HEADER_LAYOUT"]).read_text().splitlines()):
        if kind == "size":
            assert ctypes.sizeof(structs[fact[0]]) == int(fact[1]), fact
        elif kind == "offset":
            assert getattr(structs[fact[0]], fact[1]).offset == int(fact[2]), fact
        elif kind == "enum":
            assert enums[fact[0]][fact[1]] == int(fact[2]), fact
            named[fact[0]].add(fact[1])
        else:
            assert constants[fact[0]] == float(fact[1]), fact
    for name, members in named.items():
        assert members == set(enums[name].__members__), name
