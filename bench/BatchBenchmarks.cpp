// 100,000 recorded frames (both hands and the three devices), calibrated
// once, then converted in place: "single/..." calls an export per frame and
// device, as a host of the 16 exports does; "batch/..." hands the whole
// session to the integrator API, one call per hand and device, reading the
// frames through their stride in the host's array of frame records;
// "drift/..." converts the same hand frames through the hand's drift
// monitor (90 frames a second), against "batch/..." without it; and the
// same for a few frames in packed arrays, which stay in the cache;
// "frames/..." converts every part of each record in one call
// (tarn_apply_frames).
#include "BatchBenchmarks.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "Measure.h"
#include "Samples.h"
#include "TarnCalibrator.h"
#include "TarnHandCalibrationSDK.h"

namespace {

using namespace samples;

constexpr std::size_t kFrames = 100000;

std::vector<Frame>& session()
{
    static std::vector<Frame> frames(kFrames, frame());
    return frames;
}

tarn_calibrator* calibrator()
{
    static tarn_calibrator* c = [] {
        tarn_calibrator* made = nullptr;
        tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &made);
        tarn_calibrate_hand(made, TARN_RIGHT_HAND, kHandSource, kHandTarget, nullptr);
        tarn_calibrate_hand(made, TARN_LEFT_HAND, kHandSource, kHandTarget, nullptr);
        tarn_all_vr_input in{1, 1, 1, 0, {}, {}, {}, {}, {}, {}};
        for (int k = 0; k < 3; ++k) {
            in.right_position[k] = kRightTrackerPosition[k];
            in.left_position[k] = kLeftTrackerPosition[k];
            in.headset_position[k] = kHeadsetPosition[k];
        }
        for (int k = 0; k < 4; ++k) {
            in.right_orientation[k] = kRightTrackerQuaternion[k];
            in.left_orientation[k] = kLeftTrackerQuaternion[k];
            in.headset_orientation[k] = kHeadsetQuaternion[k];
        }
        tarn_calibrate_all_vr(made, &in, nullptr);
        return made;
    }();
    return c;
}

void singleHand(benchmark::State& state)
{
    InitialRHand(kHandSource, kHandTarget);
    measurePerCall(state, [] {
        for (Frame& f : session()) GetCalculationDataRHand(f.hand1);
    });
}

void batchHand(benchmark::State& state)
{
    measurePerCall(state, [] { tarn_apply_hand(calibrator(), TARN_RIGHT_HAND, session()[0].hand1, sizeof(Frame), kFrames); });
}

// A host's packed arrays of one hand's blocks and its tracker's
// orientations, few enough frames to stay in the cache: the per-frame cost
// of the conversion itself rather than of memory.
constexpr std::size_t kCachedFrames = 256;

// One field of the first kCachedFrames records, packed.
template <std::size_t N>
std::vector<double> packed(double (Frame::*field)[N])
{
    std::vector<double> values(N * kCachedFrames);
    for (std::size_t k = 0; k < kCachedFrames; ++k) std::copy_n(session()[k].*field, N, values.data() + N * k);
    return values;
}

std::vector<double>& packedHands()
{
    static std::vector<double> blocks = packed(&Frame::hand1);
    return blocks;
}

std::vector<double>& packedTrackers()
{
    static std::vector<double> trackers = packed(&Frame::rightQuaternion);
    return trackers;
}

void batchPackedHand(benchmark::State& state)
{
    measurePerCall(state, [] { tarn_apply_hand(calibrator(), TARN_RIGHT_HAND, packedHands().data(), 0, kCachedFrames); });
}

// The hand through its drift monitor, frames at 90 a second with the right
// tracker as the wrist's. Times may not go back, so each pass moves them on
// by its own length (one store and addition a frame, within the timing).
void trackedHand(benchmark::State& state, double* blocks, std::size_t blockStride, const double* trackers,
                 std::size_t trackerStride, std::size_t count)
{
    std::vector<double> times(count);
    for (std::size_t k = 0; k < count; ++k) times[k] = static_cast<double>(k) / 90.0;
    tarn_calibrator* c = calibrator();
    tarn_calibrate_hand(c, TARN_RIGHT_HAND, kHandSource, kHandTarget, nullptr);
    const tarn_tracked_hand_frames frames{times.data(), 0, blocks, blockStride, trackers, trackerStride, nullptr, 0};
    const double pass = static_cast<double>(count) / 90.0;
    measurePerCall(state, [&] {
        if (tarn_apply_hand_tracked(c, TARN_RIGHT_HAND, &frames, count) != TARN_OK) state.SkipWithError("refused");
        for (double& t : times) t += pass;
    });
}

