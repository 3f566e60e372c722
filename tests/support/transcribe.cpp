// transcribe [--dots | --text] TRACE: what the display made of a trace written by the
// trace:PATH sink, one event a line as in tests/golden, for the tests that run the programs from
// a shell; with --dots, the picture it held at the end, a row of "#" and "." a line; with --text,
// the words of each picture it showed (read in the pixel font, dark on lit too, wherever they
// stand), a picture's lines then an empty line, a picture shown
// again not repeated. Status 1 when a line of the trace is malformed.
#include <algorithm>
#include <cctype>
#include <iostream>
#include <string>
#include <vector>

#include "dots/pixel_font.h"
#include "support/port_record.h"

namespace {

using glowreel::DisplayModel;

// The glyph at (x, top), dark on lit where `inverse`, or 0.
char GlyphAt(const DisplayModel& model, int x, int top, bool inverse) {
  glowreel::Glyph seen{};
  for (int column = 0; column < glowreel::kGlyphWidth; ++column)
    for (int row = 0; row < glowreel::kGlyphHeight; ++row)
      if (model.Lit(x + column, top + row) != inverse) seen[column] |= 1 << row;
  for (char c = '!'; c <= '~'; ++c)
    if (glowreel::GlyphFor(static_cast<char32_t>(c)) == seen) return c;
  return 0;
}

std::string TextOfLine(const DisplayModel& model, int top) {
  std::string text;
  int after = 0;  // where the last glyph ended
  for (int x = 0; x + glowreel::kGlyphWidth <= model.kWidth;) {
    char c = GlyphAt(model, x, top, false);
    if (!c) c = GlyphAt(model, x, top, true);
    if (!c) {
      ++x;
      continue;
    }
    if (!text.empty() && x - after >= glowreel::kGlyphPitchX) text += ' ';
    text += c;
    x += glowreel::kGlyphPitchX;
    after = x;
  }
  return text;
}

int Letters(const std::string& line) {
  return static_cast<int>(std::count_if(line.begin(), line.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c));
  }));
}

// Lines wherever they stand: of the rows a line could start on, the one that reads the most
// letters and digits (an edge of a lit bar reads as underscores).
std::string TextOf(const DisplayModel& model) {
  std::vector<std::string> lines(model.kHeight);
  for (int top = 0; top + glowreel::kGlyphHeight <= model.kHeight; ++top)
    lines[top] = TextOfLine(model, top);
  std::string text;
  for (int top = 0; top < model.kHeight; ++top) {
    if (lines[top].empty()) continue;
    int best = top;
    for (int other = top + 1; other < std::min(model.kHeight, top + glowreel::kGlyphPitchY);
         ++other)
      if (Letters(lines[other]) > Letters(lines[best])) best = other;
    text += lines[best] + '\n';
    top = best + glowreel::kGlyphPitchY - 1;
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 3 ? argv[1] : "";
  if (argc != 2 && mode != "--dots" && mode != "--text") return 2;
  const glowreel::test::Trace trace = glowreel::test::ReadTrace(argv[argc - 1]);
  if (mode == "--text") {
    // A picture is whole where the writes pause for more than 5 ms.
    DisplayModel model;
    std::string last;
    for (std::size_t i = 0; i < trace.writes.size(); ++i) {
      model.WriteRegister(trace.writes[i].address - glowreel::kFirstParallelPort,
                          static_cast<uint8_t>(trace.writes[i].value));
      if (i + 1 < trace.writes.size() && trace.micros[i + 1] - trace.micros[i] <= 5000) continue;
      if (std::string text = TextOf(model); !text.empty() && text != last)
        std::cout << (last = text) << '\n';
    }
    return trace.badLines == 0 ? 0 : 1;
  }
  const DisplayModel model = glowreel::test::ModelOf(trace.writes);
  for (int y = 0; mode == "--dots" && y < model.kHeight; ++y, std::cout << '\n')
    for (int x = 0; x < model.kWidth; ++x) std::cout << (model.Stored(0, x, y) ? '#' : '.');
  for (const std::string& line : glowreel::test::Transcript(trace.writes))
    if (mode.empty()) std::cout << line << '\n';
  return trace.badLines == 0 ? 0 : 1;
}
