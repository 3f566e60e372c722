#include "platform/port/builtin_sinks.h"

namespace glowreel {

namespace {
class NoneSink : public PortSink {
 public:
  void Write(int32_t, uint16_t) override {}
};
}  // namespace

std::unique_ptr<PortSink> OpenNoneSink(const SinkOpening&) {
  return std::make_unique<NoneSink>();
}

}  // namespace glowreel
