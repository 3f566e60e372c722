#include "server/mqtt_link.h"

#include <mosquitto.h>
#include <sys/epoll.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/system_sleep.h"

namespace glowreel::server {

namespace {

constexpr int kQos = 1;
constexpr uint64_t kMiscUs = 1'000'000;

// The library once for the program; it is never cleaned up, as it holds nothing between links.
void InitLibrary() {
  static const int once = mosquitto_lib_init();
  (void)once;
}

}  // namespace

std::string ReadBrokerUrl(const std::string& url, MqttSettings& settings) {
  std::string_view rest = url;
  if (rest.rfind("mqtt://", 0) == 0) {
    settings.tls = false, settings.port = 1883, rest.remove_prefix(7);
  } else if (rest.rfind("mqtts://", 0) == 0) {
    settings.tls = true, settings.port = 8883, rest.remove_prefix(8);
  } else {
    return "the broker is mqtt://HOST[:PORT] or mqtts://HOST[:PORT]";
  }
  if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
  if (rest.find('@') != std::string_view::npos)
    return "the user and password go in a file (GLOWREEL_MQTT_CREDENTIALS), not in the address";
  std::string_view host = rest;
  if (!rest.empty() && rest.front() == '[') {  // [IPv6]:PORT
    const auto end = rest.find(']');
    if (end == std::string_view::npos) return "an IPv6 broker is written [ADDR]:PORT";
    host = rest.substr(1, end - 1);
    rest.remove_prefix(end + 1);
    if (!rest.empty() && rest.front() != ':') return "a port follows the address after ':'";
  } else if (const auto colon = rest.rfind(':'); colon != std::string_view::npos) {
    host = rest.substr(0, colon);
    rest.remove_prefix(colon);
  } else {
    rest = "";
  }
  if (!rest.empty()) {
    const std::string_view port = rest.substr(1);
    if (port.empty() || port.size() > 5 ||
        port.find_first_not_of("0123456789") != std::string_view::npos ||
        std::stoi(std::string(port)) > 65535 || std::stoi(std::string(port)) == 0)
      return "the broker's port is a number from 1 to 65535";
    settings.port = static_cast<uint16_t>(std::stoi(std::string(port)));
  }
  if (host.empty() || host.find_first_of("/?# ") != std::string_view::npos)
    return "no broker host in " + url;
  settings.host = std::string(host);
  return "";
}

MqttLink::MqttLink(EventLoop& loop, MqttSettings settings)
    : loop_(loop),
      settings_(std::move(settings)),
      jitter_(static_cast<std::minstd_rand::result_type>(
          std::hash<std::string>{}(settings_.clientId) ^ MonotonicUs())) {}

MqttLink::~MqttLink() {
  watch_.reset();
  if (mosq_) mosquitto_destroy(mosq_);
}

std::string MqttLink::Start() {
  InitLibrary();
  // A persistent session: what is sent at QoS 1 while the link is down waits at the broker.
  mosq_ = mosquitto_new(settings_.clientId.c_str(), /*clean_session=*/false, this);
  if (!mosq_) return "no MQTT client (out of memory, or a client id the library refuses)";
  mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
  mosquitto_connect_callback_set(mosq_, [](mosquitto*, void* self, int code) {
    auto& link = *static_cast<MqttLink*>(self);
    if (code != 0) return link.Lost(mosquitto_connack_string(code));
    link.connected_ = true;
    link.retrySeconds_ = kFirstRetrySeconds;
    for (const std::string& filter : link.filters_)
      mosquitto_subscribe(link.mosq_, nullptr, filter.c_str(), kQos);
    if (link.onConnect) link.onConnect();
  });
  mosquitto_disconnect_callback_set(mosq_, [](mosquitto*, void* self, int code) {
    auto& link = *static_cast<MqttLink*>(self);
    if (code != 0) link.Lost(mosquitto_strerror(code));
  });
  mosquitto_message_callback_set(
      mosq_, [](mosquitto*, void* self, const mosquitto_message* message) {
        auto& link = *static_cast<MqttLink*>(self);
        if (!link.onMessage) return;
        link.onMessage(message->topic,
                       std::string(static_cast<const char*>(message->payload),
                                   static_cast<std::size_t>(std::max(0, message->payloadlen))),
                       message->retain);
      });
  if (!settings_.user.empty() &&
      mosquitto_username_pw_set(mosq_, settings_.user.c_str(), settings_.password.c_str()) != 0)
    return "the MQTT user or password is refused";
  if (settings_.tls) {
    const char* caFile = settings_.caFile.empty() ? nullptr : settings_.caFile.c_str();
    if (const int error = mosquitto_tls_set(mosq_, caFile, caFile ? nullptr : "/etc/ssl/certs",
                                            nullptr, nullptr, nullptr))
      return std::string("TLS: ") + mosquitto_strerror(error);
  }
  if (!settings_.willTopic.empty() &&
      mosquitto_will_set(mosq_, settings_.willTopic.c_str(),
                         static_cast<int>(settings_.willPayload.size()),
                         settings_.willPayload.data(), kQos, /*retain=*/true) != 0)
    return "the will's topic is refused";
  misc_ = loop_.Timer([this] {
    if (mosq_ && !lost_ && mosquitto_loop_misc(mosq_) != MOSQ_ERR_SUCCESS && connected_)
      Lost("the broker stopped answering");
    misc_->SetTime(MonotonicUs() + kMiscUs);
  });
  misc_->SetTime(MonotonicUs() + kMiscUs);
  retry_ = loop_.Timer([this] { Retry(); });
  const int error =
      mosquitto_connect_async(mosq_, settings_.host.c_str(), settings_.port, kKeepAliveSeconds);
  if (error != MOSQ_ERR_SUCCESS) {
    Lost(error == MOSQ_ERR_ERRNO ? "cannot connect" : mosquitto_strerror(error));
  } else {
    Watch();
  }
  return "";
}

bool MqttLink::Publish(const std::string& topic, const std::string& payload, bool retain) {
  if (!connected_) return false;
  if (mosquitto_publish(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                        payload.data(), kQos, retain) != MOSQ_ERR_SUCCESS)
    return false;
  Pump(EPOLLOUT);
  return true;
}

void MqttLink::Disconnect(int ms) {
  if (!connected_) return;
  mosquitto_disconnect(mosq_);
  // The packets queued go out, as far as the socket takes them in the time given.
  const uint64_t until = MonotonicUs() + static_cast<uint64_t>(ms) * 1000;
  while (mosquitto_want_write(mosq_) && MonotonicUs() < until)
    if (mosquitto_loop_write(mosq_, 1) != MOSQ_ERR_SUCCESS) break;
  connected_ = false;
  lost_ = true;
  if (watch_) watch_->Disable();
}

// The library's socket watched: for reading always, for writing while it has packets queued.
void MqttLink::Watch() {
  const int fd = mosquitto_socket(mosq_);
  if (fd < 0) return Lost("no socket");
  lost_ = false;
  watch_ = loop_.WatchFd(fd, EPOLLIN | EPOLLOUT, [this](uint32_t events) { Pump(events); });
  if (!watch_) Lost("the socket cannot be watched");
}

void MqttLink::Pump(uint32_t events) {
  if (lost_ || !watch_) return;
  int error = MOSQ_ERR_SUCCESS;
  if (events & (EPOLLIN | EPOLLERR | EPOLLHUP)) error = mosquitto_loop_read(mosq_, 1);
  if (error == MOSQ_ERR_SUCCESS && !lost_ && mosquitto_want_write(mosq_))
    error = mosquitto_loop_write(mosq_, 1);
  if (lost_) return;
  if (error != MOSQ_ERR_SUCCESS)
    return Lost(error == MOSQ_ERR_ERRNO ? "the connection failed" : mosquitto_strerror(error));
  watch_->SetEvents(mosquitto_want_write(mosq_) ? EPOLLIN | EPOLLOUT : EPOLLIN);
}

// Tried again after a pause that doubles up to a minute; the watch goes now (the library has
// closed its socket), the source itself at the next try, outside its own handler.
void MqttLink::Lost(const std::string& why) {
  if (lost_) return;
  lost_ = true;
  const bool was = std::exchange(connected_, false);
  if (watch_) watch_->Disable();
  if (onLost) onLost(was ? "the broker went: " + why : "no broker: " + why);
  // Between half and all of the pause, so that a fleet that lost its broker at once does not
  // come back at once.
  const uint64_t pauseUs = static_cast<uint64_t>(retrySeconds_) * 1'000'000;
  retry_->SetTime(MonotonicUs() + pauseUs / 2 + jitter_() % (pauseUs / 2 + 1));
  retrySeconds_ = std::min(retrySeconds_ * 2, kLastRetrySeconds);
}

void MqttLink::Retry() {
  watch_.reset();
  lost_ = false;
  const int error = mosquitto_reconnect_async(mosq_);
  if (error != MOSQ_ERR_SUCCESS) {
    return Lost(error == MOSQ_ERR_ERRNO ? "cannot connect" : mosquitto_strerror(error));
  }
  Watch();
}

}  // namespace glowreel::server
