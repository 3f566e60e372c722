#include "platform/port/qt/display_window.h"

#include <QPainter>

#include "platform/port/qt/display_render.h"

namespace glowreel {

namespace {
constexpr int kWindowLeft = 280;
constexpr int kWindowTop = 40;
}  // namespace

VirtualDisplayWindow::VirtualDisplayWindow() {
  setWindowTitle(QStringLiteral("GlowReel virtual display"));
  setWindowFlag(Qt::WindowDoesNotAcceptFocus);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_QuitOnClose, false);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(RenderDisplay(DisplaySnapshot{}).size());
  move(kWindowLeft, kWindowTop);  // beside the main window, where no window manager places it
  show();
}

void VirtualDisplayWindow::LookChanged(const DisplayModel& model) {
  model_ = &model;
  // At once: the fade-out at exit processes no events.
  if (isVisible()) repaint();
}

void VirtualDisplayWindow::ImageChanged(const DisplayModel& model) {
  model_ = &model;
  update();
}

void VirtualDisplayWindow::Settled(const DisplayModel& model) {
  model_ = &model;
  if (model.ImageVersion() != paintedVersion_) update();
}

void VirtualDisplayWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (model_) paintedVersion_ = model_->ImageVersion();
  painter.drawImage(0, 0, RenderDisplay(model_ ? DisplaySnapshot::Of(*model_) : DisplaySnapshot{}));
}

}  // namespace glowreel
