#include "HtmlReport.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <fmt/format.h>

namespace replay {

namespace {

using nlohmann::json;

// Okabe and Ito's colours.
constexpr const char* kOrange = "#E69F00";
constexpr const char* kGreen = "#009E73";
constexpr const char* kBlue = "#0072B2";
constexpr const char* kVermillion = "#D55E00";
constexpr const char* kPurple = "#CC79A7";
constexpr const char* kBlack = "#000000";

// The plots' size in CSS pixels: one column of the envelopes per pixel.
constexpr int kWidth = 880, kLeft = 100, kRight = 12, kTop = 10, kBottom = 28;
constexpr int kColumns = kWidth - kLeft - kRight;

std::string escaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// The report's value at `pointer`, shown with `digits` decimals and marked
// with where it comes from; "none" for null.
std::string number(const json& report, const std::string& pointer, int digits, const char* unit = "")
{
    const json& value = report.at(json::json_pointer(pointer));
    if (value.is_null()) return "none";
    const double v = value.get<double>();
    return fmt::format("<data data-json=\"{}\" value=\"{}\">{:.{}f}</data>{}", pointer, v, v, digits, unit);
}

// A text of the report (a reason, a verdict, a name), marked like a number.
std::string text(const json& report, const std::string& pointer)
{
    const json& value = report.at(json::json_pointer(pointer));
    if (value.is_null()) return "none";
    return "<span data-json=\"" + pointer + "\">" + escaped(value.get<std::string>()) + "</span>";
}

// The session's times: its first and last frame's, and the longest
// stretch without values a line is drawn across (three frame intervals:
// the stretches a short session's frames leave between them, not a
// block lost for a while).
struct Timeline {
    double first, last, longestJoin;
};

// A plot of time against values: its frame, axes and series as SVG.
class Plot {
public:
    // Times over the timeline (a session of one frame spans a second),
    // values from low to high.
    Plot(int height, const Timeline& timeline, double low, double high)
        : height_(height), t0_(timeline.first), span_(timeline.last > t0_ ? timeline.last - t0_ : 1),
          longestJoin_(timeline.longestJoin), low_(low), high_(high > low ? high : low + 1)
    {
    }

    double x(double t) const { return kLeft + (t - t0_) / span_ * kColumns; }
    double y(double v) const { return kTop + (high_ - v) / (high_ - low_) * (height_ - kTop - kBottom); }

