#pragma once

#include <memory>
#include <string>

#include "platform/port/port_sink.h"

// The built-in port sinks. Each opens here and throws RunTimeError when it cannot.
namespace glowreel {

std::unique_ptr<PortSink> OpenNoneSink();
std::unique_ptr<PortSink> OpenTraceSink(const std::string& path);
std::unique_ptr<PortSink> OpenPpdevSink(const std::string& device);
std::unique_ptr<PortSink> OpenIoportSink();
std::unique_ptr<PortSink> OpenVirtualSink();

}  // namespace glowreel
