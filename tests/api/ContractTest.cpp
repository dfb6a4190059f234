// The integrator API's promises: every refusal has its status and leaves
// the calibrator and the caller's arrays as they were; saved calibrations
// restore bit for bit and refuse any damage; nothing reaches standard
// output.
#include <cstddef>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstring>
#include <limits>
#include <vector>

#include "TarnCalibrator.h"
#include "api/SessionData.h"
#include "support/Matchers.h"
#include "support/StdoutCapture.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// A calibrator with every calibration made, in the library's convention.
tarn_calibrator* calibrated(RandomSession& session)
{
    tarn_calibrator* c = nullptr;
    EXPECT_EQ(tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &c), TARN_OK);
    const auto s = session.orientation(), t = session.orientation();
    const auto p1 = session.position(), p2 = session.position();
    EXPECT_EQ(tarn_calibrate_hand(c, TARN_RIGHT_HAND, s.data(), t.data(), nullptr), TARN_OK);
    EXPECT_EQ(tarn_calibrate_hand(c, TARN_LEFT_HAND, t.data(), s.data(), nullptr), TARN_OK);
    EXPECT_EQ(tarn_calibrate_both_hands(c, p1.data(), p2.data(), nullptr), TARN_OK);
    tarn_all_vr_input in{1, 1, 1, 0, {1, 0, 1}, {1, 0, 0, 0}, {-1, 0, 1}, {1, 0, 0, 0}, {0, 0, 1.7}, {1, 0, 0, 0}};
    EXPECT_EQ(tarn_calibrate_all_vr(c, &in, nullptr), TARN_OK);
    return c;
}

struct Refusal {
    const char* what;
    std::function<tarn_status(tarn_calibrator*, tarn_quality*)> call;
    tarn_status status;
    tarn_degeneracy degeneracy;
    bool fillsQuality = false;  // a calibrate call's
};

// A degeneracy no function writes: a quality record left alone keeps it.
const auto kUnwritten = static_cast<tarn_degeneracy>(7);

