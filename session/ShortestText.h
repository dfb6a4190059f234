// Writes a double with the fewest digits that read back to the same
// double: the text std::to_chars(first, last, value) writes (fixed or
// scientific, whichever is shorter, fixed on a tie), faster.
#pragma once

namespace session {

// The longest text written: "-" "d." 16 digits "e-308".
constexpr int kLongestShortestText = 24;

// Writes the text of `value` at `out` (room for kLongestShortestText
// characters) and returns the end of what it wrote.
char* writeShortest(char* out, double value);

}  // namespace session
