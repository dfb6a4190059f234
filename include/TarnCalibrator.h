/*
 * TarnCalibrator: the integrator API of the hand calibration engine.
 *
 * A calibrator holds one user's calibrations: a heading offset per hand
 * (single hand), a common frame for both hands (double hand) and a common
 * frame for the wrist trackers and the headset (All-VR). Create as many as
 * the host needs; each call says with a status whether it worked.
 *
 * Conventions used by every function below
 * ----------------------------------------
 *  - Frames. A device's orientation rotates device coordinates into world
 *    (tracking) coordinates. Calibrating picks a calibrated frame; applying
 *    re-expresses device and hand data in it. A heading is a rotation about
 *    the world's up axis.
 *  - Host conventions (tarn_convention). A calibrator takes and returns
 *    positions and quaternions in the convention it was created with:
 *      TARN_CONVENTION_LIBRARY  right-handed, X right, Y forward, Z up;
 *                               quaternions [w, x, y, z]; positions in the
 *                               tracking unit (metres: the thresholds below
 *                               are in metres).
 *      TARN_CONVENTION_UNITY    left-handed, X right, Y up, Z forward;
 *                               quaternions [x, y, z, w]; metres.
 *      TARN_CONVENTION_OPENXR   right-handed, X right, Y up, -Z forward (as
 *                               OpenXR and SteamVR); quaternions
 *                               [x, y, z, w] (XrQuaternionf); metres.
 *      TARN_CONVENTION_UNREAL   left-handed, X forward, Y right, Z up;
 *                               quaternions [x, y, z, w] (FQuat);
 *                               centimetres.
 *    Conversions only swap and negate components (exact), except the
 *    centimetre scale of Unreal positions. Angles are radians.
 *  - Arrays. Quaternion: 4 doubles; position: 3 doubles; hand block: one
 *    glove's 20 quaternions, 80 doubles, row i at index 4*i (the library
 *    treats the 20 rows alike: which bone each row is, is the host's
 *    mapping). Arrays are caller-owned; nothing keeps a pointer after a
 *    call returns.
 *  - Batches. Apply functions convert `count` frames in place. Frame k of
 *    an array starts `stride` bytes after frame k - 1; a stride of 0 means
 *    tightly packed (80, 3 or 4 doubles). Strides let a host pass its own
 *    array of structs without copying; they must be multiples of 8 bytes
 *    and no smaller than one frame. A count and stride whose last frame
 *    would end more than PTRDIFF_MAX bytes after the array's start, or past
 *    the top of the address space, are a bad count or stride
 *    (TARN_INVALID_ARGUMENT), never a wrapped address. A batch gives the
 *    same bits as `count` calls of one frame.
 *  - Statuses. Every function returns a tarn_status. A function that
 *    returns anything but TARN_OK has changed nothing: not the calibrator,
 *    not the caller's arrays (an optional tarn_quality is the only output
 *    it fills). Calibrate functions fill an optional tarn_quality on every
 *    status but TARN_INVALID_ARGUMENT for a NULL calibrator (fields that
 *    do not apply, or were not reached, are NaN). Calibrate functions
 *    refuse NaN, infinite and out-of-range inputs (below); apply
 *    functions carry NaN frames through as NaN (a frame the tracking lost
 *    stays lost) and never refuse a batch for one.
 *  - Nothing is ever written to standard output or standard error, and no
 *    C++ exception crosses this API.
 *  - Threads. Different calibrators share nothing and may be used from
 *    different threads at the same time. One calibrator is used from one
 *    thread at a time (the host serialises its calls).
 *  - Booleans cross as one byte (unsigned char, 0 or 1).
 */
#ifndef TARN_CALIBRATOR_H
#define TARN_CALIBRATOR_H

#include <stddef.h>

/* Version of this header. NUMBER is major * 10000 + minor * 100 + patch;
 * tarn_version() gives the library's, for a check at run time. */
#define TARN_CALIBRATOR_VERSION_MAJOR 1
#define TARN_CALIBRATOR_VERSION_MINOR 2
#define TARN_CALIBRATOR_VERSION_PATCH 0
#define TARN_CALIBRATOR_VERSION_NUMBER                                             \
    (TARN_CALIBRATOR_VERSION_MAJOR * 10000 + TARN_CALIBRATOR_VERSION_MINOR * 100 + \
     TARN_CALIBRATOR_VERSION_PATCH)

#if defined(_WIN32)
#  if defined(TARN_BUILDING_CALIBRATOR)
#    define TARN_CALIBRATOR_API __declspec(dllexport)
#  else
#    define TARN_CALIBRATOR_API __declspec(dllimport)
#  endif
#else
#  if defined(TARN_BUILDING_CALIBRATOR)
#    define TARN_CALIBRATOR_API __attribute__((visibility("default")))
#  else
#    define TARN_CALIBRATOR_API
#  endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef enum tarn_status {
    TARN_OK = 0,
    TARN_INVALID_ARGUMENT = 1,   /* null pointer, bad count, stride or enum
                                    value, NaN, infinite or out-of-range input */
    TARN_DEGENERATE_INPUT = 2,   /* no frame can be decided from the input;
                                    the quality record names the rule */
    TARN_NOT_CALIBRATED = 3,     /* apply before the matching calibration */
    TARN_BUFFER_TOO_SMALL = 4,   /* tarn_calibrator_save: see `size` */
    TARN_INVALID_SAVED_STATE = 5,/* restore: truncated, altered or foreign */
    TARN_OUT_OF_MEMORY = 6
} tarn_status;

