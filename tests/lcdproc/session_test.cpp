// lcdproc's client language: each command with good and bad arguments, answered as the
// protocol's documentation says, and what it leaves of the client's screens.
#include <gtest/gtest.h>

#include "lcdproc/session.h"
#include "lcdproc/words.h"

namespace glowreel::lcdproc {
namespace {

using Lines = std::vector<std::string>;

TEST(Words, QuotesAndBracesKeepSpacesAndBackslashesEscape) {
  // clang-format off
  const std::pair<const char*, std::optional<Lines>> cases[] = {
      {"widget_set C title {CPU LOAD}", Lines{"widget_set", "C", "title", "CPU LOAD"}},
      {"menu_add_item {} C checkbox {CPU} -value on", Lines{"menu_add_item", "", "C", "checkbox", "CPU", "-value", "on"}},
      {"  a\t\"b c\"  \"\" ", Lines{"a", "b c", ""}},
      {R"(x "say \"hi\"\t\\" {a\}b})", Lines{"x", "say \"hi\"\t\\", "a}b"}},
      {"", Lines{}},
      {"x \"open", std::nullopt},
      {"x {open", std::nullopt}};
  // clang-format on
  for (const auto& [line, words] : cases) EXPECT_EQ(SplitWords(line), words) << line;
}

// A client that has said hello, and what it is answered.
struct Client {
  Client() { session.Handle("hello"); }
  Lines operator()(const std::string& line) { return session.Handle(line); }
  Session session;
};

TEST(Session, HelloComesFirstAndIsAnsweredWithTheGrid) {
  Session session;
  EXPECT_EQ(session.Handle("screen_add s"), Lines{"huh? say hello first"});
  EXPECT_EQ(session.Handle("hello"),
            Lines{"connect LCDproc 0.5.9 protocol 0.4 lcd wid 21 hgt 8 cellwid 6 cellhgt 8"});
  EXPECT_EQ(session.Handle("noop"), Lines{"success"});
  EXPECT_EQ(session.Handle(""), Lines{});
  EXPECT_EQ(session.Handle("bye"), Lines{});
  EXPECT_TRUE(session.Ended());
}

TEST(Session, EachCommandIsAnsweredSuccessOrHuh) {
  Client client;
  for (const char* setup : {"screen_add s", "widget_add s f frame", "screen_add t"})
    ASSERT_EQ(client(setup), Lines{"success"}) << setup;
  const std::string longLine(kLongestLine + 1, 'x');
  // clang-format off
  const std::pair<std::string, Lines> cases[] = {
      {"client_set -name {My client}", {"success"}}, {"client_set name x", {"success"}},
      {"client_set -name", {"huh? Usage: client_set -name <name>"}},
      {"screen_add s", {"huh? Screen s already exists"}}, {"screen_add", {"huh? Usage: screen_add <screen>"}},
      {"screen_del nothing", {"huh? Unknown screen id nothing"}},
      {"screen_set s -name Load -priority foreground -duration 16 -timeout 80 -heartbeat off", {"success"}},
      {"screen_set s name Load -priority 100 -backlight flash -cursor block -cursor_x 3 -cursor_y 2", {"success"}},
      {"screen_set s -wid 10 -hgt 4", {"success"}},
      {"screen_set s -priority 0", {"huh? -priority takes hidden, background, info, foreground, alert, input or a number from 1"}},
      {"screen_set s -duration 0", {"huh? -duration takes eighths of a second"}},
      {"screen_set s -heartbeat maybe", {"huh? -heartbeat takes on, off or open"}},
      {"screen_set s -colour red", {"huh? Unknown screen attribute -colour"}},
      {"screen_set s -name", {"huh? -name needs a value"}},
      {"screen_set x -name y", {"huh? Unknown screen id x"}},
      {"widget_add s w string", {"success"}}, {"widget_add s w string", {"huh? Widget w already exists"}},
      {"widget_add s in string -in f", {"success"}},
      {"widget_add s in2 string -in w", {"huh? No frame w on screen s"}},
      {"widget_add s b bargraph", {"huh? Invalid widget type bargraph (string, title, hbar, vbar, pbar, icon, scroller, frame, num or pixmap)"}},
      {"widget_add x w string", {"huh? Unknown screen id x"}},
      {"widget_set s w 1 2 {Usr  Nice}", {"success"}},
      {"widget_set s w 1 two x", {"huh? Usage: widget_set <screen> <widget> <x> <y> <text>"}},
      {"widget_set s w 1 2", {"huh? Usage: widget_set <screen> <widget> <x> <y> <text>"}},
      {"widget_set s nothing 1 1 x", {"huh? Unknown widget id nothing"}},
      {"widget_set s f 1 2 21 8 21 20 v 2", {"success"}},
      {"widget_set s f 1 2 21 8 21 20 d 2", {"huh? Usage: widget_set <screen> <widget> <left> <top> <right> <bottom> <width> <height> <h|v> <speed>"}},
      {"widget_del s nothing", {"huh? Unknown widget id nothing"}},
      {"key_add s Up Down", {"success"}}, {"key_add x Up", {"huh? Unknown screen id x"}},
      {"key_del s Up Left", {"success", "huh? Key Left was not reserved"}},
      {"client_add_key -shared Enter Escape", {"success", "success"}},
      {"client_del_key Enter Escape Nothing", {"success"}},
      {"menu_add_item {} C checkbox {CPU} -value on", {"success"}}, {"menu_set_main {}", {"success"}},
      {"menu_goto C", {"success"}}, {"menu_del_item {} C", {"success"}}, {"menu_set_item {} C -value off", {"success"}},
      {"backlight blink", {"success"}}, {"backlight dim", {"huh? Usage: backlight {on|off|toggle|blink|flash}"}},
      {"output on", {"success"}}, {"output 5", {"success"}}, {"output high", {"huh? Usage: output {on|off|<int>}"}},
      {"info", {"GlowReel: a vacuum-fluorescent display of 128 x 64 dots, 21 x 8 characters"}},
      {"sleep 60", {"success"}}, {"sleep 61", {"huh? Usage: sleep <seconds 1-60>"}},
      {"frobnicate", {"huh? Invalid command \"frobnicate\""}},
      {"say\\nsuccess", {"huh? Invalid command \"say\\nsuccess\""}},  // one reply, one line
      {"screen_del t", {"success"}},
      {"widget_set s \"open", {"huh? a quote or brace is left open"}},
      {longLine, {"huh? the line is longer than 8192 bytes"}}};
  // clang-format on
  for (const auto& [line, replies] : cases) EXPECT_EQ(client(line), replies) << line;
  EXPECT_EQ(client.session.Name(), "x");
  ASSERT_EQ(client.session.Screens().size(), 1u);
  const Screen& s = client.session.Screens()[0];
  EXPECT_EQ(s.name, "Load");
  EXPECT_EQ(s.priority, Priority::kInfo) << "100 is an info screen's number";
  EXPECT_EQ(std::make_tuple(s.durationEighths, s.timeoutEighths, s.width, s.height, s.cursorX),
            std::make_tuple(16, 80, 10, 4, 3));
}

