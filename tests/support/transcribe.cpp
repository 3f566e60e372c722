// transcribe TRACE: what the display made of a trace written by the trace:PATH sink, one event a
// line as in tests/golden, for the tests that run the programs from a shell. Status 1 when a line
// of the trace is malformed.
#include <iostream>

#include "support/port_record.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const glowreel::test::Trace trace = glowreel::test::ReadTrace(argv[1]);
  for (const std::string& line : glowreel::test::Transcript(trace.writes))
    std::cout << line << '\n';
  return trace.badLines == 0 ? 0 : 1;
}
