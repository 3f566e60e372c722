// What other programs send the live display, as JSON: any bytes are refused with a reason or
// read, and whatever is read writes out and reads back the same.
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "live/content_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using nlohmann::json;
  const json document = json::parse(data, data + size, nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded()) return 0;
  glowreel::live::Message message;
  if (ReadMessage(document, message).empty()) {
    glowreel::live::Message again;
    if (!ReadMessage(MessageJson(message), again).empty()) std::abort();
  }
  for (const bool paths : {false, true}) {
    glowreel::live::Playlist playlist;
    if (!ReadPlaylist(document, playlist, paths).empty()) continue;
    glowreel::live::Playlist again;
    const json written = PlaylistJson(playlist);
    if (!ReadPlaylist(written, again, paths).empty() || PlaylistJson(again) != written)
      std::abort();
  }
  return 0;
}
