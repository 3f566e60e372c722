// lcdproc's clients over loopback TCP on the program's event loop: answered in order, a line too
// long refused and the connection kept, a client that leaves takes its screens, one that will not
// read is let go while the others are served.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "platform/system_sleep.h"
#include "server/lcdproc_server.h"

namespace glowreel::server {
namespace {

// A client's end of a connection to the server.
class Wire {
 public:
  Wire(uint16_t port, int receiveBuffer = 0) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    if (receiveBuffer)
      setsockopt(fd_.get(), SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(connect(fd_.get(), reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
  }
  // Sends what it can now without waiting; returns the bytes sent.
  std::size_t Say(const std::string& text) {
    const ssize_t sent = send(fd_.get(), text.data(), text.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    return sent > 0 ? static_cast<std::size_t>(sent) : 0;
  }
  // The next `count` lines, the loop run until they came (five seconds at most); fewer when the
  // server closed the connection.
  std::vector<std::string> Hear(EventLoop& loop, std::size_t count) {
    const uint64_t deadline = MonotonicUs() + 5'000'000;
    while (Lines() < count && !closed_ && MonotonicUs() < deadline) {
      loop.RunUntil(static_cast<int64_t>(MonotonicUs() + 2000) * 1000);
      char buffer[65536];
      const ssize_t got = recv(fd_.get(), buffer, sizeof buffer, MSG_DONTWAIT);
      if (got == 0) closed_ = true;
      if (got > 0) heard_.append(buffer, static_cast<std::size_t>(got));
    }
    std::vector<std::string> lines;
    for (std::size_t end; lines.size() < count && (end = heard_.find('\n')) != std::string::npos;) {
      lines.push_back(heard_.substr(0, end));
      heard_.erase(0, end + 1);
    }
    return lines;
  }
  bool Closed() const { return closed_; }

 private:
  std::size_t Lines() const {
    return static_cast<std::size_t>(std::count(heard_.begin(), heard_.end(), '\n'));
  }
  UniqueFd fd_;
  std::string heard_;
  bool closed_ = false;
};

class LcdprocServing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(server.Start("127.0.0.1", 0), "");
    server.onChange = [this] { ++changes; };
  }
  std::size_t ScreensShown() {
    std::size_t screens = 0;
    for (const lcdproc::ClientScreens& client : server.Screens()) screens += client.screens->size();
    return screens;
  }
  EventLoop loop;
  LcdprocServer server{loop};
  int changes = 0;
};

TEST_F(LcdprocServing, AnswersEachLineInOrderAndKeepsAConnectionPastALineTooLong) {
  Wire client(server.Port());
  client.Say("hello\nscreen_add s\r\nwidget_add s w string\n" + std::string(9000, 'x') +
             "\nnoop\n");
  EXPECT_EQ(client.Hear(loop, 5),
            (std::vector<std::string>{lcdproc::kGreeting, "success", "success",
                                      "huh? the line is longer than 8192 bytes", "success"}));
  EXPECT_EQ(ScreensShown(), 1u);
  EXPECT_GT(changes, 0);
  const int before = changes;
  client.Say("widget_set s w 1 1 {half a comm");
  client.Say("and}\nbye\n");
  EXPECT_EQ(client.Hear(loop, 2), std::vector<std::string>{"success"});
  EXPECT_TRUE(client.Closed()) << "bye closes";
  loop.RunUntil(static_cast<int64_t>(MonotonicUs() + 20'000) * 1000);
  EXPECT_EQ(ScreensShown(), 0u) << "its screens went with it";
  EXPECT_GT(changes, before);
}

TEST_F(LcdprocServing, AClientThatWillNotReadIsLetGoAndTheOthersAreServed) {
  std::vector<std::unique_ptr<Wire>> many;
  for (int k = 0; k < 100; ++k) {
    many.push_back(std::make_unique<Wire>(server.Port()));
    loop.RunReady();  // taken as they come, as the running server does
  }
  for (auto& wire : many) wire->Say("hello\n");
  for (auto& wire : many)
    EXPECT_EQ(wire->Hear(loop, 1), std::vector<std::string>{lcdproc::kGreeting});
  Wire deaf(server.Port(), 4096);
  deaf.Say("hello\n");
  for (int turns = 0; server.Screens().size() < 101 && turns < 1000; ++turns) loop.RunReady();
  std::string infos;
  for (int k = 0; k < 200'000; ++k) infos += "info\n";  // 15 megabytes of answers, none read
  for (std::size_t sent = 0, turns = 0; server.Screens().size() > 100 && turns < 5000; ++turns) {
    if (sent < infos.size()) sent += deaf.Say(infos.substr(sent, 65536));
    loop.RunUntil(static_cast<int64_t>(MonotonicUs() + 1000) * 1000);
  }
  many[0]->Say("noop\n");
  EXPECT_EQ(many[0]->Hear(loop, 1), std::vector<std::string>{"success"}) << "the others are served";
  EXPECT_EQ(server.Screens().size(), 100u) << "the one that would not read is gone";
}

}  // namespace
}  // namespace glowreel::server
