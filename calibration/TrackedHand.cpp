#include "calibration/TrackedHand.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "calibration/Heading.h"
#include "calibration/Degeneracy.h"
#include "calibration/RowTransforms.h"

namespace tarn {

void TrackedHand::calibrate(SingleHandState& state, const double* source, const double* target)
{
    SingleHandState next = state;
    calibrateHand(next, hand_, source, target);
    state = std::move(next);
    calibrated_ = true;
    // The mount is the calibrated row's: the residual starts at zero.
    double world_from_glove[4];
    std::copy_n(source, 4, world_from_glove);
    turnQuaternion(world_from_glove, handOffset(state, hand_).leftProductMatrix());
    const Quaternion tracker_from_glove = gloveOnTracker(world_from_glove, target);
    monitor_.restart(&tracker_from_glove);
    mountKnown_ = false;
}

void TrackedHand::restored(bool calibrated, const KeptHand* kept)
{
    calibrated_ = calibrated;
    mountKnown_ = kept != nullptr && kept->fromMotion;
    if (mountKnown_) solved_ = kept->motion;
    if (kept != nullptr) monitor_.configure(kept->settings);
    monitor_.restart(mountKnown_ ? &solved_.mount : nullptr);
    if (kept != nullptr && kept->rateKnown) monitor_.assumeRate(kept->rate, kept->rateError);
}

KeptHand TrackedHand::kept() const
{
    KeptHand k;
    k.fromMotion = mountKnown_;
    if (mountKnown_) k.motion = solved_;
    k.settings = monitor_.settings();
    k.rateKnown = monitor_.knownRate(k.rate, k.rateError);
    return k;
}

Status TrackedHand::addMotion(Convention convention, MotionFrames frames, std::size_t count)
{
    if (!motion_.started()) return Status::InvalidArgument;
    return addFrames(motion_, convention, frames, count);
}

Status TrackedHand::addFrames(MotionWindow& window, Convention convention, MotionFrames frames, std::size_t count)
{
    double last = window.lastTime();
    for (std::size_t k = 0; k < count; ++k) {
        const double time = *frames.times.frame(k, 1);
        if (!std::isfinite(time) || time < last) return Status::InvalidArgument;
        last = time;
    }
    for (std::size_t k = 0; k < count; ++k) {
        double row[4], tracker[4];
        quaternionToLibrary(convention, frames.rows.frame(k, 4), row);
        quaternionToLibrary(convention, frames.trackers.frame(k, 4), tracker);
        window.add(*frames.times.frame(k, 1), row, tracker);
    }
    return Status::Ok;
}

Status TrackedHand::finishMotion(SingleHandState& state, MotionSummary& summary)
{
    if (!motion_.started()) return Status::InvalidArgument;
    summary = motion_.solve(hand_);
    const Status status = adopt(state, summary);
    if (status == Status::Ok) motion_.stop();
    return status;
}

Status TrackedHand::calibrateFromMotion(SingleHandState& state, Convention convention, MotionFrames frames,
                                        std::size_t count, MotionSummary& summary)
{
    MotionWindow window;
    window.start(count);
    if (addFrames(window, convention, frames, count) != Status::Ok) return Status::InvalidArgument;
    summary = window.solve(hand_);
    return adopt(state, summary);
}

Status TrackedHand::adopt(SingleHandState& state, const MotionSummary& summary)
{
    if (summary.verdict != MotionVerdict::Good) return Status::DegenerateInput;
    SingleHandState next = state;
    setHandTurn(next, hand_, summary.headingOffset);
    state = std::move(next);
    calibrated_ = true;
    mountKnown_ = true;
    solved_ = summary;
    monitor_.restart(&summary.mount);
    return Status::Ok;
}

Status TrackedHand::apply(const SingleHandState& state, Convention convention, Frames blocks, std::size_t count) const
{
    if (!calibrated_) return Status::NotCalibrated;
    for (std::size_t k = 0; k < count; ++k) {
        LibraryBlock block(convention, blocks.frame(k, kHandDoubles));
        applyHandCalibration(state, hand_, block.data());
        block.store();
    }
    return Status::Ok;
}

Status TrackedHand::applyTracked(SingleHandState& state, Convention convention, TrackedHandFrames frames,
                                 std::size_t count)
{
    if (!calibrated_) return Status::NotCalibrated;
    double last = monitor_.lastTime();
    for (std::size_t k = 0; k < count; ++k) {
        const double time = *frames.times.frame(k, 1);
        if (!std::isfinite(time) || time < last) return Status::InvalidArgument;
        last = time;
    }
    const std::size_t row = 4 * static_cast<std::size_t>(monitor_.settings().referenceRow);
    const bool recalibrating = monitor_.settings().autoRecalibrate != 0;
    const bool everyResidual = frames.residuals.data != nullptr, everyTrend = frames.trends.data != nullptr;
    for (std::size_t k = 0; k < count; ++k) {
        const double time = *frames.times.frame(k, 1);
        const bool sampled = monitor_.due(time);
        double raw[4], converted[4];
        LibraryBlock calibrated(convention, frames.blocks.frame(k, kHandDoubles));
        if (sampled && recalibrating) std::copy_n(calibrated.data() + row, 4, raw);
        applyHandCalibration(state, hand_, calibrated.data());
        calibrated.store();
        if (!sampled && !everyResidual) {
            if (everyTrend) *frames.trends.frame(k, 1) = monitor_.trendAt(time);
            continue;
        }

        const double* tracker = frames.trackers.frame(k, 4);
        if (convention != Convention::Library) {
            quaternionToLibrary(convention, tracker, converted);
            tracker = converted;
        }
        if (sampled) monitor_.sample(time, calibrated.data() + row, tracker);
        else monitor_.measure(calibrated.data() + row, tracker);
        if (everyResidual) *frames.residuals.frame(k, 1) = monitor_.frameResidual();
        if (sampled) afterSample(state, raw, tracker);
        if (everyTrend) *frames.trends.frame(k, 1) = monitor_.trendAt(time);
    }
    if (count > 0) monitor_.passed(last, count);
    return Status::Ok;
}

void TrackedHand::afterSample(SingleHandState& state, const double* row, const double* tracker)
{
    if (monitor_.recalibrationWanted(!mountKnown_)) {
        if (mountKnown_) {
            // The mount is known: the trend residual is the drift, and
            // turning it out needs no still, straight frame.
            const double trend = monitor_.trendResidual();
            turnHandCalibration(state, hand_, -trend);
            monitor_.corrected(DriftEventKind::Recalibration, trend);
        } else {
            recalibrate(state, row, tracker);
        }
        return;
    }
    const double turn = monitor_.compensationTurn();
    if (turn == 0.0) return;
    turnHandCalibration(state, hand_, -turn);
    monitor_.corrected(DriftEventKind::Compensation, turn);
}

// From this frame's glove row and tracker, as the host would calibrate; not
// from a frame no heading can be taken from, nor from one whose calibration
// would leave the trend residual beyond half the threshold (the hand held
// bent or tilted against its tracker): a better frame comes.
void TrackedHand::recalibrate(SingleHandState& state, const double* row, const double* tracker)
{
    if (headingDegeneracy(row) != Degeneracy::None || headingDegeneracy(tracker) != Degeneracy::None) return;
    SingleHandState next = state;
    calibrateHand(next, hand_, row, tracker);
    // Rows turn by conj(offset): by minus the offset's heading. The turn
    // counts as the full turns nearest the trend residual.
    const double turn = wrapAngle(headingAngle(handOffset(next, hand_).quaternion()) -
                                  headingAngle(handOffset(state, hand_).quaternion()));
    const double trend = monitor_.trendResidual();
    const double left = wrapAngle(trend - turn);
    if (!(std::fabs(left) <= monitor_.settings().threshold / 2)) return;
    state = std::move(next);
    monitor_.corrected(DriftEventKind::Recalibration, trend - left);
}

}  // namespace tarn
