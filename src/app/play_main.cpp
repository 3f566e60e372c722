// glowreel-play: plays a movie without windows, for kiosks, services and scripts, as a person
// does in the main window: start-up, Load, Play, and at the end the fade-out.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "app/play_live.h"
#include "app/port_opening.h"
#include "authoring/movie_check.h"
#include "core/playback.h"
#include "dots/picture_frames.h"
#include "dots/text_frames.h"
#include "platform/command_line.h"
#include "platform/console_platform.h"
#include "platform/exit_signals.h"
#include "platform/port/port.h"
#include "platform/process_setup.h"
#include "platform/report_error.h"
#include "platform/service_notify.h"
#include "platform/whole_file.h"
#include "player/movie_file.h"
#include "player/session.h"
#include "version.h"

namespace glowreel {
namespace {

constexpr const char* kProgram = "glowreel-play";
constexpr const char* kUsage =
    "Usage: glowreel-play [--repeat] [--port SETTING] [PICTURE OPTIONS] MOVIE\n"
    "       glowreel-play [--repeat] [--scroll MS] [--duration MS] --text TEXT\n"
    "       glowreel-play [--http [ADDR:]PORT] [--lcdproc [ADDR:]PORT] [--mqtt URL]\n"
    "                     [--playlist FILE] [--repeat] [MOVIE | --text TEXT]\n"
    "       glowreel-play --mqtt URL --mqtt-forget\n"
    "       glowreel-play --check MOVIE\n"
    "       glowreel-play --list-ports\n"
    "Plays MOVIE once (or until stopped, with --repeat) on a Noritake 128x64 VFD, then fades\n"
    "the display out and switches it off. SIGINT and SIGTERM stop it the same way;\n"
    "SIGHUP reads the movie (or picture) again and goes on at its first frame. A picture given\n"
    "as MOVIE is shown on every dot of the display, an animated GIF frame by frame for its\n"
    "delays\n"
    "(GIF, PNG, JPEG, BMP and PBM/PGM/PPM; others through glowreel-convert --dots).\n"
    "\n"
    "  -r, --repeat          play the movie again and again\n"
    "  -t, --text TEXT       show TEXT at the display's full resolution instead of a movie:\n"
    "                        up to 8 lines of 21 characters stand still (\\n breaks a line),\n"
    "                        longer text scrolls in from the right\n"
    "  -s, --scroll MS       scroll the text one dot every MS milliseconds (default 30 where\n"
    "                        it does not fit)\n"
    "  -d, --duration MS     how long still text or a still picture is held (default 100)\n"
    "      --fit MODE        contain (the default), cover or stretch a picture on the 128 x 64\n"
    "      --threshold N     how bright (0-100) a dot's part of a picture must be; default 50\n"
    "      --invert          light the picture's dark parts instead\n"
    "      --dither          spread each dot's rounding error over its neighbours\n"
    "  -b, --brightness N    light the display at level N of 16 and fade out from there\n"
    "                        (as GLOWREEL_BRIGHTNESS, which it overrides); default 16\n"
    "  -p, --port SETTING    where the display's bytes go, as GLOWREEL_PORT (which it overrides):\n"
    "                        ppdev[:DEVICE], ioport, gpio:CHIP:LINES, trace:FILE, none,\n"
    "                        joined with commas; default ppdev:/dev/parport0\n"
    "      --http [ADDR:]PORT  take messages, media, a playlist and settings over HTTP (as\n"
    "                        GLOWREEL_HTTP); 127.0.0.1 unless ADDR is given, which needs a\n"
    "                        token (GLOWREEL_HTTP_TOKEN or GLOWREEL_HTTP_TOKEN_FILE)\n"
    "      --lcdproc [ADDR:]PORT  show the screens of lcdproc's clients (as GLOWREEL_LCDPROC;\n"
    "                        they connect to 13666 unless told otherwise); 127.0.0.1 unless\n"
    "                        ADDR is given\n"
    "      --lcdproc-screens PLACE  where their screens show (as GLOWREEL_LCDPROC_SCREENS):\n"
    "                        turns (with the playlist's items, the default), first, last\n"
    "                        (when the playlist has nothing to show) or alerts (only their\n"
    "                        alert screens, which interrupt in all four)\n"
    "      --mqtt URL        take messages, brightness, power, a playlist from an MQTT broker\n"
    "                        (mqtt://HOST[:PORT] or mqtts://..., as GLOWREEL_MQTT), tell it the\n"
    "                        state and announce the display to Home Assistant\n"
    "      --mqtt-name NAME  the display's name there (as GLOWREEL_MQTT_NAME; default the\n"
    "                        host's): its topics are glowreel/NAME/...\n"
    "      --mqtt-forget     take the display away from the broker and Home Assistant, and exit\n"
    "      --playlist FILE   play the items and schedule of a JSON playlist\n"
    "      --state DIR       keep the playlist, settings and media there (default\n"
    "                        $STATE_DIRECTORY, or $XDG_STATE_HOME/glowreel)\n"
    "      --check           tell every problem of MOVIE with its line, and send nothing\n"
    "  -l, --list-ports      list the parallel ports and GPIO chips there are\n"
    "  -h, --help            show this help and exit\n"
    "  -V, --version         show the version and exit\n";

// Distinct reports held before they are written out, in case a pass has endlessly many.
constexpr std::size_t kHeldReports = 100;

int Check(const std::string& movie) {
  bool reports = false;
  CheckMovie(movie, [&](const MovieProblem& problem) {
    if (problem.line == 0) {
      std::printf("%s: %s\n", movie.c_str(), problem.text.c_str());
    } else {
      std::printf("%s:%zu: %s\n", movie.c_str(), problem.line, problem.text.c_str());
    }
    reports = reports || problem.reports;
  });
  return reports ? kFailed : kPlayed;
}

// A picture is decoded to its last frame, as playing it would.
int CheckPicture(const std::string& path) {
  int frames = 0;
  if (const std::optional<RunTimeError> why = CheckPictureFile(path, frames)) {
    std::printf("%s: %d - %s\n", path.c_str(), why->Number(), why->Description().c_str());
    return kFailed;
  }
  std::printf("%s: a picture of %d frame%s, shown on every dot; no lines to check\n", path.c_str(),
              frames, frames == 1 ? "" : "s");
  return kPlayed;
}

// The main window's part, played by the command line: Repeat as asked, and reports as lines
// that name the movie and its line; identical reports of a pass make one line with a count.
// Playback stops when every output has failed.
class Console : public PlayerWindow {
 public:
  Console(std::string movie, bool repeat, Playback& pb, const PortContext& port,
          ConsolePlatform& platform)
      : movie_(std::move(movie)), repeat_(repeat), pb_(pb), port_(port), platform_(platform) {}
  ~Console() override { PassEnded(); }
  int RepeatValue() const override { return repeat_ ? 1 : 0; }
  void SetGoCaption(const std::string&) override {}
  void Report(const MovieReport& report) override {
    const std::string line = movie_ + (report.line ? ":" + std::to_string(report.line) : "") +
                             ": An error has occured: " + std::to_string(report.error.Number()) +
                             " - " + report.error.Description();
    const auto same = std::find_if(held_.begin(), held_.end(),
                                   [&](const auto& held) { return held.first == line; });
    if (same != held_.end()) return ++same->second, void();
    if (held_.size() == kHeldReports) PassEnded();
    held_.emplace_back(line, 1);
  }
  void FrameShown(std::size_t) override {
    // A service is ready once its first frame is on the display, and again after a reload.
    if (!ready_) ready_ = NotifyService("READY=1") || true;
    if (port_.HasSinks()) return;
    outputsFailed = true;
    pb_.bPlaying = false;
    pb_.bDisplayReady = false;  // nothing is left to fade out
  }
  void PassEnded() override {
    for (const auto& [line, count] : held_) {
      const std::string times =
          count > 1 ? " (" + std::to_string(count) + " times in this pass)" : "";
      std::fprintf(stderr, "%s: %s%s\n", kProgram, line.c_str(), times.c_str());
    }
    held_.clear();
  }
  bool Reload() override {
    if (!std::exchange(platform_.reloadWanted, false)) return false;
    NotifyService("RELOADING=1");
    ready_ = false;
    return true;
  }
  bool outputsFailed = false;

