// The skin check and the .zip export of the default skin.
//   ./build/bench/check_bench
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "check/check.h"
#include "images/archive_writer.h"
#include "images/defaults.h"
#include "images/skin_io.h"

namespace {

struct FixedClock : Clock {
  DateTime Now() const override { return {2020, 1, 1, 0, 0, 0}; }
};

Skin& DefaultSkin() {
  static Skin* skin = [] {
    auto* s = new Skin;
    ResetSkinToDefaults(*s);
    return s;
  }();
  return *skin;
}

// The default skin saved once as a folder, for the check of a skin on disk.
const std::string& SavedFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/checkbench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    MessageCollector quiet;
    const MessageTexts texts = MessageTexts::BuiltIn();
    SkinIoContext ctx{quiet, texts};
    SaveSkinFolder(DefaultSkin(), dir, {}, FixedClock(), ctx);
    return dir;
  }();
  return folder;
}

// skintool check with no --skin: every check of the built-in default skin.
void BM_CheckDefaultSkin(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<Problem> problems = CheckSkin(DefaultSkin(), {});
    benchmark::DoNotOptimize(problems.data());
  }
}
BENCHMARK(BM_CheckDefaultSkin)->Unit(benchmark::kMillisecond);

// The part of it that renders: 28 renders of the fourteen screens.
void BM_CheckContrast(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<Problem> problems = CheckContrast(DefaultSkin());
    benchmark::DoNotOptimize(problems.data());
  }
}
BENCHMARK(BM_CheckContrast)->Unit(benchmark::kMillisecond);

// skintool check --skin FOLDER: opening the folder, reading its raw files,
// and every check.
void BM_CheckSkinFolder(benchmark::State& state) {
  static Skin skin;
  const MessageTexts texts = MessageTexts::BuiltIn();
  for (auto _ : state) {
    ResetSkinToDefaults(skin);
    MessageCollector collector;
    SkinIoContext ctx{collector, texts};
    OpenSkinFolder(skin, SavedFolder(), ctx);
    CheckInput input;
    input.messages = std::move(collector.messages);
    input.sources.push_back(ReadSkinSource(SavedFolder()));
    std::vector<Problem> problems = CheckSkin(skin, input);
    benchmark::DoNotOptimize(problems.data());
  }
}
BENCHMARK(BM_CheckSkinFolder)->Unit(benchmark::kMillisecond);

// The bytes of the .zip, from the encoded files to the deflated archive.
void BM_EncodeSkinArchive(benchmark::State& state) {
  const std::vector<SkinFile> files = EncodeSkinFiles(DefaultSkin(), {}, {2020, 1, 1, 0, 0, 0});
  for (auto _ : state) {
    std::string zip = EncodeSkinArchive(files, "skin", {2020, 1, 1, 0, 0, 0});
    benchmark::DoNotOptimize(zip.data());
  }
}
BENCHMARK(BM_EncodeSkinArchive)->Unit(benchmark::kMillisecond);

// File > Save > To archive as a whole: encoding the pictures, the archive,
// and writing it through a flushed temporary file.
void BM_SaveSkinArchive(benchmark::State& state) {
  const std::string target = SavedFolder() + "/export.zip";
  MessageCollector quiet;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{quiet, texts};
  for (auto _ : state) SaveSkinArchive(DefaultSkin(), target, {}, FixedClock(), ctx);
}
BENCHMARK(BM_SaveSkinArchive)->Unit(benchmark::kMillisecond);

}  // namespace
