// The colour dialog: one colour edited in the 5-bit channels of the skin
// format, as a hexadecimal text, with the system colour chooser, or with a
// screen eyedropper on the right mouse button. Every change is shown at once
// (previewed), so the editor can show it on the preview while the dialog
// is open.
#pragma once

#include <QColor>
#include <QDialog>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

#include "edit/colour_choice.h"
#include "skin/colour.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;
class LanguageTable;

// The per-event logic of the dialog: the core's rules (edit/colour_choice.h)
// in the toolkit's types.
class ColourDialogState {
 public:
  explicit ColourDialogState(Rgb24 input) : choice_(input) {}

  Rgb24 input() const { return choice_.input(); }
  Rgb24 current() const { return choice_.current(); }
  Rgb24 lastDisplayed() const { return choice_.lastDisplayed(); }

  // ColourChoice::FieldEdited, ChooserPicked, TextEntered and
  // EyedropperPixel; an invalid QColor (nothing chosen, nothing read)
  // changes nothing.
  QString FieldEdited(int channel, const QString& red, const QString& green, const QString& blue);
  void ChooserPicked(const QColor& chosen);
  bool TextEntered(const QString& text);
  void EyedropperPixel(const QColor& pixel);
  bool Refresh() { return choice_.Refresh(); }

  Rgb24 ResultOk() const { return choice_.ResultOk(); }
  Rgb24 ResultCancel() const { return choice_.ResultCancel(); }

  int r5() const { return choice_.r5(); }
  int g5() const { return choice_.g5(); }
  int b5() const { return choice_.b5(); }
  const ColourChoice& choice() const { return choice_; }

 private:
  ColourChoice choice_;
};

// The one 15-bit code the dialog shows: the colour as uisettings.ini writes
// it, "0x" and four lower-case hexadecimal digits of b5 * 1024 + g5 * 32 + r5
// (red low): pure red gives "0x001f", the code a paste of "0x001f" gives.
QString ColourDisplayCode(Rgb24 c);

// A channel field's text read as a number (the core's ParseChannelText).
long long ParseChannelText(const QString& text);

// Where the dialog gets the system colour chooser, the state of the right
// mouse button and the screen pixel under the pointer. The Qt implementation
// is the default; tests substitute their own.
struct ColourPickerHost {
  virtual ~ColourPickerHost() = default;
  // The chosen colour, or nothing when the user cancelled.
  virtual std::optional<QColor> SystemChooser(QWidget* parent, const QColor& initial) = 0;
  virtual bool RightButtonDown() = 0;
  // An invalid colour when the screen cannot be read.
  virtual QColor PixelUnderPointer() = 0;
};
ColourPickerHost& QtColourPickerHost();

// A 0..31 number field: a line edit that takes any text, with up and down
// arrows beside it. The dialog decides what the text means.
class ChannelField : public QWidget {
  Q_OBJECT
 public:
  ChannelField(const QString& objectName, QWidget* parent);
  QString text() const;
  // Rewrites the text only when it differs, so the cursor stays put while
  // the user types a value the dialog accepts unchanged.
  void setText(const QString& text);

 signals:
  // The user changed the text, by typing or with the arrows.
  void edited();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Step(int delta);

  QLineEdit* edit_;
  QToolButton* up_;
  QToolButton* down_;
};

class ColourDialog : public QDialog {
  Q_OBJECT
 public:
  // `name`: the colour being edited, for the title ("formFrameColor"); empty
  // for a colour of the editor's own.
  ColourDialog(QWidget* owner, Rgb24 input, const LanguageTable& texts, ColourPickerHost& host,
               const QString& name = QString());

  const ColourDialogState& state() const { return state_; }
  // What the dialog returns: the colour last displayed after OK, the input
  // otherwise.
  Rgb24 chosenColour() const { return result_; }
  bool picking() const { return picking_; }

  // One pass of the eyedropper while it picks: the pixel under the pointer
  // while the right button is held, then the refresh of the display. A
  // timer calls it every millisecond while picking, and never otherwise.
  void Poll();

  // Escape and a close request are Cancel.
  void reject() override;

 signals:
  // The colour now displayed, whenever it changes.
  void previewed(Rgb24 colour);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FieldEdited(int channel);
  void TextEdited();
  void OpenChooser();
  void Finish(bool ok);
  void StartPicking();
  void StopPicking();
  // editedChannel is the field the user is typing in (3: the text field), or -1.
  void RefreshView(int editedChannel = -1);
  void PaintSwatch();
  void ShowFields(int editedChannel = -1);

  ColourDialogState state_;
  Rgb24 result_;
  ColourPickerHost& host_;
  bool done_ = false;
  bool picking_ = false;
  QTimer* poll_;
  QLabel* swatch_;
  QLineEdit* inputCode_;
  QLineEdit* newCode_;
  QLabel* inputHex_;
  QLabel* newHex_;
  QLineEdit* text_;
  ChannelField* fields_[3];
  QPushButton* chooser_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

// Modal: the owner is disabled while the dialog is open. Returns the colour
// last displayed on OK, the input on Cancel. `preview`, when given, hears
// every colour displayed while it is open.
Rgb24 RunColourDialog(QWidget* owner, Rgb24 input, const LanguageTable& texts,
                      ColourPickerHost& host = QtColourPickerHost(), const QString& name = QString(),
                      const std::function<void(Rgb24)>& preview = {});
