// The integrator API's drift functions: the C types of the drift monitor
// and the functions over it (include/TarnCalibrator.h, "Drift").
#include "TarnCalibrator.h"
#include "api/CalibratorHandle.h"

using namespace tarn;
using namespace tarn::api;

namespace {

static_assert(static_cast<int>(DriftEventKind::Compensation) == TARN_DRIFT_COMPENSATION, "event kinds");
static_assert(DriftEvents::kKept == TARN_DRIFT_KEPT_EVENTS, "events kept");

// The settings as given; validDriftSettings says whether they are valid.
DriftSettings fromC(const tarn_drift_settings& in)
{
    DriftSettings s;
    s.referenceRow = in.reference_row >= DriftSettings::kRows ? -1 : static_cast<int>(in.reference_row);
    s.threshold = in.threshold;
    s.holdTime = in.hold_time;
    s.stillSpeed = in.still_speed;
    s.stillTime = in.still_time;
    s.window = in.window;
    s.autoRecalibrate = in.auto_recalibrate;
    s.compensate = in.compensate;
    s.compensateWithin = in.compensate_within;
    return s;
}

tarn_drift_settings toC(const DriftSettings& s)
{
    return {static_cast<unsigned>(s.referenceRow), s.threshold, s.holdTime, s.stillSpeed, s.stillTime, s.window,
            static_cast<unsigned char>(s.autoRecalibrate), static_cast<unsigned char>(s.compensate), s.compensateWithin};
}

}  // namespace

extern "C" {

TARN_CALIBRATOR_API tarn_status tarn_drift_default_settings(tarn_drift_settings* settings)
{
    if (settings == nullptr) return TARN_INVALID_ARGUMENT;
    *settings = toC(DriftSettings());
    return TARN_OK;
}

TARN_CALIBRATOR_API const char* tarn_drift_settings_problem(const tarn_drift_settings* settings)
{
    if (settings == nullptr) return "settings: NULL";
    switch (outOfRange(fromC(*settings))) {
    case DriftSetting::None: return nullptr;
    case DriftSetting::ReferenceRow: return "reference_row: a glove row, 0 to 19";
    case DriftSetting::Threshold: return "threshold: radians, above 0 and at most a quarter turn (90 degrees)";
    case DriftSetting::HoldTime: return "hold_time: seconds, 0 to 3600";
    case DriftSetting::StillSpeed: return "still_speed: radians a second, above 0 and at most 4 pi (720 degrees a second)";
    case DriftSetting::StillTime: return "still_time: seconds, 0 to 3600";
    case DriftSetting::Window: return "window: seconds, 30 to 3600";
    case DriftSetting::AutoRecalibrate: return "auto_recalibrate: 0 or 1";
    case DriftSetting::Compensate: return "compensate: 0 or 1";
    case DriftSetting::CompensateWithin: return "compensate_within: radians, above 0 and finite";
    }
    return "unknown";
}

TARN_CALIBRATOR_API tarn_status tarn_set_drift_settings(tarn_calibrator* calibrator, tarn_hand hand,
                                                        const tarn_drift_settings* settings)
{
    if (calibrator == nullptr || !isHand(hand) || settings == nullptr) return TARN_INVALID_ARGUMENT;
    const DriftSettings s = fromC(*settings);
    if (!validDriftSettings(s)) return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        calibrator->engine.drift(handOf(hand)).configure(s);
        return Status::Ok;
    });
}

TARN_CALIBRATOR_API tarn_status tarn_get_drift_settings(const tarn_calibrator* calibrator, tarn_hand hand,
                                                        tarn_drift_settings* settings)
{
    if (calibrator == nullptr || !isHand(hand) || settings == nullptr) return TARN_INVALID_ARGUMENT;
    *settings = toC(calibrator->engine.drift(handOf(hand)).settings());
    return TARN_OK;
}

TARN_CALIBRATOR_API tarn_status tarn_apply_hand_tracked(tarn_calibrator* calibrator, tarn_hand hand,
                                                        const tarn_tracked_hand_frames* frames, size_t count)
{
    return tarn_apply_hand_tracked_trends(calibrator, hand, frames, nullptr, 0, count);
}

TARN_CALIBRATOR_API tarn_status tarn_apply_hand_tracked_trends(tarn_calibrator* calibrator, tarn_hand hand,
                                                               const tarn_tracked_hand_frames* frames, double* trends,
                                                               size_t trend_stride, size_t count)
{
    if (calibrator == nullptr || !isHand(hand) || frames == nullptr) return TARN_INVALID_ARGUMENT;
    const tarn_tracked_hand_frames& f = *frames;
    if (!validFrames(f.times, f.time_stride, 1, count) || !validFrames(f.blocks, f.block_stride, 80, count) ||
        !validFrames(f.trackers, f.tracker_stride, 4, count) || !validLayout(f.residuals, f.residual_stride, 1, count) ||
        !validLayout(trends, trend_stride, 1, count))
        return TARN_INVALID_ARGUMENT;
    // The engine reads times and trackers through the same frame records
    // it writes blocks through; it never writes them.
    const TrackedHandFrames tracked{{const_cast<double*>(f.times), f.time_stride},
                                    {f.blocks, f.block_stride},
                                    {const_cast<double*>(f.trackers), f.tracker_stride},
                                    {f.residuals, f.residual_stride},
                                    {trends, trend_stride}};
    return statusOf([&] { return calibrator->engine.applyHandTracked(handOf(hand), tracked, count); });
}

TARN_CALIBRATOR_API tarn_status tarn_get_drift(const tarn_calibrator* calibrator, tarn_hand hand,
                                               tarn_drift_report* report)
{
    if (calibrator == nullptr || !isHand(hand) || report == nullptr) return TARN_INVALID_ARGUMENT;
    if (!calibrator->engine.handCalibrated(handOf(hand))) return TARN_NOT_CALIBRATED;
    const DriftReport r = calibrator->engine.drift(handOf(hand)).report();
    *report = {r.time,
               r.residual,
               r.trendResidual,
               r.rate,
               r.rateUncertainty,
               r.fitSpan,
               r.largestResidual,
               r.largestResidualTime,
               r.firstFlagTime,
               r.correction,
               r.stillSince,
               static_cast<unsigned char>(r.flag),
               static_cast<unsigned char>(r.still),
               static_cast<unsigned char>(r.compensating),
               r.frames};
    return TARN_OK;
}

TARN_CALIBRATOR_API tarn_status tarn_take_drift_events(tarn_calibrator* calibrator, tarn_hand hand,
                                                       tarn_drift_event* events, size_t capacity, size_t* count)
{
    if (calibrator == nullptr || !isHand(hand) || count == nullptr || (events == nullptr && capacity > 0))
        return TARN_INVALID_ARGUMENT;
    DriftEvent taken[DriftEvents::kKept];
    const std::size_t n = calibrator->engine.drift(handOf(hand)).takeEvents(
        taken, capacity < DriftEvents::kKept ? capacity : DriftEvents::kKept);
    for (std::size_t k = 0; k < n; ++k)
        events[k] = {static_cast<tarn_drift_event_kind>(taken[k].kind), taken[k].time, taken[k].residualBefore,
                     taken[k].residualAfter};
    *count = n;
    return TARN_OK;
}

}  // extern "C"
