#pragma once
// The changes a drift monitor made to a hand's calibration, kept until the
// host takes them: the last kKept, oldest first.
#include <array>
#include <cstddef>

namespace tarn {

enum class DriftEventKind { Recalibration = 1, Compensation = 2 };

struct DriftEvent {
    DriftEventKind kind;
    double time;            // of the frame it happened after
    double residualBefore;  // the trend residual just before
    double residualAfter;   // and just after
};

class DriftEvents {
public:
    static constexpr std::size_t kKept = 64;

    // Keeps `event`, dropping the oldest when kKept are kept already.
    void push(const DriftEvent& event);
    // Moves up to `capacity` events, oldest first, to `out`; how many.
    std::size_t take(DriftEvent* out, std::size_t capacity);

private:
    std::array<DriftEvent, kKept> events_{};
    std::size_t first_ = 0, count_ = 0;
};

}  // namespace tarn
