#include "app/editor_context.h"

#include "images/skin_io.h"

OperationFeedback EditorContext::Run(const std::function<void(SkinIoContext&)>& operation) const {
  OperationFeedback feedback(progress);
  const MessageTexts messages = MessageTextsOf(texts);
  SkinIoContext ctx{feedback, messages};
  operation(ctx);
  return feedback;
}

void EditorContext::ShowMessages(const OperationFeedback& feedback) const {
  ShowMessages(feedback.lines(), texts.Text("LANG_ERROR$"));
}

void EditorContext::ShowMessages(const QStringList& lines, const QString& title) const {
  if (lines.isEmpty()) return;
  dialogs.ShowMessage(window, title, MessageSummary(lines, texts),
                      lines.size() > kSummaryLines ? lines.join(QLatin1Char('\n')) : QString());
}
