#!/usr/bin/env python3
"""Plots the headings in a recorded session before and after calibration.

    plot_session.py SESSION.csv [-o headings.png] [--calibration-row N] [--hand-row R]

SESSION.csv is a session in the replay tool's layout: a "time" column (s),
the gloves' "rglove_<row>_<w|x|y|z>" and "lglove_..." columns (rows 0-19) and
the devices' "<rtracker|ltracker|headset>_<px|py|pz|qw|qx|qy|qz>" columns, in
any order; any of the gloves and devices may be missing, other columns are
ignored. The sample at
--calibration-row calibrates, through the Python binding, each glove
against its wrist tracker (glove row --hand-row as the source) and the
All-VR frame from the devices present. Every sample is then run through the
calibration, and the heading (rotation about Z, degrees) of glove row
--hand-row and of each device is drawn over time, raw above and calibrated
below, into a PNG.
"""

import argparse
import csv
import sys
from pathlib import Path

import matplotlib

matplotlib.use("Agg")  # files only, no display needed
import matplotlib.pyplot as plt  # noqa: E402
import numpy  # noqa: E402

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))  # the package beside this folder
import tarn_hand_calibration as tarn  # noqa: E402

GLOVES = {"right hand": "rglove", "left hand": "lglove"}
DEVICES = {"right tracker": "rtracker", "left tracker": "ltracker", "headset": "headset"}


def read_session(path):
    """The time, glove and device columns of the CSV file as {name: float
    array}. Other columns, blank lines and a byte-order mark are ignored."""
    with open(path, newline="", encoding="utf-8-sig") as stream:
        rows = [row for row in csv.reader(stream) if row]
    header = [name.strip() for name in rows[0]]
    prefixes = set(GLOVES.values()) | set(DEVICES.values())
    wanted = [i for i, name in enumerate(header) if name == "time" or name.split("_")[0] in prefixes]
    return {header[i]: numpy.array([float(row[i]) for row in rows[1:]]) for i in wanted}


def glove_blocks(session, prefix):
    """(samples, 20, 4) hand blocks, or None when the glove is missing."""
    names = [f"{prefix}_{row}_{c}" for row in range(20) for c in "wxyz"]
    if not all(name in session for name in names):
        return None
    return numpy.stack([session[name] for name in names], axis=1).reshape(-1, 20, 4)


def device_poses(session, prefix):
    """(positions (samples, 3), quaternions (samples, 4)), or None."""
    names = [f"{prefix}_{e}" for e in ("px", "py", "pz", "qw", "qx", "qy", "qz")]
    if not all(name in session for name in names):
        return None
    values = numpy.stack([session[name] for name in names], axis=1)
    return values[:, :3], values[:, 3:]


def heading_degrees(quaternions):
    """Rotation about Z (Z-Y-X order) of [w, x, y, z] rows, unwrapped, degrees."""
    w, x, y, z = numpy.moveaxis(numpy.asarray(quaternions), -1, 0)
    return numpy.degrees(numpy.unwrap(numpy.arctan2(2 * (w * z + x * y), 1 - 2 * (y * y + z * z))))


def calibrate(gloves, devices, sample, hand_row):
    """Calibrates from one sample: each glove against its wrist tracker, and
    the All-VR frame from the trackers (their line) or else the headset."""
    for hand, tracker, calibrate_hand in (
        ("right hand", "right tracker", tarn.calibrate_right_hand),
        ("left hand", "left tracker", tarn.calibrate_left_hand),
    ):
        if gloves.get(hand) is not None and devices.get(tracker) is not None:
            calibrate_hand(gloves[hand][sample, hand_row], devices[tracker][1][sample])

    def tracker(name, other):
        if devices.get(name) is None:
            return None
        position, quaternion = devices[name][0][sample], devices[name][1][sample]
        # Alone, a tracker looks forward along its own +y axis.
        forward = quaternion_rotate(quaternion, [0.0, 1.0, 0.0])
        return tarn.Tracker(position, quaternion, second_position=position - forward,
                            second_quaternion=quaternion if devices.get(other) is not None else None)

    headset = devices.get("headset")
    tarn.calibrate_all_vr(
        right=tracker("right tracker", "left tracker"),
        left=tracker("left tracker", "right tracker"),
        headset=None if headset is None else tarn.Pose(headset[0][sample], headset[1][sample]),
    )


