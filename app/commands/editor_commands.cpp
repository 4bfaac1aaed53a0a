#include "app/commands/editor_commands.h"

#include <QClipboard>
#include <QGuiApplication>

#include "app/editor_context.h"
#include "app/main_window.h"
#include "edit/panel_tables.h"
#include "app/recolour_dialog.h"
#include "app/skin_document.h"
#include "app/view_state.h"
#include "edit/command_catalogue.h"
#include "edit/editor_session.h"

namespace {

std::optional<Rgb24> ClipboardColour() {
  return ParseColourText(QGuiApplication::clipboard()->text().toStdString());
}

}  // namespace

EditorCommands::EditorCommands(SkinDocument& document, ViewState& view, EditorContext& context,
                               std::function<MainWindow*()> window)
    : document_(document), view_(view), context_(context), window_(std::move(window)) {}

void EditorCommands::EditColour(const SkinField& field) {
  const Rgb24 before = std::get<Rgb24>(ReadField(document_.skin(), field));
  // Every colour tried shows on the preview at once; only OK makes a step.
  const Rgb24 chosen = context_.dialogs.EditColour(window_(), before, context_.texts, QString::fromStdString(field.Name()),
                                                   [&](Rgb24 shown) { document_.Preview(SetColour(field, shown)); });
  document_.EndPreview();
  document_.Apply(SetColour(field, chosen));
}

void EditorCommands::CopyColour(const SkinField& field) const {
  const Rgb24 colour = std::get<Rgb24>(ReadField(document_.skin(), field));
  QGuiApplication::clipboard()->setText(QString::fromStdString(FormatHexColour(colour)));
}

bool EditorCommands::ClipboardHoldsColour() const { return ClipboardColour().has_value(); }

bool EditorCommands::CanPasteColour(const SkinField& field) const {
  return ColourOnScreen(field.field->key, view_.screen()) && ClipboardHoldsColour();
}

void EditorCommands::PasteColour(const SkinField& field) {
  if (!CanPasteColour(field)) return;
  document_.Apply(SetColour(field, *ClipboardColour()));
}

void EditorCommands::ReplaceColour(Rgb15 colour) {
  const Rgb24 before = Rgb15ToRgb24(colour);
  const Rgb24 chosen =
      context_.dialogs.EditColour(window_(), before, context_.texts, QString::fromStdString(FormatSkinColour(before)),
                                  [&](Rgb24 shown) { document_.Preview(::ReplaceColour(colour, Rgb24ToRgb15(shown))); });
  document_.EndPreview();
  document_.Apply(::ReplaceColour(colour, Rgb24ToRgb15(chosen)));
}

void EditorCommands::Recolour() {
  const std::optional<RecolourChoice> chosen =
      context_.dialogs.Recolour(window_(), context_.texts, [this](const RecolourChoice& c) {
        document_.Preview(RecolourSkinChange(c.shift, c.scope));
      });
  document_.EndPreview();
  if (chosen) document_.Apply(RecolourSkinChange(chosen->shift, chosen->scope));
}

void EditorCommands::ShowProblem(int index) {
  const std::vector<Problem>& problems = document_.problems();
  if (index < 0 || index >= static_cast<int>(problems.size()) || !window_()) return;
  const Problem p = problems[std::size_t(index)];
  // The screen that shows the problem, else the one whose controls can mend it.
  RevealSubject(p.about, p.screen);
  if (p.line) window_()->ShowStatus(context_.texts.Text("LANG_STATUS_PROBLEM_LINE$").arg(*p.line));
}

void EditorCommands::RevealSubject(const ProblemSubject& subject, std::optional<int> screen) {
  if (!window_()) return;
  const PanelFocus focus = FocusOfProblem(subject, screen);
  if (focus.screen) view_.ChooseScreen(*focus.screen);
  window_()->RevealFocus(focus);
}

void EditorCommands::EditBackgroundColour() {
  const Rgb24 before = view_.background();
  const Rgb24 chosen = context_.dialogs.EditColour(window_(), before, context_.texts, QString(),
                                                   [this](Rgb24 shown) { view_.SetBackground(shown); });
  context_.settings.bgColor = static_cast<std::int32_t>(PackRgb24(chosen));
  view_.SetBackground(chosen);
}

void EditorCommands::ShowText(const QString& title, const QString& text) {
  context_.dialogs.ShowMessage(window_(), title, text);
}

void EditorCommands::ShowAbout() { context_.dialogs.ShowAbout(window_(), context_.texts); }
