#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/port/builtin_sinks.h"
#include "platform/unique_fd.h"
#include "platform/write_all.h"

namespace glowreel {

namespace {

// Written out before the next wait at the latest, or sooner when this much has gathered.
constexpr std::size_t kFlushAtBytes = 1 << 20;

// One line per write: "<microseconds since open> <address> <value>", hex in four upper-case
// digits, e.g. "1532 037A 000D". Lines go out whole, one write() per flush on an O_APPEND
// descriptor, so two traces of one file never split each other's lines.
class TraceSink : public PortSink {
 public:
  TraceSink(UniqueFd fd, std::string path)
      : fd_(std::move(fd)), path_(std::move(path)), opened_(std::chrono::steady_clock::now()) {}
  ~TraceSink() override {
    try {
      Flush();
    } catch (const RunTimeError&) {
      // Closing after a failure already reported.
    }
  }

  void Write(int32_t address, uint16_t value) override {
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - opened_)
                            .count();
    char line[40];
    const int length =
        std::snprintf(line, sizeof line, "%lld %04X %04X\n", static_cast<long long>(micros),
                      static_cast<unsigned>(address) & 0xFFFFu, unsigned{value});
    pending_.append(line, static_cast<std::size_t>(length));
    if (pending_.size() >= kFlushAtBytes) Flush();
  }

  void Flush() override {
    const int error = WriteAll(fd_.get(), pending_.data(), pending_.size());
    pending_.clear();
    if (error != 0) throw DeviceError(path_, std::strerror(error));
  }

 private:
  UniqueFd fd_;
  std::string path_;
  std::chrono::steady_clock::time_point opened_;
  std::string pending_;
};

}  // namespace

std::unique_ptr<PortSink> OpenTraceSink(const SinkOpening& opening) {
  const std::string& path = opening.argument;
  if (path.empty()) throw DeviceError("trace", "no file named (use trace:PATH)");
  // Without O_NONBLOCK a pipe with no reader would hold the program in open() for ever.
  UniqueFd fd(open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644));
  if (!fd) {
    const int error = errno;
    throw DeviceError(path, error == ENXIO ? "nothing reads this pipe" : std::strerror(error));
  }
  fcntl(fd.get(), F_SETFL, O_APPEND);
  return std::make_unique<TraceSink>(std::move(fd), path);
}

}  // namespace glowreel
