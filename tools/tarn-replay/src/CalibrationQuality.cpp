#include "CalibrationQuality.h"

#include <algorithm>
#include <cmath>

#include "InputChecks.h"

namespace {

Quat gloveRow(const Frame& frame, Hand hand, std::size_t row)
{
    const double* q = frame.glove[index(hand)].data() + 4 * row;
    return {q[0], q[1], q[2], q[3]};
}

void checkHeadingInput(const std::string& what, const Quat& q, std::vector<std::string>& problems)
{
    if (const auto problem = headingProblem(q)) {
        problems.push_back(what + ": " + *problem);
    }
}

double largestDisagreement(const std::vector<HeadingEstimate>& headings)
{
    double largest = 0.0;
    for (std::size_t i = 0; i < headings.size(); ++i) {
        for (std::size_t j = i + 1; j < headings.size(); ++j) {
            largest = std::max(largest, std::fabs(wrapAngle(headings[i].heading - headings[j].heading)));
        }
    }
    return largest;
}

}  // namespace

CalibrationQuality assessCalibrationFrame(const Frame& frame, const SessionLayout& layout, std::size_t sourceRow)
{
    CalibrationQuality quality;
    for (const Hand hand : kHands) {
        const Device tracker = hand == Hand::Right ? Device::RightTracker : Device::LeftTracker;
        if (layout.has(hand)) {
            checkHeadingInput(handName(hand) + " row " + std::to_string(sourceRow) + " (source)",
                              gloveRow(frame, hand, sourceRow), quality.problems);
        }
        if (layout.has(hand) && layout.has(tracker)) {
            quality.tilt[index(hand)] =
                HandTilt{tiltOf(gloveRow(frame, hand, sourceRow)), tiltOf(frame.device[index(tracker)].orientation)};
        }
    }
    for (const Device device : kDevices) {
        if (!layout.has(device)) {
            continue;
        }
        const Pose& pose = frame.device[index(device)];
        checkHeadingInput(deviceName(device) + " orientation", pose.orientation, quality.problems);
        if (hasNaN(pose.position.data(), pose.position.size())) {
            quality.problems.push_back(deviceName(device) + " position: NaN");
        }
    }

    const Pose& r = frame.device[index(Device::RightTracker)];
    const Pose& l = frame.device[index(Device::LeftTracker)];
    if (layout.has(Device::RightTracker) && layout.has(Device::LeftTracker)) {
        const Vec3 d{r.position[0] - l.position[0], r.position[1] - l.position[1], r.position[2] - l.position[2]};
        quality.trackerOffset = d;
        quality.headings.push_back({"tracker line", std::atan2(d[1], d[0])});
    }
    for (const Device device : {Device::RightTracker, Device::LeftTracker}) {
        if (layout.has(device)) {
            const Vec3 forward = rotate(frame.device[index(device)].orientation, {0.0, 1.0, 0.0});
            quality.headings.push_back({deviceName(device) + " forward", headingOfForward(forward[0], forward[1])});
        }
    }
    if (layout.has(Device::Headset)) {
        quality.headings.push_back({"headset yaw", headingOf(frame.device[index(Device::Headset)].orientation)});
    }
    quality.largestDisagreement = largestDisagreement(quality.headings);
    return quality;
}
