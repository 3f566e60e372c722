// The live display in one process as glowreel-play runs it (the stage, the event loop, HTTP on
// loopback), with a client thread: message latency, a flood of messages, the movie's pace under
// requests, an idle clock. Each write is stamped as it leaves for the port.
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "core/playback.h"
#include "live/item_frames.h"
#include "live/stage.h"
#include "live/state_store.h"
#include "platform/event_loop.h"
#include "platform/exit_signals.h"
#include "platform/port/port.h"
#include "player/session.h"
#include "server/api.h"
#include "server/http_server.h"

namespace glowreel {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Counts the writes and stamps the first of each frame (the first after the last frame ended).
class TimedSink : public PortSink {
 public:
  void Write(int32_t, uint16_t) override {
    if (count++ == frameStart) first = Clock::now();
  }
  std::size_t count = 0, frameStart = 0;
  Clock::time_point first;
};

// One request on a connection of its own; the time its answer was read.
Clock::time_point Request(uint16_t port, const std::string& method, const std::string& path,
                          const std::string& body) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  const std::string request =
      method + " " + path + " HTTP/1.1\r\nHost: b\r\nConnection: close\r\n" +
      "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
      "\r\n\r\n" + body;
  [[maybe_unused]] ssize_t sent = send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  char buffer[4096];
  while (read(fd, buffer, sizeof buffer) > 0) {
  }
  const Clock::time_point answered = Clock::now();
  close(fd);
  return answered;
}

struct Shown {
  Clock::time_point firstWrite;
  std::size_t lit = 0;
};

// glowreel-play's live display, its client in another thread until `client` returns.
struct Rig {
  explicit Rig(live::Playlist playlist) {
    InstallPlatform(&platform);
    InstallPort(&port);
    auto timed = std::make_unique<TimedSink>();
    sink = timed.get();
    port.Add(std::move(timed));
    store.Prepare();
    stage.SetPlaylist(std::move(playlist));
    server::HttpSettings http;
    server.Start(http);
    stage.onFrame = [this](const DotFrame& frame) {
      Shown shown{sink->first, 0};
      for (bool dot : frame.dots) shown.lit += dot;
      frames.push_back(shown);
      sink->frameStart = sink->count;
    };
  }
  ~Rig() {
    InstallPort(nullptr);
    InstallPlatform(nullptr);
    std::filesystem::remove_all(folder);
  }
  void Run(const std::function<void(uint16_t)>& client) {
    const int done = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    auto watch = loop.WatchFd(done, EPOLLIN, [this, done](uint32_t) {
      uint64_t count = 0;
      [[maybe_unused]] ssize_t got = read(done, &count, sizeof count);
      pb.bExiting = true;
    });
    BringDisplayUp(pb);
    sink->frameStart = sink->count;
    std::thread thread([&] {
      client(server.Port());
      const uint64_t one = 1;
      [[maybe_unused]] ssize_t written = write(done, &one, sizeof one);
    });
    stage.Run();
    thread.join();
    watch.reset();
    close(done);
  }

  std::string folder =
      std::filesystem::temp_directory_path() / ("glowreel-bench-" + std::to_string(getpid()));
  EventLoop loop;
  Playback pb;
  LoopPlatform platform{"bench", pb, loop};
  PortContext port;
  TimedSink* sink = nullptr;
  std::vector<Shown> frames;
  live::StateStore store{folder};
  live::Stage stage{pb,
                    live::MakeOpener({[](const std::string& path) { return path; },
                                      {},
                                      5000,
                                      [](const live::Item&, const std::string&) {}}),
                    live::SystemClock(), kFullBrightness};
  server::Api api{stage, store};
  server::HttpServer server{loop, [this](const server::Request& r) { return api.Handle(r); }};
};

// A movie of `frames` frames of 100 ms, every cell lit.
live::Playlist LitMovie(const std::string& path, int frames) {
  std::ofstream movie(path, std::ios::binary);
  for (int k = 0; k < frames; ++k) {
    movie << "@100\r\n";
    for (int row = 0; row < 8; ++row) movie << std::string(18, '1') << "\r\n";
    movie << "\r\n";
  }
  live::Item item;
  item.kind = live::ItemKind::kMovie;
  item.source = path;
  return {{item}, {}};
}

// Spinning threads beside the program, as the pacing benchmark loads the machine.
struct Load {
  explicit Load(int64_t threads) {
    for (int64_t k = 0; k < threads; ++k)
      spinners.emplace_back([this] {
        for (uint64_t spin = 0; busy; ++spin) benchmark::DoNotOptimize(spin);
      });
  }
  ~Load() {
    busy = false;
    for (std::thread& spinner : spinners) spinner.join();
  }
  std::atomic<bool> busy{true};
  std::vector<std::thread> spinners;
};

double Percentile(std::vector<double> values, double at) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[static_cast<std::size_t>(at * (values.size() - 1))];
}

