#include "lcdproc/icons.h"

#include <array>
#include <string_view>

namespace glowreel::lcdproc {

namespace {

struct Icon {
  const char* name;
  std::array<std::string_view, kGlyphHeight> rows;  // '#' lit, top row first
};

// clang-format off
constexpr Icon kIcons[] = {
    {"BLOCK_FILLED",      {"#####", "#####", "#####", "#####", "#####", "#####", "#####"}},
    {"HEART_OPEN",        {".#.#.", "#.#.#", "#...#", "#...#", ".#.#.", "..#..", "....."}},
    {"HEART_FILLED",      {".#.#.", "#####", "#####", "#####", ".###.", "..#..", "....."}},
    {"ARROW_UP",          {"..#..", ".###.", "#.#.#", "..#..", "..#..", "..#..", "....."}},
    {"ARROW_DOWN",        {"..#..", "..#..", "..#..", "#.#.#", ".###.", "..#..", "....."}},
    {"ARROW_LEFT",        {".....", "..#..", ".#...", "#####", ".#...", "..#..", "....."}},
    {"ARROW_RIGHT",       {".....", "..#..", "...#.", "#####", "...#.", "..#..", "....."}},
    {"CHECKBOX_OFF",      {".....", "#####", "#...#", "#...#", "#...#", "#####", "....."}},
    {"CHECKBOX_ON",       {".....", "#####", "##.##", "#.#.#", "##.##", "#####", "....."}},
    {"CHECKBOX_GRAY",     {".....", "#####", "#.#.#", "##.##", "#.#.#", "#####", "....."}},
    {"SELECTOR_AT_LEFT",  {"#....", "##...", "###..", "####.", "###..", "##...", "#...."}},
    {"SELECTOR_AT_RIGHT", {"....#", "...##", "..###", ".####", "..###", "...##", "....#"}},
    {"ELLIPSIS",          {".....", ".....", ".....", ".....", ".....", "#.#.#", "....."}},
    {"STOP",              {".....", "#####", "#####", "#####", "#####", "#####", "....."}},
    {"PAUSE",             {".....", "##.##", "##.##", "##.##", "##.##", "##.##", "....."}},
    {"PLAY",              {".#...", ".##..", ".###.", ".####", ".###.", ".##..", ".#..."}},
    {"PLAYR",             {"...#.", "..##.", ".###.", "####.", ".###.", "..##.", "...#."}},
    {"FF",                {".....", "#..#.", "##.##", "#####", "##.##", "#..#.", "....."}},
    {"FR",                {".....", ".#..#", "##.##", "#####", "##.##", ".#..#", "....."}},
    {"NEXT",              {".....", "#...#", "##..#", "###.#", "##..#", "#...#", "....."}},
    {"PREV",              {".....", "#...#", "#..##", "#.###", "#..##", "#...#", "....."}},
    {"REC",               {".....", ".###.", "#####", "#####", "#####", ".###.", "....."}},
};
// clang-format on

}  // namespace

std::optional<Glyph> IconGlyph(const std::string& name) {
  for (const Icon& icon : kIcons) {
    if (name != icon.name) continue;
    Glyph glyph{};
    for (int row = 0; row < kGlyphHeight; ++row)
      for (int column = 0; column < kGlyphWidth; ++column)
        if (icon.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] == '#')
          glyph[static_cast<std::size_t>(column)] |= static_cast<uint8_t>(1 << row);
    return glyph;
  }
  return std::nullopt;
}

}  // namespace glowreel::lcdproc
