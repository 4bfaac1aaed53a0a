// Opening and saving the default skin, and the 15-bit reduction.
//   ./build/bench/skin_bench
//   ./build/bench/skin_bench --benchmark_filter=Save   (saving with and without flushing)
// The archive opened is one made here of the default skin, or the one
// SKIN_BENCH_ARCHIVE names (to open the very file another measure opens):
//   SKIN_BENCH_ARCHIVE=skin.zip ./build/bench/skin_bench --benchmark_filter=OpenSkinArchive
#include <benchmark/benchmark.h>
#include <minizip/zip.h>

#include <cstdlib>
#include <string>

#include "skin/catalogue.h"
#include "images/archive_writer.h"
#include "images/defaults.h"
#include "platform/file_io.h"
#include "images/reduce.h"
#include "images/skin_io.h"
#include "tests/test_util.h"

namespace {

struct NullFeedback : Feedback {
  void ShowError(const std::string&) override {}
  void SetProgress(int) override {}
};

struct FixedClock : Clock {
  DateTime Now() const override { return {2020, 1, 1, 0, 0, 0}; }
};

// The default skin saved once as a folder and once as a .zip of that folder.
struct Fixture {
  std::string folder, archive;
  Fixture() {
    char pattern[] = "/tmp/skinbench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    folder = dir + "/skin";
    archive = dir + "/skin.zip";
    std::system(("mkdir -p '" + folder + "'").c_str());
    static Skin skin;
    ResetSkinToDefaults(skin);
    NullFeedback fb;
    const MessageTexts texts = MessageTexts::BuiltIn();
    SkinIoContext ctx{fb, texts};
    SaveSkinFolder(skin, folder, {}, FixedClock(), ctx);

    zipFile zip = zipOpen64(archive.c_str(), APPEND_STATUS_CREATE);
    const auto add = [&](const std::string& rel) {
      std::string bytes;
      ReadWholeFile(folder + "/" + rel, bytes, 1 << 26);
      zip_fileinfo info{};
      zipOpenNewFileInZip64(zip, ("skin/" + rel).c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                            Z_DEFAULT_COMPRESSION, 0);
      zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size()));
      zipCloseFileInZip(zip);
    };
    add("uisettings.ini");
    for (const CatalogueEntry& e : ImageCatalogue()) add(std::string(e.file));
    zipClose(zip, nullptr);
    if (const char* given = std::getenv("SKIN_BENCH_ARCHIVE"); given && *given) archive = given;
  }
};

const Fixture& Files() {
  static const Fixture f;
  return f;
}

// Runs `operation` on the default skin for every iteration.
template <typename Operation>
void RunOnDefaultSkin(benchmark::State& state, Operation operation) {
  static Skin skin;
  ResetSkinToDefaults(skin);
  NullFeedback fb;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{fb, texts};
  for (auto _ : state) operation(skin, ctx);
}

void BM_OpenSkinFolder(benchmark::State& state) {
  RunOnDefaultSkin(state, [](Skin& skin, SkinIoContext& ctx) { OpenSkinFolder(skin, Files().folder, ctx); });
}
BENCHMARK(BM_OpenSkinFolder)->Unit(benchmark::kMillisecond);

void BM_OpenSkinArchive(benchmark::State& state) {
  RunOnDefaultSkin(state, [](Skin& skin, SkinIoContext& ctx) { OpenSkinArchive(skin, Files().archive, ctx); });
}
BENCHMARK(BM_OpenSkinArchive)->Unit(benchmark::kMillisecond);

// The whole save of the default skin over an earlier save: encoding and
// writing 54 files, each flushed to the disk before it replaces the old one
// (argument 1, what saving does) or not (argument 0, to see the cost).
void BM_SaveSkinFolder(benchmark::State& state) {
  const std::string target = Files().folder + "-saved";
  std::system(("mkdir -p '" + target + "'").c_str());
  const FileSync sync = state.range(0) ? FileSync::Flush : FileSync::NoFlush;
  RunOnDefaultSkin(state, [&](Skin& skin, SkinIoContext& ctx) {
    WriteSkinFiles(EncodeSkinFiles(skin, {}, FixedClock().Now()), target, ctx, sync);
  });
}
BENCHMARK(BM_SaveSkinFolder)->ArgName("flush")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The default skin as an archive: its files encoded and zipped in memory
// (argument 0), or the whole Save to archive, written beside the old one,
// flushed and renamed over it (argument 1).
void BM_SaveSkinArchive(benchmark::State& state) {
  const std::string target = Files().folder + "-saved.zip";
  const DateTime now = FixedClock().Now();
  const bool write = state.range(0) != 0;
  RunOnDefaultSkin(state, [&](Skin& skin, SkinIoContext& ctx) {
    const std::vector<SkinFile> files = EncodeSkinFiles(skin, {}, now);
    if (write) {
      WriteSkinArchive(files, target, "skin", now, ctx);
    } else {
      const std::string bytes = EncodeSkinArchive(files, "skin", now);
      benchmark::DoNotOptimize(bytes.data());
    }
  });
}
BENCHMARK(BM_SaveSkinArchive)->ArgName("write")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReduceTo15Bit(benchmark::State& state) {
  const Picture source = testutil::MakePicture(256, 192, 1);
  Picture work;
  for (auto _ : state) {
    state.PauseTiming();
    work = source;
    state.ResumeTiming();
    ReduceTo15Bit(work);
    benchmark::DoNotOptimize(work.pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * 256 * 192);
}
BENCHMARK(BM_ReduceTo15Bit);

}  // namespace
