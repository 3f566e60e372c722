#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace glowreel::test {

// A frame of ten lines: "@duration", eight rows, one empty line, CR LF line ends.
inline std::string Frame(const std::string& duration, const std::vector<std::string>& rows) {
  std::string text = "@" + duration + "\r\n";
  for (const std::string& row : rows) text += row + "\r\n";
  return text + "\r\n";
}
// Eight identical rows.
inline std::vector<std::string> Rows(const std::string& row) {
  return std::vector<std::string>(8, row);
}
// Rows of all "0" but one cell "1".
inline std::vector<std::string> OneCell(int x, int y) {
  std::vector<std::string> rows = Rows(std::string(18, '0'));
  rows[y][x] = '1';
  return rows;
}

// A file in a fresh temporary directory, removed with it.
class TempFile {
 public:
  explicit TempFile(const std::string& contents = "", const std::string& name = "movie.grm") {
    std::string pattern = (std::filesystem::temp_directory_path() / "glowreel-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    path_ = dir_ + "/" + name;
    Write(contents);
  }
  ~TempFile() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  const std::string& Path() const { return path_; }
  const std::string& Directory() const { return dir_; }
  void Write(const std::string& contents) const {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << contents;
  }

 private:
  std::string dir_;
  std::string path_;
};

}  // namespace glowreel::test
