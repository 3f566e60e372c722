#include "app/play_live.h"

#include <sys/epoll.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "app/port_opening.h"
#include "core/playback.h"
#include "lcdproc/screen_show.h"
#include "live/content_json.h"
#include "live/item_frames.h"
#include "live/stage.h"
#include "live/state_store.h"
#include "platform/event_loop.h"
#include "platform/exit_signals.h"
#include "platform/service_notify.h"
#include "platform/system_sleep.h"
#include "platform/whole_file.h"
#include "player/session.h"
#include "server/api.h"
#include "server/http_server.h"
#include "server/lcdproc_server.h"
#include "server/mqtt_display.h"
#include "server/mqtt_link.h"
#include "vfd/vfd.h"

namespace glowreel {

namespace {

using nlohmann::json;
constexpr const char* kProgram = "glowreel-play";
constexpr uint64_t kStateEventUs = 100'000;  // state events at most ten a second

void Tell(const std::string& line) {
  std::fprintf(stderr, "%s: %s\n", kProgram, line.c_str());
}

std::string Folder(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A playlist file: its paths taken from its own folder. "" or what is wrong.
std::string ReadPlaylistFile(const std::string& path, live::Playlist& playlist) {
  std::string bytes;
  if (const int32_t error = ReadWholeFile(path, bytes))
    return path + ": " + RunTimeError(error).Description();
  const json document = json::parse(bytes, nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded()) return path + ": not JSON";
  if (std::string wrong = live::ReadPlaylist(document, playlist, true); !wrong.empty())
    return path + ": " + wrong;
  for (live::Item& item : playlist.items)
    if (!item.source.empty() && item.source.front() != '/')
      item.source = Folder(path) + "/" + item.source;
  return "";
}

// The playlist the command line gives, or the one kept, or none. "" or what is wrong.
std::string FirstPlaylist(const LiveSettings& settings, const std::optional<json>& kept,
                          live::Playlist& playlist, bool& once) {
  once = false;
  if (!settings.playlistFile.empty()) return ReadPlaylistFile(settings.playlistFile, playlist);
  if (settings.text || !settings.movie.empty()) {
    live::Item item;
    if (settings.text) {
      item.kind = live::ItemKind::kText;
      item.text = *settings.text;
      item.scrollMs = settings.scrollMs;
    } else {
      item.kind = live::ItemKind::kMovie;
      item.source = settings.movie.front() == '/' ? settings.movie : "./" + settings.movie;
    }
    playlist.items.push_back(item);
    once = !settings.repeat;
    return "";
  }
  // The playlist kept is the API's: without it, the display shows what the clients show.
  if (!settings.http.empty() && kept && kept->contains("playlist")) {
    live::Playlist stored;
    if (live::ReadPlaylist((*kept)["playlist"], stored, false).empty())
      playlist = std::move(stored);
  }
  return "";
}

// When a frame went to the port by the wall clock, for a viewer on the same clock to tell how far
// behind it is: milliseconds since 1970, to the microsecond.
std::string WallClockMs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%03ld",
                static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000,
                now.tv_nsec / 1000 % 1000);
  return text;
}

std::string ReadSecretFile(const std::string& path, std::string& text) {
  if (const int32_t error = ReadWholeFile(path, text))
    return path + ": " + RunTimeError(error).Description();
  return "";
}

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || !*name) return "display";
  return name;
}

