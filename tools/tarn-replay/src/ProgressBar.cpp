#include "ProgressBar.h"

#include <algorithm>
#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define TARN_ISATTY _isatty
#define TARN_FILENO _fileno
#else
#include <unistd.h>
#define TARN_ISATTY isatty
#define TARN_FILENO fileno
#endif

namespace replay {

ProgressBar::ProgressBar(std::string label, bool enabled) : label_(std::move(label)), enabled_(enabled) {}

ProgressBar::~ProgressBar()
{
    if (enabled_ && shown_ >= 0) {
        std::fputc('\n', stderr);
    }
}

void ProgressBar::update(double fraction)
{
    const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100.0);
    if (!enabled_ || percent == shown_) {
        return;
    }
    shown_ = percent;
    constexpr int width = 40;
    const int filled = percent * width / 100;
    std::fprintf(stderr, "\r%-10s [%s%s] %3d%%", label_.c_str(), std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(width - filled), '.').c_str(), percent);
    std::fflush(stderr);
}

bool standardErrorIsTerminal()
{
    return TARN_ISATTY(TARN_FILENO(stderr)) != 0;
}

}  // namespace replay
