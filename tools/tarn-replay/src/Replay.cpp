#include "Replay.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>


#include "CalibrationQuality.h"
#include "ConvertPipeline.h"
#include "HtmlReport.h"
#include "SessionTypes.h"
#include "ProgressBar.h"
#include "Report.h"
#include "SessionScan.h"
#include "WholeFile.h"

namespace replay {

namespace {

constexpr long long kLongFileBytes = 1 << 20;  // a progress bar from here on

bool wantsProgress(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size >= static_cast<unsigned long long>(kLongFileBytes) && standardErrorIsTerminal();
}

// The session's rules as the options set them.
ReaderOptions readerOptions(const ReplayOptions& options)
{
    ReaderOptions r;
    r.allowRepeatedTime = options.allowRepeatedTime;
    r.strictColumns = options.strictColumns;
    return r;
}

struct CalibrationFrame {
    Frame frame;
    long line = 0;
};

// The first pass: reads up to the calibration frame (the first frame whose
// time is at or after calibrateAt), checking rows and times on the way.
CalibrationFrame findCalibrationFrame(const ReplayOptions& options)
{
    SessionReader reader(options.session, readerOptions(options));
    double lastTime = 0.0;
    for (Frame frame; reader.next(frame);) {
        lastTime = frame.time;
        if (!options.calibrateAt || frame.time >= *options.calibrateAt) return {frame, reader.lineNumber()};
    }
    throw ReplayError(ExitCode::Usage, "--calibrate-at " + formatSeconds(*options.calibrateAt) +
                                           ": no frame at or after that time (the session ends at " +
                                           formatSeconds(lastTime) + ")");
}

// The frames of the motion window, for every glove present with its
// wrist tracker.
MotionWindowFrames readMotionWindow(const ReplayOptions& options, const SessionLayout& layout)
{
    const auto [from, to] = *options.calibration.motionWindow;
    MotionWindowFrames window;
    SessionReader reader(options.session, readerOptions(options));
    for (Frame frame; reader.next(frame) && !(frame.time > to);) {
        if (!(frame.time >= from)) continue;
        if (window.firstLine == 0) {
            window.first = frame;
            window.firstLine = reader.lineNumber();
        }
        for (const Side hand : kSides) {
            const Device tracker = hand == Side::Right ? Device::RightTracker : Device::LeftTracker;
            if (!layout.has(hand) || !layout.has(tracker)) continue;
            const std::size_t h = index(hand);
            const double* row = frame.glove[h].data() + 4 * options.calibration.sourceRow;
            window.times[h].push_back(frame.time);
            window.rows[h].insert(window.rows[h].end(), row, row + 4);
            const Quaternion& q = frame.device[index(tracker)].orientation;
            window.trackers[h].insert(window.trackers[h].end(), q.begin(), q.end());
        }
    }
    return window;
}

std::string systemReason() { return std::strerror(errno); }

// The columns --drift-columns adds to the output: each single-hand glove's
// drift residual, in degrees.
const std::array<std::string, 2> kDriftColumns{"rglove_drift_deg", "lglove_drift_deg"};

SessionLayout outputLayout(const SessionLayout& input, bool driftColumns)
{
    std::vector<std::string> names = input.names();
    if (driftColumns) names.insert(names.end(), kDriftColumns.begin(), kDriftColumns.end());
    return SessionLayout::fromHeader(names);
}

// The second pass: every frame converted and written, on two threads
// (ConvertPipeline.h).
void convertSession(const ReplayOptions& options, SessionCalibrator& calibrator, SessionScan& scan, std::ostream& out,
                    SessionTrace* trace)
{
    SessionReader reader(options.session, readerOptions(options));
    const SessionLayout layout = outputLayout(reader.layout(), options.driftColumns);
    SessionWriter(out, layout).writeHeader();
    ProgressBar bar("replaying", wantsProgress(options.session));
    convertInParallel({reader, layout, calibrator, scan, options.driftColumns, [&](double f) { bar.update(f); }, trace,
                       options.calibration.sourceRow},
                      out);
}

}  // namespace

void replaySession(const ReplayOptions& options, std::ostream& report)
{
    const SessionReader header(options.session, readerOptions(options));
    const SessionLayout& layout = header.layout();
    const std::vector<OtherColumn>& others = header.others();
    if (options.calibration.motionWindow && options.calibration.hands == HandsOutput::Double)
        throw ReplayError(ExitCode::Usage, "--calibrate-from-motion calibrates single hands; it cannot go with --hands double");
    const CalibrationFrame at = findCalibrationFrame(options);

    SessionCalibrator calibrator(layout, options.calibration);
    CalibrationResult result = calibrator.calibrate(at.frame);
    if (options.calibration.motionWindow) {
        const MotionWindowFrames window = readMotionWindow(options, layout);
        result = calibrator.calibrateFromMotion(window);
        std::string what;
        for (const Side hand : kSides) {
            const HandResult& r = result.hand[index(hand)];
            if (r.attempted && !r.calibrated) what += (what.empty() ? "" : ", ") + handName(hand) + " (" + r.reason + ")";
        }
        if (!what.empty() && !options.allowDegenerate)
            throw ReplayError(ExitCode::Degenerate, options.session + ":" +
                                                        std::to_string(window.firstLine > 0 ? window.firstLine : at.line) +
                                                        ": motion calibration refused: " + what +
                                                        "; --allow-degenerate replays the rest");
    }
    const std::vector<std::string> refused = calibrator.refusals();
    if (!refused.empty() && !options.allowDegenerate) {
        std::string what;
        for (const std::string& r : refused) what += (what.empty() ? "" : ", ") + r;
        throw ReplayError(ExitCode::Degenerate, options.session + ":" + std::to_string(at.line) +
                                                    ": calibration refused: " + what +
                                                    "; --allow-degenerate replays the rest");
    }
    const CalibrationQuality quality =
        assessCalibrationFrame(at.frame, layout, options.calibration.sourceRow, result);

    std::ofstream file;
    if (!options.output.empty()) {
        errno = 0;
        file.open(options.output, std::ios::binary | std::ios::trunc);
        if (!file) {
            throw ReplayError(ExitCode::Unwritable, options.output + ": cannot create the output file: " + systemReason());
        }
    }
    std::ostream& out = options.output.empty() ? std::cout : file;
    std::optional<WholeFile> page;
    if (!options.html.empty()) page.emplace(options.html);
    SessionScan scan(layout);
    SessionTrace trace;
    convertSession(options, calibrator, scan, out, page ? &trace : nullptr);
    out.flush();
    if (!out) {
        throw ReplayError(ExitCode::Unwritable,
                          (options.output.empty() ? std::string("standard output") : options.output) +
                              ": write failed: " + systemReason());
    }

    const std::array<DriftResult, 2> drift{calibrator.drift(Side::Right), calibrator.drift(Side::Left)};
    const ReportInput input{options.session, layout, scan, at.line, at.frame.time, options.calibration,
                            result, quality, others, header.warnings(), drift};
    writeReport(report, input);
    if (!options.reportJson.empty()) {
        std::ofstream json(options.reportJson, std::ios::binary | std::ios::trunc);
        writeJsonReport(json, input);
        if (!json) throw ReplayError(ExitCode::Unwritable, options.reportJson + ": cannot write the report: " + systemReason());
    }
    if (page) {
        writeHtmlReport(page->stream(), jsonReport(input), trace);
        page->commit();
    }
}

}  // namespace replay
