#!/usr/bin/env python3
"""Times tarn-replay on a generated session next to `wc -l` on the same file.

usage: tools/bench-replay.py [BUILD_DIR] [--frames N] [--runs R]

Generates a session of N frames (default 22000, about 55 MB) with
tarn-session-generator, then runs `tarn-replay SESSION -o /dev/null` and
`wc -l SESSION` R times each, alternating, and prints the median wall time,
MB/s and frames/s of each and their ratio; then the peak memory of
tarn-replay on that session and on one ten times longer (memory must stay
flat as the file grows). Figures go to docs/performance.md.
"""
import argparse, os, statistics, subprocess, sys, tempfile, time


def timed(command):
    """Wall seconds and peak resident kilobytes of one run of `command`."""
    start = time.perf_counter()
    with open(os.devnull, "wb") as null:
        process = subprocess.Popen(command, stdout=null, stderr=null)
        _, status, usage = os.wait4(process.pid, 0)
    if status != 0:
        sys.exit(f"{command[0]} failed with status {status}")
    return time.perf_counter() - start, usage.ru_maxrss


def generate(generator, directory, frames):
    subprocess.run([generator, "--dir", directory, "--frames", str(frames)], check=True)
    return os.path.join(directory, "sample-session.csv")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build/release")
    parser.add_argument("--frames", type=int, default=22000)
    parser.add_argument("--runs", type=int, default=5)
    a = parser.parse_args()
    tools = os.path.join(a.build, "tools", "tarn-replay")
    replay, generator = os.path.join(tools, "tarn-replay"), os.path.join(tools, "tarn-session-generator")
    with tempfile.TemporaryDirectory() as directory:
        session = generate(generator, directory, a.frames)
        megabytes = os.path.getsize(session) / 1e6
        times = {"tarn-replay": [], "wc -l": []}
        for _ in range(a.runs):
            times["tarn-replay"].append(timed([replay, session, "-o", os.devnull])[0])
            times["wc -l"].append(timed(["wc", "-l", session])[0])
        print(f"session: {megabytes:.1f} MB, {a.frames} frames; median of {a.runs} runs")
        medians = {name: statistics.median(t) for name, t in times.items()}
        for name, seconds in medians.items():
            print(f"  {name:12} {seconds:7.3f} s  {megabytes / seconds:8.1f} MB/s  {a.frames / seconds:10.0f} frames/s")
        print(f"  tarn-replay takes {medians['tarn-replay'] / medians['wc -l']:.1f} times as long as wc -l")
        small = timed([replay, session, "-o", os.devnull])[1]
        os.remove(session)
        large = generate(generator, directory, 10 * a.frames)
        big = timed([replay, large, "-o", os.devnull])[1]
        print(f"  peak memory: {small / 1024:.1f} MiB at {megabytes:.0f} MB, "
              f"{big / 1024:.1f} MiB at {os.path.getsize(large) / 1e6:.0f} MB")


if __name__ == "__main__":
    main()
