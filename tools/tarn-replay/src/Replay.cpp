#include "Replay.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "CalibrationQuality.h"
#include "ProgressBar.h"
#include "Report.h"
#include "SessionReader.h"
#include "SessionScan.h"
#include "SessionWriter.h"

namespace {

constexpr long long kLongFileBytes = 1 << 20;  // a progress bar from here on

struct FirstPass {
    Frame calibrationFrame;
    long calibrationLine = 0;
};

bool wantsProgress(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size >= static_cast<unsigned long long>(kLongFileBytes) && standardErrorIsTerminal();
}

std::string formatSeconds(double seconds)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.6g s", seconds);
    return text;
}

FirstPass checkSession(const ReplayOptions& options, SessionReader& reader, SessionScan& scan, bool progress)
{
    FirstPass pass;
    ProgressBar bar("checking", progress);
    Frame frame;
    bool found = false;
    while (reader.next(frame)) {
        scan.add(frame, reader.lineNumber());
        if (!found && (!options.calibrateAt || frame.time >= *options.calibrateAt)) {
            pass.calibrationFrame = frame;
            pass.calibrationLine = reader.lineNumber();
            found = true;
        }
        bar.update(reader.fractionRead());
    }
    if (scan.frames() == 0) {
        throw ReplayError(ExitCode::NoFrames, options.session + ": no frames after the header");
    }
    if (!found) {
        throw ReplayError(ExitCode::Usage, "--calibrate-at " + formatSeconds(*options.calibrateAt) +
                                               ": no frame at or after that time (the session ends at " +
                                               formatSeconds(scan.lastTime()) + ")");
    }
    return pass;
}

void convertSession(const ReplayOptions& options, const Calibrator& calibrator, std::ostream& out, bool progress)
{
    SessionReader reader(options.session);
    SessionWriter writer(out, reader.layout());
    ProgressBar bar("replaying", progress);
    writer.writeHeader();
    Frame frame;
    while (reader.next(frame)) {
        calibrator.apply(frame);
        writer.write(frame, reader.fields());
        bar.update(reader.fractionRead());
    }
}

}  // namespace

void replaySession(const ReplayOptions& options, std::ostream& report)
{
    const bool progress = wantsProgress(options.session);
    SessionReader reader(options.session);
    const SessionLayout& layout = reader.layout();
    SessionScan scan(layout);
    const FirstPass pass = checkSession(options, reader, scan, progress);

    Calibrator calibrator(layout, options.calibration);
    const CalibrationResult result = calibrator.calibrate(pass.calibrationFrame);
    const CalibrationQuality quality =
        assessCalibrationFrame(pass.calibrationFrame, layout, options.calibration.sourceRow, result);

    std::ofstream file;
    if (!options.output.empty()) {
        file.open(options.output, std::ios::binary | std::ios::trunc);
        if (!file) {
            throw ReplayError(ExitCode::Unwritable, options.output + ": cannot create the output file");
        }
    }
    std::ostream& out = options.output.empty() ? std::cout : file;
    convertSession(options, calibrator, out, progress);
    out.flush();
    if (!out) {
        throw ReplayError(ExitCode::Unwritable,
                          (options.output.empty() ? std::string("standard output") : options.output) +
                              ": write failed");
    }

    writeReport(report, ReportInput{options.session, layout, scan, pass.calibrationLine, pass.calibrationFrame.time,
                                    options.calibration, result, quality});
}
