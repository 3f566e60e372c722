#pragma once

#include <memory>

#include "platform/port/port.h"

// The sinks every program has; each lives in its own file and throws RunTimeError when it
// cannot be opened.
namespace glowreel {

std::unique_ptr<PortSink> OpenNoneSink(const SinkOpening& opening);
std::unique_ptr<PortSink> OpenTraceSink(const SinkOpening& opening);
std::unique_ptr<PortSink> OpenPpdevSink(const SinkOpening& opening);
std::unique_ptr<PortSink> OpenIoportSink(const SinkOpening& opening);

}  // namespace glowreel
