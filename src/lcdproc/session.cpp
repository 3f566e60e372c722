#include "lcdproc/session.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>
#include <optional>
#include <utility>

#include "lcdproc/icons.h"
#include "lcdproc/words.h"

namespace glowreel::lcdproc {

namespace {

constexpr const char* kSuccess = "success";

// A reply is one line: the client's own words in it keep their line feeds and other controls
// written out, so that no word of theirs can make a second reply.
std::string Huh(const std::string& why) {
  std::string line = "huh? ";
  for (const char c : why) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
      line += c;
    } else {
      constexpr char kHex[] = "0123456789abcdef";
      line += c == '\n'   ? "\\n"
              : c == '\r' ? "\\r"
              : c == '\t' ? "\\t"
                          : std::string{'\\', 'x', kHex[(c >> 4) & 15], kHex[c & 15]};
    }
  }
  return line;
}

// A whole number as the language writes them, within what any position or size can be.
std::optional<int> Number(const std::string& word) {
  constexpr int kLargest = 1'000'000;
  int value = 0;
  const char* first = word.data() + (word.starts_with('+') ? 1 : 0);
  const auto [end, error] = std::from_chars(first, word.data() + word.size(), value);
  if (word.empty() || error != std::errc() || end != word.data() + word.size() ||
      value < -kLargest || value > kLargest)
    return std::nullopt;
  return value;
}

bool OneOf(const std::string& word, std::initializer_list<const char*> choices) {
  return std::any_of(choices.begin(), choices.end(), [&](const char* c) { return word == c; });
}

std::optional<Priority> PriorityOf(const std::string& word) {
  constexpr std::array<std::pair<const char*, Priority>, 6> kClasses = {{
      {"hidden", Priority::kHidden},
      {"background", Priority::kBackground},
      {"info", Priority::kInfo},
      {"foreground", Priority::kForeground},
      {"alert", Priority::kAlert},
      {"input", Priority::kInput},
  }};
  for (const auto& [name, priority] : kClasses)
    if (word == name) return priority;
  const std::optional<int> number = Number(word);
  if (!number || *number < 1) return std::nullopt;
  return *number <= 64    ? Priority::kForeground
         : *number <= 192 ? Priority::kInfo
                          : Priority::kBackground;
}

std::optional<WidgetType> TypeOf(const std::string& word) {
  constexpr std::array<std::pair<const char*, WidgetType>, 10> kTypes = {{
      {"string", WidgetType::kString},
      {"title", WidgetType::kTitle},
      {"hbar", WidgetType::kHbar},
      {"vbar", WidgetType::kVbar},
      {"pbar", WidgetType::kPbar},
      {"icon", WidgetType::kIcon},
      {"scroller", WidgetType::kScroller},
      {"frame", WidgetType::kFrame},
      {"num", WidgetType::kNum},
      {"pixmap", WidgetType::kPixmap},
  }};
  for (const auto& [name, type] : kTypes)
    if (word == name) return type;
  return std::nullopt;
}

// The words from `first` on as numbers into `out`, in order; false at the first that is not.
bool Numbers(const std::vector<std::string>& words, std::size_t first,
             std::initializer_list<int*> out) {
  std::size_t k = first;
  for (int* target : out) {
    const std::optional<int> value = Number(words[k++]);
    if (!value) return false;
    *target = *value;
  }
  return true;
}

// A pixmap's dots in hexadecimal, a byte a column of each 8-dot page, `width` x `pages` of
// them; none when the text is not exactly that.
std::optional<std::vector<uint8_t>> Dots(const std::string& hex, int width, int height) {
  const std::size_t bytes =
      static_cast<std::size_t>(width) * static_cast<std::size_t>((height + 7) / 8);
  if (hex.size() != bytes * 2) return std::nullopt;
  std::vector<uint8_t> dots(bytes);
  for (std::size_t k = 0; k < bytes; ++k) {
    const auto [end, error] =
        std::from_chars(hex.data() + 2 * k, hex.data() + 2 * k + 2, dots[k], 16);
    if (error != std::errc() || end != hex.data() + 2 * k + 2) return std::nullopt;
  }
  return dots;
}

bool MediaName(const std::string& name) {
  return !name.empty() && name.size() <= 100 && name[0] != '.' &&
         name.find_first_not_of(
             "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-") ==
             std::string::npos;
}

