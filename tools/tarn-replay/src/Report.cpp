#include "Report.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

namespace replay {

namespace {

using fmt::format;

// `value`, or 0 when it would print as a negative zero with `decimals`.
double printable(double value, int decimals)
{
    return std::fabs(value) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : value;
}

std::string angle(double radiansValue)
{
    return format("{:+.3f} deg", printable(degrees(radiansValue), 3));
}

std::string point(const Vector3& p)
{
    return format("({:.4f}, {:.4f}, {:.4f})", printable(p[0], 4), printable(p[1], 4), printable(p[2], 4));
}

std::string joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const auto& item : items) {
        text += (text.empty() ? "" : ", ") + item;
    }
    return text.empty() ? "none" : text;
}

void writeSession(std::ostream& out, const ReportInput& in)
{
    std::vector<std::string> present;
    for (const Side hand : kSides) {
        if (in.layout.has(hand)) {
            present.push_back(handName(hand));
        }
    }
    for (const Device device : kDevices) {
        if (in.layout.has(device)) {
            present.push_back(deviceName(device));
        }
    }
    out << "tarn-replay report: " << in.sessionPath << '\n'
        << format("  {} frames, {:.3f} s to {:.3f} s\n", in.scan.frames(), in.scan.firstTime(), in.scan.lastTime())
        << "  present: " << joined(present) << '\n'
        << format("  calibrated at line {} (t = {:.3f} s)\n", in.calibrationLine, in.calibrationTime);
    std::vector<std::string> others;
    for (const OtherColumn& column : in.otherColumns) others.push_back(column.name);
    if (!others.empty()) out << "  other columns (copied through): " << joined(others) << '\n';
    for (const std::string& warning : in.warnings) out << "  warning: " << warning << '\n';
}

void writeHands(std::ostream& out, const ReportInput& in)
{
    for (const Side hand : kSides) {
        const HandResult& r = in.result.hand[index(hand)];
        out << (hand == Side::Right ? "  right hand  " : "  left hand   ");
        if (r.calibrated) {
            out << "calibrated" << (r.motion ? " from motion" : "") << ": source " << handName(hand) << " row "
                << in.settings.sourceRow << ", target "
                << deviceName(hand == Side::Right ? Device::RightTracker : Device::LeftTracker)
                << "; heading offset " << angle(r.turn) << '\n';
        } else {
            out << (r.attempted ? "refused: " : "skipped: ") << r.reason << '\n';
        }
        if (r.motion) {
            const tarn_motion_result& m = r.motion->result;
            out << format("              motion: {} frames used ({} lost) over {:.3f} s; turned over {:.1f} deg, "
                          "round {:.1f} deg (rms)\n",
                          m.frames_used, m.frames_skipped, m.duration, degrees(m.turning_over), degrees(m.turning_round));
            if (!std::isnan(m.heading_offset))
                out << format("              heading {} +- {:.3f} deg; strap turned {:+.1f} deg, tilted {:.1f} deg; "
                              "hand against tracker {:.2f} deg rms\n",
                              angle(m.heading_offset), degrees(m.heading_uncertainty), degrees(m.strap_turn),
                              degrees(m.strap_tilt), degrees(m.residual_spread));
            out << "              verdict: " << tarn_motion_verdict_string(m.verdict) << "; one snapshot at the window's start "
                << (r.motion->snapshotTurn ? "would give " + angle(*r.motion->snapshotTurn)
                                           : "would be refused (" + r.motion->snapshotRefused + ")")
                << '\n';
        }
    }
    const DoubleHandResult& d = in.result.doubleHand;
    out << "  both hands  ";
    if (d.accepted) {
        out << "calibrated: heading " << angle(d.frame.heading) << ", centre " << point(d.frame.origin) << '\n';
    } else {
        out << (d.attempted ? "refused: " : "skipped: ") << d.reason << '\n';
    }
}

