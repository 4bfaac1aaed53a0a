// The tab panel beside the preview: colours, images, elements, information.
// Every control is built from the tables of panel_tables.h; only the
// controls of the current preview screen are enabled. The panel reports what
// the user did and shows the skin it is given; it never changes the skin.
#pragma once

#include <QHash>
#include <QTabWidget>
#include <QVector>

#include <array>
#include <functional>
#include <string_view>
#include <utility>

#include "edit/skin_field.h"
#include "preview/render.h"
#include "skin/catalogue.h"
#include "skin/skin.h"

class CommandTable;
class LanguageTable;
struct CommandTarget;
class QAbstractButton;
class SkinDocument;
class ViewState;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class EditorPanel : public QTabWidget {
  Q_OBJECT
 public:
  // Builds every control with the current texts, in the state of screen 0.
  EditorPanel(QWidget* parent, const LanguageTable& texts);

  // Shows the document's skin, and the controls of the view's screen, now
  // and after every change.
  void Follow(const SkinDocument& document, const ViewState& view);
  // What a colour button, an image button and their context menus and keys
  // ask for: the editor's commands (edit, copy and paste a colour, import a
  // picture) about that colour or picture.
  void UseCommands(const CommandTable* commands) { commands_ = commands; }

  // Shows the skin's values in the controls (colour swatches, check boxes,
  // number fields, information boxes), without reporting them as edits. A
  // control that already shows its value is left alone, so the caret of a
  // box being typed in stays where it is.
  void SyncControls(const Skin& skin);

  // Enables the controls of `screen` and disables all others.
  void SetScreen(int screen);

  // Brings the control that edits a colour field, a picture or an element
  // record into view: its tab becomes current and it takes the keyboard focus
  // (a greyed control cannot take it, but is shown all the same). Returns the
  // control, or nullptr when nothing in the panel edits it. An element record
  // is named by its section ("[start bar]"); its row's first control is
  // shown. The information texts are fields too ("[SkinInfo]" "Title").
  QWidget* RevealField(const SkinField& field);
  QWidget* RevealImage(ImageId image);
  QWidget* RevealElement(std::string_view section);

  // The controls of an element row, in the order label, X, Y, W.
  QVector<QWidget*> ElementRowControls(std::string_view section) const;

 signals:
  void numberEdited(SkinField field, int value);
  void flagToggled(SkinField field, bool on);
  void textEdited(SkinField field, const QString& text);
  // The pointer came onto a colour button, an image button or a control of
  // an element row ("[start bar]"), or left it: the preview shows what it draws.
  void colourHovered(SkinField field);
  void imageHovered(ImageId image);
  void elementHovered(const QString& section);
  void hoverEnded();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildColoursPage(const LanguageTable& texts);
  QWidget* BuildImagesPage(const LanguageTable& texts);
  QWidget* BuildElementsPage(const LanguageTable& texts);
  QWidget* BuildInformationPage(const LanguageTable& texts);
  // Registers a control of `screen` with the tooltip saying what it edits.
  void AddControl(QWidget* control, int screen, const QString& tip);
  QWidget* Reveal(QWidget* control);
  void ShowThumbnails(const Skin& skin, const struct SkinChange& change);
  // Copy colour and Paste colour, on a colour button.
  void Run(const char* command, const CommandTarget& target) const;
  void ShowColourMenu(int index, QPoint at);
  // Reports the pointer coming onto `control` by `entered`, leaving it by hoverEnded.
  void WatchHover(QWidget* control, std::function<void()> entered);

  QStringList screenNames_;
  QString screenTip_;
  struct Tip {
    QWidget* control;
    QString text;
    int screen;
  };
  QVector<Tip> tips_;
  struct BoundColour {
    QPushButton* button;
    SkinField field;
    Rgb24 shown{};  // the colour its swatch shows
  };
  const CommandTable* commands_ = nullptr;
  struct BoundCheck {
    QCheckBox* box;
    SkinField field;
  };
  struct BoundNumber {
    QSpinBox* box;
    SkinField field;
  };
  struct BoundText {
    QLineEdit* box;
    SkinField field;
  };
  QVector<BoundColour> colours_;
  QVector<BoundCheck> checks_;
  QVector<BoundNumber> numbers_;
  QVector<BoundText> info_;
  struct ElementRow {
    std::string_view section;
    QVector<QWidget*> controls;
  };
  QVector<ElementRow> elementRows_;
  QVector<std::pair<ImageId, QWidget*>> images_;
  QHash<const QObject*, std::function<void()>> hoverEntered_;
  bool syncing_ = false;
};
