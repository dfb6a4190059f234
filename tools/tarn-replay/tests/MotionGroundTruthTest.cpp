// The motion calibration against the generator's truth (WearModel.h):
// sessions of realistic wear calibrated from 10 s of motion, beside the
// single-snapshot calibration of the same sessions; the verdict on motion
// that cannot determine the calibration. A sample of each setting runs
// here; bench/MotionAccuracy.cpp runs the full tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <vector>

#include "MotionTrial.h"

using namespace replay;

namespace {

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5)];
}

struct Setting {
    const char* name;
    double strapTurnRange;  // degrees
    int sessions;
};

// Printed by name (gtest would print the bytes, padding included).
void PrintTo(const Setting& setting, std::ostream* out) { *out << setting.name; }

class MotionAccuracy : public testing::TestWithParam<Setting> {};

// Heading error median within 0.3 degrees and 95th percentile within 1;
// the true error within three reported standard errors; no refusals.
TEST_P(MotionAccuracy, HeadingWithinTargets_UncertaintyHonest)
{
    const Setting setting = GetParam();
    std::vector<double> motion, snapshot;
    int covered = 0, refused = 0;
    for (int seed = 1; seed <= setting.sessions; ++seed) {
        WearTruth truth;
        truth.seed = static_cast<std::uint64_t>(seed);
        truth.hand = seed % 2 ? Side::Right : Side::Left;
        truth.strapTurnRange = radians(setting.strapTurnRange);
        const MotionTrial trial = runMotionTrial(truth, 10.0);
        if (trial.status != TARN_OK) {
            ++refused;
            continue;
        }
        motion.push_back(std::fabs(degrees(trial.headingError)));
        if (!std::isnan(trial.snapshotError)) snapshot.push_back(std::fabs(degrees(trial.snapshotError)));
        covered += std::fabs(trial.headingError) <= 3 * trial.result.heading_uncertainty;
    }
    ASSERT_FALSE(motion.empty());
    std::printf("    %s: motion median %.3f p95 %.3f max %.3f deg; snapshot median %.2f p95 %.2f; covered %d of %zu; "
                "refused %d\n",
                setting.name, percentile(motion, 0.5), percentile(motion, 0.95), percentile(motion, 1.0),
                percentile(snapshot, 0.5), percentile(snapshot, 0.95), covered, motion.size(), refused);
    EXPECT_LE(percentile(motion, 0.5), 0.3);
    EXPECT_LE(percentile(motion, 0.95), 1.0);
    EXPECT_GE(covered, static_cast<int>(0.9 * static_cast<double>(motion.size())));
    EXPECT_EQ(refused, 0);
}

INSTANTIATE_TEST_SUITE_P(GroundTruth, MotionAccuracy,
                         testing::Values(Setting{"typical strap", 20.0, 24}, Setting{"any strap", 180.0, 24}),
                         [](const auto& p) { return p.param.strapTurnRange < 90 ? "TypicalStrap" : "AnyStrap"; });

// A session changed from the realistic one, and what the calibration must
// say of it.
struct Case {
    const char* what;
    void (*change)(WearTruth&);
    double seconds;
    tarn_motion_verdict verdict;
};

