#include "SessionScan.h"

#include "InputChecks.h"

namespace replay {

namespace {

bool anyZeroRow(const GloveBlock& block)
{
    for (std::size_t row = 0; row < kGloveRows; ++row) {
        const double* q = block.data() + 4 * row;
        if (isZeroQuaternion({q[0], q[1], q[2], q[3]})) {
            return true;
        }
    }
    return false;
}

std::string describe(const std::string& what, long frames, long firstLine)
{
    return std::to_string(frames) + (frames == 1 ? " frame" : " frames") + " with " + what + " (first on line " +
           std::to_string(firstLine) + ")";
}

}  // namespace

void SessionScan::Count::add(long line)
{
    if (frames++ == 0) {
        firstLine = line;
    }
}

SessionScan::SessionScan(const SessionLayout& layout) : layout_(layout)
{
    blocks_[0].name = handName(Side::Right);
    blocks_[1].name = handName(Side::Left);
    for (const Device device : kDevices) {
        blocks_[2 + index(device)].name = deviceName(device);
    }
}

void SessionScan::add(const Frame& frame, long line)
{
    if (frames_++ == 0) {
        firstTime_ = frame.time;
    }
    lastTime_ = frame.time;
    for (const Side hand : kSides) {
        if (layout_.has(hand)) {
            const GloveBlock& block = frame.glove[index(hand)];
            record(blocks_[index(hand)], hasNaN(block.data(), block.size()), anyZeroRow(block), line);
        }
    }
    for (const Device device : kDevices) {
        if (layout_.has(device)) {
            const Pose& pose = frame.device[index(device)];
            const bool nan = hasNaN(pose.position.data(), 3) || hasNaN(pose.orientation.data(), 4);
            record(blocks_[2 + index(device)], nan, isZeroQuaternion(pose.orientation), line);
        }
    }
}

void SessionScan::record(BlockCounts& counts, bool nan, bool zero, long line)
{
    if (nan) {
        counts.nan.add(line);
    }
    if (zero) {
        counts.zero.add(line);
    }
}

std::vector<std::string> SessionScan::summary() const
{
    std::vector<std::string> lines;
    for (const BlockCounts& block : blocks_) {
        if (block.nan.frames > 0) {
            lines.push_back(block.name + ": " + describe("NaN", block.nan.frames, block.nan.firstLine));
        }
        if (block.zero.frames > 0) {
            lines.push_back(block.name + ": " + describe("a zero quaternion", block.zero.frames, block.zero.firstLine));
        }
    }
    return lines;
}

}  // namespace replay
