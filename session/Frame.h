// One recorded frame of a session: the two gloves and the three VR devices.
#pragma once

#include <array>
#include <cstddef>

namespace session {

constexpr std::size_t kGloveRows = 20;
constexpr std::size_t kGloveValues = 4 * kGloveRows;  // 20 quaternions w x y z

enum class Side : std::size_t { Right, Left };
enum class Device : std::size_t { RightTracker, LeftTracker, Headset };

constexpr std::array<Side, 2> kSides{Side::Right, Side::Left};
constexpr std::array<Device, 3> kDevices{Device::RightTracker, Device::LeftTracker, Device::Headset};

constexpr std::size_t index(Side hand) { return static_cast<std::size_t>(hand); }
constexpr std::size_t index(Device device) { return static_cast<std::size_t>(device); }

// Position [x, y, z] (tracking unit, Z up) and orientation [w, x, y, z]
// (device to tracking frame) of a tracked device.
struct Pose {
    std::array<double, 3> position{};
    std::array<double, 4> orientation{1.0, 0.0, 0.0, 0.0};
};

using GloveBlock = std::array<double, kGloveValues>;

struct Frame {
    double time = 0.0;  // seconds
    std::array<GloveBlock, 2> glove{};   // indexed by Side
    std::array<Pose, 3> device{};        // indexed by Device
};

}  // namespace session
