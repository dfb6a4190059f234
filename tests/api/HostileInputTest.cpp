// The integrator API against a hostile host: counts and strides whose
// frames would wrap round the address space, saved strings forged with a
// valid checksum, and numbers too large for a calibration's arithmetic.
// Each is refused with its status and changes nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "TarnCalibrator.h"
#include "api/SessionData.h"
#include "support/Matchers.h"
#include "support/SavedStrings.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

tarn_calibrator* created(tarn_convention convention = TARN_CONVENTION_LIBRARY)
{
    tarn_calibrator* c = nullptr;
    EXPECT_EQ(tarn_calibrator_create(convention, &c), TARN_OK);
    return c;
}

// Every calibration made from fixed inputs: the saved string of format 1
// in tests/data was written by this calibrator.
tarn_calibrator* calibratedFromFixedInputs()
{
    tarn_calibrator* c = created();
    const double glove[4] = {0.9, 0.1, -0.05, 0.42}, tracker[4] = {0.2, 0.03, 0.01, -0.98};
    const double p1[3] = {0.4, 1.2, 1.0}, p2[3] = {-0.3, 0.9, 1.1};
    EXPECT_EQ(tarn_calibrate_hand(c, TARN_RIGHT_HAND, glove, tracker, nullptr), TARN_OK);
    EXPECT_EQ(tarn_calibrate_hand(c, TARN_LEFT_HAND, tracker, glove, nullptr), TARN_OK);
    EXPECT_EQ(tarn_calibrate_both_hands(c, p1, p2, nullptr), TARN_OK);
    tarn_all_vr_input in{1, 1, 1, 1, {2.35, -1.0, 1.1}, {0.1, 0, 0, 1}, {2.35, -1.4, 1.05}, {1, 0, 0.1, 0.2},
                         {2.5, -1.2, 1.7}, {0.0, 0.05, 0.0, 1}};
    EXPECT_EQ(tarn_calibrate_all_vr(c, &in, nullptr), TARN_OK);
    return c;
}

// A batch function with one of its arrays (`which`) laid out by the given
// stride and count, the others packed.
struct Batch {
    const char* name;
    int arrays;
    std::function<tarn_status(int which, std::size_t stride, std::size_t count)> call;
};