// The broker's settings and the display's topics: "" or what is wrong.
std::string ReadMqttSettings(const LiveSettings& settings, server::MqttSettings& broker,
                             server::MqttTopics& topics, std::vector<std::string>& groups) {
  if (std::string wrong = server::ReadBrokerUrl(settings.mqtt, broker); !wrong.empty())
    return "--mqtt: " + wrong;
  if (!settings.mqttCredentials.empty()) {
    std::string text;
    if (std::string wrong = ReadSecretFile(settings.mqttCredentials, text); !wrong.empty())
      return wrong;
    const auto feed = text.find('\n');
    broker.user = text.substr(0, feed);
    broker.password = feed == std::string::npos ? "" : text.substr(feed + 1);
    while (!broker.password.empty() &&
           (broker.password.back() == '\n' || broker.password.back() == '\r'))
      broker.password.pop_back();
    if (!broker.user.empty() && broker.user.back() == '\r') broker.user.pop_back();
  }
  broker.caFile = settings.mqttCa;
  const std::string host = HostName();
  topics.name = settings.mqttName.empty() ? host : settings.mqttName;
  if (topics.name.find_first_of("+#/") != std::string::npos)
    return "the display's MQTT name has no '/', '+' or '#'";
  topics.prefix = settings.mqttPrefix.empty() ? "glowreel/" + topics.name : settings.mqttPrefix;
  if (topics.prefix.find_first_of("+#") != std::string::npos || topics.prefix.back() == '/')
    return "the MQTT prefix is a topic without '+', '#' or a '/' at its end";
  for (std::size_t start = 0; start < settings.mqttGroups.size();) {
    const std::size_t comma =
        std::min(settings.mqttGroups.find(',', start), settings.mqttGroups.size());
    const std::string group = settings.mqttGroups.substr(start, comma - start);
    if (group.empty() || group.find_first_of("+#/ ") != std::string::npos)
      return "MQTT groups are names joined with commas, without '/', '+', '#' or spaces";
    groups.push_back(group);
    start = comma + 1;
  }
  broker.clientId = "glowreel-" + server::TopicSafe(host) + "-" + server::TopicSafe(topics.name);
  broker.willTopic = topics.Topic("availability");
  broker.willPayload = "offline";
  return "";
}

// Empties what the display keeps retained at the broker, Home Assistant's discovery with it.
int ForgetOnBroker(server::MqttSettings broker, const server::MqttTopics& topics) {
  constexpr uint64_t kPatienceUs = 10'000'000;
  EventLoop loop;
  broker.willTopic.clear();
  server::MqttLink link(loop, broker);
  bool done = false;
  link.onConnect = [&] {
    server::ForgetDisplay(topics,
                          [&](const std::string& topic, const std::string& payload, bool retain) {
                            return link.Publish(topic, payload, retain);
                          });
    done = true;
  };
  link.onLost = [&](const std::string& why) { Tell("mqtt: " + why); };
  if (std::string why = link.Start(); !why.empty()) return Tell("mqtt: " + why), kWrongUse;
  const uint64_t until = MonotonicUs() + kPatienceUs;
  while (!done && MonotonicUs() < until) loop.RunUntil(static_cast<int64_t>(until) * 1000);
  if (!done) return Tell("mqtt: the broker was not reached; nothing was forgotten"), kFailed;
  link.Disconnect(2000);
  Tell("mqtt: " + topics.prefix + " and its Home Assistant entities forgotten");
  return kPlayed;
}

}  // namespace

bool HasLiveDisplay() {
  return true;
}

