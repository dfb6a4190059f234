// A one-line progress bar on standard error.
#pragma once

#include <string>

namespace replay {

class ProgressBar {
public:
    // Draws nothing unless `enabled`.
    ProgressBar(std::string label, bool enabled);
    ~ProgressBar();  // finishes the line if anything was drawn

    // Redraws when the whole percentage changed; fraction 0 to 1.
    void update(double fraction);

private:
    std::string label_;
    bool enabled_;
    int shown_ = -1;
};

// True when standard error is a terminal (where a bar makes sense).
bool standardErrorIsTerminal();

}  // namespace replay
