#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/port/port_sink.h"

namespace glowreel {

// The program's one way to the hardware: one 16-bit write of value to an I/O port address.
// Each write goes to every sink chosen by GLOWREEL_PORT (read at the first write). A sink that
// cannot be opened raises one RunTimeError and is dropped for the rest of the run.
void DlPortWritePortUshort(int32_t address, int16_t value);

// Pushes buffered output of the sinks out (traces, pictures, the virtual display window).
void PortFlush();

// Flushes and closes every sink; the next write opens them afresh from GLOWREEL_PORT.
void PortClose();

// Replaces the configured sinks by these (tests).
void UsePortSinks(std::vector<std::unique_ptr<PortSink>> sinks);

}  // namespace glowreel
