#include "platform/report_error.h"

#include "platform/platform.h"

namespace glowreel {

namespace {
uint64_t reports = 0;
}  // namespace

void ReportError(const RunTimeError& error) {
  ++reports;
  MsgBox(
      "An error has occured: \r\n" + std::to_string(error.Number()) + " - " + error.Description(),
      "Error");
}

uint64_t ReportCount() {
  return reports;
}

}  // namespace glowreel
