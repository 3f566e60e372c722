#include "platform/event_loop.h"

#include <systemd/sd-event.h>
#include <time.h>

#include <utility>

#include "platform/system_sleep.h"

namespace glowreel {

// What a source calls back; owned by the source through its userdata and freed with it.
struct EventLoop::Callback {
  IoHandler io;
  TimerHandler timer;
  static int OnIo(sd_event_source*, int, uint32_t events, void* self) {
    static_cast<Callback*>(self)->io(events);
    return 0;
  }
  static int OnTime(sd_event_source*, uint64_t, void* self) {
    static_cast<Callback*>(self)->timer();
    return 0;
  }
  static void Free(void* self) { delete static_cast<Callback*>(self); }
};

EventLoop::Source::~Source() {
  sd_event_source_disable_unref(source_);
}

void EventLoop::Source::SetTime(uint64_t monotonicUs) {
  if (monotonicUs == UINT64_MAX) {
    sd_event_source_set_enabled(source_, SD_EVENT_OFF);
    return;
  }
  sd_event_source_set_time(source_, monotonicUs);
  sd_event_source_set_enabled(source_, SD_EVENT_ONESHOT);
}

void EventLoop::Source::SetEvents(uint32_t events) {
  sd_event_source_set_io_events(source_, events);
}

void EventLoop::Source::Disable() {
  sd_event_source_set_enabled(source_, SD_EVENT_OFF);
}

EventLoop::EventLoop() {
  if (sd_event_new(&loop_) < 0) loop_ = nullptr;
}

EventLoop::~EventLoop() {
  sd_event_unref(loop_);
}

std::unique_ptr<EventLoop::Source> EventLoop::WatchFd(int fd, uint32_t events, IoHandler handler) {
  sd_event_source* source = nullptr;
  auto* callback = new Callback{std::move(handler), {}};
  if (sd_event_add_io(loop_, &source, fd, events, Callback::OnIo, callback) < 0) {
    delete callback;
    return nullptr;
  }
  sd_event_source_set_destroy_callback(source, Callback::Free);
  return std::make_unique<Source>(source);
}

std::unique_ptr<EventLoop::Source> EventLoop::Timer(TimerHandler handler) {
  sd_event_source* source = nullptr;
  auto* callback = new Callback{{}, std::move(handler)};
  if (sd_event_add_time(loop_, &source, CLOCK_MONOTONIC, UINT64_MAX, 1, Callback::OnTime,
                        callback) < 0) {
    delete callback;
    return nullptr;
  }
  sd_event_source_set_destroy_callback(source, Callback::Free);
  return std::make_unique<Source>(source);
}

void EventLoop::RunUntil(int64_t untilNs) {
  const uint64_t until = static_cast<uint64_t>(untilNs / 1000);
  for (uint64_t now = MonotonicUs(); now < until; now = MonotonicUs()) {
    if (sd_event_run(loop_, until - now) < 0 || std::exchange(interrupted_, false)) return;
  }
}

void EventLoop::RunReady() {
  while (sd_event_run(loop_, 0) > 0) {
  }
}

void LoopPlatform::Sleep(int32_t milliseconds) {
  SystemSleep(milliseconds, [this](int64_t untilNs) { loop_.RunUntil(untilNs); });
}

void LoopPlatform::Idle(int32_t milliseconds) {
  loop_.RunUntil(static_cast<int64_t>(MonotonicUs() + static_cast<uint64_t>(milliseconds) * 1000) *
                 1000);
}

void LoopPlatform::DoEvents() {
  loop_.RunReady();
  ConsolePlatform::DoEvents();
}

}  // namespace glowreel
