#include "app/operation_feedback.h"

#include <algorithm>

#include "app/language.h"

void OperationFeedback::ShowError(const std::string& body) {
  lines_ << QString::fromUtf8(body.data(), static_cast<int>(body.size()));
}

void OperationFeedback::Report(const Message& message, const std::string& body) {
  messages_.push_back(message);
  ShowError(body);
}

void OperationFeedback::Note(const Message&, const std::string& body) {
  notes_ << QString::fromUtf8(body.data(), static_cast<int>(body.size()));
}

int OperationFeedback::Count(MessageKind kind) const {
  return static_cast<int>(
      std::count_if(messages_.begin(), messages_.end(), [kind](const Message& m) { return m.kind == kind; }));
}

bool OperationFeedback::NothingOpened() const {
  return std::any_of(messages_.begin(), messages_.end(), IsSettingsFailure);
}

MessageTexts MessageTextsOf(const LanguageTable& texts) { return texts.texts().Messages(); }

QString MessageSummary(const QStringList& lines, const LanguageTable& texts) {
  std::vector<std::string> all;
  for (const QString& line : lines) all.push_back(line.toStdString());
  return QString::fromStdString(MessageSummary(all, texts.texts()));
}