/* The range of every calibrate function's inputs (and of
 * tarn_check_orientation): quaternion components of magnitude at most
 * TARN_LARGEST_QUATERNION_COMPONENT (beyond it the squared length
 * overflows), position components within TARN_LARGEST_POSITION metres of
 * the tracking origin (100 times that in Unreal's centimetres; beyond it
 * rounding loses the direction a lone tracker points in). Anything else is
 * TARN_INVALID_ARGUMENT. */
#define TARN_LARGEST_QUATERNION_COMPONENT 1e150
#define TARN_LARGEST_POSITION 1e6

/* The enums a host passes in span every int (the *_RANGE_ values, never
 * valid), so a function can refuse any other value it is given with
 * TARN_INVALID_ARGUMENT. */
typedef enum tarn_convention {
    TARN_CONVENTION_LIBRARY = 0,
    TARN_CONVENTION_UNITY = 1,
    TARN_CONVENTION_OPENXR = 2,
    TARN_CONVENTION_UNREAL = 3,
    TARN_CONVENTION_RANGE_MIN = -2147483647 - 1,
    TARN_CONVENTION_RANGE_MAX = 2147483647
} tarn_convention;

typedef enum tarn_hand {
    TARN_RIGHT_HAND = 0,
    TARN_LEFT_HAND = 1,
    TARN_HAND_RANGE_MIN = -2147483647 - 1,
    TARN_HAND_RANGE_MAX = 2147483647
} tarn_hand;

typedef enum tarn_device {
    TARN_RIGHT_TRACKER = 0,
    TARN_LEFT_TRACKER = 1,
    TARN_HEADSET = 2,
    TARN_DEVICE_RANGE_MIN = -2147483647 - 1,
    TARN_DEVICE_RANGE_MAX = 2147483647
} tarn_device;

/* The rule that made an input degenerate. */
typedef enum tarn_degeneracy {
    TARN_DEGENERACY_NONE = 0,
    TARN_DEGENERACY_ZERO_QUATERNION = 1,   /* every component below 1e-8 in
                                              magnitude: no orientation */
    TARN_DEGENERACY_NEAR_VERTICAL = 2,     /* rolled onto its side: the
                                              device's right axis (+X,
                                              library axes) within 5
                                              degrees of vertical, where
                                              the heading is undefined */
    TARN_DEGENERACY_HANDS_TOO_CLOSE = 3,   /* no direction between two
                                              positions: both hands, less
                                              than 0.001 m apart along x
                                              and along y; All-VR's two
                                              trackers, 0.001 m or less
                                              apart along x and along y
                                              (library axes) */
    TARN_DEGENERACY_NO_DEVICE = 4          /* All-VR with no device on */
} tarn_degeneracy;

/* The input a degeneracy was found in. */
typedef enum tarn_input {
    TARN_INPUT_NONE = 0,
    TARN_INPUT_SOURCE = 1,          /* single hand: the glove row */
    TARN_INPUT_TARGET = 2,          /* single hand: the wrist tracker */
    TARN_INPUT_POSITIONS = 3,       /* double hand, or both trackers */
    TARN_INPUT_RIGHT_TRACKER = 4,
    TARN_INPUT_LEFT_TRACKER = 5,
    TARN_INPUT_HEADSET = 6
} tarn_input;

/* What a calibrate function found in its input. Fields that do not apply
 * to a calibration are NaN. Angles in radians. */
typedef struct tarn_quality {
    tarn_degeneracy degeneracy;   /* the rule that refused the calibration */
    tarn_input degenerate_input;  /* where it was found */
    double source_tilt;           /* single hand: how far the source is
                                     tilted away from a pure heading (the
                                     calibration ignores it), 0 to pi */
    double target_tilt;           /* single hand: the same for the target */
    double separation;            /* double hand, All-VR with both trackers:
                                     horizontal distance of the positions,
                                     in the host's length unit */
    /* All-VR: the frame heading each possible source would give, about the
     * world's up axis in the library convention (counter-clockwise seen
     * from above, 0 along +X right-handed): the line from the left to the
     * right tracker, each tracker's forward axis, the headset's heading. */
    double tracker_line_heading;
    double right_forward_heading;
    double left_forward_heading;
    double headset_heading;
    double largest_disagreement;  /* largest difference between any two of
                                     the four above, 0 to pi */
    tarn_input frame_decided_by;  /* All-VR, on TARN_OK: what decided the
                                     frame: TARN_INPUT_POSITIONS the line
                                     between the trackers, a tracker alone,
                                     or TARN_INPUT_HEADSET */
} tarn_quality;

/* The inputs of an All-VR calibration, in the calibrator's convention.
 * Arrays of a device that is off are not read. A wrist tracker's forward
 * is its own +Y axis in the library convention (its +Z in Unity's, its -Z
 * in OpenXR's, its +X in Unreal's). */
