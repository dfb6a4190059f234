#include "SessionTrace.h"

#include <algorithm>
#include <cmath>

#include "InputChecks.h"
#include "Rotations.h"

namespace replay {

namespace {

double headingDegrees(const double* q) { return degrees(headingOf(quaternionAt(q))); }

bool zero(const double* q) { return isZeroQuaternion({q[0], q[1], q[2], q[3]}); }

}  // namespace

void Envelope::add(double time, double value)
{
    if (std::isnan(value) || !std::isfinite(time)) return;
    if (std::isnan(start_)) start_ = time;
    const double since = time - start_;
    if (!(since >= 0.0) || !std::isfinite(since)) return;  // times go forward; a span beyond doubles is not drawn
    while (since / width_ >= static_cast<double>(kBuckets)) halve();
    const auto k = static_cast<std::size_t>(since / width_);
    if (k >= low_.size()) {
        low_.resize(k + 1, kNaN);
        high_.resize(k + 1, kNaN);
    }
    low_[k] = std::isnan(low_[k]) ? value : std::min(low_[k], value);
    high_[k] = std::isnan(high_[k]) ? value : std::max(high_[k], value);
}

void Envelope::halve()
{
    const auto merged = [](double a, double b, bool lowest) {
        if (std::isnan(a)) return b;
        if (std::isnan(b)) return a;
        return lowest ? std::min(a, b) : std::max(a, b);
    };
    const std::size_t n = (low_.size() + 1) / 2;
    for (std::size_t k = 0; k < n; ++k) {
        const double lowB = 2 * k + 1 < low_.size() ? low_[2 * k + 1] : kNaN;
        const double highB = 2 * k + 1 < high_.size() ? high_[2 * k + 1] : kNaN;
        low_[k] = merged(low_[2 * k], lowB, true);
        high_[k] = merged(high_[2 * k], highB, false);
    }
    low_.resize(n);
    high_.resize(n);
    width_ *= 2;
}

void SessionTrace::addRecorded(const Frame& f, const SessionLayout& layout, std::size_t row)
{
    if (!std::isnan(lastTime)) interval.add(lastTime, f.time - lastTime);
    lastTime = f.time;
    ++frames;
    for (const Side hand : kSides) {
        if (!layout.has(hand)) continue;
        const GloveBlock& block = f.glove[index(hand)];
        glove[index(hand)].recorded.add(f.time, headingDegrees(block.data() + 4 * row));
        bool gone = hasNaN(block.data(), block.size());
        for (std::size_t r = 0; r < kGloveRows && !gone; ++r) gone = zero(block.data() + 4 * r);
        lost[index(hand)].add(f.time, gone ? 1.0 : 0.0);
    }
    for (const Device d : kDevices) {
        if (!layout.has(d)) continue;
        const Pose& pose = f.device[index(d)];
        device[index(d)].recorded.add(f.time, headingDegrees(pose.orientation.data()));
        const bool gone = hasNaN(pose.position.data(), 3) || hasNaN(pose.orientation.data(), 4) ||
                          zero(pose.orientation.data());
        lost[2 + index(d)].add(f.time, gone ? 1.0 : 0.0);
    }
}

void SessionTrace::addCalibrated(const Frame& f, const SessionLayout& layout, std::size_t row, double rightResidual,
                                 double leftResidual, double rightTrend, double leftTrend)
{
    const double residuals[2] = {rightResidual, leftResidual}, trends[2] = {rightTrend, leftTrend};
    for (const Side hand : kSides) {
        if (!layout.has(hand)) continue;
        glove[index(hand)].calibrated.add(f.time, headingDegrees(f.glove[index(hand)].data() + 4 * row));
        residual[index(hand)].add(f.time, degrees(residuals[index(hand)]));
        trend[index(hand)].add(f.time, degrees(trends[index(hand)]));
    }
    for (const Device d : kDevices)
        if (layout.has(d)) device[index(d)].calibrated.add(f.time, headingDegrees(f.device[index(d)].orientation.data()));
}

}  // namespace replay