    // The frame, time ticks and value ticks (with `unit`).
    void axes(const std::vector<double>& ticks, const char* unit)
    {
        svg_ += fmt::format("<rect x=\"{}\" y=\"{}\" width=\"{}\" height=\"{}\" class=\"frame\"/>", kLeft, kTop,
                            kColumns, height_ - kTop - kBottom);
        // Ticks at whole multiples of the step, counted rather than summed
        // (a step below the times' resolution would never advance), labelled
        // with as many decimals as the step needs (times since 1970 read whole).
        const double step = niceStep(span_ / 8);
        const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step))), 0, 9);
        const double first = std::ceil(t0_ / step);
        double previous = -INFINITY;
        for (int k = 0; k <= kMostTicks; ++k) {
            const double t = (first + k) * step;
            if (!(t > previous) || t - t0_ > span_ * (1 + 1e-9)) break;
            previous = t;
            svg_ += fmt::format("<line x1=\"{0:.1f}\" x2=\"{0:.1f}\" y1=\"{1}\" y2=\"{2}\" class=\"grid\"/>"
                                "<text x=\"{0:.1f}\" y=\"{3}\" class=\"tick\" text-anchor=\"middle\">{4:.{5}f} s</text>",
                                x(t), kTop, height_ - kBottom, height_ - kBottom + 14, t, decimals);
        }
        for (const double v : ticks)
            svg_ += fmt::format("<line x1=\"{0}\" x2=\"{1}\" y1=\"{2:.1f}\" y2=\"{2:.1f}\" class=\"grid\"/>"
                                "<text x=\"{3}\" y=\"{4:.1f}\" class=\"tick\" text-anchor=\"end\">{5:g}{6}</text>",
                                kLeft, kWidth - kRight, y(v), kLeft - 4, y(v) + 4, v, unit);
    }

    // An envelope as one path: at each pixel column its smallest and
    // largest value. A stretch wider than a column (a short session) fills
    // every column it covers; the line breaks where columns without values
    // span more than the timeline's longest join.
    void envelope(const Envelope& e, const char* colour, const char* dash, double strokeWidth)
    {
        if (e.empty()) return;
        std::vector<double> lo(kColumns, NAN), hi(kColumns, NAN);
        for (std::size_t k = 0; k < e.size(); ++k) {
            if (std::isnan(e.low(k))) continue;
            const double from = e.start() + static_cast<double>(k) * e.width();
            const int first = column(std::floor(x(from)));
            const int last = std::max(first, column(std::ceil(x(from + e.width())) - 1));
            for (int c = first; c <= last; ++c) {
                lo[c] = std::isnan(lo[c]) ? e.low(k) : std::min(lo[c], e.low(k));
                hi[c] = std::isnan(hi[c]) ? e.high(k) : std::max(hi[c], e.high(k));
            }
        }
        std::string path;
        int previous = -1;
        for (int c = 0; c < kColumns; ++c) {
            if (std::isnan(lo[c])) continue;
            const bool joined = previous >= 0 && (c - previous - 1) * span_ / kColumns <= longestJoin_;
            path += fmt::format("{}{},{:.1f}", joined ? "L" : "M", kLeft + c, y(hi[c]));
            if (y(lo[c]) - y(hi[c]) >= 0.5) path += fmt::format("V{:.1f}", y(lo[c]));
            previous = c;
        }
        svg_ += fmt::format("<path d=\"{}\" stroke=\"{}\" stroke-width=\"{}\" fill=\"none\"{}/>", path, colour,
                            strokeWidth, *dash ? fmt::format(" stroke-dasharray=\"{}\"", dash) : "");
    }

    void level(double v, const char* colour, const char* dash)
    {
        svg_ += fmt::format("<line x1=\"{}\" x2=\"{}\" y1=\"{:.1f}\" y2=\"{:.1f}\" stroke=\"{}\" "
                            "stroke-dasharray=\"{}\"/>",
                            kLeft, kWidth - kRight, y(v), y(v), colour, dash);
    }

    // A moment marked across the plot, labelled.
    void moment(double t, const char* colour, const char* dash, const std::string& label)
    {
        svg_ += fmt::format("<line x1=\"{0:.1f}\" x2=\"{0:.1f}\" y1=\"{1}\" y2=\"{2}\" stroke=\"{3}\" "
                            "stroke-dasharray=\"{4}\" stroke-width=\"1.5\"/><text x=\"{5:.1f}\" y=\"{6}\" "
                            "class=\"tick\" fill=\"{3}\">{7}</text>",
                            x(t), kTop, height_ - kBottom, colour, dash, x(t) + 3, kTop + 11, escaped(label));
    }

    // Marks over time: a rectangle at each stretch where `e` reaches 1, in
    // the band from value `top` to `bottom`.
    void marks(const Envelope& e, double threshold, double top, double bottom, const char* colour)
    {
        for (std::size_t k = 0; k < e.size(); ++k) {
            if (!(e.high(k) >= threshold)) continue;
            const double left = x(e.start() + static_cast<double>(k) * e.width());
            const double right = std::max(x(e.start() + static_cast<double>(k + 1) * e.width()), left + 1.5);
            svg_ += fmt::format("<rect x=\"{:.1f}\" y=\"{:.1f}\" width=\"{:.1f}\" height=\"{:.1f}\" fill=\"{}\"/>", left,
                                y(top), right - left, y(bottom) - y(top), colour);
        }
    }

    void label(double v, const std::string& name)
    {
        svg_ += fmt::format("<text x=\"{}\" y=\"{:.1f}\" class=\"tick\" text-anchor=\"end\">{}</text>", kLeft - 4,
                            y(v) + 4, escaped(name));
    }

    // The figure: the SVG with its title and description (what a screen
    // reader reads), then a caption.
    std::string figure(const std::string& id, const std::string& title, const std::string& caption) const
    {
        return fmt::format("<figure><svg viewBox=\"0 0 {0} {1}\" width=\"{0}\" height=\"{1}\" role=\"img\" "
                           "aria-labelledby=\"{2}-title\"><title id=\"{2}-title\">{3}</title>{4}</svg>"
                           "<figcaption>{5}</figcaption></figure>\n",
                           kWidth, height_, id, escaped(title), svg_, caption);
    }

