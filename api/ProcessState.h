#pragma once
// The one calibration state of the process, behind the 16 exports: built
// before any export can run, destroyed at unload.
#include "calibration/CalibrationState.h"

namespace tarn {

CalibrationState& processState();

// Puts the process state back to its values at load. Built only into the
// test-only library of the exports (tarn_exports_in_process), for tests
// that replay several sessions in one process.
void resetProcessStateForTesting();

}  // namespace tarn
