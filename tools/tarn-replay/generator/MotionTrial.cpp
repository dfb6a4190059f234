#include "MotionTrial.h"

#include <cmath>
#include <limits>
#include <vector>

namespace replay {

MotionTrial runMotionTrial(const WearTruth& truth, double seconds)
{
    WearSession session(truth);
    const auto frames = static_cast<std::size_t>(seconds * truth.frameRate) + 1;
    std::vector<double> times(frames), rows(4 * frames), trackers(4 * frames);
    for (std::size_t k = 0; k < frames; ++k) {
        const WearFrame f = session.next();
        times[k] = f.time;
        for (std::size_t c = 0; c < 4; ++c) {
            rows[4 * k + c] = f.glove[c];
            trackers[4 * k + c] = f.tracker[c];
        }
    }
    const tarn_hand hand = truth.hand == Side::Right ? TARN_RIGHT_HAND : TARN_LEFT_HAND;
    tarn_calibrator* calibrator = nullptr;
    tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &calibrator);
    MotionTrial trial{};
    const tarn_motion_frames window{times.data(), 0, rows.data(), 0, trackers.data(), 0};
    trial.status = tarn_calibrate_hand_from_motion(calibrator, hand, &window, frames, &trial.result);
    trial.headingError = wrapAngle(trial.result.heading_offset - session.headingOffset());
    const Quaternion mount{trial.result.mount[0], trial.result.mount[1], trial.result.mount[2], trial.result.mount[3]};
    trial.mountError = tarn::angleOf(product(conjugate(session.mount()), mount));
    // The truth's strap turn, measured as the result measures it.
    const Quaternion nominal = aboutZ(truth.hand == Side::Right ? kPi / 2 : -kPi / 2);
    const Quaternion off = product(nominal, conjugate(session.mount()));
    trial.strapTurnError = wrapAngle(trial.result.strap_turn - 2 * std::atan2(off[2], off[0]));

    // The snapshot: the first frame with both orientations.
    trial.snapshotError = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t k = 0; k < frames; ++k) {
        if (std::isnan(rows[4 * k]) || std::isnan(trackers[4 * k])) continue;
        tarn_calibrator* snapshot = nullptr;
        tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &snapshot);
        double rotation[4];
        if (tarn_calibrate_hand(snapshot, hand, &rows[4 * k], &trackers[4 * k], nullptr) == TARN_OK &&
            tarn_get_hand_rotation(snapshot, hand, rotation) == TARN_OK)
            trial.snapshotError = wrapAngle(2 * std::atan2(rotation[3], rotation[0]) - session.headingOffset());
        tarn_calibrator_destroy(snapshot);
        break;
    }
    tarn_calibrator_destroy(calibrator);
    return trial;
}

}  // namespace replay
