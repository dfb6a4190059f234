// tarn-replay: replays a recorded glove and VR session through the
// TarnHandCalibrationSDK shared library, writes the calibrated session and
// prints a calibration report. See docs/session-format.md.
#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <utility>

#include "Replay.h"

using namespace replay;

int main(int argc, char** argv)
{
    ReplayOptions options;
    CLI::App app{"Replays a recorded session (CSV) through TarnHandCalibrationSDK: calibrates at one frame, "
                 "converts every frame, writes the calibrated session and a report on standard error."};
    app.add_option("session", options.session, "Session CSV file (see docs/session-format.md)")->required();
    app.add_option("-o,--out", options.output, "Calibrated session CSV (default: standard output)");
    app.add_option_function<double>(
        "-t,--calibrate-at", [&options](double seconds) { options.calibrateAt = seconds; },
        "Calibrate at the first frame whose time is at or after SECONDS (default: the first frame)");
    app.add_option_function<std::string>(
           "--calibrate-from-motion",
           [&options](const std::string& window) {
               const std::size_t colon = window.find(':');
               char* end = nullptr;
               const double from = colon == std::string::npos ? NAN : std::strtod(window.c_str(), &end);
               const bool fromRead = colon != std::string::npos && end == window.c_str() + colon && colon > 0;
               const double to = fromRead ? std::strtod(window.c_str() + colon + 1, &end) : NAN;
               const bool toRead = fromRead && *end == '\0' && colon + 1 < window.size();
               if (!toRead || !std::isfinite(from) || !std::isfinite(to) || from > to)
                   throw CLI::ValidationError("--calibrate-from-motion",
                                              "FROM:TO, two times in seconds with FROM no later than TO");
               options.calibration.motionWindow = std::make_pair(from, to);
           },
           "Calibrate each glove with its wrist tracker from the arm's motion between FROM and TO seconds "
           "(both included) instead of one frame; single hands only")
        ->type_name("FROM:TO");
    app.add_option("--source-row", options.calibration.sourceRow,
                   "Glove row (0-19) whose heading the single-hand calibrations take as source")
        ->check(CLI::Range(0, 19));
    const std::map<std::string, HandsOutput> hands{{"single", HandsOutput::Single}, {"double", HandsOutput::Double}};
    app.add_option("--hands", options.calibration.hands,
                   "Calibration that fills the glove columns: single (one heading per hand) or double "
                   "(common frame of both hands)")
        ->transform(CLI::CheckedTransformer(hands));
    const std::map<std::string, FrameSource> sources{{"trackers", FrameSource::Trackers},
                                                      {"headset", FrameSource::Headset}};
    app.add_option("--frame-from", options.calibration.frameFrom,
                   "Device that decides the All-VR frame when trackers and headset are both present")
        ->transform(CLI::CheckedTransformer(sources));

    app.add_option_function<double>(
           "--recalibrate-above",
           [&options](double degreesAbove) { options.calibration.recalibrateAbove = radians(degreesAbove); },
           "Re-calibrate a single-hand glove whenever its drift residual has stayed beyond DEG degrees for the "
           "monitor's hold time and the hand is still; the report lists each re-calibration")
        ->check(CLI::PositiveNumber);
    app.add_flag("--compensate-drift", options.calibration.compensateDrift,
                 "Turn each single-hand glove's calibration back by its fitted drift once the rate is known");
    app.add_flag("--drift-columns", options.driftColumns,
                 "Add each glove's drift residual (degrees) to the output: rglove_drift_deg, lglove_drift_deg");
    app.add_option("--report-json", options.reportJson, "Also write the report as JSON to FILE");
    app.add_option("--html", options.html,
                   "Also write the report as one self-contained HTML page to FILE (plots of lost frames, drift "
                   "and headings; opens offline)");
    app.add_flag("--allow-degenerate", options.allowDegenerate,
                 "Replay even when a calibration is refused for its input (degenerate or NaN)");
    app.add_flag("--allow-repeated-time", options.allowRepeatedTime, "Accept frames that repeat the time before");
    app.add_flag("--strict-columns", options.strictColumns,
                 "Stop at a column that nearly names a known one (a misspelled device prefix, say)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : static_cast<int>(ExitCode::Usage);
    }

    try {
        replaySession(options, std::cerr);
    } catch (const ReplayError& e) {
        std::cerr << "tarn-replay: " << e.what() << '\n';
        return static_cast<int>(e.code());
    } catch (const SessionError& e) {
        std::cerr << "tarn-replay: " << e.what() << '\n';
        return static_cast<int>(e.status());
    } catch (const std::exception& e) {
        std::cerr << "tarn-replay: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
