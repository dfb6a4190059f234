// tarn-session-generator: writes the bundled sample session and its ground
// truth (see SessionModel.h for the person it models), or a longer session
// of the same kind (--frames):
//   <dir>/sample-session.csv  what the gloves and VR devices record
//   <dir>/sample-truth.csv    what tarn-replay must make of it (defaults)
//   <dir>/sample-truth.txt    the calibration values the report must show
// With --drift, a session whose gloves drift (see DriftModel.h) instead:
//   <dir>/drift-session.csv   gloves and wrist trackers
//   <dir>/drift-truth.csv     per frame: each glove's drift and wrist bend,
//                             and whether the person holds still
//   <dir>/drift-truth.txt     the drift model's parameters
#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "DriftModel.h"
#include "WearModel.h"
#include "SessionModel.h"
#include "SessionTypes.h"

using namespace replay;

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

// <dir>/<name>-session.csv, <name>-truth.csv and <name>-truth.txt.
struct OutputFiles {
    std::ofstream session, truth, values;
    OutputFiles(const std::string& directory, const std::string& name)
        : session(directory + "/" + name + "-session.csv", std::ios::binary),
          truth(directory + "/" + name + "-truth.csv", std::ios::binary),
          values(directory + "/" + name + "-truth.txt", std::ios::binary)
    {
        if (!good()) std::cerr << "tarn-session-generator: cannot write into " << directory << '\n';
    }
    bool good() const { return session && truth && values; }
};

struct DriftOptions {
    bool on = false;
    double seconds = 240.0;
    DriftTruth truth;
    double rightRate = degrees(truth.rate[0]) * 60, leftRate = degrees(truth.rate[1]) * 60;  // degrees a minute
};

int writeDriftSession(const std::string& directory, DriftOptions options)
{
    options.truth.rate = {radians(options.rightRate) / 60, radians(options.leftRate) / 60};
    OutputFiles files(directory, "drift");
    if (!files.good()) return 1;
    std::ofstream &session = files.session, &perFrame = files.truth, &values = files.values;
    const SessionLayout layout = SessionLayout::complete(false);
    SessionWriter writer(session, layout, kDigits);
    writer.writeHeader();
    perFrame << "time,rglove_drift_deg,lglove_drift_deg,rglove_bend_deg,lglove_bend_deg,still\n";
    DriftSession model(options.truth);
    Frame frame;
    DriftFrameTruth truth;
    const auto frames = static_cast<std::size_t>(options.seconds * options.truth.frameRate) + 1;
    for (std::size_t i = 0; i < frames; ++i) {
        model.next(frame, truth);
        writer.write(frame, {});
        char line[160];
        std::snprintf(line, sizeof line, "%.10g,%.10g,%.10g,%.10g,%.10g,%d\n", truth.time, degrees(truth.drift[0]),
                      degrees(truth.drift[1]), degrees(truth.deviation[0]), degrees(truth.deviation[1]),
                      truth.still ? 1 : 0);
        perFrame << line;
    }
    writer.flush();
    values << "# Drift model of drift-session.csv (tarn-session-generator --drift).\n"
           << "seed " << options.truth.seed << "\nframe_rate_hz " << options.truth.frameRate
           << "\nright_rate_deg_per_min " << options.rightRate << "\nleft_rate_deg_per_min " << options.leftRate
           << "\nrandom_walk_deg_per_sqrt_s " << degrees(options.truth.walk) << "\nglove_noise_deg "
           << degrees(options.truth.gloveNoise) << "\ntracker_noise_deg " << degrees(options.truth.trackerNoise) << '\n';
    return files.good() ? 0 : 1;
}

