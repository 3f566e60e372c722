#include "lcdproc/draw_screen.h"

#include <algorithm>

#include "dots/dot_drawing.h"
#include "lcdproc/icons.h"
#include "live/clock_face.h"

namespace glowreel::lcdproc {

namespace {

constexpr int kStrokeMs = 125;  // the protocol's rendering stroke: 8 a second
constexpr int kHoldMs = 1000;   // a scroller rests this long at each end
constexpr int kNumHeight = 30;  // a big digit: three columns across, four rows down
constexpr int kTitleScrollMs = 40;

int Left(int x) {
  return (x - 1) * kCellWidth;
}
int Top(int y) {
  return (y - 1) * kCellHeight;
}

int TextWidth(const std::u32string& text) {
  return static_cast<int>(text.size()) * kCellWidth;
}

// Dots a scroller of this speed has moved after `ms`: `speed` characters a stroke, or one
// character every -speed strokes, a dot at a time.
int64_t DotsMoved(int speed, int64_t ms) {
  if (speed == 0) return 0;
  return speed > 0 ? ms * speed * kCellWidth / kStrokeMs : ms * kCellWidth / (kStrokeMs * -speed);
}

// From 0 to `overflow` dots and back to 0 after a rest at each end, `moved` dots into it.
int BackAndForth(int64_t moved, int overflow, int holdDots) {
  if (overflow <= 0) return 0;
  const int64_t period = 2 * (overflow + holdDots);
  const int64_t at = moved % period;
  if (at < holdDots) return 0;
  if (at < holdDots + overflow) return static_cast<int>(at - holdDots);
  if (at < 2 * holdDots + overflow) return overflow;
  return static_cast<int>(period - at);
}

void DrawScroller(DotFrame& frame, const Widget& w, int64_t ms, const Clip& screen) {
  const Clip area{Left(w.x), Top(w.y), std::min(screen.right, Left(w.right) + kCellWidth),
                  std::min(screen.bottom, Top(w.bottom) + kCellHeight)};
  const std::u32string text = DecodeUtf8(w.text);
  const int width = area.right - area.left;
  const int64_t moved = DotsMoved(w.speed, ms);
  const int holdDots = static_cast<int>(DotsMoved(w.speed, kHoldMs));
  if (w.direction == 'm') {  // round and round, a gap of three characters between
    const int period = TextWidth(text) + 3 * kCellWidth;
    const int offset = static_cast<int>(moved % std::max(1, period));
    for (int left = area.left - offset; left < area.right; left += period)
      DrawTextLine(frame, text, left, area.top, true, area);
  } else if (w.direction == 'h') {
    DrawTextLine(frame, text, area.left - BackAndForth(moved, TextWidth(text) - width, holdDots),
                 area.top, true, area);
  } else {  // 'v': the text in lines as wide as the area, rising a dot at a time
    const std::size_t across = static_cast<std::size_t>(std::max(1, width / kCellWidth));
    const int lines = static_cast<int>((text.size() + across - 1) / across);
    const int overflow = lines * kCellHeight - (area.bottom - area.top);
    const int up = BackAndForth(moved, overflow, holdDots);
    for (int n = 0; n < lines; ++n)
      DrawTextLine(frame, text.substr(static_cast<std::size_t>(n) * across, across), area.left,
                   area.top + n * kCellHeight - up, true, area);
  }
}

// The labels at the ends of its width, the bar between them: an outline filled by promille.
void DrawPbar(DotFrame& frame, const Widget& w, const Clip& clip) {
  const std::u32string begin = DecodeUtf8(w.text), end = DecodeUtf8(w.endLabel);
  const int top = Top(w.y), endLeft = Left(w.x + w.width) - TextWidth(end);
  DrawTextLine(frame, begin, Left(w.x), top, true, clip);
  DrawTextLine(frame, end, endLeft, top, true, clip);
  const int left = Left(w.x) + TextWidth(begin), across = endLeft - 1 - left;
  if (across < 3) return;
  FillDots(frame, left, top, across, 1, true, clip);
  FillDots(frame, left, top + kGlyphHeight - 1, across, 1, true, clip);
  FillDots(frame, left, top, 1, kGlyphHeight, true, clip);
  FillDots(frame, left + across - 1, top, 1, kGlyphHeight, true, clip);
  FillDots(frame, left + 1, top + 1, (across - 2) * w.promille / 1000, kGlyphHeight - 2, true,
           clip);
}

void DrawTitle(DotFrame& frame, const Widget& w, int64_t ms, const Clip& clip) {
  // Lit across the screen's top row, the text in dark dots: a title, not just a first line.
  FillDots(frame, clip.left, 0, clip.right - clip.left, kCellHeight - 1, true, clip);
  const std::u32string text = DecodeUtf8(w.text);
  const int room = clip.right - clip.left - 2 * kCellWidth;
  const int overflow = TextWidth(text) - room;
  const int left = overflow <= 0 ? (clip.right - TextWidth(text)) / 2
                                 : kCellWidth - BackAndForth(ms / kTitleScrollMs, overflow,
                                                             kHoldMs / kTitleScrollMs);
  const Clip inside{kCellWidth / 2, 0, clip.right - kCellWidth / 2, kCellHeight};
  DrawTextLine(frame, text, left, 0, false, inside);
}

void DrawPixmap(DotFrame& frame, const Widget& w, int64_t ms, const PictureOf& pictureOf,
                const Clip& clip) {
  const int left = Left(w.x), top = Top(w.y);
  const DotFrame* picture = w.media.empty() || !pictureOf ? nullptr : pictureOf(w.media, ms);
  if (!picture && w.dots.empty()) return;  // a picture not stored (any more)
  for (int x = 0; x < w.width; ++x)
    for (int y = 0; y < w.height; ++y) {
      // A stored picture, stretched over the whole display, sampled down to the pixmap.
      const bool lit =
          picture ? picture->At(x * kPixelColumns / w.width, y * kPixelRows / w.height)
                  : (w.dots[static_cast<std::size_t>((y / 8) * w.width + x)] >> (y % 8)) & 1;
      if (lit) FillDots(frame, left + x, top + y, 1, 1, true, clip);
    }
}

void DrawWidget(DotFrame& frame, const Screen& screen, const Widget& w, int64_t ms,
                const PictureOf& pictureOf, const Clip& clip);

// A frame: a screen of `width` x `height` characters of its own, seen through its area and
// scrolled up and down where it is taller.
void DrawFrame(DotFrame& frame, const Screen& screen, const Widget& w, int64_t ms,
               const PictureOf& pictureOf, const Clip& clip) {
  const Clip area{Left(w.x), Top(w.y), std::min(clip.right, Left(w.right) + kCellWidth),
                  std::min(clip.bottom, Top(w.bottom) + kCellHeight)};
  DotFrame inner;
  const Clip whole{0, 0, w.width * kCellWidth, w.height * kCellHeight};
  for (const Widget& in : screen.widgets)
    if (in.frame == w.id) DrawWidget(inner, screen, in, ms, pictureOf, whole);
  const int overflow = whole.bottom - (area.bottom - area.top);
  const int up =
      BackAndForth(DotsMoved(w.speed, ms), overflow, static_cast<int>(DotsMoved(w.speed, kHoldMs)));
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const int fromX = x - area.left, fromY = y - area.top + up;
      if (fromX < kPixelColumns && fromY < kPixelRows && inner.At(fromX, fromY))
        frame.At(x, y) = true;
    }
}

void DrawWidget(DotFrame& frame, const Screen& screen, const Widget& w, int64_t ms,
                const PictureOf& pictureOf, const Clip& clip) {
  if (!w.set) return;
  switch (w.type) {
    case WidgetType::kString:
      DrawTextLine(frame, DecodeUtf8(w.text), Left(w.x), Top(w.y), true, clip);
      break;
    case WidgetType::kTitle:
      DrawTitle(frame, w, ms, clip);
      break;
    case WidgetType::kHbar:  // to the dot, in the middle six of the row's eight
      FillDots(frame, Left(w.x), Top(w.y) + 1, w.length, kCellHeight - 2, true, clip);
      break;
    case WidgetType::kVbar:  // up from the bottom of its row
      FillDots(frame, Left(w.x), Top(w.y) + kCellHeight - w.length, kGlyphWidth, w.length, true,
               clip);
      break;
    case WidgetType::kPbar:
      DrawPbar(frame, w, clip);
      break;
    case WidgetType::kIcon:
      if (const std::optional<Glyph> glyph = IconGlyph(w.text))
        DrawGlyph(frame, *glyph, Left(w.x), Top(w.y), true, clip);
      break;
    case WidgetType::kScroller:
      DrawScroller(frame, w, ms, clip);
      break;
    case WidgetType::kFrame:
      DrawFrame(frame, screen, w, ms, pictureOf, clip);
      break;
    case WidgetType::kNum: {
      DotFrame digit;
      live::DrawBigTextAt(
          w.promille == 10 ? ":" : std::string(1, static_cast<char>('0' + w.promille)), Left(w.x),
          (kPixelRows - kNumHeight) / 2, kNumHeight, digit);
      for (int y = 0; y < kPixelRows; ++y)
        for (int x = std::max(0, clip.left); x < std::min(kPixelColumns, clip.right); ++x)
          if (digit.At(x, y) && y >= clip.top && y < clip.bottom) frame.At(x, y) = true;
      break;
    }
    case WidgetType::kPixmap:
      DrawPixmap(frame, w, ms, pictureOf, clip);
      break;
  }
}

}  // namespace

DotFrame DrawScreen(const Screen& screen, int64_t ms, const PictureOf& pictureOf) {
  DotFrame frame;
  const Clip clip{0, 0, std::min(kPixelColumns, screen.width * kCellWidth),
                  std::min(kPixelRows, screen.height * kCellHeight)};
  for (const Widget& w : screen.widgets)
    if (w.frame.empty()) DrawWidget(frame, screen, w, ms, pictureOf, clip);
  return frame;
}

bool Moves(const Screen& screen) {
  const int room = std::min(kPixelColumns, screen.width * kCellWidth) - 2 * kCellWidth;
  return std::any_of(screen.widgets.begin(), screen.widgets.end(), [&](const Widget& w) {
    if (!w.set) return false;
    if (w.type == WidgetType::kTitle) return TextWidth(DecodeUtf8(w.text)) > room;
    if (w.type == WidgetType::kPixmap) return !w.media.empty();
    return (w.type == WidgetType::kScroller || w.type == WidgetType::kFrame) && w.speed != 0;
  });
}

}  // namespace glowreel::lcdproc
