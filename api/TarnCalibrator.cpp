// The integrator API: a C layer over tarn::Calibrator. It checks pointers,
// counts, strides and enum values, translates between the C types and the
// engine's, and keeps every C++ exception and every error line of the
// engine on this side of the boundary.
#include "TarnCalibrator.h"

#include <array>
#include <initializer_list>
#include <utility>

#include "api/CalibratorHandle.h"
#include "calibration/SavedCalibration.h"

using namespace tarn;
using namespace tarn::api;

namespace {

// The engine's enums cross as their values: each value is the header's.
template <class Engine, class C>
constexpr bool sameValues(std::initializer_list<std::pair<Engine, C>> pairs)
{
    for (const std::pair<Engine, C>& pair : pairs)
        if (static_cast<int>(pair.first) != static_cast<int>(pair.second)) return false;
    return true;
}
static_assert(sameValues<Status, tarn_status>({{Status::Ok, TARN_OK},
                                               {Status::InvalidArgument, TARN_INVALID_ARGUMENT},
                                               {Status::DegenerateInput, TARN_DEGENERATE_INPUT},
                                               {Status::NotCalibrated, TARN_NOT_CALIBRATED},
                                               {Status::BufferTooSmall, TARN_BUFFER_TOO_SMALL},
                                               {Status::InvalidSavedState, TARN_INVALID_SAVED_STATE},
                                               {Status::OutOfMemory, TARN_OUT_OF_MEMORY}}),
              "status values");
static_assert(sameValues<Degeneracy, tarn_degeneracy>({{Degeneracy::None, TARN_DEGENERACY_NONE},
                                                       {Degeneracy::ZeroQuaternion, TARN_DEGENERACY_ZERO_QUATERNION},
                                                       {Degeneracy::NearVertical, TARN_DEGENERACY_NEAR_VERTICAL},
                                                       {Degeneracy::HandsTooClose, TARN_DEGENERACY_HANDS_TOO_CLOSE},
                                                       {Degeneracy::NoDevice, TARN_DEGENERACY_NO_DEVICE}}),
              "degeneracy values");
static_assert(sameValues<Input, tarn_input>({{Input::None, TARN_INPUT_NONE},
                                             {Input::Source, TARN_INPUT_SOURCE},
                                             {Input::Target, TARN_INPUT_TARGET},
                                             {Input::Positions, TARN_INPUT_POSITIONS},
                                             {Input::RightTracker, TARN_INPUT_RIGHT_TRACKER},
                                             {Input::LeftTracker, TARN_INPUT_LEFT_TRACKER},
                                             {Input::Headset, TARN_INPUT_HEADSET}}),
              "input values");
static_assert(static_cast<int>(Convention::Unreal) == TARN_CONVENTION_UNREAL, "convention values");
static_assert(static_cast<int>(VRDevice::Headset) == TARN_HEADSET, "device values");
static_assert(kLargestQuaternionComponent == TARN_LARGEST_QUATERNION_COMPONENT, "quaternion range");
static_assert(kLargestPosition == TARN_LARGEST_POSITION, "position range");

void copyQuality(const Quality& q, tarn_quality* out)
{
    if (out == nullptr) return;
    out->degeneracy = static_cast<tarn_degeneracy>(q.degeneracy);
    out->degenerate_input = static_cast<tarn_input>(q.degenerateInput);
    out->source_tilt = q.sourceTilt;
    out->target_tilt = q.targetTilt;
    out->separation = q.separation;
    out->tracker_line_heading = q.trackerLineHeading;
    out->right_forward_heading = q.rightForwardHeading;
    out->left_forward_heading = q.leftForwardHeading;
    out->headset_heading = q.headsetHeading;
    out->largest_disagreement = q.largestDisagreement;
    const tarn_input deciders[] = {TARN_INPUT_NONE, TARN_INPUT_POSITIONS, TARN_INPUT_RIGHT_TRACKER,
                                   TARN_INPUT_LEFT_TRACKER, TARN_INPUT_HEADSET};
    out->frame_decided_by = deciders[static_cast<int>(q.frameDecidedBy)];
}

// A calibrate call: fills the optional quality record whatever the status.
template <class Body>
tarn_status calibrating(tarn_quality* quality, Body body) noexcept
{
    Quality q;
    const tarn_status status = statusOf([&] { return body(q); });
    copyQuality(q, quality);
    return status;
}

}  // namespace

