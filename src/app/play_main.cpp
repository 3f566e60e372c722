// glowreel-play: plays a movie without windows, for kiosks, services and scripts, as a person
// does in the main window: start-up, Load, Play, and at the end the fade-out.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "authoring/movie_check.h"
#include "core/shared_state.h"
#include "platform/console_platform.h"
#include "platform/exit_signals.h"
#include "platform/port/port.h"
#include "platform/report_error.h"
#include "player/movie_file.h"
#include "player/play_movie.h"
#include "version.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

constexpr const char* kUsage =
    "Usage: glowreel-play [--repeat] [--port SETTING] MOVIE\n"
    "       glowreel-play --check MOVIE\n"
    "Plays MOVIE once (or until stopped, with --repeat) on a Noritake 128x64 VFD, then fades\n"
    "the display out and switches it off. SIGINT, SIGTERM and SIGHUP stop it the same way.\n"
    "\n"
    "  --repeat          play the movie again and again\n"
    "  --port SETTING    where the display's bytes go, as GLOWREEL_PORT (which it overrides):\n"
    "                    ppdev[:DEVICE], ioport, trace:FILE, none, joined with commas;\n"
    "                    default ppdev:/dev/parport0\n"
    "  --check           tell every problem of MOVIE with its line, and send nothing\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n";

constexpr int32_t kFirstParallelPort = 888;
constexpr int kPlayed = 0, kFailed = 1, kUsageError = 2;

struct Options {
  bool repeat = false;
  bool check = false;
  const char* port = nullptr;
  const char* movie = nullptr;
};

// Returns the exit status when the program is to end at once, or -1.
int Parse(int argc, char** argv, Options& options) {
  const auto usageError = [](const std::string& what) {
    std::fprintf(stderr, "glowreel-play: %s\n%s", what.c_str(), kUsage);
    return kUsageError;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help") {
      std::fputs(kUsage, stdout);
      return kPlayed;
    } else if (arg == "--version") {
      std::printf("glowreel-play %s\n", version::kFull);
      return kPlayed;
    } else if (arg == "--repeat") {
      options.repeat = true;
    } else if (arg == "--check") {
      options.check = true;
    } else if (arg == "--port") {
      if (++i == argc) return usageError("--port needs a value");
      options.port = argv[i];
    } else if (arg.rfind("--port=", 0) == 0) {
      options.port = argv[i] + 7;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return usageError("unknown option " + std::string(arg));
    } else if (options.movie) {
      return usageError("one movie at a time");
    } else {
      options.movie = argv[i];
    }
  }
  if (!options.movie) return usageError("no movie named");
  return -1;
}

int Check(const char* movie) {
  bool reports = false;
  for (const MovieProblem& problem : CheckMovie(movie)) {
    if (problem.line == 0) {
      std::printf("%s: %s\n", movie, problem.text.c_str());
    } else {
      std::printf("%s:%zu: %s\n", movie, problem.line, problem.text.c_str());
    }
    reports = reports || problem.reports;
  }
  return reports ? kFailed : kPlayed;
}

class Console : public PlayerWindow {
 public:
  explicit Console(bool repeat) : repeat_(repeat) {}
  int RepeatValue() const override { return repeat_ ? 1 : 0; }
  void SetGoCaption(const std::string&) override {}

 private:
  bool repeat_;
};

int Play(const Options& options) {
  ConsolePlatform platform("glowreel-play");
  InstallPlatform(&platform);
  InstallExitSignals();

  sMovieFile = options.movie;
  const uint64_t reportsBefore = ReportCount();
  ReadMovieFile();  // a movie that cannot be read ends here, before the display is touched
  if (ReportCount() != reportsBefore) return kFailed;

  const char* setting = options.port ? options.port : std::getenv("GLOWREEL_PORT");
  const std::vector<RunTimeError> failures = PortOpen(setting ? setting : "", kFirstParallelPort);
  for (const RunTimeError& failure : failures) ReportError(failure);
  if (!failures.empty()) {
    if (!setting) std::fputs("glowreel-play: name the port with --port (see --help)\n", stderr);
    return kFailed;
  }

  // What the main window does: open, Load, Play; and Exit once playback is over.
  lPortBase = kFirstParallelPort;
  InitDisplay();
  SetBrightness(15);
  ClearDisplay();
  Console console(options.repeat);
  SetPlayerWindow(&console);
  bPlaying = true;
  PlayMovie();
  SetPlayerWindow(nullptr);
  bPlaying = false;
  ShutdownDisplay();
  PortClose();
  InstallPlatform(nullptr);
  return kPlayed;
}

}  // namespace
}  // namespace glowreel

int main(int argc, char** argv) {
  glowreel::Options options;
  if (const int status = glowreel::Parse(argc, argv, options); status >= 0) return status;
  return options.check ? glowreel::Check(options.movie) : glowreel::Play(options);
}
