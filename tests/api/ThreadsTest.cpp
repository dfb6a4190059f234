// Eight calibrators on eight threads at once, each running its own session,
// give the bits the same sessions give one after another (CI runs this
// under ThreadSanitizer too).
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "TarnCalibrator.h"
#include "api/SessionData.h"

namespace {

// A seeded session on its own calibrator: its calibrations, then 200
// frames of hands and devices, returned as converted.
std::vector<double> runSession(unsigned seed)
{
    RandomSession session(seed);
    tarn_calibrator* c = nullptr;
    tarn_calibrator_create(static_cast<tarn_convention>(seed % 4), &c);
    const auto s = session.orientation(), t = session.orientation();
    const auto p1 = session.position(), p2 = session.position();
    tarn_calibrate_hand(c, TARN_RIGHT_HAND, s.data(), t.data(), nullptr);
    tarn_calibrate_both_hands(c, p1.data(), p2.data(), nullptr);
    tarn_all_vr_input in{1, 1, 1, 0, {1, 0, 1}, {1, 0, 0, 0}, {-1, 0, 1}, {1, 0, 0, 0}, {0, 0, 1.7}, {1, 0, 0, 0}};
    tarn_calibrate_all_vr(c, &in, nullptr);
    std::vector<double> out;
    for (int frame = 0; frame < 200; ++frame) {
        Hand80 right = session.hand(), left = session.hand();
        auto q = session.orientation();
        auto p = session.position(), other = session.position();
        tarn_apply_hand(c, TARN_RIGHT_HAND, right.data(), 0, 1);
        tarn_apply_both_hands(c, left.data(), 0, right.data(), 0, p.data(), 0, other.data(), 0, 1);
        tarn_apply_device(c, static_cast<tarn_device>(frame % 3), p.data(), 0, q.data(), 0, 1);
        out.insert(out.end(), right.begin(), right.end());
        out.insert(out.end(), left.begin(), left.end());
        out.insert(out.end(), p.begin(), p.end());
        out.insert(out.end(), q.begin(), q.end());
    }
    tarn_calibrator_destroy(c);
    return out;
}

TEST(Threads, CalibratorsOnTheirOwnThreadsGiveTheBitsOfOneAfterAnother)
{
    std::vector<std::vector<double>> together(8);
    std::vector<std::thread> threads;
    for (unsigned k = 0; k < 8; ++k) threads.emplace_back([&together, k] { together[k] = runSession(100 + k); });
    for (std::thread& t : threads) t.join();
    for (unsigned k = 0; k < 8; ++k) {
        const std::vector<double> alone = runSession(100 + k);
        ASSERT_EQ(together[k].size(), alone.size());
        EXPECT_EQ(std::memcmp(together[k].data(), alone.data(), alone.size() * sizeof(double)), 0) << "session " << k;
    }
}

}  // namespace