typedef struct tarn_all_vr_input {
    unsigned char right_tracker_on;
    unsigned char left_tracker_on;
    unsigned char headset_on;
    /* Which device decides the frame when both kinds are on: 0 the trackers
     * (the line between two trackers, or where a tracker alone points),
     * 1 the headset (its heading, origin 0.5 m in front of it along the
     * frame's forward axis). A headset alone always decides. */
    unsigned char headset_decides;
    double right_position[3];
    double right_orientation[4];
    double left_position[3];
    double left_orientation[4];
    double headset_position[3];
    double headset_orientation[4];
} tarn_all_vr_input;

typedef struct tarn_calibrator tarn_calibrator;

/* ---- Library ---------------------------------------------------------- */

/* TARN_CALIBRATOR_VERSION_NUMBER of the library as built. */
TARN_CALIBRATOR_API unsigned tarn_version(void);

/* A fixed English name for every status ("TARN_OK", ...) and degeneracy
 * ("too close to decide a direction", ...); "unknown" for values outside
 * the enums. Static strings: never freed. */
TARN_CALIBRATOR_API const char* tarn_status_string(tarn_status status);
TARN_CALIBRATOR_API const char* tarn_degeneracy_string(tarn_degeneracy degeneracy);

/* Whether a heading can be taken from `orientation` (4 doubles in
 * `convention`): the rule every calibrate function applies to its
 * orientations, for hosts that check samples before calibrating. On
 * TARN_DEGENERATE_INPUT, *degeneracy (optional) names the rule.
 * Statuses: TARN_INVALID_ARGUMENT (NULL orientation, unknown convention,
 * NaN, infinite or out-of-range component), TARN_DEGENERATE_INPUT. */
TARN_CALIBRATOR_API tarn_status tarn_check_orientation(tarn_convention convention, const double orientation[4],
                                                       tarn_degeneracy* degeneracy);

/* ---- Handles ---------------------------------------------------------- */

/* A new calibrator with no calibration, taking and returning data in
 * `convention`. *calibrator is set only on TARN_OK.
 * Statuses: TARN_INVALID_ARGUMENT (calibrator NULL, unknown convention),
 * TARN_OUT_OF_MEMORY. */
TARN_CALIBRATOR_API tarn_status tarn_calibrator_create(tarn_convention convention, tarn_calibrator** calibrator);

/* Frees a calibrator. NULL is ignored. */
TARN_CALIBRATOR_API void tarn_calibrator_destroy(tarn_calibrator* calibrator);

/* ---- Single hand ------------------------------------------------------ */

/* Calibrates one hand: afterwards hand data whose heading is that of
 * `source` (a glove row, usually the wrist's) comes out with the heading
 * of `target` (the wrist tracker) plus 90 degrees for the right hand,
 * minus 90 for the left. Only the headings of source and target count.
 * quality: optional.
 * Statuses: TARN_INVALID_ARGUMENT (NULL, unknown hand, NaN, infinite or
 * out-of-range component), TARN_DEGENERATE_INPUT (source or target zero or near
 * vertical), TARN_OUT_OF_MEMORY. */
TARN_CALIBRATOR_API tarn_status tarn_calibrate_hand(tarn_calibrator* calibrator, tarn_hand hand,
                                                    const double source[4], const double target[4],
                                                    tarn_quality* quality);

/* Turns `count` hand blocks of one hand about the world's up axis by the
 * hand's calibration, in place.
 * Statuses: TARN_INVALID_ARGUMENT (NULL calibrator, NULL blocks with a
 * count above 0, unknown hand, bad count or stride), TARN_NOT_CALIBRATED. */
TARN_CALIBRATOR_API tarn_status tarn_apply_hand(const tarn_calibrator* calibrator, tarn_hand hand, double* blocks,
                                                size_t stride, size_t count);

/* ---- Double hand ------------------------------------------------------ */

/* A frame for both hands from their positions (the wrist trackers'):
 * origin midway, its X axis (the library convention's right) horizontal
 * from the left hand's position towards the right hand's, Z up.
 * quality: optional.
 * Statuses: TARN_INVALID_ARGUMENT (NULL, NaN, infinite or out-of-range
 * component), TARN_DEGENERATE_INPUT (hands too close), TARN_OUT_OF_MEMORY. */
TARN_CALIBRATOR_API tarn_status tarn_calibrate_both_hands(tarn_calibrator* calibrator, const double right_position[3],
                                                          const double left_position[3], tarn_quality* quality);

/* Re-expresses `count` frames of both hands' blocks and positions in the
 * double-hand frame, in place; each array has its own stride.
 * Statuses: TARN_INVALID_ARGUMENT (NULL calibrator, a NULL array with a
 * count above 0, bad count or stride), TARN_NOT_CALIBRATED. */
TARN_CALIBRATOR_API tarn_status tarn_apply_both_hands(const tarn_calibrator* calibrator, double* right_hand,
                                                      size_t right_hand_stride, double* left_hand,
                                                      size_t left_hand_stride, double* right_position,
                                                      size_t right_position_stride, double* left_position,
                                                      size_t left_position_stride, size_t count);

/* Discards the double-hand calibration. Statuses: TARN_INVALID_ARGUMENT
 * (NULL). */
TARN_CALIBRATOR_API tarn_status tarn_reset_both_hands(tarn_calibrator* calibrator);

/* ---- All-VR ----------------------------------------------------------- */

