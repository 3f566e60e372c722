#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "lcdproc/rotation.h"
#include "lcdproc/session.h"
#include "platform/event_loop.h"
#include "platform/unique_fd.h"

// lcdproc's clients over TCP, on the program's one event loop: each connection a session of the
// client language; a client that floods, will not read, or never says hello is let go, never
// the loop held.
namespace glowreel::server {

class LcdprocServer {
 public:
  // Clients at once; bytes a client may leave unread before it is dropped; seconds it has to
  // say hello.
  static constexpr std::size_t kClientLimit = 128;
  static constexpr std::size_t kUnreadLimit = 64 * 1024;
  static constexpr int kHelloSeconds = 10;

  explicit LcdprocServer(EventLoop& loop);
  ~LcdprocServer();
  LcdprocServer(const LcdprocServer&) = delete;
  LcdprocServer& operator=(const LcdprocServer&) = delete;

  // Listens on an IPv4 or IPv6 address (port 0: any free one): "" or why it cannot.
  std::string Start(const std::string& address, uint16_t port);
  uint16_t Port() const { return port_; }

  // Every client's screens, in the order the clients came.
  std::vector<lcdproc::ClientScreens> Screens() const;
  // A line to a client ("listen s", "ignore s").
  void Tell(uint64_t client, const std::string& line);
  // Deletes a screen whose timeout has run out (its client is not told, as the protocol has it).
  void Delete(const lcdproc::ScreenKey& screen);

  // Called after commands changed what some client shows.
  std::function<void()> onChange;

 private:
  struct Client;
  void Accept();
  void Read(Client& client);
  void Send(Client& client, const std::string& line);
  void Flush(Client& client);
  void Close(Client& client);
  void Reap();

  EventLoop& loop_;
  UniqueFd listener_;
  uint16_t port_ = 0;
  std::unique_ptr<EventLoop::Source> listening_;
  std::unique_ptr<EventLoop::Source> reaper_;   // closes the clients let go, outside their calls
  std::unique_ptr<EventLoop::Source> doorman_;  // lets go those that never said hello
  std::list<Client> clients_;
  uint64_t nextId_ = 1;
};

}  // namespace glowreel::server
