"""The plot_session.py example: calibration wiring and the PNG it writes."""

import csv
import importlib.util
from pathlib import Path

import numpy
import pytest

from samples import IDENTITY, assert_near, heading

EXAMPLE = Path(__file__).resolve().parents[1] / "examples" / "plot_session.py"
BUNDLED_SAMPLE = Path(__file__).resolve().parents[3] / "examples" / "sample-session.csv"
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


@pytest.fixture(scope="module")
def plot_session():
    module_spec = importlib.util.spec_from_file_location("plot_session", EXAMPLE)
    module = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(module)
    return module


def write_session(path, glove_degrees):
    """Gloves turning through `glove_degrees`; trackers 1 apart along x
    turned 10 degrees; headset level. All columns of the replay layout, a
    text column, a byte-order mark and a blank line, as recorders write them."""
    header = ["time", "note"]
    header += [f"{g}_{row}_{c}" for g in ("rglove", "lglove") for row in range(20) for c in "wxyz"]
    pose = ("px", "py", "pz", "qw", "qx", "qy", "qz")
    header += [f"{d}_{e}" for d in ("rtracker", "ltracker", "headset") for e in pose]
    with open(path, "w", newline="", encoding="utf-8-sig") as stream:
        writer = csv.writer(stream)
        writer.writerow(header)
        for i, degrees in enumerate(glove_degrees):
            glove = heading(degrees) * 20
            devices = [1, 0, 1] + heading(10) + [0, 0, 1] + heading(10) + [0.5, 0, 1.7] + IDENTITY
            writer.writerow([0.1 * i, "pose, held"] + glove + glove + devices)
        stream.write("\r\n")


def test_headings_after_calibration(plot_session, tmp_path):
    session_file = tmp_path / "session.csv"
    write_session(session_file, [30, 40, 60])
    session = plot_session.read_session(session_file)
    gloves = {hand: plot_session.glove_blocks(session, prefix) for hand, prefix in plot_session.GLOVES.items()}
    devices = {device: plot_session.device_poses(session, prefix) for device, prefix in plot_session.DEVICES.items()}
    plot_session.calibrate(gloves, devices, sample=0, hand_row=0)
    after = plot_session.calibrated_headings(gloves, devices, hand_row=0)
    assert_near(after["right hand"], [100, 110, 130])  # tracker + 90, then following the glove
    assert_near(after["left hand"], [-80, -70, -50])
    assert_near(after["right tracker"], [0, 0, 0])  # heading at calibration taken out
    assert_near(after["headset"], [0, 0, 0])


def test_headings_near_each_other_differ_by_less_than_half_a_turn(plot_session):
    moved = plot_session.near_each_other({"a": numpy.array([179.0]), "b": numpy.array([-179.0, -170.0])})
    assert_near(moved["b"], [181.0, 190.0])


@pytest.mark.parametrize("make_session", ["synthesised", "bundled"])
def test_writes_a_png(plot_session, tmp_path, make_session, capsys):
    if make_session == "bundled":
        if not BUNDLED_SAMPLE.exists():
            pytest.skip("no bundled sample session")
        session_file = BUNDLED_SAMPLE
    else:
        session_file = tmp_path / "session.csv"
        write_session(session_file, range(0, 90, 10))
    output = tmp_path / "headings.png"
    plot_session.main([str(session_file), "-o", str(output), "--calibration-row", "1"])
    assert output.read_bytes()[:8] == PNG_SIGNATURE
    assert capsys.readouterr().out.strip() == f"wrote {output}"