/* A frame for the trackers and the headset (a heading and an origin on the
 * floor, height 0) from the devices that are on: both trackers give the
 * line from the left to the right tracker and the point midway; one
 * tracker gives where it points and a point 0.2 m beside it towards the
 * body's centre; the headset (when it decides) its heading and a point
 * 0.5 m in front of it along the frame's forward axis. Every device that
 * is on is covered by the calibration and replaces the previous All-VR
 * calibration. quality: optional.
 * Statuses: TARN_INVALID_ARGUMENT (NULL, a flag other than 0 or 1, NaN,
 * infinite or out-of-range component of a device that is on),
 * TARN_DEGENERATE_INPUT (no device on, two trackers
 * too close, an orientation of a device that is on zero or near
 * vertical), TARN_OUT_OF_MEMORY. */
TARN_CALIBRATOR_API tarn_status tarn_calibrate_all_vr(tarn_calibrator* calibrator, const tarn_all_vr_input* input,
                                                      tarn_quality* quality);

/* Re-expresses `count` poses of one device in the All-VR frame, in place:
 * positions relative to the frame's origin and heading, orientations with
 * the device's heading at calibration taken out. Either array may be NULL
 * (not converted), not both.
 * Statuses: TARN_INVALID_ARGUMENT (NULL calibrator, both arrays NULL with
 * a count above 0, unknown device, bad count or stride),
 * TARN_NOT_CALIBRATED (the last All-VR calibration did not cover the
 * device). */
TARN_CALIBRATOR_API tarn_status tarn_apply_device(const tarn_calibrator* calibrator, tarn_device device,
                                                  double* positions, size_t position_stride, double* orientations,
                                                  size_t orientation_stride, size_t count);

/* ---- Whole frame records ---------------------------------------------- */

/* Where each part of a host's frame record lies: byte offsets from the
 * record's start, each a whole number of doubles, or TARN_ABSENT for a
 * part the record does not have. */
#define TARN_ABSENT ((size_t)-1)

typedef struct tarn_frame_layout {
    size_t right_hand;      /* a hand block: 80 doubles */
    size_t left_hand;
    size_t position[3];     /* by tarn_device: 3 doubles */
    size_t orientation[3];  /* by tarn_device: 4 doubles */
} tarn_frame_layout;

/* Converts, in place, every part of each of `count` records (record k at
 * byte k * record_stride from `records`) that `layout` names, a record
 * after the other: each hand block as tarn_apply_hand converts it (the
 * single-hand calibration), each device's position and orientation as
 * tarn_apply_device does (a device may have either or both). The same bits
 * as those calls, with one call for a whole array of frame structs.
 * Statuses: TARN_INVALID_ARGUMENT (NULL calibrator or layout, NULL records
 * with a count above 0, an offset not a whole number of doubles, a part
 * reaching past record_stride or overlapping another, a record_stride not
 * a whole number of doubles or a count and stride past the address space;
 * nothing is converted), TARN_NOT_CALIBRATED (a hand in the layout has no
 * single-hand calibration, or a device in it is not covered by the All-VR
 * calibration; nothing is converted). */
TARN_CALIBRATOR_API tarn_status tarn_apply_frames(const tarn_calibrator* calibrator, const tarn_frame_layout* layout,
                                                  void* records, size_t record_stride, size_t count);

/* ---- Reading a calibration back --------------------------------------- */

/* The rotation each calibration applies and, where it has one, the origin
 * of its frame, in the calibrator's convention: for a hand, the rotation
 * applied to its rows (origin not written); for both hands and All-VR,
 * the frame's orientation in the world and its origin. `origin` may be
 * NULL. For All-VR, `covered` (optional, 3 bytes indexed by tarn_device)
 * says which devices the calibration covers.
 * Statuses: TARN_INVALID_ARGUMENT (NULL calibrator or rotation, unknown
 * hand), TARN_NOT_CALIBRATED. */
TARN_CALIBRATOR_API tarn_status tarn_get_hand_rotation(const tarn_calibrator* calibrator, tarn_hand hand,
                                                       double rotation[4]);
TARN_CALIBRATOR_API tarn_status tarn_get_both_hands_frame(const tarn_calibrator* calibrator, double rotation[4],
                                                          double origin[3]);
TARN_CALIBRATOR_API tarn_status tarn_get_all_vr_frame(const tarn_calibrator* calibrator, double rotation[4],
                                                      double origin[3], unsigned char covered[3]);

/* ---- Drift ------------------------------------------------------------ */

