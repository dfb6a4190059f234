// The drift monitor against the generator's ground truth: sessions of
// known drift replayed through the integrator API, frame by frame, as a
// host does. The output's true heading error is measured against a second
// calibrator that converts the same frames with the drift taken out.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "DriftModel.h"
#include "TarnCalibrator.h"

using namespace replay;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kRateTolerance = 0.2;  // degrees a minute

double degreesPerMinute(double radiansPerSecond) { return degrees(radiansPerSecond) * 60; }

struct HandRun {
    tarn_drift_report report{};
    std::vector<tarn_drift_event> events;
    std::vector<double> trueError;   // the output's heading error per frame, radians
    std::vector<double> drift;       // the glove's true drift per frame
    std::vector<bool> still;
    bool sameBitsAsApplyHand = true;  // while the monitor changed nothing
};

// Replays `seconds` of a session, the monitor of each hand set up by
// `setUp`, and reports each hand.
template <class SetUp>
std::array<HandRun, 2> replay(const DriftTruth& truth, double seconds, SetUp setUp)
{
    tarn_calibrator *tracked = nullptr, *plain = nullptr, *undrifted = nullptr;
    for (tarn_calibrator** c : {&tracked, &plain, &undrifted}) tarn_calibrator_create(TARN_CONVENTION_LIBRARY, c);
    DriftSession session(truth);
    std::array<HandRun, 2> runs;
    const auto frames = static_cast<std::size_t>(seconds * truth.frameRate) + 1;
    Frame frame;
    DriftFrameTruth actual;
    for (std::size_t k = 0; k < frames; ++k) {
        session.next(frame, actual);
        for (const Side hand : kSides) {
            const std::size_t h = index(hand);
            const auto side = static_cast<tarn_hand>(h);
            const double* tracker = frame.device[h].orientation.data();
            // The same block with the glove's drift taken out.
            GloveBlock clean = frame.glove[h];
            const Quaternion back = aboutZ(-actual.drift[h]);
            for (std::size_t row = 0; row < kGloveRows; ++row) {
                const Quaternion q = product(back, {clean[4 * row], clean[4 * row + 1], clean[4 * row + 2], clean[4 * row + 3]});
                for (std::size_t c = 0; c < 4; ++c) clean[4 * row + c] = q[c];
            }
            if (k == 0) {
                for (tarn_calibrator* c : {tracked, plain, undrifted})
                    EXPECT_EQ(tarn_calibrate_hand(c, side, frame.glove[h].data(), tracker, nullptr), TARN_OK);
                setUp(tracked, side);
            }
            GloveBlock block = frame.glove[h], plainBlock = frame.glove[h];
            const tarn_tracked_hand_frames f{&frame.time, 0, block.data(), 0, tracker, 0, nullptr, 0};
            EXPECT_EQ(tarn_apply_hand_tracked(tracked, side, &f, 1), TARN_OK);
            tarn_apply_hand(plain, side, plainBlock.data(), 0, 1);
            tarn_apply_hand(undrifted, side, clean.data(), 0, 1);
            HandRun& run = runs[h];
            tarn_drift_report report;
            tarn_get_drift(tracked, side, &report);
            run.sameBitsAsApplyHand = run.sameBitsAsApplyHand && (report.correction != 0.0 || block == plainBlock);
            run.trueError.push_back(wrapAngle(headingOf(tarn::quaternionAt(block.data())) - headingOf(tarn::quaternionAt(clean.data()))));
            run.drift.push_back(actual.drift[h]);
            run.still.push_back(actual.still);
            // Events are taken now and then, two at a time until none are
            // left: the array's third is never written.
            const bool taking = k % 1000 == 999 || k + 1 == frames;
            for (std::size_t taken = 2; taking && taken == 2;) {
                tarn_drift_event events[3];
                events[2].time = -1;
                EXPECT_EQ(tarn_take_drift_events(tracked, side, events, 2, &taken), TARN_OK);
                EXPECT_EQ(events[2].time, -1);
                run.events.insert(run.events.end(), events, events + taken);
            }
        }
    }
    for (const Side hand : kSides) tarn_get_drift(tracked, static_cast<tarn_hand>(index(hand)), &runs[index(hand)].report);
    for (tarn_calibrator* c : {tracked, plain, undrifted}) tarn_calibrator_destroy(c);
    return runs;
}

