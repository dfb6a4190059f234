/* The C side of batch_benchmark.py: the session batch timed from C, with
 * the clock read here, on the arrays and the calibrator the Python side
 * uses. Built by the benchmark against the libTarnCalibrator it loaded. */
#define _POSIX_C_SOURCE 199309L
#include <stddef.h>
#include <time.h>

#include "TarnCalibrator.h"

/* Both hands and the three devices, `count` packed frames each, in place.
 * Returns the seconds the five calls took, or -1 when one refused. */
__attribute__((visibility("default"))) double tarn_time_session_batch(const tarn_calibrator* calibrator,
                                                                      double* right_hand, double* left_hand,
                                                                      double* const positions[3],
                                                                      double* const quaternions[3], size_t count)
{
    struct timespec start, end;
    int refused = 0;
    clock_gettime(CLOCK_MONOTONIC, &start);
    refused |= tarn_apply_hand(calibrator, TARN_RIGHT_HAND, right_hand, 0, count) != TARN_OK;
    refused |= tarn_apply_hand(calibrator, TARN_LEFT_HAND, left_hand, 0, count) != TARN_OK;
    refused |= tarn_apply_device(calibrator, TARN_RIGHT_TRACKER, positions[0], 0, quaternions[0], 0, count) != TARN_OK;
    refused |= tarn_apply_device(calibrator, TARN_LEFT_TRACKER, positions[1], 0, quaternions[1], 0, count) != TARN_OK;
    refused |= tarn_apply_device(calibrator, TARN_HEADSET, positions[2], 0, quaternions[2], 0, count) != TARN_OK;
    clock_gettime(CLOCK_MONOTONIC, &end);
    return refused ? -1.0 : (double)(end.tv_sec - start.tv_sec) + 1e-9 * (double)(end.tv_nsec - start.tv_nsec);
}
