#!/usr/bin/env python3
"""Plots the headings in a recorded session before and after calibration.

    plot_session.py SESSION.csv [-o headings.png] [--calibration-row N] [--hand-row R]

SESSION.csv is a session in the replay tool's layout (read_session): time,
either glove and the devices, each optional. The sample at
--calibration-row calibrates a Calibrator: each glove against its wrist
tracker (glove row --hand-row as the source) and the All-VR frame from the
devices present (the trackers decide when there are any). The whole session
is then converted in one call per glove and device, and the heading
(rotation about Z, degrees) of glove row --hand-row and of each device is
drawn over time, raw above and calibrated below, into a PNG.
"""

import argparse
from pathlib import Path

import matplotlib

matplotlib.use("Agg")  # files only, no display needed
import matplotlib.pyplot as plt  # noqa: E402
import numpy  # noqa: E402

import tarn_hand_calibration as tarn  # noqa: E402

GLOVES = {"right hand": ("right_glove", "right_tracker"), "left hand": ("left_glove", "left_tracker")}
DEVICES = {"right tracker": "right_tracker", "left tracker": "left_tracker", "headset": "headset"}


def heading_degrees(quaternions):
    """Rotation about Z (Z-Y-X order) of [w, x, y, z] rows, unwrapped, degrees."""
    w, x, y, z = numpy.moveaxis(numpy.asarray(quaternions), -1, 0)
    return numpy.degrees(numpy.unwrap(numpy.arctan2(2 * (w * z + x * y), 1 - 2 * (y * y + z * z))))


def calibrated_headings(session, sample, hand_row):
    """Heading of each glove's row and each device after calibrating at
    `sample`; gloves or devices whose calibration is refused are left out."""
    result = {}
    with tarn.Calibrator() as calibrator:
        for hand, (glove, tracker) in GLOVES.items():
            blocks, poses = getattr(session, glove), getattr(session, tracker)
            if blocks is not None and poses is not None:
                try:
                    calibrator.calibrate_hand(hand.split()[0], blocks[sample, hand_row], poses.quaternion[sample])
                except tarn.CalibrationError as refused:
                    print(f"{hand} not calibrated: {refused}")
                    continue
                result[hand] = heading_degrees(calibrator.apply_hand(hand.split()[0], blocks)[:, hand_row])
        present = {device: poses for device, name in DEVICES.items() if (poses := getattr(session, name)) is not None}
        try:
            calibrator.calibrate_all_vr(*(None if getattr(session, name) is None else
                                          tarn.Pose(*(values[sample] for values in getattr(session, name)))
                                          for name in DEVICES.values()))
        except tarn.CalibrationError as refused:
            print(f"devices not calibrated: {refused}")
            return result
        for device, poses in present.items():
            result[device] = heading_degrees(calibrator.apply_device(DEVICES[device], *poses).quaternion)
    return result


def raw_headings(session, hand_row):
    result = {hand: heading_degrees(getattr(session, glove)[:, hand_row])
              for hand, (glove, _) in GLOVES.items() if getattr(session, glove) is not None}
    result.update({device: heading_degrees(getattr(session, name).quaternion)
                   for device, name in DEVICES.items() if getattr(session, name) is not None})
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

    session = tarn.read_session(options.session)
    if not 0 <= options.calibration_row < len(session):
        parser.error(f"--calibration-row must be below {len(session)}, the number of samples")
    plot(session.time, raw_headings(session, options.hand_row),
         calibrated_headings(session, options.calibration_row, options.hand_row),
         f"{options.session.name}: headings, calibrated at t = {session.time[options.calibration_row]:g} s",
         options.output)
    print(f"wrote {options.output}")


if __name__ == "__main__":
    main()