// Motion that cannot determine the calibration is refused with its reason;
// with the wrist held rigid, the mount is found within half a degree.
TEST(MotionVerdict, EachWindowGetsItsReason)
{
    const Case cases[] = {
        {"wrist held rigid", [](WearTruth& t) { t.swayUpDown = t.swaySideways = t.strapSlip = 0.0; }, 10.0, TARN_MOTION_GOOD},
        {"forearm turning round only", [](WearTruth& t) { t.turnRoundOnly = true; }, 10.0, TARN_MOTION_TURN_OVER},
        {"arm held still", [](WearTruth& t) { t.armMotion = 0.0; }, 10.0, TARN_MOTION_TURN_OVER},
        {"a second and a half", [](WearTruth&) {}, 1.5, TARN_MOTION_TOO_SHORT},
        {"hand flapping at the wrist", [](WearTruth& t) { t.swayUpDown = t.swaySideways = radians(25.0); }, 10.0,
         TARN_MOTION_HAND_MOVED},
        {"tracking lost", [](WearTruth& t) { t.dropouts = 50.0; }, 10.0, TARN_MOTION_TOO_FEW_FRAMES},
    };
    for (const Case& c : cases)
        for (std::uint64_t seed = 1; seed <= 4; ++seed) {
            WearTruth truth;
            truth.seed = seed;
            truth.hand = seed % 2 ? Side::Right : Side::Left;
            truth.strapTurnRange = radians(180.0);
            c.change(truth);
            const MotionTrial trial = runMotionTrial(truth, c.seconds);
            EXPECT_EQ(trial.result.verdict, c.verdict) << c.what << ", seed " << seed << ": "
                                                       << tarn_motion_verdict_string(trial.result.verdict);
            EXPECT_EQ(trial.status, c.verdict == TARN_MOTION_GOOD ? TARN_OK : TARN_DEGENERATE_INPUT) << c.what;
            EXPECT_TRUE(c.verdict != TARN_MOTION_GOOD || degrees(trial.mountError) < 0.5) << c.what;
        }
}

}  // namespace

// Frames added in pieces from hand blocks (a stride of one block) give the
// bits one call over packed rows gives, and so do rows and trackers of
// either sign; the window ends on success.
TEST(MotionWindowTest, PiecesFromBlocksEqualOneCall)
{
    WearTruth truth;
    truth.seed = 7;
    WearSession session(truth);
    const std::size_t frames = 600;
    std::vector<double> times(frames), rows(4 * frames), blocks(80 * frames), trackers(4 * frames);
    for (std::size_t k = 0; k < frames; ++k) {
        const WearFrame f = session.next();
        times[k] = f.time;
        for (std::size_t c = 0; c < 4; ++c) {
            rows[4 * k + c] = blocks[80 * k + 8 + c] = f.glove[c];
            trackers[4 * k + c] = f.tracker[c];
        }
    }
    tarn_calibrator *whole = nullptr, *pieces = nullptr;
    ASSERT_EQ(tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &whole), TARN_OK);
    ASSERT_EQ(tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &pieces), TARN_OK);
    tarn_motion_result one{}, many{}, progress{};
    const tarn_motion_frames all{times.data(), 0, rows.data(), 0, trackers.data(), 0};
    ASSERT_EQ(tarn_calibrate_hand_from_motion(whole, TARN_RIGHT_HAND, &all, frames, &one), TARN_OK);
    ASSERT_EQ(tarn_motion_start(pieces, TARN_RIGHT_HAND, frames), TARN_OK);
    for (std::size_t k = 0, piece = 1; k < frames; k += piece, piece = piece % 7 + 1) {
        const std::size_t count = std::min(piece, frames - k);
        const tarn_motion_frames some{&times[k], 0, &blocks[80 * k + 8], 80 * sizeof(double), &trackers[4 * k], 0};
        ASSERT_EQ(tarn_motion_add(pieces, TARN_RIGHT_HAND, &some, count), TARN_OK);
    }
    ASSERT_EQ(tarn_motion_progress(pieces, TARN_RIGHT_HAND, &progress), TARN_OK);
    EXPECT_EQ(progress.verdict, TARN_MOTION_GOOD);
    EXPECT_EQ(progress.frames_used + progress.frames_skipped, frames);
    ASSERT_EQ(tarn_motion_finish(pieces, TARN_RIGHT_HAND, &many), TARN_OK);
    EXPECT_EQ(std::memcmp(&one, &many, sizeof one), 0);
    EXPECT_EQ(tarn_motion_progress(pieces, TARN_RIGHT_HAND, &progress), TARN_INVALID_ARGUMENT);
    double a[4], b[4];
    ASSERT_EQ(tarn_get_hand_rotation(whole, TARN_RIGHT_HAND, a), TARN_OK);
    ASSERT_EQ(tarn_get_hand_rotation(pieces, TARN_RIGHT_HAND, b), TARN_OK);
    EXPECT_EQ(std::memcmp(a, b, sizeof a), 0);
    EXPECT_NEAR(wrapAngle(2 * std::atan2(a[3], a[0]) - one.heading_offset), 0.0, 1e-12);
    // A quaternion and its negative are the same orientation: rows and
    // trackers of either sign give the same bits.
    for (std::size_t k = 0; k < frames; ++k)
        for (std::size_t c = 0; c < 4; ++c) {
            if (k % 3 == 0) rows[4 * k + c] = -rows[4 * k + c];
            if (k % 5 == 1) trackers[4 * k + c] = -trackers[4 * k + c];
        }
    tarn_motion_result flipped{};
    ASSERT_EQ(tarn_calibrate_hand_from_motion(whole, TARN_RIGHT_HAND, &all, frames, &flipped), TARN_OK);
    EXPECT_EQ(std::memcmp(&one, &flipped, sizeof one), 0);
    tarn_calibrator_destroy(whole);
    tarn_calibrator_destroy(pieces);
}