int RunLiveDisplay(const LiveSettings& settings) {
  server::HttpSettings http;
  if (!settings.http.empty()) {
    if (std::string wrong = server::ReadListenSetting(settings.http, http); !wrong.empty())
      return Tell("--http: " + wrong), kWrongUse;
    http.token = settings.token;
    if (!server::IsLoopback(http.address) && http.token.empty())
      return Tell("--http on " + http.address +
                  " needs a token (GLOWREEL_HTTP_TOKEN or GLOWREEL_HTTP_TOKEN_FILE)"),
             kWrongUse;
    if (settings.certificateFile.empty() != settings.keyFile.empty())
      return Tell("TLS needs both GLOWREEL_HTTP_CERT and GLOWREEL_HTTP_KEY"), kWrongUse;
    for (const auto& [file, text] : {std::pair{&settings.certificateFile, &http.certificatePem},
                                     std::pair{&settings.keyFile, &http.keyPem}}) {
      if (file->empty()) continue;
      if (std::string wrong = ReadSecretFile(*file, *text); !wrong.empty())
        return Tell(wrong), kFailed;
    }
  }
  server::HttpSettings lcdprocAt;
  if (!settings.lcdproc.empty()) {
    if (std::string wrong = server::ReadListenSetting(settings.lcdproc, lcdprocAt); !wrong.empty())
      return Tell("--lcdproc: " + wrong), kWrongUse;
    if (!server::IsLoopback(lcdprocAt.address))
      Tell("lcdproc's protocol has no password: anyone who reaches " + lcdprocAt.address +
           " can put screens on the display");
  }
  server::MqttSettings broker;
  server::MqttTopics topics;
  std::vector<std::string> groups;
  if (!settings.mqtt.empty())
    if (std::string wrong = ReadMqttSettings(settings, broker, topics, groups); !wrong.empty())
      return Tell(wrong), kWrongUse;
  if (settings.mqttForget) return ForgetOnBroker(broker, topics);
  const live::StateStore store(settings.stateFolder.empty() ? live::DefaultStateFolder()
                                                            : settings.stateFolder);
  if (std::string why = store.Prepare(); !why.empty())
    Tell("the state cannot be kept (" + why + "); going on without it");
  const std::optional<json> kept = store.Load();
  live::Playlist playlist;
  bool once = false;
  if (std::string wrong = FirstPlaylist(settings, kept, playlist, once); !wrong.empty())
    return Tell(wrong), kFailed;

  EventLoop loop;
  if (!loop.Ok()) return Tell("no event loop (epoll)"), kFailed;
  Playback playback;
  LoopPlatform platform(kProgram, playback, loop);
  InstallPlatform(&platform);
  const int signals = InstallExitSignals(/*hangUpReloads=*/true);
  PortContext port;
  port.ending = &playback.bExiting;
  if (const int status = OpenDisplayPort(port, settings.port))
    return InstallPlatform(nullptr), status;

  live::ItemSettings items;
  items.where = [&](const std::string& source) {
    return source.find('/') != std::string::npos ? source : store.MediaPath(source);
  };
  items.options = settings.picture;
  if (settings.stillMs) items.stillMs = settings.stillMs;
  server::Api* api = nullptr;
  items.report = [&](const live::Item& item, const std::string& text) {
    const std::string name = item.source.empty() ? "item" : item.source;
    Tell(name + ": " + text);
    if (api) api->Remember(name + ": " + text);
  };
  // The brightness asked for over the API before a restart holds until the schedule changes it.
  const json keptLevel = kept ? kept->value("brightness", json()) : json();
  const bool levelKept = keptLevel.is_number_integer() && keptLevel >= 1 && keptLevel <= 16;
  live::Stage stage(playback, live::MakeOpener(items), live::SystemClock(),
                    levelKept ? live::LevelOfBrightness(keptLevel.get<int32_t>()) : settings.level);
  server::Api routes(stage, store);
  api = &routes;
  stage.onReport = items.report;
  stage.SetPlaylist(std::move(playlist), once);
  if (kept) routes.Restore(*kept);

  // lcdproc's clients: their screens a source of the stage, pixmaps from the media store.
  server::LcdprocServer lcdprocServer(loop);
  live::ItemSettings stretched = items;  // a pixmap's picture fills the pixmap
  stretched.options.fit = Fit::kStretch;
  live::MediaAtTime media(live::MakeOpener(stretched), live::SystemClock().monotonicMs);
  lcdproc::ScreenShow screens(
      {[&] { return lcdprocServer.Screens(); },
       [&](uint64_t client, const std::string& line) { lcdprocServer.Tell(client, line); },
       [&](const lcdproc::ScreenKey& key) { lcdprocServer.Delete(key); }},
      live::SystemClock().monotonicMs,
      [&](const std::string& name, int64_t ms) { return media.At(name, ms); });
  // A broker's clients, Home Assistant among them.
  server::MqttLink mqtt(loop, broker);
  server::MqttDisplay mqttDisplay(
      routes, stage, store, topics, groups,
      [&](const std::string& topic, const std::string& payload, bool retain) {
        return mqtt.Publish(topic, payload, retain);
      },
      [&](const std::string& line) { Tell("mqtt: " + line); });
  mqtt.Subscribe(mqttDisplay.Filters());
  mqtt.onConnect = [&] {
    Tell("mqtt: connected to " + broker.host + " port " + std::to_string(broker.port));
    mqttDisplay.Connected();
  };
  mqtt.onMessage = [&](const std::string& topic, const std::string& payload, bool retained) {
    mqttDisplay.Message(topic, payload, retained);
  };
  mqtt.onLost = [&](const std::string& why) { Tell("mqtt: " + why); };
  if (!settings.lcdproc.empty()) {
    stage.SetScreens(&screens, settings.screensPlace);
    lcdprocServer.onChange = [&] { stage.ScreensChanged(); };
  }

  server::HttpServer httpServer(
      loop, [&](const server::Request& request) { return routes.Handle(request); });
  // State events gathered, a tenth of a second at most behind.
  bool stateEventSet = false;
  std::unique_ptr<EventLoop::Source> stateEvent = loop.Timer([&] {
    stateEventSet = false;
    if (httpServer.HasStreams()) httpServer.Broadcast("state", live::JsonText(routes.State()));
    if (mqtt.Connected()) mqttDisplay.StateChanged();
  });
  stage.onChange = [&] {
    if ((!httpServer.HasStreams() && !mqtt.Connected()) || stateEventSet) return;
    stateEventSet = true;
    stateEvent->SetTime(MonotonicUs() + kStateEventUs);
  };
  bool outputsFailed = false;
  stage.onFrame = [&](const DotFrame& frame) {
    if (httpServer.HasStreams())
      httpServer.Broadcast("frame", server::FrameHex(frame) + " " + WallClockMs());
    if (port.HasSinks()) return;
    outputsFailed = playback.bExiting = true;
    playback.bDisplayReady = false;  // nothing is left to fade out
  };
  stage.onDone = [&](const live::Message& message) {
    if (message.content.source.rfind(store.Folder() + "/uploads/", 0) == 0)
      unlink(message.content.source.c_str());
  };

  // SIGHUP reads the playlist file, or the movie, again; the others end the program.
  std::unique_ptr<EventLoop::Source> signalWatch = loop.WatchFd(signals, EPOLLIN, [&](uint32_t) {
    ExitSignalPending();  // the pipe emptied into the flags; an exit is the pauses' to take
    loop.Interrupt();     // taken now, not at the end of an idle wait
    if (!TakeReloadSignal()) return;
    NotifyService("RELOADING=1");
    live::Playlist again;
    bool againOnce = false;
    if (std::string wrong = FirstPlaylist(settings, store.Load(), again, againOnce);
        !wrong.empty()) {
      Tell(wrong + "; the playlist stays as it was");
    } else if (!settings.playlistFile.empty() || !settings.movie.empty()) {
      stage.SetPlaylist(std::move(again), againOnce);
    }
    NotifyService("READY=1");
  });
  // Listening only once the display is up, so that the first answers tell what it shows.
  BringDisplayUp(playback, stage.Level());
  const auto giveUp = [&](const std::string& why, int status = kPortBusy) {
    Tell(why);
    ShutdownDisplay(playback);
    PortClose();
    InstallPort(nullptr);
    InstallPlatform(nullptr);
    return status;
  };
  if (!settings.http.empty()) {
    if (std::string why = httpServer.Start(http); !why.empty()) return giveUp(why);
    Tell("listening on " + std::string(http.certificatePem.empty() ? "http" : "https") + "://" +
         (http.address.find(':') != std::string::npos ? "[" + http.address + "]" : http.address) +
         ":" + std::to_string(httpServer.Port()));
  }
  if (!settings.lcdproc.empty()) {
    if (std::string why = lcdprocServer.Start(lcdprocAt.address, lcdprocAt.port); !why.empty())
      return giveUp(why);
    Tell("lcdproc's clients welcome on " + lcdprocAt.address + " port " +
         std::to_string(lcdprocServer.Port()));
  }
  if (!settings.mqtt.empty())
    if (std::string why = mqtt.Start(); !why.empty()) return giveUp("mqtt: " + why, kWrongUse);
  NotifyService("READY=1");
  stage.Run();
  // Gone, said as the will says it, and a goodbye: the broker sends the will only for a loss.
  mqtt.Publish(topics.Topic("availability"), "offline", true);
  mqtt.Disconnect(500);
  NotifyService("STOPPING=1");
  if (!outputsFailed) ShutdownDisplay(playback);
  PortClose();
  InstallPort(nullptr);
  InstallPlatform(nullptr);
  return outputsFailed ? kOutputsFailed : kPlayed;
}

}  // namespace glowreel
