#!/usr/bin/env python3
"""read_session and write_session beside tarn-replay on the same file.

    session_benchmark.py BUILD_DIR [--frames 84000] [--runs 3]

Generates a session of the given frames (84000: about 210 MB) with the
build's tarn-session-generator, then, alternating, times `tarn-replay
SESSION -o /dev/null`, read_session and write_session (each in a fresh
process, so that its peak memory is its own) and prints the medians, the
ratio of read_session to tarn-replay (goal: 1.5 at most) and the peak
memory of reading against the arrays read (goal: 1.5 times the arrays plus
100 MB at most). A measurement for docs/performance.md, not a pass or fail.
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

CHILD = """
import resource, sys, time
import tarn_hand_calibration as tarn
start = time.perf_counter()
session = tarn.read_session(sys.argv[1])
read = time.perf_counter() - start
arrays = session.time.nbytes + sum(getattr(session, name).nbytes for name in ("right_glove", "left_glove")
                                   if getattr(session, name) is not None)
arrays += sum(p.position.nbytes + p.quaternion.nbytes for p in (session.right_tracker, session.left_tracker,
                                                               session.headset) if p is not None)
peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024
start = time.perf_counter()
tarn.write_session(sys.argv[2], session)
print(read, time.perf_counter() - start, arrays, peak)
"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--frames", type=int, default=84000)
    parser.add_argument("--runs", type=int, default=3)
    a = parser.parse_args()
    tools = os.path.join(a.build, "tools", "tarn-replay")
    environment = dict(os.environ, TARN_HAND_CALIBRATION_LIBRARY=os.path.abspath(a.build),
                       PYTHONPATH=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    with tempfile.TemporaryDirectory() as directory:
        subprocess.run([os.path.join(tools, "tarn-session-generator"), "--dir", directory, "--frames", str(a.frames)],
                       check=True, stdout=subprocess.DEVNULL)
        session = os.path.join(directory, "sample-session.csv")
        written = os.path.join(directory, "written.csv")
        replay, reads, writes = [], [], []
        for _ in range(a.runs):
            start = time.perf_counter()
            subprocess.run([os.path.join(tools, "tarn-replay"), session, "-o", os.devnull], check=True,
                           stderr=subprocess.DEVNULL)
            replay.append(time.perf_counter() - start)
            out = subprocess.run([sys.executable, "-c", CHILD, session, written], check=True, env=environment,
                                 capture_output=True, text=True).stdout.split()
            reads.append(float(out[0]))
            writes.append(float(out[1]))
            arrays, peak = int(out[2]), int(out[3])
        megabytes = os.path.getsize(session) / 1e6
        r, p, w = statistics.median(replay), statistics.median(reads), statistics.median(writes)
        print(f"session: {megabytes:.0f} MB, {a.frames} frames; median of {a.runs} runs")
        print(f"  tarn-replay    {r:6.2f} s")
        print(f"  read_session   {p:6.2f} s  ({p / r:.2f} times tarn-replay)")
        print(f"  write_session  {w:6.2f} s")
        print(f"  peak memory reading {peak / 2**20:.0f} MiB for {arrays / 2**20:.0f} MiB of arrays "
              f"(limit {1.5 * arrays / 2**20 + 100:.0f} MiB)")


if __name__ == "__main__":
    main()