void driftHand(benchmark::State& state)
{
    trackedHand(state, session()[0].hand1, sizeof(Frame), session()[0].rightQuaternion, sizeof(Frame), kFrames);
}

void driftPackedHand(benchmark::State& state)
{
    trackedHand(state, packedHands().data(), 0, packedTrackers().data(), 0, kCachedFrames);
}

void singleSession(benchmark::State& state)
{
    InitialRHand(kHandSource, kHandTarget);
    InitialLHand(kHandSource, kHandTarget);
    InitialAllVRCalibration(true, kRightTrackerPosition, kRightTrackerPosition2, kRightTrackerQuaternion,
                            kRightTrackerQuaternion2, true, kLeftTrackerPosition, kLeftTrackerPosition2,
                            kLeftTrackerQuaternion, nullptr, true, kHeadsetPosition, kHeadsetQuaternion);
    measurePerCall(state, [] {
        for (Frame& f : session()) {
            GetCalculationDataRHand(f.hand1);
            GetCalculationDataLHand(f.hand2);
            GetAllRTracker(f.rightPosition, f.rightQuaternion);
            GetAllLTracker(f.leftPosition, f.leftQuaternion);
            GetAllVRGlasses(f.headsetPosition, f.headsetQuaternion);
        }
    });
}

// One call per hand and device over the whole session. Converting one
// field of every record at a time is slower than the single calls, which
// finish each record before the next (see docs/performance.md).
void batchSession(benchmark::State& state)
{
    measurePerCall(state, [] {
        Frame& f = session()[0];
        tarn_calibrator* c = calibrator();
        tarn_apply_hand(c, TARN_RIGHT_HAND, f.hand1, sizeof(Frame), kFrames);
        tarn_apply_hand(c, TARN_LEFT_HAND, f.hand2, sizeof(Frame), kFrames);
        tarn_apply_device(c, TARN_RIGHT_TRACKER, f.rightPosition, sizeof(Frame), f.rightQuaternion, sizeof(Frame), kFrames);
        tarn_apply_device(c, TARN_LEFT_TRACKER, f.leftPosition, sizeof(Frame), f.leftQuaternion, sizeof(Frame), kFrames);
        tarn_apply_device(c, TARN_HEADSET, f.headsetPosition, sizeof(Frame), f.headsetQuaternion, sizeof(Frame), kFrames);
    });
}

// The whole session in one call, each record finished before the next.
void framesSession(benchmark::State& state)
{
    constexpr std::size_t absent = TARN_ABSENT;
    const tarn_frame_layout layout{offsetof(Frame, hand1),
                                   offsetof(Frame, hand2),
                                   {offsetof(Frame, rightPosition), offsetof(Frame, leftPosition), offsetof(Frame, headsetPosition)},
                                   {offsetof(Frame, rightQuaternion), offsetof(Frame, leftQuaternion),
                                    offsetof(Frame, headsetQuaternion)}};
    static_assert(absent == static_cast<std::size_t>(-1), "absent parts");
    measurePerCall(state, [&] {
        if (tarn_apply_frames(calibrator(), &layout, session().data(), sizeof(Frame), kFrames) != TARN_OK)
            state.SkipWithError("refused");
    });
}

}  // namespace

void registerBatchBenchmarks()
{
    benchmark::RegisterBenchmark("single/100000 right-hand frames", singleHand)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("batch/100000 right-hand frames", batchHand)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("drift/100000 right-hand frames", driftHand)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("batch/256 packed right-hand frames", batchPackedHand)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("drift/256 packed right-hand frames", driftPackedHand)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("single/100000 frames, both hands and three devices", singleSession)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("batch/100000 frames, both hands and three devices", batchSession)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("frames/100000 frames, both hands and three devices", framesSession)
        ->Unit(benchmark::kMillisecond);
}
