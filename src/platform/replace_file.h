#pragma once

#include <string>

#include "platform/unique_fd.h"

namespace glowreel {

// A file written beside the one it replaces and put in its place only when whole, so that a
// failure at any point leaves the old file as it was and no temporary behind. A symbolic link is
// written through to its target; the new file keeps the old one's mode, or has the usual mode
// for the user's umask.
class ReplacementFile {
 public:
  explicit ReplacementFile(const std::string& path);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // The temporary's descriptor, or -1 when it could not be made (Error() tells why).
  int Fd() const { return fd_.get(); }
  const std::string& Error() const { return error_; }
  // Writes every byte; false with Error() set when that fails.
  bool Write(const char* data, std::size_t size);
  // Closes the temporary and renames it over the destination. Returns "" or the reason.
  std::string Commit();

 private:
  std::string target_;
  std::string temporary_;
  UniqueFd fd_;
  std::string error_;
};

}  // namespace glowreel
