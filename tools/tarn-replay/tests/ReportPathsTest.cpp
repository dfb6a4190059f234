// Refused, skipped and degenerate calibrations and how the report shows them.
#include <gtest/gtest.h>

#include <cmath>

#include "SessionText.h"
#include "ToolRun.h"

namespace {

void expectInReport(const ToolResult& run, const std::string& text)
{
    EXPECT_NE(run.err.find(text), std::string::npos) << "missing \"" << text << "\" in:\n" << run.err;
}

TEST(ReportPaths, TrackersTooCloseRefuseBothHandFramesAndLeaveTheDevicesAlone)
{
    TempDir dir;
    const std::string session = dir.write(
        "in.csv", "time," + poseHeader("rtracker") + "," + poseHeader("ltracker") +
                      "\n0,1.0005,2.0009,1.0,1,0,0,0,1.0,2.0,1.5,0.5,0.5,0.5,0.5\n"
                      "0.5,3,4,1,0.7,0,0,0.7,-1,2,1,1,0,0,0\n");
    const ToolResult run = runReplay({session, "-o", dir.file("out.csv")}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    expectInReport(run, "both hands  refused: hands too close horizontally");
    expectInReport(run, "All-VR      covers none");
    expectInReport(run, "trackers too close horizontally (within 0.001 along both x and y): neither is calibrated");
    expectInReport(run, "right hand  skipped: no right glove columns");
    expectInReport(run, "hands' horizontal separation 0.0010 (dx +0.0005, dy +0.0009");
    EXPECT_EQ(readNumericCsv(dir.file("out.csv")).rows, readNumericCsv(session).rows);
}

TEST(ReportPaths, AGloveWithoutItsTrackerIsCopiedAndALoneTrackerDecidesTheFrame)
{
    TempDir dir;
    const std::string turned = "0.70710678118654757,0,0,0.70710678118654757";
    const std::string session = dir.write(
        "in.csv", "time," + gloveHeader("rglove") + "," + gloveHeader("lglove") + "," + poseHeader("ltracker") +
                      "\n0," + gloveValues(turned, "1,0,0,0") + "," + gloveValues(turned, "1,0,0,0") +
                      ",5,6,1,1,0,0,0\n");
    const ToolResult run = runReplay({session, "-o", dir.file("out.csv")}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    expectInReport(run, "right hand  skipped: no right tracker to take the target heading from");
    expectInReport(run, "left hand   calibrated: source left glove row 0, target left tracker; heading offset +180.000 deg");
    expectInReport(run, "both hands  skipped: needs both wrist trackers");
    expectInReport(run, "All-VR      covers left tracker");
    expectInReport(run, "frame decided by left tracker forward");
    // Origin 0.2 to the right of the lone left tracker, which faces +y.
    expectInReport(run, "frame heading +0.000 deg, origin (5.2000, 6.0000, 0.0000)");

    const NumericCsv in = readNumericCsv(session);
    const NumericCsv out = readNumericCsv(dir.file("out.csv"));
    EXPECT_EQ(out.rows[0][out.column("rglove_0_z")], in.rows[0][in.column("rglove_0_z")]);
    EXPECT_NEAR(out.rows[0][out.column("lglove_1_z")], -1.0, 1e-15);
    EXPECT_NEAR(out.rows[0][out.column("ltracker_px")], -0.2, 1e-15);
}

TEST(ReportPaths, DegenerateInputsAreNamedWithTheirLines)
{
    TempDir dir;
    const std::string pitched = "0.70821,0,0.70600,0";  // about y by +89.8 deg
    const std::string header =
        "time," + gloveHeader("rglove") + "," + poseHeader("rtracker") + "," + poseHeader("headset") + "\n";
    const std::string glove = gloveValues("0,0,0,0", "1,0,0,0");
    const std::string session = dir.write(
        "in.csv", header + "0," + glove + ",0,0,1,1,0,0,0,0,0,1.7," + pitched + "\n" +
                      "1," + glove + ",nan,0,1,1,0,0,0,0,0,1.7,0,0,0,0\n" +
                      "2," + glove + ",0,0,1,1,0,0,0,0,0,1.7,1,0,0,0\n");

    const ToolResult run = runReplay({session, "-o", dir.file("out.csv")}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    expectInReport(run, "the offset is NaN: this glove's output is NaN");
    expectInReport(run, "right glove row 0 (source): zero quaternion");
    expectInReport(run, "headset orientation: pitch +89.8");
    expectInReport(run, "right glove: 3 frames with a zero quaternion (first on line 2)");
    expectInReport(run, "right tracker: 1 frame with NaN (first on line 3)");
    expectInReport(run, "headset: 1 frame with a zero quaternion (first on line 3)");
    const NumericCsv out = readNumericCsv(dir.file("out.csv"));
    EXPECT_TRUE(std::isnan(out.rows[2][out.column("rglove_5_w")]));

    const ToolResult otherRow = runReplay({session, "--source-row", "3", "-o", dir.file("out.csv")}, dir);
    ASSERT_EQ(otherRow.exitCode, 0) << otherRow.err;
    expectInReport(otherRow, "source right glove row 3, target right tracker; heading offset +90.000 deg");
    EXPECT_EQ(otherRow.err.find("(source): zero quaternion"), std::string::npos) << otherRow.err;
}

}  // namespace
