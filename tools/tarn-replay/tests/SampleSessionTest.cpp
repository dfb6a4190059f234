// The bundled sample session: generated from known ground truth, replayed,
// and compared with that truth.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "Rotation.h"
#include "ToolRun.h"

namespace {

const std::string kSample = std::string(TARN_EXAMPLES_DIR) + "/sample-session.csv";
const std::string kTruthCsv = std::string(TARN_EXAMPLES_DIR) + "/sample-truth.csv";
const std::string kTruthValues = std::string(TARN_EXAMPLES_DIR) + "/sample-truth.txt";

// The input has 10 significant digits; everything else is exact.
constexpr double kRoundingTolerance = 1e-7;
constexpr double kDegreesPrinted = 0.0006;  // report: 3 decimals
constexpr double kLengthPrinted = 0.00006;  // report: 4 decimals

std::map<std::string, double> truthValues()
{
    std::istringstream in(readFile(kTruthValues));
    std::map<std::string, double> values;
    std::string key;
    double value = 0.0;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        if (line.empty() || line[0] == '#' || !(fields >> key >> value)) {
            continue;
        }
        values[key] = value;
    }
    return values;
}

void expectSameShape(const NumericCsv& actual, const NumericCsv& expected)
{
    ASSERT_EQ(actual.header, expected.header);
    ASSERT_EQ(actual.rows.size(), expected.rows.size());
}

TEST(SampleSession, IsExactlyWhatTheGeneratorWrites)
{
    TempDir dir;
    const ToolResult run = runProgram(TARN_GENERATOR_EXE, {"--dir", dir.file("")}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const char* name : {"sample-session.csv", "sample-truth.csv", "sample-truth.txt"}) {
        EXPECT_TRUE(readFile(dir.file(name)) == readFile(std::string(TARN_EXAMPLES_DIR) + "/" + name))
            << name << " differs from the generator's output: regenerate examples/";
    }
}

