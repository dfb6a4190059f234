#include "calibration/Calibrator.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "calibration/DoubleHand.h"
#include "calibration/Heading.h"
#include "calibration/RowTransforms.h"

namespace tarn {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::size_t kHandDoubles = 80;
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

// A position in `convention`, converted to the library's when it is in
// range there.
bool usablePosition(Convention convention, const double* in, double* out)
{
    positionToLibrary(convention, in, out);
    return withinRange(out, 3, kLargestPosition);
}

int indexOf(Hand hand) { return hand == Hand::Right ? 0 : 1; }

Status degenerate(Quality& quality, Degeneracy rule, Input where)
{
    quality.degeneracy = rule;
    quality.degenerateInput = where;
    return Status::DegenerateInput;
}

void handToLibrary(Convention convention, const double* in, double* out)
{
    for (std::size_t row = 0; row < kHandDoubles; row += 4) quaternionToLibrary(convention, in + row, out + row);
}

void handFromLibrary(Convention convention, const double* in, double* out)
{
    for (std::size_t row = 0; row < kHandDoubles; row += 4) quaternionFromLibrary(convention, in + row, out + row);
}

// A hand block in the library's convention for the length of one
// conversion: the caller's own block when it is in that convention, else
// a converted copy that is converted back when the conversion is done.
class LibraryBlock {
public:
    LibraryBlock(Convention convention, double* block) : convention_(convention), block_(block)
    {
        if (convention_ != Convention::Library) handToLibrary(convention_, block_, copy_);
    }
    double* data() { return convention_ == Convention::Library ? block_ : copy_; }
    void store()
    {
        if (convention_ != Convention::Library) handFromLibrary(convention_, copy_, block_);
    }

private:
    Convention convention_;
    double* block_;
    double copy_[kHandDoubles];
};

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
    quality.sourceTilt = tiltOf(source);
    quality.targetTilt = tiltOf(target);
    if (const Degeneracy rule = headingDegeneracy(source); rule != Degeneracy::None)
        return degenerate(quality, rule, Input::Source);
    if (const Degeneracy rule = headingDegeneracy(target); rule != Degeneracy::None)
        return degenerate(quality, rule, Input::Target);

    SingleHandState next = state_.singleHand;
    tarn::calibrateHand(next, hand, source, target);
    state_.singleHand = std::move(next);
    handCalibrated_[indexOf(hand)] = true;
    double mount[4];
    calibratedMount(hand, source, target, mount);
    drift(hand).restart(mount);
    return Status::Ok;
}

void Calibrator::calibratedMount(Hand hand, const double* row, const double* tracker, double* mount) const
{
    double calibrated[4];
    std::copy_n(row, 4, calibrated);
    turnQuaternion(calibrated, handOffset(state_.singleHand, hand).leftProductMatrix());
    gloveOnTracker(calibrated, tracker, mount);
}

