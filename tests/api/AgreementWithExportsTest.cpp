// The integrator API against the 16 exports: in the library's convention
// the same calibration on the same data gives the same bits, for one and
// for several calibrators, single frames and strided batches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "TarnCalibrator.h"
#include "TarnHandCalibrationSDK.h"
#include "api/ProcessState.h"
#include "api/SessionData.h"
#include "attitude/Attitude.h"

namespace {

using Calibrator = std::unique_ptr<tarn_calibrator, void (*)(tarn_calibrator*)>;

Calibrator create(tarn_convention convention)
{
    tarn_calibrator* c = nullptr;
    EXPECT_EQ(tarn_calibrator_create(convention, &c), TARN_OK);
    return {c, tarn_calibrator_destroy};
}

template <class T>
bool sameBits(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A host's frame record: the API reads its arrays through strides.
struct Frame {
    Hand80 right, left;
    std::array<double, 3> position1, position2;
    double timestamp;
};

TEST(AgreementWithExports, EveryCalibrationAndBatchGivesTheExportsBits)
{
    RandomSession session(0x5e55);
    Calibrator first = create(TARN_CONVENTION_LIBRARY), second = create(TARN_CONVENTION_LIBRARY);
    for (int trial = 0; trial < 60; ++trial) {
        tarn::resetProcessStateForTesting();
        tarn_calibrator* c = (trial % 2 ? first : second).get();  // two calibrators, interleaved
        const auto source = session.orientation(), target = session.orientation();
        InitialRHand(source.data(), target.data());
        InitialLHand(target.data(), source.data());
        ASSERT_EQ(tarn_calibrate_hand(c, TARN_RIGHT_HAND, source.data(), target.data(), nullptr), TARN_OK);
        ASSERT_EQ(tarn_calibrate_hand(c, TARN_LEFT_HAND, target.data(), source.data(), nullptr), TARN_OK);
        const auto p1 = session.position(), p2 = session.position();
        ASSERT_TRUE(InitialDoubleCalibration(p1.data(), p2.data()));
        ASSERT_EQ(tarn_calibrate_both_hands(c, p1.data(), p2.data(), nullptr), TARN_OK);

        Frame frames[5];
        for (Frame& f : frames) f = {session.hand(), session.hand(), session.position(), session.position(), 0};
        Frame expected[5];
        std::memcpy(expected, frames, sizeof frames);
        const bool bothHands = trial % 3 == 0;
        for (Frame& f : expected) {
            if (bothHands) {
                GetDoubleHandCalibrationData(f.right.data(), f.left.data(), f.position1.data(), f.position2.data());
            } else {
                GetCalculationDataRHand(f.right.data());
                GetCalculationDataLHand(f.left.data());
            }
        }
        if (bothHands) {
            ASSERT_EQ(tarn_apply_both_hands(c, frames[0].right.data(), sizeof(Frame), frames[0].left.data(), sizeof(Frame),
                                            frames[0].position1.data(), sizeof(Frame), frames[0].position2.data(),
                                            sizeof(Frame), 5),
                      TARN_OK);
        } else {
            ASSERT_EQ(tarn_apply_hand(c, TARN_RIGHT_HAND, frames[0].right.data(), sizeof(Frame), 5), TARN_OK);
            for (Frame& f : frames) ASSERT_EQ(tarn_apply_hand(c, TARN_LEFT_HAND, f.left.data(), 0, 1), TARN_OK);
        }
        for (int k = 0; k < 5; ++k) ASSERT_TRUE(sameBits(frames[k], expected[k])) << "trial " << trial << " frame " << k;
    }
}

TEST(AgreementWithExports, AllVRFramesDecidedByEachDeviceGiveTheExportsBits)
{
    RandomSession session(0xa11);
    Calibrator c = create(TARN_CONVENTION_LIBRARY);
    const double supplied[4] = {1, 0, 0, 0};
    for (int trial = 0; trial < 80; ++trial) {
        tarn::resetProcessStateForTesting();
        tarn_all_vr_input in{};
        in.right_tracker_on = trial % 4 != 1;
        in.left_tracker_on = trial % 4 != 2;
        in.headset_on = static_cast<unsigned char>(trial % 2);
        in.headset_decides = trial % 5 == 0;
        double* positions[3] = {in.right_position, in.left_position, in.headset_position};
        double* orientations[3] = {in.right_orientation, in.left_orientation, in.headset_orientation};
        double behind[3][3];
        for (int d = 0; d < 3; ++d) {
            const auto p = session.position();
            const auto q = session.orientation();
            std::memcpy(positions[d], p.data(), sizeof p);
            std::memcpy(orientations[d], q.data(), sizeof q);
            const tarn::Vector3 forward = tarn::forwardOf(q);  // a tracker's forward is its +Y axis
            for (int k = 0; k < 3; ++k) behind[d][k] = p[k] - forward[k];
        }
        const double* decides = in.headset_decides ? nullptr : supplied;
        ASSERT_TRUE(InitialAllVRCalibrationV2(in.right_tracker_on, in.right_position, behind[0], in.right_orientation,
                                              decides, in.left_tracker_on, in.left_position, behind[1],
                                              in.left_orientation, decides, in.headset_on, in.headset_position,
                                              in.headset_orientation, true));
        if (in.right_tracker_on + in.left_tracker_on + in.headset_on == 0) continue;
        ASSERT_EQ(tarn_calibrate_all_vr(c.get(), &in, nullptr), TARN_OK) << trial;

        void (*exports[3])(double*, double*) = {GetAllRTracker, GetAllLTracker, GetAllVRGlasses};
        for (int d = 0; d < 3; ++d) {
            std::array<double, 7> pose[3], expected[3];  // position then orientation
            for (auto& p : pose) {
                const auto position = session.position();
                const auto orientation = session.orientation();
                std::copy(position.begin(), position.end(), p.begin());
                std::copy(orientation.begin(), orientation.end(), p.begin() + 3);
            }
            std::memcpy(expected, pose, sizeof pose);
            for (auto& p : expected) exports[d](p.data(), p.data() + 3);
            const bool covered = std::memcmp(pose, expected, sizeof pose) != 0;
            EXPECT_EQ(tarn_apply_device(c.get(), static_cast<tarn_device>(d), pose[0].data(), sizeof pose[0],
                                        pose[0].data() + 3, sizeof pose[0], 3),
                      covered ? TARN_OK : TARN_NOT_CALIBRATED);
            ASSERT_TRUE(sameBits(pose, expected)) << "trial " << trial << " device " << d;
        }
    }
}

// A host's record of a whole frame, parts in a random order, some absent:
// one tarn_apply_frames call gives the bits of the per-part batches and of
// the exports, frame by frame, in the library's convention; in another
// convention, those of the per-part batches.
TEST(AgreementWithExports, WholeFrameRecordsGiveTheBatchesAndExportsBits)
{
    RandomSession session(0xf4a3e);
    constexpr std::size_t kParts = 8, kDoubles[kParts] = {80, 80, 3, 3, 3, 4, 4, 4}, kFrames = 4;
    for (int trial = 0; trial < 40; ++trial) {
        tarn::resetProcessStateForTesting();
        const tarn_convention convention = trial % 4 == 3 ? TARN_CONVENTION_UNITY : TARN_CONVENTION_LIBRARY;
        Calibrator c = create(convention);
        const auto source = session.orientation(), target = session.orientation();
        ASSERT_EQ(tarn_calibrate_hand(c.get(), TARN_RIGHT_HAND, source.data(), target.data(), nullptr), TARN_OK);
        ASSERT_EQ(tarn_calibrate_hand(c.get(), TARN_LEFT_HAND, target.data(), source.data(), nullptr), TARN_OK);
        InitialRHand(source.data(), target.data());
        InitialLHand(target.data(), source.data());
        tarn_all_vr_input in{1, 1, 1, 1, {}, {}, {}, {}, {}, {}};
        for (double* p : {in.right_position, in.left_position, in.headset_position}) {
            const auto v = session.position();
            std::copy(v.begin(), v.end(), p);
        }
        for (double* q : {in.right_orientation, in.left_orientation, in.headset_orientation}) {
            const auto v = session.orientation();
            std::copy(v.begin(), v.end(), q);
        }
        if (tarn_calibrate_all_vr(c.get(), &in, nullptr) != TARN_OK) continue;
        InitialAllVRCalibrationV2(true, in.right_position, in.right_position, in.right_orientation, nullptr, true,
                                  in.left_position, in.left_position, in.left_orientation, nullptr, true,
                                  in.headset_position, in.headset_orientation, true);
        // Parts laid out in a shuffled order with a double of padding each;
        // a part absent one time in four.
        std::size_t order[kParts] = {0, 1, 2, 3, 4, 5, 6, 7}, offset[kParts], stride = 0;
        std::shuffle(order, order + kParts, session.rng);
        for (std::size_t part : order) {
            offset[part] = session.rng() % 4 == 0 ? TARN_ABSENT : stride;
            stride += 8 * (kDoubles[part] + 1);
        }
        const tarn_frame_layout layout{offset[0], offset[1], {offset[2], offset[3], offset[4]}, {offset[5], offset[6], offset[7]}};
        std::vector<double> records(kFrames * stride / 8);
        for (double& v : records) v = session.uniform(-1, 1);
        std::vector<double> byParts = records, byExports = records;
        ASSERT_EQ(tarn_apply_frames(c.get(), &layout, records.data(), stride, kFrames), TARN_OK) << trial;
        const auto at = [&](std::vector<double>& r, std::size_t part) { return r.data() + offset[part] / 8; };
        for (int h = 0; h < 2; ++h)
            if (offset[h] != TARN_ABSENT)
                tarn_apply_hand(c.get(), h == 0 ? TARN_RIGHT_HAND : TARN_LEFT_HAND, at(byParts, h), stride, kFrames);
        void (*exports[3])(double*, double*) = {GetAllRTracker, GetAllLTracker, GetAllVRGlasses};
        for (int d = 0; d < 3; ++d) {
            const std::size_t p = 2 + d, q = 5 + d;
            if (offset[p] == TARN_ABSENT && offset[q] == TARN_ABSENT) continue;
            tarn_apply_device(c.get(), static_cast<tarn_device>(d), offset[p] == TARN_ABSENT ? nullptr : at(byParts, p),
                              stride, offset[q] == TARN_ABSENT ? nullptr : at(byParts, q), stride, kFrames);
            // The exports take both parts; an absent one is converted aside.
            for (std::size_t k = 0; k < kFrames && convention == TARN_CONVENTION_LIBRARY; ++k) {
                double position[3] = {0, 0, 0}, orientation[4] = {1, 0, 0, 0};
                double* pp = offset[p] == TARN_ABSENT ? position : at(byExports, p) + k * stride / 8;
                double* qq = offset[q] == TARN_ABSENT ? orientation : at(byExports, q) + k * stride / 8;
                exports[d](pp, qq);
            }
        }
        for (std::size_t k = 0; k < kFrames && convention == TARN_CONVENTION_LIBRARY; ++k) {
            if (offset[0] != TARN_ABSENT) GetCalculationDataRHand(at(byExports, 0) + k * stride / 8);
            if (offset[1] != TARN_ABSENT) GetCalculationDataLHand(at(byExports, 1) + k * stride / 8);
        }
        const auto same = [&](const std::vector<double>& other) {
            return std::memcmp(records.data(), other.data(), records.size() * sizeof(double)) == 0;
        };
        EXPECT_TRUE(same(byParts)) << "trial " << trial;
        if (convention == TARN_CONVENTION_LIBRARY) {
            EXPECT_TRUE(same(byExports)) << "trial " << trial;
        }
    }
}

}  // namespace
