// Every export through the shared library, as a host calls it. Each Get
// export runs on one frame in place, call after call, after its calibration,
// next to an Eigen baseline doing the same math on its own copy of the
// frame; the baseline is first checked to produce the library's results.
#include "ExportBenchmarks.h"

#include <benchmark/benchmark.h>

#include <string>

#include "EigenBaseline.h"
#include "Measure.h"
#include "Samples.h"
#include "TarnHandCalibrationSDK.h"

namespace {

using namespace samples;
namespace eb = eigen_baseline;

bool gBaselineDisagreed = false;

void calibrateHands()
{
    InitialRHand(kHandSource, kHandTarget);
    InitialLHand(kHandSource, kHandTarget);
}

void calibrateDoubleHand() { InitialDoubleCalibration(kPosition1, kPosition2); }

void calibrateAllVR()
{
    InitialAllVRCalibration(true, kRightTrackerPosition, kRightTrackerPosition2, kRightTrackerQuaternion,
                            kRightTrackerQuaternion2, true, kLeftTrackerPosition, kLeftTrackerPosition2,
                            kLeftTrackerQuaternion, nullptr, true, kHeadsetPosition, kHeadsetQuaternion);
}

// The Eigen calibrations matching the library's sample calibrations.
struct Baselines {
    eb::Rotation rightHand = eb::handOffset(eb::Hand::Right, kHandSource, kHandTarget);
    eb::Rotation leftHand = eb::handOffset(eb::Hand::Left, kHandSource, kHandTarget);
    eb::DoubleHandFrame doubleHand = eb::doubleHandFrame(kPosition1, kPosition2);
    eb::AllVRFrame allVR = eb::allVRFrameFromTrackers(kRightTrackerPosition, kRightTrackerQuaternion,
                                                      kLeftTrackerPosition, kLeftTrackerQuaternion,
                                                      kHeadsetQuaternion);
};

const Baselines& baselines()
{
    static const Baselines instance;
    return instance;
}

struct GetExport {
    const char* name;
    void (*calibrate)();
    void (*library)(Frame&);
    void (*baseline)(Frame&);
};

const GetExport kGetExports[] = {
    {"GetCalculationDataRHand", calibrateHands, [](Frame& f) { GetCalculationDataRHand(f.hand1); },
     [](Frame& f) { eb::applyHandOffset(baselines().rightHand, f.hand1); }},
    {"GetCalculationDataLHand", calibrateHands, [](Frame& f) { GetCalculationDataLHand(f.hand1); },
     [](Frame& f) { eb::applyHandOffset(baselines().leftHand, f.hand1); }},
    {"GetDoubleHandCalibrationData", calibrateDoubleHand,
     [](Frame& f) { GetDoubleHandCalibrationData(f.hand1, f.hand2, f.position1, f.position2); },
     [](Frame& f) { eb::applyDoubleHandFrame(baselines().doubleHand, f.hand1, f.hand2, f.position1, f.position2); }},
    {"GetAllRTracker", calibrateAllVR, [](Frame& f) { GetAllRTracker(f.rightPosition, f.rightQuaternion); },
     [](Frame& f) {
         const eb::AllVRFrame& vr = baselines().allVR;
         eb::convertPose(vr, vr.rightTrackerHeading, f.rightPosition, f.rightQuaternion);
     }},
    {"GetAllLTracker", calibrateAllVR, [](Frame& f) { GetAllLTracker(f.leftPosition, f.leftQuaternion); },
     [](Frame& f) {
         const eb::AllVRFrame& vr = baselines().allVR;
         eb::convertPose(vr, vr.leftTrackerHeading, f.leftPosition, f.leftQuaternion);
     }},
    {"GetAllVRGlasses", calibrateAllVR, [](Frame& f) { GetAllVRGlasses(f.headsetPosition, f.headsetQuaternion); },
     [](Frame& f) {
         const eb::AllVRFrame& vr = baselines().allVR;
         eb::convertPose(vr, vr.headsetHeading, f.headsetPosition, f.headsetQuaternion);
     }},
    {"GetAllVRCalibrationData", calibrateAllVR,
     [](Frame& f) {
         GetAllVRCalibrationData(f.rightPosition, f.rightQuaternion, nullptr, f.leftPosition, f.leftQuaternion,
                                 nullptr, f.headsetPosition, f.headsetQuaternion);
     },
     [](Frame& f) {
         const eb::AllVRFrame& vr = baselines().allVR;
         eb::convertPose(vr, vr.rightTrackerHeading, f.rightPosition, f.rightQuaternion);
         eb::convertPose(vr, vr.leftTrackerHeading, f.leftPosition, f.leftQuaternion);
         eb::convertPose(vr, vr.headsetHeading, f.headsetPosition, f.headsetQuaternion);
     }},
};

void benchmarkLibrary(benchmark::State& state, const GetExport& get)
{
    get.calibrate();
    Frame f = frame();
    measurePerCall(state, [&] { get.library(f); });
}

void benchmarkBaseline(benchmark::State& state, const GetExport& get)
{
    get.calibrate();
    Frame expected = frame();
    Frame f = frame();
    get.library(expected);
    get.baseline(f);
    if (!agree(expected, f)) {
        gBaselineDisagreed = true;
        state.SkipWithError("the Eigen baseline does not compute what the export computes");
        return;
    }
    measurePerCall(state, [&] { get.baseline(f); });
}

struct InitialExport {
    const char* name;
    void (*call)();
};

const InitialExport kInitialExports[] = {
    {"InitialRHand", [] { InitialRHand(kHandSource, kHandTarget); }},
    {"InitialLHand", [] { InitialLHand(kHandSource, kHandTarget); }},
    {"InitialDoubleCalibration", calibrateDoubleHand},
    {"InitialAllVRCalibration", calibrateAllVR},
    {"InitialAllVRCalibrationV2",
     [] {
         InitialAllVRCalibrationV2(true, kRightTrackerPosition, kRightTrackerPosition2, kRightTrackerQuaternion,
                                   kRightTrackerQuaternion2, true, kLeftTrackerPosition, kLeftTrackerPosition2,
                                   kLeftTrackerQuaternion, nullptr, true, kHeadsetPosition, kHeadsetQuaternion,
                                   true);
     }},
};

}  // namespace

void registerExportBenchmarks()
{
    for (const GetExport& get : kGetExports) {
        benchmark::RegisterBenchmark((std::string("export/") + get.name).c_str(),
                                     [&get](benchmark::State& state) { benchmarkLibrary(state, get); });
        benchmark::RegisterBenchmark((std::string("eigen/") + get.name).c_str(),
                                     [&get](benchmark::State& state) { benchmarkBaseline(state, get); });
    }
    for (const InitialExport& initial : kInitialExports) {
        benchmark::RegisterBenchmark((std::string("export/") + initial.name).c_str(),
                                     [&initial](benchmark::State& state) { measurePerCall(state, initial.call); });
    }
}

bool baselinesAgreed() { return !gBaselineDisagreed; }