/* Gloves measure heading with gyroscopes, which drift; a wrist tracker
 * does not. Each hand of a calibrator has a drift monitor, fed the frames
 * passed to tarn_apply_hand_tracked. At calibration it takes how the
 * calibrated glove row sits against the wrist tracker (the mount); on
 * each frame after, the residual is the turn about the world's up axis
 * from where the glove would be had it kept that mount to where it is:
 *
 *   residual = heading of  row (x) conj(tracker (x) mount)
 *
 * that is, the glove's heading less the tracker's, less the same
 * difference at calibration, with the tilts of both allowed for. It is
 * zero right after calibrating and unwrapped (it goes on past +-pi: after
 * 30 minutes at 10 degrees a minute it is 300 degrees). Headings are
 * counter-clockwise seen from above in the library convention, whatever
 * the calibrator's convention. The row compared is `reference_row`: the
 * residual starts at zero only if that is the row the hand was calibrated
 * from.
 *
 * What it does not measure: the residual moves with the glove's drift and
 * equally with the hand turning against the tracker's strap (bending the
 * wrist); no single frame tells the two apart. The monitor separates them
 * over time: it samples frames at least 0.09 s apart (every third at 30
 * frames a second, every ninth at 90), averages the samples per second,
 * and fits a line, robustly, through the last `window` seconds: its slope
 * is the drift rate, and its value now (less the corrections below), the
 * trend residual, is the drift the calibration carries. The trend
 * residual raises the flag and drives the corrections; a single frame's
 * residual never does. The monitor keeps no image of the hand: a hand
 * held turned for as long as the window looks like drift.
 *
 * A re-calibration re-runs the single-hand calibration on the frame, which
 * lines up headings alone; with the devices tilted, or the wrist not quite
 * straight, some drift stays (the event's residual_after says how much).
 *
 * Calibrating a hand (tarn_calibrate_hand) restarts its monitor: history,
 * rate and flag are forgotten; settings and events not taken yet are kept.
 * A restored calibration restarts both. A hand calibrated from motion
 * keeps its solved mount (its residual is the drift since); any other
 * takes its mount from its first frame with a glove row and a tracker
 * (its residual is zero there). The monitor's history is not saved, but
 * its rate is: with compensation on, a restored monitor turns the
 * calibration by the saved rate from its first frames (no drift assumed
 * at the first), for as long as the rate's standard error times the time
 * since stays within compensate_within, until its own fit is good enough
 * to take over. */

/* How many events a hand's monitor keeps until they are taken. */
#define TARN_DRIFT_KEPT_EVENTS 64

typedef struct tarn_drift_settings {
    unsigned reference_row;       /* glove row compared with the tracker,
                                     0-19 (default 0); the row the hand is
                                     calibrated from */
    double threshold;             /* radians, above 0 and at most a quarter
                                     turn (default 5 degrees) */
    double hold_time;             /* seconds the trend residual stays beyond
                                     `threshold` before the flag goes up,
                                     0 to 3600 (default 3) */
    double still_speed;           /* radians a second, measured over a
                                     sixth of a second or more, above 0 and
                                     at most 720 degrees a second (default
                                     15 degrees) */
    double still_time;            /* seconds glove and tracker turn slower
                                     than `still_speed` for the hand to be
                                     still, 0 to 3600 (default 1) */
    double window;                /* seconds of history the rate is fitted
                                     over, 30 to 3600 (default 300) */
    unsigned char auto_recalibrate; /* 1: while the flag is up and the hand
                                     is still, re-calibrate the hand from
                                     the current frame, once that leaves the
                                     trend residual within half the
                                     threshold (a hand held bent or tilted
                                     waits) (default 0) */
    unsigned char compensate;     /* 1: once the drift is known well enough
                                     (below), turn the calibration back by
                                     the fitted drift every second, between
                                     re-calibrations (default 0) */
    double compensate_within;     /* radians: compensation starts once the
                                     rate's standard error times the span it
                                     was fitted over (at least 30 seconds)
                                     is below this (default 2.5 degrees) */
} tarn_drift_settings;

typedef struct tarn_drift_report {
    double time;                  /* last frame observed; NaN before any */
    double residual;              /* of the last frame sampled, radians; NaN
                                     when its glove row or tracker was NaN,
                                     infinite or zero */
    double trend_residual;        /* radians; NaN until the first fit (10
                                     seconds after calibrating) */
    double rate;                  /* of the glove's heading against the
                                     tracker's, radians a second (positive:
                                     counter-clockwise); NaN until the first
                                     fit */
    double rate_uncertainty;      /* one standard error of `rate`, radians a
                                     second, allowing for the hand's motion;
                                     NaN until the first fit, infinite when
                                     the history cannot tell */
    double fit_span;              /* seconds of history behind the fit; 0
                                     until the first fit */
    double largest_residual;      /* the trend residual of largest magnitude
                                     so far (signed), and when; NaN before */
    double largest_residual_time;
    double first_flag_time;       /* when the flag first went up; NaN if not */
    double correction;            /* radians the monitor has turned the
                                     calibration by, in all, since it was
                                     calibrated: re-calibrations and
                                     compensation */
    double still_since;           /* start of the current still stretch;
                                     NaN while moving */
    unsigned char flag;           /* re-calibration recommended: the trend
                                     residual has been beyond the threshold
                                     for the hold time */
    unsigned char still;          /* still for `still_time` or longer */
    unsigned char compensating;   /* compensation is turning the calibration */
    size_t frames;                /* frames observed since calibrating */
} tarn_drift_report;

typedef enum tarn_drift_event_kind {
    TARN_DRIFT_RECALIBRATION = 1, /* re-calibrated from one frame */
    TARN_DRIFT_COMPENSATION = 2   /* compensation started turning the
                                     calibration (once per start; the small
                                     turns that follow are not events) */
} tarn_drift_event_kind;

/* A change the monitor made to a hand's calibration. */
typedef struct tarn_drift_event {
    tarn_drift_event_kind kind;
    double time;                  /* of the frame it happened after */
    double residual_before;       /* trend residual just before, radians */
    double residual_after;        /* and just after */
} tarn_drift_event;

