#pragma once

#include <QFont>
#include <QRect>

namespace glowreel {

// Layouts are given in twips; at the usual 15 twips per pixel.
inline constexpr int kTwipsPerPixel = 15;

inline QRect Twips(int left, int top, int width, int height) {
  return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
               height / kTwipsPerPixel);
}

// MS Sans Serif does not exist here; DejaVu Sans stands in for it.
inline constexpr const char* kFontFamily = "DejaVu Sans";
inline constexpr double kStandardPointSize = 8.25;

inline QFont WindowFont(double points = kStandardPointSize, bool bold = false) {
  QFont font(kFontFamily);
  font.setPointSizeF(points);
  if (bold) font.setWeight(QFont::Bold);
  return font;
}

}  // namespace glowreel
