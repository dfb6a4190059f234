#!/usr/bin/env python3
"""A whole session through the Python batch API against the same batch
called from C, side by side in one process.

    batch_benchmark.py [--frames 100000] [--repeats 15]

Both sides convert the same session (both hands, (N, 20, 4) each, and the
three devices, (N, 3) positions and (N, 4) quaternions, as read_session
gives them) in place, with the same calibrator: Python through
Calibrator.apply_hand and apply_device, timed around the five method calls;
C through batch_timing.c, compiled here with cc against the very
libTarnCalibrator the package loaded, timed inside C around the same five
library calls. Every repeat starts both from fresh copies of the session
(copies not timed) and alternates which side goes first; the two results
must be bit-identical (exits 1 when they are not). Prints the medians and
their ratio against the goal of 1.2; a measurement, never a pass or fail on
a shared machine.
"""

import argparse
import ctypes
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy

import tarn_hand_calibration as tarn
from tarn_hand_calibration import _library

HERE = Path(__file__).resolve().parent


def c_timing(library_path, folder):
    """The C timing function, built against the library the package loaded
    (the process already holds it, so the helper binds to that copy)."""
    output = Path(folder) / "libbatch_timing.so"
    subprocess.run(["cc", "-O2", "-shared", "-fPIC", f"-I{HERE.parents[2] / 'include'}", str(HERE / "batch_timing.c"),
                    library_path, "-o", str(output)], check=True)
    function = ctypes.CDLL(str(output)).tarn_time_session_batch
    function.restype = ctypes.c_double
    function.argtypes = [ctypes.c_void_p] * 3 + [ctypes.c_void_p * 3] * 2 + [ctypes.c_size_t]
    return function


def session(frames, rng):
    unit = lambda *shape: (lambda q: q / numpy.linalg.norm(q, axis=-1, keepdims=True))(rng.normal(size=shape + (4,)))
    return [unit(frames, 20), unit(frames, 20)] + [rng.uniform(-2, 2, (frames, 3)) for _ in range(3)] + [
        unit(frames) for _ in range(3)]


def python_side(calibrator, arrays):
    right, left, *poses = arrays
    start = time.perf_counter()
    calibrator.apply_hand("right", right, inplace=True)
    calibrator.apply_hand("left", left, inplace=True)
    for device in range(3):
        calibrator.apply_device(device, poses[device], poses[3 + device], inplace=True)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--frames", type=int, default=100000)
    parser.add_argument("--repeats", type=int, default=15)
    options = parser.parse_args()

    rng = numpy.random.default_rng(2024)
    data = session(options.frames, rng)
    calibrator = tarn.Calibrator()
    calibrator.calibrate_hand("right", [0.8, 0.1, -0.2, 0.55], [0.6, -0.3, 0.1, -0.73])
    calibrator.calibrate_hand("left", [0.8, 0.1, -0.2, 0.55], [0.6, -0.3, 0.1, -0.73])
    calibrator.calibrate_all_vr(([0.32, 0.15, 1.1], [0.9, 0.05, 0.1, 0.4]),
                                ([-0.25, 0.1, 1.08], [0.85, -0.1, 0.05, -0.5]),
                                ([0.03, 0.2, 1.7], [0.95, 0.02, -0.03, 0.3]))
    with tempfile.TemporaryDirectory() as folder:
        timing = c_timing(_library.calibrator_library()._name, folder)

        def c_side(arrays):
            right, left, *poses = arrays
            seconds = timing(calibrator._handle, right.ctypes.data, left.ctypes.data,
                             (ctypes.c_void_p * 3)(*(a.ctypes.data for a in poses[:3])),
                             (ctypes.c_void_p * 3)(*(a.ctypes.data for a in poses[3:])), options.frames)
            if seconds < 0:
                sys.exit("the C batch was refused")
            return seconds

        times = {"C": [], "Python": []}
        for repeat in range(options.repeats):
            results = {}
            for side in (("C", "Python") if repeat % 2 == 0 else ("Python", "C")):
                arrays = [array.copy() for array in data]
                times[side].append(c_side(arrays) if side == "C" else python_side(calibrator, arrays))
                results[side] = arrays
            if any(c.tobytes() != p.tobytes() for c, p in zip(results["C"], results["Python"])):
                sys.exit("the Python and C batches gave different bits")
    copy_start = time.perf_counter()
    calibrator.apply_hand("right", data[0]), calibrator.apply_hand("left", data[1])
    for device in range(3):
        calibrator.apply_device(device, data[2 + device], data[5 + device])
    new_arrays = time.perf_counter() - copy_start

    c, python = statistics.median(times["C"]), statistics.median(times["Python"])
    print(f"{options.frames} frames, both hands and three devices, in place; medians of {options.repeats} repeats")
    print(f"  C       {1e3 * c:8.2f} ms (fastest {1e3 * min(times['C']):.2f} ms)")
    print(f"  Python  {1e3 * python:8.2f} ms (fastest {1e3 * min(times['Python']):.2f} ms)")
    print(f"  ratio   {python / c:8.3f} (goal: at most 1.2)")
    print(f"  Python into new arrays, once: {1e3 * new_arrays:.2f} ms (copying the session included)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
