#pragma once
// What an operation of a calibrator returns; the values are those of
// include/TarnCalibrator.h's tarn_status. One that does not return Ok has
// changed neither the calibrator nor the caller's arrays.

namespace tarn {

enum class Status {
    Ok = 0,
    InvalidArgument = 1,
    DegenerateInput = 2,
    NotCalibrated = 3,
    BufferTooSmall = 4,
    InvalidSavedState = 5,
    OutOfMemory = 6,
};

}  // namespace tarn