auto settings(bool autoRecalibrate, bool compensate)
{
    return [=](tarn_calibrator* c, tarn_hand hand) {
        tarn_drift_settings s;
        tarn_drift_default_settings(&s);
        s.auto_recalibrate = autoRecalibrate;
        s.compensate = compensate;
        tarn_set_drift_settings(c, hand, &s);
    };
}

DriftTruth truthOf(std::uint64_t seed, double right, double left)
{
    DriftTruth truth;
    truth.seed = seed;
    truth.rate = {radians(right) / 60, radians(left) / 60};
    return truth;
}

double meanAbs(const std::vector<double>& values)
{
    double sum = 0.0;
    for (double v : values) sum += std::fabs(v);
    return sum / static_cast<double>(values.size());
}

// Five-minute sessions: seed, and each glove's drift in degrees a minute.
struct RateCase {
    std::uint64_t seed;
    double right, left;
};

class DriftRates : public testing::TestWithParam<RateCase> {};

// The fitted rate, and the flag: never up without drift; with drift, up
// within the hold time of the drift crossing the threshold.
TEST_P(DriftRates, RateWithinTolerance_FlagAtTheCrossing)
{
    const RateCase c = GetParam();
    const DriftTruth truth = truthOf(c.seed, c.right, c.left);
    const auto runs = replay(truth, 300.0, settings(false, false));
    tarn_drift_settings defaults;
    tarn_drift_default_settings(&defaults);
    for (const Side hand : kSides) {
        const HandRun& run = runs[index(hand)];
        const double rate = index(hand) == 0 ? c.right : c.left;
        std::printf("    seed %llu %s: true %+6.2f  reported %+7.3f +- %.3f deg/min\n",
                    static_cast<unsigned long long>(c.seed), index(hand) == 0 ? "right" : "left ", rate,
                    degreesPerMinute(run.report.rate), degreesPerMinute(run.report.rate_uncertainty));
        EXPECT_NEAR(degreesPerMinute(run.report.rate), rate, kRateTolerance);
        // An honest uncertainty: one that claims something, and holds.
        EXPECT_LT(degreesPerMinute(run.report.rate_uncertainty), kRateTolerance);
        EXPECT_NEAR(run.report.rate, radians(rate) / 60, 3 * run.report.rate_uncertainty);
        EXPECT_TRUE(run.sameBitsAsApplyHand);

        // The drift at the flag: past the threshold, and not by more than
        // it grows in the hold time and a second's bin, give or take the
        // trend's own error (two degrees, from the wrist's sway).
        double crossing = kNaN;
        for (std::size_t k = 0; k < run.drift.size() && std::isnan(crossing); ++k)
            if (std::fabs(run.drift[k]) > defaults.threshold) crossing = static_cast<double>(k) / truth.frameRate;
        if (std::isnan(crossing) || crossing + defaults.hold_time + 1.0 > 300.0) {
            if (rate == 0.0) {
                EXPECT_TRUE(std::isnan(run.report.first_flag_time));
            }
            continue;
        }
        ASSERT_FALSE(std::isnan(run.report.first_flag_time));
        const double driftAtFlag = std::fabs(run.drift[static_cast<std::size_t>(run.report.first_flag_time * truth.frameRate)]);
        const double slack = radians(2.0);
        EXPECT_GT(driftAtFlag, defaults.threshold - slack);
        EXPECT_LT(driftAtFlag, defaults.threshold + radians(std::fabs(rate)) / 60 * (defaults.hold_time + 1.0) + slack);
    }
}

INSTANTIATE_TEST_SUITE_P(GroundTruth, DriftRates,
                         testing::Values(RateCase{1, 0.0, 0.0}, RateCase{2, 0.0, 0.0}, RateCase{3, 1.0, -1.0},
                                         RateCase{4, 2.5, -2.5}, RateCase{5, 5.0, -5.0}, RateCase{6, 7.5, -7.5},
                                         RateCase{7, 10.0, -10.0}, RateCase{8, -10.0, 10.0}, RateCase{9, 4.0, 0.5}));

