#include "calibration/Calibrator.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "attitude/Attitude.h"
#include "calibration/DoubleHand.h"

namespace tarn {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// A second quaternion that counts as supplied: the trackers decide.
const double kTrackersDecide[4] = {1.0, 0.0, 0.0, 0.0};

// Every value finite and of magnitude at most `largest`.
bool withinRange(const double* values, int count, double largest)
{
    for (int k = 0; k < count; ++k)
        if (!(std::fabs(values[k]) <= largest)) return false;
    return true;
}

bool usableQuaternion(const double* q) { return withinRange(q, 4, kLargestQuaternionComponent); }

// Converts a position in `convention` to the library's; whether it is in
// range there.
bool usablePosition(Convention convention, const double* in, double* out)
{
    positionToLibrary(convention, in, out);
    return withinRange(out, 3, kLargestPosition);
}

Status degenerate(Quality& quality, Degeneracy rule, Input where)
{
    quality.degeneracy = rule;
    quality.degenerateInput = where;
    return Status::DegenerateInput;
}

double largestDisagreement(const double* headings, int count)
{
    double largest = kNaN;
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j) {
            if (std::isnan(headings[i]) || std::isnan(headings[j])) continue;
            const double difference = std::fabs(wrapAngle(headings[i] - headings[j]));
            largest = std::isnan(largest) ? difference : std::fmax(largest, difference);
        }
    return largest;
}

}  // namespace

Status checkOrientation(Convention convention, const double* orientation, Degeneracy& rule)
{
    if (!usableQuaternion(orientation)) return Status::InvalidArgument;
    double q[4];
    quaternionToLibrary(convention, orientation, q);
    rule = headingDegeneracy(q);
    return rule == Degeneracy::None ? Status::Ok : Status::DegenerateInput;
}

Quality::Quality()
    : sourceTilt(kNaN), targetTilt(kNaN), separation(kNaN), trackerLineHeading(kNaN), rightForwardHeading(kNaN),
      leftForwardHeading(kNaN), headsetHeading(kNaN), largestDisagreement(kNaN)
{
}

Status Calibrator::calibrateHand(Hand hand, const double* sourceIn, const double* targetIn, Quality& quality)
{
    if (!usableQuaternion(sourceIn) || !usableQuaternion(targetIn)) return Status::InvalidArgument;
    double source[4], target[4];
    quaternionToLibrary(convention_, sourceIn, source);
    quaternionToLibrary(convention_, targetIn, target);
    quality.sourceTilt = tiltOf(quaternionAt(source));
    quality.targetTilt = tiltOf(quaternionAt(target));
    if (const Degeneracy rule = headingDegeneracy(source); rule != Degeneracy::None)
        return degenerate(quality, rule, Input::Source);
    if (const Degeneracy rule = headingDegeneracy(target); rule != Degeneracy::None)
        return degenerate(quality, rule, Input::Target);

    tracked(hand).calibrate(state_.singleHand, source, target);
    return Status::Ok;
}

Status Calibrator::applyHandTracked(Hand hand, TrackedHandFrames frames, std::size_t count)
{
    return tracked(hand).applyTracked(state_.singleHand, convention_, frames, count);
}

Status Calibrator::addMotion(Hand hand, MotionFrames frames, std::size_t count)
{
    return tracked(hand).addMotion(convention_, frames, count);
}

Status Calibrator::motionProgress(Hand hand, MotionSummary& summary) const
{
    if (!tracked(hand).motionStarted()) return Status::InvalidArgument;
    summary = tracked(hand).motionProgress();
    return Status::Ok;
}

Status Calibrator::finishMotion(Hand hand, MotionSummary& summary)
{
    return tracked(hand).finishMotion(state_.singleHand, summary);
}

Status Calibrator::calibrateFromMotion(Hand hand, MotionFrames frames, std::size_t count, MotionSummary& summary)
{
    return tracked(hand).calibrateFromMotion(state_.singleHand, convention_, frames, count, summary);
}

void Calibrator::mountToHost(const Quaternion& mount, double* out) const
{
    quaternionFromLibrary(convention_, mount.data(), out);
}

Status Calibrator::applyHand(Hand hand, Frames blocks, std::size_t count) const
{
    return tracked(hand).apply(state_.singleHand, convention_, blocks, count);
}

Status Calibrator::calibrateBothHands(const double* rightIn, const double* leftIn, Quality& quality)
{
    double right[3], left[3];
    if (!usablePosition(convention_, rightIn, right) || !usablePosition(convention_, leftIn, left))
        return Status::InvalidArgument;
    const double dx = right[0] - left[0], dy = right[1] - left[1];
    quality.separation = lengthFromLibrary(convention_, std::hypot(dx, dy));
    if (handsTooClose(dx, dy)) return degenerate(quality, Degeneracy::HandsTooClose, Input::Positions);

    DoubleHandState next = state_.doubleHand;
    calibrateDoubleHand(next, right, left);
    state_.doubleHand = std::move(next);
    return Status::Ok;
}

