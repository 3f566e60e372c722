#pragma once

#include <string>

namespace glowreel::test {

// A file in a fresh temporary directory, removed with it.
class TempFile {
 public:
  explicit TempFile(const std::string& contents = "", const std::string& name = "movie.grm");
  ~TempFile();
  const std::string& Path() const { return path_; }
  const std::string& Directory() const { return dir_; }
  void Write(const std::string& contents) const;

 private:
  std::string dir_;
  std::string path_;
};

}  // namespace glowreel::test
