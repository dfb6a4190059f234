#include "Report.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace {

#if defined(__GNUC__)
std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
#endif

std::string format(const char* pattern, ...)
{
    char text[256];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return text;
}

// `value`, or 0 when it would print as a negative zero with `decimals`.
double printable(double value, int decimals)
{
    return std::fabs(value) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : value;
}

std::string angle(double radiansValue)
{
    return format("%+.3f deg", printable(degrees(radiansValue), 3));
}

std::string point(const Vec3& p)
{
    return format("(%.4f, %.4f, %.4f)", printable(p[0], 4), printable(p[1], 4), printable(p[2], 4));
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
    for (const Hand hand : kHands) {
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
        << format("  %ld frames, %.3f s to %.3f s\n", in.scan.frames(), in.scan.firstTime(), in.scan.lastTime())
        << "  present: " << joined(present) << '\n'
        << format("  calibrated at line %ld (t = %.3f s)\n", in.calibrationLine, in.calibrationTime);
}

void writeHands(std::ostream& out, const ReportInput& in)
{
    for (const Hand hand : kHands) {
        const HandResult& r = in.result.hand[index(hand)];
        out << (hand == Hand::Right ? "  right hand  " : "  left hand   ");
        if (r.calibrated) {
            out << "calibrated: source " << handName(hand) << " row " << in.settings.sourceRow << ", target "
                << deviceName(hand == Hand::Right ? Device::RightTracker : Device::LeftTracker)
                << "; heading offset " << angle(r.turn) << '\n';
        } else {
            out << (r.attempted ? "refused: " : "skipped: ") << r.reason << '\n';
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
    for (const Hand hand : kHands) {
        if (const auto& tilt = q.tilt[index(hand)]) {
            out << format("  %s tilt left out by the heading-only calibration: source %.3f deg, target %.3f deg\n",
                          hand == Hand::Right ? "right hand" : "left hand", degrees(tilt->source),
                          degrees(tilt->target));
        }
    }
    if (q.trackerOffset) {
        const Vec3& d = *q.trackerOffset;
        out << format("  hands' horizontal separation %.4f (dx %+.4f, dy %+.4f; refused below 0.001 on both)\n",
                      std::hypot(d[0], d[1]), d[0], d[1]);
    }
    if (!q.headings.empty()) {
        out << "  heading sources (frame heading each would give):\n";
        for (const auto& h : q.headings) {
            out << format("    %-22s %s\n", h.name.c_str(), angle(h.heading).c_str());
        }
        out << format("    %-22s %.3f deg\n", "largest disagreement", degrees(q.largestDisagreement));
    }
    out << "  degenerate calibration inputs: " << joined(q.problems) << '\n';
    const auto session = in.scan.summary();
    out << "  degenerate frames in the session: " << (session.empty() ? "none" : "") << '\n';
    for (const auto& line : session) {
        out << "    " << line << '\n';
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
}
