#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "core/playback.h"
#include "counting_allocator.h"
#include "platform/port/display_model.h"
#include "platform/port/port.h"
#include "player/frame.h"
#include "player/movie_file.h"
#include "player/play_movie.h"
#include "vfd/vfd.h"

namespace glowreel {
namespace {

constexpr std::size_t kMovieBytes = 50u << 20;

// A movie of varied frames, written once per run.
std::string MovieText(std::size_t bytes) {
  std::string text = "Benchmark movie\r\n";
  for (unsigned frame = 0; text.size() < bytes; ++frame) {
    text += '@';
    text += std::to_string(10 + frame % 90);
    text += "\r\n";
    for (unsigned row = 0; row < 8; ++row) {
      for (unsigned col = 0; col < 18; ++col) text += ((frame + row * 3 + col) % 5 < 2) ? '1' : '0';
      text += "\r\n";
    }
    text += "\r\n";
  }
  return text;
}

const std::string& MoviePath() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() /
                           ("glowreel-bench-" + std::to_string(getpid()) + ".grm"))
                              .string();
    std::ofstream(p, std::ios::binary) << MovieText(kMovieBytes);
    std::atexit([] { std::remove(MoviePath().c_str()); });
    return p;
  }();
  return path;
}

// The floor: the file read into memory and its line ends counted.
void BM_RawLineScan(benchmark::State& state) {
  const std::string& path = MoviePath();
  const auto size = std::filesystem::file_size(path);
  for (auto _ : state) {
    std::string bytes(size, '\0');
    const int fd = open(path.c_str(), O_RDONLY);
    std::size_t got = 0;
    for (ssize_t n; got < size && (n = read(fd, bytes.data() + got, size - got)) > 0;) got += n;
    close(fd);
    std::size_t lines = 0;
    for (const char* p = bytes.data();
         (p = static_cast<const char*>(std::memchr(p, '\n', bytes.data() + got - p))); ++p) {
      ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_RawLineScan)->Unit(benchmark::kMillisecond);

void BM_ReadMovieFile(benchmark::State& state) {
  const auto size = std::filesystem::file_size(MoviePath());
  double peakRatio = 0;
  for (auto _ : state) {
    bench::ResetPeak();
    const std::size_t before = bench::HeapInUse();
    MovieLines read = ReadMovieFile(MoviePath());
    benchmark::DoNotOptimize(read.lines.size());
    peakRatio = static_cast<double>(bench::HeapPeak() - before) / static_cast<double>(size);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
  state.counters["peak_ratio"] = peakRatio;
}
BENCHMARK(BM_ReadMovieFile)->Unit(benchmark::kMillisecond);

// One frame from its lines to the port: ReadFrame, DrawFrame, RefreshDisplay.
void FramePipeline(benchmark::State& state, PortContext& port) {
  PortContext* const previous = InstallPort(&port);
  Playback pb;
  pb.lPortBase = kFirstParallelPort;
  const LineList lines = SplitMovieText(MovieText(64 * 1024));
  std::vector<std::size_t> headers;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (IsFrameHeader(lines[i])) headers.push_back(i);
  int32_t duration = 0;
  std::size_t next = 0;
  for (auto _ : state) {
    ReadFrame(lines, headers[next], duration, pb.cellGrid, nullptr);
    DrawFrame(pb, nullptr);
    RefreshDisplay(pb);
    next = (next + 1) % headers.size();
  }
  state.SetItemsProcessed(state.iterations());
  InstallPort(previous);
}

// The floor of a frame: the 4,224 register writes of a refresh, each byte's four, worked out
// from the pixels and stored, with no call per write.
void BM_FrameFloor(benchmark::State& state) {
  std::vector<uint16_t> writes(4224);
  Playback pb;
  for (auto& column : pb.pixelBuffer)
    for (int16_t& pixel : column) pixel = static_cast<int16_t>(&pixel - &column[0]) % 3 ? 0 : -1;
  for (auto _ : state) {
    std::size_t at = 0;
    const auto transfer = [&](uint16_t byte, uint16_t select) {
      writes[at++] = select ^ 5;
      writes[at++] = byte;
      writes[at++] = (select | 4) ^ 5;
      writes[at++] = select ^ 5;
    };
    for (int page = 0; page < 8; ++page) {
      for (const uint16_t command : {0x64, 0, 0x60, page}) transfer(command, 0);
      for (int x = 0; x < 128; ++x) {
        uint16_t byte = 0;
        for (int k = 0; k < 8; ++k) byte |= (pb.pixelBuffer[x][page * 8 + k] != 0) << k;
        transfer(byte, 8);
      }
    }
    benchmark::DoNotOptimize(writes.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FrameFloor)->Unit(benchmark::kMicrosecond);

void BM_FramePipeline(benchmark::State& state) {
  PortContext port;
  port.Open("none", kFirstParallelPort);
  FramePipeline(state, port);
}
BENCHMARK(BM_FramePipeline)->Unit(benchmark::kMicrosecond);

void BM_FramePipelineVirtual(benchmark::State& state) {
  PortContext port;
  port.Add(MakeDisplayModelSink(nullptr, kFirstParallelPort));
  FramePipeline(state, port);
}
BENCHMARK(BM_FramePipelineVirtual)->Unit(benchmark::kMicrosecond);

// A 100 ms frame with the real sleep: eleven 10 ms slices, nominally 110 ms.
void BM_DelayPacing(benchmark::State& state) {
  const Playback pb;
  for (auto _ : state) Delay(pb, 100);
}
BENCHMARK(BM_DelayPacing)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// 40 frames of 100 ms, quiet and with two busy threads a core: the median and the 95th
// percentile of their lengths against the nominal 110 ms.
void BM_PacingUnderLoad(benchmark::State& state) {
  std::atomic<bool> busy{state.range(0) > 0};
  std::vector<std::thread> load;
  for (int64_t k = 0; k < state.range(0); ++k)
    load.emplace_back([&] {
      for (uint64_t spin = 0; busy; ++spin) benchmark::DoNotOptimize(spin);
    });
  std::vector<double> ratios;
  const Playback pb;
  for (auto _ : state) {
    for (int frame = 0; frame < 40; ++frame) {
      const auto start = std::chrono::steady_clock::now();
      Delay(pb, 100);
      ratios.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count() /
          110.0);
    }
  }
  busy = false;
  for (std::thread& thread : load) thread.join();
  std::sort(ratios.begin(), ratios.end());
  state.counters["median_ratio"] = ratios[ratios.size() / 2];
  state.counters["p95_ratio"] = ratios[ratios.size() * 95 / 100];
}
BENCHMARK(BM_PacingUnderLoad)
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
}  // namespace glowreel

BENCHMARK_MAIN();