// A session of both gloves and wrist trackers as people wear them, the arms
// moving for a motion calibration (WearModel.h), and the truth a
// calibration should find.
int writeMotionSession(const std::string& directory, double seconds, std::uint64_t seed)
{
    OutputFiles files(directory, "motion");
    if (!files.good()) return 1;
    std::array<WearTruth, 2> truths;
    for (const Side hand : kSides) {
        truths[index(hand)].seed = 2 * seed + index(hand);
        truths[index(hand)].hand = hand;
        truths[index(hand)].strapTurnRange = radians(180.0);
    }
    WearSession right(truths[0]), left(truths[1]);
    std::array<WearSession*, 2> sessions{&right, &left};
    // Every column but the headset's.
    const SessionLayout complete = SessionLayout::complete(false);
    std::vector<std::string> names;
    for (const std::string& name : complete.names())
        if (name.rfind("headset", 0) != 0) names.push_back(name);
    const SessionLayout layout = SessionLayout::fromHeader(names);
    SessionWriter writer(files.session, layout, kDigits);
    writer.writeHeader();
    const auto frames = static_cast<std::size_t>(seconds * truths[0].frameRate) + 1;
    for (std::size_t k = 0; k < frames; ++k) {
        Frame frame;
        for (const Side hand : kSides) {
            const WearFrame f = sessions[index(hand)]->next();
            frame.time = f.time;
            for (std::size_t row = 0; row < kGloveRows; ++row)
                std::copy(f.glove.begin(), f.glove.end(), frame.glove[index(hand)].begin() + 4 * row);
            Pose& tracker = frame.device[index(hand == Side::Right ? Device::RightTracker : Device::LeftTracker)];
            tracker.orientation = f.tracker;
            tracker.position = {hand == Side::Right ? 0.25 : -0.25, 0.3, 1.0};
        }
        writer.write(frame, {});
    }
    writer.flush();
    files.truth << "hand,heading_offset_deg,mount_w,mount_x,mount_y,mount_z\n";
    for (const Side hand : kSides) {
        const Quaternion& m = sessions[index(hand)]->mount();
        char line[200];
        std::snprintf(line, sizeof line, "%s,%.10g,%.10g,%.10g,%.10g,%.10g\n", hand == Side::Right ? "right" : "left",
                      degrees(sessions[index(hand)]->headingOffset()), m[0], m[1], m[2], m[3]);
        files.truth << line;
    }
    files.values << "# Wear model of motion-session.csv (tarn-session-generator --motion).\nseed " << seed
                 << "\nframe_rate_hz " << truths[0].frameRate << "\nright_heading_offset_deg "
                 << degrees(right.headingOffset()) << "\nleft_heading_offset_deg " << degrees(left.headingOffset()) << '\n';
    return files.good() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string directory = ".";
    std::size_t frames = kSampleFrames;
    CLI::App app{"Writes the sample session of tarn-replay and its ground truth."};
    app.add_option("-d,--dir", directory, "Directory to write into (default: current)");
    app.add_option("--frames", frames, "Frames to write, at the sample's rate (default: the bundled sample's)");
    DriftOptions drift;
    app.add_flag("--drift", drift.on, "Write a session whose gloves drift (drift-*.csv) instead of the sample");
    app.add_option("--seconds", drift.seconds, "--drift: length of the session (default 240)");
    app.add_option("--frame-rate", drift.truth.frameRate, "--drift: frames per second (default 30)");
    app.add_option("--right-rate", drift.rightRate, "--drift: right glove's drift, degrees a minute")->capture_default_str();
    app.add_option("--left-rate", drift.leftRate, "--drift: left glove's drift, degrees a minute")->capture_default_str();
    app.add_option("--seed", drift.truth.seed, "--drift, --motion: seed of everything random (default 1)");
    bool motion = false;
    app.add_flag("--motion", motion,
                 "Write a session of gloves and trackers worn as people wear them, the arms moving for a motion "
                 "calibration (motion-*.csv), instead of the sample");
    CLI11_PARSE(app, argc, argv);
    if (drift.on) return writeDriftSession(directory, drift);
    if (motion) return writeMotionSession(directory, 12.0, drift.truth.seed);

    const GroundTruth truth;
    const SessionLayout layout = SessionLayout::complete();
    OutputFiles files(directory, "sample");
    if (!files.good()) return 1;
    std::ofstream &session = files.session, &expected = files.truth, &values = files.values;
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
    return files.good() ? 0 : 1;
}