/* The frames of tarn_apply_hand_tracked, each array with its own stride
 * (0: packed). */
typedef struct tarn_tracked_hand_frames {
    const double* times;          /* seconds, 1 double a frame, never going
                                     back from the frame before (nor from
                                     the last frame of the previous call) */
    size_t time_stride;
    double* blocks;               /* the hand's blocks, converted in place */
    size_t block_stride;
    const double* trackers;       /* the wrist tracker's orientations */
    size_t tracker_stride;
    double* residuals;            /* optional (NULL): each frame's residual,
                                     radians, 1 double a frame */
    size_t residual_stride;
} tarn_tracked_hand_frames;

/* The default settings (above). Statuses: TARN_INVALID_ARGUMENT (NULL). */
TARN_CALIBRATOR_API tarn_status tarn_drift_default_settings(tarn_drift_settings* settings);

/* Sets a hand's monitor settings; the history is kept (cut to the new
 * window), and so is the mount (a new reference_row is compared with the
 * mount of the row calibrated from).
 * Statuses: TARN_INVALID_ARGUMENT (NULL, unknown hand, a setting out of
 * its range: see tarn_drift_settings_problem), TARN_OUT_OF_MEMORY. */
/* NULL when tarn_set_drift_settings takes `settings`; otherwise a fixed
 * English sentence naming the first setting out of range, its unit and its
 * range ("threshold: radians, above 0 and at most a quarter turn (90
 * degrees)"; the ranges: a row 0 to 19; threshold above 0, at most pi/2;
 * hold and still times 0 to 3600 s; still speed above 0, at most 4 pi a
 * second; window 30 to 3600 s; flags 0 or 1; compensate_within above 0 and
 * finite; NaN is out of every range). "settings: NULL" for NULL. Static. */
TARN_CALIBRATOR_API const char* tarn_drift_settings_problem(const tarn_drift_settings* settings);

TARN_CALIBRATOR_API tarn_status tarn_set_drift_settings(tarn_calibrator* calibrator, tarn_hand hand,
                                                        const tarn_drift_settings* settings);

/* Writes a hand's monitor settings to *settings.
 * Statuses: TARN_INVALID_ARGUMENT (NULL, unknown hand). */
TARN_CALIBRATOR_API tarn_status tarn_get_drift_settings(const tarn_calibrator* calibrator, tarn_hand hand,
                                                        tarn_drift_settings* settings);

/* tarn_apply_hand, frame by frame, with each frame's calibrated reference
 * row and tracker observed by the hand's drift monitor. The blocks come
 * out bit for bit as from tarn_apply_hand while the monitor changes
 * nothing. With auto_recalibrate or compensate set, the monitor may
 * re-calibrate the hand or turn its calibration after a frame: the frames
 * after it are converted with the new calibration, and an event is kept
 * (tarn_take_drift_events). NaN frames are converted as NaN and skipped by
 * the monitor.
 * A batch gives the same bits and the same monitor as its frames passed
 * one call each.
 * Statuses: TARN_INVALID_ARGUMENT (NULL calibrator or frames, a NULL
 * times, blocks or trackers array with a count above 0, unknown hand, bad
 * stride, a time that is NaN, infinite or goes back; nothing is
 * converted), TARN_NOT_CALIBRATED. */
TARN_CALIBRATOR_API tarn_status tarn_apply_hand_tracked(tarn_calibrator* calibrator, tarn_hand hand,
                                                        const tarn_tracked_hand_frames* frames, size_t count);

/* tarn_apply_hand_tracked, and each frame's trend residual into `trends`
 * (1 double a frame, `trend_stride` bytes apart, 0: packed): the fitted
 * drift at the frame's time less the corrections made up to and with that
 * frame, radians (NaN before the first fit, about 10 seconds after
 * calibrating). One call gives what a plot of the drift needs; `trends`
 * NULL is tarn_apply_hand_tracked.
 * Statuses: as tarn_apply_hand_tracked, and TARN_INVALID_ARGUMENT for a
 * trend stride that is not a whole number of doubles. */
TARN_CALIBRATOR_API tarn_status tarn_apply_hand_tracked_trends(tarn_calibrator* calibrator, tarn_hand hand,
                                                               const tarn_tracked_hand_frames* frames, double* trends,
                                                               size_t trend_stride, size_t count);

/* The hand's monitor as of its last frame.
 * Statuses: TARN_INVALID_ARGUMENT (NULL, unknown hand), TARN_NOT_CALIBRATED. */
TARN_CALIBRATOR_API tarn_status tarn_get_drift(const tarn_calibrator* calibrator, tarn_hand hand,
                                               tarn_drift_report* report);

/* Takes up to `capacity` of the hand's events, oldest first, and forgets
 * them; *count is how many were written. The monitor keeps the last
 * TARN_DRIFT_KEPT_EVENTS; older ones are dropped.
 * Statuses: TARN_INVALID_ARGUMENT (NULL calibrator or count, NULL events
 * with a capacity above 0, unknown hand). */
TARN_CALIBRATOR_API tarn_status tarn_take_drift_events(tarn_calibrator* calibrator, tarn_hand hand,
                                                       tarn_drift_event* events, size_t capacity, size_t* count);

