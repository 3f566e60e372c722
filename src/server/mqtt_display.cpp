#include "server/mqtt_display.h"

#include <unistd.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "live/content_json.h"
#include "version.h"

namespace glowreel::server {

namespace {

using nlohmann::json;

constexpr const char* kGroupRoot = "glowreel/group/";

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// An item as a person reads it, for the select's options and the sensor.
std::string Describe(const live::Item& item) {
  switch (item.kind) {
    case live::ItemKind::kMovie:
    case live::ItemKind::kPicture:
      return item.source.substr(item.source.rfind('/') + 1);
    case live::ItemKind::kText:
      return "text " + item.text.substr(0, 40);
    case live::ItemKind::kClock:
      return "clock " + item.text;
    case live::ItemKind::kScreens:
      return "screen " + item.text;
  }
  return "";
}

}  // namespace

MqttDisplay::MqttDisplay(Api& api, live::Stage& stage, const live::StateStore& store,
                         MqttTopics topics, std::vector<std::string> groups, Publish publish,
                         std::function<void(const std::string&)> log)
    : api_(api),
      stage_(stage),
      store_(store),
      topics_(std::move(topics)),
      groups_(std::move(groups)),
      publish_(std::move(publish)),
      log_(std::move(log)) {}

std::vector<std::string> MqttDisplay::Filters() const {
  std::vector<std::string> filters = {topics_.Topic("+/set"), topics_.Topic("light/brightness/set"),
                                      topics_.discovery + "/status"};
  for (const std::string& group : groups_) {
    filters.push_back(kGroupRoot + group + "/+/set");
    filters.push_back(kGroupRoot + group + "/light/brightness/set");
  }
  return filters;
}

void MqttDisplay::Connected() {
  published_.clear();
  announced_.reset();
  Put(topics_.Topic("availability"), "online");
  StateChanged();
  Announce();
}

void MqttDisplay::Message(const std::string& topic, const std::string& payload, bool retained) {
  if (topic == topics_.discovery + "/status") {
    if (payload == "online") Announce();  // Home Assistant started again: it forgot us
    return;
  }
  std::string base = topics_.prefix + "/";
  for (const std::string& group : groups_)
    if (topic.rfind(kGroupRoot + group + "/", 0) == 0) base = kGroupRoot + group + "/";
  if (topic.rfind(base, 0) != 0 || topic.size() < base.size() + 4 ||
      topic.compare(topic.size() - 4, 4, "/set") != 0)
    return;
  const std::string command = topic.substr(base.size(), topic.size() - base.size() - 4);
  // A command kept by the broker is an old one, or garbage: acted on at every start, it would
  // undo what came since.
  if (retained) return log_("ignored a retained command on " + topic);
  if (payload.size() > kPayloadLimit)
    return Wrong(command + "/set: more than " + std::to_string(kPayloadLimit) + " bytes");
  Command(command, payload);
  StateChanged();
}

void MqttDisplay::Command(const std::string& command, const std::string& payload) {
  const std::string text = Trimmed(payload);
  std::string wrong;
  if (command == "message" || command == "text") {
    // JSON as the API takes it; anything else is the words of a text message.
    const bool json = command == "message" && !text.empty() && (text[0] == '{' || text[0] == '"');
    if (text.empty()) return Wrong(command + "/set: an empty message");
    wrong = Call("POST", "messages", json ? text : live::JsonText({{"text", payload}}));
  } else if (command == "brightness") {
    wrong = Call("PUT", "brightness", text);
  } else if (command == "light/brightness") {
    const json value = json::parse(text, nullptr, false);
    if (!value.is_number_integer() || value < 0 || value > 255)
      return Wrong("light/brightness/set: a whole number from 0 to 255");
    const int ha = value.get<int>();
    wrong = Call("PUT", "power", ha == 0 ? "\"off\"" : "\"on\"");
    if (wrong.empty() && ha > 0)
      wrong = Call("PUT", "brightness", std::to_string(BrightnessOfHomeAssistant(ha)));
  } else if (command == "power") {
    const std::string power = Lower(text);
    wrong = Call("PUT", "power", power == "on" || power == "off" ? "\"" + power + "\"" : text);
  } else if (command == "playlist") {
    wrong = Call("PUT", "playlist", text);
  } else if (command == "item") {
    // "3", "3. shop.grm" (the select's option) or a stored movie's or picture's name.
    const std::size_t digits = text.find_first_not_of("0123456789");
    if (digits != 0 && !text.empty() && digits <= 6) {
      const std::size_t number = std::stoul(text.substr(0, digits));
      if (number < 1 || !stage_.PlayItem(number - 1))
        return Wrong("item/set: no item " + std::to_string(number) + " in the playlist");
    } else if (live::IsMediaName(text) && access(store_.MediaPath(text).c_str(), R_OK) == 0) {
      wrong = Call("POST", "messages", live::JsonText({{"movie", text}}));
    } else {
      return Wrong("item/set: neither a playlist item's number nor a stored file");
    }
  } else if (command == "clear") {
    for (const live::Message& message : stage_.Queue()) stage_.Delete(message.id);
    if (const auto shown = stage_.Showing().messageId) stage_.Delete(*shown);
  } else {
    return Wrong(command + "/set: no such command");
  }
  if (!wrong.empty()) Wrong(command + "/set: " + wrong);
}

// The API's answer: "" where it took the call, else its error.
std::string MqttDisplay::Call(const char* method, const char* path, const std::string& body) {
  const Response response =
      api_.Handle({method, std::string("/api/") + path, {}, "application/json", body});
  if (response.status < 400) return "";
  const json answer = json::parse(response.body, nullptr, false);
  return answer.is_object() && answer.contains("error") ? answer["error"].get<std::string>()
                                                        : "refused";
}

void MqttDisplay::Wrong(const std::string& what) {
  error_ = what;
  log_(what);
  StateChanged();
}

void MqttDisplay::StateChanged() {
  json state = api_.State();
  state["name"] = topics_.name;
  if (!error_.empty()) state["error"] = error_;
  Put(topics_.Topic("state"), live::JsonText(state));
  // What Home Assistant's entities read, each a plain value.
  Put(topics_.Topic("power"), stage_.On() ? "on" : "off");
  Put(topics_.Topic("light/brightness"),
      std::to_string(HomeAssistantBrightness(live::BrightnessOfLevel(stage_.Level()))));
  const live::Stage::Now now = stage_.Showing();
  Put(topics_.Topic("showing"),
      now.item ? now.source + ": " + Describe(*now.item) : std::string("nothing"));
  Put(topics_.Topic("message"), now.messageId && now.item->kind == live::ItemKind::kText
                                    ? now.item->text.substr(0, 255)
                                    : "");
  const std::vector<std::string> options = ItemOptions();
  Put(topics_.Topic("item"),
      now.playlistIndex >= 0 && static_cast<std::size_t>(now.playlistIndex) < options.size()
          ? options[static_cast<std::size_t>(now.playlistIndex)]
          : "");
  if (announced_ && *announced_ != options) Announce();  // the select's options changed
}

void MqttDisplay::Announce() {
  // Sent even where the broker holds the same: Home Assistant asks again after it restarts.
  announced_ = ItemOptions();
  for (const auto& [topic, config] : DiscoveryConfigs(topics_, *announced_, version::kFull)) {
    const std::string text = live::JsonText(config);
    if (publish_(topic, text, true)) published_[topic] = text;
  }
}

void ForgetDisplay(const MqttTopics& topics, const MqttDisplay::Publish& publish) {
  for (const auto& [topic, config] : DiscoveryConfigs(topics, {}, version::kFull))
    publish(topic, "", true);
  for (const char* retained :
       {"state", "power", "light/brightness", "showing", "message", "item", "availability"})
    publish(topics.Topic(retained), "", true);
}

// Retained, and only where it differs from what the broker holds.
void MqttDisplay::Put(const std::string& topic, const std::string& payload) {
  const auto held = published_.find(topic);
  if (held != published_.end() && held->second == payload) return;
  if (publish_(topic, payload, true)) published_[topic] = payload;
}

std::vector<std::string> MqttDisplay::ItemOptions() const {
  std::vector<std::string> options;
  const auto& items = stage_.CurrentPlaylist().items;
  for (std::size_t k = 0; k < items.size() && k < 100; ++k)
    options.push_back(std::to_string(k + 1) + ". " + Describe(items[k]));
  return options;
}

}  // namespace glowreel::server