TEST(HostileInput, BatchesRefuseCountsAndStridesThatWrapTheAddressSpace)
{
    tarn_calibrator* c = calibratedFromFixedInputs();
    std::vector<double> memory(4 * 80, 0.5);
    const std::vector<double> before = memory;
    double* a = memory.data();
    const double time[4] = {1, 2, 3, 4};
    const auto layout = [](int which, int array, std::size_t stride) { return which == array ? stride : 0; };
    const Batch batches[] = {
        {"tarn_apply_hand", 1, [&](int, std::size_t stride, std::size_t count) {
             return tarn_apply_hand(c, TARN_RIGHT_HAND, a, stride, count);
         }},
        {"tarn_apply_both_hands", 4, [&](int w, std::size_t stride, std::size_t count) {
             return tarn_apply_both_hands(c, a, layout(w, 0, stride), a, layout(w, 1, stride), a, layout(w, 2, stride), a,
                                          layout(w, 3, stride), count);
         }},
        {"tarn_apply_device", 2, [&](int w, std::size_t stride, std::size_t count) {
             return tarn_apply_device(c, TARN_HEADSET, a, layout(w, 0, stride), a, layout(w, 1, stride), count);
         }},
        {"tarn_apply_hand_tracked", 4, [&](int w, std::size_t stride, std::size_t count) {
             const tarn_tracked_hand_frames f{time, layout(w, 0, stride), a, layout(w, 1, stride), a,
                                              layout(w, 2, stride), a, layout(w, 3, stride)};
             return tarn_apply_hand_tracked(c, TARN_RIGHT_HAND, &f, count);
         }},
    };
    const std::size_t top = std::numeric_limits<std::size_t>::max();
    struct Layout {
        std::size_t stride, count;
    };
    const Layout wrapping[] = {{top - 7, 2},     {std::size_t{1} << 63, 3}, {0, top},
                               {640, top / 320}, {8 * (top / 16), 3},       {top - 7, top}};
    const std::vector<unsigned char> state = saved(c);
    for (const Batch& b : batches)
        for (int which = 0; which < b.arrays; ++which)
            for (const Layout& l : wrapping) {
                EXPECT_EQ(b.call(which, l.stride, l.count), TARN_INVALID_ARGUMENT)
                    << b.name << " array " << which << " stride " << l.stride << " count " << l.count;
                ASSERT_TRUE(memory == before && saved(c) == state) << b.name;
            }
    for (const Batch& b : batches) EXPECT_EQ(b.call(0, 640, 1), TARN_OK) << b.name;
    tarn_calibrator_destroy(c);

    // Where the limits lie: an uncalibrated calibrator checks a batch, then
    // refuses it as not calibrated without touching a frame, so made-up
    // addresses show the largest count that fits and one more.
    c = created();
    const std::size_t frame = 80 * sizeof(double);
    const std::uintptr_t low = 4096;
    struct Edge {
        const char* what;
        std::uintptr_t address;
        std::size_t stride, fits;
    };
    const Edge edges[] = {
        {"below the top of memory", UINTPTR_MAX - 5 * frame + 1, 0, 4},
        {"within PTRDIFF_MAX bytes", low, 0, static_cast<std::size_t>(PTRDIFF_MAX) / frame},
        {"a stride of 2^62", low, std::size_t{1} << 62, 2},
    };
    for (const Edge& e : edges) {
        double* data = reinterpret_cast<double*>(e.address);
        EXPECT_EQ(tarn_apply_hand(c, TARN_RIGHT_HAND, data, e.stride, e.fits), TARN_NOT_CALIBRATED) << e.what;
        EXPECT_EQ(tarn_apply_hand(c, TARN_RIGHT_HAND, data, e.stride, e.fits + 1), TARN_INVALID_ARGUMENT) << e.what;
    }
    tarn_calibrator_destroy(c);
}

