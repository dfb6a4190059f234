// tarn-replay and its generator work in namespace replay over the session
// library's types (session/): brought in here, once.
#pragma once

#include "ColumnCheck.h"
#include "Frame.h"
#include "SessionError.h"
#include "SessionLayout.h"
#include "SessionReader.h"
#include "SessionWriter.h"

namespace replay {
using namespace session;
}  // namespace replay