private:
    static constexpr int kMostTicks = 20;

    // The plot's column (0 to kColumns - 1) holding horizontal position
    // `position`; positions off the plot (or NaN) go to its nearest edge.
    static int column(double position)
    {
        const double c = position - kLeft;
        return c >= kColumns - 1 ? kColumns - 1 : c >= 0 ? static_cast<int>(c) : 0;
    }

    static double niceStep(double rough)
    {
        const double power = std::pow(10.0, std::floor(std::log10(std::max(rough, 1e-9))));
        for (const double m : {1.0, 2.0, 5.0, 10.0})
            if (m * power >= rough) return m * power;
        return 10 * power;
    }

    int height_;
    double t0_, span_, longestJoin_, low_, high_;
    std::string svg_;
};

const char* const kStyle = R"(
body { font: 15px/1.45 system-ui, sans-serif; color: #111; max-width: 900px; margin: 1.5em auto; padding: 0 1em; }
h1 { font-size: 1.4em; margin-bottom: 0.2em; } h2 { font-size: 1.15em; margin-top: 1.6em; border-bottom: 1px solid #bbb; }
h3 { font-size: 1em; margin-bottom: 0.3em; }
figure { margin: 0.6em 0 1.2em; } figcaption { font-size: 0.9em; color: #333; }
svg { max-width: 100%; height: auto; background: #fff; }
.frame { fill: none; stroke: #888; } .grid { stroke: #e4e4e4; } .tick { font-size: 11px; fill: #444; }
table { border-collapse: collapse; margin: 0.4em 0 0.8em; } td, th { padding: 0.15em 0.8em 0.15em 0; text-align: left; vertical-align: top; }
th { font-weight: 600; } .legend span { margin-right: 1.4em; white-space: nowrap; }
.swatch { display: inline-block; width: 26px; height: 0; vertical-align: middle; margin-right: 0.35em; border-top: 2px solid; }
.refused { color: #D55E00; font-weight: 600; }
@media print { body { max-width: none; margin: 0; } figure, table { break-inside: avoid; } h2 { break-after: avoid; } }
)";

std::string swatch(const char* colour, const char* style, const std::string& name)
{
    return fmt::format("<span><i class=\"swatch\" style=\"border-top-color:{};border-top-style:{}\"></i>{}</span>",
                       colour, style, escaped(name));
}

const char* const kHands[2] = {"right_hand", "left_hand"};
const char* const kHandNames[2] = {"Right glove", "Left glove"};
const char* const kDeviceNames[3] = {"Right tracker", "Left tracker", "Headset"};

bool present(const json& report, const std::string& name)
{
    for (const json& p : report["present"])
        if (p["name"] == name) return p["present"].get<bool>();
    return false;
}

std::string glance(const json& r, const SessionTrace& trace, const Timeline& timeline)
{
    std::string out = "<section id=\"glance\"><h2>The session at a glance</h2><p>";
    out += number(r, "/frames", 0) + " frames from " + number(r, "/first_time", 3, " s") + " to " +
           number(r, "/last_time", 3, " s") + " (" + number(r, "/duration_s", 3, " s") + ", " +
           number(r, "/frames_per_second", 1) + " frames a second); present: ";
    std::vector<std::string> names;
    for (const json& p : r["present"])
        if (p["present"].get<bool>()) names.push_back(p["name"].get<std::string>());
    for (std::size_t k = 0; k < names.size(); ++k) out += (k ? ", " : "") + escaped(names[k]);
    out += names.empty() ? "nothing but time" : "";
    out += ". Calibrated at line " + number(r, "/calibration_line", 0) + " (t = " +
           number(r, "/calibration_time", 3, " s") + ").</p>\n";

    // One row per block present, marked where its frames were lost; a last
    // row where frames are missing (an interval of more than 2.5 frames).
    const char* const blocks[5] = {"right glove", "left glove", "right tracker", "left tracker", "headset"};
    std::vector<int> rows;
    for (int b = 0; b < 5; ++b)
        if (present(r, blocks[b])) rows.push_back(b);
    const int n = static_cast<int>(rows.size()) + 1;
    Plot plot(kTop + kBottom + 18 * n, timeline, 0, n);
    plot.axes({}, "");
    for (int i = 0; i < n - 1; ++i) {
        plot.label(n - i - 0.5, blocks[rows[i]]);
        plot.marks(trace.lost[rows[i]], 1.0, n - i - 0.15, n - i - 0.85, kVermillion);
    }
    plot.label(0.5, "frames missing");
    const double nominal = r["frames_per_second"].is_null() ? 0.0 : 1.0 / r["frames_per_second"].get<double>();
    if (nominal > 0) plot.marks(trace.interval, 2.5 * nominal, 0.85, 0.15, kPurple);
    std::string caption = "Frames with NaN or a zero quaternion, per glove and device (marked where lost), and "
                          "frames missing from the time line. Degenerate frames: ";
    const json& degenerate = r["quality"]["degenerate_frames"];
    if (degenerate.empty()) caption += "none.";
    for (std::size_t k = 0; k < degenerate.size(); ++k)
        caption += (k ? "; " : "") + text(r, "/quality/degenerate_frames/" + std::to_string(k)) +
                   (k + 1 == degenerate.size() ? "." : "");
    out += plot.figure("lost", "Lost and missing frames over time", caption);
    return out + "</section>\n";
}

std::string calibrations(const json& r)
{
    std::string out = "<section id=\"calibrations\"><h2>Calibrations</h2>\n";
    for (int h = 0; h < 2; ++h) {
        const std::string base = std::string("/calibrations/") + kHands[h];
        const json& c = r["calibrations"][kHands[h]];
        out += fmt::format("<h3>{} (single hand)</h3><table><tr><th>outcome</th><td{}>{}</td></tr>", kHandNames[h],
                           c["outcome"] == "refused" ? " class=\"refused\"" : "", text(r, base + "/outcome"));
        if (!c["reason"].get<std::string>().empty())
            out += "<tr><th>why</th><td>" + text(r, base + "/reason") + "</td></tr>";
        out += "<tr><th>heading offset</th><td>" + number(r, base + "/heading_offset_deg", 2, " degrees") + "</td></tr>";
        if (c.contains("tilt_deg"))
            out += "<tr><th>tilts at calibration</th><td>glove row " + number(r, base + "/tilt_deg/source", 1, "&deg;") +
                   ", tracker " + number(r, base + "/tilt_deg/target", 1, "&deg;") + "</td></tr>";
        if (c.contains("motion")) {
            const std::string m = base + "/motion";
            out += "<tr><th>from motion</th><td>verdict " + text(r, m + "/verdict") + ": " +
                   text(r, m + "/verdict_message") + "</td></tr><tr><th>heading</th><td>" +
                   number(r, m + "/heading_offset_deg", 2, "&deg;") + " &plusmn; " +
                   number(r, m + "/heading_uncertainty_deg", 2, "&deg;") +
                   " (one standard error); a snapshot at the window's start: " +
                   number(r, m + "/snapshot_heading_offset_deg", 2, "&deg;") + "</td></tr><tr><th>strap</th><td>turned " +
                   number(r, m + "/strap_turn_deg", 1, "&deg;") + " about the forearm, tilted " +
                   number(r, m + "/strap_tilt_deg", 1, "&deg;") + "</td></tr><tr><th>motion seen</th><td>turning over " +
                   number(r, m + "/turning_over_deg", 1, "&deg;") + ", round " +
                   number(r, m + "/turning_round_deg", 1, "&deg;") + ", hand against tracker " +
                   number(r, m + "/residual_spread_deg", 2, "&deg;") + " (root mean square), " +
                   number(r, m + "/frames_used", 0) + " frames over " + number(r, m + "/duration_s", 2, " s") +
                   "</td></tr>";
        }
        out += "</table>\n";
    }
    const json& both = r["calibrations"]["both_hands"];
    out += fmt::format("<h3>Both hands</h3><table><tr><th>outcome</th><td{}>{}</td></tr>",
                       both["outcome"] == "refused" ? " class=\"refused\"" : "", text(r, "/calibrations/both_hands/outcome"));
    if (!both["reason"].get<std::string>().empty())
        out += "<tr><th>why</th><td>" + text(r, "/calibrations/both_hands/reason") + "</td></tr>";
    out += "<tr><th>heading</th><td>" + number(r, "/calibrations/both_hands/heading_deg", 2, "&deg;") +
           "</td></tr><tr><th>tracker separation</th><td>" + number(r, "/quality/separation", 3) +
           " tracking units</td></tr></table>\n";
    const json& all = r["calibrations"]["all_vr"];
    out += fmt::format("<h3>All-VR</h3><table><tr><th>outcome</th><td>{}</td></tr><tr><th>decided by</th><td>{}</td></tr>"
                       "<tr><th>covers</th><td>",
                       text(r, "/calibrations/all_vr/outcome"), text(r, "/calibrations/all_vr/decided_by"));
    for (std::size_t k = 0; k < all["covers"].size(); ++k)
        out += (k ? ", " : "") + text(r, "/calibrations/all_vr/covers/" + std::to_string(k));
    out += "</td></tr><tr><th>heading</th><td>" + number(r, "/calibrations/all_vr/heading_deg", 2, "&deg;") + "</td></tr>";
    if (r["quality"].contains("heading_sources_deg")) {
        out += "<tr><th>heading sources</th><td>";
        bool first = true;
        for (const auto& [name, value] : r["quality"]["heading_sources_deg"].items()) {
            std::string spoken = name;
            std::replace(spoken.begin(), spoken.end(), '_', ' ');
            out += (first ? "" : "; ") + escaped(spoken) + " " +
                   number(r, "/quality/heading_sources_deg/" + name, 2, "&deg;");
            first = false;
        }
        out += "</td></tr><tr><th>largest disagreement</th><td>" +
               number(r, "/quality/largest_disagreement_deg", 2, "&deg;") + "</td></tr>";
    }
    out += "</table><p>Degenerate calibration inputs: ";
    const json& problems = r["quality"]["degenerate_inputs"];
    out += problems.empty() ? "none" : "";
    for (std::size_t k = 0; k < problems.size(); ++k)
        out += (k ? "; " : "") + text(r, "/quality/degenerate_inputs/" + std::to_string(k));
    return out + ".</p></section>\n";
}

std::string drift(const json& r, const SessionTrace& trace, const Timeline& timeline)
{
    std::string out = "<section id=\"drift\"><h2>Drift</h2><p>Each glove's heading against its wrist tracker's "
                      "since calibrating. The per-frame residual moves with the hand against the tracker; the "
                      "trend, fitted over the monitor's window, is the drift.</p><p class=\"legend\">" +
                      swatch(kBlue, "solid", "per-frame residual") + swatch(kVermillion, "dashed", "fitted trend") +
                      swatch(kBlack, "dotted", "threshold") + swatch(kPurple, "dashed", "flag raised") +
                      swatch(kGreen, "solid", "re-calibration or compensation") + "</p>\n";
    for (int h = 0; h < 2; ++h) {
        const json& d = r["drift"][kHands[h]];
        const std::string base = std::string("/drift/") + kHands[h];
        out += fmt::format("<h3>{}</h3>", kHandNames[h]);
        if (!d["monitored"].get<bool>()) {
            out += "<p>Not monitored.</p>\n";
            continue;
        }
        const double threshold = d["threshold_deg"].get<double>();
        double extent = 1.25 * threshold;
        for (const Envelope* e : {&trace.residual[h], &trace.trend[h]})
            for (std::size_t k = 0; k < e->size(); ++k)
                if (!std::isnan(e->low(k))) extent = std::max({extent, std::fabs(e->low(k)), std::fabs(e->high(k))});
        extent = std::min(extent * 1.05, 180.0);
        Plot plot(240, timeline, -extent, extent);
        const double tick = extent > 60 ? 30 : extent > 20 ? 10 : extent > 8 ? 5 : 2;
        std::vector<double> ticks;
        for (double v = -std::floor(extent / tick) * tick; v <= extent; v += tick) ticks.push_back(v);
        plot.axes(ticks, "&deg;");
        plot.level(threshold, kBlack, "2 3");
        plot.level(-threshold, kBlack, "2 3");
        plot.envelope(trace.residual[h], kBlue, "", 1.0);
        plot.envelope(trace.trend[h], kVermillion, "7 4", 2.0);
        if (!d["first_flag_time"].is_null()) plot.moment(d["first_flag_time"].get<double>(), kPurple, "5 3", "flag");
        for (const json& e : d["events"])
            plot.moment(e["time"].get<double>(), kGreen, "", e["kind"] == "recalibration" ? "re-calibrated" : "compensating");
        std::string caption = "Rate " + number(r, base + "/rate_deg_per_min", 2) + " &plusmn; " +
                              number(r, base + "/rate_uncertainty_deg_per_min", 2, " degrees a minute") + " over the last " +
                              number(r, base + "/fit_span_s", 0, " s") + "; largest trend residual " +
                              number(r, base + "/largest_residual_deg", 2, "&deg;") + " at " +
                              number(r, base + "/largest_residual_time", 1, " s") + "; at the end " +
                              number(r, base + "/final_residual_deg", 2, "&deg;") + ". Threshold " +
                              number(r, base + "/threshold_deg", 1, "&deg;") + " held " +
                              number(r, base + "/hold_time", 1, " s") + "; re-calibration first recommended at " +
                              number(r, base + "/first_flag_time", 1, " s") + ".";
        for (std::size_t k = 0; k < d["events"].size(); ++k) {
            const std::string e = base + "/events/" + std::to_string(k);
            caption += " " + std::string(d["events"][k]["kind"] == "recalibration" ? "Re-calibrated" : "Compensation started") +
                       " at " + number(r, e + "/time", 1, " s") + ": trend " + number(r, e + "/residual_before_deg", 2, "&deg;") +
                       " to " + number(r, e + "/residual_after_deg", 2, "&deg;") + ".";
        }
        out += plot.figure(std::string("drift-") + kHands[h], std::string(kHandNames[h]) + ": drift over time", caption);
    }
    return out + "</section>\n";
}

std::string headings(const json& r, const SessionTrace& trace, const Timeline& timeline)
{
    std::string out = "<section id=\"headings\"><h2>Headings</h2><p>Each glove's reference row and each device, "
                      "about the up axis, before and after calibrating (degrees, counter-clockwise seen from "
                      "above).</p><p class=\"legend\">" +
                      swatch(kOrange, "dashed", "as recorded") + swatch(kBlue, "solid", "calibrated") + "</p>\n";
    const auto one = [&](const std::string& id, const std::string& name, const HeadingSeries& s) {
        Plot plot(180, timeline, -180, 180);
        plot.axes({-180, -90, 0, 90, 180}, "&deg;");
        plot.envelope(s.recorded, kOrange, "5 3", 1.2);
        plot.envelope(s.calibrated, kBlue, "", 1.2);
        out += "<h3>" + escaped(name) + "</h3>" +
               plot.figure(id, name + ": heading over time, recorded and calibrated",
                           escaped(name) + "'s heading as recorded (dashed) and as calibrated (solid).");
    };
    const char* const blocks[2] = {"right glove", "left glove"};
    for (int h = 0; h < 2; ++h)
        if (present(r, blocks[h])) one(std::string("heading-") + kHands[h], kHandNames[h], trace.glove[h]);
    const char* const devices[3] = {"right tracker", "left tracker", "headset"};
    for (int d = 0; d < 3; ++d)
        if (present(r, devices[d])) one(std::string("heading-device-") + std::to_string(d), kDeviceNames[d], trace.device[d]);
    return out + "</section>\n";
}

}  // namespace

void writeHtmlReport(std::ostream& out, const json& report, const SessionTrace& trace)
{
    const double first = report["first_time"].get<double>(), last = report["last_time"].get<double>();
    const double frames = report["frames"].get<double>();
    const Timeline timeline{first, last, frames > 1 ? 3 * (last - first) / (frames - 1) : 0};
    out << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
        << "<title>tarn-replay report: " << escaped(report["session"].get<std::string>()) << "</title><style>" << kStyle
        << "</style></head><body>\n<header><h1>tarn-replay report</h1><p>" << escaped(report["session"].get<std::string>())
        << "</p></header>\n"
        << glance(report, trace, timeline) << calibrations(report) << drift(report, trace, timeline)
        << headings(report, trace, timeline) << "</body></html>\n";
}

}  // namespace replay
