// Live reload in the editor: from a file of the open skin that has changed on
// disk (and settled) to the preview redrawn and painted. The editor runs on
// the offscreen platform; writing the file is outside the measured time.
//   ./build/bench/reload_bench
// (on the offscreen platform unless QT_QPA_PLATFORM says otherwise)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <memory>

#include "app/dialogs.h"
#include "app/fit_dialog.h"
#include "app/recolour_dialog.h"
#include "app/live_reload.h"
#include "app/main_window.h"
#include "app/preview_picture.h"
#include "app/editor_shell.h"
#include "app/skin_watcher.h"
#include "bench/app/bench_editor.h"
#include "bench/default_skin.h"
#include "check/check.h"
#include "images/bmp_writer.h"
#include "platform/file_io.h"
#include "images/skin_io.h"
#include "skin/settings_file.h"

namespace {

// Nothing is asked while measuring.
struct SilentDialogs : Dialogs {
  QString ChooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
  QString ChooseOpenFile(QWidget*, const QString&, const QString&, const QList<FileFilter>&, int) override { return {}; }
  QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QList<FileFilter>&, int&) override { return {}; }
  void ShowMessage(QWidget*, const QString&, const QString&, const QString&) override {}
  UnsavedChoice AskSaveChanges(QWidget*, const QString&, const LanguageTable&) override { return UnsavedChoice::Discard; }
  bool AskRestore(QWidget*, const QString&, const LanguageTable&) override { return false; }
  bool AskProceed(QWidget*, const QString&, const QString&, const QString&, const LanguageTable&) override {
    return false;
  }
  Rgb24 EditColour(QWidget*, Rgb24 input, const LanguageTable&, const QString&,
                   const std::function<void(Rgb24)>&) override {
    return input;
  }
  void ShowAbout(QWidget*, const LanguageTable&) override {}
  std::optional<FitMode> AskFit(QWidget*, const FitQuestion&, const LanguageTable&) override { return FitMode::Keep; }
  std::optional<RecolourChoice> Recolour(QWidget*, const LanguageTable&,
                                         const std::function<void(const RecolourChoice&)>&) override {
    return std::nullopt;
  }
  void CopyToClipboard(const QImage&) override {}
};

struct FixedClock : Clock {
  DateTime Now() const override { return {2020, 1, 1, 0, 0, 0}; }
};

// The editor with the default skin opened from a folder it watches.
struct WatchedEditor {
  QTemporaryDir dir;
  SilentDialogs dialogs;
  std::unique_ptr<EditorShell> shell;

  WatchedEditor() {
    const QString skin = dir.filePath(QStringLiteral("skin"));
    QDir().mkpath(skin);
    Skin copy = BenchDefaultSkin();
    MessageCollector quiet;
    const MessageTexts texts = MessageTexts::BuiltIn();
    SkinIoContext ctx{quiet, texts};
    SaveSkinFolder(copy, skin.toStdString(), {}, FixedClock(), ctx);
    shell = std::make_unique<EditorShell>(dialogs, ShellPaths{dir.filePath(QStringLiteral("settings.ini")),
                                                              dir.filePath(QStringLiteral("language")), dir.filePath(QStringLiteral("recovery"))});
    shell->Start(skin);
  }
  std::string File(const char* name) const { return dir.filePath(QStringLiteral("skin/") + QLatin1String(name)).toStdString(); }
};


// Each round writes the file with one of two contents, so every reload is a
// real change, then takes the time of reading it into the preview.
void Reload(benchmark::State& state, const char* file, const std::string (&contents)[2], DiskChanges changes) {
  MakeBenchApplication();
  WatchedEditor editor;
  EditorShell& shell = *editor.shell;
  shell.document().SetUndoBudget(0);  // the undo steps would hold every picture read
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ReplaceFile(editor.File(file), contents[++round % 2], FileSync::NoFlush);
    state.ResumeTiming();
    shell.reload().ReloadFromDisk(changes);
    shell.window()->findChild<PreviewPicture*>()->repaint();
  }
}

void BM_ReloadPicture(benchmark::State& state) {
  const std::string contents[2] = {EncodeBmp16(Picture(256, 192, {248, 0, 0})), EncodeBmp16(Picture(256, 192, {0, 0, 248}))};
  DiskChanges changes;
  changes.images = {ImageId::upper_screen};
  Reload(state, "upper_screen.bmp", contents, changes);
}
BENCHMARK(BM_ReloadPicture)->Unit(benchmark::kMillisecond);

void BM_ReloadSettings(benchmark::State& state) {
  Skin a = BenchDefaultSkin(), b = BenchDefaultSkin();
  b.startBar.y = 150;
  const std::string contents[2] = {WriteSkinSettings(a, {}, FixedClock().Now()), WriteSkinSettings(b, {}, FixedClock().Now())};
  DiskChanges changes;
  changes.settings = true;
  Reload(state, "uisettings.ini", contents, changes);
}
BENCHMARK(BM_ReloadSettings)->Unit(benchmark::kMillisecond);

// The largest picture a watched file may bring, 8192 x 4095 (a 64 MB BMP),
// rewritten and read again 20 times without clearing the undo history: the
// history keeps within its budget, and the editor's peak memory (reported as
// peak_MB, the whole process's) stays well under 1.5 GB.
void BM_ReloadLargePictureTwentyTimes(benchmark::State& state) {
  MakeBenchApplication();
  WatchedEditor editor;
  EditorShell& shell = *editor.shell;
  DiskChanges changes;
  changes.images = {ImageId::lower_screen};
  for (auto _ : state) {
    for (int round = 0; round < 20; ++round) {
      state.PauseTiming();
      const std::uint8_t v = static_cast<std::uint8_t>(8 * (round % 31));
      ReplaceFile(editor.File("lower_screen.bmp"), EncodeBmp16(Picture(8192, 4095, {v, v, v})), FileSync::NoFlush);
      state.ResumeTiming();
      shell.reload().ReloadFromDisk(changes);
    }
  }
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["undo_steps"] = shell.document().history().count();
}
BENCHMARK(BM_ReloadLargePictureTwentyTimes)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
