// glowreel-convert: pictures and animations into movies, and movies into animated GIFs.
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "authoring/cell_edits.h"
#include "authoring/gif_export.h"
#include "authoring/gif_writer.h"
#include "authoring/movie_check.h"
#include "authoring/movie_writer.h"
#include "authoring/picture_cells.h"
#include "authoring/png_export.h"
#include "dots/picture_reader.h"
#include "dots/text_frames.h"
#include "platform/command_line.h"
#include "platform/exit_signals.h"
#include "platform/process_setup.h"
#include "platform/qt/qt_command_line.h"
#include "player/play_movie.h"

namespace glowreel {
namespace {

constexpr const char* kProgram = "glowreel-convert";
constexpr const char* kUsage =
    "Usage: glowreel-convert [OPTION]... PICTURE... -o MOVIE.grm\n"
    "       glowreel-convert --dots [OPTION]... PICTURE... -o DOTS.gif\n"
    "       glowreel-convert [--scroll MS] [--duration MS] --text TEXT -o SIGN.gif|SIGN.grm\n"
    "       glowreel-convert [--repeat] MOVIE.grm -o MOVIE.gif\n"
    "       glowreel-convert [--sequence] MOVIE.grm -o PICTURES.png\n"
    "Turns pictures (PNG, BMP, JPEG, PBM/PGM/PPM, GIF), each frame of an animated GIF included,\n"
    "into a movie of one frame each, in the order given; with --dots, into a 128 x 64 GIF of\n"
    "two colours, every dot as the display shows it (glowreel-play plays it). Text becomes such\n"
    "a GIF, or a movie in a font of cells. Or plays a movie unseen and writes what the display\n"
    "shows as an animated GIF, or as PNG pictures: one sprite sheet (rows of 16), or a sequence.\n"
    "\n"
    "  -o, --output FILE    the movie (.grm), the GIF (.gif) or the pictures (.png) to write\n"
    "      --fit MODE       contain (the default), cover or stretch the picture on the 126 x 64\n"
    "                       dots\n"
    "      --threshold N    how bright (0-100) a cell's area must be to light it; default 50\n"
    "      --invert         light the dark parts of the picture instead\n"
    "      --dither         spread each cell's rounding error over its neighbours\n"
    "      --duration MS    each frame's duration; default 100, or an animated GIF's own delays\n"
    "      --repeat         (GIF) loop for ever, as Repeat does\n"
    "      --sequence       (PNG) a file a picture, NAME-0001.png on, instead of one sheet\n"
    "      --dots           pictures at the display's full resolution, into a GIF\n"
    "      --text TEXT      text in the display's pixel font (\\n breaks a line)\n"
    "      --scroll MS      scroll the text a dot (a cell, in a movie) every MS milliseconds;\n"
    "                       unasked, 30 (200) where it does not fit\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n";

constexpr int kDone = 0, kFailed = 1;

struct Options {
  CellOptions cells;
  std::optional<int32_t> duration;
  bool repeat = false;
  bool sequence = false;
  bool dots = false;
  bool pictureOptions = false;  // any of --fit, --threshold, --invert, --dither
  std::optional<std::string> text;
  std::optional<int32_t> scroll;
  std::string output;
  std::vector<std::string> inputs;
};

std::optional<long> Number(const QString& text, long low, long high) {
  bool ok = false;
  const long value = text.toLong(&ok);
  if (!ok || value < low || value > high) return std::nullopt;
  return value;
}

// Returns the exit status when the program is to end at once, or -1.
int Parse(int argc, char** argv, Options& options) {
  QCommandLineParser parser;
  const QCommandLineOption output({"o", "output"}, {}, "FILE"), duration("duration", {}, "MS"),
      repeat("repeat"), sequence("sequence"), dots("dots"), text("text", {}, "TEXT"),
      scroll("scroll", {}, "MS");
  parser.addOptions({output, duration, repeat, sequence, dots, text, scroll});
  AddPictureOptions(parser);
  if (const int status = ReadCommandLine(parser, argc, argv, kProgram, kUsage); status >= 0)
    return status;
  if (const std::string wrong = ReadPictureOptions(parser, options.cells); !wrong.empty())
    return UsageError(kProgram, wrong);
  if (parser.isSet(duration)) {
    // The player reports a pause its slices cannot count, and shows a frame without one only
    // while the next is sent.
    const auto n = Number(parser.value(duration), kMostNegativeMs, kLongestPauseMs);
    if (!n) return UsageError(kProgram, "--duration takes milliseconds from -327685 to 327674");
    options.duration = static_cast<int32_t>(*n);
    if (*SliceCount(*options.duration) == 0)
      std::fprintf(stderr,
                   "glowreel-convert: --duration %d makes no pause: each frame shows only "
                   "while the next one is sent\n",
                   *options.duration);
  }
  options.pictureOptions = parser.isSet("fit") || parser.isSet("threshold") ||
                           parser.isSet("invert") || parser.isSet("dither");
  options.repeat = parser.isSet(repeat);
  options.sequence = parser.isSet(sequence);
  options.dots = parser.isSet(dots);
  if (parser.isSet(text)) options.text = parser.value(text).toStdString();
  if (parser.isSet(scroll)) {
    const auto n = Number(parser.value(scroll), 1, kLongestPauseMs);
    if (!n) return UsageError(kProgram, "--scroll takes milliseconds from 1 to 327674");
    options.scroll = static_cast<int32_t>(*n);
    if (!options.text) return UsageError(kProgram, "--scroll moves --text; there is none");
  }
  options.output = QFile::encodeName(parser.value(output)).toStdString();
  for (const QString& input : parser.positionalArguments())
    options.inputs.push_back(QFile::encodeName(input).toStdString());
  if (options.text && !options.inputs.empty())
    return UsageError(kProgram, "--text converts no pictures besides");
  if (options.text && (options.pictureOptions || options.sequence || options.dots))
    return UsageError(kProgram,
                      "--text is drawn in the pixel font: no --fit, --threshold, --invert, "
                      "--dither, --sequence or --dots with it");
  if (options.inputs.empty() && !options.text) return UsageError(kProgram, "nothing to convert");
  if (options.output.empty()) return UsageError(kProgram, "no output named (-o FILE)");
  return -1;
}

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int Fail(const std::string& file, const std::string& reason) {
  std::fprintf(stderr, "glowreel-convert: %s: %s\n", file.c_str(), reason.c_str());
  return kFailed;
}

// Frames of every dot into a 128 x 64 GIF of black and white, each held its slices.
int DotsToGif(const Options& options, const std::function<std::string(GifWriter&)>& frames) {
  GifWriter gif(options.output, kPixelColumns, kPixelRows, {qRgb(0, 0, 0), qRgb(255, 255, 255)},
                options.repeat);
  if (const std::string failure = frames(gif); !failure.empty()) {
    std::fprintf(stderr, "glowreel-convert: %s\n", failure.c_str());
    return kFailed;
  }
  const std::string reason = gif.Finish();
  return reason.empty() ? kDone : Fail(options.output, reason);
}

QImage DotsImage(const DotFrame& frame) {
  QImage image(kPixelColumns, kPixelRows, QImage::Format_RGB32);
  for (int y = 0; y < kPixelRows; ++y)
    for (int x = 0; x < kPixelColumns; ++x)
      image.setPixel(x, y, frame.At(x, y) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  return image;
}

int PicturesToDots(const Options& options) {
  return DotsToGif(options, [&](GifWriter& gif) {
    return ForEachPicture(options.inputs, {options.duration},
                          [&](const QImage& picture, int32_t ms) {
                            gif.Add(DotsImage(DotsOfPicture(GreyOf(picture), options.cells)), ms);
                          });
  });
}

// Text as the display's dots into a GIF, each picture held as glowreel-play --text holds it, or
// as cells (taken as dots) into a movie.
int TextTo(const Options& options, bool movie) {
  const int32_t duration = options.duration.value_or(kStillPictureMs);
  if (!movie) {
    const int32_t hold = *SliceCount(duration);
    if (hold == 0) return UsageError(kProgram, "--duration makes no pause: a GIF's text needs one");
    TextFrames frames(*options.text, hold, options.scroll ? ScrollSlices(*options.scroll) : 0);
    return DotsToGif(options, [&](GifWriter& gif) {
      for (DotFrame frame; frames.Next(frame);) {
        if (ExitSignalPending()) return std::string("stopped by a signal");
        gif.Add(DotsImage(frame), frame.slices * kSliceMs);
      }
      return std::string();
    });
  }
  std::vector<std::string> lines = {"Made with glowreel-convert from text"};
  for (const auto& [held, cells] : TextInCells(*options.text, duration, options.scroll.value_or(0)))
    for (std::string& line : FrameLines(held, cells)) lines.push_back(std::move(line));
  if (ExitSignalPending()) return Fail(options.output, "stopped by a signal");
  const std::string reason = WriteMovieLines(options.output, lines);
  return reason.empty() ? kDone : Fail(options.output, reason);
}

// What the display shows playing the movie (or a picture, on every dot): an animated GIF, or
// PNG pictures.
int ToPictures(const Options& options, bool gif) {
  if (options.inputs.size() != 1) return UsageError(kProgram, "the pictures are of one movie");
  const std::string& movie = options.inputs.front();
  const auto warn = [&](const std::string& text) {
    std::fprintf(stderr, "glowreel-convert: %s: %s\n", movie.c_str(), text.c_str());
  };
  PngSequence sequence(options.output);
  SpriteSheet sheet(options.output);
  const std::string reason =
      gif ? ExportGif(movie, options.output, options.repeat, warn, options.cells)
          : ExportPictures(movie, options.sequence ? static_cast<PictureSink&>(sequence) : sheet,
                           warn, options.cells);
  if (!reason.empty() && options.sequence) {  // the sequence's reason names its file
    std::fprintf(stderr, "glowreel-convert: %s\n", reason.c_str());
    return kFailed;
  }
  return reason.empty() ? kDone : Fail(options.output, reason);
}

int ToMovie(const Options& options) {
  std::vector<std::string> lines = {"Made with glowreel-convert from"};
  for (const std::string& input : options.inputs) {
    lines.front() += (input == options.inputs.front() ? " " : ", ");
    // A name is shown, never taken for lines of the movie.
    lines.front() += Printable(QFileInfo(QString::fromStdString(input)).fileName().toStdString());
  }
  CellFrames frames;
  if (const std::string failure =
          ReadPictures(options.inputs, options.cells, {options.duration}, frames);
      !failure.empty()) {
    std::fprintf(stderr, "glowreel-convert: %s\n", failure.c_str());
    return kFailed;
  }
  for (const auto& [duration, cells] : frames)
    for (std::string& line : FrameLines(duration, cells)) lines.push_back(std::move(line));
  const std::string reason = WriteMovieLines(options.output, lines);
  return reason.empty() ? kDone : Fail(options.output, reason);
}

}  // namespace
}  // namespace glowreel

int main(int argc, char** argv) {
  glowreel::PrepareProcess();
  glowreel::Options options;
  if (const int status = glowreel::Parse(argc, argv, options); status >= 0) return status;
  QCoreApplication app(argc, argv);  // where Qt finds its picture formats
  glowreel::InstallExitSignals();    // ends the work with nothing written
  const bool gif = glowreel::EndsWith(options.output, ".gif");
  const bool png = glowreel::EndsWith(options.output, ".png");
  if (options.text && !gif && !glowreel::EndsWith(options.output, ".grm"))
    return glowreel::UsageError(glowreel::kProgram,
                                "--text writes a GIF (-o FILE.gif) or a movie (-o FILE.grm)");
  if (options.repeat && !gif)
    return glowreel::UsageError(glowreel::kProgram, "--repeat makes a GIF loop; a movie has none");
  if (options.text) return glowreel::TextTo(options, !gif);
  if (options.dots && !gif)
    return glowreel::UsageError(glowreel::kProgram, "--dots writes a GIF (-o FILE.gif)");
  // A GIF holds a picture whole hundredths of a second; less would leave it out.
  if (options.dots && options.duration && *options.duration < glowreel::kSliceMs)
    return glowreel::UsageError(glowreel::kProgram,
                                "--dots holds each picture at least 10 ms (--duration 10)");
  if (options.dots) return glowreel::PicturesToDots(options);
  // What would be silently ignored is refused.
  if (options.sequence && !png)
    return glowreel::UsageError(glowreel::kProgram, "--sequence writes PNG pictures (-o FILE.png)");
  const bool movieToGif =
      (gif || png) && glowreel::KindOfFile(options.inputs.front()) == glowreel::FileKind::kMovie;
  if (movieToGif && options.pictureOptions)
    return glowreel::UsageError(
        glowreel::kProgram,
        "--fit, --threshold, --invert and --dither fit pictures; a movie is "
        "written to pictures as it plays");
  if (gif || png) return glowreel::ToPictures(options, gif);
  if (glowreel::EndsWith(options.output, ".grm")) return glowreel::ToMovie(options);
  return glowreel::UsageError(glowreel::kProgram,
                              "the output must end in .grm (a movie), .gif or .png");
}
