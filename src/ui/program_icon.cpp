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

template <std::size_t N>
QImage Draw(const std::array<const char*, N>& pattern, int size, int pitch, int dot, int margin) {
  QImage image(size, size, QImage::Format_Indexed8);
  image.setColorTable(QList<QRgb>(kPalette.begin(), kPalette.end()));
  image.fill(kBlack);
  for (std::size_t row = 0; row < N; ++row) {
    for (int col = 0; pattern[row][col] != '\0'; ++col) {
      const char c = pattern[row][col];
      if (c != '#' && c != '~') continue;
      const uchar colour = c == '#' ? kBrightGreen : kGreen;
      for (int dy = 0; dy < dot; ++dy)
        for (int dx = 0; dx < dot; ++dx)
          image.setPixel(margin + col * pitch + dx, margin + static_cast<int>(row) * pitch + dy,
                         colour);
    }
  }
  return image;
}

}  // namespace

QImage ProgramIconImage(int size) {
  return size >= 32 ? Draw(kBoat32, 32, 3, 2, 1) : Draw(kBoat16, 16, 2, 1, 0);
}

QIcon ProgramIcon() {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(ProgramIconImage(32)));
  icon.addPixmap(QPixmap::fromImage(ProgramIconImage(16)));
  return icon;
}

}  // namespace glowreel
