// glowreel-convert: pictures and animations into movies, and movies into animated GIFs.
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/gif_export.h"
#include "authoring/movie_writer.h"
#include "authoring/picture_cells.h"
#include "version.h"

namespace glowreel {
namespace {

constexpr const char* kUsage =
    "Usage: glowreel-convert [OPTION]... PICTURE... -o MOVIE.grm\n"
    "       glowreel-convert [--repeat] MOVIE.grm -o MOVIE.gif\n"
    "Turns pictures (PNG, BMP, JPEG, PBM/PGM/PPM, GIF), each frame of an animated GIF included,\n"
    "into a movie of one frame each, in the order given. Or plays a movie unseen and writes what\n"
    "the display shows as an animated GIF.\n"
    "\n"
    "  -o FILE          the movie (.grm) or the GIF (.gif) to write\n"
    "  --fit MODE       contain (the default), cover or stretch the picture on the 126 x 64 dots\n"
    "  --threshold N    how bright (0-100) a cell's area must be to light it; default 50\n"
    "  --invert         light the dark parts of the picture instead\n"
    "  --dither         spread each cell's rounding error over its neighbours\n"
    "  --duration MS    each frame's duration; default 100, or an animated GIF's own delays\n"
    "  --repeat         (GIF) loop for ever, as Repeat does\n"
    "  --help           show this help and exit\n"
    "  --version        show the version and exit\n";

constexpr int kDone = 0, kFailed = 1, kUsageError = 2;

struct Options {
  CellOptions cells;
  std::optional<int32_t> duration;
  bool repeat = false;
  std::string output;
  std::vector<std::string> inputs;
};

std::optional<long> Number(std::string_view text, long low, long high) {
  long value = 0;
  std::size_t used = 0;
  try {
    value = std::stol(std::string(text), &used);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (used != text.size() || value < low || value > high) return std::nullopt;
  return value;
}

int UsageError(const std::string& what) {
  std::fprintf(stderr, "glowreel-convert: %s\n%s", what.c_str(), kUsage);
  return kUsageError;
}

// Returns the exit status when the program is to end at once, or -1.
int Parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const auto value = [&]() -> std::optional<std::string_view> {
      if (i + 1 == argc) return std::nullopt;
      return std::string_view(argv[++i]);
    };
    if (arg == "--help") {
      std::fputs(kUsage, stdout);
      return kDone;
    } else if (arg == "--version") {
      std::printf("glowreel-convert %s\n", version::kFull);
      return kDone;
    } else if (arg == "-o" || arg == "--output") {
      const auto path = value();
      if (!path) return UsageError("-o needs a file");
      options.output = *path;
    } else if (arg == "--fit") {
      const auto fit = value().value_or("");
      if (fit == "contain")
        options.cells.fit = Fit::kContain;
      else if (fit == "cover")
        options.cells.fit = Fit::kCover;
      else if (fit == "stretch")
        options.cells.fit = Fit::kStretch;
      else
        return UsageError("--fit takes contain, cover or stretch");
    } else if (arg == "--threshold") {
      const auto n = Number(value().value_or(""), 0, 100);
      if (!n) return UsageError("--threshold takes a number from 0 to 100");
      options.cells.threshold = static_cast<int>(*n);
    } else if (arg == "--duration") {
      const auto n = Number(value().value_or(""), INT32_MIN, INT32_MAX);
      if (!n) return UsageError("--duration takes milliseconds");
      options.duration = static_cast<int32_t>(*n);
    } else if (arg == "--invert") {
      options.cells.invert = true;
    } else if (arg == "--dither") {
      options.cells.dither = true;
    } else if (arg == "--repeat") {
      options.repeat = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option " + std::string(arg));
    } else {
      options.inputs.emplace_back(arg);
    }
  }
  if (options.inputs.empty()) return UsageError("nothing to convert");
  if (options.output.empty()) return UsageError("no output named (-o FILE)");
  return -1;
}

bool EndsWith(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int Fail(const std::string& file, const std::string& reason) {
  std::fprintf(stderr, "glowreel-convert: %s: %s\n", file.c_str(), reason.c_str());
  return kFailed;
}

int ToGif(const Options& options) {
  if (options.inputs.size() != 1) return UsageError("a GIF is made of one movie");
  const std::string& movie = options.inputs.front();
  const std::string reason =
      ExportGif(movie, options.output, options.repeat, [&](const auto& text) {
        std::fprintf(stderr, "glowreel-convert: %s: %s\n", movie.c_str(), text.c_str());
      });
  return reason.empty() ? kDone : Fail(options.output, reason);
}

int ToMovie(const Options& options) {
  std::vector<std::string> lines = {"Made with glowreel-convert from"};
  for (const std::string& input : options.inputs) {
    lines.front() += (input == options.inputs.front() ? " " : ", ");
    lines.front() += QFileInfo(QString::fromStdString(input)).fileName().toStdString();
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
  glowreel::Options options;
  if (const int status = glowreel::Parse(argc, argv, options); status >= 0) return status;
  QCoreApplication app(argc, argv);  // where Qt finds its picture formats
  if (glowreel::EndsWith(options.output, ".gif")) return glowreel::ToGif(options);
  if (glowreel::EndsWith(options.output, ".grm")) return glowreel::ToMovie(options);
  return glowreel::UsageError("the output must end in .grm (a movie) or .gif");
}
