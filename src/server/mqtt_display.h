#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "server/api.h"
#include "server/home_assistant.h"

// The display over MQTT: commands on PREFIX/.../set (and on the groups' topics) taken as the HTTP
// API takes them, the state and what Home Assistant reads published retained, discovery
// announced. Bad input is ignored with a line in the log and an error in the state.
namespace glowreel::server {

class MqttDisplay {
 public:
  // Payloads over this are refused.
  static constexpr std::size_t kPayloadLimit = 256 * 1024;
  using Publish =
      std::function<bool(const std::string& topic, const std::string& payload, bool retain)>;

  MqttDisplay(Api& api, live::Stage& stage, const live::StateStore& store, MqttTopics topics,
              std::vector<std::string> groups, Publish publish,
              std::function<void(const std::string&)> log);

  // What to subscribe to.
  std::vector<std::string> Filters() const;
  // A connection made: "online", the state, and the discovery.
  void Connected();
  void Message(const std::string& topic, const std::string& payload, bool retained);
  // Publishes what changed of the state (the caller gathers the changes).
  void StateChanged();

 private:
  void Command(const std::string& command, const std::string& payload);
  void Announce();
  void Put(const std::string& topic, const std::string& payload);
  void Wrong(const std::string& what);
  std::string Call(const char* method, const char* path, const std::string& body);
  std::vector<std::string> ItemOptions() const;

  Api& api_;
  live::Stage& stage_;
  const live::StateStore& store_;
  MqttTopics topics_;
  std::vector<std::string> groups_;
  Publish publish_;
  std::function<void(const std::string&)> log_;
  std::map<std::string, std::string> published_;       // what the broker holds retained, as sent
  std::optional<std::vector<std::string>> announced_;  // the select's options, as announced
  std::string error_;                                  // the last bad input
};

// Takes a display away from Home Assistant and the broker: empty retained messages where its
// discovery, state and availability were.
void ForgetDisplay(const MqttTopics& topics, const MqttDisplay::Publish& publish);

}  // namespace glowreel::server
