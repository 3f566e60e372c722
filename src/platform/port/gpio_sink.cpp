#include <fcntl.h>
#include <linux/gpio.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/display_facts.h"
#include "platform/port/builtin_sinks.h"
#include "platform/port/device_node.h"
#include "platform/port/gpio_lines.h"
#include "platform/unique_fd.h"

namespace glowreel {

namespace {

// The PC port drives these control register bits inverted on their pins (STROBE, AUTOFD,
// SELECT IN); INIT, bit 2, as it stands.
constexpr uint8_t kPinInverted = 0x0B;
constexpr const char* kConsumer = "glowreel";
constexpr int kMostGpioLines = 4096;  // far beyond any chip; the kernel says where a chip ends
constexpr const char* kSignalNames[kGpioSignals] = {
    "D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "STROBE", "AUTOFD", "INIT", "SELECT IN"};

struct Wiring {
  std::string chip;
  std::array<int, kGpioSignals> lines;  // -1: not connected
};

// "CHIP:LINES": the line of each signal in order, "-" for none; STROBE and AUTOFD, which never
// change, may be left out (ten entries).
// A wiring that is wrong is a wrong setting, told before any device is touched.
Wiring ParseWiring(const std::string& argument) {
  const auto colon = argument.rfind(':');
  if (colon == std::string::npos || colon == 0)
    throw SettingError("gpio",
                       "name the chip and its lines (gpio:CHIP:D0,...,D7,STROBE,AUTOFD,"
                       "INIT,SELECT IN)");
  Wiring wiring{argument.substr(0, colon), {}};
  const std::string name = "gpio:" + wiring.chip;
  std::vector<int> lines;
  for (std::size_t start = colon + 1; start <= argument.size();) {
    const std::size_t end = std::min(argument.find(',', start), argument.size());
    const std::string entry = argument.substr(start, end - start);
    const bool number = !entry.empty() && entry.find_first_not_of("0123456789") == entry.npos;
    if (!number && entry != "-") throw SettingError(name, "\"" + entry + "\" is no line");
    if (number && (entry.size() > 4 || std::stoi(entry) >= kMostGpioLines))
      throw SettingError(name, "line " + entry + " is out of range (0-" +
                                   std::to_string(kMostGpioLines - 1) + ")");
    lines.push_back(number ? std::stoi(entry) : -1);
    start = end + 1;
  }
  if (lines.size() == kGpioSignals - 2) lines.insert(lines.begin() + kStrobe, {-1, -1});
  if (lines.size() != kGpioSignals)
    throw SettingError(name,
                       "12 lines are named in order D0-D7, STROBE, AUTOFD, INIT, "
                       "SELECT IN (or 10 without STROBE and AUTOFD)");
  for (int signal = 0; signal < kGpioSignals; ++signal) {
    const auto twin = std::find(lines.begin() + signal + 1, lines.end(), lines[signal]);
    if (lines[signal] >= 0 && twin != lines.end())
      throw SettingError(name, "line " + std::to_string(lines[signal]) + " is named for " +
                                   kSignalNames[signal] + " and " +
                                   kSignalNames[twin - lines.begin()]);
  }
  if (std::all_of(lines.begin(), lines.end(), [](int line) { return line < 0; }))
    throw SettingError(name, "no line is connected");
  std::copy(lines.begin(), lines.end(), wiring.lines.begin());
  return wiring;
}

// The chip's device node: a path, a number, or the label the kernel gives it.
std::string ChipNode(const std::string& chip) {
  if (chip.find('/') != std::string::npos) return chip;
  if (chip.find_first_not_of("0123456789") == std::string::npos) return "/dev/gpiochip" + chip;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("/dev", ignored)) {
    if (entry.path().filename().string().rfind("gpiochip", 0) != 0) continue;
    int error = 0;
    UniqueFd fd = OpenDeviceNode(entry.path(), O_RDONLY, error);
    gpiochip_info info{};
    if (fd && ioctl(fd.get(), GPIO_GET_CHIPINFO_IOCTL, &info) == 0 && chip == info.label)
      return entry.path().string();
  }
  return chip;
}

std::string OpenFailure(int error) {
  std::string reason = std::strerror(error);
  if (error == ENOENT || error == ENODEV || error == ENOTTY)
    reason = "no such GPIO chip (glowreel-play --list-ports lists them)";
  if (error == EACCES || error == EPERM)
    reason +=
        ": join the gpio group (sudo adduser $USER gpio) where a udev rule gives it the "
        "chips, then log in again";
  return reason;
}

// The lines, requested as outputs for the whole run; each register write sets the lines it
// changes in one call, so a byte's data lines change together before its strobe.
class GpioSink : public PortSink {
 public:
  GpioSink(UniqueFd lines, std::string chip, std::array<int, kGpioSignals> bits, int32_t base)
      : lines_(std::move(lines)), chip_(std::move(chip)), bits_(bits), base_(base) {}
  ~GpioSink() override {
    // Released with the strobe inactive.
    try {
      Write(base_ + kControlRegister, static_cast<uint16_t>(levels_[kSelectIn] ? 0x05 : 0x0D));
    } catch (const RunTimeError&) {
    }
  }

