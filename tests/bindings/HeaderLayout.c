/* Prints what the bindings restate of include/TarnCalibrator.h, as the C
 * compiler sees it, one fact a line:
 *   size STRUCT BYTES
 *   offset STRUCT FIELD BYTES
 *   enum ENUM NAME VALUE      (NAME as the bindings spell it, upper case)
 *   constant NAME VALUE
 * The C# and Python tests compare their own structs, enums and constants
 * with these lines. */
#include <stddef.h>
#include <stdio.h>

#include "TarnCalibrator.h"

#define SIZE(type) printf("size %s %zu\n", #type, sizeof(type))
#define FIELD(type, field) printf("offset %s %s %zu\n", #type, #field, offsetof(type, field))
#define VALUE(type, name, value) printf("enum %s %s %d\n", #type, name, (int)(value))

int main(void)
{
    SIZE(tarn_quality);
    FIELD(tarn_quality, degeneracy);
    FIELD(tarn_quality, degenerate_input);
    FIELD(tarn_quality, source_tilt);
    FIELD(tarn_quality, target_tilt);
    FIELD(tarn_quality, separation);
    FIELD(tarn_quality, tracker_line_heading);
    FIELD(tarn_quality, right_forward_heading);
    FIELD(tarn_quality, left_forward_heading);
    FIELD(tarn_quality, headset_heading);
    FIELD(tarn_quality, largest_disagreement);
    FIELD(tarn_quality, frame_decided_by);

    SIZE(tarn_all_vr_input);
    FIELD(tarn_all_vr_input, right_tracker_on);
    FIELD(tarn_all_vr_input, left_tracker_on);
    FIELD(tarn_all_vr_input, headset_on);
    FIELD(tarn_all_vr_input, headset_decides);
    FIELD(tarn_all_vr_input, right_position);
    FIELD(tarn_all_vr_input, right_orientation);
    FIELD(tarn_all_vr_input, left_position);
    FIELD(tarn_all_vr_input, left_orientation);
    FIELD(tarn_all_vr_input, headset_position);
    FIELD(tarn_all_vr_input, headset_orientation);

    SIZE(tarn_drift_settings);
    FIELD(tarn_drift_settings, reference_row);
    FIELD(tarn_drift_settings, threshold);
    FIELD(tarn_drift_settings, hold_time);
    FIELD(tarn_drift_settings, still_speed);
    FIELD(tarn_drift_settings, still_time);
    FIELD(tarn_drift_settings, window);
    FIELD(tarn_drift_settings, auto_recalibrate);
    FIELD(tarn_drift_settings, compensate);
    FIELD(tarn_drift_settings, compensate_within);

    SIZE(tarn_drift_report);
    FIELD(tarn_drift_report, time);
    FIELD(tarn_drift_report, residual);
    FIELD(tarn_drift_report, trend_residual);
    FIELD(tarn_drift_report, rate);
    FIELD(tarn_drift_report, rate_uncertainty);
    FIELD(tarn_drift_report, fit_span);
    FIELD(tarn_drift_report, largest_residual);
    FIELD(tarn_drift_report, largest_residual_time);
    FIELD(tarn_drift_report, first_flag_time);
    FIELD(tarn_drift_report, correction);
    FIELD(tarn_drift_report, still_since);
    FIELD(tarn_drift_report, flag);
    FIELD(tarn_drift_report, still);
    FIELD(tarn_drift_report, compensating);
    FIELD(tarn_drift_report, frames);

    SIZE(tarn_drift_event);
    FIELD(tarn_drift_event, kind);
    FIELD(tarn_drift_event, time);
    FIELD(tarn_drift_event, residual_before);
    FIELD(tarn_drift_event, residual_after);

    SIZE(tarn_tracked_hand_frames);
    FIELD(tarn_tracked_hand_frames, times);
    FIELD(tarn_tracked_hand_frames, time_stride);
    FIELD(tarn_tracked_hand_frames, blocks);
    FIELD(tarn_tracked_hand_frames, block_stride);
    FIELD(tarn_tracked_hand_frames, trackers);
    FIELD(tarn_tracked_hand_frames, tracker_stride);
    FIELD(tarn_tracked_hand_frames, residuals);
    FIELD(tarn_tracked_hand_frames, residual_stride);

    SIZE(tarn_motion_frames);
    FIELD(tarn_motion_frames, times);
    FIELD(tarn_motion_frames, time_stride);
    FIELD(tarn_motion_frames, rows);
    FIELD(tarn_motion_frames, row_stride);
    FIELD(tarn_motion_frames, trackers);
    FIELD(tarn_motion_frames, tracker_stride);

    SIZE(tarn_motion_result);
    FIELD(tarn_motion_result, verdict);
    FIELD(tarn_motion_result, heading_offset);
    FIELD(tarn_motion_result, heading_uncertainty);
    FIELD(tarn_motion_result, mount);
    FIELD(tarn_motion_result, strap_turn);
    FIELD(tarn_motion_result, strap_tilt);
    FIELD(tarn_motion_result, residual_spread);
    FIELD(tarn_motion_result, turning_round);
    FIELD(tarn_motion_result, turning_over);
    FIELD(tarn_motion_result, duration);
    FIELD(tarn_motion_result, frames_used);
    FIELD(tarn_motion_result, frames_skipped);

    VALUE(tarn_status, "OK", TARN_OK);
    VALUE(tarn_status, "INVALID_ARGUMENT", TARN_INVALID_ARGUMENT);
    VALUE(tarn_status, "DEGENERATE_INPUT", TARN_DEGENERATE_INPUT);
    VALUE(tarn_status, "NOT_CALIBRATED", TARN_NOT_CALIBRATED);
    VALUE(tarn_status, "BUFFER_TOO_SMALL", TARN_BUFFER_TOO_SMALL);
    VALUE(tarn_status, "INVALID_SAVED_STATE", TARN_INVALID_SAVED_STATE);
    VALUE(tarn_status, "OUT_OF_MEMORY", TARN_OUT_OF_MEMORY);
    VALUE(tarn_convention, "LIBRARY", TARN_CONVENTION_LIBRARY);
    VALUE(tarn_convention, "UNITY", TARN_CONVENTION_UNITY);
    VALUE(tarn_convention, "OPENXR", TARN_CONVENTION_OPENXR);
    VALUE(tarn_convention, "UNREAL", TARN_CONVENTION_UNREAL);
    VALUE(tarn_hand, "RIGHT", TARN_RIGHT_HAND);
    VALUE(tarn_hand, "LEFT", TARN_LEFT_HAND);
    VALUE(tarn_device, "RIGHT_TRACKER", TARN_RIGHT_TRACKER);
    VALUE(tarn_device, "LEFT_TRACKER", TARN_LEFT_TRACKER);
    VALUE(tarn_device, "HEADSET", TARN_HEADSET);
    VALUE(tarn_degeneracy, "NONE", TARN_DEGENERACY_NONE);
    VALUE(tarn_degeneracy, "ZERO_QUATERNION", TARN_DEGENERACY_ZERO_QUATERNION);
    VALUE(tarn_degeneracy, "NEAR_VERTICAL", TARN_DEGENERACY_NEAR_VERTICAL);
    VALUE(tarn_degeneracy, "HANDS_TOO_CLOSE", TARN_DEGENERACY_HANDS_TOO_CLOSE);
    VALUE(tarn_degeneracy, "NO_DEVICE", TARN_DEGENERACY_NO_DEVICE);
    VALUE(tarn_input, "NONE", TARN_INPUT_NONE);
    VALUE(tarn_input, "SOURCE", TARN_INPUT_SOURCE);
    VALUE(tarn_input, "TARGET", TARN_INPUT_TARGET);
    VALUE(tarn_input, "POSITIONS", TARN_INPUT_POSITIONS);
    VALUE(tarn_input, "RIGHT_TRACKER", TARN_INPUT_RIGHT_TRACKER);
    VALUE(tarn_input, "LEFT_TRACKER", TARN_INPUT_LEFT_TRACKER);
    VALUE(tarn_input, "HEADSET", TARN_INPUT_HEADSET);
    VALUE(tarn_drift_event_kind, "RECALIBRATION", TARN_DRIFT_RECALIBRATION);
    VALUE(tarn_drift_event_kind, "COMPENSATION", TARN_DRIFT_COMPENSATION);
    VALUE(tarn_motion_verdict, "GOOD", TARN_MOTION_GOOD);
    VALUE(tarn_motion_verdict, "TOO_FEW_FRAMES", TARN_MOTION_TOO_FEW_FRAMES);
    VALUE(tarn_motion_verdict, "TOO_SHORT", TARN_MOTION_TOO_SHORT);
    VALUE(tarn_motion_verdict, "TURN_OVER", TARN_MOTION_TURN_OVER);
    VALUE(tarn_motion_verdict, "HAND_MOVED", TARN_MOTION_HAND_MOVED);

    printf("constant TARN_DRIFT_KEPT_EVENTS %d\n", TARN_DRIFT_KEPT_EVENTS);
    printf("constant TARN_LARGEST_QUATERNION_COMPONENT %.17g\n", TARN_LARGEST_QUATERNION_COMPONENT);
    printf("constant TARN_LARGEST_POSITION %.17g\n", TARN_LARGEST_POSITION);
    return 0;
}