// A calibrator whose right hand is calibrated from the session's first
// 10 s of motion, one frame a call; `f` is the first frame after, `result`
// the solve's. Null when a call refused.
tarn_calibrator* calibratedFromMotion(WearSession& session, WearFrame& f, tarn_motion_result& result)
{
    tarn_calibrator* c = nullptr;
    bool good = tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &c) == TARN_OK &&
                tarn_motion_start(c, TARN_RIGHT_HAND, 1000) == TARN_OK;
    while (good && (f = session.next()).time <= 10.0) {
        const tarn_motion_frames one{&f.time, 0, f.glove.data(), 0, f.tracker.data(), 0};
        good = tarn_motion_add(c, TARN_RIGHT_HAND, &one, 1) == TARN_OK;
    }
    if (good && tarn_motion_finish(c, TARN_RIGHT_HAND, &result) == TARN_OK) return c;
    tarn_calibrator_destroy(c);
    return nullptr;
}

// The glove of `frame` drifted by `rate` (radians a second) since the end of
// the 10 s motion window, through the right hand's monitor.
tarn_status applyDrifted(tarn_calibrator* c, const WearFrame& frame, double rate)
{
    GloveBlock block{};
    const Quaternion glove = product(aboutZ(rate * (frame.time - 10.0)), frame.glove);
    std::copy(glove.begin(), glove.end(), block.begin());
    const tarn_tracked_hand_frames one{&frame.time, 0, block.data(), 0, frame.tracker.data(), 0, nullptr, 0};
    return tarn_apply_hand_tracked(c, TARN_RIGHT_HAND, &one, 1);
}

// The right hand's true heading error at `frame` (radians): its calibration
// against the session's heading offset and the drift so far.
double headingError(tarn_calibrator* c, const WearFrame& frame, double rate, const WearSession& session)
{
    double rotation[4];
    tarn_get_hand_rotation(c, TARN_RIGHT_HAND, rotation);
    return wrapAngle(2 * std::atan2(rotation[3], rotation[0]) + rate * (frame.time - 10.0) - session.headingOffset());
}

