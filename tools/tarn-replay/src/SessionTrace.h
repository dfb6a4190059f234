// What the HTML report plots of a whole session, gathered frame by frame
// in bounded memory: each series is an envelope, the smallest and largest
// value in each of at most kBuckets stretches of time; when a session
// outgrows them, neighbouring stretches are merged and each covers twice
// the time. An hour at 90 frames a second keeps the same few kilobytes a
// series as a minute.
#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <vector>

#include "SessionTypes.h"

namespace replay {

class Envelope {
public:
    static constexpr std::size_t kBuckets = 2048;

    // A value at `time` (times never going back); NaN is not a value.
    void add(double time, double value);
    bool empty() const { return low_.empty(); }
    // Stretch k covers [start() + k * width(), start() + (k + 1) * width()).
    double start() const { return start_; }
    double width() const { return width_; }
    std::size_t size() const { return low_.size(); }
    // The smallest and largest value in stretch k (NaN for a stretch with none).
    double low(std::size_t k) const { return low_[k]; }
    double high(std::size_t k) const { return high_[k]; }

private:
    void halve();

    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    double start_ = kNaN;
    double width_ = 1.0 / 128;  // seconds; doubles as the session grows
    std::vector<double> low_, high_;
};

// Headings in degrees about the up axis, counter-clockwise seen from above
// (library convention), -180 to 180.
struct HeadingSeries {
    Envelope recorded, calibrated;
};

struct SessionTrace {
    // Per glove: the reference row's heading, each frame's drift residual
    // and the monitor's trend residual (degrees).
    std::array<HeadingSeries, 2> glove;
    std::array<Envelope, 2> residual, trend;
    // Per device: its heading.
    std::array<HeadingSeries, 3> device;
    // Per block (gloves, then devices): 1 where a frame's values hold NaN
    // or a zero quaternion (the block lost), 0 elsewhere.
    std::array<Envelope, 5> lost;
    // The time from each frame to the next (a missing frame shows as a
    // long one).
    Envelope interval;
    double lastTime = std::numeric_limits<double>::quiet_NaN();
    std::size_t frames = 0;

    // A frame as recorded (before any conversion) and as converted, with its
    // residuals (NaN where there are none); `row` the gloves' reference row.
    void addRecorded(const Frame& frame, const SessionLayout& layout, std::size_t row);
    void addCalibrated(const Frame& frame, const SessionLayout& layout, std::size_t row, double rightResidual,
                       double leftResidual, double rightTrend, double leftTrend);
};

}  // namespace replay
