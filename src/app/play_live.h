#pragma once

#include <string>

#include "dots/picture_dots.h"
#include "live/content.h"

// glowreel-play as a display server: a playlist, messages from other programs over HTTP, a
// schedule, all on one event loop.
namespace glowreel {

struct LiveSettings {
  std::string http;     // "[ADDR:]PORT", "" for no server
  std::string lcdproc;  // "[ADDR:]PORT" for lcdproc's clients, "" for none
  live::ScreensPlace screensPlace = live::ScreensPlace::kTurns;
  std::string mqtt;                   // the broker's mqtt:// or mqtts:// URL, "" for none
  std::string mqttName;               // the display's name there ("" for the host's)
  std::string mqttPrefix;             // its topics ("" for glowreel/NAME)
  std::string mqttGroups;             // the groups it is in, joined with commas
  std::string mqttCredentials;        // a file of the user's name and password, a line each
  std::string mqttCa;                 // a CA file for mqtts ("" for the system's)
  bool mqttForget = false;            // take the display away from the broker and Home Assistant
  std::string playlistFile;           // a playlist's JSON file, "" for none
  std::string movie;                  // or one movie or picture, played once unless `repeat`
  const std::string* text = nullptr;  // or a text
  int32_t scrollMs = 0;
  int32_t stillMs = 0;
  bool repeat = false;
  std::string stateFolder;  // "" for the default
  std::string token;        // the API's token, "" for none
  std::string certificateFile, keyFile;
  const char* port = nullptr;
  int16_t level = 15;
  PictureOptions picture;
};

// Whether this glowreel-play has the live display (a static one has not).
bool HasLiveDisplay();

// Runs until stopped; the exit status.
int RunLiveDisplay(const LiveSettings& settings);

}  // namespace glowreel
