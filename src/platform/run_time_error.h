#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace glowreel {

// Error numbers the program raises or reports.
enum ErrorNumber : int32_t {
  kErrOverflow = 6,
  kErrOutOfMemory = 7,
  kErrSubscriptOutOfRange = 9,
  kErrTypeMismatch = 13,
  kErrBadFileName = 52,
  kErrFileNotFound = 53,
  kErrDeviceIO = 57,
  kErrPermissionDenied = 70,
  kErrPathFileAccess = 75,
  kErrDialogCancelled = 32755,
};

// The platform's description text of an error number ("" for numbers it does not know).
std::string ErrorDescription(int32_t number);

// A run-time error: a number and its description.
class RunTimeError : public std::runtime_error {
 public:
  explicit RunTimeError(int32_t number);
  RunTimeError(int32_t number, const std::string& description);
  int32_t Number() const { return number_; }
  std::string Description() const { return what(); }

 private:
  int32_t number_;
};

}  // namespace glowreel
