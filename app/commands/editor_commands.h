// The commands that are not about files: a colour edited in the colour
// dialog, copied, pasted, or replaced everywhere; the skin recoloured; the
// way to a problem's control; the colour around the preview; the about box.
// Each shows what is tried live on the preview and makes one step of Undo.
#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "check/problem.h"
#include "edit/skin_field.h"
#include "skin/colour.h"

class MainWindow;
class SkinDocument;
class ViewState;
struct EditorContext;

class EditorCommands {
 public:
  // `window`: the window of the moment, which parents the dialogs and
  // reveals the panel's controls.
  EditorCommands(SkinDocument& document, ViewState& view, EditorContext& context, std::function<MainWindow*()> window);

  // The colour dialog on a colour of the skin; OK is one step of Undo.
  void EditColour(const SkinField& field);
  // As #rrggbb, to the clipboard; from the clipboard (#rrggbb, rrggbb or
  // 0xBBBB), one step of Undo. Only a colour of the screen shown takes a
  // paste, as only its button takes a click.
  void CopyColour(const SkinField& field) const;
  void PasteColour(const SkinField& field);
  bool CanPasteColour(const SkinField& field) const;
  bool ClipboardHoldsColour() const;
  // The palette's Replace colour: the colour dialog, previewed live, then
  // every use of `colour` in one step.
  void ReplaceColour(Rgb15 colour);
  // Skin > Recolour: previewed live, one step of Undo on OK.
  void Recolour();
  // A problem chosen in the list: its screen and the control concerned.
  void ShowProblem(int index);
  // The screen (the one given, else one whose controls edit it) and the
  // control of a field, a section or a picture.
  void RevealSubject(const ProblemSubject& subject, std::optional<int> screen = std::nullopt);
  // The colour around the preview, kept in the settings.
  void EditBackgroundColour();
  void ShowAbout();
  // A text in a box of its own (the keyboard shortcuts).
  void ShowText(const QString& title, const QString& text);

 private:
  SkinDocument& document_;
  ViewState& view_;
  EditorContext& context_;
  std::function<MainWindow*()> window_;
};
