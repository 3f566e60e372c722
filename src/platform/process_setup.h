#pragma once

namespace glowreel {

// What every program does first, before it opens anything:
// - descriptors 0, 1 and 2 are made sure to be open (on /dev/null where they were closed), so
//   that no file the program opens takes their place and receives its messages;
// - a reader gone from a pipe (SIGPIPE) or a file-size limit (SIGXFSZ) does not end the
//   program: the write that meets it fails, and that output is reported and left out.
void PrepareProcess();

// Standard error sent nowhere while it lives: for libraries that write to it themselves.
class QuietStandardError {
 public:
  QuietStandardError();
  ~QuietStandardError();
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int saved_;
};

}  // namespace glowreel