TEST(Session, EachWidgetTypeTakesItsParameters) {
  Client client;
  client("screen_add s");
  // clang-format off
  const std::tuple<const char*, const char*, const char*> cases[] = {  // type, parameters, reply
      {"title", "{CPU LOAD}", "success"},
      {"hbar", "3 4 37", "success"}, {"vbar", "1 8 30", "success"}, {"hbar", "3 4", "huh? Usage: widget_set <screen> <widget> <x> <y> <length>"},
      {"pbar", "1 2 10 500", "success"}, {"pbar", "1 2 10 500 {0%} {100%}", "success"},
      {"pbar", "1 2 10 1001", "huh? Usage: widget_set <screen> <widget> <x> <y> <width> <promille 0-1000> [<begin-label> [<end-label>]]"},
      {"icon", "1 1 HEART_FILLED", "success"}, {"icon", "1 1 SMILEY", "huh? Unknown icon SMILEY"},
      {"scroller", "1 2 21 2 m 2 {Hello world}", "success"}, {"scroller", "1 2 21 2 -3 h x", "huh? Usage: widget_set <screen> <widget> <left> <top> <right> <bottom> <h|v|m> <speed> <text>"},
      {"num", "5 10", "success"}, {"num", "5 11", "huh? Usage: widget_set <screen> <widget> <x> <digit 0-9, or 10 for a colon>"},
      {"pixmap", "1 1 2 9 ff0001ff", "success"}, {"pixmap", "1 1 8 8 logo.png", "success"},
      {"pixmap", "1 1 2 9 ff00", "huh? a pixmap's dots are width x pages bytes in hexadecimal, or a stored picture's name"},
      {"pixmap", "1 1 200 8 00", "huh? Usage: widget_set <screen> <widget> <x> <y> <width 1-128> <height 1-64> <dots in hexadecimal, or a stored picture>"}};
  // clang-format on
  int n = 0;
  for (const auto& [type, parameters, reply] : cases) {
    const std::string id = "w" + std::to_string(++n);
    ASSERT_EQ(client("widget_add s " + id + " " + type), Lines{"success"});
    EXPECT_EQ(client("widget_set s " + id + " " + parameters), Lines{reply})
        << type << " " << parameters;
  }
  const std::vector<Widget>& widgets = client.session.Screens()[0].widgets;
  EXPECT_EQ(widgets[1].length, 37) << "a bar's length is in dots";
  EXPECT_EQ(std::make_tuple(widgets[5].text, widgets[5].endLabel, widgets[5].promille),
            std::make_tuple("0%", "100%", 500));
  EXPECT_EQ(std::make_tuple(widgets[9].direction, widgets[9].speed, widgets[9].text),
            std::make_tuple('m', 2, "Hello world"));
  EXPECT_EQ(widgets[13].dots, (std::vector<uint8_t>{0xff, 0x00, 0x01, 0xff}));
  EXPECT_EQ(widgets[14].media, "logo.png");
  EXPECT_FALSE(widgets[3].set) << "a widget_set refused leaves the widget as it was";
}

TEST(Session, ALimitedNumberOfScreensAndWidgetsAndAFrameTakesItsWidgetsAlong) {
  Client client;
  for (std::size_t k = 0; k < kMostScreens; ++k) client("screen_add s" + std::to_string(k));
  EXPECT_EQ(client("screen_add one-more"), Lines{"huh? a client has 64 screens at most"});
  for (std::size_t k = 0; k < kMostWidgets; ++k)
    client("widget_add s0 w" + std::to_string(k) + " frame");
  EXPECT_EQ(client("widget_add s0 one-more string"),
            Lines{"huh? a screen has 256 widgets at most"});
  client("widget_del s0 w5");
  client("widget_add s0 a string -in w0");
  EXPECT_EQ(client("widget_del s0 w0"), Lines{"success"});
  EXPECT_EQ(client("widget_set s0 a 1 1 x"), Lines{"huh? Unknown widget id a"});
}

}  // namespace
}  // namespace glowreel::lcdproc
