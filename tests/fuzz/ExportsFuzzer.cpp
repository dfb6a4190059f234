// Fuzz target: decodes bytes into a session of calls of the 16 exports with
// arbitrary doubles (NaN, infinities, denormals, huge values). Every array
// handed to an export is placed at the very end of a guarded allocation, so
// touching one element past its stated length faults; NULL is passed
// wherever the header allows it (second quaternions, spare pointers, arrays
// of devices that are off or not calibrated). The process-wide state goes
// back to its values at load before each input, so an input always replays
// the same way.
//
// Also checked, from the header's promises: the All-VR calibrations return
// true; GetDoubleHandCalibrationData writes nothing while no double-hand
// calibration is in force; the pose exports write nothing for a device the
// last All-VR calibration did not cover; an uncalibrated hand returns finite
// quaternions unchanged (a -0.0 as +0.0).
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

constexpr int kMaxCalls = 48;
constexpr std::size_t kHandLength = 80;

void require(bool condition)
{
    if (!condition) std::abort();
}

// An array of `count` fuzzed doubles with a snapshot of its contents, to
// tell afterwards whether the library wrote to it.
class Argument {
public:
    Argument(FuzzInput& in, std::size_t count) : array_(count), snapshot_(count)
    {
        for (std::size_t k = 0; k < count; ++k) snapshot_[k] = array_[k] = in.number();
    }
    double* data() { return array_.data(); }
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
            if (!finite) continue;
            for (std::size_t k = row; k < row + 4; ++k) {
                const double expected = snapshot_[k] + 0.0;
                if (std::memcmp(&array_[k], &expected, sizeof expected) != 0) return false;
            }
        }
        return true;
    }

private:
    GuardedArray array_;
    std::vector<double> snapshot_;
};

// An array that may be absent: NULL, or a guarded array of fuzzed doubles.
class OptionalArgument {
public:
    OptionalArgument(FuzzInput& in, std::size_t count, bool present)
        : argument_(in, present ? count : 0), present_(present)
    {
    }
    double* get() { return present_ ? argument_.data() : nullptr; }
    bool unchanged() const { return argument_.unchanged(); }

private:
    Argument argument_;
    bool present_;
};

// A wrist tracker's arrays for an All-VR calibration. Those of a tracker
// that is off may be NULL; the second quaternion always may.
struct TrackerArguments {
    TrackerArguments(FuzzInput& in, bool on)
        : present(on || in.flag()),
          position(in, 3, present),
          position2(in, 3, present),
          quaternion(in, 4, present),
          quaternion2(in, 4, in.flag())
    {
    }
    bool unchanged() const
    {
        return position.unchanged() && position2.unchanged() && quaternion.unchanged() && quaternion2.unchanged();
    }

    bool present;
    OptionalArgument position;
    OptionalArgument position2;
    OptionalArgument quaternion;
    OptionalArgument quaternion2;
};

// A device pose for the pose exports; NULL allowed only while the device
// is not calibrated.
struct PoseArguments {
    PoseArguments(FuzzInput& in, bool calibrated)
        : present(calibrated || in.flag()), position(in, 3, present), quaternion(in, 4, present)
    {
    }
    bool unchanged() const { return position.unchanged() && quaternion.unchanged(); }

    bool present;
    OptionalArgument position;
    OptionalArgument quaternion;
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
        for (int call = 0; call < kMaxCalls && !in_.exhausted(); ++call) runCall();
    }

