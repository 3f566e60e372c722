#include "platform/report_error.h"

#include "platform/platform.h"

namespace glowreel {

namespace {
std::string ErrorReportText(const RunTimeError& error) {
  return "An error has occured: \r\n" + std::to_string(error.Number()) + " - " +
         error.Description();
}
}  // namespace

void ReportError(const RunTimeError& error) {
  MsgBox(ErrorReportText(error), "Error");
}

}  // namespace glowreel
