#include "SessionModel.h"

#include <cmath>

namespace replay {

namespace {

// 0 before `from`, 1 after `to`, a smooth cubic in between.
double smoothStep(double t, double from, double to)
{
    const double x = std::fmin(1.0, std::fmax(0.0, (t - from) / (to - from)));
    return x * x * (3.0 - 2.0 * x);
}

double sideSign(Side hand)
{
    return hand == Side::Right ? 1.0 : -1.0;
}

struct Body {
    double heading;  // room frame
    Vector3 feet;
    double swing;    // -1 to 1, 0 while standing
};

Body bodyAt(double t)
{
    const double walked = smoothStep(t, 0.5, 3.5);
    return {radians(70.0) * smoothStep(t, 0.5, 3.0),
            {-0.5 * walked, -0.3 + 1.2 * walked, 0.0},
            smoothStep(t, 0.5, 1.0) * std::sin(2.0 * kPi * 1.5 * (t - 0.5))};
}

Vector3 onBody(const Body& body, const Vector3& offset)
{
    const Vector3 turned = rotate(aboutZ(body.heading), offset);
    return {body.feet[0] + turned[0], body.feet[1] + turned[1], body.feet[2] + turned[2]};
}

// Room frame to tracking space.
struct Placement {
    const GroundTruth& truth;

    Vector3 position(const Vector3& room) const
    {
        const Vector3 turned = rotate(aboutZ(truth.frameHeading), room);
        return {turned[0] + truth.frameOrigin[0], turned[1] + truth.frameOrigin[1], turned[2] + truth.frameOrigin[2]};
    }
    Quaternion orientation(const Quaternion& room) const { return product(aboutZ(truth.frameHeading), room); }
};

// The heading quaternion of an angle taken in (-pi, pi].
Quaternion headingTurn(double angle)
{
    return aboutZ(wrapAngle(angle));
}

void setPose(Pose& pose, const Vector3& position, const Quaternion& orientation)
{
    pose.position = position;
    pose.orientation = orientation;
}

double fingerFlex(std::size_t row, double t, double swing, double sourceTilt)
{
    if (row == 0) {
        return sourceTilt + radians(6.0) * swing;
    }
    const double curl = 1.0 + 0.5 * std::sin(2.0 * kPi * 0.8 * t + static_cast<double>(row));
    return radians(5.0 + 6.0 * static_cast<double>(row % 4) * curl);
}

}  // namespace

SampleFrame sampleFrame(const GroundTruth& truth, double t)
{
    const Placement place{truth};
    const Body body = bodyAt(t);
    SampleFrame frame;
    frame.recorded.time = t;
    frame.calibrated.time = t;

    for (const Side hand : kSides) {
        const std::size_t h = index(hand);
        const double s = sideSign(hand);
        const Device tracker = hand == Side::Right ? Device::RightTracker : Device::LeftTracker;

        // Wrist tracker.
        const Vector3 wrist = onBody(body, {s * truth.wristHalfSpan, truth.wristReach + 0.05 * s * body.swing,
                                         truth.wristHeight + 0.02 * body.swing});
        const Quaternion trackerRoom = product(aboutZ(body.heading + truth.trackerMount[h]),
                                          aboutX(truth.trackerTilt[h] + radians(8.0) * s * body.swing));
        const Quaternion trackerTracked = place.orientation(trackerRoom);
        setPose(frame.recorded.device[index(tracker)], place.position(wrist), trackerTracked);
        const double trackerHeadingAtStart = truth.frameHeading + truth.trackerMount[h];
        setPose(frame.calibrated.device[index(tracker)], wrist,
                product(conjugate(headingTurn(trackerHeadingAtStart)), trackerTracked));

        // Glove: bones follow the body, row 0 a quarter turn inwards of the
        // tracker's forward; the glove reports them in its own reference.
        const double boneHeading = body.heading + truth.trackerMount[h] + s * kPi / 2;
        const Quaternion gloveReference = aboutZ(truth.gloveReference[h]);
        // Single-hand result: turned by target heading + quarter turn minus
        // source heading, each heading taken as the library takes it.
        const double targetHeading = wrapAngle(trackerHeadingAtStart) + s * kPi / 2;
        const double sourceHeading = truth.gloveReference[h] + truth.frameHeading + truth.trackerMount[h] + s * kPi / 2;
        const Quaternion turn = product(aboutZ(targetHeading), conjugate(headingTurn(sourceHeading)));
        for (std::size_t row = 0; row < kGloveRows; ++row) {
            const Quaternion boneRoom =
                product(aboutZ(boneHeading), aboutX(fingerFlex(row, t, body.swing, truth.sourceTilt[h])));
            const Quaternion recorded = product(gloveReference, place.orientation(boneRoom));
            const Quaternion calibrated = product(turn, recorded);
            for (std::size_t c = 0; c < 4; ++c) {
                frame.recorded.glove[h][4 * row + c] = recorded[c];
                frame.calibrated.glove[h][4 * row + c] = calibrated[c];
            }
        }
    }

    // Headset: looks a little aside at t = 0, then around.
    const Vector3 head = onBody(body, {0.0, 0.08, 1.68 + 0.01 * body.swing});
    const Quaternion headRoom = product(aboutZ(body.heading + truth.headsetYaw + radians(10.0) * std::sin(2.0 * kPi * 0.4 * t)),
                                   aboutX(truth.headsetNod));
    const Quaternion headTracked = place.orientation(headRoom);
    setPose(frame.recorded.device[index(Device::Headset)], place.position(head), headTracked);
    setPose(frame.calibrated.device[index(Device::Headset)], head,
            product(conjugate(headingTurn(truth.frameHeading + truth.headsetYaw)), headTracked));
    return frame;
}

}  // namespace replay