// A stored string of each format restores to the calibrations it was made
// from, field by field, and saves back to itself.
TEST(HostileInput, StoredStringsOfEachFormatRestoreFieldByField)
{
    std::ifstream in(std::string(TARN_TEST_DATA_DIR) + "/saved-calibration-v1.hex");
    std::string hex;
    ASSERT_TRUE(static_cast<bool>(in >> hex));
    std::vector<unsigned char> bytes;
    for (std::size_t k = 0; k + 1 < hex.size(); k += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoul(hex.substr(k, 2), nullptr, 16)));
    tarn_calibrator* restored = created(TARN_CONVENTION_UNREAL);
    tarn_calibrator* made = calibratedFromFixedInputs();
    // A 1.1 string leaves the drift settings as they are.
    tarn_drift_settings settings;
    ASSERT_EQ(tarn_drift_default_settings(&settings), TARN_OK);
    settings.window = 60.0;
    settings.compensate = 1;
    ASSERT_EQ(tarn_set_drift_settings(restored, TARN_LEFT_HAND, &settings), TARN_OK);
    ASSERT_EQ(tarn_calibrator_restore(restored, bytes.data(), bytes.size()), TARN_OK);
    tarn_drift_settings kept;
    ASSERT_EQ(tarn_get_drift_settings(restored, TARN_LEFT_HAND, &kept), TARN_OK);
    EXPECT_EQ(kept.window, 60.0);
    EXPECT_EQ(kept.compensate, 1);
    // It saves back in the current format, its calibrations unchanged.
    const std::vector<unsigned char> resaved = saved(restored);
    const std::size_t payload = saved_string::kHands;
    EXPECT_EQ(resaved.size(), 665u);
    EXPECT_EQ(std::vector<unsigned char>(resaved.begin() + 12, resaved.begin() + payload),
              std::vector<unsigned char>(bytes.begin() + 12, bytes.begin() + payload));
    // Calibrating anew gives the same bits where sin, cos and atan2 are
    // those the string was written with, and round-off elsewhere.
    const auto same = [](double a, double b) { return TARN_PLATFORM_MATH_EXACT ? sameBits(a, b) : std::fabs(a - b) <= kRoundOff; };
    if (TARN_PLATFORM_MATH_EXACT) {
        const std::vector<unsigned char> anew = saved(made);
        EXPECT_EQ(std::vector<unsigned char>(anew.begin() + 12, anew.begin() + payload),
                  std::vector<unsigned char>(bytes.begin() + 12, bytes.begin() + payload));
    }
    tarn_calibrator_destroy(restored);
    restored = created();
    ASSERT_EQ(tarn_calibrator_restore(restored, bytes.data(), bytes.size()), TARN_OK);
    for (const tarn_hand hand : {TARN_RIGHT_HAND, TARN_LEFT_HAND}) {
        double expected[4], actual[4];
        ASSERT_EQ(tarn_get_hand_rotation(made, hand, expected), TARN_OK);
        ASSERT_EQ(tarn_get_hand_rotation(restored, hand, actual), TARN_OK);
        for (int k = 0; k < 4; ++k) EXPECT_TRUE(same(actual[k], expected[k])) << "hand " << hand << " " << k;
    }
    double expected[8], actual[8];
    unsigned char coveredExpected[3], coveredActual[3];
    ASSERT_EQ(tarn_get_both_hands_frame(made, expected, expected + 4), TARN_OK);
    ASSERT_EQ(tarn_get_both_hands_frame(restored, actual, actual + 4), TARN_OK);
    for (int k = 0; k < 7; ++k) EXPECT_TRUE(same(actual[k], expected[k])) << "both hands " << k;
    ASSERT_EQ(tarn_get_all_vr_frame(made, expected, expected + 4, coveredExpected), TARN_OK);
    ASSERT_EQ(tarn_get_all_vr_frame(restored, actual, actual + 4, coveredActual), TARN_OK);
    for (int k = 0; k < 7; ++k) EXPECT_TRUE(same(actual[k], expected[k])) << "All-VR " << k;
    EXPECT_EQ(std::vector<unsigned char>(coveredActual, coveredActual + 3), std::vector<unsigned char>({1, 1, 1}));
    tarn_calibrator_destroy(made);
    tarn_calibrator_destroy(restored);
}

// A hand's motion record made present, with mount (w, 0, 0, 0) and
// heading offset `heading`, its other values zero.
void setMotion(std::vector<unsigned char>& bytes, int hand, double w, double heading)
{
    bytes[saved_string::motionPresent(hand)] = 1;
    saved_string::setDouble(bytes, saved_string::motionValue(hand, 0), heading);
    saved_string::setDouble(bytes, saved_string::motionValue(hand, 2), w);
}

// A string edited and resealed as a forger would.
struct Forgery {
    const char* what;
    std::function<void(std::vector<unsigned char>&)> edit;
};

void setRotation(std::vector<unsigned char>& bytes, int slot, std::array<double, 4> q)
{
    for (int k = 0; k < 4; ++k) saved_string::setDouble(bytes, saved_string::rotation(slot, k), q[k]);
}

