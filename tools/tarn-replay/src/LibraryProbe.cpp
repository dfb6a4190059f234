#include "LibraryProbe.h"

#include <cmath>

#include "DevicePoseExport.h"
#include "TarnHandCalibrationSDK.h"

namespace {

GloveBlock identityBlock()
{
    GloveBlock block{};
    for (std::size_t row = 0; row < kGloveRows; ++row) {
        block[4 * row] = 1.0;
    }
    return block;
}

// `atZero` and `atUnitX` are the converted positions (0, 0, 0) and (1, 0, 0).
ProbedFrame frameFromProbes(const Vec3& atZero, const Vec3& atUnitX)
{
    ProbedFrame frame;
    frame.heading = std::atan2(-(atUnitX[1] - atZero[1]), atUnitX[0] - atZero[0]);
    const Vec3 back = rotate(aboutZ(frame.heading), atZero);
    frame.origin = {-back[0], -back[1], -back[2]};
    return frame;
}

}  // namespace

double probeHandTurn(Hand hand)
{
    GloveBlock block = identityBlock();
    if (hand == Hand::Right) {
        GetCalculationDataRHand(block.data());
    } else {
        GetCalculationDataLHand(block.data());
    }
    return wrapAngle(2 * std::atan2(block[3], block[0]));
}

ProbedFrame probeAllVRFrame(Device covered)
{
    Vec3 atZero{0.0, 0.0, 0.0};
    Vec3 atUnitX{1.0, 0.0, 0.0};
    Quat orientation{1.0, 0.0, 0.0, 0.0};
    convertDevicePose(covered, atZero.data(), orientation.data());
    convertDevicePose(covered, atUnitX.data(), orientation.data());
    return frameFromProbes(atZero, atUnitX);
}

ProbedFrame probeDoubleHandFrame()
{
    GloveBlock hand1 = identityBlock();
    GloveBlock hand2 = identityBlock();
    Vec3 atZero{0.0, 0.0, 0.0};
    Vec3 atUnitX{1.0, 0.0, 0.0};
    GetDoubleHandCalibrationData(hand1.data(), hand2.data(), atZero.data(), atUnitX.data());
    return frameFromProbes(atZero, atUnitX);
}