void writeAllVR(std::ostream& out, const ReportInput& in)
{
    const AllVRResult& a = in.result.allVR;
    out << "  All-VR      ";
    if (!a.attempted) {
        out << "skipped: " << a.decidedBy << '\n';
        return;
    }
    std::vector<std::string> covered;
    for (const Device device : kDevices) {
        if (a.covered[index(device)]) {
            covered.push_back(deviceName(device));
        }
    }
    out << "covers " << joined(covered) << '\n';
    out << "              frame decided by " << a.decidedBy << '\n';
    if (a.frame) {
        out << "              frame heading " << angle(a.frame->heading) << ", origin " << point(a.frame->origin)
            << '\n';
    }
}

void writeOutputChoice(std::ostream& out, const ReportInput& in)
{
    out << "  output      gloves from the "
        << (in.settings.hands == HandsOutput::Single ? "single-hand" : "double-hand")
        << " calibration, devices from All-VR; uncalibrated blocks are copied unchanged\n";
}

void writeQuality(std::ostream& out, const ReportInput& in)
{
    const CalibrationQuality& q = in.quality;
    out << "Quality at the calibration frame\n";
    for (const Side hand : kSides) {
        if (const auto& tilt = q.tilt[index(hand)]) {
            out << format("  {} tilt left out by the heading-only calibration: source {:.3f} deg, target {:.3f} deg\n",
                          hand == Side::Right ? "right hand" : "left hand", degrees(tilt->source),
                          degrees(tilt->target));
        }
    }
    if (q.trackerOffset) {
        const Vector3& d = *q.trackerOffset;
        out << format("  hands' horizontal separation {:.4f} (dx {:+.4f}, dy {:+.4f}; refused along both: both hands below 0.001, All-VR at 0.001 or less)\n",
                      std::hypot(d[0], d[1]), d[0], d[1]);
    }
    if (!q.headings.empty()) {
        out << "  heading sources (frame heading each would give):\n";
        for (const auto& h : q.headings) {
            out << format("    {:<22} {}\n", h.name, angle(h.heading));
        }
        out << format("    {:<22} {:.3f} deg\n", "largest disagreement", degrees(q.largestDisagreement));
    }
    out << "  degenerate calibration inputs: " << joined(q.problems) << '\n';
    const auto session = in.scan.summary();
    out << "  degenerate frames in the session: " << (session.empty() ? "none" : "") << '\n';
    for (const auto& line : session) {
        out << "    " << line << '\n';
    }
}

std::string perMinute(double radiansPerSecond) { return format("{:+.2f}", printable(degrees(radiansPerSecond) * 60, 2)); }

std::string driftEvent(const tarn_drift_event& e)
{
    return format("{} at {:.1f} s: residual {} -> {}",
                  e.kind == TARN_DRIFT_RECALIBRATION ? "re-calibrated" : "compensation started", e.time,
                  angle(e.residual_before), angle(e.residual_after));
}

void writeDrift(std::ostream& out, const ReportInput& in)
{
    out << "Drift (each glove's heading against its wrist tracker since calibrating)\n";
    for (const Side hand : kSides) {
        const DriftResult& d = in.drift[index(hand)];
        const tarn_drift_report& r = d.report;
        out << (hand == Side::Right ? "  right hand  " : "  left hand   ");
        if (!d.monitored) {
            out << "not monitored (" << (in.settings.hands == HandsOutput::Single ? "no single-hand calibration" : "gloves from the double-hand calibration") << ")\n";
            continue;
        }
        if (std::isnan(r.rate)) {
            out << "no rate yet (too few frames for a fit)\n";
            continue;
        }
        out << format("rate {} deg/min (+- {:.2f}) over the last {:.0f} s\n", perMinute(r.rate),
                      degrees(r.rate_uncertainty) * 60, r.fit_span);
        out << "              largest residual " << angle(r.largest_residual)
            << format(" at {:.1f} s; at the end {}\n", r.largest_residual_time, angle(r.trend_residual));
        out << "              re-calibration recommended: "
            << (std::isnan(r.first_flag_time) ? std::string("never")
                                               : format("first at {:.1f} s", r.first_flag_time))
            << format(" (residual beyond {:.1f} deg for {:g} s)\n", degrees(d.threshold), d.holdTime);
        for (const tarn_drift_event& e : d.events) out << "              " << driftEvent(e) << '\n';
    }
}

}  // namespace

