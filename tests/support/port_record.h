#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/port/display_model.h"

namespace glowreel::test {

struct PortWrite {
  int32_t address;
  uint16_t value;
  bool operator==(const PortWrite&) const = default;
};

using Notes = std::vector<std::pair<std::size_t, std::string>>;

// The one decoder of write streams: what the display made of them, one event per line as in
// tests/golden ("clear", "area 3 FF", "on layer0", "brightness 15", "x 0", "page 2",
// "data 00 01 ...", 16 bytes a line). `notes` are (write position, text) lines put in between,
// such as the waits. Lines of events completed before write `from` are left out.
std::vector<std::string> Transcript(const std::vector<PortWrite>& writes, std::size_t from = 0,
                                    const Notes& notes = {});
DisplayModel ModelOf(const std::vector<PortWrite>& writes);

// A point of a recorded stream: what has been written and noted so far.
struct Mark {
  std::size_t writes = 0;
  std::size_t notes = 0;
};

// A sink that records into `writes` and fails from write number `failAt` on (0: never).
std::unique_ptr<PortSink> MakeRecordingSink(std::shared_ptr<std::vector<PortWrite>> writes,
                                            std::size_t failAt = 0);

// Installs a port of its own with a sink that records every write; the sink fails from write
// number `failAt` (from 1) on, when given, as a broken device does.
class RecordingPort {
 public:
  explicit RecordingPort(std::size_t failAt = 0);
  ~RecordingPort();
  PortContext& Context() { return context_; }
  // Records again after the program's end had finished the port, as a new run would.
  void Reopen() { context_.Add(MakeRecordingSink(writes_)); }
  const std::vector<PortWrite>& Writes() const { return *writes_; }
  // A line of its own in the transcript, at this point of the stream ("wait 50").
  void Note(const std::string& text) { notes_.emplace_back(writes_->size(), text); }
  Mark Position() const { return {writes_->size(), notes_.size()}; }
  // What the display received from a point of the stream on.
  std::vector<std::string> TranscriptFrom(Mark from = {}) const {
    return Transcript(*writes_, from.writes, Notes(notes_.begin() + from.notes, notes_.end()));
  }
  DisplayModel Model() const { return ModelOf(*writes_); }

 private:
  std::shared_ptr<std::vector<PortWrite>> writes_;
  Notes notes_;
  PortContext context_;
  PortContext* previous_;
};

// A file written by the trace:PATH sink.
struct Trace {
  std::vector<PortWrite> writes;
  std::vector<int64_t> micros;  // when each was written, from the sink's opening
  int badLines = 0;
};
Trace ReadTrace(const std::string& path);

// tests/golden/<name>.txt, line by line.
std::vector<std::string> Golden(const std::string& name);
// The lines that do not start with `prefix` (say, the waits).
std::vector<std::string> Without(std::vector<std::string> lines, const std::string& prefix);

}  // namespace glowreel::test