  void Write(int32_t address, uint16_t value) override {
    const auto wanted = PinLevels(address - base_, static_cast<uint8_t>(value));
    gpio_v2_line_values values{};
    for (int signal = 0; signal < kGpioSignals; ++signal) {
      if (bits_[signal] < 0 || wanted[signal] < 0 || wanted[signal] == levels_[signal]) continue;
      values.mask |= 1ULL << bits_[signal];
      if (wanted[signal]) values.bits |= 1ULL << bits_[signal];
      levels_[signal] = wanted[signal];
    }
    if (values.mask != 0 && ioctl(lines_.get(), GPIO_V2_LINE_SET_VALUES_IOCTL, &values) != 0)
      throw DeviceError(chip_, std::strerror(errno));
  }

 private:
  UniqueFd lines_;
  std::string chip_;
  std::array<int, kGpioSignals> bits_;  // each signal's place in the request, -1 for none
  std::array<int, kGpioSignals> levels_{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1};  // as requested
  int32_t base_;
};

}  // namespace

std::array<int, kGpioSignals> PinLevels(int32_t registerOffset, uint8_t value) {
  std::array<int, kGpioSignals> levels;
  levels.fill(-1);
  if (registerOffset == kDataRegister) {
    for (int bit = 0; bit < 8; ++bit) levels[kD0 + bit] = (value >> bit) & 1;
  } else if (registerOffset == kControlRegister) {
    const uint8_t pins = value ^ kPinInverted;
    for (int bit = 0; bit < 4; ++bit) levels[kStrobe + bit] = (pins >> bit) & 1;
  }
  return levels;
}

std::unique_ptr<PortSink> OpenGpioSink(const SinkOpening& opening) {
  const Wiring wiring = ParseWiring(opening.argument);
  const std::string node = ChipNode(wiring.chip);
  int error = 0;
  UniqueFd chip = OpenDeviceNode(node, O_RDWR, error);
  gpiochip_info info{};
  if (chip && ioctl(chip.get(), GPIO_GET_CHIPINFO_IOCTL, &info) != 0) error = errno;
  if (error) throw DeviceError(node, OpenFailure(error));
  gpio_v2_line_request request{};
  std::array<int, kGpioSignals> bits;
  bits.fill(-1);
  for (int signal = 0; signal < kGpioSignals; ++signal) {
    const int line = wiring.lines[signal];
    if (line < 0) continue;
    if (static_cast<unsigned>(line) >= info.lines)
      throw DeviceError(node, std::string(kSignalNames[signal]) + ": line " + std::to_string(line) +
                                  " is out of range (the chip has " + std::to_string(info.lines) +
                                  " lines, 0-" + std::to_string(info.lines - 1) + ")");
    bits[signal] = static_cast<int>(request.num_lines);
    request.offsets[request.num_lines++] = static_cast<__u32>(line);
  }
  // Requested at the rest levels: STROBE low, AUTOFD high, INIT high (no strobe), a command.
  request.config.flags = GPIO_V2_LINE_FLAG_OUTPUT;
  request.config.num_attrs = 1;
  request.config.attrs[0].attr.id = GPIO_V2_LINE_ATTR_ID_OUTPUT_VALUES;
  for (const int signal : {kAutoFeed, kInit, kSelectIn})
    if (bits[signal] >= 0) request.config.attrs[0].attr.values |= 1ULL << bits[signal];
  request.config.attrs[0].mask = (1ULL << request.num_lines) - 1;
  std::strncpy(request.consumer, kConsumer, sizeof request.consumer - 1);
  if (ioctl(chip.get(), GPIO_V2_GET_LINE_IOCTL, &request) != 0) {
    const int error = errno;
    if (error != EBUSY) throw DeviceError(node, OpenFailure(error));
    for (int signal = 0; signal < kGpioSignals; ++signal) {  // who holds which line
      gpio_v2_line_info line{};
      line.offset = static_cast<__u32>(std::max(0, wiring.lines[signal]));
      if (wiring.lines[signal] >= 0 && ioctl(chip.get(), GPIO_V2_GET_LINEINFO_IOCTL, &line) == 0 &&
          (line.flags & GPIO_V2_LINE_FLAG_USED))
        throw DeviceError(node, std::string(kSignalNames[signal]) + ": line " +
                                    std::to_string(line.offset) + " is in use by \"" +
                                    line.consumer + "\"");
    }
    throw DeviceError(node, std::strerror(error));
  }
  return std::make_unique<GpioSink>(UniqueFd(request.fd), node, bits, opening.base);
}

std::vector<std::string> ListGpioChips(const std::string& folder) {
  std::vector<std::string> chips;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    if (entry.path().filename().string().rfind("gpiochip", 0) != 0) continue;
    int error = 0;
    UniqueFd fd = OpenDeviceNode(entry.path(), O_RDONLY, error);
    gpiochip_info info{};
    if (fd && ioctl(fd.get(), GPIO_GET_CHIPINFO_IOCTL, &info) != 0) error = errno;
    if (error == ENODEV) continue;  // a node of that name that is no device
    chips.push_back(entry.path().string() + "  GPIO chip  " +
                    (error == 0 ? "\"" + std::string(info.label) + "\", " +
                                      std::to_string(info.lines) + " lines"
                                : "cannot be opened: " + std::string(std::strerror(error))));
  }
  std::sort(chips.begin(), chips.end());
  return chips;
}

}  // namespace glowreel
