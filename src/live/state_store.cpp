#include "live/state_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>

#include "live/content_json.h"
#include "platform/replace_file.h"
#include "platform/whole_file.h"

namespace glowreel::live {

namespace {

constexpr const char* kStateFile = "/state.json";
constexpr const char* kMediaFolder = "/media";
constexpr const char* kUploadFolder = "/uploads";

std::string MakeFolder(const std::string& path) {
  for (std::size_t at = 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') continue;
    const std::string part = path.substr(0, at);
    if (mkdir(part.c_str(), 0750) != 0 && errno != EEXIST)
      return part + ": " + std::strerror(errno);
  }
  return "";
}

std::string WriteWhole(const std::string& path, const std::string& bytes) {
  ReplacementFile file(path);
  if (!file.Write(bytes.data(), bytes.size())) return file.Error();
  return file.Commit();
}

}  // namespace

std::string DefaultStateFolder() {
  if (const char* service = std::getenv("STATE_DIRECTORY"); service && *service) {
    const std::string first(service, std::strcspn(service, ":"));
    return first;
  }
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state)
    return std::string(state) + "/glowreel";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.local/state/glowreel";
}

std::string StateStore::Prepare() const {
  if (std::string why = MakeFolder(folder_ + kMediaFolder); !why.empty()) return why;
  if (std::string why = MakeFolder(folder_ + kUploadFolder); !why.empty()) return why;
  // Messages do not outlive the program: what they left when it was killed goes now.
  if (DIR* uploads = opendir((folder_ + kUploadFolder).c_str())) {
    while (const dirent* entry = readdir(uploads))
      if (entry->d_name[0] != '.') unlinkat(dirfd(uploads), entry->d_name, 0);
    closedir(uploads);
  }
  return "";
}

std::string StateStore::MediaPath(const std::string& name) const {
  return folder_ + kMediaFolder + "/" + name;
}

std::string StateStore::SaveMedia(const std::string& name, const std::string& bytes) const {
  if (!IsMediaName(name)) return "a name of letters, digits, '.', '-' and '_'";
  const std::vector<MediaFile> stored = ListMedia();
  std::size_t count = 0;
  uint64_t total = bytes.size();
  for (const MediaFile& file : stored) {
    if (file.name == name) continue;
    ++count;
    total += file.bytes;
  }
  if (count >= kMostMedia || total > kMostMediaBytes) return "the media store is full";
  return WriteWhole(MediaPath(name), bytes);
}

std::vector<StateStore::MediaFile> StateStore::ListMedia() const {
  std::vector<MediaFile> files;
  DIR* folder = opendir((folder_ + kMediaFolder).c_str());
  if (!folder) return files;
  while (const dirent* entry = readdir(folder)) {
    struct stat about {};
    const std::string name = entry->d_name;
    if (!IsMediaName(name) || lstat(MediaPath(name).c_str(), &about) != 0 ||
        !S_ISREG(about.st_mode))
      continue;
    files.push_back({name, static_cast<uint64_t>(about.st_size)});
  }
  closedir(folder);
  std::sort(files.begin(), files.end(),
            [](const MediaFile& a, const MediaFile& b) { return a.name < b.name; });
  return files;
}

bool StateStore::DeleteMedia(const std::string& name) const {
  return IsMediaName(name) && unlink(MediaPath(name).c_str()) == 0;
}

std::string StateStore::Save(const nlohmann::json& state) const {
  return WriteWhole(folder_ + kStateFile, JsonText(state, 2) + "\n");
}

std::optional<nlohmann::json> StateStore::Load() const {
  std::string bytes;
  if (ReadWholeFile(folder_ + kStateFile, bytes) != 0) return std::nullopt;
  nlohmann::json state = nlohmann::json::parse(bytes, nullptr, /*allow_exceptions=*/false);
  if (state.is_discarded()) return std::nullopt;
  return state;
}

}  // namespace glowreel::live
