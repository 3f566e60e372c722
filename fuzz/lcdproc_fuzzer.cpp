// What lcdproc's clients send over the network: any lines are answered, none ends the server,
// and every screen they leave draws at any moment.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "lcdproc/draw_screen.h"
#include "lcdproc/session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  glowreel::lcdproc::Session session;
  session.Handle("hello");
  for (std::size_t start = 0; start <= bytes.size();) {
    const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
    for (const std::string& reply : session.Handle(bytes.substr(start, end - start)))
      if (reply.empty() || reply.find('\n') != std::string::npos) std::abort();  // one line each
    start = end + 1;
  }
  const glowreel::DotFrame picture;
  for (const glowreel::lcdproc::Screen& screen : session.Screens())
    for (const int64_t ms : {int64_t{0}, int64_t{777}, int64_t{86'400'000}})
      glowreel::lcdproc::DrawScreen(screen, ms,
                                    [&](const std::string&, int64_t) { return &picture; });
  return 0;
}
