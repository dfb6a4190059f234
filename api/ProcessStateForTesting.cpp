#include "api/ProcessState.h"

namespace tarn {

void resetProcessStateForTesting() { processState() = CalibrationState{}; }

}  // namespace tarn