void writeReport(std::ostream& out, const ReportInput& input)
{
    writeSession(out, input);
    out << "Calibrations\n";
    writeHands(out, input);
    writeAllVR(out, input);
    writeOutputChoice(out, input);
    writeQuality(out, input);
    writeDrift(out, input);
}

nlohmann::json jsonReport(const ReportInput& in)
{
    using nlohmann::json;
    const auto degreesOrNull = [](double radiansValue) { return std::isnan(radiansValue) ? json() : json(degrees(radiansValue)); };
    const auto point = [](const Vector3& p) { return json::array({p[0], p[1], p[2]}); };
    json report = {{"session", in.sessionPath},
                   {"frames", in.scan.frames()},
                   {"first_time", in.scan.firstTime()},
                   {"last_time", in.scan.lastTime()},
                   {"duration_s", in.scan.lastTime() - in.scan.firstTime()},
                   {"frames_per_second", in.scan.lastTime() > in.scan.firstTime()
                                             ? json(static_cast<double>(in.scan.frames() - 1) /
                                                    (in.scan.lastTime() - in.scan.firstTime()))
                                             : json()},
                   {"calibration_line", in.calibrationLine},
                   {"calibration_time", in.calibrationTime}};
    for (const Side hand : kSides) report["present"].push_back(json{{"name", handName(hand)}, {"present", in.layout.has(hand)}});
    for (const Device device : kDevices)
        report["present"].push_back(json{{"name", deviceName(device)}, {"present", in.layout.has(device)}});
    for (const OtherColumn& column : in.otherColumns)
        report["other_columns"].push_back(json{{"name", column.name}, {"probably_meant", column.probablyMeant.empty() ? json() : json(column.probablyMeant)}});
    const auto outcome = [](bool attempted, bool done) { return done ? "calibrated" : attempted ? "refused" : "skipped"; };
    for (const Side hand : kSides) {
        const HandResult& r = in.result.hand[index(hand)];
        json entry = {{"outcome", outcome(r.attempted, r.calibrated)}, {"reason", r.reason},
                      {"heading_offset_deg", r.calibrated ? degreesOrNull(r.turn) : json()}};
        if (const auto& tilt = in.quality.tilt[index(hand)])
            entry["tilt_deg"] = {{"source", degrees(tilt->source)}, {"target", degrees(tilt->target)}};
        if (r.motion) {
            const tarn_motion_result& m = r.motion->result;
            static const char* const verdicts[] = {"TARN_MOTION_GOOD", "TARN_MOTION_TOO_FEW_FRAMES",
                                                   "TARN_MOTION_TOO_SHORT", "TARN_MOTION_TURN_OVER",
                                                   "TARN_MOTION_HAND_MOVED"};
            entry["motion"] = {{"heading_offset_deg", degreesOrNull(m.heading_offset)},
                               {"heading_uncertainty_deg", degreesOrNull(m.heading_uncertainty)},
                               {"strap_turn_deg", degreesOrNull(m.strap_turn)},
                               {"strap_tilt_deg", degreesOrNull(m.strap_tilt)},
                               {"residual_spread_deg", degreesOrNull(m.residual_spread)},
                               {"turning_over_deg", degreesOrNull(m.turning_over)},
                               {"turning_round_deg", degreesOrNull(m.turning_round)},
                               {"duration_s", m.duration},
                               {"frames_used", m.frames_used},
                               {"frames_skipped", m.frames_skipped},
                               {"verdict", verdicts[static_cast<int>(m.verdict)]},
                               {"verdict_message", tarn_motion_verdict_string(m.verdict)},
                               {"snapshot_heading_offset_deg",
                                r.motion->snapshotTurn ? json(degrees(*r.motion->snapshotTurn)) : json()},
                               {"snapshot_refused", r.motion->snapshotTurn ? json() : json(r.motion->snapshotRefused)}};
        }
        report["calibrations"][hand == Side::Right ? "right_hand" : "left_hand"] = entry;
    }
    const DoubleHandResult& d = in.result.doubleHand;
    report["calibrations"]["both_hands"] = {{"outcome", outcome(d.attempted, d.accepted)}, {"reason", d.reason},
                                            {"heading_deg", d.accepted ? json(degrees(d.frame.heading)) : json()},
                                            {"centre", d.accepted ? point(d.frame.origin) : json()}};
    const AllVRResult& a = in.result.allVR;
    json allVR = {{"outcome", outcome(a.attempted, a.accepted)}, {"decided_by", a.decidedBy}, {"covers", json::array()}};
    for (const Device device : kDevices)
        if (a.covered[index(device)]) allVR["covers"].push_back(deviceName(device));
    allVR["heading_deg"] = a.frame ? json(degrees(a.frame->heading)) : json();
    allVR["origin"] = a.frame ? point(a.frame->origin) : json();
    report["calibrations"]["all_vr"] = allVR;
    const CalibrationQuality& q = in.quality;
    json quality = {{"separation", q.trackerOffset ? json(std::hypot((*q.trackerOffset)[0], (*q.trackerOffset)[1])) : json()},
                    {"degenerate_inputs", q.problems},
                    {"degenerate_frames", in.scan.summary()}};
    for (const auto& h : q.headings) {
        std::string key = h.name;  // "right tracker forward" as right_tracker_forward
        std::replace(key.begin(), key.end(), ' ', '_');
        quality["heading_sources_deg"][key] = degrees(h.heading);
    }
    quality["largest_disagreement_deg"] = q.headings.empty() ? json() : json(degrees(q.largestDisagreement));
    report["quality"] = quality;
    for (const Side hand : kSides) {
        const DriftResult& monitor = in.drift[index(hand)];
        const tarn_drift_report& r = monitor.report;
        const auto seconds = [](double s) { return std::isnan(s) ? json() : json(s); };
        json drift = {{"monitored", monitor.monitored}};
        if (monitor.monitored) {
            drift["rate_deg_per_min"] = std::isnan(r.rate) ? json() : json(degrees(r.rate) * 60);
            drift["rate_uncertainty_deg_per_min"] = std::isnan(r.rate) ? json() : json(degrees(r.rate_uncertainty) * 60);
            drift["fit_span_s"] = r.fit_span;
            drift["largest_residual_deg"] = degreesOrNull(r.largest_residual);
            drift["largest_residual_time"] = seconds(r.largest_residual_time);
            drift["final_residual_deg"] = degreesOrNull(r.trend_residual);
            drift["first_flag_time"] = seconds(r.first_flag_time);
            drift["threshold_deg"] = degrees(monitor.threshold);
            drift["hold_time"] = monitor.holdTime;
            drift["events"] = json::array();
            for (const tarn_drift_event& e : monitor.events)
                drift["events"].push_back({{"kind", e.kind == TARN_DRIFT_RECALIBRATION ? "recalibration" : "compensation"},
                                           {"time", e.time},
                                           {"residual_before_deg", degrees(e.residual_before)},
                                           {"residual_after_deg", degrees(e.residual_after)}});
        }
        report["drift"][hand == Side::Right ? "right_hand" : "left_hand"] = drift;
    }
    return report;
}

void writeJsonReport(std::ostream& out, const ReportInput& in) { out << jsonReport(in).dump(2) << '\n'; }

}  // namespace replay
