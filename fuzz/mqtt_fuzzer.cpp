// What a broker delivers: a topic's first line, then its payload; any of them, retained or not
// (a leading "R"), is acted on as the HTTP API acts or refused with a line in the log, and the
// state published stays JSON. An input without a line break is a broker's address as a user
// writes it: read, or refused in words.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "core/playback.h"
#include "live/item_frames.h"
#include "live/state_store.h"
#include "platform/platform.h"
#include "server/mqtt_display.h"
#include "server/mqtt_link.h"

namespace {

using namespace glowreel;

// Waits cost nothing and nothing is shown: the stage is only told, never stepped.
class Unseen : public Platform {
 public:
  void Sleep(int32_t) override {}
  void DoEvents() override {}
  void MsgBox(const std::string&, const std::string&) override {}
  void Beep() override {}
};

// A display whose retained messages are kept as a broker keeps them; a fresh one each input.
struct Display {
  Display() {
    char folder[] = "/tmp/glowreel-mqtt-fuzz-XXXXXX";
    store = std::make_unique<live::StateStore>(mkdtemp(folder));
    if (!store->Prepare().empty()) std::abort();
    api = std::make_unique<server::Api>(stage, *store);
    mqtt = std::make_unique<server::MqttDisplay>(
        *api, stage, *store, server::MqttTopics{"shop", "glowreel/shop"},
        std::vector<std::string>{"north"},
        [this](const std::string& topic, const std::string& payload, bool) {
          retained[topic] = payload;
          return true;
        },
        [](const std::string&) {});
    mqtt->Connected();
  }
  ~Display() { std::filesystem::remove_all(store->Folder()); }

  Playback pb;
  live::Stage stage{pb, live::MakeOpener({}), live::SystemClock(), 15};
  std::unique_ptr<live::StateStore> store;
  std::unique_ptr<server::Api> api;
  std::unique_ptr<server::MqttDisplay> mqtt;
  std::map<std::string, std::string> retained;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Unseen platform;
  static Platform* const installed = InstallPlatform(&platform);
  (void)installed;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t end = input.find('\n');
  if (end == std::string::npos) {
    server::MqttSettings settings;
    if (server::ReadBrokerUrl(input, settings).empty() && settings.host.empty()) std::abort();
    return 0;
  }
  const bool retained = input[0] == 'R';
  Display display;
  display.mqtt->Message(input.substr(retained ? 1 : 0, end - (retained ? 1 : 0)),
                        input.substr(end + 1), retained);
  display.mqtt->StateChanged();
  if (!nlohmann::json::accept(display.retained["glowreel/shop/state"])) std::abort();
  return 0;
}