// What widget_set takes after the screen and widget: the count of words, and how they read.
std::string SetWidget(Widget& widget, const std::vector<std::string>& words) {
  const std::size_t given = words.size() - 3;
  const auto usage = [&](const char* parameters) {
    return Huh(std::string("Usage: widget_set <screen> <widget> ") + parameters);
  };
  Widget w = widget;
  switch (widget.type) {
    case WidgetType::kString:
      if (given != 3 || !Numbers(words, 3, {&w.x, &w.y})) return usage("<x> <y> <text>");
      w.text = words[5];
      break;
    case WidgetType::kTitle:
      if (given != 1) return usage("<text>");
      w.text = words[3];
      break;
    case WidgetType::kHbar:
    case WidgetType::kVbar:
      if (given != 3 || !Numbers(words, 3, {&w.x, &w.y, &w.length}))
        return usage("<x> <y> <length>");
      break;
    case WidgetType::kPbar:
      if (given < 4 || given > 6 || !Numbers(words, 3, {&w.x, &w.y, &w.width, &w.promille}) ||
          w.promille < 0 || w.promille > 1000)
        return usage("<x> <y> <width> <promille 0-1000> [<begin-label> [<end-label>]]");
      w.text = given > 4 ? words[7] : "";
      w.endLabel = given > 5 ? words[8] : "";
      break;
    case WidgetType::kIcon:
      if (given != 3 || !Numbers(words, 3, {&w.x, &w.y})) return usage("<x> <y> <iconname>");
      if (!IconGlyph(words[5])) return Huh("Unknown icon " + words[5]);
      w.text = words[5];
      break;
    case WidgetType::kScroller:
      if (given != 7 || !Numbers(words, 3, {&w.x, &w.y, &w.right, &w.bottom}) ||
          !OneOf(words[7], {"h", "v", "m"}) || !Numbers(words, 8, {&w.speed}))
        return usage("<left> <top> <right> <bottom> <h|v|m> <speed> <text>");
      w.direction = words[7][0];
      w.text = words[9];
      break;
    case WidgetType::kFrame:
      if (given != 8 ||
          !Numbers(words, 3, {&w.x, &w.y, &w.right, &w.bottom, &w.width, &w.height}) ||
          !OneOf(words[9], {"h", "v"}) || !Numbers(words, 10, {&w.speed}))
        return usage("<left> <top> <right> <bottom> <width> <height> <h|v> <speed>");
      w.direction = words[9][0];
      break;
    case WidgetType::kNum:
      if (given != 2 || !Numbers(words, 3, {&w.x, &w.promille}) || w.promille < 0 ||
          w.promille > 10)
        return usage("<x> <digit 0-9, or 10 for a colon>");
      break;
    case WidgetType::kPixmap: {
      if (given != 5 || !Numbers(words, 3, {&w.x, &w.y, &w.width, &w.height}) || w.width < 1 ||
          w.height < 1 || w.width > 128 || w.height > 64)
        return usage(
            "<x> <y> <width 1-128> <height 1-64> <dots in hexadecimal, or a stored picture>");
      // Hexadecimal digits alone are dots; anything else names a stored picture.
      const bool hex = words[7].find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
      std::optional<std::vector<uint8_t>> dots = Dots(words[7], w.width, w.height);
      if (hex ? !dots : !MediaName(words[7]))
        return Huh(
            "a pixmap's dots are width x pages bytes in hexadecimal, or a stored picture's name");
      w.dots = hex ? std::move(*dots) : std::vector<uint8_t>();
      w.media = hex ? "" : words[7];
      break;
    }
  }
  w.set = true;
  widget = std::move(w);
  return kSuccess;
}

}  // namespace

std::vector<std::string> Session::Handle(std::string_view line) {
  if (line.size() > kLongestLine)
    return {Huh("the line is longer than " + std::to_string(kLongestLine) + " bytes")};
  const std::optional<Words> words = SplitWords(line);
  if (!words) return {Huh("a quote or brace is left open")};
  if (words->empty()) return {};
  if (!greeted_ && words->front() != "hello") return {Huh("say hello first")};
  return Command(*words);
}

bool Session::TakeChanged() {
  return std::exchange(changed_, false);
}

