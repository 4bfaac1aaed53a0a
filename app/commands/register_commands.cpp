#include "app/commands/register_commands.h"

#include <QFileInfo>

#include "app/commands/command_table.h"
#include "app/commands/editor_commands.h"
#include "app/commands/file_commands.h"
#include "app/language.h"
#include "app/live_reload.h"
#include "app/main_window.h"
#include "app/skin_document.h"
#include "app/view_state.h"

namespace {

QString ScreenKey(int i) { return QStringLiteral("LANG_SCREEN_%1$").arg(i, 2, 10, QLatin1Char('0')); }

constexpr const char* kFilterKeys[kScreenFilterCount] = {"LANG_SIMULATE_NONE$", "LANG_SIMULATE_CONSOLE$",
                                                          "LANG_SIMULATE_PROTANOPIA$", "LANG_SIMULATE_DEUTERANOPIA$",
                                                          "LANG_SIMULATE_TRITANOPIA$"};

}  // namespace

void RegisterCommands(CommandTable& table, const CommandDeps& d) {
  const LanguageTable& t = d.texts;
  FileCommands& files = d.files;
  EditorCommands& editor = d.editor;
  ViewState& view = d.view;
  SkinDocument& document = d.document;
  const auto window = d.window;
  // A command with a text key and keys, doing `run`.
  const auto add = [&](const char* id, const QString& text, QList<QKeySequence> keys,
                       std::function<void(const CommandTarget&)> run) {
    table.Add({QString::fromLatin1(id), text, {}, std::move(keys), std::move(run), {}, {}});
  };
  const auto key = [&](const char* k) { return t.Text(k); };

  // File.
  add("new", key("LANG_FILE_NEW$"), {QKeySequence::New}, [&files](const CommandTarget&) { files.NewSkin(); });
  add("openFolder", key("LANG_FILE_OPEN_FOLDER$"), {QKeySequence::Open},
      [&files](const CommandTarget&) { files.OpenFolder(); });
  add("openArchive", QStringLiteral("*.zip"), {}, [&files](const CommandTarget&) { files.OpenArchive(); });
  // A skin from the recent list or dropped on the window.
  add("openSkin", QString(), {}, [&files](const CommandTarget& to) { files.OpenSkin(to.path); });
  add("save", key("LANG_FILE_SAVE$"), {QKeySequence::Save}, [&files](const CommandTarget&) { files.Save(); });
  add("saveFolder", key("LANG_FILE_SAVE_FOLDER$"), {QKeySequence::SaveAs},
      [&files](const CommandTarget&) { files.SaveAs(); });
  add("saveArchive", key("LANG_FILE_SAVE_ARCHIVE$"), {}, [&files](const CommandTarget&) { files.SaveToArchive(); });
  add("importFolder", key("LANG_FILE_IMPORT_FOLDER$"), {},
      [&files](const CommandTarget&) { files.ImportPictureFolder(); });
  add("screenshotFile", key("LANG_FILE_SCREENSHOT2D$"), {}, [&files](const CommandTarget&) { files.SaveScreenshot(false); });
  add("screenshotClipboard", key("LANG_FILE_SCREENSHOT2C$"), {},
      [&files](const CommandTarget&) { files.CopyScreenshot(false); });
  add("screenshotShownFile", key("LANG_FILE_SCREENSHOT_SHOWN_FILE$"), {},
      [&files](const CommandTarget&) { files.SaveScreenshot(true); });
  add("screenshotShownClipboard", key("LANG_FILE_SCREENSHOT_SHOWN_CLIP$"), {},
      [&files](const CommandTarget&) { files.CopyScreenshot(true); });
  add("compareFolder", key("LANG_FILE_OPEN_FOLDER$"), {}, [&files](const CommandTarget&) { files.CompareWithFolder(); });
  add("compareArchive", QStringLiteral("*.zip"), {}, [&files](const CommandTarget&) { files.CompareWithArchive(); });
  table.Add({QStringLiteral("stopCompare"), key("LANG_FILE_COMPARE_STOP$"), {}, {},
             [&view](const CommandTarget&) { view.CompareWithSaved(false); },
             [&view](const CommandTarget&) { return view.compare() != ViewState::Compare::Off; }, {}});
  add("quit", key("LANG_FILE_CLOSE$"), {QKeySequence::Quit}, [quit = d.quit](const CommandTarget&) { quit(); });

  // Edit: the window names the step in the entry's text.
  QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
  // Ctrl+Y as well, whatever the desktop's own binding for Redo is.
  if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y))) redoKeys << QKeySequence(Qt::CTRL | Qt::Key_Y);
  table.Add({QStringLiteral("undo"), key("LANG_EDIT_UNDO$"), {}, QKeySequence::keyBindings(QKeySequence::Undo),
             [&document](const CommandTarget&) { document.Undo(); },
             [&document](const CommandTarget&) { return document.history().CanUndo(); }, {}});
  table.Add({QStringLiteral("redo"), key("LANG_EDIT_REDO$"), {}, redoKeys,
             [&document](const CommandTarget&) { document.Redo(); },
             [&document](const CommandTarget&) { return document.history().CanRedo(); }, {}});

  // The colour buttons, the preview and the palette.
  add("editColour", QString(), {}, [&editor](const CommandTarget& to) {
    if (to.field) editor.EditColour(*to.field);
  });
  add("copyColour", key("LANG_COPY_COLOR$"), {}, [&editor](const CommandTarget& to) {
    if (to.field) editor.CopyColour(*to.field);
  });
  table.Add({QStringLiteral("pasteColour"), key("LANG_PASTE_COLOR$"), {}, {},
             [&editor](const CommandTarget& to) { editor.PasteColour(*to.field); },
             [&editor](const CommandTarget& to) { return to.field && editor.CanPasteColour(*to.field); }, {}});
  add("replaceColour", QString(), {}, [&editor](const CommandTarget& to) {
    if (to.colour) editor.ReplaceColour(*to.colour);
  });
  add("importPicture", QString(), {}, [&files](const CommandTarget& to) {
    if (to.image) files.ImportImage(*to.image);
  });
  add("importPictureFile", QString(), {}, [&files](const CommandTarget& to) {
    if (to.image) files.ImportImageFile(*to.image, to.path);
  });
  add("showProblem", QString(), {}, [&editor](const CommandTarget& to) { editor.ShowProblem(to.index); });
  add("reveal", QString(), {}, [&editor](const CommandTarget& to) {
    if (to.subject) editor.RevealSubject(*to.subject);
  });
  add("reloadTake", key("LANG_RELOAD$"), {}, [&reload = d.reload](const CommandTarget&) { reload.Answer(true); });
  add("reloadKeep", key("LANG_RELOAD_KEEP$"), {}, [&reload = d.reload](const CommandTarget&) { reload.Answer(false); });

  // View.
  add("zoomIn", key("LANG_VIEW_ZOOM_IN$"), {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence::ZoomIn},
      [&view](const CommandTarget&) { view.StepZoom(1); });
  add("zoomOut", key("LANG_VIEW_ZOOM_OUT$"), {QKeySequence::ZoomOut}, [&view](const CommandTarget&) { view.StepZoom(-1); });
  add("zoomReset", key("LANG_VIEW_ZOOM_RESET$"), {QKeySequence(Qt::CTRL | Qt::Key_0)},
      [&view](const CommandTarget&) { view.ResetZoom(); });
  add("zoomFit", key("LANG_VIEW_ZOOM_FIT$"), {}, [&view, window](const CommandTarget&) {
    if (MainWindow* w = window()) view.ZoomToFit(w->PreviewRoom());
  });
  table.Add({QStringLiteral("wholeZoom"), key("LANG_VIEW_ZOOM_WHOLE$"), {}, {},
             [&view](const CommandTarget&) { view.SetWholeZoom(!view.wholeZoom()); }, {},
             [&view] { return view.wholeZoom(); }});
  for (int f = 0; f < kScreenFilterCount; ++f) {
    table.Add({QStringLiteral("simulate:%1").arg(QLatin1String(ScreenFilterName(ScreenFilter(f)).data())),
               key(kFilterKeys[f]), {}, {}, [&view, f](const CommandTarget&) { view.SetFilter(ScreenFilter(f)); }, {},
               [&view, f] { return view.filter() == ScreenFilter(f); }});
  }
  table.Add({QStringLiteral("compareSaved"), key("LANG_VIEW_COMPARE_SAVED$"), {}, {},
             [&view](const CommandTarget&) { view.CompareWithSaved(view.compare() != ViewState::Compare::Saved); }, {},
             [&view] { return view.compare() == ViewState::Compare::Saved; }});
  // The docks: F10 all screens, F9 the palette, F8 the problems.
  struct DockCommand {
    const char* id;
    const char* text;
    Qt::Key key;
    MainWindow::Dock dock;
  };
  for (const DockCommand& c : {DockCommand{"overview", "LANG_VIEW_OVERVIEW$", Qt::Key_F10, MainWindow::Dock::Overview},
                               DockCommand{"problems", "LANG_VIEW_PROBLEMS$", Qt::Key_F8, MainWindow::Dock::Problems},
                               DockCommand{"palette", "LANG_VIEW_PALETTE$", Qt::Key_F9, MainWindow::Dock::Palette}}) {
    const MainWindow::Dock dock = c.dock;
    table.Add({QString::fromLatin1(c.id), key(c.text), {}, {QKeySequence(c.key)},
               [window, dock](const CommandTarget&) {
                 if (MainWindow* w = window()) w->ShowDockByUser(dock, !w->DockShown(dock));
               },
               {}, [window, dock] { return window() && window()->DockShown(dock); }});
  }

  // Skin.
  add("recolour", key("LANG_SKIN_RECOLOR$"), {}, [&editor](const CommandTarget&) { editor.Recolour(); });

  // Screen: Ctrl+1 ... Ctrl+9 for the first nine, Page Up and Page Down.
  for (int i = 0; i < kPreviewScreenCount; ++i) {
    QList<QKeySequence> keys;
    if (i < 9) keys << QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i));
    table.Add({QStringLiteral("screenAction:%1").arg(i), t.Text(ScreenKey(i)), {}, keys,
               [&view, i](const CommandTarget&) { view.ChooseScreen(i); }, {}, [&view, i] { return view.screen() == i; }});
  }
  add("previousScreen", key("LANG_SCREEN_PREV$"), {QKeySequence(Qt::Key_PageUp)},
      [&view](const CommandTarget&) { view.StepScreen(-1); });
  add("nextScreen", key("LANG_SCREEN_NEXT$"), {QKeySequence(Qt::Key_PageDown)},
      [&view](const CommandTarget&) { view.StepScreen(1); });

  // Language: an entry whose file is not there is greyed, and says where it
  // was looked for. Chosen, even the current one, the texts are read again.
  for (std::size_t i = 0; i < LanguageMenu().size(); ++i) {
    const LanguageEntry& e = LanguageMenu()[i];
    const int index = e.index;
    const QString file = LanguageFilePath(e, d.languageDir);
    const bool missing = !file.isEmpty() && !QFileInfo(file).isFile();
    table.Add({QStringLiteral("language:%1").arg(i), QString::fromStdString(e.label),
               missing ? t.Text("LANG_LANGUAGE_MISSING_TIP$").arg(QString::fromLatin1(e.file), d.languageDir) : QString(),
               {}, [change = d.changeLanguage, index](const CommandTarget&) { change(index); },
               [missing](const CommandTarget&) { return !missing; },
               [language = d.language, index] { return language() == index; }});
  }

  // Options and Help.
  add("backgroundColour", key("LANG_OPTIONS_BACKCOLOR$"), {},
      [&editor](const CommandTarget&) { editor.EditBackgroundColour(); });
  table.Add({QStringLiteral("swapView"), key("LANG_OPTIONS_SWAPVIEW$"), {}, {},
             [toggle = d.toggleSwap](const CommandTarget&) { toggle(); }, {}, d.swapped});
  add("about", key("LANG_ABOUT_ABOUT$"), {}, [&editor](const CommandTarget&) { editor.ShowAbout(); });
}
