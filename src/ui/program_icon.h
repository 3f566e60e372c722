#pragma once

#include <QIcon>
#include <QImage>

namespace glowreel {

// The sailing boat in square bright-green dots on black, 16 colours.
QImage ProgramIconImage(int size);  // square, 16 pixels or more
QIcon ProgramIcon();

}  // namespace glowreel
