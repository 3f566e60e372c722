#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/console_platform.h"

typedef struct sd_event sd_event;
typedef struct sd_event_source sd_event_source;

namespace glowreel {

// The program's one event loop (systemd's sd-event): connections, timers and signals all run on
// the thread that writes the port, between the player's pause slices, so nothing else ever
// touches the display.
class EventLoop {
 public:
  // A descriptor or timer watched until this is destroyed.
  class Source {
   public:
    explicit Source(sd_event_source* source) : source_(source) {}
    ~Source();
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    // A timer: fires once at `monotonicUs` (CLOCK_MONOTONIC), or never with UINT64_MAX.
    void SetTime(uint64_t monotonicUs);
    // A descriptor's watch: the epoll events it waits for now.
    void SetEvents(uint32_t events);
    // Watches no more, at once (also from its own handler, where it cannot be destroyed).
    void Disable();

   private:
    sd_event_source* source_;
  };
  using IoHandler = std::function<void(uint32_t events)>;
  using TimerHandler = std::function<void()>;

  EventLoop();
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;
  // False when the kernel refused an epoll set.
  bool Ok() const { return loop_ != nullptr; }

  std::unique_ptr<Source> WatchFd(int fd, uint32_t events, IoHandler handler);
  std::unique_ptr<Source> Timer(TimerHandler handler);

  // Dispatches what is ready, and what comes, until CLOCK_MONOTONIC reaches `untilNs`, or a
  // handler interrupts.
  void RunUntil(int64_t untilNs);
  // Dispatches what is ready now, without waiting.
  void RunReady();
  // From a handler: RunUntil returns after it, so that what waits sees the change at once.
  void Interrupt() { interrupted_ = true; }

 private:
  struct Callback;
  sd_event* loop_ = nullptr;
  bool interrupted_ = false;
};

// The platform of a display server: the pauses' sleeps run the event loop, so that requests are
// answered while a frame is held; exit and reload signals as on the console.
class LoopPlatform : public ConsolePlatform {
 public:
  LoopPlatform(std::string programName, Playback& playback, EventLoop& loop)
      : ConsolePlatform(std::move(programName), playback), loop_(loop) {}
  void Sleep(int32_t milliseconds) override;
  void Idle(int32_t milliseconds) override;
  bool IdleWakes() const override { return true; }
  void WakeIdle() override { loop_.Interrupt(); }
  void DoEvents() override;

 private:
  EventLoop& loop_;
};

}  // namespace glowreel