Status Calibrator::applyBothHands(Frames rightHand, Frames leftHand, Frames rightPosition, Frames leftPosition,
                                  std::size_t count) const
{
    if (!state_.doubleHand.DoubleHandCalibrated) return Status::NotCalibrated;
    for (std::size_t k = 0; k < count; ++k) {
        LibraryBlock h1(convention_, rightHand.frame(k, kHandDoubles)), h2(convention_, leftHand.frame(k, kHandDoubles));
        double* p1 = rightPosition.frame(k, 3);
        double* p2 = leftPosition.frame(k, 3);
        double q1[3], q2[3];
        positionToLibrary(convention_, p1, q1);
        positionToLibrary(convention_, p2, q2);
        applyDoubleHandCalibration(state_.doubleHand, h1.data(), h2.data(), q1, q2);
        h1.store();
        h2.store();
        positionFromLibrary(convention_, q1, p1);
        positionFromLibrary(convention_, q2, p2);
    }
    return Status::Ok;
}

void Calibrator::resetBothHands() { resetDoubleHandCalibration(state_.doubleHand); }

Status Calibrator::calibrateAllVR(const AllVRInput& input, Quality& quality)
{
    double position[3][3], orientation[3][4];
    for (int d = 0; d < 3; ++d) {
        if (!input.on[d]) continue;
        if (!usablePosition(convention_, input.position[d], position[d]) || !usableQuaternion(input.orientation[d]))
            return Status::InvalidArgument;
        quaternionToLibrary(convention_, input.orientation[d], orientation[d]);
    }
    const int right = static_cast<int>(VRDevice::RightTracker), left = static_cast<int>(VRDevice::LeftTracker);
    const int headset = static_cast<int>(VRDevice::Headset);
    const bool bothTrackers = input.on[right] && input.on[left];
    const double dx = bothTrackers ? position[right][0] - position[left][0] : kNaN;
    const double dy = bothTrackers ? position[right][1] - position[left][1] : kNaN;
    if (bothTrackers) {
        quality.separation = lengthFromLibrary(convention_, std::hypot(dx, dy));
        quality.trackerLineHeading = std::atan2(dy, dx);
    }
    if (input.on[right]) quality.rightForwardHeading = forwardHeadingOf(quaternionAt(orientation[right]));
    if (input.on[left]) quality.leftForwardHeading = forwardHeadingOf(quaternionAt(orientation[left]));
    if (input.on[headset]) quality.headsetHeading = headingOf(quaternionAt(orientation[headset]));
    const double headings[4] = {quality.trackerLineHeading, quality.rightForwardHeading, quality.leftForwardHeading,
                                quality.headsetHeading};
    quality.largestDisagreement = largestDisagreement(headings, 4);

    if (!input.on[right] && !input.on[left] && !input.on[headset])
        return degenerate(quality, Degeneracy::NoDevice, Input::None);
    const Input where[3] = {Input::RightTracker, Input::LeftTracker, Input::Headset};
    for (int d = 0; d < 3; ++d) {
        if (!input.on[d]) continue;
        if (const Degeneracy rule = headingDegeneracy(orientation[d]); rule != Degeneracy::None)
            return degenerate(quality, rule, where[d]);
    }
    if (bothTrackers && trackersTooClose(dx, dy)) return degenerate(quality, Degeneracy::HandsTooClose, Input::Positions);

    // A tracker's second position lies one unit behind it along its
    // forward axis, so a tracker alone takes its heading from where it
    // points.
    double behind[2][3];
    TrackerInput trackers[2];
    for (int d = 0; d < 2; ++d) {
        Vector3 forward = {0.0, 0.0, 0.0};
        if (input.on[d]) forward = forwardOf(quaternionAt(orientation[d]));
        for (int k = 0; k < 3; ++k) behind[d][k] = position[d][k] - forward[k];
        trackers[d] = {input.on[d], position[d], behind[d], orientation[d],
                       input.on[d] && !input.headsetDecides ? kTrackersDecide : nullptr};
    }
    const HeadsetInput headsetInput{input.on[headset], position[headset], orientation[headset]};
    AllVRCalibrationState next = state_.allVR;
    quality.frameDecidedBy = tarn::calibrateAllVR(next, trackers[right], trackers[left], headsetInput, true);
    state_.allVR = std::move(next);
    return Status::Ok;
}

