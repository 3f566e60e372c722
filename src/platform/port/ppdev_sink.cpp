#include <fcntl.h>
#include <linux/ppdev.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/display_facts.h"
#include "platform/exit_signals.h"
#include "platform/port/builtin_sinks.h"
#include "platform/port/device_node.h"
#include "platform/unique_fd.h"

namespace glowreel {

namespace {

// ppdev takes the control register's low nibble as the raw register value on PC ports.
constexpr unsigned kControlBits = 0x0F;
// Long enough for a previous player to fade out (16 x 50 ms) and let go of the port.
constexpr auto kQueuePatience = std::chrono::seconds(4);
constexpr auto kQueueRetry = std::chrono::milliseconds(50);
// A free port is claimed at once; a claim that would wait is cut off after this.
constexpr long kClaimPatienceNs = 200'000'000;

// The Linux parallel-port device, claimed once for the whole run and released at close.
class PpdevSink : public PortSink {
 public:
  PpdevSink(UniqueFd queue, UniqueFd port, std::string device, int32_t base)
      : queue_(std::move(queue)), port_(std::move(port)), device_(std::move(device)), base_(base) {}
  ~PpdevSink() override { ioctl(port_.get(), PPRELEASE); }

  void Write(int32_t address, uint16_t value) override {
    unsigned char byte = static_cast<unsigned char>(value);
    int request = PPWDATA;
    if (address == base_ + kControlRegister) {
      request = PPWCONTROL;
      byte &= kControlBits;
    } else if (address != base_ + kDataRegister) {
      throw DeviceError(device_, "address " + std::to_string(address) + " is not on this port");
    }
    if (ioctl(port_.get(), request, &byte) != 0) throw DeviceError(device_, std::strerror(errno));
  }

 private:
  UniqueFd queue_;  // holds the advisory lock that other GlowReel programs wait on
  UniqueFd port_;
  std::string device_;
  int32_t base_;
};

// The reason for a failed open, with the remedy where there is a usual one.
std::string OpenFailure(int error) {
  std::string reason = std::strerror(error);
  if (error == EACCES || error == EPERM) {
    reason += ": add yourself to the lp group (sudo adduser $USER lp), then log in again";
  } else if (error == ENOENT || error == ENODEV || error == ENXIO) {
    reason += ": load the parallel-port drivers (sudo modprobe parport_pc ppdev)";
  }
  return reason;
}

UniqueFd OpenNode(const std::string& device) {
  int error = 0;
  UniqueFd fd = OpenDeviceNode(device, O_RDWR, error);
  if (!fd) throw DeviceError(device, OpenFailure(error));
  return fd;
}

// GlowReel programs queue on the node's advisory lock, so that two of them never meet inside
// the kernel's claim, where the waiting one would hold ppdev's global lock. An exit signal ends
// the wait.
bool TakeQueueLock(int fd, const std::string& device) {
  const auto deadline = std::chrono::steady_clock::now() + kQueuePatience;
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return true;  // no locking here: go on without
    if (ExitSignalPending()) throw DeviceError(device, "the wait for the port ended by a signal");
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kQueueRetry);
  }
  return true;
}

// Who holds the port as the kernel lists it ("lp0" while printing, "ppdev0" for another
// program), or "" when it is free or the kernel does not say.
std::string Holder(const std::string& device) {
  char resolved[PATH_MAX];
  if (!realpath(device.c_str(), resolved)) return "";
  const char* name = std::strrchr(resolved, '/') + 1;
  std::ifstream active(std::string("/proc/sys/dev/parport/") + name + "/devices/active");
  std::string holder;
  active >> holder;
  return holder == "none" ? "" : holder;
}

void IgnoreSignal(int) {}

// PPCLAIM under a short timer aimed at this thread: a claim that would wait is interrupted
// (EINTR) instead of sleeping in the kernel. Returns 0 or the errno.
int ClaimWithinPatience(int fd) {
  struct sigaction quiet {
  }, previous{};
  quiet.sa_handler = IgnoreSignal;  // no SA_RESTART: the ioctl must return
  sigemptyset(&quiet.sa_mask);
  sigaction(SIGALRM, &quiet, &previous);
  sigevent event{};
  event.sigev_notify = SIGEV_THREAD_ID;
  event.sigev_signo = SIGALRM;
  event._sigev_un._tid = gettid();
  timer_t timer{};
  const bool timed = timer_create(CLOCK_MONOTONIC, &event, &timer) == 0;
  if (timed) {
    const itimerspec once{{0, 0}, {0, kClaimPatienceNs}};
    timer_settime(timer, 0, &once, nullptr);
  }
  const int result = ioctl(fd, PPCLAIM);
  const int error = result == 0 ? 0 : errno;
  if (timed) timer_delete(timer);
  sigaction(SIGALRM, &previous, nullptr);
  return error;
}

}  // namespace

std::vector<std::string> ListParallelPorts(const std::string& folder) {
  std::vector<std::string> ports;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("parport", 0) != 0 || name.size() == 7 || !IsCharacterDevice(entry.path()))
      continue;
    const std::string holder = Holder(entry.path().string());
    ports.push_back(entry.path().string() + "  parallel port  " +
                    (holder.empty() ? "free" : "held by " + holder));
  }
  std::sort(ports.begin(), ports.end());
  return ports;
}

std::unique_ptr<PortSink> OpenPpdevSink(const SinkOpening& opening) {
  const std::string device = opening.argument.empty() ? kDefaultParport : opening.argument;
  UniqueFd queue = OpenNode(device);
  if (!TakeQueueLock(queue.get(), device)) {
    throw DeviceError(device, "the port is in use by another GlowReel program");
  }
  if (const std::string holder = Holder(device); !holder.empty()) {
    throw DeviceError(device, "the port is in use by " + holder);
  }
  // Exclusive where the kernel grants it: only while no other driver (the printer's lp) is
  // registered on the port, and it says no at the claim, not at PPEXCL. Then share it.
  UniqueFd port = OpenNode(device);
  ioctl(port.get(), PPEXCL);
  int error = ClaimWithinPatience(port.get());
  if (error == ENXIO) {
    port = OpenNode(device);
    error = ClaimWithinPatience(port.get());
  }
  if (error == EINTR) throw DeviceError(device, "the port is in use (its claim did not come)");
  if (error != 0) {
    throw DeviceError(device, std::string("cannot claim the port: ") + std::strerror(error));
  }
  int forward = 0;
  if (ioctl(port.get(), PPDATADIR, &forward) != 0) {
    const int dirError = errno;
    ioctl(port.get(), PPRELEASE);
    throw DeviceError(device,
                      std::string("cannot set the data direction: ") + std::strerror(dirError));
  }
  return std::make_unique<PpdevSink>(std::move(queue), std::move(port), device, opening.base);
}

}  // namespace glowreel