TEST(HostileInput, ForgedSavedStringsAreRefused)
{
    using namespace saved_string;
    tarn_calibrator* c = calibratedFromFixedInputs();
    const std::vector<unsigned char> genuine = saved(c);
    tarn_calibrator* fresh = created();
    const std::vector<unsigned char> empty = saved(fresh);  // no device headings
    const double half = std::sqrt(0.5);
    const Forgery forgeries[] = {
        {"NaN hand rotation", [](auto& b) { setDouble(b, rotation(0, 0), kNaN); }},
        {"infinite hand rotation", [](auto& b) { setDouble(b, rotation(1, 3), kInf); }},
        {"zero hand rotation", [](auto& b) { setRotation(b, 0, {0, 0, 0, 0}); }},
        {"hand rotation 1e200 long", [&](auto& b) { setRotation(b, 1, {1e200 * half, 0, 0, 1e200 * half}); }},
        {"hand rotation tilted", [&](auto& b) { setRotation(b, 0, {half, half, 0, 0}); }},
        {"hand rotation 1.5e-9 long", [&](auto& b) { setRotation(b, 0, {half + 1.1e-9, 0, 0, half + 1.1e-9}); }},
        {"NaN double-hand rotation", [](auto& b) { setDouble(b, rotation(2, 3), kNaN); }},
        {"All-VR heading rolled", [&](auto& b) { setRotation(b, 3, {half, 0, half, 0}); }},
        {"NaN device heading", [](auto& b) { setDouble(b, rotation(6, 0), kNaN); }},
        {"hand rotation absent", [](auto& b) { b[kRotations] = 0; setRotation(b, 0, {0, 0, 0, 0}); }},
        {"calibrated tracker without heading", [](auto& b) { b[kRotations + 4 * kRotationBytes] = 0; setRotation(b, 4, {0, 0, 0, 0}); }},
        {"presence byte 2", [](auto& b) { b[kRotations + kRotationBytes] = 2; }},
        {"flag byte 2", [](auto& b) { b[kFlags + 2] = 2; }},
        {"NaN centre", [](auto& b) { setDouble(b, point(0, 1), kNaN); }},
        {"centre just beyond 1e7 m", [](auto& b) { setDouble(b, point(0, 0), std::nextafter(1e7, 2e7)); }},
        {"NaN origin", [](auto& b) { setDouble(b, point(1, 0), kNaN); }},
        {"infinite origin", [](auto& b) { setDouble(b, point(1, 1), -kInf); }},
        {"origin above the floor", [](auto& b) { setDouble(b, point(1, 2), 1.0); }},
        {"motion record with no mount", [](auto& b) { b[motionPresent(0)] = 1; }},
        {"motion mount 1e-8 long", [](auto& b) { setMotion(b, 1, 1.0 + 1e-8, 0.0); }},
        {"motion heading beyond a half turn", [](auto& b) { setMotion(b, 0, 1.0, 3.2); }},
        {"motion presence byte 2", [](auto& b) { setMotion(b, 0, 1.0, 0.0); b[motionPresent(0)] = 2; }},
        {"drift window of 10 s", [](auto& b) { setDouble(b, settingsValue(1, 4), 10.0); }},
        {"drift reference row 20", [](auto& b) { b[settingsRow(0)] = 20; }},
        {"NaN drift rate", [](auto& b) { b[ratePresent(0)] = 1; setDouble(b, rateValue(0, 0), kNaN); }},
        {"negative rate error", [](auto& b) { b[ratePresent(1)] = 1; setDouble(b, rateValue(1, 1), -1e-6); }},
        {"rate without its presence byte", [](auto& b) { setDouble(b, rateValue(0, 0), 1e-4); }},
    };
    for (const Forgery& f : forgeries) {
        std::vector<unsigned char> forged = genuine;
        f.edit(forged);
        reseal(forged);
        EXPECT_EQ(tarn_calibrator_restore(fresh, forged.data(), forged.size()), TARN_INVALID_SAVED_STATE) << f.what;
        EXPECT_EQ(saved(fresh), empty) << f.what;
    }
    // An absent heading must be all zeros, as written.
    std::vector<unsigned char> forged = empty;
    setDouble(forged, rotation(6, 0), 1.0);
    reseal(forged);
    EXPECT_EQ(tarn_calibrator_restore(c, forged.data(), forged.size()), TARN_INVALID_SAVED_STATE);
    EXPECT_EQ(saved(c), genuine);
    // A motion record is kept for a calibrated hand only.
    forged = empty;
    setMotion(forged, 0, 1.0, 0.5);
    reseal(forged);
    EXPECT_EQ(tarn_calibrator_restore(c, forged.data(), forged.size()), TARN_INVALID_SAVED_STATE);
    EXPECT_EQ(saved(c), genuine);
    forged = genuine;
    setMotion(forged, 1, 1.0, 0.5);
    reseal(forged);
    tarn_motion_result motion;
    EXPECT_EQ(tarn_calibrator_restore(fresh, forged.data(), forged.size()), TARN_OK);
    EXPECT_EQ(tarn_get_motion_calibration(fresh, TARN_RIGHT_HAND, &motion), TARN_NOT_CALIBRATED);
    ASSERT_EQ(tarn_get_motion_calibration(fresh, TARN_LEFT_HAND, &motion), TARN_OK);
    EXPECT_EQ(motion.heading_offset, 0.5);
    EXPECT_EQ(saved(fresh), forged);
    // Resealing alone, and round-off within the tolerance, are accepted.
    forged = genuine;
    setDouble(forged, rotation(3, 1), 1e-12);
    reseal(forged);
    EXPECT_EQ(tarn_calibrator_restore(fresh, forged.data(), forged.size()), TARN_OK);
    tarn_calibrator_destroy(fresh);
    tarn_calibrator_destroy(c);
}