// Half an hour at 10 degrees a minute: 300 degrees, through +-180 more than
// once, and the rate is still 10.
TEST(DriftWrap, ResidualUnwrapsPastHalfATurn)
{
    const auto runs = replay(truthOf(11, 10.0, -10.0), 1800.0, settings(false, false));
    std::printf("    30 min: reported %+.3f and %+.3f deg/min, trend residual %+.1f deg (true drift %+.1f)\n",
                degreesPerMinute(runs[0].report.rate), degreesPerMinute(runs[1].report.rate),
                degrees(runs[0].report.trend_residual), degrees(runs[0].drift.back()));
    EXPECT_NEAR(degreesPerMinute(runs[0].report.rate), 10.0, kRateTolerance);
    EXPECT_NEAR(degreesPerMinute(runs[1].report.rate), -10.0, kRateTolerance);
    EXPECT_NEAR(degrees(runs[0].report.trend_residual), 300.0, 3.0);
}

// Automatic re-calibration: only while the person holds still, and each
// brings the residual back under the threshold.
TEST(DriftRecalibration, OnlyWhileStill_BackUnderTheThreshold)
{
    for (std::uint64_t seed : {21, 22, 23}) {
        const DriftTruth truth = truthOf(seed, 10.0, -6.0);
        const auto runs = replay(truth, 300.0, settings(true, false));
        tarn_drift_settings defaults;
        tarn_drift_default_settings(&defaults);
        for (const HandRun& run : runs) {
            EXPECT_GE(run.events.size(), 1u);
            // A re-calibration lowers the flag: the next waits its hold time.
            for (std::size_t k = 1; k < run.events.size(); ++k)
                EXPECT_GE(run.events[k].time - run.events[k - 1].time, defaults.hold_time);
            for (const tarn_drift_event& e : run.events) {
                const auto k = std::min(static_cast<std::size_t>(std::lround(e.time * truth.frameRate)), run.still.size() - 2);
                EXPECT_EQ(e.kind, TARN_DRIFT_RECALIBRATION);
                EXPECT_TRUE(run.still[k]) << "seed " << seed << " at " << e.time << " s";
                // The true error left is the wrist's bend at that frame,
                // within a degree of the threshold.
                EXPECT_LT(std::fabs(run.trueError[k + 1]), defaults.threshold + radians(1.0)) << seed << ": " << e.time;
                EXPECT_LT(std::fabs(e.residual_after), defaults.threshold);
            }
        }
    }
}

// Both at once: a re-calibration takes the drift out, and compensation
// does not take it out a second time.
TEST(DriftRecalibration, WithCompensationTurnsOnce)
{
    const DriftTruth truth = truthOf(41, 20.0, -20.0);
    const auto runs = replay(truth, 300.0, settings(true, true));
    for (const HandRun& run : runs) {
        EXPECT_LT(meanAbs(run.trueError), radians(2.0));
        for (std::size_t k = 1; k < run.events.size(); ++k)
            EXPECT_FALSE(run.events[k].kind == TARN_DRIFT_COMPENSATION && run.events[k].time - run.events[k - 1].time < 1.0);
    }
}

// Compensation keeps the output's true error at least 3 times smaller than
// without it, on constant drift.
TEST(DriftCompensation, ThreeTimesSmallerErrorOnConstantDrift)
{
    for (const RateCase c : {RateCase{31, 5.0, -10.0}, RateCase{32, 8.0, -3.0}}) {
        DriftTruth truth = truthOf(c.seed, c.right, c.left);
        truth.walk = 0.0;
        const auto without = replay(truth, 300.0, settings(false, false));
        const auto with = replay(truth, 300.0, settings(false, true));
        for (std::size_t h = 0; h < 2; ++h) {
            std::printf("    seed %llu hand %zu: mean |error| %.3f deg without, %.3f deg with compensation\n",
                        static_cast<unsigned long long>(c.seed), h, degrees(meanAbs(without[h].trueError)),
                        degrees(meanAbs(with[h].trueError)));
            EXPECT_LT(3 * meanAbs(with[h].trueError), meanAbs(without[h].trueError));
            ASSERT_FALSE(with[h].events.empty());
            EXPECT_EQ(with[h].events.front().kind, TARN_DRIFT_COMPENSATION);
        }
    }
}

}  // namespace
