#!/usr/bin/env bash
# CI stage: the Python package as a user installs it. Builds the wheel
# offline with Debian's tools (CMake builds the three libraries it carries),
# installs it into a fresh virtual environment that sees Debian's NumPy,
# pytest and matplotlib, and runs the Python tests and the batch benchmark
# against the installed package from outside the source tree, with no
# variable pointing at a library.
#   TARN_PYTHON_CI_DIR  where the build, the wheel and the environment go
#                       (default build/python)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(realpath -m "${TARN_PYTHON_CI_DIR:-build/python}")
python=/usr/bin/python3  # Debian's interpreter, whose packages the stage uses
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} TARN_CMAKE_BUILD_DIR=$work/cmake
unset TARN_HAND_CALIBRATION_LIBRARY TARN_LIBRARY_DIR PYTHONPATH

rm -rf "$work/dist" "$work/venv" bindings/python/build bindings/python/*.egg-info
"$python" -m build --wheel --no-isolation --outdir "$work/dist" bindings/python
wheel=("$work"/dist/tarn_hand_calibration-*-py3-none-manylinux_2_35_x86_64.whl)
"$python" -m venv --system-site-packages "$work/venv"
"$work/venv/bin/pip" install --no-index --quiet "${wheel[@]}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
"$work/venv/bin/python" - "$work/venv" <<'PY'
import sys
import tarn_hand_calibration as tarn
from tarn_hand_calibration import _library
loaded = [_library.library()._name, _library.calibrator_library()._name, _library.session_library()._name]
assert all(path.startswith(sys.argv[1]) for path in [tarn.__file__] + loaded), (tarn.__file__, loaded)
print(f"installed tarn_hand_calibration {tarn.__version__}: {tarn.__file__}")
PY
MPLBACKEND=Agg PYTHONDONTWRITEBYTECODE=1 "$work/venv/bin/python" -m pytest -q -p no:cacheprovider "$root/bindings/python/tests"
"$work/venv/bin/python" "$root/bindings/python/benchmarks/batch_benchmark.py"
