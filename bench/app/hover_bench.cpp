// The hover highlight at the largest zoom of the mouse wheel (about 5.05,
// 1343 x 2475): from the pointer coming onto a panel control to the
// highlight painted in the viewport, which is scrolled to show it. Each
// round leaves the last control and enters the next one, as a pointer moving
// down the panel does; the viewport is then painted at once.
//   ./build/bench/hover_bench
// (on the offscreen platform unless QT_QPA_PLATFORM says otherwise)
#include <benchmark/benchmark.h>

#include <QEnterEvent>
#include <QScrollArea>

#include "app/editor_panel.h"
#include "app/main_window.h"
#include "app/preview_picture.h"
#include "bench/app/bench_editor.h"
#include "tests/app/window_parts.h"

namespace {

struct Editor : BenchEditor {
  Editor() { shell.view().StepZoom(27); }
};

Editor& TheEditor() {
  MakeBenchApplication();
  static Editor* editor = new Editor;
  return *editor;
}

// Counts the paint events of the preview, to make sure a round paints.
struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

void Send(QWidget* control, bool enter) {
  if (enter) {
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), QPointF(control->mapToGlobal(QPoint(2, 2))));
    QCoreApplication::sendEvent(control, &e);
  } else {
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(control, &e);
  }
}

// Hovers `control` in a window of `width` x `height`.
void BM_HoverHighlight(benchmark::State& state, const char* control) {
  Editor& editor = TheEditor();
  MainWindow* window = editor.shell.window();
  window->resize(int(state.range(0)), int(state.range(1)));
  QCoreApplication::processEvents();
  QWidget* target = Panel(window)->findChild<QWidget*>(QString::fromLatin1(control));
  QWidget* other = Panel(window)->findChild<QWidget*>(QStringLiteral("colour:vTextColor"));
  // Scrolled to the middle of the highlight, as the user would look at it.
  Send(target, true);
  const PixelMask& lit = Preview(window)->hover();
  state.counters["pixels"] = lit.count;
  PaintCounter counter;
  Viewport(window)->ensureVisible((lit.left + lit.right) / 2, (lit.top + lit.bottom) / 2,
                                   Viewport(window)->width() / 2, Viewport(window)->height() / 2);
  Send(target, false);
  QCoreApplication::processEvents();
  Preview(window)->installEventFilter(&counter);
  for (auto _ : state) {
    Send(other, false);
    Send(target, true);
    Viewport(window)->viewport()->repaint();
    state.PauseTiming();
    Send(target, false);
    Send(other, true);
    Viewport(window)->viewport()->repaint();
    state.ResumeTiming();
  }
  Send(other, false);
  // Two paints a round: the highlight, and the untimed one without it.
  state.counters["paints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}

// For comparison: the whole visible part of the preview painted, without a
// highlight.
void BM_PaintWithoutHighlight(benchmark::State& state) {
  Editor& editor = TheEditor();
  MainWindow* window = editor.shell.window();
  window->resize(int(state.range(0)), int(state.range(1)));
  QCoreApplication::processEvents();
  PaintCounter counter;
  Preview(window)->installEventFilter(&counter);
  for (auto _ : state) {
    Preview(window)->update();
    Viewport(window)->viewport()->repaint();
  }
  state.counters["paints"] = benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}

// The picture of the whole upper screen, a record's few pictures, and the
// scattered pixels of one text colour.
BENCHMARK_CAPTURE(BM_HoverHighlight, upper_screen, "image:upper_screen")
    ->Args({666, 570})->Args({1600, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HoverHighlight, start_bar, "element:7")
    ->Args({666, 570})->Args({1600, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HoverHighlight, gameInfoTextColor, "colour:gameInfoTextColor")
    ->Args({666, 570})->Args({1600, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintWithoutHighlight)->Args({666, 570})->Args({1600, 1000})->Unit(benchmark::kMillisecond);

}  // namespace
