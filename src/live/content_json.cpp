#include "live/content_json.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace glowreel::live {

namespace {

using nlohmann::json;

constexpr const char* kDayNames[7] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
constexpr int32_t kLongestScrollMs = 327674;
constexpr const char* kDefaultClock = "%H:%M";

// A whole number from `low` to `high` at `key`, where present.
std::string ReadNumber(const json& object, const char* key, int64_t low, int64_t high,
                       int64_t& value) {
  const auto found = object.find(key);
  if (found == object.end()) return "";
  if (!found->is_number_integer() || *found < low || *found > high)
    return std::string(key) + ": a whole number from " + std::to_string(low) + " to " +
           std::to_string(high);
  value = found->get<int64_t>();
  return "";
}

std::string ReadNumber32(const json& object, const char* key, int64_t low, int64_t high,
                         int32_t& value) {
  int64_t wide = value;
  std::string wrong = ReadNumber(object, key, low, high, wide);
  value = static_cast<int32_t>(wide);
  return wrong;
}

std::string ReadString(const json& object, const char* key, std::string& value) {
  const auto found = object.find(key);
  if (found == object.end()) return "";
  if (!found->is_string() || found->get_ref<const std::string&>().size() > kLongestText)
    return std::string(key) + ": a string of at most " + std::to_string(kLongestText) + " bytes";
  value = found->get<std::string>();
  return "";
}

// "HH:MM" into minutes after midnight; "24:00" is the end of the day.
bool ReadClockTime(const json& value, int32_t& minute) {
  if (!value.is_string()) return false;
  const std::string& text = value.get_ref<const std::string&>();
  if (text.size() != 5 || text[2] != ':') return false;
  for (const int at : {0, 1, 3, 4})
    if (text[static_cast<std::size_t>(at)] < '0' || text[static_cast<std::size_t>(at)] > '9')
      return false;
  const int hours = std::stoi(text.substr(0, 2)), minutes = std::stoi(text.substr(3));
  if (minutes > 59 || hours > 24 || (hours == 24 && minutes != 0)) return false;
  minute = (hours * 60 + minutes) % (24 * 60);
  return true;
}

std::string ClockTimeText(int32_t minute) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
  return text;
}

std::string ReadDays(const json& value, std::array<bool, 7>& days) {
  constexpr const char* kWrong = "days: a list of sun, mon, tue, wed, thu, fri, sat";
  if (!value.is_array() || value.empty()) return kWrong;
  days.fill(false);
  for (const json& day : value) {
    bool known = false;
    for (std::size_t k = 0; k < 7; ++k) {
      if (day.is_string() && day.get_ref<const std::string&>() == kDayNames[k]) {
        days[k] = known = true;
      }
    }
    if (!known) return kWrong;
  }
  return "";
}

std::string ReadWindow(const json& object, ScheduleWindow& window, std::size_t items) {
  if (!object.is_object()) return "a schedule window is an object";
  for (const auto& [key, value] : object.items()) {
    if (key == "days") {
      if (std::string wrong = ReadDays(value, window.days); !wrong.empty()) return wrong;
    } else if (key == "from" || key == "to") {
      if (!ReadClockTime(value, key == "from" ? window.fromMinute : window.toMinute))
        return key + ": a time of day as \"HH:MM\"";
    } else if (key == "brightness") {
      int32_t brightness = 0;
      if (std::string wrong = ReadNumber32(object, "brightness", 1, 16, brightness); !wrong.empty())
        return wrong;
      window.brightness = LevelOfBrightness(brightness);
    } else if (key == "power") {
      if (value != "on" && value != "off") return "power: \"on\" or \"off\"";
      window.on = value == "on";
    } else if (key == "items") {
      if (!value.is_array()) return "items: a list of playlist positions from 0";
      for (const json& index : value) {
        if (!index.is_number_integer() || index < 0 || index >= static_cast<int64_t>(items))
          return "items: a list of playlist positions from 0 to " + std::to_string(items) + " - 1";
        window.items.push_back(index.get<int32_t>());
      }
    } else {
      return "unknown schedule field " + key;
    }
  }
  return "";
}

}  // namespace

bool IsMediaName(const std::string& name) {
  if (name.empty() || name.size() > 100 || name.front() == '.') return false;
  return name.find_first_not_of(
             "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._-") ==
         std::string::npos;
}