Status Calibrator::applyDevice(VRDevice device, Frames positions, Frames orientations, std::size_t count) const
{
    const AllVRCalibrationState& s = state_.allVR;
    const bool covered[3] = {s.rTrackerCalibrated, s.lTrackerCalibrated, s.vrGlassesCalibrated};
    if (!covered[static_cast<int>(device)]) return Status::NotCalibrated;
    const bool library = convention_ == Convention::Library;
    for (std::size_t k = 0; k < count; ++k) {
        double* p = positions.data != nullptr ? positions.frame(k, 3) : nullptr;
        double* q = orientations.data != nullptr ? orientations.frame(k, 4) : nullptr;
        double position[3] = {0.0, 0.0, 0.0}, orientation[4] = {1.0, 0.0, 0.0, 0.0};
        if (library && p != nullptr && q != nullptr) {
            convertVRPose(s, device, p, q);
            continue;
        }
        if (p != nullptr) positionToLibrary(convention_, p, position);
        if (q != nullptr) quaternionToLibrary(convention_, q, orientation);
        convertVRPose(s, device, position, orientation);
        if (p != nullptr) positionFromLibrary(convention_, position, p);
        if (q != nullptr) quaternionFromLibrary(convention_, orientation, q);
    }
    return Status::Ok;
}

Status Calibrator::applyFrames(const FrameLayout& layout, unsigned char* records, std::size_t stride,
                               std::size_t count) const
{
    constexpr std::size_t absent = FrameLayout::kAbsent;
    const AllVRCalibrationState& s = state_.allVR;
    const bool covered[3] = {s.rTrackerCalibrated, s.lTrackerCalibrated, s.vrGlassesCalibrated};
    const Hand hands[2] = {Hand::Right, Hand::Left};
    for (int h = 0; h < 2; ++h)
        if (layout.hand[h] != absent && !tracked(hands[h]).calibrated()) return Status::NotCalibrated;
    for (int d = 0; d < 3; ++d)
        if ((layout.position[d] != absent || layout.orientation[d] != absent) && !covered[d]) return Status::NotCalibrated;
    const auto at = [](unsigned char* record, std::size_t offset) {
        return Frames{offset == absent ? nullptr : reinterpret_cast<double*>(record + offset), 0};
    };
    for (std::size_t k = 0; k < count; ++k) {
        unsigned char* record = records + k * stride;
        for (int h = 0; h < 2; ++h)
            if (layout.hand[h] != absent) applyHand(hands[h], at(record, layout.hand[h]), 1);
        for (int d = 0; d < 3; ++d)
            if (layout.position[d] != absent || layout.orientation[d] != absent)
                applyDevice(static_cast<VRDevice>(d), at(record, layout.position[d]), at(record, layout.orientation[d]), 1);
    }
    return Status::Ok;
}

Status Calibrator::handRotation(Hand hand, double* rotation) const
{
    if (!tracked(hand).calibrated()) return Status::NotCalibrated;
    const ElementBuffer& offset = handOffset(state_.singleHand, hand).quaternion().data;
    const double turn[4] = {offset[0], -offset[1], -offset[2], -offset[3]};  // rows turn by conj(offset)
    quaternionFromLibrary(convention_, turn, rotation);
    return Status::Ok;
}

Status Calibrator::bothHandsFrame(double* rotation, double* origin) const
{
    const DoubleHandState& s = state_.doubleHand;
    if (!s.DoubleHandCalibrated) return Status::NotCalibrated;
    quaternionFromLibrary(convention_, s.DoubleHandRotation.quaternion().data.data(), rotation);
    if (origin != nullptr) positionFromLibrary(convention_, s.DoubleHandCenter.data.data(), origin);
    return Status::Ok;
}

Status Calibrator::allVRFrame(double* rotation, double* origin, bool* covered) const
{
    const AllVRCalibrationState& s = state_.allVR;
    const bool devices[3] = {s.rTrackerCalibrated, s.lTrackerCalibrated, s.vrGlassesCalibrated};
    if (!devices[0] && !devices[1] && !devices[2]) return Status::NotCalibrated;
    quaternionFromLibrary(convention_, s.frameHeading.quaternion().data.data(), rotation);
    if (origin != nullptr) positionFromLibrary(convention_, s.frameOrigin.data.data(), origin);
    if (covered != nullptr)
        for (int d = 0; d < 3; ++d) covered[d] = devices[d];
    return Status::Ok;
}

void Calibrator::replaceState(const CalibrationState& state, const bool handsCalibrated[2], const KeptHand* kept)
{
    state_ = state;
    // A saved calibration keeps no drift history.
    hands_[0].restored(handsCalibrated[0], kept == nullptr ? nullptr : &kept[0]);
    hands_[1].restored(handsCalibrated[1], kept == nullptr ? nullptr : &kept[1]);
}

}  // namespace tarn
