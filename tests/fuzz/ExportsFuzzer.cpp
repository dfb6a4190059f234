// Fuzz target: decodes bytes into a session of calls of the 16 exports with
// arbitrary doubles (NaN, infinities, denormals, huge values). Every array
// handed to an export is a heap block of exactly its stated length, so
// touching one element past it is reported; NULL is passed wherever the
// header allows it (second quaternions, spare pointers, arrays of devices
// that are off or not calibrated). The process-wide state goes back to its
// values at load before each input, so an input always replays the same way.
//
// Also checked, from the header's promises: the All-VR calibrations return
// true; GetDoubleHandCalibrationData writes nothing while no double-hand
// calibration is in force; the pose exports write nothing for a device the
// last All-VR calibration did not cover; an uncalibrated hand returns finite
// quaternions unchanged (a -0.0 as +0.0); calibrations read only.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzInput.h"
#include "GuardedArray.h"
#include "TarnHandCalibrationSDK.h"
#include "api/ProcessState.h"

namespace {

void require(bool condition)
{
    if (!condition) std::abort();
}

// An array of `count` fuzzed doubles, or NULL when absent, with a snapshot
// of its contents to tell afterwards whether the library wrote to it.
class Argument {
public:
    Argument(FuzzInput& in, std::size_t count, bool present = true)
        : array_(present ? count : 0), snapshot_(array_.size()), present_(present)
    {
        for (std::size_t k = 0; k < array_.size(); ++k) snapshot_[k] = array_[k] = in.number();
    }
    double* get() { return present_ ? array_.data() : nullptr; }
    bool unchanged() const
    {
        return array_.size() == 0 || std::memcmp(array_.data(), snapshot_.data(), array_.size() * sizeof(double)) == 0;
    }
    // Row by row, every row of finite values came back as it went in, with
    // -0.0 turned into +0.0.
    bool finiteRowsKept() const
    {
        for (std::size_t row = 0; row + 4 <= array_.size(); row += 4) {
            bool finite = true;
            for (std::size_t k = row; k < row + 4; ++k) finite = finite && std::isfinite(snapshot_[k]);
            for (std::size_t k = row; finite && k < row + 4; ++k) {
                const double expected = snapshot_[k] + 0.0;
                if (std::memcmp(&array_[k], &expected, sizeof expected) != 0) return false;
            }
        }
        return true;
    }

private:
    GuardedArray array_;
    std::vector<double> snapshot_;
    bool present_;
};

// A device's position and quaternion (and, for a tracker in a calibration,
// its second position and second quaternion). Arrays of a device that is
// off or not calibrated may be NULL; a second quaternion always may.
struct Device {
    Device(FuzzInput& in, bool required, bool tracker = false)
        : present(required || in.flag()), position(in, 3, present), position2(in, 3, present && tracker),
          quaternion(in, 4, present), quaternion2(in, 4, tracker && in.flag())
    {
    }
    bool unchanged() const
    {
        return position.unchanged() && position2.unchanged() && quaternion.unchanged() && quaternion2.unchanged();
    }
    bool present;
    Argument position, position2, quaternion, quaternion2;
};

bool isCalibrated(int device)
{
    const tarn::AllVRCalibrationState& s = tarn::processState().allVR;
    return device == 0 ? s.rTrackerCalibrated : device == 1 ? s.lTrackerCalibrated : s.vrGlassesCalibrated;
}

class Session {
public:
    explicit Session(FuzzInput& in) : in_(in) {}

    void run()
    {
        for (int call = 0; call < 48 && !in_.exhausted(); ++call) runCall();
    }

private:
    void runCall()
    {
        switch (in_.pick(11)) {
        case 0: calibrateHand(); break;
        case 1: applyHand(); break;
        case 2: calibrateDoubleHand(); break;
        case 3: applyDoubleHand(); break;
        case 4: ResetDoubleHandCalibration(); doubleHandCalibrated_ = false; break;
        case 5: case 6: calibrateAllVR(); break;
        case 7: case 8: poses(); break;
        case 9: Close(); handCalibrated_[0] = handCalibrated_[1] = false; break;
        default: in_.flag() ? GetAllmHand() : ResetAllVRCalibration(); break;
        }
    }

