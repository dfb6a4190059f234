// The All-VR pose output export that belongs to each device.
#pragma once

#include "Frame.h"

// Calls GetAllRTracker, GetAllLTracker or GetAllVRGlasses for `device`:
// position (3) and orientation (4) are converted in place when the last
// All-VR calibration covered the device, and left alone otherwise.
void convertDevicePose(Device device, double* position, double* orientation);