std::string ReadItem(const json& object, Item& item, bool pathsAllowed) {
  if (!object.is_object()) return "an item is an object";
  int kinds = 0;
  for (const auto& [key, kind] :
       {std::pair{"movie", ItemKind::kMovie}, std::pair{"picture", ItemKind::kPicture},
        std::pair{"text", ItemKind::kText}, std::pair{"clock", ItemKind::kClock}}) {
    if (object.contains(key)) item.kind = kind, ++kinds;
  }
  if (kinds != 1) return "an item is one of movie, picture, text or clock";
  std::string wrong;
  switch (item.kind) {
    case ItemKind::kMovie:
    case ItemKind::kPicture: {
      const char* key = item.kind == ItemKind::kMovie ? "movie" : "picture";
      wrong = ReadString(object, key, item.source);
      if (wrong.empty() && !(pathsAllowed ? !item.source.empty() : IsMediaName(item.source)))
        wrong = std::string(key) + ": the name of a stored file (letters, digits, '.', '-', '_')";
      break;
    }
    case ItemKind::kText:
      wrong = ReadString(object, "text", item.text);
      break;
    case ItemKind::kClock:
      if (object["clock"].is_boolean()) {
        item.text = kDefaultClock;
      } else if ((wrong = ReadString(object, "clock", item.text)).empty() && item.text.empty()) {
        item.text = kDefaultClock;
      }
      if (wrong.empty()) wrong = ReadString(object, "date", item.date);
      break;
    case ItemKind::kScreens:  // not an item of a playlist or message
      break;
  }
  if (wrong.empty()) wrong = ReadNumber32(object, "passes", 1, kMostPasses, item.passes);
  if (wrong.empty()) wrong = ReadNumber32(object, "duration_ms", 1, kLongestMs, item.durationMs);
  if (wrong.empty()) wrong = ReadNumber32(object, "scroll_ms", 0, kLongestScrollMs, item.scrollMs);
  return wrong;
}

std::string ReadMessage(const json& object, Message& message) {
  if (object.is_string()) {
    message.content.kind = ItemKind::kText;
    return ReadString(json{{"text", object}}, "text", message.content.text);
  }
  if (!object.is_object()) return "a message is an object, or a string of text";
  json content = object;
  if (const auto found = object.find("priority"); found != object.end()) {
    if (*found != "info" && *found != "alert") return "priority: \"info\" or \"alert\"";
    message.priority = *found == "alert" ? Priority::kAlert : Priority::kInfo;
    content.erase("priority");
  }
  std::string wrong = ReadNumber32(object, "repeat", 1, kMostRepeats, message.repeat);
  if (wrong.empty()) wrong = ReadNumber(object, "lifetime_ms", 1, kLongestMs, message.lifetimeMs);
  content.erase("repeat");
  content.erase("lifetime_ms");
  for (const char* key : {"id", "expires_in_ms"}) content.erase(key);
  return wrong.empty() ? ReadItem(content, message.content, false) : wrong;
}

std::string ReadPlaylist(const json& object, Playlist& playlist, bool pathsAllowed) {
  if (!object.is_object()) return "a playlist is an object with items and a schedule";
  for (const auto& [key, value] : object.items()) {
    if (key != "items" && key != "schedule") return "unknown playlist field " + key;
    if (!value.is_array()) return key + ": a list";
  }
  const json items = object.value("items", json::array());
  for (std::size_t k = 0; k < items.size(); ++k) {
    Item item;
    if (std::string wrong = ReadItem(items[k], item, pathsAllowed); !wrong.empty())
      return "items[" + std::to_string(k) + "]: " + wrong;
    playlist.items.push_back(std::move(item));
  }
  const json windows = object.value("schedule", json::array());
  for (std::size_t k = 0; k < windows.size(); ++k) {
    ScheduleWindow window;
    if (std::string wrong = ReadWindow(windows[k], window, playlist.items.size()); !wrong.empty())
      return "schedule[" + std::to_string(k) + "]: " + wrong;
    playlist.schedule.push_back(std::move(window));
  }
  return "";
}

json ItemJson(const Item& item) {
  json object;
  switch (item.kind) {
    case ItemKind::kMovie:
      object["movie"] = item.source;
      break;
    case ItemKind::kPicture:
      object["picture"] = item.source;
      break;
    case ItemKind::kText:
      object["text"] = item.text;
      break;
    case ItemKind::kClock:
      object["clock"] = item.text;
      if (!item.date.empty()) object["date"] = item.date;
      break;
    case ItemKind::kScreens:
      object["screens"] = item.text;
      break;
  }
  if (item.passes) object["passes"] = item.passes;
  if (item.durationMs) object["duration_ms"] = item.durationMs;
  if (item.scrollMs) object["scroll_ms"] = item.scrollMs;
  return object;
}

json MessageJson(const Message& message) {
  json object = ItemJson(message.content);
  object["id"] = message.id;
  object["priority"] = message.priority == Priority::kAlert ? "alert" : "info";
  object["repeat"] = message.repeat;
  return object;
}

json PlaylistJson(const Playlist& playlist) {
  json items = json::array(), windows = json::array();
  for (const Item& item : playlist.items) items.push_back(ItemJson(item));
  for (const ScheduleWindow& window : playlist.schedule) {
    json days = json::array();
    for (std::size_t k = 0; k < 7; ++k)
      if (window.days[k]) days.push_back(kDayNames[k]);
    json object{{"days", days},
                {"from", ClockTimeText(window.fromMinute)},
                {"to", ClockTimeText(window.toMinute)},
                {"power", window.on ? "on" : "off"}};
    if (window.brightness) object["brightness"] = BrightnessOfLevel(*window.brightness);
    if (!window.items.empty()) object["items"] = window.items;
    windows.push_back(object);
  }
  return json{{"items", items}, {"schedule", windows}};
}

std::string JsonText(const nlohmann::json& json, int indent) {
  return json.dump(indent, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace glowreel::live
