// One write of the recovery journal for the default skin with one change:
// the copy taken on the editor's thread, the archive made of it, and both
// files replaced and flushed to the disk. In the editor only the copy runs
// on the editor's thread; BM_JournalCopy measures that part alone.
//   ./build/bench/recovery_bench
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <memory>

#include "app/recovery_journal.h"
#include "app/skin_document.h"
#include "bench/default_skin.h"

namespace {

void MakeApplication() {
  static QCoreApplication* app = [] {
    static int argc = 1;
    static char name[] = "recovery_bench";
    static char* argv[] = {name, nullptr};
    return new QCoreApplication(argc, argv);
  }();
  (void)app;
}

struct Edited {
  QTemporaryDir dir;
  SkinDocument document;
  std::unique_ptr<RecoveryJournal> journal;
  Edited() {
    document.Replace(BenchDefaultSkin(), SkinOrigin{}, DiskSkin{});
    document.Apply(SetNumber(SkinFieldOf(kStartBarSection, "y"), 100));
    journal = std::make_unique<RecoveryJournal>(document, dir.path());
  }
};

void BM_JournalWrite(benchmark::State& state) {
  MakeApplication();
  Edited edited;
  for (auto _ : state) edited.journal->WriteNow();
}
BENCHMARK(BM_JournalWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JournalCopy(benchmark::State& state) {
  MakeApplication();
  Edited edited;
  for (auto _ : state) benchmark::DoNotOptimize(std::make_shared<Skin>(edited.document.skin()));
}
BENCHMARK(BM_JournalCopy)->Unit(benchmark::kMillisecond);

}  // namespace
