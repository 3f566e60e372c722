#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

// Home Assistant's MQTT discovery for one display: a device with a notify, a text, a light, a
// select, a sensor and a button, each reading and writing the display's own topics.
namespace glowreel::server {

// Where a display's topics are.
struct MqttTopics {
  std::string name;    // the display's name, as Home Assistant shows it
  std::string prefix;  // its topics: PREFIX/state, PREFIX/message/set, ...
  std::string discovery = "homeassistant";
  std::string Topic(const std::string& suffix) const { return prefix + "/" + suffix; }
};

// Home Assistant's 0-255 from the display's brightness 1-16, and back; each level its own value.
int HomeAssistantBrightness(int brightness);
int BrightnessOfHomeAssistant(int value);

// The retained configurations: (topic, payload) for each entity; `items` the select's options.
std::vector<std::pair<std::string, nlohmann::json>> DiscoveryConfigs(
    const MqttTopics& topics, const std::vector<std::string>& items, const std::string& version);

// A name fit for topic levels and ids: letters, digits, '-' and '_' only.
std::string TopicSafe(const std::string& name);

}  // namespace glowreel::server
