#include "server/web_page.h"

namespace glowreel::server {

const PageFile* FindPageFile(const std::string& path) {
  const std::string wanted = path == "/" ? "/index.html" : path;
  for (const PageFile& file : PageFiles())
    if (wanted == file.path) return &file;
  return nullptr;
}

}  // namespace glowreel::server
