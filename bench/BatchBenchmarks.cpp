// 100,000 recorded frames (both hands and the three devices), calibrated
// once, then converted in place: "single/..." calls an export per frame and
// device, as a host of the 16 exports does; "batch/..." hands the whole
// session to the integrator API, one call per hand and device, reading the
// frames through their stride in the host's array of frame records.
#include "BatchBenchmarks.h"

#include <benchmark/benchmark.h>

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

}  // namespace

void registerBatchBenchmarks()
{
    benchmark::RegisterBenchmark("single/100000 right-hand frames", singleHand)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("batch/100000 right-hand frames", batchHand)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("single/100000 frames, both hands and three devices", singleSession)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("batch/100000 frames, both hands and three devices", batchSession)
        ->Unit(benchmark::kMillisecond);
}