// Random edits, resealed: each string is refused, or what it restores
// turns every hand and device sample into finite values of unit length.
TEST(HostileInput, RandomResealedEditsRestoreOnlySaneCalibrations)
{
    tarn_calibrator* c = calibratedFromFixedInputs();
    const std::vector<unsigned char> genuine = saved(c);
    std::mt19937_64 rng(25);
    std::uniform_int_distribution<std::size_t> at(saved_string::kFlags, genuine.size() - 5);
    int accepted = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        std::vector<unsigned char> forged = genuine;
        for (int edits = 1 + trial % 3; edits > 0; --edits) forged[at(rng)] = static_cast<unsigned char>(rng());
        saved_string::reseal(forged);
        if (tarn_calibrator_restore(c, forged.data(), forged.size()) != TARN_OK) continue;
        ++accepted;
        Hand80 block;
        for (int k = 0; k < 80; ++k) block[k] = k % 4 == 0 ? 1.0 : 0.0;
        double pose[7] = {1.0, 2.0, 0.5, 1.0, 0.0, 0.0, 0.0};
        tarn_apply_hand(c, static_cast<tarn_hand>(trial % 2), block.data(), 0, 1);
        tarn_apply_device(c, static_cast<tarn_device>(trial % 3), pose, 0, pose + 3, 0, 1);
        const double length = std::hypot(std::hypot(block[0], block[1]), std::hypot(block[2], block[3]));
        ASSERT_NEAR(length, 1.0, 1e-8) << "trial " << trial;
        for (double v : pose) ASSERT_TRUE(std::isfinite(v) && std::fabs(v) < 1e8) << "trial " << trial;
    }
    EXPECT_GT(accepted, 0);  // edits of doubles' low bits stay within the tolerance
    tarn_calibrator_destroy(c);
}

