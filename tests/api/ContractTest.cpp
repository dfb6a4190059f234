// The integrator API's promises: every refusal has its status and leaves
// the calibrator and the caller's arrays as they were; saved calibrations
// restore bit for bit and refuse any damage; nothing reaches standard
// output.
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

std::vector<unsigned char> saved(const tarn_calibrator* c)
{
    std::vector<unsigned char> bytes(512);
    std::size_t size = 0;
    EXPECT_EQ(tarn_calibrator_save(c, bytes.data(), bytes.size(), &size), TARN_OK);
    bytes.resize(size);
    return bytes;
}

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
};

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
    tarn_drift_settings highRow, shortWindow, noThreshold, twoFlag;
    for (tarn_drift_settings* d : {&highRow, &shortWindow, &noThreshold, &twoFlag}) tarn_drift_default_settings(d);
    highRow.reference_row = 20;
    shortWindow.window = 9.5;
    noThreshold.threshold = kNaN;
    twoFlag.compensate = 2;
    std::size_t taken = 0;
    const Refusal refusals[] = {
        {"null source", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, TARN_RIGHT_HAND, nullptr, q, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"unknown hand", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, static_cast<tarn_hand>(unknown), q, q, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"NaN source", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, TARN_LEFT_HAND, nan, q, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"infinite target", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, TARN_LEFT_HAND, q, inf, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"zero source", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, TARN_RIGHT_HAND, zero, q, out); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_ZERO_QUATERNION},
        {"upright target", [&](auto* k, auto* out) { return tarn_calibrate_hand(k, TARN_RIGHT_HAND, q, upright, out); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_NEAR_VERTICAL},
        {"hands too close", [&](auto* k, auto* out) { return tarn_calibrate_both_hands(k, near, p, out); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_HANDS_TOO_CLOSE},
        {"no device on", [&](auto* k, auto* out) { return tarn_calibrate_all_vr(k, &none, out); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_NO_DEVICE},
        {"trackers too close", [&](auto* k, auto* out) { return tarn_calibrate_all_vr(k, &close, out); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_HANDS_TOO_CLOSE},
        {"tracker upright", [&](auto* k, auto* out) { return tarn_calibrate_all_vr(k, &tilted, out); }, TARN_DEGENERATE_INPUT, TARN_DEGENERACY_NEAR_VERTICAL},
        {"tracker lost", [&](auto* k, auto* out) { return tarn_calibrate_all_vr(k, &lost, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"flag not 0 or 1", [&](auto* k, auto* out) { return tarn_calibrate_all_vr(k, &flag, out); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
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
        {"row 20", [&](auto* k, auto*) { return tarn_set_drift_settings(k, TARN_RIGHT_HAND, &highRow); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"window under 10 s", [&](auto* k, auto*) { return tarn_set_drift_settings(k, TARN_RIGHT_HAND, &shortWindow); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"NaN threshold", [&](auto* k, auto*) { return tarn_set_drift_settings(k, TARN_LEFT_HAND, &noThreshold); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
        {"compensate 2", [&](auto* k, auto*) { return tarn_set_drift_settings(k, TARN_LEFT_HAND, &twoFlag); }, TARN_INVALID_ARGUMENT, TARN_DEGENERACY_NONE},
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
        tarn_quality quality{};
        std::string out = captureStdout([&] { EXPECT_EQ(r.call(c, &quality), r.status) << r.what; });
        EXPECT_EQ(out, "") << r.what;
        EXPECT_EQ(r.status == TARN_DEGENERATE_INPUT ? quality.degeneracy : r.degeneracy, r.degeneracy) << r.what;
        EXPECT_EQ(saved(c), before) << r.what;
        const std::vector<double> monitorsAfter = monitors(c);
        EXPECT_TRUE(std::equal(monitorsAfter.begin(), monitorsAfter.end(), monitorsBefore.begin(), [](double a, double b) {
            return a == b || (std::isnan(a) && std::isnan(b));
        })) << r.what;
    }
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
