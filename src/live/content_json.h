#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>

#include "live/content.h"

// The one JSON schema of items, messages and playlists, for the API and playlist files alike.
// Readers return "" or what is wrong, naming the field.
namespace glowreel::live {

// Names of stored media: letters, digits, '.', '-' and '_', not leading '.', at most 100.
bool IsMediaName(const std::string& name);

// `pathsAllowed`: a playlist file may name files by path; the API names stored media only.
std::string ReadItem(const nlohmann::json& json, Item& item, bool pathsAllowed);
std::string ReadMessage(const nlohmann::json& json, Message& message);
std::string ReadPlaylist(const nlohmann::json& json, Playlist& playlist, bool pathsAllowed);

nlohmann::json ItemJson(const Item& item);
nlohmann::json MessageJson(const Message& message);
nlohmann::json PlaylistJson(const Playlist& playlist);

// JSON as text, what is no UTF-8 in its strings replaced (U+FFFD): a client's screen name or a
// broker's payload is bytes, and writing it out must never fail.
std::string JsonText(const nlohmann::json& json, int indent = -1);

// The longest text a message or item takes, in bytes.
inline constexpr std::size_t kLongestText = 65536;
// Passes, repeats and times, each at most this.
inline constexpr int32_t kMostPasses = 10000;
inline constexpr int32_t kMostRepeats = 100;
inline constexpr int32_t kLongestMs = 24 * 3600 * 1000;

}  // namespace glowreel::live
