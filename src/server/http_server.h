#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>

#include "platform/event_loop.h"

struct MHD_Daemon;
struct MHD_Connection;

// HTTP for the live display, on libmicrohttpd driven from the program's one event loop: no
// thread of its own, so a request is answered between two slices of a frame's pause and never
// while the port is being written.
namespace glowreel::server {

struct Request {
  std::string method;
  std::string path;
  std::map<std::string, std::string> query;
  std::string contentType;
  std::string body;
};

struct Response {
  int status = 200;
  std::string contentType = "application/json";
  std::string body;
  std::string allow;  // for 405: the methods there are
};

using Handler = std::function<Response(const Request&)>;

struct HttpSettings {
  std::string address = "127.0.0.1";
  uint16_t port = 0;           // 0: any free port
  std::string token;           // where set, every request must bear it
  std::string certificatePem;  // with the key: TLS
  std::string keyPem;
  std::size_t bodyLimit = std::size_t{16} << 20;
};

// "[ADDR:]PORT" (an IPv6 address in brackets) into the settings: "" or what is wrong.
std::string ReadListenSetting(const std::string& text, HttpSettings& settings);
bool IsLoopback(const std::string& address);

class HttpServer {
 public:
  // Connections at most, all clients together and from one address; event streams at most.
  static constexpr unsigned kConnectionLimit = 64;
  static constexpr unsigned kPerClientLimit = 16;
  static constexpr std::size_t kStreamLimit = 16;
  // A client silent this long is let go.
  static constexpr unsigned kIdleSeconds = 15;

  HttpServer(EventLoop& loop, Handler handler);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Listens: "" or why it cannot.
  std::string Start(const HttpSettings& settings);
  uint16_t Port() const { return port_; }

  // One server-sent event to every open event stream (GET /api/events).
  void Broadcast(const std::string& event, const std::string& data);
  bool HasStreams() const { return !streams_.empty(); }

  struct Connection;
  struct Stream;
  friend struct Callbacks;

 private:
  bool Authorized(MHD_Connection* connection, const Request& request) const;
  void Run();

  EventLoop& loop_;
  Handler handler_;
  HttpSettings settings_;
  MHD_Daemon* daemon_ = nullptr;
  uint16_t port_ = 0;
  std::unique_ptr<EventLoop::Source> watch_;
  std::unique_ptr<EventLoop::Source> timer_;
  std::unique_ptr<EventLoop::Source> keepAlive_;
  std::list<std::shared_ptr<Stream>> streams_;
};

}  // namespace glowreel::server
