// Former entry points of the flow models; every model now has its own header
// (potential flow, boundary layer, effective volume, transom and rudder).
#pragma once

#include "driver/case_state.h"
#include "platform/run_files.h"

namespace carinex {}  // namespace carinex
