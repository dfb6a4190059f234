#pragma once
// What the integrator API's source files share: the handle behind
// tarn_calibrator, and the checks and guard every function applies at the
// C boundary.
#include <cstddef>
#include <cstdint>
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
inline tarn_status statusOf(Body body) noexcept
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

// Whether `count` frames of `doubles` each, frame k at byte offset
// k * stride from `data` (stride 0: packed), make an array a host can
// own: the stride a whole number of doubles no smaller than one frame, and
// the end of the last frame no more than PTRDIFF_MAX bytes past `data` and
// not past the top of the address space (so no offset the engine forms
// wraps round). A null `data` is an absent array: only its stride counts.
inline bool validLayout(const void* data, std::size_t stride, std::size_t doubles, std::size_t count)
{
    const std::size_t frame = doubles * sizeof(double);
    if (stride % sizeof(double) != 0 || (stride != 0 && stride < frame)) return false;
    if (data == nullptr || count == 0) return true;
    const std::size_t step = stride != 0 ? stride : frame;
    const std::uintptr_t above = UINTPTR_MAX - reinterpret_cast<std::uintptr_t>(data);
    const std::size_t room = above < static_cast<std::uintptr_t>(PTRDIFF_MAX) ? static_cast<std::size_t>(above)
                                                                                 : static_cast<std::size_t>(PTRDIFF_MAX);
    return frame <= room && count - 1 <= (room - frame) / step;
}

// A frame array that must be there when there are frames.
inline bool validFrames(const void* data, std::size_t stride, std::size_t doubles, std::size_t count)
{
    return (data != nullptr || count == 0) && validLayout(data, stride, doubles, count);
}

}  // namespace tarn::api