TEST(Contract, EveryRefusalHasItsStatusAndChangesNothing)
{
    RandomSession session(3);
    tarn_calibrator* c = calibrated(session);
    tarn_calibrator* fresh = nullptr;
    ASSERT_EQ(tarn_calibrator_create(TARN_CONVENTION_UNITY, &fresh), TARN_OK);
    const double q[4] = {1, 0, 0, 0}, zero[4] = {0, 0, 0, 1e-9}, nan[4] = {1, kNaN, 0, 0}, inf[4] = {HUGE_VAL, 0, 0, 0};
    const double upright[4] = {0.7071, 0, 0.7072, 0}, p[3] = {0, 0, 0}, near[3] = {0.0009, -0.0009, 3};
    Hand80 hand = session.hand();
    int unknown = 2;  // an enum value out of range, not a constant
    double pose[7] = {1, 2, 3, 1, 0, 0, 0};
    tarn_all_vr_input none{}, close{1, 1, 0, 0, {0.0005, 0, 1}, {1, 0, 0, 0}, {0, 0, 1}, {1, 0, 0, 0}, {}, {}};
    tarn_all_vr_input lost = close, tilted = close, flag = close;
    lost.left_position[2] = kNaN;
    tilted.right_position[0] = 1;
    tilted.right_orientation[2] = 1;  // 90 degrees of pitch
    flag.headset_decides = 2;
    // The right hand's drift monitor has seen a frame at 10 s.
    const double seen = 10, back[2] = {11, 5}, nanTime = kNaN;
    const tarn_tracked_hand_frames first{&seen, 0, hand.data(), 0, q, 0, nullptr, 0};
    ASSERT_EQ(tarn_apply_hand_tracked(c, TARN_RIGHT_HAND, &first, 1), TARN_OK);
    const tarn_tracked_hand_frames goingBack{back, 0, hand.data(), 0, q, 0, nullptr, 0},
        notATime{&nanTime, 0, hand.data(), 0, q, 0, nullptr, 0}, noTrackers{back, 0, hand.data(), 0, nullptr, 0, nullptr, 0},
        residualStride{back, 0, hand.data(), 0, q, 0, pose, 4};
    std::size_t taken = 0;
    tarn_drift_event event;
    tarn_drift_report driftReport;
    tarn_drift_settings defaults;
    tarn_drift_default_settings(&defaults);
    double rotation[4];
    unsigned char buffer[512];
    tarn_calibrator* made = nullptr;
    const tarn_convention noConvention = static_cast<tarn_convention>(unknown + 2);
    // The right hand's motion window has a frame at 10 s.
    tarn_motion_result motion;
    const tarn_motion_frames motionSeen{&seen, 0, q, 0, q, 0}, motionBack{back + 1, 0, q, 0, q, 0},
        motionNaN{&nanTime, 0, q, 0, q, 0};
    ASSERT_EQ(tarn_motion_start(c, TARN_RIGHT_HAND, 8), TARN_OK);
    ASSERT_EQ(tarn_motion_add(c, TARN_RIGHT_HAND, &motionSeen, 1), TARN_OK);
    // Frame records: a hand block, then a pose (position, orientation).
    struct Record {
        double hand[80];
        double pose[7];
    } records[2]{};
    const Record recordsBefore[2]{};
    const std::size_t whole = sizeof(Record), handAt = offsetof(Record, hand), poseAt = offsetof(Record, pose);
    const tarn_frame_layout handOnly{handAt, TARN_ABSENT, {TARN_ABSENT, TARN_ABSENT, TARN_ABSENT}, {TARN_ABSENT, TARN_ABSENT, TARN_ABSENT}};
    tarn_frame_layout halfDouble = handOnly, overlapping = handOnly, pastRecord = handOnly;
    halfDouble.right_hand = 4;
    overlapping.left_hand = handAt + 8 * 79;
    pastRecord.orientation[TARN_HEADSET] = poseAt + 8 * 4;
    const Refusal refusals[] = {
        {"frames: null layout", [&](auto* k, auto*) { return tarn_apply_frames(k, nullptr, records, whole, 2); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"frames: null records", [&](auto* k, auto*) { return tarn_apply_frames(k, &handOnly, nullptr, whole, 2); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"frames: half a double in", [&](auto* k, auto*) { return tarn_apply_frames(k, &halfDouble, records, whole, 2); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"frames: overlapping parts", [&](auto* k, auto*) { return tarn_apply_frames(k, &overlapping, records, whole, 2); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"frames: a part past the record", [&](auto* k, auto*) { return tarn_apply_frames(k, &pastRecord, records, whole, 2); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"frames: stride of half a double", [&](auto* k, auto*) { return tarn_apply_frames(k, &handOnly, records, whole - 4, 2); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"frames: stride 0", [&](auto* k, auto*) { return tarn_apply_frames(k, &handOnly, records, 0, 2); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"frames: uncalibrated hand", [&](auto* k, auto*) { return tarn_apply_frames(k == nullptr ? k : fresh, &handOnly, records, whole, 2); }, TARN_NOT_CALIBRATED, TARN_DEGENERACY_NONE},
        {"motion capacity 0", [&](auto* k, auto*) { return tarn_motion_start(k, TARN_LEFT_HAND, 0); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"motion added unstarted", [&](auto* k, auto*) { return tarn_motion_add(k, TARN_LEFT_HAND, &motionSeen, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"motion progress unstarted", [&](auto* k, auto*) { return tarn_motion_progress(k, TARN_LEFT_HAND, &motion); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"motion finished unstarted", [&](auto* k, auto*) { return tarn_motion_finish(k, TARN_LEFT_HAND, &motion); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"motion time goes back", [&](auto* k, auto*) { return tarn_motion_add(k, TARN_RIGHT_HAND, &motionBack, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"motion null frames", [&](auto* k, auto*) { return tarn_motion_add(k, TARN_RIGHT_HAND, nullptr, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"motion null result", [&](auto* k, auto*) { return tarn_motion_finish(k, TARN_RIGHT_HAND, nullptr); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"motion of an unknown hand", [&](auto* k, auto*) { return tarn_motion_start(k, static_cast<tarn_hand>(unknown), 8); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"motion finished with a frame", [&](auto* k, auto*) { return tarn_motion_finish(k, TARN_RIGHT_HAND, &motion); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_NONE},
        {"motion in one call, NaN time", [&](auto* k, auto*) { return tarn_calibrate_hand_from_motion(k, TARN_LEFT_HAND, &motionNaN, 1, &motion); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"motion in one call, a frame", [&](auto* k, auto*) { return tarn_calibrate_hand_from_motion(k, TARN_LEFT_HAND, &motionSeen, 1, &motion); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_NONE},
        {"null target", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, TARN_RIGHT_HAND, q, nullptr, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE, true},
        {"null position", [&](auto* k, auto* out) { return tarn_calibrate_both_hands(k, p, nullptr, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE, true},
        {"null All-VR input", [&](auto* k, auto* out) { return tarn_calibrate_all_vr(k, nullptr, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE, true},
        {"null first hand", [&](auto* k, auto*) { return tarn_apply_both_hands(k, nullptr, 0, hand.data(), 0, pose, 0, pose, 0, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null second hand", [&](auto* k, auto*) { return tarn_apply_both_hands(k, hand.data(), 0, nullptr, 0, pose, 0, pose, 0, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null first position", [&](auto* k, auto*) { return tarn_apply_both_hands(k, hand.data(), 0, hand.data(), 0, nullptr, 0, pose, 0, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null second position", [&](auto* k, auto*) { return tarn_apply_both_hands(k, hand.data(), 0, hand.data(), 0, pose, 0, nullptr, 0, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null rotation", [&](auto* k, auto*) { return tarn_get_hand_rotation(k, TARN_LEFT_HAND, nullptr); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"rotation of an unknown hand", [&](auto* k, auto*) { return tarn_get_hand_rotation(k, static_cast<tarn_hand>(unknown), rotation); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null frame rotation", [&](auto* k, auto*) { return tarn_get_both_hands_frame(k, nullptr, pose); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null All-VR rotation", [&](auto* k, auto*) { return tarn_get_all_vr_frame(k, nullptr, pose, nullptr); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null saved size", [&](auto* k, auto*) { return tarn_calibrator_save(k, buffer, sizeof buffer, nullptr); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null saved string", [&](auto* k, auto*) { return tarn_calibrator_restore(k, nullptr, 303); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null default settings", [&](auto*, auto*) { return tarn_drift_default_settings(nullptr); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"settings of an unknown hand", [&](auto* k, auto*) { return tarn_set_drift_settings(k, static_cast<tarn_hand>(unknown), &defaults); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null settings out", [&](auto* k, auto*) { return tarn_get_drift_settings(k, TARN_LEFT_HAND, nullptr); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"settings out of an unknown hand", [&](auto* k, auto*) { return tarn_get_drift_settings(k, static_cast<tarn_hand>(unknown), &defaults); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"tracked unknown hand", [&](auto* k, auto*) { return tarn_apply_hand_tracked(k, static_cast<tarn_hand>(unknown), &first, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null report", [&](auto* k, auto*) { return tarn_get_drift(k, TARN_RIGHT_HAND, nullptr); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"report of an unknown hand", [&](auto* k, auto*) { return tarn_get_drift(k, static_cast<tarn_hand>(unknown), &driftReport); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null event count", [&](auto* k, auto*) { return tarn_take_drift_events(k, TARN_RIGHT_HAND, &event, 1, nullptr); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"events of an unknown hand", [&](auto* k, auto*) { return tarn_take_drift_events(k, static_cast<tarn_hand>(unknown), &event, 1, &taken); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"check, unknown convention", [&](auto*, auto*) { return tarn_check_orientation(noConvention, q, nullptr); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"check, null orientation", [&](auto*, auto*) { return tarn_check_orientation(TARN_CONVENTION_LIBRARY, nullptr, nullptr); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"create, unknown convention", [&](auto*, auto*) { return tarn_calibrator_create(noConvention, &made); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"create, null out", [&](auto*, auto*) { return tarn_calibrator_create(TARN_CONVENTION_LIBRARY, nullptr); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null source", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, TARN_RIGHT_HAND, nullptr, q, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE, true},
        {"unknown hand", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, static_cast<tarn_hand>(unknown), q, q, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE, true},
        {"NaN source", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, TARN_LEFT_HAND, nan, q, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE, true},
        {"infinite target", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, TARN_LEFT_HAND, q, inf, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE, true},
        {"zero source", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, TARN_RIGHT_HAND, zero, q, out); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_ZERO_QUATERNION, true},
        {"upright target", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, TARN_RIGHT_HAND, q, upright, out); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_NEAR_VERTICAL, true},
        {"hands too close", [&](auto* k, auto* out) { return tarn_calibrate_both_hands(k, near, p, out); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_HANDS_TOO_CLOSE, true},
        {"no device on", [&](auto* k, auto* out) { return tarn_calibrate_all_vr(k, &none, out); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_NO_DEVICE, true},
        {"trackers too close", [&](auto* k, auto* out) { return tarn_calibrate_all_vr(k, &close, out); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_HANDS_TOO_CLOSE, true},
        {"tracker upright", [&](auto* k, auto* out) { return tarn_calibrate_all_vr(k, &tilted, out); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_NEAR_VERTICAL, true},
        {"tracker lost", [&](auto* k, auto* out) { return tarn_calibrate_all_vr(k, &lost, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE, true},
        {"flag not 0 or 1", [&](auto* k, auto* out) { return tarn_calibrate_all_vr(k, &flag, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE, true},
        {"null blocks", [&](auto* k, auto*) { return tarn_apply_hand(k, TARN_LEFT_HAND, nullptr, 0, 2); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"odd stride", [&](auto* k, auto*) { return tarn_apply_hand(k, TARN_LEFT_HAND, hand.data(), 644, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"short stride", [&](auto* k, auto*) { return tarn_apply_device(k, TARN_HEADSET, pose, 16, pose + 3, 0, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"no arrays", [&](auto* k, auto*) { return tarn_apply_device(k, TARN_HEADSET, nullptr, 0, nullptr, 0, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"unknown device", [&](auto* k, auto*) { return tarn_apply_device(k, static_cast<tarn_device>(unknown + 1), pose, 0, pose + 3, 0, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"time goes back", [&](auto* k, auto*) { return tarn_apply_hand_tracked(k, TARN_RIGHT_HAND, &goingBack, 2); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"time not a number", [&](auto* k, auto*) { return tarn_apply_hand_tracked(k, TARN_RIGHT_HAND, &notATime, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null trackers", [&](auto* k, auto*) { return tarn_apply_hand_tracked(k, TARN_RIGHT_HAND, &noTrackers, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"odd residual stride", [&](auto* k, auto*) { return tarn_apply_hand_tracked(k, TARN_RIGHT_HAND, &residualStride, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null tracked frames", [&](auto* k, auto*) { return tarn_apply_hand_tracked(k, TARN_RIGHT_HAND, nullptr, 1); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null settings", [&](auto* k, auto*) { return tarn_set_drift_settings(k, TARN_RIGHT_HAND, nullptr); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"null events", [&](auto* k, auto*) { return tarn_take_drift_events(k, TARN_RIGHT_HAND, nullptr, 1, &taken); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"bad restore", [&](auto* k, auto*) { return tarn_calibrator_restore(k, reinterpret_cast<unsigned char*>(pose), 56); }, TARN_INVALID_SAVED_STATE, TARN_DEGENERACY_NONE},
    };
    const Hand80 handBefore = hand;
    const auto monitors = [](const tarn_calibrator* k) {
        std::vector<double> state;
        for (const tarn_hand side : {TARN_RIGHT_HAND, TARN_LEFT_HAND}) {
            tarn_drift_report report;
            tarn_drift_settings settings;
            EXPECT_EQ(tarn_get_drift(k, side, &report), TARN_OK);
            tarn_get_drift_settings(k, side, &settings);
            const tarn_drift_report& r = report;
            const tarn_drift_settings& d = settings;
            state.insert(state.end(), {r.time, r.residual, r.trend_residual, r.rate, r.rate_uncertainty, r.fit_span,
                                       r.largest_residual, r.largest_residual_time, r.first_flag_time, r.correction,
                                       r.still_since, double(r.flag), double(r.still), double(r.compensating),
                                       double(r.frames), double(d.reference_row), d.threshold, d.hold_time,
                                       d.still_speed, d.still_time, d.window, double(d.auto_recalibrate),
                                       double(d.compensate), d.compensate_within});
        }
        return state;
    };
    for (const Refusal& r : refusals) {
        const std::vector<unsigned char> before = saved(c);
        const std::vector<double> monitorsBefore = monitors(c);
        // Every call refuses a NULL calibrator first, leaving the quality
        // record alone; a calibrator's calibrate calls fill it.
        tarn_quality quality{};
        quality.degeneracy = kUnwritten;
        EXPECT_EQ(r.call(nullptr, &quality), TARN_INVALID_ARGUMENT) << r.what << " (NULL calibrator)";
        EXPECT_EQ(quality.degeneracy, kUnwritten) << r.what << " (NULL calibrator)";
        std::string out = captureStdout([&] { EXPECT_EQ(r.call(c, &quality), r.status) << r.what; });
        EXPECT_EQ(out, "") << r.what;
        if (r.fillsQuality)
            EXPECT_EQ(quality.degeneracy, r.status == TARN_DEGENERATE_INPUT ? r.degeneracy : TARN_DEGENERACY_NONE) << r.what;
        else
            EXPECT_EQ(quality.degeneracy, kUnwritten) << r.what;
        EXPECT_EQ(saved(c), before) << r.what;
        const std::vector<double> monitorsAfter = monitors(c);
        EXPECT_TRUE(std::equal(monitorsAfter.begin(), monitorsAfter.end(), monitorsBefore.begin(), [](double a, double b) {
            return a == b || (std::isnan(a) && std::isnan(b));
        })) << r.what;
    }
    EXPECT_EQ(std::memcmp(records, recordsBefore, sizeof records), 0);
    EXPECT_EQ(tarn_reset_both_hands(nullptr), TARN_INVALID_ARGUMENT);
    // No frames, no arrays, no room for events: accepted, nothing changes.
    const std::vector<unsigned char> before = saved(c);
    const tarn_tracked_hand_frames nothing{nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0};
    EXPECT_EQ(tarn_apply_hand(c, TARN_LEFT_HAND, nullptr, 0, 0), TARN_OK);
    EXPECT_EQ(tarn_apply_both_hands(c, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0, 0), TARN_OK);
    EXPECT_EQ(tarn_apply_device(c, TARN_HEADSET, nullptr, 0, nullptr, 0, 0), TARN_OK);
    EXPECT_EQ(tarn_apply_hand_tracked(c, TARN_RIGHT_HAND, &nothing, 0), TARN_OK);
    taken = 7;
    EXPECT_EQ(tarn_take_drift_events(c, TARN_RIGHT_HAND, nullptr, 0, &taken), TARN_OK);
    EXPECT_EQ(taken, 0u);
    EXPECT_EQ(saved(c), before);
    // Nothing calibrated yet: every apply refuses and writes nothing.
    double position[3] = {1, 2, 3};
    EXPECT_EQ(tarn_apply_hand(fresh, TARN_RIGHT_HAND, hand.data(), 0, 1), TARN_NOT_CALIBRATED);
    EXPECT_EQ(tarn_apply_both_hands(fresh, hand.data(), 0, hand.data(), 0, position, 0, position, 0, 1), TARN_NOT_CALIBRATED);
    EXPECT_EQ(tarn_apply_device(fresh, TARN_RIGHT_TRACKER, position, 0, nullptr, 0, 1), TARN_NOT_CALIBRATED);
    EXPECT_EQ(tarn_apply_hand_tracked(fresh, TARN_LEFT_HAND, &first, 1), TARN_NOT_CALIBRATED);
    tarn_drift_report report;
    EXPECT_EQ(tarn_get_drift(fresh, TARN_LEFT_HAND, &report), TARN_NOT_CALIBRATED);
    EXPECT_TRUE(hand == handBefore && position[0] == 1 && pose[0] == 1);
    tarn_calibrator_destroy(fresh);
    tarn_calibrator_destroy(c);
}

// Each drift setting at the edges of its range is taken; just beyond, or
// not a number, refused.
TEST(Contract, DriftSettingsAtTheEdgesOfTheirRanges)
{
    struct Edge {
        const char* what;
        std::function<void(tarn_drift_settings&)> set;
        bool accepted;
        const char* field = "";  // the one tarn_drift_settings_problem names when refused
    };
    const double quarterTurn = std::acos(-1.0) / 2, twoTurns = 4 * std::acos(-1.0);
    const double tiny = std::numeric_limits<double>::denorm_min();
    const Edge edges[] = {
        {"row 19", [](auto& s) { s.reference_row = 19; }, true},
        {"row 20", [](auto& s) { s.reference_row = 20; }, false, "reference_row"},
        {"threshold tiny", [&](auto& s) { s.threshold = tiny; }, true},
        {"threshold 0", [](auto& s) { s.threshold = 0; }, false, "threshold"},
        {"threshold a quarter turn", [&](auto& s) { s.threshold = quarterTurn; }, true},
        {"threshold beyond a quarter turn", [&](auto& s) { s.threshold = std::nextafter(quarterTurn, 2.0); }, false, "threshold"},
        {"threshold infinite", [](auto& s) { s.threshold = HUGE_VAL; }, false, "threshold"},
        {"hold time 0", [](auto& s) { s.hold_time = 0; }, true},
        {"hold time an hour", [](auto& s) { s.hold_time = 3600; }, true},
        {"hold time over an hour", [](auto& s) { s.hold_time = std::nextafter(3600.0, 4000.0); }, false, "hold_time"},
        {"hold time below 0", [&](auto& s) { s.hold_time = -tiny; }, false, "hold_time"},
        {"hold time NaN", [](auto& s) { s.hold_time = kNaN; }, false, "hold_time"},
        {"still speed 0", [](auto& s) { s.still_speed = 0; }, false, "still_speed"},
        {"still speed two turns a second", [&](auto& s) { s.still_speed = twoTurns; }, true},
        {"still speed faster", [&](auto& s) { s.still_speed = std::nextafter(twoTurns, 20.0); }, false, "still_speed"},
        {"still time 0", [](auto& s) { s.still_time = 0; }, true},
        {"still time below 0", [&](auto& s) { s.still_time = -tiny; }, false, "still_time"},
        {"still time over an hour", [](auto& s) { s.still_time = std::nextafter(3600.0, 4000.0); }, false, "still_time"},
        {"still time infinite", [](auto& s) { s.still_time = HUGE_VAL; }, false, "still_time"},
        {"window 30 s", [](auto& s) { s.window = 30; }, true},
        {"window 3600 s", [](auto& s) { s.window = 3600; }, true},
        {"window under 30 s", [](auto& s) { s.window = std::nextafter(30.0, 0.0); }, false, "window"},
        {"window over 3600 s", [](auto& s) { s.window = std::nextafter(3600.0, 4000.0); }, false, "window"},
        {"window NaN", [](auto& s) { s.window = kNaN; }, false, "window"},
        {"auto re-calibration 1", [](auto& s) { s.auto_recalibrate = 1; }, true},
        {"auto re-calibration 2", [](auto& s) { s.auto_recalibrate = 2; }, false, "auto_recalibrate"},
        {"compensate 2", [](auto& s) { s.compensate = 2; }, false, "compensate"},
        {"compensate within 0", [](auto& s) { s.compensate_within = 0; }, false, "compensate_within"},
        {"two out of range: the first named", [](auto& s) { s.compensate = 2, s.window = 1; }, false, "window"},
    };
    tarn_calibrator* c = nullptr;
    ASSERT_EQ(tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &c), TARN_OK);
    tarn_drift_settings defaults;
    ASSERT_EQ(tarn_drift_default_settings(&defaults), TARN_OK);
    for (const Edge& e : edges) {
        tarn_drift_settings s = defaults, back;
        e.set(s);
        ASSERT_EQ(tarn_set_drift_settings(c, TARN_LEFT_HAND, &defaults), TARN_OK);
        EXPECT_EQ(tarn_set_drift_settings(c, TARN_LEFT_HAND, &s), e.accepted ? TARN_OK : TARN_INVALID_ARGUMENT) << e.what;
        const char* problem = tarn_drift_settings_problem(&s);
        EXPECT_EQ(problem == nullptr, e.accepted) << e.what;
        if (problem != nullptr) {
            EXPECT_EQ(std::string(problem).substr(0, std::strlen(e.field) + 1), std::string(e.field) + ":") << e.what;
        }
        ASSERT_EQ(tarn_get_drift_settings(c, TARN_LEFT_HAND, &back), TARN_OK);
        const tarn_drift_settings& want = e.accepted ? s : defaults;
        EXPECT_TRUE(back.reference_row == want.reference_row && back.threshold == want.threshold &&
                    back.hold_time == want.hold_time && back.still_speed == want.still_speed &&
                    back.still_time == want.still_time && back.window == want.window &&
                    back.auto_recalibrate == want.auto_recalibrate && back.compensate == want.compensate &&
                    back.compensate_within == want.compensate_within)
            << e.what;
    }
    tarn_calibrator_destroy(c);
}

TEST(Contract, SavedCalibrationsRestoreBitForBitAndRefuseAnyDamage)
{
    RandomSession session(9);
    tarn_calibrator* c = calibrated(session);
    tarn_calibrator* copy = nullptr;
    ASSERT_EQ(tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &copy), TARN_OK);
    const std::vector<unsigned char> bytes = saved(c);
    std::size_t needed = 0;
    EXPECT_EQ(tarn_calibrator_save(c, nullptr, 0, &needed), TARN_BUFFER_TOO_SMALL);
    EXPECT_EQ(needed, bytes.size());
    const std::vector<unsigned char> empty = saved(copy);
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        std::vector<unsigned char> damaged = bytes;
        damaged[k] ^= static_cast<unsigned char>(1u << (k % 8));
        ASSERT_EQ(tarn_calibrator_restore(copy, damaged.data(), damaged.size()), TARN_INVALID_SAVED_STATE) << k;
        ASSERT_EQ(tarn_calibrator_restore(copy, bytes.data(), k), TARN_INVALID_SAVED_STATE) << k;
    }
    EXPECT_EQ(saved(copy), empty);
    ASSERT_EQ(tarn_calibrator_restore(copy, bytes.data(), bytes.size()), TARN_OK);
    EXPECT_EQ(saved(copy), bytes);
    Hand80 a = session.hand(), b;
    a[6] = kNaN;  // a lost frame stays lost, its neighbours are converted
    b = a;
    double pa[7] = {0.3, 0.2, 1.1, 0.9, 0.1, 0.2, 0.3}, pb[7];
    std::copy(pa, pa + 7, pb);
    ASSERT_EQ(tarn_apply_hand(c, TARN_LEFT_HAND, a.data(), 0, 1), TARN_OK);
    ASSERT_EQ(tarn_apply_hand(copy, TARN_LEFT_HAND, b.data(), 0, 1), TARN_OK);
    ASSERT_EQ(tarn_apply_device(c, TARN_HEADSET, pa, 0, pa + 3, 0, 1), TARN_OK);
    ASSERT_EQ(tarn_apply_device(copy, TARN_HEADSET, pb, 0, pb + 3, 0, 1), TARN_OK);
    EXPECT_TRUE(std::memcmp(a.data(), b.data(), sizeof a) == 0 && std::equal(pa, pa + 7, pb));
    EXPECT_TRUE(std::isnan(a[4]) && std::isfinite(a[0]) && std::isfinite(a[8]));
    tarn_calibrator_destroy(copy);
    tarn_calibrator_destroy(c);
}

}  // namespace

// A tracker lost as a zero quaternion gives no residual and no stillness;
// a restored calibration's monitor takes its mount from its first frame.
TEST(Contract, DriftMonitorWithoutTrackerOrMount)
{
    RandomSession session(5);
    tarn_calibrator* c = calibrated(session);
    Hand80 hand = session.hand();
    const double zero[4] = {0, 0, 0, 0}, tracker[4] = {1, 0, 0, 0};
    double times[12], residuals[12];  // a sample every 0.1 s
    for (int k = 0; k < 12; ++k) times[k] = 0.1 * k;
    for (int k = 0; k < 12; ++k) {
        const tarn_tracked_hand_frames one{times + k, 0, hand.data(), 0, zero, 0, residuals + k, sizeof(double)};
        ASSERT_EQ(tarn_apply_hand_tracked(c, TARN_RIGHT_HAND, &one, 1), TARN_OK);
    }
    tarn_drift_report report;
    ASSERT_EQ(tarn_get_drift(c, TARN_RIGHT_HAND, &report), TARN_OK);
    EXPECT_TRUE(std::isnan(residuals[11]) && std::isnan(report.residual));
    EXPECT_EQ(report.still, 0);

    const std::vector<unsigned char> bytes = saved(c);
    ASSERT_EQ(tarn_calibrator_restore(c, bytes.data(), bytes.size()), TARN_OK);
    const double later = 5.0;
    const tarn_tracked_hand_frames restored{&later, 0, hand.data(), 0, tracker, 0, residuals, 0};
    ASSERT_EQ(tarn_apply_hand_tracked(c, TARN_RIGHT_HAND, &restored, 1), TARN_OK);
    EXPECT_NEAR(residuals[0], 0.0, kRoundOff);
    tarn_calibrator_destroy(c);
}
