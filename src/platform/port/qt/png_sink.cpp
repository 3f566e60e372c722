#include <fcntl.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/port/qt/display_render.h"
#include "platform/port/qt/display_window.h"
#include "platform/unique_fd.h"
#include "platform/write_all.h"

namespace glowreel {

namespace {

// Writes the display as the next numbered PNG whenever it changed before the program waits.
class PngWriter : public DisplayView {
 public:
  explicit PngWriter(std::string directory) : directory_(std::move(directory)) {}

  void Settled(const DisplayModel& model) override {
    if (model.ImageVersion() == imageVersion_ && model.LookVersion() == lookVersion_) return;
    imageVersion_ = model.ImageVersion();
    lookVersion_ = model.LookVersion();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    RenderDisplay(DisplaySnapshot::Of(model)).save(&buffer, "PNG");
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06d.png", ++written_);
    Write(directory_ + name, png);
  }

 private:
  // Plain POSIX writes, so that a full disk or a size limit is told with its reason.
  static void Write(const std::string& path, const QByteArray& bytes) {
    UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    const int error = fd ? WriteAll(fd.get(), bytes.constData(), bytes.size()) : errno;
    if (error == 0) return;
    unlink(path.c_str());
    throw DeviceError(path, std::strerror(error));
  }

  std::string directory_;
  uint64_t imageVersion_ = 0;
  uint64_t lookVersion_ = 0;
  int written_ = 0;
};

}  // namespace

void RegisterDisplaySinks(PortContext& port) {
  port.Register("virtual", [](const SinkOpening& opening) {
    return MakeDisplayModelSink(std::make_unique<VirtualDisplayWindow>(), opening.base);
  });
  port.Register("png", [](const SinkOpening& opening) {
    const std::string& directory = opening.argument;
    if (directory.empty()) throw DeviceError("png", "no folder named (use png:DIR)");
    if (!QDir().mkpath(QString::fromStdString(directory))) {
      throw DeviceError(directory, "cannot create the folder");
    }
    return MakeDisplayModelSink(std::make_unique<PngWriter>(directory), opening.base);
  });
}

}  // namespace glowreel
