// The report as one self-contained HTML page (tarn-replay --html): the
// session at a glance with its lost frames on a time axis, each
// calibration and what it found, each glove's drift over time, and the
// headings of every glove and device before and after calibrating. Inline
// SVG and CSS only: no script, font or image is fetched, so the page opens
// offline, from a mail attachment. Every number in its prose is one of the
// JSON report's, marked <data data-json="/pointer" value="..."> so that a
// check can hold the two together; the plots are reduced to what a screen
// shows (SessionTrace), so an hour's session makes a page of a few hundred
// kilobytes. Colours are Okabe and Ito's (safe for colour-blind readers)
// and series differ by line style too: solid per-frame residual, dashed
// trend, dotted threshold.
#pragma once

#include <ostream>

#include <nlohmann/json.hpp>

#include "SessionTrace.h"

namespace replay {

// `report`: the JSON report (jsonReport); `trace`: the session's series.
void writeHtmlReport(std::ostream& out, const nlohmann::json& report, const SessionTrace& trace);

}  // namespace replay
