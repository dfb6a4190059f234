// The exported C functions: thin wrappers over the calibration families.
// No C++ exception crosses this boundary: the only one the library can
// raise is an allocation failure, and an export that meets it returns
// without further effect (false from InitialDoubleCalibration).
#include "TarnHandCalibrationSDK.h"

#include "api/ProcessState.h"
#include "calibration/AllVR.h"
#include "calibration/DoubleHand.h"
#include "calibration/SingleHand.h"

using namespace tarn;

namespace {

SingleHandState& singleHand() { return processState().singleHand; }
DoubleHandState& doubleHand() { return processState().doubleHand; }
AllVRCalibrationState& allVR() { return processState().allVR; }

// Runs `body`, ending any exception it throws here: an export has no way
// to report a failure, and none may cross the C boundary.
template <class Body>
void swallowingExceptions(Body body) noexcept
{
    try {
        body();
    } catch (...) {
    }
}

}  // namespace

extern "C" {

TARN_API void InitialRHand(const double* source, const double* target)
{
    swallowingExceptions([&] { calibrateHand(singleHand(), Hand::Right, source, target); });
}

TARN_API void InitialLHand(const double* source, const double* target)
{
    swallowingExceptions([&] { calibrateHand(singleHand(), Hand::Left, source, target); });
}

TARN_API void GetCalculationDataRHand(double* handData)
{
    swallowingExceptions([&] { applyHandCalibration(singleHand(), Hand::Right, handData); });
}

TARN_API void GetCalculationDataLHand(double* handData)
{
    swallowingExceptions([&] { applyHandCalibration(singleHand(), Hand::Left, handData); });
}

TARN_API bool InitialDoubleCalibration(const double* position1, const double* position2)
{
    bool calibrated = false;
    swallowingExceptions([&] { calibrated = calibrateDoubleHand(doubleHand(), position1, position2); });
    return calibrated;
}

TARN_API void GetDoubleHandCalibrationData(double* hand1, double* hand2, double* position1, double* position2)
{
    swallowingExceptions([&] { applyDoubleHandCalibration(doubleHand(), hand1, hand2, position1, position2); });
}

TARN_API void ResetDoubleHandCalibration(void)
{
    swallowingExceptions([] { resetDoubleHandCalibration(doubleHand()); });
}

TARN_API bool InitialAllVRCalibrationV2(bool rTrackerOn, const double* rTrackerPos, const double* rTrackerPos2,
                                        const double* rTrackerQuat, const double* rTrackerQuat2, bool lTrackerOn,
                                        const double* lTrackerPos, const double* lTrackerPos2,
                                        const double* lTrackerQuat, const double* lTrackerQuat2, bool vrGlassesOn,
                                        const double* vrGlassesPos, const double* vrGlassesQuat, bool replaceOrigin)
{
    const TrackerInput right{rTrackerOn, rTrackerPos, rTrackerPos2, rTrackerQuat, rTrackerQuat2};
    const TrackerInput left{lTrackerOn, lTrackerPos, lTrackerPos2, lTrackerQuat, lTrackerQuat2};
    const HeadsetInput headset{vrGlassesOn, vrGlassesPos, vrGlassesQuat};
    swallowingExceptions([&] { calibrateAllVR(allVR(), right, left, headset, replaceOrigin); });
    return true;
}

TARN_API bool InitialAllVRCalibration(bool rTrackerOn, const double* rTrackerPos, const double* rTrackerPos2,
                                      const double* rTrackerQuat, const double* rTrackerQuat2, bool lTrackerOn,
                                      const double* lTrackerPos, const double* lTrackerPos2,
                                      const double* lTrackerQuat, const double* lTrackerQuat2, bool vrGlassesOn,
                                      const double* vrGlassesPos, const double* vrGlassesQuat)
{
    return InitialAllVRCalibrationV2(rTrackerOn, rTrackerPos, rTrackerPos2, rTrackerQuat, rTrackerQuat2, lTrackerOn,
                                     lTrackerPos, lTrackerPos2, lTrackerQuat, lTrackerQuat2, vrGlassesOn,
                                     vrGlassesPos, vrGlassesQuat, true);
}

TARN_API void GetAllRTracker(double* position, double* quaternion)
{
    swallowingExceptions([&] { convertVRPose(allVR(), VRDevice::RightTracker, position, quaternion); });
}

TARN_API void GetAllLTracker(double* position, double* quaternion)
{
    swallowingExceptions([&] { convertVRPose(allVR(), VRDevice::LeftTracker, position, quaternion); });
}

TARN_API void GetAllVRGlasses(double* position, double* quaternion)
{
    swallowingExceptions([&] { convertVRPose(allVR(), VRDevice::Headset, position, quaternion); });
}

TARN_API void GetAllVRCalibrationData(double* rTrackerPos, double* rTrackerQuat, double* /*rSpare*/,
                                      double* lTrackerPos, double* lTrackerQuat, double* /*lSpare*/,
                                      double* vrGlassesPos, double* vrGlassesQuat)
{
    swallowingExceptions([&] {
        convertVRPose(allVR(), VRDevice::RightTracker, rTrackerPos, rTrackerQuat);
        convertVRPose(allVR(), VRDevice::LeftTracker, lTrackerPos, lTrackerQuat);
        convertVRPose(allVR(), VRDevice::Headset, vrGlassesPos, vrGlassesQuat);
    });
}

TARN_API void GetAllmHand(void) {}

TARN_API void ResetAllVRCalibration(void) {}

TARN_API void Close(void)
{
    swallowingExceptions([] { resetHandCalibrations(singleHand()); });
}

}  // extern "C"