extern "C" {

TARN_CALIBRATOR_API unsigned tarn_version(void) { return TARN_CALIBRATOR_VERSION_NUMBER; }

TARN_CALIBRATOR_API const char* tarn_status_string(tarn_status status)
{
    switch (status) {
    case TARN_OK: return "TARN_OK";
    case TARN_INVALID_ARGUMENT: return "TARN_INVALID_ARGUMENT";
    case TARN_DEGENERATE_INPUT: return "TARN_DEGENERATE_INPUT";
    case TARN_NOT_CALIBRATED: return "TARN_NOT_CALIBRATED";
    case TARN_BUFFER_TOO_SMALL: return "TARN_BUFFER_TOO_SMALL";
    case TARN_INVALID_SAVED_STATE: return "TARN_INVALID_SAVED_STATE";
    case TARN_OUT_OF_MEMORY: return "TARN_OUT_OF_MEMORY";
    }
    return "unknown";
}

TARN_CALIBRATOR_API const char* tarn_degeneracy_string(tarn_degeneracy degeneracy)
{
    switch (degeneracy) {
    case TARN_DEGENERACY_NONE: return "none";
    case TARN_DEGENERACY_ZERO_QUATERNION: return "zero quaternion";
    case TARN_DEGENERACY_NEAR_VERTICAL: return "near vertical: rolled onto its side (heading undefined)";
    case TARN_DEGENERACY_HANDS_TOO_CLOSE: return "too close to decide a direction";
    case TARN_DEGENERACY_NO_DEVICE: return "no device on";
    }
    return "unknown";
}

TARN_CALIBRATOR_API tarn_status tarn_check_orientation(tarn_convention convention, const double orientation[4],
                                                       tarn_degeneracy* degeneracy)
{
    if (orientation == nullptr || !isConvention(convention)) return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        Degeneracy rule = Degeneracy::None;
        const Status status = checkOrientation(static_cast<Convention>(convention), orientation, rule);
        if (status == Status::DegenerateInput && degeneracy != nullptr) *degeneracy = static_cast<tarn_degeneracy>(rule);
        return status;
    });
}

TARN_CALIBRATOR_API tarn_status tarn_calibrator_create(tarn_convention convention, tarn_calibrator** calibrator)
{
    if (calibrator == nullptr || !isConvention(convention)) return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        *calibrator = new tarn_calibrator{Calibrator(static_cast<Convention>(convention))};
        return Status::Ok;
    });
}

TARN_CALIBRATOR_API void tarn_calibrator_destroy(tarn_calibrator* calibrator) { delete calibrator; }

TARN_CALIBRATOR_API tarn_status tarn_calibrate_hand(tarn_calibrator* calibrator, tarn_hand hand,
                                                    const double source[4], const double target[4],
                                                    tarn_quality* quality)
{
    if (calibrator == nullptr) return TARN_INVALID_ARGUMENT;
    return calibrating(quality, [&](Quality& q) {
        if (!isHand(hand) || source == nullptr || target == nullptr) return Status::InvalidArgument;
        return calibrator->engine.calibrateHand(handOf(hand), source, target, q);
    });
}

TARN_CALIBRATOR_API tarn_status tarn_apply_hand(const tarn_calibrator* calibrator, tarn_hand hand, double* blocks,
                                                size_t stride, size_t count)
{
    if (calibrator == nullptr || !isHand(hand) || !validFrames(blocks, stride, 80, count)) return TARN_INVALID_ARGUMENT;
    return statusOf([&] { return calibrator->engine.applyHand(handOf(hand), {blocks, stride}, count); });
}