std::vector<std::string> Session::Command(const Words& words) {
  const std::string& verb = words[0];
  if (verb == "hello") return greeted_ = true, std::vector<std::string>{kGreeting};
  if (verb == "client_set") return {ClientSet(words)};
  if (verb == "screen_add") return {ScreenAdd(words)};
  if (verb == "screen_del") return {ScreenDel(words)};
  if (verb == "screen_set") return {ScreenSet(words)};
  if (verb == "widget_add") return {WidgetAdd(words)};
  if (verb == "widget_del") return {WidgetDel(words)};
  if (verb == "widget_set") return {WidgetSet(words)};
  if (verb == "key_add") {
    if (words.size() < 3) return {Huh("Usage: key_add <screen> <key>...")};
    if (!FindScreen(words[1])) return {Huh("Unknown screen id " + words[1])};
    keys_.insert(words.begin() + 2, words.end());
    return {kSuccess};
  }
  if (verb == "key_del") return KeyDel(words);
  if (verb == "client_add_key") {
    std::vector<std::string> replies;
    for (std::size_t k = 1; k < words.size(); ++k) {
      if (words[k] == "-exclusively" || words[k] == "-shared") continue;
      keys_.insert(words[k]);
      replies.push_back(kSuccess);
    }
    return replies.empty() ? std::vector<std::string>{Huh(
                                 "Usage: client_add_key [-exclusively|-shared] <key>...")}
                           : replies;
  }
  if (verb == "client_del_key") {
    for (std::size_t k = 1; k < words.size(); ++k) keys_.erase(words[k]);
    return {kSuccess};
  }
  // A display without keys has no menu to show: a client's items are taken and never shown.
  if (verb.starts_with("menu_") && OneOf(verb, {"menu_add_item", "menu_del_item", "menu_set_item",
                                                "menu_goto", "menu_set_main"}))
    return {kSuccess};
  if (verb == "backlight") {
    if (words.size() != 2 || !OneOf(words[1], {"on", "off", "toggle", "blink", "flash"}))
      return {Huh("Usage: backlight {on|off|toggle|blink|flash}")};
    return {kSuccess};
  }
  if (verb == "output") {
    if (words.size() != 2 || (!OneOf(words[1], {"on", "off"}) && !Number(words[1])))
      return {Huh("Usage: output {on|off|<int>}")};
    return {kSuccess};
  }
  if (verb == "info")
    return {"GlowReel: a vacuum-fluorescent display of 128 x 64 dots, 21 x 8 characters"};
  if (verb == "noop") return {kSuccess};
  if (verb == "sleep") {
    const std::optional<int> seconds = words.size() == 2 ? Number(words[1]) : std::nullopt;
    if (!seconds || *seconds < 1 || *seconds > 60) return {Huh("Usage: sleep <seconds 1-60>")};
    return {kSuccess};  // taken, and not slept: no client waits for the others
  }
  if (verb == "bye") return ended_ = true, std::vector<std::string>{};
  return {Huh("Invalid command \"" + verb + "\"")};
}

std::string Session::ClientSet(const Words& words) {
  if (words.size() != 3 || (words[1] != "-name" && words[1] != "name"))
    return Huh("Usage: client_set -name <name>");
  name_ = words[2];
  return kSuccess;
}

Screen* Session::FindScreen(const std::string& id) {
  const auto found = std::find_if(screens_.begin(), screens_.end(),
                                  [&](const Screen& screen) { return screen.id == id; });
  return found == screens_.end() ? nullptr : &*found;
}

std::string Session::ScreenAdd(const Words& words) {
  if (words.size() != 2) return Huh("Usage: screen_add <screen>");
  if (FindScreen(words[1])) return Huh("Screen " + words[1] + " already exists");
  if (screens_.size() >= kMostScreens)
    return Huh("a client has " + std::to_string(kMostScreens) + " screens at most");
  Screen screen;
  screen.id = screen.name = words[1];
  screens_.push_back(std::move(screen));
  changed_ = true;
  return kSuccess;
}

std::string Session::ScreenDel(const Words& words) {
  if (words.size() != 2) return Huh("Usage: screen_del <screen>");
  return RemoveScreen(words[1]) ? kSuccess : Huh("Unknown screen id " + words[1]);
}

bool Session::RemoveScreen(const std::string& id) {
  if (std::erase_if(screens_, [&](const Screen& screen) { return screen.id == id; }) == 0)
    return false;
  changed_ = true;
  return true;
}

