#pragma once
// What the integrator API's source files share: the handle behind
// tarn_calibrator, and the checks and guard every function applies at the
// C boundary.
#include <cstddef>
#include <new>

#include "TarnCalibrator.h"
#include "calibration/Calibrator.h"
#include "matrix/ErrorLine.h"

struct tarn_calibrator {
    tarn::Calibrator engine;
};

namespace tarn::api {

// Runs `body` with the engine's error lines diverted and its exceptions
// caught. An error line means the engine met an input it cannot use.
template <class Body>
inline tarn_status guarded(Body body) noexcept
{
    try {
        ErrorLineCounter lines;
        const Status status = body();
        return lines.count() == 0 ? static_cast<tarn_status>(status) : TARN_INVALID_ARGUMENT;
    } catch (const std::bad_alloc&) {
        return TARN_OUT_OF_MEMORY;
    } catch (...) {
        return TARN_INVALID_ARGUMENT;
    }
}

inline bool isHand(tarn_hand hand) { return hand == TARN_RIGHT_HAND || hand == TARN_LEFT_HAND; }
inline Hand handOf(tarn_hand hand) { return hand == TARN_RIGHT_HAND ? Hand::Right : Hand::Left; }

// A stride is 0 (packed) or a whole number of doubles no smaller than one
// frame.
inline bool validStride(std::size_t stride, std::size_t doubles)
{
    return stride % sizeof(double) == 0 && (stride == 0 || stride >= doubles * sizeof(double));
}

// A frame array: data may be null only when there are no frames.
inline bool validFrames(const double* data, std::size_t stride, std::size_t doubles, std::size_t count)
{
    return (data != nullptr || count == 0) && validStride(stride, doubles);
}

}  // namespace tarn::api
