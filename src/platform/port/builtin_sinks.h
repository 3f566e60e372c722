#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/port/port.h"

// The sinks every program has; each lives in its own file and throws RunTimeError when it
// cannot be opened.
namespace glowreel {

std::unique_ptr<PortSink> OpenNoneSink(const SinkOpening& opening);
std::unique_ptr<PortSink> OpenTraceSink(const SinkOpening& opening);
std::unique_ptr<PortSink> OpenPpdevSink(const SinkOpening& opening);
std::unique_ptr<PortSink> OpenIoportSink(const SinkOpening& opening);
std::unique_ptr<PortSink> OpenGpioSink(const SinkOpening& opening);

// The devices there are, one a line, from the folder of device nodes.
std::vector<std::string> ListParallelPorts(const std::string& folder = "/dev");
std::vector<std::string> ListGpioChips(const std::string& folder = "/dev");

}  // namespace glowreel
