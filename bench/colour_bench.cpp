// Colour work over the default skin, and an import fitted to size.
//   ./build/bench/colour_bench
//   ./build/bench/colour_bench --benchmark_filter=FitImport
#include <benchmark/benchmark.h>

#include <string>

#include "bench/default_skin.h"
#include "images/colour_work.h"
#include "images/decode.h"
#include "images/fit.h"
#include "images/jpeg_codec.h"
#include "images/png_codec.h"

namespace {

// The palette the editor's colour list shows: aim well under 5 ms.
void BM_SkinPalette(benchmark::State& state) {
  const Skin& skin = BenchDefaultSkin();
  for (auto _ : state) benchmark::DoNotOptimize(SkinPalette(skin));
}
BENCHMARK(BM_SkinPalette)->Unit(benchmark::kMillisecond);

// A whole-skin recolour, as each step of the editor's slider runs it on a
// copy of the skin before the redraw: aim well under 10 ms.
void BM_RecolourSkin(benchmark::State& state) {
  static Skin skin;
  int hue = 0;
  for (auto _ : state) {
    state.PauseTiming();
    skin = BenchDefaultSkin();
    hue = hue % 180 + 1;
    state.ResumeTiming();
    benchmark::DoNotOptimize(RecolourSkin(skin, {hue, 10, -5}, RecolourScope::Everything));
  }
}
BENCHMARK(BM_RecolourSkin)->Unit(benchmark::kMillisecond);

// A photograph-like 4000 x 3000 picture: smooth shading with fine detail,
// so that the codecs have real work to do.
Picture Photo() {
  Picture p(4000, 3000);
  std::uint32_t seed = 1;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const unsigned noise = seed >> 28;
      p.at(x, y) = {static_cast<std::uint8_t>((x / 16 + noise) & 255), static_cast<std::uint8_t>((y / 12 + noise) & 255),
                    static_cast<std::uint8_t>(((x + y) / 28) & 255)};
    }
  }
  return p;
}

// Decode, cover the 256 x 192 of a background and finish to 15-bit colour:
// a fit import as the editor and skintool run it, aim under 150 ms.
void FitImport(benchmark::State& state, const std::string& bytes) {
  for (auto _ : state) {
    SourcePicture source;
    if (!DecodeSource(bytes, source)) state.SkipWithError("not decoded");
    benchmark::DoNotOptimize(FinishPicture(FitPicture(source, 256, 192, FitMode::Cover)));
  }
  state.counters["file MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_FitImportJpeg(benchmark::State& state) {
  static const std::string bytes = [] {
    std::string out;
    EncodeJpeg(Photo(), 90, out);
    return out;
  }();
  FitImport(state, bytes);
}
BENCHMARK(BM_FitImportJpeg)->Unit(benchmark::kMillisecond);

void BM_FitImportPng(benchmark::State& state) {
  static const std::string bytes = [] {
    std::string out;
    EncodePng(Photo(), out);
    return out;
  }();
  FitImport(state, bytes);
}
BENCHMARK(BM_FitImportPng)->Unit(benchmark::kMillisecond);

// The scaling alone, to tell it from the decoding.
void BM_CoverOnly(benchmark::State& state) {
  SourcePicture source;
  source.rgb = Photo();
  for (auto _ : state) benchmark::DoNotOptimize(FitPicture(source, 256, 192, FitMode::Cover));
}
BENCHMARK(BM_CoverOnly)->Unit(benchmark::kMillisecond);

}  // namespace
