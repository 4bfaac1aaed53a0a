// The views a change of the skin or the view draws again, in the editor as
// the user has it (on the offscreen platform unless QT_QPA_PLATFORM says
// otherwise):
// - the preview at the largest zoom of the mouse wheel (about 5.05, 1343 x
//   2475) with each filter: from choosing the filter to the visible part of
//   the preview painted;
// - all fourteen thumbnails of the overview, at half and at whole size,
//   drawn and painted;
// - a step of the recolour dialog's hue slider: the whole skin recoloured
//   and the preview (zoom 1, the window's usual size) drawn and painted.
//   ./build/bench/views_bench
#include <benchmark/benchmark.h>

#include "app/main_window.h"
#include "app/overview_dock.h"
#include "app/skin_document.h"
#include "app/view_state.h"
#include "bench/app/bench_editor.h"
#include "images/colour_work.h"
#include "tests/app/window_parts.h"

namespace {

struct Editor : BenchEditor {
  Editor() {
    shell.window()->resize(1600, 1000);
    shell.window()->ShowOverview(true, false);
    shell.view().StepZoom(27);
    QCoreApplication::processEvents();
  }
};

Editor& TheEditor() {
  MakeBenchApplication();
  static Editor* editor = new Editor;
  return *editor;
}

// Each round chooses the filter, after an untimed round without one.
void BM_FilteredPreviewAtLargestZoom(benchmark::State& state) {
  Editor& editor = TheEditor();
  const auto filter = static_cast<ScreenFilter>(state.range(0));
  MainWindow* window = editor.shell.window();
  for (auto _ : state) {
    editor.shell.view().SetFilter(filter);
    Viewport(window)->viewport()->repaint();
    state.PauseTiming();
    editor.shell.view().SetFilter(ScreenFilter::None);
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.SetLabel(std::string(ScreenFilterName(filter)));
}
BENCHMARK(BM_FilteredPreviewAtLargestZoom)->DenseRange(0, kScreenFilterCount - 1, 1)->Unit(benchmark::kMillisecond);

void BM_OverviewRedraw(benchmark::State& state) {
  Editor& editor = TheEditor();
  OverviewGrid* grid = editor.shell.window()->findChild<OverviewGrid*>();
  grid->SetWhole(state.range(0) != 0);
  editor.shell.view().SetFilter(static_cast<ScreenFilter>(state.range(1)));
  QCoreApplication::processEvents();
  for (auto _ : state) {
    grid->Redraw();
    grid->repaint();
  }
  editor.shell.view().SetFilter(ScreenFilter::None);
}
// Half and whole size, without a filter and through the console's screen.
BENCHMARK(BM_OverviewRedraw)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// Each round is one step of the slider: the hue goes round a degree at a time.
void BM_RecolourLive(benchmark::State& state) {
  Editor& editor = TheEditor();
  MainWindow* window = editor.shell.window();
  editor.shell.view().StepZoom(-27);
  window->resize(666, 570);
  QCoreApplication::processEvents();
  SkinDocument& document = editor.shell.document();
  int hue = 0;
  for (auto _ : state) {
    hue = hue % 180 + 1;
    document.Preview(RecolourSkinChange(HslShift{hue, 0, 0}, RecolourScope::Everything));
    Viewport(window)->viewport()->repaint();
  }
  document.EndPreview();
}
BENCHMARK(BM_RecolourLive)->Unit(benchmark::kMillisecond);

}  // namespace
