#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/run_time_error.h"
#include "platform/unique_fd.h"

// Files read whole, movies and pictures alike: only regular files, since a device or a pipe
// could deliver without end or block the program, and none larger than a movie may be.
namespace glowreel {

// Far above any real movie (a frame is about 200 bytes): hours of frames at a tenth of a second.
inline constexpr off_t kLargestWholeFile = off_t{128} << 20;

// The one way a file the programs read is opened: without blocking (a FIFO or a device named
// as a movie or picture would otherwise hang the program), regular files only, none over
// kLargestWholeFile. 0, or the number of the error.
int32_t OpenRegularFile(const std::string& path, UniqueFd& file, off_t& size);

// What is left of an open file into `bytes`; 0, or the number of the error that stopped it.
int32_t ReadRest(int fd, off_t size, std::string& bytes);

// The whole file into `bytes`; 0, or the number of the error that stopped the reading.
int32_t ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace glowreel
