#pragma once
// A test fixture whose every test starts from the library's state at load.
#include <gtest/gtest.h>

#include "TarnHandCalibrationSDK.h"
#include "calibration/CalibrationState.h"

class FreshLibrary : public ::testing::Test {
protected:
    void SetUp() override { calibrationState() = CalibrationState{}; }
};
