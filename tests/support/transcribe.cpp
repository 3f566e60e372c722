// transcribe [--dots] TRACE: what the display made of a trace written by the trace:PATH sink, one
// event a line as in tests/golden, for the tests that run the programs from a shell; with --dots,
// the picture it held at the end, a row of "#" and "." a line. Status 1 when a line of the trace
// is malformed.
#include <iostream>
#include <string>

#include "support/port_record.h"

int main(int argc, char** argv) {
  const bool dots = argc == 3 && std::string(argv[1]) == "--dots";
  if (argc != 2 && !dots) return 2;
  const glowreel::test::Trace trace = glowreel::test::ReadTrace(argv[argc - 1]);
  const glowreel::DisplayModel model = glowreel::test::ModelOf(trace.writes);
  for (int y = 0; dots && y < model.kHeight; ++y, std::cout << '\n')
    for (int x = 0; x < model.kWidth; ++x) std::cout << (model.Stored(0, x, y) ? '#' : '.');
  for (const std::string& line : glowreel::test::Transcript(trace.writes))
    if (!dots) std::cout << line << '\n';
  return trace.badLines == 0 ? 0 : 1;
}
