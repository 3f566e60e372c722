#pragma once

#include <QIcon>
#include <QImage>

namespace glowreel {

// The sailing boat in square bright-green dots on black, 16 colours.
QImage ProgramIconImage(int size);  // 32 or 16
QIcon ProgramIcon();

}  // namespace glowreel
