#include "DevicePoseExport.h"

#include "TarnHandCalibrationSDK.h"

void convertDevicePose(Device device, double* position, double* orientation)
{
    switch (device) {
    case Device::RightTracker: GetAllRTracker(position, orientation); break;
    case Device::LeftTracker: GetAllLTracker(position, orientation); break;
    case Device::Headset: GetAllVRGlasses(position, orientation); break;
    }
}
