// The integrator API's motion calibration: the C types of a window, its
// frames and its result, over TrackedHand's motion window
// (include/TarnCalibrator.h, "Calibrating a hand from motion").
#include <cmath>

#include "TarnCalibrator.h"
#include "api/CalibratorHandle.h"

using namespace tarn;
using namespace tarn::api;

namespace {

static_assert(static_cast<int>(MotionVerdict::HandMoved) == TARN_MOTION_HAND_MOVED, "verdict values");

// Frames given by the host, checked for their layout.
bool validMotionFrames(const tarn_motion_frames& f, std::size_t count)
{
    return validFrames(f.times, f.time_stride, 1, count) && validFrames(f.rows, f.row_stride, 4, count) &&
           validFrames(f.trackers, f.tracker_stride, 4, count);
}

MotionFrames engineFrames(const tarn_motion_frames& f)
{
    // The engine only reads these arrays.
    return {{const_cast<double*>(f.times), f.time_stride},
            {const_cast<double*>(f.rows), f.row_stride},
            {const_cast<double*>(f.trackers), f.tracker_stride}};
}

void copyResult(const Calibrator& engine, const MotionSummary& s, tarn_motion_result* out)
{
    if (out == nullptr) return;
    out->verdict = static_cast<tarn_motion_verdict>(s.verdict);
    out->heading_offset = s.headingOffset;
    out->heading_uncertainty = s.headingUncertainty;
    if (std::isnan(s.mount[0])) {
        for (double& m : out->mount) m = s.mount[0];
    } else {
        engine.mountToHost(s.mount, out->mount);
    }
    out->strap_turn = s.strapTurn;
    out->strap_tilt = s.strapTilt;
    out->residual_spread = s.residualSpread;
    out->turning_round = s.turningRound;
    out->turning_over = s.turningOver;
    out->duration = s.duration;
    out->frames_used = s.framesUsed;
    out->frames_skipped = s.framesSkipped;
}

}  // namespace

extern "C" {

TARN_CALIBRATOR_API const char* tarn_motion_verdict_string(tarn_motion_verdict verdict)
{
    switch (verdict) {
    case TARN_MOTION_GOOD: return "good";
    case TARN_MOTION_TOO_FEW_FRAMES: return "too few valid frames: keep the glove and the tracker in view";
    case TARN_MOTION_TOO_SHORT: return "too short: keep moving for a few seconds";
    case TARN_MOTION_TURN_OVER: return "turn your forearm over as well as round";
    case TARN_MOTION_HAND_MOVED: return "the hand moved against the tracker: keep the wrist loose but still";
    }
    return "unknown";
}

TARN_CALIBRATOR_API tarn_status tarn_motion_start(tarn_calibrator* calibrator, tarn_hand hand, size_t capacity)
{
    if (calibrator == nullptr || !isHand(hand) || capacity == 0) return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        calibrator->engine.startMotion(handOf(hand), capacity);
        return Status::Ok;
    });
}

TARN_CALIBRATOR_API tarn_status tarn_motion_add(tarn_calibrator* calibrator, tarn_hand hand,
                                                const tarn_motion_frames* frames, size_t count)
{
    if (calibrator == nullptr || !isHand(hand) || frames == nullptr || !validMotionFrames(*frames, count))
        return TARN_INVALID_ARGUMENT;
    return statusOf([&] { return calibrator->engine.addMotion(handOf(hand), engineFrames(*frames), count); });
}

TARN_CALIBRATOR_API tarn_status tarn_motion_progress(const tarn_calibrator* calibrator, tarn_hand hand,
                                                     tarn_motion_result* result)
{
    if (calibrator == nullptr || !isHand(hand) || result == nullptr) return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        MotionSummary summary;
        const Status status = calibrator->engine.motionProgress(handOf(hand), summary);
        if (status == Status::Ok) copyResult(calibrator->engine, summary, result);
        return status;
    });
}

TARN_CALIBRATOR_API tarn_status tarn_motion_finish(tarn_calibrator* calibrator, tarn_hand hand,
                                                   tarn_motion_result* result)
{
    if (calibrator == nullptr || !isHand(hand) || result == nullptr) return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        MotionSummary summary;
        const Status status = calibrator->engine.finishMotion(handOf(hand), summary);
        if (status != Status::InvalidArgument) copyResult(calibrator->engine, summary, result);
        return status;
    });
}

TARN_CALIBRATOR_API tarn_status tarn_calibrate_hand_from_motion(tarn_calibrator* calibrator, tarn_hand hand,
                                                                const tarn_motion_frames* frames, size_t count,
                                                                tarn_motion_result* result)
{
    if (calibrator == nullptr || !isHand(hand) || frames == nullptr || result == nullptr ||
        !validMotionFrames(*frames, count))
        return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        MotionSummary summary;
        const Status status = calibrator->engine.calibrateFromMotion(handOf(hand), engineFrames(*frames), count, summary);
        if (status != Status::InvalidArgument) copyResult(calibrator->engine, summary, result);
        return status;
    });
}

TARN_CALIBRATOR_API tarn_status tarn_get_motion_calibration(const tarn_calibrator* calibrator, tarn_hand hand,
                                                             tarn_motion_result* result)
{
    if (calibrator == nullptr || !isHand(hand) || result == nullptr) return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        const MotionSummary* summary = calibrator->engine.motionCalibration(handOf(hand));
        if (summary == nullptr) return Status::NotCalibrated;
        copyResult(calibrator->engine, *summary, result);
        return Status::Ok;
    });
}

}  // extern "C"
