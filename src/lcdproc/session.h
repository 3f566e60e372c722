#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "lcdproc/screens.h"

// One client's conversation in lcdproc's language: each command line changes its screens and is
// answered "success", "huh? ..." or, to hello, "connect ...". The server around it moves the
// bytes and shows the screens.
namespace glowreel::lcdproc {

// The greeting: the language's version 0.4 (clients of 0.3 accept it; key_add and key_del are
// 0.4's), and the grid of the 5 x 7 font on its 6 x 8 pitch.
inline constexpr const char* kGreeting =
    "connect LCDproc 0.5.9 protocol 0.4 lcd wid 21 hgt 8 cellwid 6 cellhgt 8";

// A line longer than this is answered huh? and dropped; a client holds at most so many screens,
// and a screen so many widgets.
inline constexpr std::size_t kLongestLine = 8192;
inline constexpr std::size_t kMostScreens = 64;
inline constexpr std::size_t kMostWidgets = 256;

class Session {
 public:
  // The replies to one command line, each without its line feed; none to "bye".
  std::vector<std::string> Handle(std::string_view line);

  bool Greeted() const { return greeted_; }
  // The client said bye: the connection closes.
  bool Ended() const { return ended_; }
  const std::string& Name() const { return name_; }
  const std::vector<Screen>& Screens() const { return screens_; }
  // Whether screens changed since the last call.
  bool TakeChanged();
  // Takes a screen away, as screen_del does; false when there is none of that id.
  bool RemoveScreen(const std::string& id);

 private:
  using Words = std::vector<std::string>;
  std::vector<std::string> Command(const Words& words);
  std::string ClientSet(const Words& words);
  std::string ScreenAdd(const Words& words);
  std::string ScreenDel(const Words& words);
  std::string ScreenSet(const Words& words);
  std::string WidgetAdd(const Words& words);
  std::string WidgetDel(const Words& words);
  std::string WidgetSet(const Words& words);
  std::vector<std::string> KeyDel(const Words& words);
  Screen* FindScreen(const std::string& id);

  bool greeted_ = false;
  bool ended_ = false;
  bool changed_ = false;
  std::string name_;
  std::vector<Screen> screens_;
  std::set<std::string> keys_;  // reserved by key_add or client_add_key: taken, never pressed
};

}  // namespace glowreel::lcdproc