TEST(SampleSession, CalibratedOutputMatchesTheGroundTruth)
{
    TempDir dir;
    const ToolResult run = runReplay({kSample, "--out", dir.file("out.csv")}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");

    const NumericCsv actual = readNumericCsv(dir.file("out.csv"));
    const NumericCsv expected = readNumericCsv(kTruthCsv);
    expectSameShape(actual, expected);
    std::size_t mismatches = 0;
    for (std::size_t r = 0; r < actual.rows.size(); ++r) {
        for (std::size_t c = 0; c < actual.header.size(); ++c) {
            if (!(std::fabs(actual.rows[r][c] - expected.rows[r][c]) <= kRoundingTolerance) && mismatches++ < 5) {
                ADD_FAILURE() << "row " << r << " " << actual.header[c] << ": " << actual.rows[r][c] << " expected "
                              << expected.rows[r][c];
            }
        }
    }
    EXPECT_EQ(mismatches, 0u);
}

TEST(SampleSession, ReportShowsTheTrueCalibrationAndQuality)
{
    TempDir dir;
    const ToolResult run = runReplay({kSample, "--out", dir.file("out.csv")}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string& report = run.err;
    auto truth = truthValues();

    EXPECT_NE(report.find("360 frames, 0.000 s to 3.989 s"), std::string::npos) << report;
    EXPECT_NE(report.find("covers right tracker, left tracker, headset"), std::string::npos) << report;
    EXPECT_NE(report.find("frame decided by tracker line"), std::string::npos) << report;
    EXPECT_NEAR(numberAfter(report, "target right tracker; heading offset"), truth["right_hand_offset_deg"], kDegreesPrinted);
    EXPECT_NEAR(numberAfter(report, "target left tracker; heading offset"), truth["left_hand_offset_deg"], kDegreesPrinted);

    EXPECT_NEAR(numberAfter(report, "frame heading"), truth["frame_heading_deg"], kDegreesPrinted);
    const auto origin = numbersAfter(report, "origin (", 3);
    EXPECT_NEAR(origin[0], truth["frame_origin_x"], kLengthPrinted);
    EXPECT_NEAR(origin[1], truth["frame_origin_y"], kLengthPrinted);
    EXPECT_EQ(origin[2], 0.0);
    EXPECT_NEAR(numberAfter(report, "both hands  calibrated: heading"), truth["frame_heading_deg"], kDegreesPrinted);
    const auto centre = numbersAfter(report, "centre (", 3);
    EXPECT_NEAR(centre[0], truth["frame_origin_x"], kLengthPrinted);
    EXPECT_NEAR(centre[2], truth["double_hand_centre_z"], kLengthPrinted);

    const auto rightTilt = numbersAfter(report, "right hand tilt left out by the heading-only calibration:", 2);
    EXPECT_NEAR(rightTilt[0], truth["right_source_tilt_deg"], kDegreesPrinted);
    EXPECT_NEAR(rightTilt[1], truth["right_target_tilt_deg"], kDegreesPrinted);
    const auto leftTilt = numbersAfter(report, "left hand tilt left out by the heading-only calibration:", 2);
    EXPECT_NEAR(leftTilt[0], truth["left_source_tilt_deg"], kDegreesPrinted);
    EXPECT_NEAR(leftTilt[1], truth["left_target_tilt_deg"], kDegreesPrinted);
    EXPECT_NEAR(numberAfter(report, "hands' horizontal separation"), truth["hands_separation"], kLengthPrinted);
    EXPECT_NEAR(numberAfter(report, "tracker line"), truth["frame_heading_deg"], kDegreesPrinted);
    EXPECT_NEAR(numberAfter(report, "right tracker forward"), truth["right_tracker_forward_deg"], kDegreesPrinted);
    EXPECT_NEAR(numberAfter(report, "left tracker forward"), truth["left_tracker_forward_deg"], kDegreesPrinted);
    EXPECT_NEAR(numberAfter(report, "headset yaw"), truth["headset_yaw_deg"], kDegreesPrinted);
    EXPECT_NEAR(numberAfter(report, "largest disagreement"), truth["largest_disagreement_deg"], kDegreesPrinted);
    EXPECT_NE(report.find("degenerate calibration inputs: none"), std::string::npos);
    EXPECT_NE(report.find("degenerate frames in the session: none"), std::string::npos);
}

TEST(SampleSession, DoubleHandOutputTurnsBothGlovesByMinusTheHandsHeading)
{
    TempDir dir;
    const ToolResult run = runReplay({kSample, "--hands", "double", "-o", dir.file("out.csv")}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const NumericCsv actual = readNumericCsv(dir.file("out.csv"));
    const NumericCsv input = readNumericCsv(kSample);
    expectSameShape(actual, input);
    const Quat unturn = conjugate(aboutZ(radians(truthValues()["frame_heading_deg"])));
    for (std::size_t r = 0; r < actual.rows.size(); ++r) {
        for (const char* glove : {"rglove_", "lglove_"}) {
            for (int row = 0; row < 20; ++row) {
                const std::string prefix = glove + std::to_string(row) + "_";
                Quat in{}, out{};
                for (std::size_t c = 0; c < 4; ++c) {
                    const std::string name = prefix + "wxyz"[c];
                    in[c] = input.rows[r][input.column(name)];
                    out[c] = actual.rows[r][actual.column(name)];
                }
                const Quat expected = multiply(unturn, in);
                for (std::size_t c = 0; c < 4; ++c) {
                    ASSERT_NEAR(out[c], expected[c], kRoundingTolerance) << "row " << r << " " << prefix;
                }
            }
        }
    }
}

TEST(SampleSession, CalibratingLaterPutsTheTrackersOnTheFrameXAxisAtThatFrame)
{
    TempDir dir;
    const ToolResult run = runReplay({kSample, "--calibrate-at", "2", "-o", dir.file("out.csv")}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("calibrated at line 182 (t = 2.000 s)"), std::string::npos) << run.err;

    const NumericCsv out = readNumericCsv(dir.file("out.csv"));
    const auto& row = out.rows.at(180);
    ASSERT_EQ(row[out.column("time")], 2.0);
    const double rx = row[out.column("rtracker_px")];
    EXPECT_NEAR(rx, -row[out.column("ltracker_px")], kRoundingTolerance);
    EXPECT_GT(rx, 0.1);
    EXPECT_NEAR(row[out.column("rtracker_py")], 0.0, kRoundingTolerance);
    EXPECT_NEAR(row[out.column("ltracker_py")], 0.0, kRoundingTolerance);
    for (const char* device : {"rtracker", "ltracker", "headset"}) {
        const std::string d(device);
        const Quat q{row[out.column(d + "_qw")], row[out.column(d + "_qx")], row[out.column(d + "_qy")],
                     row[out.column(d + "_qz")]};
        EXPECT_NEAR(headingOf(q), 0.0, kRoundingTolerance) << device << ": its own heading is taken out";
    }
}

TEST(SampleSession, HeadsetCanDecideTheFrame)
{
    TempDir dir;
    const ToolResult run = runReplay({kSample, "--frame-from", "headset", "-o", dir.file("out.csv")}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("frame decided by headset yaw"), std::string::npos) << run.err;
    EXPECT_NEAR(numberAfter(run.err, "frame heading"), truthValues()["headset_yaw_deg"], kDegreesPrinted);
}

}  // namespace
