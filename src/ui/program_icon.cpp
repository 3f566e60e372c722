#include "ui/program_icon.h"

#include <array>

namespace glowreel {

namespace {

// '#' bright-green dot, '~' green dot (the water), anything else black.
constexpr std::array<const char*, 10> kBoat32 = {
    "....#.....",  //
    "....##....",  //
    "....###...",  //
    "....####..",  //
    "....#####.",  //
    "....#.....",  //
    "##########",  //
    ".########.",  //
    "..######..",  //
    "~.~.~.~.~.",  //
};
constexpr std::array<const char*, 8> kBoat16 = {
    "...#....",  //
    "...##...",  //
    "...###..",  //
    "...####.",  //
    "...#....",  //
    "########",  //
    ".######.",  //
    "~.~.~.~.",  //
};

// The sixteen colours of the classic palette; the icon uses black and the two greens.
constexpr std::array<QRgb, 16> kPalette = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};
constexpr uchar kBlack = 0, kGreen = 2, kBrightGreen = 10;

// The pattern's dots at a pitch that fills the size; a dot takes two thirds of its pitch.
template <std::size_t N>
QImage Draw(const std::array<const char*, N>& pattern, int size, int pitch) {
  const int dot = (2 * pitch + 1) / 3;
  const int margin = (size - (static_cast<int>(N) * pitch - (pitch - dot))) / 2;
  QImage image(size, size, QImage::Format_Indexed8);
  image.setColorTable(QList<QRgb>(kPalette.begin(), kPalette.end()));
  image.fill(kBlack);
  for (std::size_t row = 0; row < N; ++row) {
    for (int col = 0; pattern[row][col] != '\0'; ++col) {
      const char c = pattern[row][col];
      if (c != '#' && c != '~') continue;
      const int left = margin + col * pitch, top = margin + static_cast<int>(row) * pitch;
      for (int dy = 0; dy < dot; ++dy)
        for (int dx = 0; dx < dot; ++dx)
          image.setPixel(left + dx, top + dy, c == '#' ? kBrightGreen : kGreen);
    }
  }
  return image;
}

}  // namespace

QImage ProgramIconImage(int size) {
  // The finer boat from 32 pixels up; 32 and 16 are the window's own two images.
  return size >= 32 ? Draw(kBoat32, size, size * 3 / 32) : Draw(kBoat16, size, size / 8);
}

QIcon ProgramIcon() {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(ProgramIconImage(32)));
  icon.addPixmap(QPixmap::fromImage(ProgramIconImage(16)));
  return icon;
}

}  // namespace glowreel