 private:
  std::string movie_;
  bool repeat_;
  Playback& pb_;
  const PortContext& port_;
  ConsolePlatform& platform_;
  std::vector<std::pair<std::string, int>> held_;
  bool ready_ = false;
};

// How to play: as the command line says.
struct Settings {
  bool repeat = false;
  const char* port = nullptr;
  int16_t brightness = kFullBrightness;
  PictureOptions picture;
  int32_t stillSlices = 11;
  int32_t scrollSlices = 0;  // text only: a step of the marquee, 0 where unasked
};

// The movie, or the picture its content says it is, as its file stands now.
Showing OpenShowing(const std::string& path, const Settings& settings) {
  Showing showing;
  if (KindOfFile(path) == FileKind::kMovie) {
    showing.movie = ReadMovieFile(path);
    return showing;
  }
  RunTimeError why(0);
  if (std::unique_ptr<PictureReader> reader = OpenPicture(path, why)) {
    showing.dots =
        std::make_unique<PictureFrames>(std::move(reader), settings.picture, settings.stillSlices);
  } else {
    showing.movie.error = why;
  }
  return showing;
}

// Plays `movie` (a picture by its content), or the text given instead of it.
int Play(const std::string& movie, const std::string* text, const Settings& settings) {
  const char* setting = settings.port;
  Playback playback;
  ConsolePlatform platform(kProgram, playback);
  InstallPlatform(&platform);
  InstallExitSignals(/*hangUpReloads=*/true);
  PortContext port;
  port.ending = &playback.bExiting;
  Console console(movie, settings.repeat, playback, port, platform);
  const ShowingOpener open = [&]() {
    if (!text) return OpenShowing(movie, settings);
    Showing showing;
    showing.dots = std::make_unique<TextFrames>(*text, settings.stillSlices, settings.scrollSlices);
    return showing;
  };
  // A movie or picture that cannot be read ends here, before the display is touched.
  Showing first = open();
  if (first.movie.error) return console.Report({*first.movie.error, 0}), kFailed;
  if (const int status = OpenDisplayPort(port, setting)) return status;
  playback.sMovieFile = movie;
  PlaySession(playback, console, std::move(first), open, /*fadeOut=*/true, settings.brightness);
  NotifyService("STOPPING=1");
  PortClose();
  InstallPort(nullptr);
  InstallPlatform(nullptr);
  return console.outputsFailed ? kOutputsFailed : kPlayed;
}

// Milliseconds as --scroll and --duration take them: a whole number up to the longest pause.
bool ReadMilliseconds(const std::string& text, int32_t& ms) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  ms = std::stoi(text);
  return ms <= kLongestPauseMs;
}

}  // namespace
}  // namespace glowreel