// A motion-calibrated glove that then drifts at 10 degrees a minute, the
// arm moving all the while: the monitor, knowing the mount, re-calibrates
// without waiting for a still hand, and right after each re-calibration the
// true heading error is within a degree.
TEST(MotionDrift, RecalibrationsOfAMotionCalibratedHandLeaveUnderADegree)
{
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        WearTruth truth;
        truth.seed = seed;
        truth.strapTurnRange = radians(180.0);
        WearSession session(truth);
        WearFrame f;
        tarn_motion_result result;
        tarn_calibrator* c = calibratedFromMotion(session, f, result);
        ASSERT_NE(c, nullptr);
        tarn_drift_settings settings;
        tarn_get_drift_settings(c, TARN_RIGHT_HAND, &settings);
        settings.auto_recalibrate = 1;
        ASSERT_EQ(tarn_set_drift_settings(c, TARN_RIGHT_HAND, &settings), TARN_OK);
        const double rate = radians(10.0) / 60;  // radians a second
        int recalibrations = 0;
        for (; f.time < 130.0; f = session.next()) {
            ASSERT_EQ(applyDrifted(c, f, rate), TARN_OK);
            tarn_drift_event event;
            std::size_t taken = 0;
            tarn_take_drift_events(c, TARN_RIGHT_HAND, &event, 1, &taken);
            if (taken == 0 || std::isnan(f.glove[0])) continue;
            ++recalibrations;
            EXPECT_LT(std::fabs(degrees(headingError(c, f, rate, session))), 1.0)
                << "seed " << seed << " at " << f.time << " s";
        }
        EXPECT_GE(recalibrations, 2) << "seed " << seed;
        tarn_calibrator_destroy(c);
    }
}

// A saved motion calibration carries its mount, settings and drift rate: a
// calibrator restored from it compensates the drift that goes on from its
// first frames, long before its own fit could (30 s of bins): 15 s on, its
// error has grown by under half a degree, where it would have grown by 2.5
// degrees without the rate.
TEST(MotionDrift, ASavedCalibrationCompensatesFromItsFirstFrames)
{
    WearTruth truth;
    truth.seed = 7;
    WearSession session(truth);
    WearFrame f;
    tarn_motion_result solved;
    tarn_calibrator* c = calibratedFromMotion(session, f, solved);
    ASSERT_NE(c, nullptr);
    tarn_drift_settings settings;
    tarn_get_drift_settings(c, TARN_RIGHT_HAND, &settings);
    settings.compensate = 1;
    ASSERT_EQ(tarn_set_drift_settings(c, TARN_RIGHT_HAND, &settings), TARN_OK);
    const double rate = radians(10.0) / 60;
    for (; f.time < 130.0; f = session.next()) ASSERT_EQ(applyDrifted(c, f, rate), TARN_OK);
    const double errorWhenSaved = headingError(c, f, rate, session);

    std::size_t size = 0;
    tarn_calibrator_save(c, nullptr, 0, &size);
    std::vector<unsigned char> bytes(size);
    ASSERT_EQ(tarn_calibrator_save(c, bytes.data(), size, &size), TARN_OK);
    tarn_calibrator* restored = nullptr;
    ASSERT_EQ(tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &restored), TARN_OK);
    ASSERT_EQ(tarn_calibrator_restore(restored, bytes.data(), size), TARN_OK);
    tarn_motion_result kept;
    ASSERT_EQ(tarn_get_motion_calibration(restored, TARN_RIGHT_HAND, &kept), TARN_OK);
    EXPECT_EQ(kept.heading_offset, solved.heading_offset);
    EXPECT_EQ(kept.heading_uncertainty, solved.heading_uncertainty);
    EXPECT_EQ(std::memcmp(kept.mount, solved.mount, sizeof kept.mount), 0);
    EXPECT_EQ(kept.frames_used, solved.frames_used);
    tarn_drift_settings keptSettings;
    tarn_get_drift_settings(restored, TARN_RIGHT_HAND, &keptSettings);
    EXPECT_EQ(keptSettings.compensate, 1);

    for (; f.time < 145.0; f = session.next()) ASSERT_EQ(applyDrifted(restored, f, rate), TARN_OK);
    EXPECT_LT(std::fabs(degrees(headingError(restored, f, rate, session) - errorWhenSaved)), 0.5);
    tarn_drift_report report;
    tarn_get_drift(restored, TARN_RIGHT_HAND, &report);
    EXPECT_TRUE(report.compensating);
    tarn_calibrator_destroy(restored);
    tarn_calibrator_destroy(c);
}
