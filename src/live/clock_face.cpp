#include "live/clock_face.h"

#include <algorithm>

#include "dots/dot_drawing.h"
#include "dots/pixel_font.h"

namespace glowreel::live {

namespace {

// Segments a-g as bits 0-6: top, top right, bottom right, bottom, bottom left, top left, middle.
constexpr uint8_t kDigitSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
constexpr int kGap = 3;  // dots between characters
constexpr int kTimeHeightAlone = 44, kTimeHeightWithDate = 36, kSmallestHeight = 14;

struct Geometry {
  int height, width, stroke;
  explicit Geometry(int h) : height(h), width(h * 11 / 20), stroke(std::max(2, h / 8)) {}
};

// The segments with their outer corners left dark, so that the digits read rounded.
void DrawDigit(int digit, int left, int top, const Geometry& g, DotFrame& frame) {
  const uint8_t on = kDigitSegments[digit];
  const int t = g.stroke, w = g.width, h = g.height, mid = top + (h - t) / 2;
  if (on & 0x01) FillDots(frame, left + 1, top, w - 2, t);
  if (on & 0x08) FillDots(frame, left + 1, top + h - t, w - 2, t);
  if (on & 0x40) FillDots(frame, left + 1, mid, w - 2, t);
  const int upper = (h + t) / 2 - 1, lower = h - upper - 1;
  if (on & 0x20) FillDots(frame, left, top + 1, t, upper);
  if (on & 0x02) FillDots(frame, left + w - t, top + 1, t, upper);
  if (on & 0x10) FillDots(frame, left, mid + 1, t, lower);
  if (on & 0x04) FillDots(frame, left + w - t, mid + 1, t, lower);
}

// A character's width, drawing it where `frame` is given.
int Character(char c, int left, int top, const Geometry& g, DotFrame* frame) {
  const int t = g.stroke;
  if (c >= '0' && c <= '9') {
    if (frame) DrawDigit(c - '0', left, top, g, *frame);
    return g.width;
  }
  switch (c) {
    case ':':
      if (frame) {
        FillDots(*frame, left, top + g.height / 3 - t / 2, t, t);
        FillDots(*frame, left, top + 2 * g.height / 3 - t / 2, t, t);
      }
      return t;
    case '.':
      if (frame) FillDots(*frame, left, top + g.height - t, t, t);
      return t;
    case '-':
      if (frame) FillDots(*frame, left, top + (g.height - t) / 2, g.width / 2, t);
      return g.width / 2;
    case '/':
      if (frame)
        for (int y = 0; y < g.height; ++y)
          FillDots(*frame, left + (g.height - 1 - y) * (g.width / 2) / g.height, top + y, t, 1);
      return g.width / 2 + t;
    case ' ':
      return g.width / 3;
    default:  // letters (AM, PM, a zone) stand at the digits' foot in the small font
      if (frame)
        DrawGlyph(*frame, static_cast<unsigned char>(c), left, top + g.height - kGlyphHeight);
      return kGlyphWidth;
  }
}

int Layout(const std::string& text, int left, int top, int height, DotFrame* frame) {
  const Geometry g(height);
  int x = left;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (k > 0) x += kGap;
    x += Character(text[k], x, top, g, frame);
  }
  return x - left;
}

std::string Format(const std::string& format, const std::tm& local) {
  char text[128];
  const std::size_t length = std::strftime(text, sizeof text, format.c_str(), &local);
  return std::string(text, length);
}

}  // namespace

int BigTextWidth(const std::string& text, int height) {
  return Layout(text, 0, 0, height, nullptr);
}

void DrawBigText(const std::string& text, int top, int height, DotFrame& frame) {
  Layout(text, (kPixelColumns - BigTextWidth(text, height)) / 2, top, height, &frame);
}

void DrawBigTextAt(const std::string& text, int left, int top, int height, DotFrame& frame) {
  Layout(text, left, top, height, &frame);
}

void DrawClock(const std::string& timeFormat, const std::string& dateFormat, const std::tm& local,
               DotFrame& frame) {
  frame.dots.fill(false);
  const std::string time = Format(timeFormat, local);
  const std::string date = dateFormat.empty() ? "" : Format(dateFormat, local);
  int height = date.empty() ? kTimeHeightAlone : kTimeHeightWithDate;
  while (height > kSmallestHeight && BigTextWidth(time, height) > kPixelColumns - 4) height -= 2;
  const int dateRows = date.empty() ? 0 : kGlyphPitchY + 4;
  DrawBigText(time, (kPixelRows - dateRows - height) / 2, height, frame);
  if (date.empty()) return;
  const std::u32string line = DecodeUtf8(date);
  const int width = static_cast<int>(line.size()) * kGlyphPitchX - 1;
  DrawTextLine(frame, line, (kPixelColumns - width) / 2, kPixelRows - kGlyphPitchY - 1);
}

}  // namespace glowreel::live
