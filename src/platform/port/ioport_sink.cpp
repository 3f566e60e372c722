#include <cerrno>
#include <cstring>

#include "platform/port/builtin_sinks.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define GLOWREEL_HAS_IOPORT 1
#endif

namespace glowreel {

#ifdef GLOWREEL_HAS_IOPORT

namespace {

constexpr unsigned long kPortSpan = 4;  // data, status and control registers, and one spare

// Raw port I/O: exactly one 16-bit write to the address. Needs root or CAP_SYS_RAWIO.
class IoportSink : public PortSink {
 public:
  explicit IoportSink(unsigned long base) : base_(base) {}

  void Write(int32_t address, uint16_t value) override {
    const auto port = static_cast<unsigned long>(address);
    if (port < base_ || port + 2 > base_ + kPortSpan) {
      throw DeviceError("ioport", "address " + std::to_string(address) + " is not on this port");
    }
    outw(value, static_cast<unsigned short>(port));
  }

 private:
  unsigned long base_;
};

}  // namespace

std::unique_ptr<PortSink> OpenIoportSink(const SinkOpening& opening) {
  const auto base = static_cast<unsigned long>(opening.base);
  if (ioperm(base, kPortSpan, 1) != 0) {
    throw DeviceError(
        "ioport " + std::to_string(base),
        std::string(std::strerror(errno)) + ": raw port access needs root or CAP_SYS_RAWIO");
  }
  return std::make_unique<IoportSink>(base);
}

#else

std::unique_ptr<PortSink> OpenIoportSink(const SinkOpening&) {
  throw DeviceError("ioport", "raw port access exists only on x86");
}

#endif

}  // namespace glowreel
