#include "SessionCalibrator.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "ExitCode.h"

namespace replay {

namespace {

Device trackerOf(Side hand)
{
    return hand == Side::Right ? Device::RightTracker : Device::LeftTracker;
}

// The heading of a frame's orientation [w, x, y, z], a rotation about Z.
CalibratedFrame frameOf(const double* rotation, const double* origin)
{
    return {wrapAngle(2 * std::atan2(rotation[3], rotation[0])), {origin[0], origin[1], origin[2]}};
}

std::string inputName(tarn_input input)
{
    switch (input) {
    case TARN_INPUT_SOURCE: return "the source";
    case TARN_INPUT_TARGET: return "the target";
    case TARN_INPUT_POSITIONS: return "the positions";
    case TARN_INPUT_RIGHT_TRACKER: return "the right tracker";
    case TARN_INPUT_LEFT_TRACKER: return "the left tracker";
    case TARN_INPUT_HEADSET: return "the headset";
    default: return "the input";
    }
}

std::string deciderText(tarn_input decider)
{
    switch (decider) {
    case TARN_INPUT_POSITIONS: return "tracker line (origin below the trackers' midpoint)";
    case TARN_INPUT_RIGHT_TRACKER: return "right tracker forward (origin 0.2 inwards of the tracker)";
    case TARN_INPUT_LEFT_TRACKER: return "left tracker forward (origin 0.2 inwards of the tracker)";
    case TARN_INPUT_HEADSET: return "headset yaw (origin 0.5 in front of the headset)";
    default: return "nothing: the frame keeps its earlier values";
    }
}

}  // namespace

std::string refusal(tarn_status status, const tarn_quality& quality)
{
    if (status == TARN_DEGENERATE_INPUT)
        return inputName(quality.degenerate_input) + ": " + tarn_degeneracy_string(quality.degeneracy);
    if (status == TARN_INVALID_ARGUMENT) return "NaN, infinite or out-of-range input";
    return tarn_status_string(status);
}

SessionCalibrator::SessionCalibrator(const SessionLayout& layout, const CalibrationSettings& settings)
    : layout_(layout), settings_(settings)
{
    if (tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &calibrator_) != TARN_OK) throw std::bad_alloc();
    tarn_drift_settings drift;
    tarn_drift_default_settings(&drift);
    drift.reference_row = static_cast<unsigned>(settings.sourceRow);
    if (settings.recalibrateAbove) {
        drift.threshold = *settings.recalibrateAbove;
        drift.auto_recalibrate = 1;
    }
    drift.compensate = settings.compensateDrift ? 1 : 0;
    for (const tarn_hand hand : {TARN_RIGHT_HAND, TARN_LEFT_HAND})
        if (tarn_set_drift_settings(calibrator_, hand, &drift) != TARN_OK)
            throw ReplayError(ExitCode::Usage, "--recalibrate-above: the threshold must be a positive number of degrees");
}

SessionCalibrator::~SessionCalibrator() { tarn_calibrator_destroy(calibrator_); }

CalibrationResult SessionCalibrator::calibrate(const Frame& frame)
{
    calibrationTime_ = frame.time;
    if (!settings_.motionWindow) {
        result_.hand[index(Side::Right)] = calibrateHand(Side::Right, frame);
        result_.hand[index(Side::Left)] = calibrateHand(Side::Left, frame);
    }
    result_.doubleHand = calibrateBothHands(frame);
    result_.allVR = calibrateAllVR(frame);
    return result_;
}

CalibrationResult SessionCalibrator::calibrateFromMotion(const MotionWindowFrames& window)
{
    calibrationTime_ = window.first.time;
    for (const Side hand : kSides) {
        HandResult& result = result_.hand[index(hand)];
        const Device tracker = trackerOf(hand);
        if (!layout_.has(hand) || !layout_.has(tracker)) {
            result.reason = !layout_.has(hand) ? "no " + handName(hand) + " columns"
                                               : "no " + deviceName(tracker) + " to calibrate against";
            continue;
        }
        const tarn_hand which = hand == Side::Right ? TARN_RIGHT_HAND : TARN_LEFT_HAND;
        const std::vector<double>& times = window.times[index(hand)];
        const tarn_motion_frames frames{times.data(), 0, window.rows[index(hand)].data(), 0,
                                        window.trackers[index(hand)].data(), 0};
        MotionOutcome motion;
        const tarn_status status =
            tarn_calibrate_hand_from_motion(calibrator_, which, &frames, times.size(), &motion.result);
        result.attempted = true;
        result.calibrated = status == TARN_OK;
        if (status == TARN_INVALID_ARGUMENT) result.reason = tarn_status_string(status);
        else if (!result.calibrated) result.reason = tarn_motion_verdict_string(motion.result.verdict);
        // What one snapshot at the window's first frame would have given.
        if (window.firstLine > 0) {
            tarn_calibrator* snapshot = nullptr;
            tarn_quality quality;
            double rotation[4];
            if (tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &snapshot) != TARN_OK) throw std::bad_alloc();
            const double* source = window.first.glove[index(hand)].data() + 4 * settings_.sourceRow;
            const tarn_status taken = tarn_calibrate_hand(snapshot, which, source,
                                                          window.first.device[index(tracker)].orientation.data(), &quality);
            if (taken == TARN_OK && tarn_get_hand_rotation(snapshot, which, rotation) == TARN_OK)
                motion.snapshotTurn = frameOf(rotation, rotation).heading;
            else
                motion.snapshotRefused = refusal(taken, quality);
            tarn_calibrator_destroy(snapshot);
        } else {
            motion.snapshotRefused = "no frame in the window";
        }
        result.motion = motion;
        if (result.calibrated) {
            double rotation[4];
            tarn_get_hand_rotation(calibrator_, which, rotation);
            result.turn = frameOf(rotation, rotation).heading;
        }
    }
    return result_;
}

