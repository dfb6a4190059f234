// 900 frames of a forearm turning round, over and up and down at 90 frames
// a second, the glove on the tracker by a fixed mount and a heading offset,
// with a wrist that sways a little: "motion/add" adds them to a window one
// call a frame (the time is per frame); "motion/finish" solves the window.
#include "MotionBenchmarks.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "TarnCalibrator.h"
#include "attitude/Attitude.h"

namespace {

using namespace tarn;

constexpr std::size_t kFrames = 900;

struct Window {
    std::vector<double> times, rows, trackers;
};

const Window& window()
{
    static const Window w = [] {
        Window made;
        const Quaternion mount = product(aboutY(radians(70.0)), aboutZ(kPi / 2));
        for (std::size_t k = 0; k < kFrames; ++k) {
            const double t = static_cast<double>(k) / 90.0;
            const Quaternion tracker = product(aboutZ(0.6 * std::sin(1.3 * t)),
                                               product(aboutX(0.4 * std::sin(2.1 * t + 1)), aboutY(0.9 * std::sin(1.7 * t))));
            const Quaternion sway = product(aboutX(0.05 * std::sin(3.1 * t)), aboutZ(0.03 * std::sin(4.3 * t)));
            const Quaternion glove = product(aboutZ(-radians(40.0)), product(tracker, product(mount, sway)));
            made.times.push_back(t);
            made.rows.insert(made.rows.end(), glove.begin(), glove.end());
            made.trackers.insert(made.trackers.end(), tracker.begin(), tracker.end());
        }
        return made;
    }();
    return w;
}

void addFrames(benchmark::State& state)
{
    const Window& w = window();
    tarn_calibrator* c = nullptr;
    tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &c);
    for (auto _ : state) {
        state.PauseTiming();
        tarn_motion_start(c, TARN_RIGHT_HAND, kFrames);
        state.ResumeTiming();
        for (std::size_t k = 0; k < kFrames; ++k) {
            const tarn_motion_frames frame{&w.times[k], 0, &w.rows[4 * k], 0, &w.trackers[4 * k], 0};
            benchmark::DoNotOptimize(tarn_motion_add(c, TARN_RIGHT_HAND, &frame, 1));
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kFrames));
    tarn_calibrator_destroy(c);
}

void finish(benchmark::State& state)
{
    const Window& w = window();
    tarn_calibrator* c = nullptr;
    tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &c);
    const tarn_motion_frames all{w.times.data(), 0, w.rows.data(), 0, w.trackers.data(), 0};
    tarn_motion_result result;
    for (auto _ : state) {
        state.PauseTiming();
        tarn_motion_start(c, TARN_RIGHT_HAND, kFrames);
        tarn_motion_add(c, TARN_RIGHT_HAND, &all, kFrames);
        state.ResumeTiming();
        benchmark::DoNotOptimize(tarn_motion_finish(c, TARN_RIGHT_HAND, &result));
    }
    tarn_calibrator_destroy(c);
}

}  // namespace

void registerMotionBenchmarks()
{
    benchmark::RegisterBenchmark("motion/add, 900 frames one call each", addFrames)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("motion/finish, 900 frames", finish)->Unit(benchmark::kMicrosecond);
}
