// What one open, save or import tells the user: its messages are collected
// and shown together in one message box when it is over, and its progress
// moves the progress bar while it runs.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "edit/picture_import.h"
#include "images/feedback.h"

class LanguageTable;

class OperationFeedback : public Feedback {
 public:
  explicit OperationFeedback(std::function<void(int)> progress) : progress_(std::move(progress)) {}

  void ShowError(const std::string& body) override;
  void Report(const Message& message, const std::string& body) override;
  // Notes are no failures: they are kept apart, for the status bar.
  void Note(const Message& message, const std::string& body) override;
  void SetProgress(int value) override {
    if (progress_) progress_(value);
  }

  const QStringList& lines() const { return lines_; }
  const QStringList& notes() const { return notes_; }
  const std::vector<Message>& messages() const { return messages_; }
  int Count(MessageKind kind) const;
  // Whether an opening read nothing at all: no settings file, or one that
  // could not be read (too large, not a file, no permission, damaged or
  // encrypted in its archive).
  bool NothingOpened() const;

 private:
  std::function<void(int)> progress_;
  QStringList lines_, notes_;
  std::vector<Message> messages_;
};

// The message texts of the core in the interface language.
MessageTexts MessageTextsOf(const LanguageTable& texts);

// The body of the one message box: the first few lines, and a line saying how
// many more there are in the details (the core's rule, edit/picture_import.h).
QString MessageSummary(const QStringList& lines, const LanguageTable& texts);
