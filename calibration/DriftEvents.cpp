#include "calibration/DriftEvents.h"

#include <algorithm>

namespace tarn {

void DriftEvents::push(const DriftEvent& event)
{
    if (count_ == kKept) {
        first_ = (first_ + 1) % kKept;
        --count_;
    }
    events_[(first_ + count_) % kKept] = event;
    ++count_;
}

std::size_t DriftEvents::take(DriftEvent* out, std::size_t capacity)
{
    const std::size_t taken = std::min(capacity, count_);
    for (std::size_t k = 0; k < taken; ++k) out[k] = events_[(first_ + k) % kKept];
    first_ = (first_ + taken) % kKept;
    count_ -= taken;
    return taken;
}

}  // namespace tarn
