// Scripted answers for the editor's dialogs, and a record of what was asked.
#pragma once

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>

#include "app/colour_dialog.h"
#include "app/dialogs.h"
#include "app/fit_dialog.h"
#include "app/recolour_dialog.h"

struct FakeDialogs : Dialogs {
  struct Request {
    QString kind, title, start;
    QList<FileFilter> filters;
    int selected = 0;
  };
  QQueue<QString> answers;       // folder and file choosers, in order; "" = cancelled
  QQueue<int> filterAnswers;     // the filter in force when a save chooser closes
  QQueue<Rgb24> colourAnswers;   // the colour dialog's result
  QList<Request> requests;
  QList<QPair<QString, QString>> messages;  // title, body
  QStringList details;                      // the details of each message
  QQueue<UnsavedChoice> unsavedAnswers;     // the question about unsaved changes; none left: Cancel
  QQueue<bool> restoreAnswers;              // the question about a journal; none left: Restore
  QStringList questions;
  QImage clipboard;
  int aboutShown = 0;

  QString Next() { return answers.isEmpty() ? QString() : answers.dequeue(); }

  QString ChooseFolder(QWidget*, const QString& title, const QString& start) override {
    requests.push_back({QStringLiteral("folder"), title, start, {}, 0});
    return Next();
  }
  QString ChooseOpenFile(QWidget*, const QString& title, const QString& startFile, const QList<FileFilter>& filters,
                         int selected) override {
    requests.push_back({QStringLiteral("open"), title, startFile, filters, selected});
    return Next();
  }
  QString ChooseSaveFile(QWidget*, const QString& title, const QString& startFolder, const QList<FileFilter>& filters,
                         int& filterIndex) override {
    requests.push_back({QStringLiteral("save"), title, startFolder, filters, filterIndex});
    if (!filterAnswers.isEmpty()) filterIndex = filterAnswers.dequeue();
    return Next();
  }
  void ShowMessage(QWidget*, const QString& title, const QString& body, const QString& more) override {
    messages.push_back({title, body});
    details.push_back(more);
  }
  UnsavedChoice AskSaveChanges(QWidget*, const QString& question, const LanguageTable&) override {
    questions.push_back(question);
    return unsavedAnswers.isEmpty() ? UnsavedChoice::Cancel : unsavedAnswers.dequeue();
  }
  QQueue<bool> proceedAnswers;  // AskProceed; none left: Cancel
  QStringList proceedDetails;
  bool AskProceed(QWidget*, const QString& question, const QString& more, const QString&,
                  const LanguageTable&) override {
    questions.push_back(question);
    proceedDetails.push_back(more);
    return !proceedAnswers.isEmpty() && proceedAnswers.dequeue();
  }
  bool AskRestore(QWidget*, const QString& question, const LanguageTable&) override {
    questions.push_back(question);
    return restoreAnswers.isEmpty() || restoreAnswers.dequeue();
  }
  // Each colour of `colourPreviews` is shown while the dialog is open, then
  // the answer is given; the preview sees what the skin looked like meanwhile.
  QList<Rgb24> colourPreviews;
  std::function<void()> whileOpen;
  // The real colour dialog instead, modal over the window.
  bool realColourDialog = false;
  Rgb24 EditColour(QWidget* parent, Rgb24 input, const LanguageTable& texts, const QString& name,
                   const std::function<void(Rgb24)>& preview) override {
    requests.push_back({QStringLiteral("colour"), name, {}, {}, 0});
    if (realColourDialog) return RunColourDialog(parent, input, texts, QtColourPickerHost(), name, preview);
    if (preview) {
      for (const Rgb24 c : colourPreviews) preview(c);
    }
    if (whileOpen) whileOpen();
    return colourAnswers.isEmpty() ? input : colourAnswers.dequeue();
  }
  void ShowAbout(QWidget*, const LanguageTable&) override { ++aboutShown; }
  // The fit question: the answers in order (none left: Keep), what was asked.
  QQueue<std::optional<FitMode>> fitAnswers;
  QList<FitQuestion> fitQuestions;
  std::optional<FitMode> AskFit(QWidget*, const FitQuestion& question, const LanguageTable&) override {
    fitQuestions.push_back(question);
    return fitAnswers.isEmpty() ? std::optional(FitMode::Keep) : fitAnswers.dequeue();
  }
  // The recolour dialog shows each of `recolourPreviews`, then answers.
  QList<RecolourChoice> recolourPreviews;
  QQueue<std::optional<RecolourChoice>> recolourAnswers;
  std::optional<RecolourChoice> Recolour(QWidget*, const LanguageTable&,
                                         const std::function<void(const RecolourChoice&)>& preview) override {
    for (const RecolourChoice& c : recolourPreviews) preview(c);
    if (whileOpen) whileOpen();
    return recolourAnswers.isEmpty() ? std::nullopt : recolourAnswers.dequeue();
  }
  void CopyToClipboard(const QImage& image) override { clipboard = image; }
};