HandResult SessionCalibrator::calibrateHand(Side hand, const Frame& frame)
{
    HandResult result;
    const Device tracker = trackerOf(hand);
    if (!layout_.has(hand) || !layout_.has(tracker)) {
        result.reason = !layout_.has(hand) ? "no " + handName(hand) + " columns"
                                           : "no " + deviceName(tracker) + " to take the target heading from";
        return result;
    }
    const double* source = frame.glove[index(hand)].data() + 4 * settings_.sourceRow;
    const tarn_hand which = hand == Side::Right ? TARN_RIGHT_HAND : TARN_LEFT_HAND;
    tarn_quality quality;
    const tarn_status status =
        tarn_calibrate_hand(calibrator_, which, source, frame.device[index(tracker)].orientation.data(), &quality);
    result.attempted = true;
    result.quality = quality;
    result.calibrated = status == TARN_OK;
    if (!result.calibrated) {
        result.reason = refusal(status, quality);
        return result;
    }
    double rotation[4];
    tarn_get_hand_rotation(calibrator_, which, rotation);
    result.turn = frameOf(rotation, rotation).heading;
    return result;
}

DoubleHandResult SessionCalibrator::calibrateBothHands(const Frame& frame)
{
    DoubleHandResult result;
    if (!layout_.has(Device::RightTracker) || !layout_.has(Device::LeftTracker)) {
        result.reason = "needs both wrist trackers for the hand positions";
        return result;
    }
    tarn_quality quality;
    const tarn_status status =
        tarn_calibrate_both_hands(calibrator_, frame.device[index(Device::RightTracker)].position.data(),
                                  frame.device[index(Device::LeftTracker)].position.data(), &quality);
    result.attempted = true;
    result.accepted = status == TARN_OK;
    if (!result.accepted) {
        result.reason = refusal(status, quality);
        return result;
    }
    double rotation[4], origin[3];
    tarn_get_both_hands_frame(calibrator_, rotation, origin);
    result.frame = frameOf(rotation, origin);
    return result;
}

AllVRResult SessionCalibrator::calibrateAllVR(const Frame& frame)
{
    AllVRResult result;
    tarn_all_vr_input input{};
    input.right_tracker_on = layout_.has(Device::RightTracker);
    input.left_tracker_on = layout_.has(Device::LeftTracker);
    input.headset_on = layout_.has(Device::Headset);
    input.headset_decides = settings_.frameFrom == FrameSource::Headset;
    if (!input.right_tracker_on && !input.left_tracker_on && !input.headset_on) {
        result.decidedBy = "nothing: no tracker or headset columns";
        return result;
    }
    double* positions[3] = {input.right_position, input.left_position, input.headset_position};
    double* orientations[3] = {input.right_orientation, input.left_orientation, input.headset_orientation};
    for (const Device device : kDevices) {
        const Pose& pose = frame.device[index(device)];
        std::copy(pose.position.begin(), pose.position.end(), positions[index(device)]);
        std::copy(pose.orientation.begin(), pose.orientation.end(), orientations[index(device)]);
    }
    tarn_quality quality;
    const tarn_status status = tarn_calibrate_all_vr(calibrator_, &input, &quality);
    result.attempted = true;
    result.quality = quality;
    result.accepted = status == TARN_OK;
    if (!result.accepted) {
        result.reason = refusal(status, quality);
        result.decidedBy = "nothing: refused, " + result.reason;
        return result;
    }
    result.decidedBy = deciderText(quality.frame_decided_by);
    double rotation[4], origin[3];
    tarn_get_all_vr_frame(calibrator_, rotation, origin, result.covered.data());
    result.frame = frameOf(rotation, origin);
    return result;
}

