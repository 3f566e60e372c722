#include "dots/text_frames.h"

#include <algorithm>

#include "dots/pixel_font.h"

namespace glowreel {
namespace {

// UTF-8 into characters; a byte that starts no well-formed character stands for itself, as in
// Latin-1, so text from an older terminal still shows.
std::u32string Decode(const std::string& text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t more = byte >= 0xF0 && byte < 0xF5   ? 3
                             : byte >= 0xE0 && byte < 0xF0 ? 2
                             : byte >= 0xC2 && byte < 0xE0 ? 1
                                                           : 0;
    char32_t character = byte & (0x7F >> more);
    bool wellFormed = more > 0 && i + more < text.size();
    for (std::size_t k = 1; wellFormed && k <= more; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      wellFormed = (next & 0xC0) == 0x80;
      character = (character << 6) | (next & 0x3F);
    }
    // An overlong form (a line feed in three bytes, say), a surrogate or a code past Unicode's
    // last is not well formed either.
    constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    wellFormed = wellFormed && character >= kLeast[more] && character <= 0x10FFFF &&
                 (character < 0xD800 || character > 0xDFFF);
    out += wellFormed ? character : byte;
    i += wellFormed ? 1 + more : 1;
  }
  return out;
}

std::vector<std::u32string> SplitLines(const std::u32string& text) {
  std::vector<std::u32string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == U'\n' || (text[i] == U'\\' && i + 1 < text.size() && text[i + 1] == U'n')) {
      i += text[i] == U'\\';
      lines.emplace_back();
    } else {
      lines.back() += text[i];
    }
  }
  return lines;
}

// Draws a line with its first character's left edge at `left` and its top at `top`; what falls
// outside the display is left out.
void DrawLine(DotFrame& frame, const std::u32string& line, int left, int top, int columns) {
  // Only the characters that reach the area: a long marquee costs the same at every step.
  const long first = std::max(0L, (-static_cast<long>(left)) / kGlyphPitchX);
  const long last = std::min(static_cast<long>(line.size()),
                             (static_cast<long>(columns) - left) / kGlyphPitchX + 1);
  for (auto k = static_cast<std::size_t>(first); static_cast<long>(k) < last; ++k) {
    const Glyph glyph = GlyphFor(line[k]);
    for (int column = 0; column < kGlyphWidth; ++column) {
      const int x = left + static_cast<int>(k) * kGlyphPitchX + column;
      if (x < 0 || x >= columns) continue;
      for (int row = 0; row < kGlyphHeight; ++row)
        if (glyph[static_cast<std::size_t>(column)] >> row & 1) frame.At(x, top + row) = true;
    }
  }
}

}  // namespace

TextFrames::TextFrames(const std::string& utf8, int32_t holdSlices, int32_t scrollSlices,
                       int32_t fallbackScroll, int columns, int rows)
    : lines_(SplitLines(Decode(utf8))),
      columns_(columns),
      rows_(rows),
      holdSlices_(holdSlices),
      scrollSlices_(scrollSlices) {
  // The last character's and the last line's gaps may fall off the area.
  const auto linesAcross = static_cast<std::size_t>((rows + 1) / kGlyphPitchY);
  const auto charactersAcross = static_cast<std::size_t>((columns + 1) / kGlyphPitchX);
  if (lines_.size() > linesAcross) {  // more lines than there is room for: one line, all kept
    std::u32string joined;
    for (const auto& line : lines_) joined += (joined.empty() ? U"" : U" ") + line;
    lines_ = {joined};
  }
  std::size_t longest = 0;
  for (const auto& line : lines_) longest = std::max(longest, line.size());
  // The last character's gap is no part of the text.
  width_ = longest ? static_cast<int>(longest) * kGlyphPitchX - 1 : 0;
  if (longest > charactersAcross && scrollSlices_ <= 0) scrollSlices_ = fallbackScroll;
}

bool TextFrames::Next(DotFrame& frame) {
  // Still text is one frame; a marquee one frame a dot, from the first column in at the right
  // to the last one out at the left.
  const int steps = Scrolls() ? columns_ + width_ : 1;
  if (step_ >= steps) return false;
  frame = DotFrame{};
  const int height = static_cast<int>(lines_.size()) * kGlyphPitchY - 1;
  const int top = (rows_ - height) / 2;
  const int left = Scrolls() ? columns_ - 1 - step_ : 0;
  for (std::size_t n = 0; n < lines_.size(); ++n) {
    const int lineWidth = static_cast<int>(lines_[n].size()) * kGlyphPitchX - 1;
    const int x = Scrolls() ? left : (columns_ - lineWidth) / 2;
    DrawLine(frame, lines_[n], x, top + static_cast<int>(n) * kGlyphPitchY, columns_);
  }
  frame.slices = Scrolls() ? scrollSlices_ : holdSlices_;
  ++step_;
  return true;
}

}  // namespace glowreel
