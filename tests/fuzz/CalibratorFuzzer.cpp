// Fuzz target: decodes bytes into calls of the integrator API on two
// calibrators of fuzzed conventions, with arbitrary doubles, enum values,
// flags, strides and counts, and restore strings that are fuzzed bytes or
// saved strings with fuzzed damage; half of them are resealed with a
// checksum made for the damage, so that restore's checks of the contents
// are met. Every array ends where an inaccessible
// page begins (GuardedArray), so a read or write past its stated length
// faults.
//
// Hand frames also go through the drift monitor, with fuzzed settings, and
// through motion calibration windows.
//
// Also checked, from the header's promises: a call that does not return
// TARN_OK leaves the calibrator's saved state and the caller's arrays as
// they were; a saved string restores to the same saved string, and what
// it restores turns a unit hand block into unit quaternions.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzInput.h"
#include "GuardedArray.h"
#include "TarnCalibrator.h"
#include "support/SavedStrings.h"

namespace {

void require(bool condition)
{
    if (!condition) std::abort();
}

std::vector<unsigned char> saved(const tarn_calibrator* c)
{
    std::vector<unsigned char> bytes(1024);
    std::size_t size = 0;
    require(tarn_calibrator_save(c, bytes.data(), bytes.size(), &size) == TARN_OK);
    bytes.resize(size);
    return bytes;
}

// `count` frames of `doubles` each, `stride` bytes apart (0: packed),
// of fuzzed values, in an array of exactly the length they need.
struct FrameArray {
    GuardedArray array;
    std::vector<double> before;
    FrameArray(FuzzInput& in, std::size_t count, std::size_t stride, std::size_t doubles)
        : array(count == 0 ? 0 : (count - 1) * (stride != 0 ? (stride + 7) / 8 : doubles) + doubles)
    {
        for (std::size_t k = 0; k < array.size(); ++k) array[k] = in.number();
        before.assign(array.data(), array.data() + array.size());
    }
    double* data() { return array.data(); }
    bool unchanged() const { return array.size() == 0 || std::memcmp(array.data(), before.data(), before.size() * 8) == 0; }
};

void call(FuzzInput& in, tarn_calibrator* c)
{
    const std::vector<unsigned char> before = saved(c);
    const std::size_t count = static_cast<std::size_t>(in.between(0, 3));
    const std::size_t stride = in.pick(4) == 0 ? static_cast<std::size_t>(in.between(0, 800)) : 0;
    const int enumValue = in.between(-1, 3);
    const int operation = in.pick(9);
    const bool calibrating = operation < 3, oneFrame = calibrating || operation == 7;
    const std::size_t frame = operation == 1 ? 3 : operation == 3 || operation == 4 ? 80 : 4;
    FrameArray a(in, oneFrame ? 1 : count, stride, frame), b(in, oneFrame ? 1 : count, stride, frame);
    FrameArray p1(in, count, 0, 3), p2(in, count, 0, 3);
    tarn_quality quality;
    tarn_status status = TARN_OK;
    switch (operation) {
    case 0: status = tarn_calibrate_hand(c, static_cast<tarn_hand>(enumValue), a.data(), b.data(), &quality); break;
    case 1: status = tarn_calibrate_both_hands(c, a.data(), b.data(), &quality); break;
    case 2: {
        tarn_all_vr_input input;
        std::vector<unsigned char> bytes(sizeof input);
        for (unsigned char& byte : bytes) byte = in.byte();
        std::memcpy(&input, bytes.data(), sizeof input);
        for (double* v = input.right_position; v < input.headset_orientation + 4; ++v) *v = in.number();
        status = tarn_calibrate_all_vr(c, &input, in.flag() ? &quality : nullptr);
        break;
    }
    case 3: {
        if (!in.flag()) {
            status = tarn_apply_hand(c, static_cast<tarn_hand>(enumValue), a.data(), stride, count);
            break;
        }
        // Through the drift monitor, its settings fuzzed now and then:
        // times, trackers (b's frames) and residuals (p1's, 3 doubles apart).
        if (in.flag()) {
            tarn_drift_settings settings{static_cast<unsigned>(in.between(0, 21)), in.number(), in.number(), in.number(),
                                         in.number(), in.number(), static_cast<unsigned char>(in.between(0, 2)),
                                         static_cast<unsigned char>(in.between(0, 2)), in.number()};
            tarn_set_drift_settings(c, static_cast<tarn_hand>(enumValue), &settings);
        }
        FrameArray times(in, count, 0, 1);
        const tarn_tracked_hand_frames tracked{times.data(), 0, a.data(), stride, b.data(), stride, in.flag() ? p1.data() : nullptr, 24};
        status = tarn_apply_hand_tracked(c, static_cast<tarn_hand>(enumValue), &tracked, count);
        tarn_drift_report report;
        tarn_drift_event events[4];
        std::size_t taken = 0;
        if (tarn_get_drift(c, static_cast<tarn_hand>(enumValue), &report) == TARN_OK)
            require(tarn_take_drift_events(c, static_cast<tarn_hand>(enumValue), events, 4, &taken) == TARN_OK && taken <= 4);
        if (status != TARN_OK) require(times.unchanged());
        break;
    }
    case 4: status = tarn_apply_both_hands(c, a.data(), stride, b.data(), stride, p1.data(), 0, p2.data(), 0, count); break;
    case 5:
        status = tarn_apply_device(c, static_cast<tarn_device>(enumValue), in.flag() ? p1.data() : nullptr, 0,
                                   a.data(), stride, count);
        break;
    case 6: {
        std::vector<unsigned char> bytes = in.flag() ? saved(c) : std::vector<unsigned char>(in.between(0, 300));
        for (int k = in.between(0, 3); k > 0 && !bytes.empty(); --k) bytes[in.byte() % bytes.size()] = in.byte();
        if (in.flag()) saved_string::reseal(bytes);
        status = tarn_calibrator_restore(c, bytes.data(), bytes.size());
        require(saved(c) == (status == TARN_OK ? bytes : before));
        if (status != TARN_OK) return;
        double block[80] = {};
        for (int row = 0; row < 80; row += 4) block[row] = 1.0;
        if (tarn_apply_hand(c, static_cast<tarn_hand>(in.pick(2)), block, 0, 1) == TARN_OK) {
            const double length = block[0] * block[0] + block[1] * block[1] + block[2] * block[2] + block[3] * block[3];
            require(std::fabs(length - 1.0) < 1e-8);
        }
        return;
    }
    case 8: {
        // A motion window: started now and then, frames of fuzzed times,
        // rows (a's) and trackers (b's) added, its progress, and a finish
        // or a calibration in one call; a refusal changes nothing.
        const auto hand = static_cast<tarn_hand>(enumValue);
        if (in.flag()) tarn_motion_start(c, hand, static_cast<std::size_t>(in.between(0, 4)));
        FrameArray times(in, count, 0, 1);
        const tarn_motion_frames frames{times.data(), 0, a.data(), stride, b.data(), stride};
        tarn_motion_result result;
        status = in.flag() ? tarn_motion_add(c, hand, &frames, count)
                           : tarn_calibrate_hand_from_motion(c, hand, &frames, count, &result);
        if (tarn_motion_progress(c, hand, &result) == TARN_OK) require(result.frames_used <= 4);
        require(times.unchanged());
        if (status != TARN_OK || !in.flag()) break;
        const std::vector<unsigned char> unfinished = saved(c);
        if (tarn_motion_finish(c, hand, &result) != TARN_OK) require(saved(c) == unfinished);
        break;
    }
    default: status = tarn_get_all_vr_frame(c, a.data(), count > 0 ? p1.data() : nullptr, nullptr); break;  // 4 and 3
    }
    const bool untouched = a.unchanged() && b.unchanged() && p1.unchanged() && p2.unchanged();
    if (status != TARN_OK) require(saved(c) == before && untouched);
    if (calibrating) require(untouched);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    tarn_calibrator* calibrators[2] = {nullptr, nullptr};
    for (tarn_calibrator*& c : calibrators)
        require(tarn_calibrator_create(static_cast<tarn_convention>(in.pick(4)), &c) == TARN_OK);
    for (int k = 0; k < 32 && !in.exhausted(); ++k) call(in, calibrators[in.pick(2)]);
    for (tarn_calibrator* c : calibrators) tarn_calibrator_destroy(c);
    return 0;
}
