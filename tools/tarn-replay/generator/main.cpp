// tarn-session-generator: writes the bundled sample session and its ground
// truth (see SessionModel.h for the person it models), or a longer session
// of the same kind (--frames):
//   <dir>/sample-session.csv  what the gloves and VR devices record
//   <dir>/sample-truth.csv    what tarn-replay must make of it (defaults)
//   <dir>/sample-truth.txt    the calibration values the report must show
#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "SessionModel.h"
#include "SessionWriter.h"

namespace {

constexpr int kDigits = 10;  // significant digits of every value written

void writeTruthValues(std::ostream& out, const GroundTruth& truth)
{
    const auto line = [&out](const char* key, double value) {
        char text[96];
        std::snprintf(text, sizeof text, "%s %.10g\n", key, value);
        out << text;
    };
    const double rightForward = wrapAngle(truth.frameHeading + truth.trackerMount[0]);
    const double leftForward = wrapAngle(truth.frameHeading + truth.trackerMount[1]);
    const double headset = wrapAngle(truth.frameHeading + truth.headsetYaw);
    out << "# Ground truth of sample-session.csv (tarn-session-generator).\n"
           "# Angles in degrees, lengths in metres, tracking space.\n";
    line("frame_heading_deg", degrees(truth.frameHeading));
    line("frame_origin_x", truth.frameOrigin[0]);
    line("frame_origin_y", truth.frameOrigin[1]);
    line("double_hand_centre_z", truth.frameOrigin[2] + truth.wristHeight);
    line("right_hand_offset_deg", degrees(wrapAngle(-truth.gloveReference[0])));
    line("left_hand_offset_deg", degrees(wrapAngle(-truth.gloveReference[1])));
    line("right_source_tilt_deg", degrees(std::fabs(truth.sourceTilt[0])));
    line("right_target_tilt_deg", degrees(std::fabs(truth.trackerTilt[0])));
    line("left_source_tilt_deg", degrees(std::fabs(truth.sourceTilt[1])));
    line("left_target_tilt_deg", degrees(std::fabs(truth.trackerTilt[1])));
    line("hands_separation", 2 * truth.wristHalfSpan);
    line("right_tracker_forward_deg", degrees(rightForward));
    line("left_tracker_forward_deg", degrees(leftForward));
    line("headset_yaw_deg", degrees(headset));
    line("largest_disagreement_deg", degrees(std::fabs(wrapAngle(rightForward - leftForward))));
}

}  // namespace

int main(int argc, char** argv)
{
    std::string directory = ".";
    std::size_t frames = kSampleFrames;
    CLI::App app{"Writes the sample session of tarn-replay and its ground truth."};
    app.add_option("-d,--dir", directory, "Directory to write into (default: current)");
    app.add_option("--frames", frames, "Frames to write, at the sample's rate (default: the bundled sample's)");
    CLI11_PARSE(app, argc, argv);

    const GroundTruth truth;
    const SessionLayout layout = SessionLayout::complete();
    std::ofstream session(directory + "/sample-session.csv", std::ios::binary);
    std::ofstream expected(directory + "/sample-truth.csv", std::ios::binary);
    std::ofstream values(directory + "/sample-truth.txt", std::ios::binary);
    if (!session || !expected || !values) {
        std::cerr << "tarn-session-generator: cannot write into " << directory << '\n';
        return 1;
    }
    SessionWriter sessionWriter(session, layout, kDigits);
    SessionWriter expectedWriter(expected, layout, kDigits);
    sessionWriter.writeHeader();
    expectedWriter.writeHeader();
    for (std::size_t i = 0; i < frames; ++i) {
        const SampleFrame frame = sampleFrame(truth, static_cast<double>(i) / kSampleRate);
        sessionWriter.write(frame.recorded, {});
        expectedWriter.write(frame.calibrated, {});
    }
    writeTruthValues(values, truth);
    sessionWriter.flush();
    expectedWriter.flush();
    return session && expected && values ? 0 : 1;
}
