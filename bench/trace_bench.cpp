// What the editor pays for "what draws this pixel": a whole-screen trace per
// screen, a redraw that traces as it draws, and the highlight masks of one
// picture and one element record, and one highlight zoomed.
//   ./build/bench/trace_bench
#include <benchmark/benchmark.h>

#include "bench/default_skin.h"
#include "preview/render.h"
#include "preview/trace.h"

namespace {

void BM_TracePreview(benchmark::State& state) {
  const int screen = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TraceMap map = TracePreview(BenchDefaultSkin(), screen);
    benchmark::DoNotOptimize(map.tags.data());
  }
}
BENCHMARK(BM_TracePreview)->DenseRange(0, 13, 1)->Unit(benchmark::kMicrosecond);

// The redraw at zoom 1 with the trace filled in, against RenderPreview alone
// in render_bench.
void BM_RenderPreviewWithTrace(benchmark::State& state) {
  const int screen = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TraceMap map;
    Picture p = RenderPreview(BenchDefaultSkin(), screen, 1.0f, Rgb24{0, 0, 0}, &map);
    benchmark::DoNotOptimize(p.pixels.data());
    benchmark::DoNotOptimize(map.tags.data());
  }
}
BENCHMARK(BM_RenderPreviewWithTrace)->DenseRange(0, 13, 1)->Unit(benchmark::kMicrosecond);

void BM_SourceMask(benchmark::State& state) {
  const TraceMap map = TracePreview(BenchDefaultSkin(), 2);
  for (auto _ : state) {
    PixelMask m = SourceMask(map, PictureSource(ImageId::form_M));
    benchmark::DoNotOptimize(m.pixels.data());
  }
}
BENCHMARK(BM_SourceMask)->Unit(benchmark::kMicrosecond);

void BM_ElementMask(benchmark::State& state) {
  const TraceMap map = TracePreview(BenchDefaultSkin(), 2);
  const std::size_t section = FindElementSection(kStartMenuSection).value();
  for (auto _ : state) {
    PixelMask m = ElementMask(map, section);
    benchmark::DoNotOptimize(m.pixels.data());
  }
}
BENCHMARK(BM_ElementMask)->Unit(benchmark::kMicrosecond);

// The highlight at the largest zoom of the mouse wheel, about 1340 x 2470.
void BM_ZoomMask(benchmark::State& state) {
  const PixelMask m = SourceMask(TracePreview(BenchDefaultSkin(), 2), PictureSource(ImageId::form_M));
  float zoom = 1.0f;
  for (int i = 0; i < 27; ++i) zoom += 0.15f;
  for (auto _ : state) {
    PixelMask z = ZoomMask(m, zoom);
    benchmark::DoNotOptimize(z.pixels.data());
  }
}
BENCHMARK(BM_ZoomMask)->Unit(benchmark::kMicrosecond);

}  // namespace