// From the API's answer to an alert to the first write of the frame that shows it, while a
// movie of 100 ms frames plays.
void BM_AlertLatency(benchmark::State& state) {
  const std::string movie = std::filesystem::temp_directory_path() / "glowreel-bench-lit.grm";
  std::vector<double> latencies;
  for (auto _ : state) {
    Load load(state.range(0));
    Rig rig(LitMovie(movie, 40));
    std::vector<Clock::time_point> answers;
    rig.Run([&](uint16_t port) {
      for (int k = 0; k < 60; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(130 + 37 * (k % 5)));
        answers.push_back(Request(port, "POST", "/api/messages",
                                  R"({"text":"!","priority":"alert","duration_ms":30})"));
      }
    });
    // A message's frame is nearly dark; the movie's are lit.
    for (const Clock::time_point answered : answers) {
      const auto shown = std::find_if(rig.frames.begin(), rig.frames.end(), [&](const Shown& s) {
        return s.firstWrite >= answered - std::chrono::milliseconds(20) && s.lit < 100;
      });
      if (shown != rig.frames.end())
        latencies.push_back(std::max(0.0, Ms(shown->firstWrite - answered)));
    }
  }
  std::filesystem::remove(movie);
  state.counters["p50_ms"] = Percentile(latencies, 0.5);
  state.counters["p99_ms"] = Percentile(latencies, 0.99);
  state.counters["measured"] = static_cast<double>(latencies.size());
}
BENCHMARK(BM_AlertLatency)
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

long ResidentKb() {
  std::ifstream status("/proc/self/statm");
  long pages = 0, resident = 0;
  status >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// 200 messages a second for `seconds`: each shown or expired and counted; resident memory after
// the first ten seconds.
void BM_MessageFlood(benchmark::State& state) {
  const int seconds = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Rig rig(live::Playlist{});
    long residentAt10 = 0, residentAtEnd = 0;
    int posted = 0;
    rig.Run([&](uint16_t port) {
      const Clock::time_point start = Clock::now();
      for (int k = 0; k < 200 * seconds; ++k) {
        std::this_thread::sleep_until(start + std::chrono::microseconds(5000 * k));
        Request(port, "POST", "/api/messages",
                R"({"text":"m","duration_ms":10,"lifetime_ms":500})");
        ++posted;
        if (k == 200 * 10) residentAt10 = ResidentKb();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(700));  // the last ones expire
      residentAtEnd = ResidentKb();
    });
    const live::Counters& tally = rig.stage.Tally();
    state.counters["posted"] = posted;
    state.counters["accounted"] =
        static_cast<double>(tally.shown + tally.expired + tally.refused + rig.stage.Queue().size());
    state.counters["shown"] = static_cast<double>(tally.shown);
    state.counters["grown_kb"] = static_cast<double>(residentAtEnd - residentAt10);
  }
}
BENCHMARK(BM_MessageFlood)->Arg(60)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The playlist's movie while 100 requests a second ask for the state.
void BM_PaceUnderRequests(benchmark::State& state) {
  const std::string movie = std::filesystem::temp_directory_path() / "glowreel-bench-pace.grm";
  std::vector<double> ratios;
  for (auto _ : state) {
    Rig rig(LitMovie(movie, 40));
    rig.Run([&](uint16_t port) {
      const Clock::time_point start = Clock::now();
      for (int k = 0; k < 100 * 10; ++k) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(10 * k));
        Request(port, "GET", "/api/state", "");
      }
    });
    for (std::size_t k = 2; k < rig.frames.size(); ++k)
      ratios.push_back(Ms(rig.frames[k].firstWrite - rig.frames[k - 1].firstWrite) / 110.0);
  }
  std::filesystem::remove(movie);
  state.counters["median_ratio"] = Percentile(ratios, 0.5);
}
BENCHMARK(BM_PaceUnderRequests)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// A clock alone: the share of a core it takes, and its writes a second against a full refresh's.
void BM_IdleClock(benchmark::State& state) {
  for (auto _ : state) {
    live::Item clock;
    clock.kind = live::ItemKind::kClock;
    clock.text = "%H:%M";
    clock.durationMs = 60 * 60 * 1000;
    Rig rig(live::Playlist{{clock}, {}});
    rusage before{}, after{};
    std::size_t firstFrameWrites = 0;
    const Clock::time_point start = Clock::now();
    getrusage(RUSAGE_SELF, &before);
    rig.Run([&](uint16_t) {
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
      firstFrameWrites = rig.sink->count;
      std::this_thread::sleep_for(std::chrono::seconds(20));
    });
    getrusage(RUSAGE_SELF, &after);
    const double seconds = Ms(Clock::now() - start) / 1000;
    const auto cpu = [](const rusage& r) {
      return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
             static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
    };
    state.counters["core_percent"] = 100 * (cpu(after) - cpu(before)) / seconds;
    const double fullRefresh = 8 * (4 + 128) * 4;  // positions and bytes, four writes each
    const double later = static_cast<double>(rig.sink->count - firstFrameWrites);
    state.counters["refresh_percent_per_s"] = 100 * later / (seconds - 0.5) / fullRefresh;
  }
}
BENCHMARK(BM_IdleClock)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace glowreel