int main(int argc, char** argv) {
  using glowreel::UsageError;
  glowreel::PrepareProcess();
  glowreel::CommandLine line({{"h", "help"},
                              {"V", "version"},
                              {"r", "repeat"},
                              {"", "check"},
                              {"l", "list-ports"},
                              {"p", "port", true},
                              {"t", "text", true},
                              {"s", "scroll", true},
                              {"d", "duration", true},
                              {"", "fit", true},
                              {"", "threshold", true},
                              {"", "invert"},
                              {"", "dither"},
                              {"b", "brightness", true},
                              {"", "http", true},
                              {"", "lcdproc", true},
                              {"", "lcdproc-screens", true},
                              {"", "mqtt", true},
                              {"", "mqtt-name", true},
                              {"", "mqtt-forget"},
                              {"", "playlist", true},
                              {"", "state", true}});
  if (!line.Parse(argc, argv)) return UsageError(glowreel::kProgram, line.Error());
  if (line.IsSet("help")) {
    std::fputs(glowreel::kUsage, stdout);
    return 0;
  }
  if (line.IsSet("version")) {
    std::printf("glowreel-play %s\n", glowreel::version::kFull);
    return 0;
  }
  if (line.IsSet("list-ports")) {
    const std::vector<std::string> ports = glowreel::ListPorts();
    for (const std::string& port : ports) std::puts(port.c_str());
    if (ports.empty())
      std::fputs("glowreel-play: no parallel port and no GPIO chip here\n", stderr);
    return 0;
  }
  const bool text = line.IsSet("text");
  const char* httpEnv = std::getenv("GLOWREEL_HTTP");
  const std::string http = line.IsSet("http") ? line.Value("http") : httpEnv ? httpEnv : "";
  const char* lcdprocEnv = std::getenv("GLOWREEL_LCDPROC");
  const std::string lcdproc = line.IsSet("lcdproc") ? line.Value("lcdproc")
                              : lcdprocEnv          ? lcdprocEnv
                                                    : "";
  const char* placeEnv = std::getenv("GLOWREEL_LCDPROC_SCREENS");
  const std::string place = line.IsSet("lcdproc-screens") ? line.Value("lcdproc-screens")
                            : placeEnv && *placeEnv       ? placeEnv
                                                          : "turns";
  const char* mqttEnv = std::getenv("GLOWREEL_MQTT");
  const std::string mqtt = line.IsSet("mqtt") ? line.Value("mqtt") : mqttEnv ? mqttEnv : "";
  if (line.IsSet("mqtt-forget") && mqtt.empty())
    return UsageError(glowreel::kProgram,
                      "--mqtt-forget needs the broker (--mqtt or GLOWREEL_MQTT)");
  const bool live = !http.empty() || !lcdproc.empty() || !mqtt.empty() || line.IsSet("playlist");
  // A live display's empty MOVIE is none: the service's GLOWREEL_MOVIE= shows what clients send.
  std::vector<std::string> movies = line.Positional();
  if (live && movies.size() == 1 && movies.front().empty()) movies.clear();
  if (text && !movies.empty())
    return UsageError(glowreel::kProgram, "--text plays no movie besides");
  if (line.IsSet("playlist") && (text || !movies.empty()))
    return UsageError(glowreel::kProgram, "--playlist plays no movie or text besides");
  if (!live && !text && movies.empty()) return UsageError(glowreel::kProgram, "no movie named");
  if (movies.size() > 1) return UsageError(glowreel::kProgram, "one movie at a time");
  const std::string movie = text ? "text" : movies.empty() ? "" : movies.front();
  if (line.IsSet("check")) {
    if (live)
      return UsageError(glowreel::kProgram,
                        "--check plays nothing: no --http, --lcdproc, --mqtt or --playlist");
    if (text) return UsageError(glowreel::kProgram, "--check reads a movie, not --text");
    if (line.IsSet("repeat") || line.IsSet("port"))
      return UsageError(glowreel::kProgram, "--check plays nothing: no --repeat or --port with it");
    if (glowreel::KindOfFile(movie) != glowreel::FileKind::kMovie)
      return glowreel::CheckPicture(movie);
    return glowreel::Check(movie);
  }
  const std::string port = line.Value("port");
  const char* setting = line.IsSet("port") ? port.c_str() : std::getenv("GLOWREEL_PORT");
  // Levels 1-16 as a person counts them; the display's are 0-15.
  // An empty GLOWREEL_BRIGHTNESS is no setting, as an empty GLOWREEL_PORT is none.
  const char* level = line.IsSet("brightness") ? nullptr : std::getenv("GLOWREEL_BRIGHTNESS");
  if (level && !*level) level = nullptr;
  const std::string brightness = level                      ? level
                                 : line.IsSet("brightness") ? line.Value("brightness")
                                                            : "16";
  const bool fits = brightness.size() <= 2 && !brightness.empty() &&
                    brightness.find_first_not_of("0123456789") == std::string::npos &&
                    std::stoi(brightness) >= 1 && std::stoi(brightness) <= 16;
  if (!fits)
    return UsageError(
        glowreel::kProgram,
        std::string(level ? "GLOWREEL_BRIGHTNESS" : "the brightness") + " is a level from 1 to 16");
  glowreel::Settings settings;
  for (const auto& [option, take] : glowreel::kPictureValueOptions) {
    const std::string wrong = line.IsSet(option) ? take(line.Value(option), settings.picture) : "";
    if (!wrong.empty()) return UsageError(glowreel::kProgram, wrong);
  }
  settings.picture.invert = line.IsSet("invert");
  settings.picture.dither = line.IsSet("dither");
  int32_t scroll = 0, duration = glowreel::kStillPictureMs;
  if (line.IsSet("scroll") && !glowreel::ReadMilliseconds(line.Value("scroll"), scroll))
    return UsageError(glowreel::kProgram, "--scroll takes milliseconds from 0 to 327674");
  if (line.IsSet("duration") && !glowreel::ReadMilliseconds(line.Value("duration"), duration))
    return UsageError(glowreel::kProgram, "--duration takes milliseconds from 0 to 327674");
  // A scroll step lasts its milliseconds in whole slices, at least one; still text is held by
  // the movie's rule for a frame's duration.
  if (line.IsSet("scroll")) settings.scrollSlices = glowreel::ScrollSlices(scroll);
  const std::string textGiven = line.Value("text");
  settings.repeat = line.IsSet("repeat");
  settings.port = setting;
  settings.brightness = static_cast<int16_t>(std::stoi(brightness) - 1);
  settings.stillSlices = *glowreel::SliceCount(duration);
  if (!live) return glowreel::Play(movie, text ? &textGiven : nullptr, settings);
  glowreel::LiveSettings liveSettings;
  liveSettings.http = http;
  liveSettings.lcdproc = lcdproc;
  liveSettings.mqtt = mqtt;
  liveSettings.mqttForget = line.IsSet("mqtt-forget");
  constexpr std::pair<const char*, glowreel::live::ScreensPlace> kPlaces[] = {
      {"turns", glowreel::live::ScreensPlace::kTurns},
      {"first", glowreel::live::ScreensPlace::kFirst},
      {"last", glowreel::live::ScreensPlace::kLast},
      {"alerts", glowreel::live::ScreensPlace::kAlerts}};
  const auto named = std::find_if(std::begin(kPlaces), std::end(kPlaces),
                                  [&](const auto& known) { return place == known.first; });
  if (named == std::end(kPlaces))
    return UsageError(glowreel::kProgram,
                      "the screens' place is turns, first, last or alerts, not \"" + place + "\"");
  liveSettings.screensPlace = named->second;
  liveSettings.playlistFile = line.Value("playlist");
  liveSettings.movie = text ? "" : movie;
  liveSettings.text = text ? &textGiven : nullptr;
  liveSettings.scrollMs = line.IsSet("scroll") ? std::max(scroll, 1) : 0;
  liveSettings.stillMs = line.IsSet("duration") ? std::max(duration, 1) : 0;
  liveSettings.repeat = settings.repeat;
  liveSettings.stateFolder = line.Value("state");
  const auto env = [](const char* name) {
    const char* value = std::getenv(name);
    return std::string(value ? value : "");
  };
  liveSettings.token = env("GLOWREEL_HTTP_TOKEN");
  if (liveSettings.token.empty() && !env("GLOWREEL_HTTP_TOKEN_FILE").empty()) {
    std::string token;
    if (glowreel::ReadWholeFile(env("GLOWREEL_HTTP_TOKEN_FILE"), token) != 0)
      return UsageError(glowreel::kProgram, "GLOWREEL_HTTP_TOKEN_FILE cannot be read");
    while (!token.empty() && (token.back() == '\n' || token.back() == '\r')) token.pop_back();
    liveSettings.token = token;
  }
  liveSettings.mqttName =
      line.IsSet("mqtt-name") ? line.Value("mqtt-name") : env("GLOWREEL_MQTT_NAME");
  liveSettings.mqttPrefix = env("GLOWREEL_MQTT_PREFIX");
  liveSettings.mqttGroups = env("GLOWREEL_MQTT_GROUPS");
  liveSettings.mqttCredentials = env("GLOWREEL_MQTT_CREDENTIALS");
  liveSettings.mqttCa = env("GLOWREEL_MQTT_CA");
  liveSettings.certificateFile = env("GLOWREEL_HTTP_CERT");
  liveSettings.keyFile = env("GLOWREEL_HTTP_KEY");
  liveSettings.port = setting;
  liveSettings.level = settings.brightness;
  liveSettings.picture = settings.picture;
  return glowreel::RunLiveDisplay(liveSettings);
}
