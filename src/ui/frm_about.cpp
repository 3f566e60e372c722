#include "ui/frm_about.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "platform/platform.h"
#include "ui/layout.h"
#include "ui/program_icon.h"
#include "version.h"

namespace glowreel {

namespace {

frmAbout* instance = nullptr;

constexpr const char* kCopyright = "(C) 2026 The GlowReel authors";
constexpr const char* kWebAddress = "glowreel.example.org";

QLabel* CenteredLabel(QWidget* parent, const QString& text, const QRect& geometry) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setGeometry(geometry);
  label->setTextInteractionFlags(Qt::NoTextInteraction);
  return label;
}

}  // namespace

frmAbout::frmAbout() {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("About Glowreel Player"));
  setWindowIcon(ProgramIcon());
  setFixedSize(4260 / kTwipsPerPixel, 2205 / kTwipsPerPixel);
  setFont(WindowFont());

  Picture1 = new QLabel(this);
  Picture1->setGeometry(Twips(360, 240, 495, 495));
  Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Picture1->setPixmap(QPixmap::fromImage(ProgramIconImage(32)));

  lblJunk[0] = CenteredLabel(this, QStringLiteral("GlowReel Player"), Twips(1080, 120, 2895, 375));
  lblJunk[0]->setFont(WindowFont(13.5, /*bold=*/true));
  lblVersion = CenteredLabel(this, QStringLiteral("Version"), Twips(1080, 480, 2895, 255));
  lblJunk[1] = CenteredLabel(this, QStringLiteral("Noritake128x64 VFD 800 Support"),
                             Twips(1080, 720, 2895, 255));
  lblJunk[2] = CenteredLabel(this, QString::fromLatin1(kCopyright), Twips(960, 1080, 3015, 255));
  lblJunk[3] = CenteredLabel(this, QString::fromLatin1(kWebAddress), Twips(960, 1320, 3135, 255));

  cmdOk = new QPushButton(QStringLiteral("Ok"), this);
  cmdOk->setGeometry(Twips(1800, 1680, 1215, 375));
  cmdOk->setAutoDefault(true);  // Enter presses it while it has the focus, as Space does
  connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });

  cmdOk->setFocus();
  Form_Load();
}

frmAbout::~frmAbout() {
  if (instance == this) instance = nullptr;
}

void frmAbout::ShowAbout() {
  if (!instance) {
    instance = new frmAbout();
    // Centred on the screen, where an about box is looked for.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      instance->move(screen->availableGeometry().center() - instance->rect().center());
    }
  }
  instance->show();
  instance->raise();
  instance->activateWindow();
}

frmAbout* frmAbout::Instance() {
  return instance;
}

void frmAbout::ProgramWindowActivated() {
  if (instance && instance->isVisible()) instance->Form_Deactivate();
}

void frmAbout::Form_Load() {
  lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                          .arg(version::kMajor)
                          .arg(version::kMinor)
                          .arg(version::kRevision));
}

void frmAbout::Form_Activate() {
  cmdOk->setFocus(Qt::ActiveWindowFocusReason);
}

void frmAbout::Form_Deactivate() {
  Beep();
  ShowAbout();
}

void frmAbout::cmdOk_Click() {
  close();
}

void frmAbout::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
  QWidget::changeEvent(event);
}

void frmAbout::closeEvent(QCloseEvent* event) {
  // Unloaded from here on: the main window getting the activation now is no reason to beep.
  if (instance == this) instance = nullptr;
  event->accept();
}

}  // namespace glowreel
