"""Where the binding looks for the shared library."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

from tarn_hand_calibration import _library

PACKAGE = Path(_library.__file__).resolve().parent


def test_environment_variable_alone_is_searched(monkeypatch, tmp_path):
    monkeypatch.setenv(_library.ENVIRONMENT_VARIABLE, str(tmp_path))
    assert _library.candidates() == [str(tmp_path / _library.FILE_NAME)]
    monkeypatch.setenv(_library.ENVIRONMENT_VARIABLE, "/somewhere/libCustom.so")
    assert _library.candidates() == ["/somewhere/libCustom.so"]


def run_in_fresh_interpreter(code, python_path, **environment):
    env = {key: value for key, value in os.environ.items() if key != _library.ENVIRONMENT_VARIABLE}
    env.update(PYTHONPATH=str(python_path), **environment)
    return subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True, timeout=60)


def test_library_next_to_the_package_is_found(tmp_path):
    shutil.copytree(PACKAGE, tmp_path / PACKAGE.name, ignore=shutil.ignore_patterns("__pycache__"))
    shutil.copy(os.environ[_library.ENVIRONMENT_VARIABLE], tmp_path / _library.FILE_NAME)
    code = "import tarn_hand_calibration as t; print(t.native.InitialDoubleCalibration([1, 0, 0], [0, 0, 0]))"
    result = run_in_fresh_interpreter(code, tmp_path)
    assert result.returncode == 0, result.stderr
    assert result.stdout.strip() == "True"


def test_a_missing_library_is_reported_with_the_places_tried(tmp_path):
    code = "import tarn_hand_calibration as t; t.native.Close()"
    result = run_in_fresh_interpreter(code, PACKAGE.parent, **{_library.ENVIRONMENT_VARIABLE: str(tmp_path)})
    assert result.returncode != 0
    assert f"cannot load {_library.FILE_NAME}; set {_library.ENVIRONMENT_VARIABLE}" in result.stderr
    assert str(tmp_path / _library.FILE_NAME) in result.stderr
