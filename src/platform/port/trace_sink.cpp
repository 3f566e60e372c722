#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/port/port_config.h"
#include "platform/port/sinks.h"

namespace glowreel {

namespace {

// One line per write: "<microseconds since open> <address> <value>", hex in four upper-case
// digits, e.g. "1532 037A 000D".
class TraceSink : public PortSink {
 public:
  TraceSink(std::FILE* file) : file_(file), opened_(std::chrono::steady_clock::now()) {}
  ~TraceSink() override { std::fclose(file_); }

  void Write(int32_t address, uint16_t value) override {
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - opened_);
    std::fprintf(file_, "%lld %04X %04X\n", static_cast<long long>(elapsed.count()),
                 static_cast<unsigned>(address) & 0xFFFFu, static_cast<unsigned>(value));
  }
  void Flush() override { std::fflush(file_); }

 private:
  std::FILE* file_;
  std::chrono::steady_clock::time_point opened_;
};

}  // namespace

std::unique_ptr<PortSink> OpenTraceSink(const std::string& path) {
  if (path.empty()) throw DeviceError("trace", "no file named (use trace:PATH)");
  std::FILE* file = std::fopen(path.c_str(), "a");
  if (!file) throw DeviceError(path, std::strerror(errno));
  return std::make_unique<TraceSink>(file);
}

}  // namespace glowreel