/* ---- Calibrating a hand from motion ----------------------------------- */

/* tarn_calibrate_hand takes one instant and assumes a straight wrist, a
 * level forearm and a tracker strapped in its nominal place (its forward
 * axis along the forearm). A motion calibration takes a few seconds of
 * ordinary arm motion instead (waving, turning the forearm over, raising
 * and lowering it, the wrist held loosely) and solves, from every frame of
 * the window, both the glove's heading offset (a turn about the up axis:
 * the glove's heading reference against the tracking frame) and the mount
 * (how the glove's reference row sits on the wrist tracker, a full
 * rotation), whatever the strap's position. Frames with a NaN, infinite
 * or zero orientation (tracking lost) are skipped, frames that repeat an
 * orientation weigh less, and frames in which the hand moved against the
 * tracker are weighted down. docs/motion-calibration.md describes the
 * model, the motion to ask of the user and each verdict.
 *
 * Once solved with a good verdict, the hand's calibration turns its rows
 * by the heading offset, so tarn_apply_hand, its batches and the drift
 * monitor work as for any calibration, and the output is the glove in the
 * tracking frame. The drift monitor takes the solved mount, and its
 * automatic re-calibration turns the trend residual out without waiting
 * for a still hand. */

/* Whether a window determines the calibration: good, or the reason it does
 * not (tarn_motion_verdict_string gives the message a host can show). */
typedef enum tarn_motion_verdict {
    TARN_MOTION_GOOD = 0,
    TARN_MOTION_TOO_FEW_FRAMES = 1,  /* fewer than 20 frames with both
                                        orientations */
    TARN_MOTION_TOO_SHORT = 2,       /* under 2 seconds from the first
                                        valid frame to the last */
    TARN_MOTION_TURN_OVER = 3,       /* the motion cannot tell the heading:
                                        the tracker tilted by less than 10
                                        degrees (root mean square), or the
                                        heading's standard error is above 2
                                        degrees */
    TARN_MOTION_HAND_MOVED = 4       /* the hand turned against the tracker
                                        by 15 degrees or more (root mean
                                        square) */
} tarn_motion_verdict;

/* The frames of a motion calibration, each array with its own stride (0:
 * packed), in the calibrator's convention. */
typedef struct tarn_motion_frames {
    const double* times;          /* seconds, 1 double a frame, never going
                                     back (nor from the last frame added) */
    size_t time_stride;
    const double* rows;           /* the glove's reference row, 4 doubles
                                     (a stride of 640 reads one row of
                                     every hand block) */
    size_t row_stride;
    const double* trackers;       /* the wrist tracker's orientations */
    size_t tracker_stride;
} tarn_motion_frames;

/* What a window gave. Angles in radians; headings about the world's up
 * axis in the library convention (counter-clockwise seen from above). */
typedef struct tarn_motion_result {
    tarn_motion_verdict verdict;
    double heading_offset;        /* the turn the hand's rows get about the
                                     up axis (tarn_get_hand_rotation's
                                     heading once applied); NaN before a
                                     solve */
    double heading_uncertainty;   /* one standard error of heading_offset,
                                     from the data (a jackknife over ten
                                     stretches of the window) */
    double mount[4];              /* how the glove's reference row sits on
                                     the tracker, tracker_from_glove, in the
                                     calibrator's convention, as fitted over
                                     the window (the strap's slow slip
                                     through it taken out) */
    double strap_turn;            /* the mount against the nominal one (the
                                     tracker's forward along the forearm):
                                     its turn about the forearm, -pi to pi */
    double strap_tilt;            /* and the tilt left, 0 to pi */
    double residual_spread;       /* how far the hand turned against the
                                     tracker, root mean square */
    double turning_round;         /* motion seen: the tracker's heading about
                                     its mean, root mean square */
    double turning_over;          /* and the tracker's tilt about its mean */
    double duration;              /* seconds from the first valid frame to
                                     the last */
    size_t frames_used;           /* frames with both orientations */
    size_t frames_skipped;        /* frames with a NaN, infinite or zero
                                     orientation */
} tarn_motion_result;

/* A fixed English message for every verdict ("good", "turn your forearm
 * over as well as round", ...); "unknown" for other values. Static. */
TARN_CALIBRATOR_API const char* tarn_motion_verdict_string(tarn_motion_verdict verdict);

/* Starts a window for one hand, with room for `capacity` frames (at 90
 * frames a second, 900 hold 10 seconds); adding frames never allocates
 * after this, and beyond the capacity each frame replaces the oldest. A
 * window already started is discarded. The hand's calibration is not
 * touched until tarn_motion_finish.
 * Statuses: TARN_INVALID_ARGUMENT (NULL, unknown hand, capacity 0),
 * TARN_OUT_OF_MEMORY. */
TARN_CALIBRATOR_API tarn_status tarn_motion_start(tarn_calibrator* calibrator, tarn_hand hand, size_t capacity);

/* Adds `count` frames to the hand's window.
 * Statuses: TARN_INVALID_ARGUMENT (NULL calibrator or frames, a NULL
 * array with a count above 0, unknown hand, no window started, bad count
 * or stride, a time that is NaN, infinite or goes back; nothing is
 * added). */
