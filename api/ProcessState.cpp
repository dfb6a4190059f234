#include "api/ProcessState.h"

namespace tarn {

namespace {
CalibrationState gProcessState;  // constructed at load, destroyed at unload
}  // namespace

CalibrationState& processState() { return gProcessState; }

}  // namespace tarn