TARN_CALIBRATOR_API tarn_status tarn_calibrate_both_hands(tarn_calibrator* calibrator, const double right_position[3],
                                                          const double left_position[3], tarn_quality* quality)
{
    if (calibrator == nullptr) return TARN_INVALID_ARGUMENT;
    return calibrating(quality, [&](Quality& q) {
        if (right_position == nullptr || left_position == nullptr) return Status::InvalidArgument;
        return calibrator->engine.calibrateBothHands(right_position, left_position, q);
    });
}

TARN_CALIBRATOR_API tarn_status tarn_apply_both_hands(const tarn_calibrator* calibrator, double* right_hand,
                                                      size_t right_hand_stride, double* left_hand,
                                                      size_t left_hand_stride, double* right_position,
                                                      size_t right_position_stride, double* left_position,
                                                      size_t left_position_stride, size_t count)
{
    if (calibrator == nullptr || !validFrames(right_hand, right_hand_stride, 80, count) ||
        !validFrames(left_hand, left_hand_stride, 80, count) ||
        !validFrames(right_position, right_position_stride, 3, count) ||
        !validFrames(left_position, left_position_stride, 3, count))
        return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        return calibrator->engine.applyBothHands({right_hand, right_hand_stride}, {left_hand, left_hand_stride},
                                                 {right_position, right_position_stride},
                                                 {left_position, left_position_stride}, count);
    });
}

TARN_CALIBRATOR_API tarn_status tarn_reset_both_hands(tarn_calibrator* calibrator)
{
    if (calibrator == nullptr) return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        calibrator->engine.resetBothHands();
        return Status::Ok;
    });
}

TARN_CALIBRATOR_API tarn_status tarn_calibrate_all_vr(tarn_calibrator* calibrator, const tarn_all_vr_input* input,
                                                      tarn_quality* quality)
{
    if (calibrator == nullptr) return TARN_INVALID_ARGUMENT;
    return calibrating(quality, [&](Quality& q) {
        if (input == nullptr) return Status::InvalidArgument;
        const unsigned char flags[4] = {input->right_tracker_on, input->left_tracker_on, input->headset_on,
                                        input->headset_decides};
        for (unsigned char flag : flags)
            if (flag > 1) return Status::InvalidArgument;
        AllVRInput in;
        const double* positions[3] = {input->right_position, input->left_position, input->headset_position};
        const double* orientations[3] = {input->right_orientation, input->left_orientation,
                                         input->headset_orientation};
        for (int d = 0; d < 3; ++d) {
            in.on[d] = flags[d] != 0;
            for (int k = 0; k < 3; ++k) in.position[d][k] = positions[d][k];
            for (int k = 0; k < 4; ++k) in.orientation[d][k] = orientations[d][k];
        }
        in.headsetDecides = flags[3] != 0;
        return calibrator->engine.calibrateAllVR(in, q);
    });
}

TARN_CALIBRATOR_API tarn_status tarn_apply_device(const tarn_calibrator* calibrator, tarn_device device,
                                                  double* positions, size_t position_stride, double* orientations,
                                                  size_t orientation_stride, size_t count)
{
    const bool anyArray = positions != nullptr || orientations != nullptr;
    if (calibrator == nullptr || device < TARN_RIGHT_TRACKER || device > TARN_HEADSET || (!anyArray && count > 0) ||
        !validLayout(positions, position_stride, 3, count) || !validLayout(orientations, orientation_stride, 4, count))
        return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        return calibrator->engine.applyDevice(static_cast<VRDevice>(device), {positions, position_stride},
                                              {orientations, orientation_stride}, count);
    });
}

