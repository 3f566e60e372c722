#include "server/lcdproc_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/system_sleep.h"

namespace glowreel::server {

namespace {

constexpr std::size_t kReadAtOnce = 4096;
constexpr std::size_t kReadPerTurn = 64 * 1024;  // then the next client, and the display, go on

}  // namespace

struct LcdprocServer::Client {
  uint64_t id;
  UniqueFd fd;
  uint64_t cameUs;
  lcdproc::Session session;
  std::string input, output;
  bool discarding = false;  // the rest of a line too long
  bool closed = false;
  std::unique_ptr<EventLoop::Source> watch;
};

LcdprocServer::LcdprocServer(EventLoop& loop) : loop_(loop) {}

LcdprocServer::~LcdprocServer() = default;

std::string LcdprocServer::Start(const std::string& address, uint16_t port) {
  sockaddr_storage where{};
  socklen_t length = 0;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&where);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&where);
  if (inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(port);
    length = sizeof *v4;
  } else if (inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(port);
    length = sizeof *v6;
  } else {
    return "\"" + address + "\" is not an IP address";
  }
  listener_ = UniqueFd(socket(where.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  const int yes = 1;
  if (!listener_ || setsockopt(listener_.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
      bind(listener_.get(), reinterpret_cast<sockaddr*>(&where), length) != 0 ||
      listen(listener_.get(), 64) != 0)
    return "lcdproc's port " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
  if (getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&where), &length) == 0)
    port_ = ntohs(where.ss_family == AF_INET ? v4->sin_port : v6->sin6_port);
  listening_ = loop_.WatchFd(listener_.get(), EPOLLIN, [this](uint32_t) { Accept(); });
  reaper_ = loop_.Timer([this] { Reap(); });
  doorman_ = loop_.Timer([this] {
    const uint64_t now = MonotonicUs();
    for (Client& client : clients_)
      if (!client.session.Greeted() && now - client.cameUs >= kHelloSeconds * 1'000'000ull)
        Close(client);
    doorman_->SetTime(now + 1'000'000);
  });
  if (!listening_ || !reaper_ || !doorman_) return "the event loop cannot watch lcdproc's port";
  doorman_->SetTime(MonotonicUs() + 1'000'000);
  return "";
}

void LcdprocServer::Accept() {
  while (true) {
    UniqueFd fd(accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!fd) return;                                // none waiting (or none that can be taken now)
    if (clients_.size() >= kClientLimit) continue;  // closed at once: the others are served
    Client& client = clients_.emplace_back();
    client.id = nextId_++;
    client.cameUs = MonotonicUs();
    client.fd = std::move(fd);
    client.watch = loop_.WatchFd(client.fd.get(), EPOLLIN, [this, &client](uint32_t events) {
      if (events & EPOLLOUT) Flush(client);
      if (events & (EPOLLIN | EPOLLHUP | EPOLLERR)) Read(client);
    });
    if (!client.watch) Close(client);
  }
}

void LcdprocServer::Read(Client& client) {
  char buffer[kReadAtOnce];
  bool changed = false;
  for (std::size_t taken = 0; !client.closed && taken < kReadPerTurn;) {
    const ssize_t got = recv(client.fd.get(), buffer, sizeof buffer, 0);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
      Close(client);  // gone, mid-command or not: what it left is dropped with it
      break;
    }
    if (got < 0) break;
    taken += static_cast<std::size_t>(got);
    client.input.append(buffer, static_cast<std::size_t>(got));
    std::size_t start = 0;
    for (std::size_t end;
         !client.closed && (end = client.input.find('\n', start)) != std::string::npos;
         start = end + 1) {
      std::string_view line(client.input.data() + start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (std::exchange(client.discarding, false)) continue;
      for (const std::string& reply : client.session.Handle(line)) Send(client, reply);
      changed = client.session.TakeChanged() || changed;
      if (client.session.Ended()) Close(client);
    }
    client.input.erase(0, start);
    if (client.input.size() > lcdproc::kLongestLine && !client.discarding) {
      Send(client,
           "huh? the line is longer than " + std::to_string(lcdproc::kLongestLine) + " bytes");
      client.discarding = true;
    }
    if (client.discarding) client.input.clear();
  }
  if (changed && onChange) onChange();
}

void LcdprocServer::Send(Client& client, const std::string& line) {
  if (client.closed) return;
  client.output += line;
  client.output += '\n';
  if (client.output.size() > kUnreadLimit) return Close(client);  // it does not read: let go
  Flush(client);
}

void LcdprocServer::Flush(Client& client) {
  while (!client.output.empty() && !client.closed) {
    const ssize_t sent =
        send(client.fd.get(), client.output.data(), client.output.size(), MSG_NOSIGNAL);
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return Close(client);
    client.output.erase(0, static_cast<std::size_t>(sent));
  }
  if (client.watch && !client.closed)
    client.watch->SetEvents(client.output.empty() ? EPOLLIN : EPOLLIN | EPOLLOUT);
}

void LcdprocServer::Close(Client& client) {
  if (client.closed) return;
  client.closed = true;
  // Its screens leave at once; the descriptor and watch go after the call that let it go.
  if (!client.session.Screens().empty() && onChange) onChange();
  reaper_->SetTime(MonotonicUs());
}

void LcdprocServer::Reap() {
  clients_.remove_if([](const Client& client) { return client.closed; });
}

std::vector<lcdproc::ClientScreens> LcdprocServer::Screens() const {
  std::vector<lcdproc::ClientScreens> screens;
  for (const Client& client : clients_)
    if (!client.closed) screens.push_back({client.id, &client.session.Screens()});
  return screens;
}

void LcdprocServer::Tell(uint64_t id, const std::string& line) {
  for (Client& client : clients_)
    if (client.id == id) Send(client, line);
}

void LcdprocServer::Delete(const lcdproc::ScreenKey& screen) {
  for (Client& client : clients_)
    if (client.id == screen.client) client.session.RemoveScreen(screen.id);
}

}  // namespace glowreel::server
