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
// A reader that takes nothing for this long is taken for gone: the program must stay stoppable.
// Once the program is ending, it is not waited for at all.
constexpr int kReaderPatienceMs = 500;

// One line per write: "<microseconds since open> <address> <value>", hex in four upper-case
// digits, e.g. "1532 037A 000D". Lines go out whole, one write() per flush on an O_APPEND
// descriptor, so two traces of one file never split each other's lines.
class TraceSink : public PortSink {
 public:
  TraceSink(UniqueFd fd, std::string path, std::function<bool()> ending)
      : fd_(std::move(fd)),
        path_(std::move(path)),
        opened_(std::chrono::steady_clock::now()),
        ending_(std::move(ending)) {}
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
    if (pending_.empty()) return;
    const off_t start = lseek(fd_.get(), 0, SEEK_END);  // -1 for a pipe
    std::size_t written = 0;
    const int error = WriteAll(fd_.get(), pending_.data(), pending_.size(), &written,
                               ending_() ? 0 : kReaderPatienceMs);
    if (error == 0) return pending_.clear();
    if (start >= 0 && written > 0) {  // a file cut short (a size limit) keeps only whole lines
      const std::size_t feed = pending_.rfind('\n', written - 1);
      const off_t whole = start + (feed == std::string::npos ? 0 : static_cast<off_t>(feed) + 1);
      if (ftruncate(fd_.get(), whole) != 0) {
        // A file that cannot be cut stays as it is; the failure is told below.
      }
    }
    pending_.clear();
    throw DeviceError(
        path_, error == ETIMEDOUT ? "nothing reads the trace any more" : std::strerror(error));
  }

 private:
  UniqueFd fd_;
  std::string path_;
  std::chrono::steady_clock::time_point opened_;
  std::string pending_;
  std::function<bool()> ending_;
};

}  // namespace

std::unique_ptr<PortSink> OpenTraceSink(const SinkOpening& opening) {
  const std::string& path = opening.argument;
  if (path.empty()) throw SettingError("trace", "no file named (use trace:PATH)");
  // Without O_NONBLOCK a pipe with no reader would hold the program in open() for ever, and a
  // reader that stops reading would hold it in write().
  UniqueFd fd(open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644));
  if (!fd) {
    const int error = errno;
    throw DeviceError(path, error == ENXIO ? "nothing reads this pipe" : std::strerror(error));
  }
  return std::make_unique<TraceSink>(std::move(fd), path, opening.ending);
}

}  // namespace glowreel
