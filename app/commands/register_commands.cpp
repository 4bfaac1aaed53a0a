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
#include "edit/command_catalogue.h"

#include <map>
#include <optional>
#include <string>

namespace {

// The platform's own keys for a standard binding the catalogue names.
std::optional<QKeySequence::StandardKey> StandardKeyOf(const std::string& name) {
  static const std::map<std::string, QKeySequence::StandardKey> keys = {
      {"New", QKeySequence::New},       {"Open", QKeySequence::Open},     {"Save", QKeySequence::Save},
      {"SaveAs", QKeySequence::SaveAs}, {"Quit", QKeySequence::Quit},     {"Undo", QKeySequence::Undo},
      {"Redo", QKeySequence::Redo},     {"ZoomIn", QKeySequence::ZoomIn}, {"ZoomOut", QKeySequence::ZoomOut}};
  const auto it = keys.find(name);
  return it == keys.end() ? std::nullopt : std::optional(it->second);
}

}  // namespace

QKeySequence KeyOf(const std::string& chord) {
  // The toolkit's portable text spells the page keys its own way.
  QString text = QString::fromStdString(chord);
  text.replace(QStringLiteral("PageUp"), QStringLiteral("PgUp"));
  text.replace(QStringLiteral("PageDown"), QStringLiteral("PgDown"));
  return QKeySequence::fromString(text, QKeySequence::PortableText);
}

QList<QKeySequence> KeysOf(const CommandEntry& entry) {
  QList<QKeySequence> keys;
  for (const std::string& chord : entry.chords) keys << KeyOf(chord);
  if (const std::optional<QKeySequence::StandardKey> standard = StandardKeyOf(entry.standard)) {
    for (const QKeySequence& k : QKeySequence::keyBindings(*standard)) {
      if (!keys.contains(k)) keys << k;
    }
  }
  return keys;
}

CommandFacts FactsOf(const CommandDeps& d) {
  CommandFacts f;
  f.canUndo = d.document.history().CanUndo();
  f.canRedo = d.document.history().CanRedo();
  switch (d.view.compare()) {
    case ViewState::Compare::Off: f.compare = CommandFacts::Compare::Off; break;
    case ViewState::Compare::Saved: f.compare = CommandFacts::Compare::Saved; break;
    case ViewState::Compare::Other: f.compare = CommandFacts::Compare::Other; break;
  }
  f.wholeZoom = d.view.wholeZoom();
  f.filter = static_cast<int>(d.view.filter());
  f.screen = d.view.screen();
  if (d.language) f.language = d.language();
  for (const LanguageEntry& e : LanguageMenu()) {
    const QString file = LanguageFilePath(e, d.languageDir);
    if (!file.isEmpty() && !QFileInfo(file).isFile()) f.missingLanguages.push_back(e.index);
  }
  if (MainWindow* w = d.window ? d.window() : nullptr) {
    f.overviewShown = w->DockShown(MainWindow::Dock::Overview);
    f.problemsShown = w->DockShown(MainWindow::Dock::Problems);
    f.paletteShown = w->DockShown(MainWindow::Dock::Palette);
  }
  if (d.swapped) f.swapped = d.swapped();
  return f;
}