def quaternion_rotate(q, v):
    """v turned by the unit quaternion q = [w, x, y, z]."""
    w, u = q[0], numpy.asarray(q[1:])
    t = 2 * numpy.cross(u, v)
    return numpy.asarray(v) + w * t + numpy.cross(u, t)


def calibrated_headings(gloves, devices, hand_row):
    """Heading of each glove's row and each device after calibration."""
    apply = {"right hand": tarn.apply_right_hand, "left hand": tarn.apply_left_hand}
    convert = {"right tracker": tarn.right_tracker_pose, "left tracker": tarn.left_tracker_pose,
               "headset": tarn.headset_pose}
    result = {}
    for hand, blocks in gloves.items():
        if blocks is not None:
            result[hand] = heading_degrees([apply[hand](block)[hand_row] for block in blocks])
    for device, poses in devices.items():
        if poses is not None:
            result[device] = heading_degrees([convert[device](p, q).quaternion for p, q in zip(*poses)])
    return result


def raw_headings(gloves, devices, hand_row):
    result = {hand: heading_degrees(blocks[:, hand_row]) for hand, blocks in gloves.items() if blocks is not None}
    result.update({device: heading_degrees(poses[1]) for device, poses in devices.items() if poses is not None})
    return result


def near_each_other(headings):
    """The same headings, each series moved by whole turns so that it starts
    within half a turn of the first series: headings of 179 and -179
    degrees are drawn 2 degrees apart, not 358."""
    series = list(headings.values())
    if not series:
        return headings
    reference = series[0][0]
    return {name: values + 360 * numpy.round((reference - values[0]) / 360) for name, values in headings.items()}


def plot(time, before, after, title, output):
    figure, (top, bottom) = plt.subplots(2, 1, sharex=True, figsize=(9, 6), constrained_layout=True)
    for axes, headings, label in ((top, before, "raw (tracking space)"), (bottom, after, "calibrated")):
        for name, values in near_each_other(headings).items():
            axes.plot(time, values, label=name, linestyle="--" if "hand" in name else "-")
        axes.set_title(label)
        axes.set_ylabel("heading (degrees)")
        axes.grid(True, alpha=0.3)
    top.legend(loc="best", fontsize="small")
    bottom.set_xlabel("time (s)")
    figure.suptitle(title)
    figure.savefig(output, dpi=100)
    plt.close(figure)


def main(arguments=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("session", type=Path, help="session CSV file")
    parser.add_argument("-o", "--output", type=Path, default=Path("headings.png"), help="PNG to write")
    parser.add_argument("--calibration-row", type=int, default=0, help="sample that calibrates (0 = first)")
    parser.add_argument("--hand-row", type=int, default=0, choices=range(20), metavar="0-19",
                        help="glove quaternion to calibrate from and to plot")
    options = parser.parse_args(arguments)

    session = read_session(options.session)
    gloves = {hand: glove_blocks(session, prefix) for hand, prefix in GLOVES.items()}
    devices = {device: device_poses(session, prefix) for device, prefix in DEVICES.items()}
    if not 0 <= options.calibration_row < len(session["time"]):
        parser.error(f"--calibration-row must be below {len(session['time'])}, the number of samples")

    calibrate(gloves, devices, options.calibration_row, options.hand_row)
    plot(session["time"], raw_headings(gloves, devices, options.hand_row),
         calibrated_headings(gloves, devices, options.hand_row),
         f"{options.session.name}: headings, calibrated at t = {session['time'][options.calibration_row]:g} s",
         options.output)
    print(f"wrote {options.output}")


if __name__ == "__main__":
    main()