TARN_CALIBRATOR_API tarn_status tarn_motion_add(tarn_calibrator* calibrator, tarn_hand hand,
                                                const tarn_motion_frames* frames, size_t count);

/* The window so far, without solving: frames, duration, motion seen and
 * the verdict they allow (TARN_MOTION_GOOD here means enough frames, time
 * and motion; only tarn_motion_finish checks the hand against the
 * tracker). heading_offset, heading_uncertainty, mount, strap and
 * residual_spread are NaN. Cheap enough for every rendered frame.
 * Statuses: TARN_INVALID_ARGUMENT (NULL, unknown hand, no window). */
TARN_CALIBRATOR_API tarn_status tarn_motion_progress(const tarn_calibrator* calibrator, tarn_hand hand,
                                                     tarn_motion_result* result);

/* Solves the window. On a good verdict the hand's calibration becomes the
 * solved heading turn, its drift monitor restarts with the solved mount,
 * and the window ends (TARN_OK). Otherwise nothing changes, the window
 * stays open for more frames, and `result` says why
 * (TARN_DEGENERATE_INPUT).
 * Statuses: TARN_INVALID_ARGUMENT (NULL, unknown hand, no window),
 * TARN_DEGENERATE_INPUT. */
TARN_CALIBRATOR_API tarn_status tarn_motion_finish(tarn_calibrator* calibrator, tarn_hand hand,
                                                   tarn_motion_result* result);

/* The same over a recorded window in one call: start, add every frame,
 * finish. A window started for the hand is left as it was.
 * Statuses: TARN_INVALID_ARGUMENT (as tarn_motion_add), TARN_DEGENERATE_INPUT
 * (`result` says why; nothing changes), TARN_OUT_OF_MEMORY. */
TARN_CALIBRATOR_API tarn_status tarn_calibrate_hand_from_motion(tarn_calibrator* calibrator, tarn_hand hand,
                                                                const tarn_motion_frames* frames, size_t count,
                                                                tarn_motion_result* result);

/* The motion calibration the hand's calibration came from: its result as
 * tarn_motion_finish or tarn_calibrate_hand_from_motion gave it, or as a
 * restored string holds it (the mount in this calibrator's convention).
 * heading_offset is the solve's; drift corrections since are in the
 * hand's rotation (tarn_get_hand_rotation), not here.
 * Statuses: TARN_INVALID_ARGUMENT (NULL, unknown hand),
 * TARN_NOT_CALIBRATED (the hand has no calibration, or one from a single
 * frame: tarn_calibrate_hand, or a string that holds no motion). */
TARN_CALIBRATOR_API tarn_status tarn_get_motion_calibration(const tarn_calibrator* calibrator, tarn_hand hand,
                                                            tarn_motion_result* result);

/* ---- Saved calibrations ----------------------------------------------- */

/* Writes the calibrator's calibrations (not its convention) as a small
 * versioned byte string with a checksum. On TARN_OK *size is the number
 * of bytes written; on TARN_BUFFER_TOO_SMALL (buffer NULL or capacity too
 * small) it is the number needed and nothing is written. Ask for the
 * size: it changes with the format (303 bytes in 1.0 and 1.1, 665 since
 * 1.2).
 *
 * Since 1.2 the string also holds, per hand, the motion calibration the
 * hand's calibration came from (tarn_get_motion_calibration: the mount and
 * the heading's uncertainty among it), the drift monitor's settings, and
 * the drift rate the monitor went by with its standard error (its own fit,
 * or the rate it was restored with). No drift history is saved.
 * Statuses: TARN_INVALID_ARGUMENT (NULL calibrator or size),
 * TARN_BUFFER_TOO_SMALL. */
TARN_CALIBRATOR_API tarn_status tarn_calibrator_save(const tarn_calibrator* calibrator, unsigned char* buffer,
                                                     size_t capacity, size_t* size);

/* Replaces the calibrator's calibrations by those of a saved string,
 * bit for bit as they were saved (from a calibrator of any convention).
 * A string written by 1.2 or later also replaces, per hand, the motion
 * calibration, the drift settings and the rate: the monitor of a hand
 * calibrated from motion keeps the solved mount, and, with compensation
 * on, turns the calibration by the saved rate from its first frames until
 * its own fit takes over (tarn_drift_settings). A string written by 1.0 or
 * 1.1 leaves the drift settings as they are, and each monitor takes its
 * mount from its first frame.
 * The checksum finds damage; a string that passes it must still hold what
 * a calibration can make, or it is refused: every rotation a heading
 * (about the up axis) of unit length, both within 1e-9; every rotation a
 * calibrator always has, and each calibrated device's heading, present;
 * finite points within 1e7 m; the All-VR origin on the floor; a motion
 * calibration only for a calibrated hand, with a mount of unit length;
 * drift settings tarn_set_drift_settings would take; a finite rate
 * (docs/saved-calibrations.md has the whole list).
 * Statuses: TARN_INVALID_ARGUMENT (NULL), TARN_INVALID_SAVED_STATE (a
 * truncated, altered, forged or foreign string, or one of a newer
 * format). */
TARN_CALIBRATOR_API tarn_status tarn_calibrator_restore(tarn_calibrator* calibrator, const unsigned char* data,
                                                        size_t size);

#ifdef __cplusplus
}
#endif

#endif /* TARN_CALIBRATOR_H */
