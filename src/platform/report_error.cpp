#include "platform/report_error.h"

#include "platform/platform.h"

namespace glowreel {

void ReportError(const RunTimeError& error) {
  MsgBox(
      "An error has occured: \r\n" + std::to_string(error.Number()) + " - " + error.Description(),
      "Error");
}

}  // namespace glowreel
