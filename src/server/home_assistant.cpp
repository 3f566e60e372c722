#include "server/home_assistant.h"

#include <cctype>

namespace glowreel::server {

using nlohmann::json;

int HomeAssistantBrightness(int brightness) {
  return 1 + ((brightness - 1) * 254 + 7) / 15;
}

int BrightnessOfHomeAssistant(int value) {
  if (value <= 1) return 1;
  return 1 + ((value - 1) * 15 + 127) / 254;
}

std::string TopicSafe(const std::string& name) {
  std::string safe;
  for (const char c : name)
    safe += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ? c : '_';
  return safe.empty() ? "display" : safe;
}

std::vector<std::pair<std::string, json>> DiscoveryConfigs(const MqttTopics& topics,
                                                           const std::vector<std::string>& items,
                                                           const std::string& version) {
  const std::string node = "glowreel_" + TopicSafe(topics.name);
  const json device = {{"identifiers", {node}},
                       {"name", "GlowReel " + topics.name},
                       {"manufacturer", "GlowReel"},
                       {"model", "128 x 64 dot VFD"},
                       {"sw_version", version}};
  const json availability = json::array({{{"topic", topics.Topic("availability")}}});
  std::vector<std::pair<std::string, json>> configs;
  const auto add = [&](const std::string& component, const std::string& object,
                       const std::string& name, json config) {
    config["name"] = name;
    config["unique_id"] = node + "_" + object;
    config["device"] = device;
    config["availability"] = availability;
    configs.emplace_back(topics.discovery + "/" + component + "/" + node + "/" + object + "/config",
                         config);
  };
  add("notify", "notify", "Message", {{"command_topic", topics.Topic("message/set")}});
  add("text", "message", "Message shown",
      {{"command_topic", topics.Topic("text/set")},
       {"state_topic", topics.Topic("message")},
       {"max", 255}});
  add("light", "light", "Display",
      {{"command_topic", topics.Topic("power/set")},
       {"state_topic", topics.Topic("power")},
       {"payload_on", "on"},
       {"payload_off", "off"},
       {"brightness_command_topic", topics.Topic("light/brightness/set")},
       {"brightness_state_topic", topics.Topic("light/brightness")},
       {"brightness_scale", 255}});
  add("select", "item", "Playlist item",
      {{"command_topic", topics.Topic("item/set")},
       {"state_topic", topics.Topic("item")},
       {"options", items.empty() ? std::vector<std::string>{"none"} : items}});
  add("sensor", "showing", "Showing", {{"state_topic", topics.Topic("showing")}});
  add("button", "clear", "Clear messages",
      {{"command_topic", topics.Topic("clear/set")}, {"payload_press", "PRESS"}});
  return configs;
}

}  // namespace glowreel::server
