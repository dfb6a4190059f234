// Session-wide counts of frames whose inputs cannot be calibrated sensibly.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "SessionTypes.h"

namespace replay {

// Collects, per glove and device, the frames holding NaN values or zero
// quaternions (their calibrated output is NaN or zero), and the time span.
class SessionScan {
public:
    explicit SessionScan(const SessionLayout& layout);

    void add(const Frame& frame, long line);

    long frames() const { return frames_; }
    double firstTime() const { return firstTime_; }
    double lastTime() const { return lastTime_; }

    // One line per glove or device with problems, e.g. "headset: 3 frames
    // with NaN (first on line 17)". Empty when there are none.
    std::vector<std::string> summary() const;

private:
    struct Count {
        long frames = 0;
        long firstLine = 0;
        void add(long line);
    };
    struct BlockCounts {
        std::string name;
        Count nan;
        Count zero;
    };

    static void record(BlockCounts& counts, bool nan, bool zero, long line);

    const SessionLayout& layout_;
    std::array<BlockCounts, 5> blocks_;  // right glove, left glove, then the devices
    long frames_ = 0;
    double firstTime_ = 0.0;
    double lastTime_ = 0.0;
};

}  // namespace replay
