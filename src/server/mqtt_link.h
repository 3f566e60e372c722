#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/event_loop.h"

struct mosquitto;

// A connection to an MQTT broker on the program's one event loop (libmosquitto driven by hand:
// its socket watched, its timers run from a timer of ours): a persistent session with QoS 1, a
// will, and reconnection with growing back-off (with jitter), so that a broker's restart or a
// network cut never holds up the display.
namespace glowreel::server {

struct MqttSettings {
  std::string host;
  uint16_t port = 1883;
  bool tls = false;
  std::string caFile;  // "" for the system's CA store
  std::string user, password;
  std::string clientId;
  std::string willTopic, willPayload;  // retained, QoS 1
};

// mqtt://HOST[:PORT] or mqtts://HOST[:PORT] into `settings`: "" or what is wrong.
std::string ReadBrokerUrl(const std::string& url, MqttSettings& settings);

class MqttLink {
 public:
  static constexpr int kKeepAliveSeconds = 30;
  static constexpr int kFirstRetrySeconds = 1;
  static constexpr int kLastRetrySeconds = 60;

  MqttLink(EventLoop& loop, MqttSettings settings);
  ~MqttLink();
  MqttLink(const MqttLink&) = delete;
  MqttLink& operator=(const MqttLink&) = delete;

  // Starts connecting; "" or why it cannot even try (a setting the library refuses).
  std::string Start();
  // Subscribed (QoS 1) at every connection.
  void Subscribe(std::vector<std::string> filters) { filters_ = std::move(filters); }
  // QoS 1; false when not connected (the caller publishes again on connecting).
  bool Publish(const std::string& topic, const std::string& payload, bool retain);
  bool Connected() const { return connected_; }
  // Sends what is queued and says goodbye, waiting at most `ms`; the will is not sent.
  void Disconnect(int ms);

  std::function<void()> onConnect;
  std::function<void(const std::string& topic, const std::string& payload, bool retained)>
      onMessage;
  std::function<void(const std::string& why)> onLost;  // each time the connection goes

 private:
  void Watch();
  void Pump(uint32_t events);
  void Lost(const std::string& why);
  void Retry();

  EventLoop& loop_;
  MqttSettings settings_;
  mosquitto* mosq_ = nullptr;
  std::vector<std::string> filters_;
  std::unique_ptr<EventLoop::Source> watch_;
  std::unique_ptr<EventLoop::Source> misc_;   // the library's keep-alive, every second
  std::unique_ptr<EventLoop::Source> retry_;  // the next try after a loss
  int retrySeconds_ = kFirstRetrySeconds;
  std::minstd_rand jitter_;
  bool connected_ = false;
  bool lost_ = false;
};

}  // namespace glowreel::server