// Inputs beyond the stated range, where the arithmetic would overflow or
// lose the input: refused, never a wrong calibration with TARN_OK.
TEST(HostileInput, CalibrationsRefuseNumbersBeyondTheirRange)
{
    const double big = 1e200, turned[4] = {std::sqrt(0.5) * big, 0, 0, std::sqrt(0.5) * big};
    const double upright[4] = {1e160, 0, 1e160, 0}, level[4] = {1, 0, 0, 0};
    const double beyond = std::nextafter(TARN_LARGEST_QUATERNION_COMPONENT, kInf), justBeyond[4] = {beyond, 0, 0, 1};
    const double farther[3] = {std::nextafter(TARN_LARGEST_POSITION, kInf), 0, 0}, origin[3] = {0, 0, 0};
    const double far1[3] = {1.5e308, 0, 1}, far2[3] = {1.5e308 - 1e292, 1, 1};
    tarn_all_vr_input headset{0, 0, 1, 1, {}, {}, {}, {}, {0, 0, 1.7}, {big, 0, 0, big}};
    tarn_all_vr_input lone{1, 0, 0, 0, {1e16, 0, 1}, {1, 0, 0, 0.1}, {}, {}, {}, {}};
    tarn_calibrator* c = created();
    struct Case {
        const char* what;
        std::function<tarn_status(tarn_quality*)> call;
    };
    const Case cases[] = {
        {"source turned 90 degrees, 1e200 long",
         [&](auto* q) { return tarn_calibrate_hand(c, TARN_RIGHT_HAND, turned, level, q); }},
        {"near-vertical target, 1e160 long",
         [&](auto* q) { return tarn_calibrate_hand(c, TARN_LEFT_HAND, level, upright, q); }},
        {"orientation check, 1e200 long",
         [&](auto*) { return tarn_check_orientation(TARN_CONVENTION_UNITY, turned, nullptr); }},
        {"positions at 1.5e308", [&](auto* q) { return tarn_calibrate_both_hands(c, far1, far2, q); }},
        {"a component just beyond the range", [&](auto* q) { return tarn_calibrate_hand(c, TARN_LEFT_HAND, justBeyond, level, q); }},
        {"a position just beyond the range", [&](auto* q) { return tarn_calibrate_both_hands(c, origin, farther, q); }},
        {"headset 1e200 long", [&](auto* q) { return tarn_calibrate_all_vr(c, &headset, q); }},
        {"lone tracker 1e16 m away", [&](auto* q) { return tarn_calibrate_all_vr(c, &lone, q); }},
    };
    const std::vector<unsigned char> before = saved(c);
    for (const Case& k : cases) {
        tarn_quality quality{};
        EXPECT_EQ(k.call(&quality), TARN_INVALID_ARGUMENT) << k.what;
        EXPECT_EQ(saved(c), before) << k.what;
    }
    // Within the range, length does not matter.
    double expected[4], actual[4];
    const double unit[4] = {std::sqrt(0.5), 0, 0, std::sqrt(0.5)};
    ASSERT_EQ(tarn_calibrate_hand(c, TARN_RIGHT_HAND, unit, level, nullptr), TARN_OK);
    ASSERT_EQ(tarn_get_hand_rotation(c, TARN_RIGHT_HAND, expected), TARN_OK);
    for (const double scale : {1e-7, 1e100, TARN_LARGEST_QUATERNION_COMPONENT / std::sqrt(0.5)}) {
        const double scaled[4] = {std::fmin(unit[0] * scale, TARN_LARGEST_QUATERNION_COMPONENT), 0, 0,
                                  std::fmin(unit[3] * scale, TARN_LARGEST_QUATERNION_COMPONENT)};
        ASSERT_EQ(tarn_calibrate_hand(c, TARN_RIGHT_HAND, scaled, level, nullptr), TARN_OK) << scale;
        ASSERT_EQ(tarn_get_hand_rotation(c, TARN_RIGHT_HAND, actual), TARN_OK);
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(actual[k], expected[k], kRoundOff) << scale;
    }
    const double edge1[3] = {TARN_LARGEST_POSITION, 0, 0}, edge2[3] = {TARN_LARGEST_POSITION - 1, 0, 0};
    EXPECT_EQ(tarn_calibrate_both_hands(c, edge1, edge2, nullptr), TARN_OK);
    tarn_calibrator_destroy(c);
}

}  // namespace
