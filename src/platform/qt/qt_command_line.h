#pragma once

#include <string>

#include "dots/picture_dots.h"

#include <QCommandLineParser>

namespace glowreel {

// Reads a window program's command line as every GlowReel program reads its own: -h/--help and
// -V/--version print and end the program, a wrong argument prints one line and "Try 'PROGRAM
// --help'." (status 2). Works before the window system is up. Returns the status to end with
// at once, or -1 to go on. A program that takes one argument at most (a movie) names it
// `oneArgument`, and more than one is a wrong command line.
int ReadCommandLine(QCommandLineParser& parser, int argc, char** argv, const char* program,
                    const char* usage, const char* oneArgument = nullptr);

// The options that fit a picture to the display (--fit, --threshold, --invert, --dither), for
// the programs that take pictures; read them after ReadCommandLine: "" or what is wrong.
void AddPictureOptions(QCommandLineParser& parser);
std::string ReadPictureOptions(const QCommandLineParser& parser, PictureOptions& options);

}  // namespace glowreel