Status Calibrator::applyHandTracked(Hand hand, TrackedHandFrames frames, std::size_t count)
{
    if (!handCalibrated_[indexOf(hand)]) return Status::NotCalibrated;
    DriftMonitor& monitor = drift(hand);
    double last = monitor.lastTime();
    for (std::size_t k = 0; k < count; ++k) {
        const double time = *frames.times.frame(k, 1);
        if (!std::isfinite(time) || time < last) return Status::InvalidArgument;
        last = time;
    }
    const std::size_t row = 4 * static_cast<std::size_t>(monitor.settings().referenceRow);
    const bool library = convention_ == Convention::Library;
    const bool recalibrating = monitor.settings().autoRecalibrate;
    const bool everyResidual = frames.residuals.data != nullptr;
    for (std::size_t k = 0; k < count; ++k) {
        const double time = *frames.times.frame(k, 1);
        const bool sampled = monitor.due(time);
        double raw[4], converted[4];
        LibraryBlock calibrated(convention_, frames.blocks.frame(k, kHandDoubles));
        if (sampled && recalibrating) std::copy_n(calibrated.data() + row, 4, raw);
        applyHandCalibration(state_.singleHand, hand, calibrated.data());
        calibrated.store();
        if (!sampled && !everyResidual) continue;

        const double* tracker = frames.trackers.frame(k, 4);
        if (!library) {
            quaternionToLibrary(convention_, tracker, converted);
            tracker = converted;
        }
        if (sampled) monitor.sample(time, calibrated.data() + row, tracker);
        else monitor.measure(calibrated.data() + row, tracker);
        if (everyResidual) *frames.residuals.frame(k, 1) = monitor.frameResidual();
        if (!sampled) continue;
        switch (monitor.action()) {
        case DriftMonitor::Action::None: break;
        case DriftMonitor::Action::Recalibrate:
            // From this frame's glove row and tracker, as the host would;
            // not from a frame no heading can be taken from.
            // A frame whose calibration would leave drift waits for a
            // better one.
            if (headingDegeneracy(raw) == Degeneracy::None && headingDegeneracy(tracker) == Degeneracy::None) {
                SingleHandState next = state_.singleHand;
                tarn::calibrateHand(next, hand, raw, tracker);
                // Rows turn by conj(offset): by minus the offset's heading.
                const double turn = wrapAngle(headingAngle(handOffset(next, hand).quaternion()) -
                                              headingAngle(handOffset(state_.singleHand, hand).quaternion()));
                const double accepted = monitor.acceptedTurn(turn);
                if (std::isnan(accepted)) break;
                state_.singleHand = std::move(next);
                monitor.recalibrated(accepted);
            }
            break;
        case DriftMonitor::Action::Turn:
            turnHandCalibration(state_.singleHand, hand, -monitor.turn());
            monitor.turned();
            break;
        }
    }
    if (count > 0) monitor.passed(last, count);
    return Status::Ok;
}

Status Calibrator::applyHand(Hand hand, Frames blocks, std::size_t count) const
{
    if (!handCalibrated_[indexOf(hand)]) return Status::NotCalibrated;
    for (std::size_t k = 0; k < count; ++k) {
        LibraryBlock block(convention_, blocks.frame(k, kHandDoubles));
        applyHandCalibration(state_.singleHand, hand, block.data());
        block.store();
    }
    return Status::Ok;
}

Status Calibrator::calibrateBothHands(const double* position1In, const double* position2In, Quality& quality)
{
    double position1[3], position2[3];
    if (!usablePosition(convention_, position1In, position1) || !usablePosition(convention_, position2In, position2))
        return Status::InvalidArgument;
    const double dx = position1[0] - position2[0], dy = position1[1] - position2[1];
    quality.separation = lengthFromLibrary(convention_, std::hypot(dx, dy));
    if (handsTooClose(dx, dy)) return degenerate(quality, Degeneracy::HandsTooClose, Input::Positions);

    DoubleHandState next = state_.doubleHand;
    calibrateDoubleHand(next, position1, position2);
    state_.doubleHand = std::move(next);
    return Status::Ok;
}

Status Calibrator::applyBothHands(Frames hand1, Frames hand2, Frames position1, Frames position2,
                                  std::size_t count) const
{
    if (!state_.doubleHand.DoubleHandCalibrated) return Status::NotCalibrated;
    for (std::size_t k = 0; k < count; ++k) {
        LibraryBlock h1(convention_, hand1.frame(k, kHandDoubles)), h2(convention_, hand2.frame(k, kHandDoubles));
        double* p1 = position1.frame(k, 3);
        double* p2 = position2.frame(k, 3);
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
    if (input.on[right]) quality.rightForwardHeading = forwardHeadingOf(orientation[right]);
    if (input.on[left]) quality.leftForwardHeading = forwardHeadingOf(orientation[left]);
    if (input.on[headset]) quality.headsetHeading = headingOf(orientation[headset]);
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
        double forward[3] = {0.0, 0.0, 0.0};
        if (input.on[d]) forwardOf(orientation[d], forward);
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

Status Calibrator::handRotation(Hand hand, double* rotation) const
{
    if (!handCalibrated_[indexOf(hand)]) return Status::NotCalibrated;
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

void Calibrator::replaceState(const CalibrationState& state, const bool handsCalibrated[2])
{
    state_ = state;
    handCalibrated_[0] = handsCalibrated[0];
    handCalibrated_[1] = handsCalibrated[1];
    // A saved calibration keeps no drift history nor mount: the monitors
    // take the mount from their first frame.
    for (DriftMonitor& monitor : drift_) monitor.restart(nullptr);
}

}  // namespace tarn
