// The preview redraw for every screen, at zoom 1.0 and at the largest zoom
// the mouse wheel reaches: as a caller that redraws makes it (one workspace
// and one picture kept from redraw to redraw), and with fresh memory for
// each redraw, as a one-off render has it; beside the time it takes just to
// fill an output picture of the same size.
//   ./build/bench/render_bench
// The allocator's own cost shows against a run that keeps all freed memory:
//   GLIBC_TUNABLES=glibc.malloc.mmap_threshold=1000000000:glibc.malloc.trim_threshold=4000000000 ./build/bench/render_bench
#include <benchmark/benchmark.h>

#include "bench/default_skin.h"
#include "preview/render.h"

namespace {

float LargestZoom() {
  float zoom = 1.0f;
  for (int i = 0; i < 27; ++i) zoom += 0.15f;
  return zoom;
}

void BM_RenderPreview(benchmark::State& state) {
  const int screen = static_cast<int>(state.range(0));
  const float zoom = state.range(1) ? LargestZoom() : 1.0f;
  RenderWorkspace work;
  Picture p;
  for (auto _ : state) {
    RenderPreview(BenchDefaultSkin(), screen, zoom, Rgb24{0, 0, 0}, work, p);
    benchmark::DoNotOptimize(p.pixels.data());
  }
}
BENCHMARK(BM_RenderPreview)->ArgsProduct({benchmark::CreateDenseRange(0, 13, 1), {0, 1}})->Unit(benchmark::kMicrosecond);

void BM_RenderPreviewFreshMemory(benchmark::State& state) {
  const int screen = static_cast<int>(state.range(0));
  const float zoom = state.range(1) ? LargestZoom() : 1.0f;
  for (auto _ : state) {
    Picture p = RenderPreview(BenchDefaultSkin(), screen, zoom, Rgb24{0, 0, 0});
    benchmark::DoNotOptimize(p.pixels.data());
  }
}
BENCHMARK(BM_RenderPreviewFreshMemory)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 13, 1), {0, 1}})
    ->Unit(benchmark::kMicrosecond);

void BM_FillOutputPicture(benchmark::State& state) {
  int w = 0, h = 0;
  PreviewSize(state.range(0) ? LargestZoom() : 1.0f, w, h);
  for (auto _ : state) {
    Picture p(w, h, Rgb24{1, 2, 3});
    benchmark::DoNotOptimize(p.pixels.data());
  }
}
BENCHMARK(BM_FillOutputPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
