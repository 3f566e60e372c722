#include "support/temp_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace glowreel::test {

TempFile::TempFile(const std::string& contents, const std::string& name) {
  std::string pattern = (std::filesystem::temp_directory_path() / "glowreel-XXXXXX").string();
  dir_ = mkdtemp(pattern.data());
  path_ = dir_ + "/" + name;
  Write(contents);
}

TempFile::~TempFile() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(dir_, ignored);
}

void TempFile::Write(const std::string& contents) const {
  std::ofstream(path_, std::ios::binary | std::ios::trunc) << contents;
}

}  // namespace glowreel::test
