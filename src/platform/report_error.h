#pragma once

#include "platform/run_time_error.h"

namespace glowreel {

// The one way a trapped procedure reports a run-time error: a modal "Error" box. The caller
// then goes on with its next step.
void ReportError(const RunTimeError& error);

}  // namespace glowreel
