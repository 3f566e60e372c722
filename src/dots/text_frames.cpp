#include "dots/text_frames.h"

#include <algorithm>

#include "dots/dot_drawing.h"
#include "dots/pixel_font.h"

namespace glowreel {
namespace {

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

}  // namespace

TextFrames::TextFrames(const std::string& utf8, int32_t holdSlices, int32_t scrollSlices,
                       int32_t fallbackScroll, int columns, int rows)
    : lines_(SplitLines(DecodeUtf8(utf8))),
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
    DrawTextLine(frame, lines_[n], x, top + static_cast<int>(n) * kGlyphPitchY, true,
                 Clip{0, 0, columns_, kPixelRows});
  }
  frame.slices = Scrolls() ? scrollSlices_ : holdSlices_;
  ++step_;
  return true;
}

}  // namespace glowreel
