#include <QDir>
#include <QImage>

#include "platform/port/port_config.h"
#include "ui/virtual_display_window.h"

namespace glowreel {

namespace {

// Writes the display as the next numbered PNG whenever it changed before the program waits.
class PngWriter : public DisplayView {
 public:
  explicit PngWriter(QString directory) : directory_(std::move(directory)) {}

  void LookChanged(const DisplayModel&) override {}

  void Settled(const DisplayModel& model) override {
    if (model.ImageVersion() == imageVersion_ && model.LookVersion() == lookVersion_) return;
    imageVersion_ = model.ImageVersion();
    lookVersion_ = model.LookVersion();
    const QString path =
        QStringLiteral("%1/frame-%2.png").arg(directory_).arg(++written_, 6, 10, QLatin1Char('0'));
    if (!RenderDisplay(DisplaySnapshot::Of(model)).save(path, "PNG")) {
      throw DeviceError(path.toStdString(), "cannot write the picture");
    }
  }

 private:
  QString directory_;
  uint64_t imageVersion_ = 0;
  uint64_t lookVersion_ = 0;
  int written_ = 0;
};

}  // namespace

void InstallDisplayWindowSinks() {
  SetVirtualDisplayViewFactory([] { return std::make_unique<VirtualDisplayWindow>(); });
  RegisterPortSink("png", [](const std::string& argument) {
    const QString directory = QString::fromStdString(argument);
    if (directory.isEmpty()) throw DeviceError("png", "no folder named (use png:DIR)");
    if (!QDir().mkpath(directory)) throw DeviceError(argument, "cannot create the folder");
    return MakeDisplayModelSink(std::make_unique<PngWriter>(directory));
  });
}

}  // namespace glowreel
