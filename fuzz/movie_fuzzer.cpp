// Any bytes as a movie file: split into lines (checked against a plain reading of the rules),
// scanned for headers, every frame read and drawn, the whole checked as --check does. The first
// frames also go through the display model, which must show exactly the drawn image.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "authoring/movie_check.h"
#include "core/playback.h"
#include "platform/platform.h"
#include "platform/port/display_model.h"
#include "platform/port/port.h"
#include "player/duration.h"
#include "player/frame.h"
#include "player/movie_file.h"
#include "vfd/vfd.h"

namespace {

class CountingPlatform : public glowreel::Platform {
 public:
  void Sleep(int32_t) override {}
  void DoEvents() override {}
  void MsgBox(const std::string&, const std::string&) override { ++boxes; }
  void Beep() override {}
  long boxes = 0;
};

// Watches the model the refresh feeds.
class Snapshot : public glowreel::DisplayView {
 public:
  void LookChanged(const glowreel::DisplayModel&) override {}
  void Settled(const glowreel::DisplayModel& model) override { last = &model; }
  const glowreel::DisplayModel* last = nullptr;
};

// The line rules read as plainly as possible: read up to CR (eating one LF after it), join the
// lines with LF once the text is non-empty, cut at every LF.
std::vector<std::string> ReferenceLines(const std::string& bytes) {
  std::string gathered;
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::string line;
    while (at < bytes.size() && bytes[at] != '\r') line += bytes[at++];
    if (at < bytes.size()) {
      ++at;
      if (at < bytes.size() && bytes[at] == '\n') ++at;
    }
    if (!gathered.empty()) gathered += '\n';
    gathered += line;
  }
  std::vector<std::string> lines;
  if (gathered.empty()) return lines;
  std::size_t start = 0;
  for (std::size_t lf; (lf = gathered.find('\n', start)) != std::string::npos; start = lf + 1) {
    lines.push_back(gathered.substr(start, lf - start));
  }
  lines.push_back(gathered.substr(start));
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace glowreel;
  static CountingPlatform platform;
  static bool ready = [] {
    InstallPlatform(&platform);
    return true;
  }();
  (void)ready;
  auto view = std::make_unique<Snapshot>();
  Snapshot* watcher = view.get();
  PortContext port;
  port.Add(MakeDisplayModelSink(std::move(view), kFirstParallelPort));
  InstallPort(&port);
  Playback pb;
  pb.lPortBase = kFirstParallelPort;
  InitDisplay(pb);

  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const LineList lines = SplitMovieText(bytes);
  const std::vector<std::string> expected = ReferenceLines(bytes);
  if (lines.size() != expected.size()) std::abort();
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i] != expected[i]) std::abort();
  for (std::size_t i = lines.size(); i-- > 0;)  // and walked backwards
    if (lines[i] != expected[i]) std::abort();
  CheckMovieLines(lines, [&](const MovieProblem& problem) {
    if (problem.line > lines.FileLine(lines.size())) std::abort();
  });
  constexpr int kCheckedFrames = 3;  // a refresh is costly; the model check needs only a few
  int frames = 0;
  int32_t duration = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!IsFrameHeader(lines[i])) continue;
    const int32_t before = duration;
    ReadFrame(lines, i, duration, pb.cellGrid, [](const MovieReport&) {});
    if (!ParseDuration(lines[i].substr(1)) && duration != before) std::abort();
    DrawFrame(pb, nullptr);
    i += 9;
    if (++frames > kCheckedFrames) continue;
    RefreshDisplay(pb);
    PortFlush();
    for (int x = 0; x < kPixelColumns; ++x)
      for (int y = 0; y < kPixelRows; ++y)
        if (watcher->last->Lit(x, y) != (pb.pixelBuffer[x][y] != 0)) std::abort();
  }
  InstallPort(nullptr);
  return 0;
}
