#include "ui/frm_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QSocketNotifier>

#include "dots/picture_reader.h"
#include "platform/exit_signals.h"
#include "platform/port/port.h"
#include "platform/qt/qt_pictures.h"
#include "platform/report_error.h"
#include "player/play_dots.h"
#include "player/session.h"
#include "ui/frm_about.h"
#include "ui/layout.h"
#include "ui/program_icon.h"
#include "vfd/vfd.h"

namespace glowreel {

namespace {

QPushButton* Button(QWidget* parent, const QString& caption, const QRect& geometry) {
  auto* button = new QPushButton(caption, parent);
  button->setGeometry(geometry);
  button->setAutoDefault(true);  // Enter presses the button that has the focus, no other
  return button;
}

// The one local file a drag carries, or "".
QString DroppedFile(const QMimeData* data) {
  if (!data || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return QString();
  return data->urls().front().toLocalFile();
}

}  // namespace

frmMain::frmMain(Playback& pb) : pb_(pb) {
  setWindowTitle(QStringLiteral("Noritake GlowReel"));
  setWindowIcon(ProgramIcon());
  setFixedSize(3120 / kTwipsPerPixel, 2400 / kTwipsPerPixel);
  setFont(WindowFont());
  setAcceptDrops(true);

  cmdAbout = Button(this, QStringLiteral("Abo&ut"), Twips(1680, 1560, 1215, 495));
  cmdExit = Button(this, QStringLiteral("E&xit"), Twips(1680, 960, 1215, 495));
  chkRepeat = new QCheckBox(QStringLiteral("Repeat"), this);
  chkRepeat->setGeometry(Twips(1080, 2160, 855, 195));
  chkRepeat->setEnabled(false);
  cmdLoad = Button(this, QStringLiteral("&Load"), Twips(240, 960, 1215, 495));
  cmdGo = Button(this, QStringLiteral("&Play"), Twips(240, 1560, 1215, 495));
  cmdGo->setEnabled(false);
  lblJunk = new QLabel(QStringLiteral("File Name:"), this);
  lblJunk->setGeometry(Twips(120, 0, 2895, 255));
  lblJunk->setFont(WindowFont(8.25, /*bold=*/true));
  lblFileName = new QLabel(this);
  lblFileName->setGeometry(Twips(120, 240, 2895, 495));
  lblFileName->setFont(WindowFont(13.5, /*bold=*/true));
  lblFileName->setTextFormat(Qt::PlainText);
  lblFileName->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  setTabOrder(cmdLoad, cmdGo);
  setTabOrder(cmdGo, chkRepeat);
  setTabOrder(chkRepeat, cmdExit);
  setTabOrder(cmdExit, cmdAbout);
  cmdLoad->setFocus();

  connect(cmdLoad, &QPushButton::clicked, this, [this] { cmdLoad_Click(); });
  connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
  connect(cmdAbout, &QPushButton::clicked, this, [this] { cmdAbout_Click(); });
  connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });

  Form_Load();
}

frmMain::~frmMain() = default;

int frmMain::RepeatValue() const {
  return chkRepeat->isChecked() ? 1 : 0;
}

void frmMain::SetGoCaption(const std::string& caption) {
  cmdGo->setText(QString::fromStdString(caption));
}

void frmMain::Report(const MovieReport& report) {
  ReportError(report.error);
}

QString frmMain::BareFileName(const QString& path) {
  return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

void frmMain::Form_Load() {
  BringDisplayUp(pb_);
}

void frmMain::Form_Unload() {
  pb_.bPlaying = false;
  pb_.bExiting = true;
  ShutdownDisplay(pb_);
  PortFinish();  // what playback still does on its way out reaches no port
}

void frmMain::cmdLoad_Click() {
  cdDialog.CancelError = true;
  cdDialog.DialogTitle = QStringLiteral("Open Movie");
  cdDialog.InitDir = QCoreApplication::applicationDirPath();
  cdDialog.Filter = QStringLiteral("Glowreel Files (*.grm)|*.grm|All Files(*.*)|*.*");
  cdDialog.FileName.clear();
  try {
    cdDialog.ShowOpen();
  } catch (const RunTimeError&) {
    return;  // cancelled: nothing changes, and nothing is reported
  }
  TakeMovie(cdDialog.FileName);
}

void frmMain::TakeMovie(const QString& path) {
  pb_.sMovieFile = QFile::encodeName(path).toStdString();
  // A picture, told by its content, plays on every dot.
  picture_.reset();
  if (KindOfFile(pb_.sMovieFile) != FileKind::kMovie)
    picture_ = std::make_shared<QtPictureFrames>(pb_.sMovieFile, pictureOptions,
                                                 *SliceCount(kStillPictureMs));
  lblFileName->setText(BareFileName(path));
  pb_.bPlaying = false;
  SetGoCaption("&Play");
  if (pb_.bDisplayReady) ClearDisplay(pb_);
  cmdGo->setEnabled(true);
  chkRepeat->setEnabled(true);
  chkRepeat->setChecked(false);
  cmdGo->setFocus();
}

void frmMain::EndOnExitSignals(int signalPipe) {
  auto* notifier = new QSocketNotifier(signalPipe, QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this] {
    if (!TakeExitSignal()) return;
    for (QWidget* window : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(window)) box->done(QMessageBox::Ok);
    if (frmAbout* about = frmAbout::Instance()) about->close();
    close();
  });
}

void frmMain::cmdGo_Click() {
  pb_.bPlaying = !pb_.bPlaying;
  if (pb_.bPlaying) {
    SetGoCaption("&Stop");
    // A file loaded or dropped while the picture plays replaces picture_ under this call.
    if (const std::shared_ptr<DotSource> playing = picture_) {
      PlayDots(pb_, *this, *playing);
    } else {
      PlayMovie(pb_, *this);
    }
  } else {
    if (pb_.bDisplayReady) ClearDisplay(pb_);
    SetGoCaption("&Play");
  }
}

void frmMain::cmdAbout_Click() {
  frmAbout::ShowAbout();
}

void frmMain::cmdExit_Click() {
  close();
}

void frmMain::closeEvent(QCloseEvent* event) {
  // Hidden, never deleted here: a playback may still be running inside one of our handlers.
  if (!unloaded_) {
    unloaded_ = true;
    Form_Unload();
  }
  event->accept();
}

void frmMain::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    frmAbout::ProgramWindowActivated();
  }
  QWidget::changeEvent(event);
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event) {
  const QString path = DroppedFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  TakeMovie(path);
}

}  // namespace glowreel