TARN_CALIBRATOR_API tarn_status tarn_get_hand_rotation(const tarn_calibrator* calibrator, tarn_hand hand,
                                                       double rotation[4])
{
    if (calibrator == nullptr || !isHand(hand) || rotation == nullptr) return TARN_INVALID_ARGUMENT;
    return statusOf([&] { return calibrator->engine.handRotation(handOf(hand), rotation); });
}

TARN_CALIBRATOR_API tarn_status tarn_get_both_hands_frame(const tarn_calibrator* calibrator, double rotation[4],
                                                          double origin[3])
{
    if (calibrator == nullptr || rotation == nullptr) return TARN_INVALID_ARGUMENT;
    return statusOf([&] { return calibrator->engine.bothHandsFrame(rotation, origin); });
}

TARN_CALIBRATOR_API tarn_status tarn_get_all_vr_frame(const tarn_calibrator* calibrator, double rotation[4],
                                                      double origin[3], unsigned char covered[3])
{
    if (calibrator == nullptr || rotation == nullptr) return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        bool devices[3];
        const Status status = calibrator->engine.allVRFrame(rotation, origin, devices);
        if (status == Status::Ok && covered != nullptr)
            for (int d = 0; d < 3; ++d) covered[d] = devices[d];
        return status;
    });
}

TARN_CALIBRATOR_API tarn_status tarn_apply_frames(const tarn_calibrator* calibrator, const tarn_frame_layout* layout,
                                                  void* records, size_t record_stride, size_t count)
{
    if (calibrator == nullptr || layout == nullptr) return TARN_INVALID_ARGUMENT;
    // Each part present: its offset and length in bytes; none past the
    // record, none overlapping another.
    FrameLayout parts{{layout->right_hand, layout->left_hand},
                      {layout->position[0], layout->position[1], layout->position[2]},
                      {layout->orientation[0], layout->orientation[1], layout->orientation[2]}};
    std::array<std::pair<std::size_t, std::size_t>, 8> spans{};
    std::size_t used = 0;
    const auto add = [&](std::size_t offset, std::size_t doubles) {
        if (offset != TARN_ABSENT) spans[used++] = {offset, doubles * sizeof(double)};
    };
    for (std::size_t h : parts.hand) add(h, kHandDoubles);
    for (std::size_t p : parts.position) add(p, 3);
    for (std::size_t o : parts.orientation) add(o, 4);
    for (std::size_t k = 0; k < used; ++k) {
        const auto [offset, bytes] = spans[k];
        if (offset % sizeof(double) != 0 || offset > record_stride || bytes > record_stride - offset)
            return TARN_INVALID_ARGUMENT;
        for (std::size_t j = 0; j < k; ++j)
            if (offset < spans[j].first + spans[j].second && spans[j].first < offset + bytes) return TARN_INVALID_ARGUMENT;
    }
    if (record_stride == 0 || !validFrames(records, record_stride, record_stride / sizeof(double), count))
        return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        return calibrator->engine.applyFrames(parts, static_cast<unsigned char*>(records), record_stride, count);
    });
}

TARN_CALIBRATOR_API tarn_status tarn_calibrator_save(const tarn_calibrator* calibrator, unsigned char* buffer,
                                                     size_t capacity, size_t* size)
{
    if (calibrator == nullptr || size == nullptr) return TARN_INVALID_ARGUMENT;
    *size = savedCalibrationSize();
    if (buffer == nullptr || capacity < *size) return TARN_BUFFER_TOO_SMALL;
    return statusOf([&] {
        saveCalibration(calibrator->engine, buffer);
        return Status::Ok;
    });
}

TARN_CALIBRATOR_API tarn_status tarn_calibrator_restore(tarn_calibrator* calibrator, const unsigned char* data,
                                                        size_t size)
{
    if (calibrator == nullptr || data == nullptr) return TARN_INVALID_ARGUMENT;
    return statusOf([&] {
        return restoreCalibration(calibrator->engine, data, size) ? Status::Ok : Status::InvalidSavedState;
    });
}

}  // extern "C"