void SessionCalibrator::apply(Frame* frames, std::size_t count, std::array<std::vector<double>, 2>* residuals,
                              std::array<std::vector<double>, 2>* trends)
{
    constexpr std::size_t stride = sizeof(Frame);
    Frame& first = frames[0];
    for (auto* perFrame : {residuals, trends})
        if (perFrame != nullptr)
            for (auto& r : *perFrame) r.assign(count, std::nan(""));
    if (settings_.hands == HandsOutput::Single) {
        // Before the devices: the monitors compare with the trackers as
        // recorded.
        // The monitors see the frames from the calibration frame on whose
        // time is finite; the others are converted without them.
        std::size_t from = 0, to = count;
        while (from < count && !(frames[from].time >= calibrationTime_)) ++from;
        while (to > from && !std::isfinite(frames[to - 1].time)) --to;
        for (const Side hand : kSides) {
            if (!result_.hand[index(hand)].calibrated) continue;
            const auto side = hand == Side::Right ? TARN_RIGHT_HAND : TARN_LEFT_HAND;
            tarn_apply_hand(calibrator_, side, first.glove[index(hand)].data(), stride, from);
            if (to < count) tarn_apply_hand(calibrator_, side, frames[to].glove[index(hand)].data(), stride, count - to);
            if (to == from) continue;
            Frame& start = frames[from];
            const tarn_tracked_hand_frames tracked{
                &start.time, stride, start.glove[index(hand)].data(), stride,
                start.device[index(trackerOf(hand))].orientation.data(), stride,
                residuals != nullptr ? (*residuals)[index(hand)].data() + from : nullptr, 0};
            double* trend = trends != nullptr ? (*trends)[index(hand)].data() + from : nullptr;
            const tarn_status status = tarn_apply_hand_tracked_trends(calibrator_, side, &tracked, trend, 0, to - from);
            if (status != TARN_OK)
                throw std::runtime_error(std::string("the drift monitor refused frames: ") + tarn_status_string(status));
            tarn_drift_event taken[TARN_DRIFT_KEPT_EVENTS];
            for (std::size_t n = TARN_DRIFT_KEPT_EVENTS; n == TARN_DRIFT_KEPT_EVENTS;) {
                tarn_take_drift_events(calibrator_, side, taken, TARN_DRIFT_KEPT_EVENTS, &n);
                events_[index(hand)].insert(events_[index(hand)].end(), taken, taken + n);
            }
        }
    } else if (result_.doubleHand.accepted) {
        // The hand positions come out in the double-hand frame; the device
        // columns take the All-VR poses instead, so these copies are dropped.
        // An absent glove's block is converted too but never written.
        std::vector<Vector3> positions(2 * count);
        for (std::size_t k = 0; k < count; ++k) {
            positions[2 * k] = frames[k].device[index(Device::RightTracker)].position;
            positions[2 * k + 1] = frames[k].device[index(Device::LeftTracker)].position;
        }
        tarn_apply_both_hands(calibrator_, first.glove[index(Side::Right)].data(), stride,
                              first.glove[index(Side::Left)].data(), stride, positions[0].data(), 2 * sizeof(Vector3),
                              positions[1].data(), 2 * sizeof(Vector3), count);
    }
    for (const Device device : kDevices) {
        if (result_.allVR.covered[index(device)]) {
            Pose& pose = first.device[index(device)];
            tarn_apply_device(calibrator_, static_cast<tarn_device>(index(device)), pose.position.data(), stride,
                              pose.orientation.data(), stride, count);
        }
    }
}

DriftResult SessionCalibrator::drift(Side hand) const
{
    DriftResult result;
    const auto side = hand == Side::Right ? TARN_RIGHT_HAND : TARN_LEFT_HAND;
    result.monitored = settings_.hands == HandsOutput::Single && result_.hand[index(hand)].calibrated &&
                       tarn_get_drift(calibrator_, side, &result.report) == TARN_OK;
    tarn_drift_settings monitor;
    tarn_get_drift_settings(calibrator_, side, &monitor);
    result.threshold = monitor.threshold;
    result.holdTime = monitor.hold_time;
    result.events = events_[index(hand)];
    return result;
}

std::vector<std::string> SessionCalibrator::refusals() const
{
    std::vector<std::string> refused;
    for (const Side hand : kSides) {
        const HandResult& r = result_.hand[index(hand)];
        if (r.attempted && !r.calibrated) refused.push_back(std::string(hand == Side::Right ? "right" : "left") + " hand (" + r.reason + ")");
    }
    if (result_.doubleHand.attempted && !result_.doubleHand.accepted)
        refused.push_back("both hands (" + result_.doubleHand.reason + ")");
    if (result_.allVR.attempted && !result_.allVR.accepted) refused.push_back("All-VR (" + result_.allVR.reason + ")");
    return refused;
}

}  // namespace replay
