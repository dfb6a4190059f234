// Small hand-written sessions for the tool tests.
#pragma once

#include <string>
#include <vector>

// Header columns of one glove ("rglove"/"lglove") or device ("rtracker",
// "ltracker", "headset").
std::string gloveHeader(const std::string& prefix);
std::string poseHeader(const std::string& prefix);

// Values of a glove whose 20 rows all hold `row` ("w,x,y,z"), except row 0
// which holds `row0`.
std::string gloveValues(const std::string& row0, const std::string& row);
