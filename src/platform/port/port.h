#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/run_time_error.h"

// The program's one way to the hardware, and where its writes go.
//
// A port setting (GLOWREEL_PORT, or one given to PortContext::Open) names the sinks: entries of
// name[:argument] joined by commas. Every write goes to each sink in order.
namespace glowreel {

// One destination of port writes: opened by its factory, written, closed by its destructor.
class PortSink {
 public:
  PortSink() = default;
  PortSink(const PortSink&) = delete;
  PortSink& operator=(const PortSink&) = delete;
  virtual ~PortSink() = default;
  // Both throw RunTimeError when the output fails.
  virtual void Write(int32_t address, uint16_t value) = 0;
  virtual void Flush() {}
};

// What a factory gets: the text after the sink's colon, the port's base address, and whether
// the program is ending (a sink then waits for no slow reader).
struct SinkOpening {
  std::string argument;
  int32_t base;
  std::function<bool()> ending = [] { return false; };
};
// Opens a sink, or throws RunTimeError naming the device and the reason.
using SinkFactory = std::function<std::unique_ptr<PortSink>(const SinkOpening&)>;

// The first parallel port's device node.
inline constexpr const char* kDefaultParport = "/dev/parport0";

// "Device I/O error: <device>: <reason>", number 57.
RunTimeError DeviceError(const std::string& device, const std::string& reason);
// A setting that names no device it could open (52, as an unknown kind of sink): wrong use.
RunTimeError SettingError(const std::string& sink, const std::string& reason);

// The sinks a program writes to and one rule for all of them: a sink that cannot be opened, or
// whose output fails, is reported once and dropped for the rest of the run.
class PortContext {
 public:
  PortContext();                        // knows the sinks every program has
  PortContext(PortContext&&) = delete;  // its sinks ask it whether the program is ending

  // Adds or replaces a kind of sink (the window program adds "virtual" and "png").
  void Register(const std::string& name, SinkFactory factory);
  // The device "auto" takes when it exists.
  std::string parport = kDefaultParport;
  // The program's "ending" flag (its playback's bExiting), when it has one.
  const bool* ending = nullptr;

  // Opens the sinks of `setting` now, for the port at `base`, replacing any open ones. Returns
  // the reports of the sinks that could not be opened; they are left out.
  std::vector<RunTimeError> Open(const std::string& setting, int32_t base);
  // Adds a sink already open (tests, benchmarks, programs that make their own).
  void Add(std::unique_ptr<PortSink> sink);
  bool HasSinks() const { return !sinks_.empty(); }

  // One write to every sink. The first time, a context not opened opens GLOWREEL_PORT for the
  // first parallel port's base, the one the display is brought up on. Throws the first failure of
  // this write, or of a sink that could not be opened and has not been reported yet.
  void Write(int32_t address, uint16_t value);
  // Pushes buffered output out; returns the failures.
  std::vector<RunTimeError> Flush();
  // Flushes and closes every sink, returning the failures; the next write opens them afresh.
  std::vector<RunTimeError> Close();
  // The program is ending: Close, and later writes go nowhere until the context is opened again.
  std::vector<RunTimeError> Finish();

 private:
  void OpenChoice(const std::string& name, const std::string& argument, int32_t base,
                  std::vector<RunTimeError>& errors);
  void WriteToAll(int32_t address, uint16_t value);
  void UpdateSole();
  std::function<bool()> Ending() const {
    return [this] { return ending && *ending; };
  }

  std::map<std::string, SinkFactory> kinds_;
  bool opened_ = false;
  bool finished_ = false;
  std::vector<std::unique_ptr<PortSink>> sinks_;
  std::vector<RunTimeError> unreported_;  // sinks that could not be opened, a write each
  PortSink* sole_ = nullptr;  // the only sink, with nothing to report: every frame's hot path
};

// Every parallel port (its node and who holds it) and every GPIO chip (node, label, lines),
// one a line.
std::vector<std::string> ListPorts();

// Makes `port` the one the program's writes go to; returns the one before. Without one, the
// writes go to a context of the port layer's own.
PortContext* InstallPort(PortContext* port);

// One 16-bit write of value to an I/O port address, to the installed context.
void DlPortWritePortUshort(int32_t address, int16_t value);

// The installed context's Flush, its failures reported; done before every wait.
void PortFlush();
// The installed context's Close, its failures reported.
void PortClose();
// The installed context's Finish, its failures reported: nothing reaches the port afterwards.
void PortFinish();

}  // namespace glowreel
