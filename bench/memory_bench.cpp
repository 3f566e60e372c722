// What reading, checking and exporting a movie cost in memory, against the movie's size.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "authoring/gif_export.h"
#include "authoring/gif_writer.h"
#include "authoring/movie_check.h"
#include "counting_allocator.h"
#include "dots/picture_frames.h"
#include "player/movie_file.h"

namespace glowreel {
namespace {

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("glowreel-bench-" + std::to_string(getpid()) + "-" + name))
      .string();
}

// Peak heap over the file's size for `work` on a file of `text`.
template <typename Work>
void PeakRatio(benchmark::State& state, const std::string& text, Work work) {
  const std::string path = TempPath("movie.grm");
  std::ofstream(path, std::ios::binary) << text;
  double ratio = 0;
  for (auto _ : state) {
    bench::ResetPeak();
    const std::size_t before = bench::HeapInUse();
    work(path);
    ratio = static_cast<double>(bench::HeapPeak() - before) / static_cast<double>(text.size());
  }
  std::filesystem::remove(path);
  state.counters["peak_ratio"] = ratio;
}

// A movie of nothing but line feeds, walked as playing walks it.
void BM_PlayLineFeedsMemory(benchmark::State& state) {
  PeakRatio(state, std::string(32u << 20, '\n'), [](const std::string& path) {
    const MovieLines read = ReadMovieFile(path);
    std::size_t frames = 0;
    ForEachFrame(read.lines, [&](std::size_t) { return ++frames > 0; });
    benchmark::DoNotOptimize(frames);
  });
}
BENCHMARK(BM_PlayLineFeedsMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// Lines of "@" only: every line a problem of each kind.
void BM_CheckHeadersMemory(benchmark::State& state) {
  std::string text;
  while (text.size() < (2u << 20)) text += "@\r\n";
  PeakRatio(state, text, [](const std::string& path) {
    std::size_t told = 0;
    CheckMovie(path, [&](const MovieProblem&) { ++told; });
    benchmark::DoNotOptimize(told);
  });
}
BENCHMARK(BM_CheckHeadersMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// A number of kB /proc tells of this process ("VmRSS:", "VmHWM:").
long StatusKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.compare(0, field.size(), field) == 0) return std::stol(line.substr(field.size()));
  return 0;
}

// A GIF export of `frames` alternating frames, in a process of its own: how far its resident
// size grew beyond what it began with (a forked process starts with all the benchmarks' pages
// before it).
void BM_GifExportMemory(benchmark::State& state) {
  const std::string movie = TempPath("export.grm"), gif = TempPath("export.gif");
  {
    std::ofstream out(movie, std::ios::binary);
    for (int64_t k = 0; k < state.range(0); ++k) {
      out << "@10\r\n";
      for (int row = 0; row < 8; ++row) out << std::string(18, k % 2 ? '1' : '0') << "\r\n";
      out << "\r\n";
    }
  }
  long grownKb = 0;
  for (auto _ : state) {
    int told[2];
    if (pipe(told) != 0) return state.SkipWithError("no pipe");
    const pid_t child = fork();
    if (child == 0) {
      std::ofstream("/proc/self/clear_refs") << "5";  // the high-water mark starts here
      const long before = StatusKb("VmRSS:");
      ExportGif(movie, gif, false, [](const std::string&) {});
      const long grown = StatusKb("VmHWM:") - before;
      _exit(write(told[1], &grown, sizeof grown) == sizeof grown ? 0 : 1);
    }
    close(told[1]);
    if (read(told[0], &grownKb, sizeof grownKb) != sizeof grownKb) grownKb = -1;
    close(told[0]);
    waitpid(child, nullptr, 0);
  }
  std::filesystem::remove(movie);
  std::filesystem::remove(gif);
  state.counters["grown_rss_kb"] = static_cast<double>(grownKb);
}
BENCHMARK(BM_GifExportMemory)->Arg(40)->Arg(4000)->Unit(benchmark::kMillisecond)->Iterations(1);

// A 128 x 64 GIF of `frames` frames played through the full-resolution path: its peak heap,
// which must not grow with the GIF's length.
void BM_PlayGifMemory(benchmark::State& state) {
  const std::string gif = TempPath("play.gif");
  {
    GifWriter writer(gif, kPixelColumns, kPixelRows, {qRgb(0, 0, 0), qRgb(255, 255, 255)}, false);
    QImage picture(kPixelColumns, kPixelRows, QImage::Format_RGB32);
    for (int64_t k = 0; k < state.range(0); ++k) {
      picture.fill(qRgb(0, 0, 0));
      for (int x = 0; x < kPixelColumns; ++x)
        picture.setPixel(x, (x * 7 + k) % kPixelRows, qRgb(255, 255, 255));
      writer.Add(picture, 10);
    }
    writer.Finish();
  }
  double peakKb = 0;
  for (auto _ : state) {
    bench::ResetPeak();
    const std::size_t before = bench::HeapInUse();
    RunTimeError why(0);
    PictureFrames frames(OpenPicture(gif, why), {}, 1);
    DotFrame frame;
    std::size_t shown = 0;
    while (frames.Next(frame)) ++shown;
    benchmark::DoNotOptimize(shown);
    peakKb = static_cast<double>(bench::HeapPeak() - before) / 1024;
  }
  std::filesystem::remove(gif);
  state.counters["peak_heap_kb"] = peakKb;
}
BENCHMARK(BM_PlayGifMemory)->Arg(10)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace glowreel
