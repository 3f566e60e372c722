#include "app/port_opening.h"

#include <algorithm>
#include <cstdio>

#include "core/display_facts.h"
#include "platform/report_error.h"

namespace glowreel {

int OpenDisplayPort(PortContext& port, const char* setting) {
  InstallPort(&port);
  const std::vector<RunTimeError> failures = port.Open(setting ? setting : "", kFirstParallelPort);
  for (const RunTimeError& failure : failures) ReportError(failure);
  if (failures.empty()) return 0;
  InstallPort(nullptr);
  const bool wrongKind = std::any_of(failures.begin(), failures.end(), [](const auto& failure) {
    return failure.Number() == kErrBadFileName;
  });
  if (wrongKind) return kWrongUse;
  if (!setting) std::fputs("glowreel-play: name the port with --port (see --help)\n", stderr);
  return kPortBusy;
}

}  // namespace glowreel
