#include "platform/run_time_error.h"

#include <array>
#include <utility>

namespace glowreel {

namespace {
constexpr std::array<std::pair<int32_t, const char*>, 10> kDescriptions{{
    {kErrOverflow, "Overflow"},
    {kErrOutOfMemory, "Out of memory"},
    {kErrSubscriptOutOfRange, "Subscript out of range"},
    {kErrTypeMismatch, "Type mismatch"},
    {kErrBadFileName, "Bad file name or number"},
    {kErrFileNotFound, "File not found"},
    {kErrDeviceIO, "Device I/O error"},
    {kErrPermissionDenied, "Permission denied"},
    {kErrPathFileAccess, "Path/File access error"},
    {kErrDialogCancelled, "Cancel was selected."},
}};
}  // namespace

std::string ErrorDescription(int32_t number) {
  for (const auto& [n, text] : kDescriptions) {
    if (n == number) return text;
  }
  return "";
}

RunTimeError::RunTimeError(int32_t number) : RunTimeError(number, ErrorDescription(number)) {}

RunTimeError::RunTimeError(int32_t number, const std::string& description)
    : std::runtime_error(description), number_(number) {}

}  // namespace glowreel
