#pragma once

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

// Where a live display keeps what it was given (the playlist, the settings asked for, uploaded
// media) so that a restart resumes them; every file written whole or not at all.
namespace glowreel::live {

// The state folder: $STATE_DIRECTORY (the service's), else $XDG_STATE_HOME/glowreel, else
// ~/.local/state/glowreel.
std::string DefaultStateFolder();

class StateStore {
 public:
  // Stored media at most, in count and in bytes together.
  static constexpr std::size_t kMostMedia = 200;
  static constexpr std::size_t kMostMediaBytes = std::size_t{256} << 20;

  explicit StateStore(std::string folder) : folder_(std::move(folder)) {}
  // Makes the folder, its media folder and its folder of uploads (emptied): "" or why not.
  std::string Prepare() const;
  const std::string& Folder() const { return folder_; }

  std::string MediaPath(const std::string& name) const;
  // "" or why not; `bytes` replace a file of the same name.
  std::string SaveMedia(const std::string& name, const std::string& bytes) const;
  struct MediaFile {
    std::string name;
    uint64_t bytes = 0;
  };
  std::vector<MediaFile> ListMedia() const;
  bool DeleteMedia(const std::string& name) const;

  std::string Save(const nlohmann::json& state) const;
  std::optional<nlohmann::json> Load() const;

 private:
  std::string folder_;
};

}  // namespace glowreel::live