private:
    void runCall()
    {
        switch (in_.pick(12)) {
        case 0: calibrateHand(); break;
        case 1: applyHand(); break;
        case 2: calibrateDoubleHand(); break;
        case 3: applyDoubleHand(); break;
        case 4: ResetDoubleHandCalibration(); doubleHandCalibrated_ = false; break;
        case 5:
        case 6: calibrateAllVR(); break;
        case 7:
        case 8: poseOfOneDevice(); break;
        case 9: poseOfAllDevices(); break;
        case 10: Close(); rightCalibrated_ = leftCalibrated_ = false; break;
        default: in_.flag() ? GetAllmHand() : ResetAllVRCalibration(); break;
        }
    }

    void calibrateHand()
    {
        Argument source(in_, 4), target(in_, 4);
        if (in_.flag()) {
            InitialRHand(source.data(), target.data());
            rightCalibrated_ = true;
        } else {
            InitialLHand(source.data(), target.data());
            leftCalibrated_ = true;
        }
        require(source.unchanged() && target.unchanged());
    }

    void applyHand()
    {
        Argument hand(in_, kHandLength);
        const bool right = in_.flag();
        right ? GetCalculationDataRHand(hand.data()) : GetCalculationDataLHand(hand.data());
        const bool calibrated = right ? rightCalibrated_ : leftCalibrated_;
        require(calibrated || hand.finiteRowsKept());
    }

    void calibrateDoubleHand()
    {
        Argument p1(in_, 3), p2(in_, 3);
        doubleHandCalibrated_ = InitialDoubleCalibration(p1.data(), p2.data());
        require(p1.unchanged() && p2.unchanged());
    }

    void applyDoubleHand()
    {
        Argument h1(in_, kHandLength), h2(in_, kHandLength), p1(in_, 3), p2(in_, 3);
        GetDoubleHandCalibrationData(h1.data(), h2.data(), p1.data(), p2.data());
        require(doubleHandCalibrated_ || (h1.unchanged() && h2.unchanged() && p1.unchanged() && p2.unchanged()));
    }

    void calibrateAllVR()
    {
        const bool rOn = in_.flag(), lOn = in_.flag(), glassesOn = in_.flag();
        TrackerArguments r(in_, rOn), l(in_, lOn);
        const bool glassesPresent = glassesOn || in_.flag();
        OptionalArgument glassesPosition(in_, 3, glassesPresent), glassesQuaternion(in_, 4, glassesPresent);
        const bool result =
            in_.flag()
                ? InitialAllVRCalibrationV2(rOn, r.position.get(), r.position2.get(), r.quaternion.get(),
                                            r.quaternion2.get(), lOn, l.position.get(), l.position2.get(),
                                            l.quaternion.get(), l.quaternion2.get(), glassesOn,
                                            glassesPosition.get(), glassesQuaternion.get(), in_.flag())
                : InitialAllVRCalibration(rOn, r.position.get(), r.position2.get(), r.quaternion.get(),
                                          r.quaternion2.get(), lOn, l.position.get(), l.position2.get(),
                                          l.quaternion.get(), l.quaternion2.get(), glassesOn, glassesPosition.get(),
                                          glassesQuaternion.get());
        require(result);
        require(r.unchanged() && l.unchanged() && glassesPosition.unchanged() && glassesQuaternion.unchanged());
    }

    void poseOfOneDevice()
    {
        const int device = in_.pick(3);
        const bool calibrated = isCalibrated(device);
        PoseArguments pose(in_, calibrated);
        switch (device) {
        case 0: GetAllRTracker(pose.position.get(), pose.quaternion.get()); break;
        case 1: GetAllLTracker(pose.position.get(), pose.quaternion.get()); break;
        default: GetAllVRGlasses(pose.position.get(), pose.quaternion.get()); break;
        }
        require(calibrated || pose.unchanged());
    }

    void poseOfAllDevices()
    {
        const bool calibrated[3] = {isCalibrated(0), isCalibrated(1), isCalibrated(2)};
        PoseArguments r(in_, calibrated[0]), l(in_, calibrated[1]), glasses(in_, calibrated[2]);
        // Never used: NULL or an array of no elements at all.
        OptionalArgument rSpare(in_, 0, in_.flag()), lSpare(in_, 0, in_.flag());
        GetAllVRCalibrationData(r.position.get(), r.quaternion.get(), rSpare.get(), l.position.get(),
                                l.quaternion.get(), lSpare.get(), glasses.position.get(), glasses.quaternion.get());
        require(calibrated[0] || r.unchanged());
        require(calibrated[1] || l.unchanged());
        require(calibrated[2] || glasses.unchanged());
    }

    FuzzInput& in_;
    bool rightCalibrated_ = false;
    bool leftCalibrated_ = false;
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