    void calibrateHand()
    {
        Argument source(in_, 4), target(in_, 4);
        const bool right = in_.flag();
        (right ? InitialRHand : InitialLHand)(source.get(), target.get());
        handCalibrated_[right ? 0 : 1] = true;
        require(source.unchanged() && target.unchanged());
    }

    void applyHand()
    {
        Argument hand(in_, 80);
        const bool right = in_.flag();
        (right ? GetCalculationDataRHand : GetCalculationDataLHand)(hand.get());
        require(handCalibrated_[right ? 0 : 1] || hand.finiteRowsKept());
    }

    void calibrateDoubleHand()
    {
        Argument p1(in_, 3), p2(in_, 3);
        doubleHandCalibrated_ = InitialDoubleCalibration(p1.get(), p2.get());
        require(p1.unchanged() && p2.unchanged());
    }

    void applyDoubleHand()
    {
        Argument h1(in_, 80), h2(in_, 80), p1(in_, 3), p2(in_, 3);
        GetDoubleHandCalibrationData(h1.get(), h2.get(), p1.get(), p2.get());
        require(doubleHandCalibrated_ || (h1.unchanged() && h2.unchanged() && p1.unchanged() && p2.unchanged()));
    }

    void calibrateAllVR()
    {
        const bool on[3] = {in_.flag(), in_.flag(), in_.flag()};
        Device r(in_, on[0], true), l(in_, on[1], true), h(in_, on[2]);
        const bool v2 = in_.flag();
        const bool result =
            v2 ? InitialAllVRCalibrationV2(on[0], r.position.get(), r.position2.get(), r.quaternion.get(),
                                           r.quaternion2.get(), on[1], l.position.get(), l.position2.get(),
                                           l.quaternion.get(), l.quaternion2.get(), on[2], h.position.get(),
                                           h.quaternion.get(), in_.flag())
               : InitialAllVRCalibration(on[0], r.position.get(), r.position2.get(), r.quaternion.get(),
                                         r.quaternion2.get(), on[1], l.position.get(), l.position2.get(),
                                         l.quaternion.get(), l.quaternion2.get(), on[2], h.position.get(),
                                         h.quaternion.get());
        require(result && r.unchanged() && l.unchanged() && h.unchanged());
    }

    // One device's pose export, or all three at once (with NULL or empty
    // spare pointers, which are never used).
    void poses()
    {
        const bool calibrated[3] = {isCalibrated(0), isCalibrated(1), isCalibrated(2)};
        Device d[3] = {Device(in_, calibrated[0]), Device(in_, calibrated[1]), Device(in_, calibrated[2])};
        const int which = in_.pick(4);
        void (*single[3])(double*, double*) = {GetAllRTracker, GetAllLTracker, GetAllVRGlasses};
        if (which < 3) {
            single[which](d[which].position.get(), d[which].quaternion.get());
        } else {
            Argument rSpare(in_, 0, in_.flag()), lSpare(in_, 0, in_.flag());
            GetAllVRCalibrationData(d[0].position.get(), d[0].quaternion.get(), rSpare.get(), d[1].position.get(),
                                    d[1].quaternion.get(), lSpare.get(), d[2].position.get(), d[2].quaternion.get());
        }
        for (int k = 0; k < 3; ++k) require(calibrated[k] || d[k].unchanged());
    }

    FuzzInput& in_;
    bool handCalibrated_[2] = {false, false};
    bool doubleHandCalibrated_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tarn::resetProcessStateForTesting();
    FuzzInput in(data, size);
    Session(in).run();
    return 0;
}
