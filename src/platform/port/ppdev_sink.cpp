#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/shared_state.h"
#include "platform/port/port_config.h"
#include "platform/port/sinks.h"

namespace glowreel {

namespace {

constexpr int kDataRegister = 0;
constexpr int kControlRegister = 2;
// ppdev takes the control register's low nibble as the raw register value on PC ports.
constexpr unsigned kControlBits = 0x0F;

// The Linux parallel-port device: claimed once for the whole run, released at close.
class PpdevSink : public PortSink {
 public:
  PpdevSink(int fd, std::string device) : fd_(fd), device_(std::move(device)) {}
  ~PpdevSink() override {
    ioctl(fd_, PPRELEASE);
    close(fd_);
  }

  void Write(int32_t address, uint16_t value) override {
    unsigned char byte = static_cast<unsigned char>(value);
    int request = 0;
    if (address == lPortBase + kDataRegister) {
      request = PPWDATA;
    } else if (address == lPortBase + kControlRegister) {
      request = PPWCONTROL;
      byte &= kControlBits;
    } else {
      throw DeviceError(device_, "address " + std::to_string(address) + " is not on this port");
    }
    if (ioctl(fd_, request, &byte) != 0) throw DeviceError(device_, std::strerror(errno));
  }

 private:
  int fd_;
  std::string device_;
};

}  // namespace

std::unique_ptr<PortSink> OpenPpdevSink(const std::string& device) {
  const int fd = open(device.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) throw DeviceError(device, std::strerror(errno));
  // Exclusive access fails while the lp driver holds the port; sharing it still works.
  ioctl(fd, PPEXCL);
  if (ioctl(fd, PPCLAIM) != 0) {
    const int claimError = errno;
    close(fd);
    throw DeviceError(device, std::string("cannot claim the port: ") + std::strerror(claimError));
  }
  int forward = 0;
  if (ioctl(fd, PPDATADIR, &forward) != 0) {
    const int dirError = errno;
    ioctl(fd, PPRELEASE);
    close(fd);
    throw DeviceError(device,
                      std::string("cannot set the data direction: ") + std::strerror(dirError));
  }
  return std::make_unique<PpdevSink>(fd, device);
}

}  // namespace glowreel
