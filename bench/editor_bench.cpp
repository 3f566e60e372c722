// What an edit costs the editor in a long movie against a short one, and what opening a long
// movie costs in time and memory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QMouseEvent>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "counting_allocator.h"
#include "ui/editor/editor_window.h"

namespace glowreel {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "glowreel_bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

// A movie of `frames` frames of ten lines, each frame's cells a little different.
std::string MovieText(int frames) {
  std::string text = "made for the benchmark\r\n";
  for (int k = 0; k < frames; ++k) {
    text += "@" + std::to_string(100 + k % 7) + "\r\n";
    for (int y = 0; y < kCellRows; ++y) {
      std::string row(kCellColumns, '0');
      row[(k + y) % kCellColumns] = '1';
      text += row + "\r\n";
    }
    text += "\r\n";
  }
  return text;
}

struct OpenEditor {
  explicit OpenEditor(int frames) {
    std::ofstream(path, std::ios::binary) << MovieText(frames);
    window.show();
    window.OpenFile(QString::fromStdString(path));
    window.SelectFrame(frames / 2);
    QCoreApplication::processEvents();
  }
  ~OpenEditor() { std::filesystem::remove(path); }
  QApplication& app = App();  // before any widget
  std::string path = (std::filesystem::temp_directory_path() /
                      ("glowreel-bench-" + std::to_string(getpid()) + ".grm"))
                         .string();
  EditorWindow window;
};

void Click(QWidget* widget, QPoint at) {
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
    QCoreApplication::sendEvent(widget, &event);
  }
}

// A cell toggled with the mouse, the window brought up to date and drawn.
void BM_EditToggleCell(benchmark::State& state) {
  OpenEditor editor(static_cast<int>(state.range(0)));
  CellCanvas* canvas = editor.window.Canvas();
  for (auto _ : state) {
    Click(canvas, canvas->CellCentre(3, 3));
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_EditToggleCell)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

// A duration typed into the box.
void BM_EditDuration(benchmark::State& state) {
  OpenEditor editor(static_cast<int>(state.range(0)));
  int value = 200;
  for (auto _ : state) {
    editor.window.Duration()->setValue(value = value == 200 ? 300 : 200);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_EditDuration)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

// Opening a movie of 36,000 frames: its time, and the heap it takes against the file's size.
void BM_EditorOpen(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  double ratio = 0;
  double seconds = 0;
  OpenEditor editor(1);
  const std::string text = MovieText(frames);
  std::ofstream(editor.path, std::ios::binary) << text;
  for (auto _ : state) {
    bench::ResetPeak();
    const std::size_t before = bench::HeapInUse();
    const auto start = std::chrono::steady_clock::now();
    editor.window.OpenFile(QString::fromStdString(editor.path));
    QCoreApplication::processEvents();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ratio = static_cast<double>(bench::HeapPeak() - before) / static_cast<double>(text.size());
  }
  state.counters["peak_ratio"] = ratio;
  state.counters["seconds"] = seconds;
}
BENCHMARK(BM_EditorOpen)->Arg(36000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace glowreel
