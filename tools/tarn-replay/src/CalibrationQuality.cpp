#include "CalibrationQuality.h"

#include <cmath>

#include "InputChecks.h"

namespace replay {

namespace {

Quaternion gloveRow(const Frame& frame, Side hand, std::size_t row)
{
    const double* q = frame.glove[index(hand)].data() + 4 * row;
    return {q[0], q[1], q[2], q[3]};
}

void checkHeadingInput(const std::string& what, const Quaternion& q, std::vector<std::string>& problems)
{
    if (const auto problem = headingProblem(q)) {
        problems.push_back(what + ": " + *problem);
    }
}

}  // namespace

CalibrationQuality assessCalibrationFrame(const Frame& frame, const SessionLayout& layout, std::size_t sourceRow,
                                          const CalibrationResult& result)
{
    CalibrationQuality quality;
    for (const Side hand : kSides) {
        if (layout.has(hand)) {
            checkHeadingInput(handName(hand) + " row " + std::to_string(sourceRow) + " (source)",
                              gloveRow(frame, hand, sourceRow), quality.problems);
        }
        if (const auto& q = result.hand[index(hand)].quality) {
            quality.tilt[index(hand)] = HandTilt{q->source_tilt, q->target_tilt};
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
    if (layout.has(Device::RightTracker) && layout.has(Device::LeftTracker)) {
        const Vector3& r = frame.device[index(Device::RightTracker)].position;
        const Vector3& l = frame.device[index(Device::LeftTracker)].position;
        quality.trackerOffset = Vector3{r[0] - l[0], r[1] - l[1], r[2] - l[2]};
    }
    if (const auto& q = result.allVR.quality) {
        const HeadingEstimate estimates[] = {{"tracker line", q->tracker_line_heading},
                                             {"right tracker forward", q->right_forward_heading},
                                             {"left tracker forward", q->left_forward_heading},
                                             {"headset yaw", q->headset_heading}};
        for (const HeadingEstimate& estimate : estimates) {
            if (!std::isnan(estimate.heading)) quality.headings.push_back(estimate);
        }
        quality.largestDisagreement = std::isnan(q->largest_disagreement) ? 0.0 : q->largest_disagreement;
    }
    return quality;
}

}  // namespace replay