std::string Session::ScreenSet(const Words& words) {
  if (words.size() < 2) return Huh("Usage: screen_set <screen> {-<attribute> <value>}...");
  Screen* screen = FindScreen(words[1]);
  if (!screen) return Huh("Unknown screen id " + words[1]);
  Screen s = *screen;  // all the attributes, or none
  for (std::size_t k = 2; k < words.size(); k += 2) {
    const std::string option = words[k].starts_with('-') ? words[k].substr(1) : words[k];
    if (k + 1 >= words.size()) return Huh("-" + option + " needs a value");
    const std::string& value = words[k + 1];
    const std::optional<int> number = Number(value);
    const auto wrong = [&](const char* takes) { return Huh("-" + option + " takes " + takes); };
    if (option == "name") {
      s.name = value;
    } else if (option == "wid" || option == "hgt") {
      if (!number || *number < 1) return wrong("a positive number");
      (option == "wid" ? s.width : s.height) = *number;
    } else if (option == "priority") {
      const std::optional<Priority> priority = PriorityOf(value);
      if (!priority)
        return wrong("hidden, background, info, foreground, alert, input or a number from 1");
      s.priority = *priority;
    } else if (option == "heartbeat") {
      if (!OneOf(value, {"on", "off", "open"})) return wrong("on, off or open");
      s.heartbeat = value;
    } else if (option == "backlight") {
      if (!OneOf(value, {"on", "off", "toggle", "open", "blink", "flash"}))
        return wrong("on, off, toggle, open, blink or flash");
      s.backlight = value;
    } else if (option == "duration" || option == "timeout") {
      if (!number || *number < (option == "duration" ? 1 : 0)) return wrong("eighths of a second");
      (option == "duration" ? s.durationEighths : s.timeoutEighths) = *number;
    } else if (option == "cursor") {
      if (!OneOf(value, {"on", "off", "under", "block"})) return wrong("on, off, under or block");
      s.cursor = value;
    } else if (option == "cursor_x" || option == "cursor_y") {
      if (!number || *number < 1) return wrong("a position from 1");
      (option == "cursor_x" ? s.cursorX : s.cursorY) = *number;
    } else {
      return Huh("Unknown screen attribute -" + option);
    }
  }
  *screen = std::move(s);
  changed_ = true;
  return kSuccess;
}

std::string Session::WidgetAdd(const Words& words) {
  const bool inFrame = words.size() == 6 && words[4] == "-in";
  if (words.size() != 4 && !inFrame)
    return Huh("Usage: widget_add <screen> <widget> <type> [-in <frame>]");
  Screen* screen = FindScreen(words[1]);
  if (!screen) return Huh("Unknown screen id " + words[1]);
  const std::optional<WidgetType> type = TypeOf(words[3]);
  if (!type)
    return Huh("Invalid widget type " + words[3] +
               " (string, title, hbar, vbar, pbar, icon, scroller, frame, num or pixmap)");
  auto& widgets = screen->widgets;
  const auto named = [&](const std::string& id) {
    return std::find_if(widgets.begin(), widgets.end(),
                        [&](const Widget& w) { return w.id == id; });
  };
  if (named(words[2]) != widgets.end()) return Huh("Widget " + words[2] + " already exists");
  if (inFrame) {
    const auto frame = named(words[5]);
    if (frame == widgets.end() || frame->type != WidgetType::kFrame)
      return Huh("No frame " + words[5] + " on screen " + words[1]);
  }
  if (widgets.size() >= kMostWidgets)
    return Huh("a screen has " + std::to_string(kMostWidgets) + " widgets at most");
  Widget widget;
  widget.id = words[2];
  widget.type = *type;
  if (inFrame) widget.frame = words[5];
  widgets.push_back(std::move(widget));
  changed_ = true;
  return kSuccess;
}

std::string Session::WidgetDel(const Words& words) {
  if (words.size() != 3) return Huh("Usage: widget_del <screen> <widget>");
  Screen* screen = FindScreen(words[1]);
  if (!screen) return Huh("Unknown screen id " + words[1]);
  auto& widgets = screen->widgets;
  const auto size = widgets.size();
  // A frame takes what is in it along.
  std::erase_if(widgets, [&](const Widget& w) { return w.id == words[2] || w.frame == words[2]; });
  if (widgets.size() == size) return Huh("Unknown widget id " + words[2]);
  changed_ = true;
  return kSuccess;
}

std::string Session::WidgetSet(const Words& words) {
  if (words.size() < 3) return Huh("Usage: widget_set <screen> <widget> <parameters>...");
  Screen* screen = FindScreen(words[1]);
  if (!screen) return Huh("Unknown screen id " + words[1]);
  const auto widget = std::find_if(screen->widgets.begin(), screen->widgets.end(),
                                   [&](const Widget& w) { return w.id == words[2]; });
  if (widget == screen->widgets.end()) return Huh("Unknown widget id " + words[2]);
  std::string reply = SetWidget(*widget, words);
  if (reply == kSuccess) changed_ = true;
  return reply;
}

std::vector<std::string> Session::KeyDel(const Words& words) {
  if (words.size() < 3) return {Huh("Usage: key_del <screen> <key>...")};
  if (!FindScreen(words[1])) return {Huh("Unknown screen id " + words[1])};
  std::vector<std::string> replies;
  for (std::size_t k = 2; k < words.size(); ++k)
    replies.push_back(keys_.erase(words[k]) ? kSuccess
                                            : Huh("Key " + words[k] + " was not reserved"));
  return replies;
}

}  // namespace glowreel::lcdproc
