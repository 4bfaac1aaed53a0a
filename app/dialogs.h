// The standard dialogs the editor uses, behind one interface so that the
// shell can be driven by tests with scripted answers.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "images/fit.h"
#include "skin/colour.h"

class QWidget;
class LanguageTable;
struct FitQuestion;
struct RecolourChoice;

// A filter entry as the editor describes it: a label and its patterns
// separated by ';' ("Bitmap (*.bmp)", "*.bmp;*.png;*.jpg").
struct FileFilter {
  QString label, patterns;
};

// The answer to the question asked before unsaved changes would be lost.
enum class UnsavedChoice { Save, Discard, Cancel };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // An empty result means cancelled.
  virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) = 0;
  virtual QString ChooseOpenFile(QWidget* parent, const QString& title, const QString& startFile,
                                 const QList<FileFilter>& filters, int selected) = 0;
  // `filterIndex` comes in as the preselected entry and goes out as the entry in force.
  virtual QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& startFolder,
                                 const QList<FileFilter>& filters, int& filterIndex) = 0;
  // One message box with one OK button; `details`, when given, is the whole
  // list behind a details button.
  virtual void ShowMessage(QWidget* parent, const QString& title, const QString& body,
                           const QString& details = QString()) = 0;
  // The same box for a report that is no failure (an information icon).
  virtual void ShowReport(QWidget* parent, const QString& title, const QString& body, const QString& details) {
    ShowMessage(parent, title, body, details);
  }
  // Save, Discard or Cancel, with the button texts of the language.
  virtual UnsavedChoice AskSaveChanges(QWidget* parent, const QString& question, const LanguageTable& texts) = 0;
  // A question before something is written that the user may not expect
  // (files outside the skin, files another program changed): true when the
  // user chose `proceed`; Cancel is the default. `details`, when given, lists
  // the files behind a details button.
  virtual bool AskProceed(QWidget* parent, const QString& question, const QString& details, const QString& proceed,
                          const LanguageTable& texts) = 0;
  // Restore (true; the default, taken by Enter) or Discard the unsaved
  // changes an editor that died left behind.
  virtual bool AskRestore(QWidget* parent, const QString& question, const LanguageTable& texts) = 0;
  // The colour dialog on `name` ("formFrameColor"; empty for a colour of the
  // editor's own): the colour to store (the input when cancelled).
  // `preview` hears every colour shown while the dialog is open.
  virtual Rgb24 EditColour(QWidget* parent, Rgb24 input, const LanguageTable& texts, const QString& name = QString(),
                           const std::function<void(Rgb24)>& preview = {}) = 0;
  virtual void ShowAbout(QWidget* parent, const LanguageTable& texts) = 0;
  // An imported picture's size differs from the skin's: Fit, Stretch or
  // Keep; nothing when the import is cancelled.
  virtual std::optional<FitMode> AskFit(QWidget* parent, const FitQuestion& question, const LanguageTable& texts) = 0;
  // The recolour dialog: the choice after OK, nothing after Cancel.
  // `preview` hears every choice shown while it is open.
  virtual std::optional<RecolourChoice> Recolour(QWidget* parent, const LanguageTable& texts,
                                                 const std::function<void(const RecolourChoice&)>& preview) = 0;
  virtual void CopyToClipboard(const QImage& image) = 0;
};

// The real dialogs of the desktop.
Dialogs& QtDialogs();
