#pragma once
// The caller's arrays of frames as a calibrator reads and writes them, and
// a hand block seen in the library's convention.
#include <algorithm>
#include <cstddef>

#include "calibration/HostConvention.h"

namespace tarn {

constexpr std::size_t kHandDoubles = 80;  // a hand block: 20 quaternions

// `count` frames of doubles, frame k at byte offset k * stride (stride 0:
// packed frames of the natural size). The integrator API has checked that
// every offset it forms fits.
struct Frames {
    double* data;
    std::size_t stride;
    double* frame(std::size_t k, std::size_t doubles) const
    {
        const std::size_t bytes = stride != 0 ? stride : doubles * sizeof(double);
        return reinterpret_cast<double*>(reinterpret_cast<unsigned char*>(data) + k * bytes);
    }
};

// The frames of a tracked hand: times (1 double each), the hand's blocks,
// the wrist tracker's orientations and, optionally (data null), where each
// frame's drift residual and trend residual go (1 double each).
struct TrackedHandFrames {
    Frames times, blocks, trackers, residuals;
    Frames trends{nullptr, 0};
};

// The frames of a motion calibration: times, the glove's reference row
// and the wrist tracker's orientation (4 doubles each).
struct MotionFrames {
    Frames times, rows, trackers;
};

// Where the parts of a host's frame record lie: byte offsets from the
// record's start (kAbsent: not in the record), checked by the caller to
// lie within the record without overlapping.
struct FrameLayout {
    static constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);
    std::size_t hand[2];         // right, left: a hand block of 80 doubles
    std::size_t position[3];     // by VRDevice: 3 doubles
    std::size_t orientation[3];  // by VRDevice: 4 doubles
};

// A hand block in the library's convention for the length of one
// conversion: the caller's own block when it is in that convention, else
// a converted copy that store() converts back into the caller's block.
class LibraryBlock {
public:
    LibraryBlock(Convention convention, double* block) : convention_(convention), block_(block)
    {
        if (convention_ == Convention::Library) return;
        for (std::size_t row = 0; row < kHandDoubles; row += 4)
            quaternionToLibrary(convention_, block_ + row, copy_ + row);
    }
    double* data() { return convention_ == Convention::Library ? block_ : copy_; }
    void store()
    {
        if (convention_ == Convention::Library) return;
        for (std::size_t row = 0; row < kHandDoubles; row += 4)
            quaternionFromLibrary(convention_, copy_ + row, block_ + row);
    }

private:
    Convention convention_;
    double* block_;
    double copy_[kHandDoubles];
};

}  // namespace tarn