void RegisterCommands(CommandTable& table, const CommandDeps& d) {
  const LanguageTable& t = d.texts;
  FileCommands& files = d.files;
  EditorCommands& editor = d.editor;
  ViewState& view = d.view;
  SkinDocument& document = d.document;
  const auto window = d.window;
  // The facts behind the greying and the check marks, asked each time.
  const auto facts = [d] { return FactsOf(d); };
  // A command of the catalogue, doing `run`: its text, keys, greying and
  // check mark are the catalogue's.
  const auto add = [&](const char* id, std::function<void(const CommandTarget&)> run) {
    const CommandEntry* entry = FindCommand(id);
    Command c;
    c.id = QString::fromLatin1(id);
    if (entry) {
      c.text = entry->text.empty() ? QString()
               : entry->textIsKey  ? t.Text(entry->text.c_str())
                                   : QString::fromStdString(entry->text);
      c.keys = KeysOf(*entry);
      if (entry->enabled != EnabledRule::Always) {
        c.enabled = [entry, facts, &editor](const CommandTarget& to) {
          CommandFacts f = facts();
          if (to.field) {
            f.colour = std::string(to.field->field->key);
            f.clipboardHoldsColour = editor.ClipboardHoldsColour();
          }
          return StateOf(*entry, f).enabled;
        };
      }
      if (entry->checked != CheckedRule::None) c.checked = [entry, facts] { return StateOf(*entry, facts()).checked; };
    }
    c.run = std::move(run);
    // An id the catalogue lacks fails here, loudly.
    table.Add(std::move(c));
  };

  // File.
  add("new", [&files](const CommandTarget&) { files.NewSkin(); });
  add("openFolder", [&files](const CommandTarget&) { files.OpenFolder(); });
  add("openArchive", [&files](const CommandTarget&) { files.OpenArchive(); });
  // A skin from the recent list or dropped on the window.
  add("openSkin", [&files](const CommandTarget& to) { files.OpenSkin(to.path); });
  add("save", [&files](const CommandTarget&) { files.Save(); });
  add("saveFolder", [&files](const CommandTarget&) { files.SaveAs(); });
  add("saveArchive", [&files](const CommandTarget&) { files.SaveToArchive(); });
  add("importFolder", [&files](const CommandTarget&) { files.ImportPictureFolder(); });
  add("screenshotFile", [&files](const CommandTarget&) { files.SaveScreenshot(false); });
  add("screenshotClipboard", [&files](const CommandTarget&) { files.CopyScreenshot(false); });
  add("screenshotShownFile", [&files](const CommandTarget&) { files.SaveScreenshot(true); });
  add("screenshotShownClipboard", [&files](const CommandTarget&) { files.CopyScreenshot(true); });
  add("compareFolder", [&files](const CommandTarget&) { files.CompareWithFolder(); });
  add("compareArchive", [&files](const CommandTarget&) { files.CompareWithArchive(); });
  add("stopCompare", [&view](const CommandTarget&) { view.CompareWithSaved(false); });
  add("quit", [quit = d.quit](const CommandTarget&) { quit(); });

  // Edit: the window names the step in the entry's text.
  add("undo", [&document](const CommandTarget&) { document.Undo(); });
  add("redo", [&document](const CommandTarget&) { document.Redo(); });

  // The colour buttons, the preview and the palette.
  add("editColour", [&editor](const CommandTarget& to) {
    if (to.field) editor.EditColour(*to.field);
  });
  add("copyColour", [&editor](const CommandTarget& to) {
    if (to.field) editor.CopyColour(*to.field);
  });
  add("pasteColour", [&editor](const CommandTarget& to) {
    if (to.field) editor.PasteColour(*to.field);
  });
  add("replaceColour", [&editor](const CommandTarget& to) {
    if (to.colour) editor.ReplaceColour(*to.colour);
  });
  add("importPicture", [&files](const CommandTarget& to) {
    if (to.image) files.ImportImage(*to.image);
  });
  add("importPictureFile", [&files](const CommandTarget& to) {
    if (to.image) files.ImportImageFile(*to.image, to.path);
  });
  add("showProblem", [&editor](const CommandTarget& to) { editor.ShowProblem(to.index); });
  add("reveal", [&editor](const CommandTarget& to) {
    if (to.subject) editor.RevealSubject(*to.subject);
  });
  add("reloadTake", [&reload = d.reload](const CommandTarget&) { reload.Answer(true); });
  add("reloadKeep", [&reload = d.reload](const CommandTarget&) { reload.Answer(false); });

  // View.
  add("zoomIn", [&view](const CommandTarget&) { view.StepZoom(1); });
  add("zoomOut", [&view](const CommandTarget&) { view.StepZoom(-1); });
  add("zoomReset", [&view](const CommandTarget&) { view.ResetZoom(); });
  add("zoomFit", [&view, window](const CommandTarget&) {
    if (MainWindow* w = window()) view.ZoomToFit(w->PreviewRoom());
  });
  add("wholeZoom", [&view](const CommandTarget&) { view.SetWholeZoom(!view.wholeZoom()); });
  for (int f = 0; f < kScreenFilterCount; ++f) {
    const std::string id = "simulate:" + std::string(ScreenFilterName(ScreenFilter(f)));
    add(id.c_str(), [&view, f](const CommandTarget&) { view.SetFilter(ScreenFilter(f)); });
  }
  add("compareSaved",
      [&view](const CommandTarget&) { view.CompareWithSaved(view.compare() != ViewState::Compare::Saved); });
  // The docks.
  for (const auto& [id, dock] : {std::pair{"overview", MainWindow::Dock::Overview},
                                 std::pair{"problems", MainWindow::Dock::Problems},
                                 std::pair{"palette", MainWindow::Dock::Palette}}) {
    const MainWindow::Dock shown = dock;
    add(id, [window, shown](const CommandTarget&) {
      if (MainWindow* w = window()) w->ShowDockByUser(shown, !w->DockShown(shown));
    });
  }

  // Skin.
  add("recolour", [&editor](const CommandTarget&) { editor.Recolour(); });

  // Screen.
  for (int i = 0; i < kPreviewScreenCount; ++i) {
    const std::string id = "screenAction:" + std::to_string(i);
    add(id.c_str(), [&view, i](const CommandTarget&) { view.ChooseScreen(i); });
  }
  add("previousScreen", [&view](const CommandTarget&) { view.StepScreen(-1); });
  add("nextScreen", [&view](const CommandTarget&) { view.StepScreen(1); });

  // Language: chosen, even the current one, the texts are read again. An
  // entry whose file is not there says where it was looked for.
  for (std::size_t i = 0; i < LanguageMenu().size(); ++i) {
    const LanguageEntry& e = LanguageMenu()[i];
    const std::string id = "language:" + std::to_string(i);
    add(id.c_str(), [change = d.changeLanguage, index = e.index](const CommandTarget&) { change(index); });
    const QString file = LanguageFilePath(e, d.languageDir);
    if (!file.isEmpty() && !QFileInfo(file).isFile()) {
      Command withTip = *table.Find(QString::fromStdString(id));
      withTip.tip = t.Text("LANG_LANGUAGE_MISSING_TIP$").arg(QString::fromLatin1(e.file), d.languageDir);
      table.Add(std::move(withTip));
    }
  }

  // Options and Help.
  add("backgroundColour", [&editor](const CommandTarget&) { editor.EditBackgroundColour(); });
  add("swapView", [toggle = d.toggleSwap](const CommandTarget&) { toggle(); });
  add("about", [&editor](const CommandTarget&) { editor.ShowAbout(); });
  // Every command with keys, as the catalogue gives them, in the language shown.
  add("shortcuts", [&t, &table, &editor](const CommandTarget&) {
    QStringList lines;
    for (const CommandEntry& c : CommandCatalogue()) {
      if (c.chords.empty()) continue;
      const Command* shown = table.Find(QString::fromStdString(c.id));
      QString text = shown ? shown->text : QString::fromStdString(c.text);
      text.remove(QLatin1Char('&'));
      QStringList keys;
      for (const std::string& k : c.chords) keys << QString::fromStdString(k);
      lines << text + QStringLiteral("\t") + keys.join(QStringLiteral(", "));
    }
    editor.ShowText(t.Text("LANG_HELP_SHORTCUTS$"), lines.join(QLatin1Char('\n')));
  });
}
