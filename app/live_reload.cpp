#include "app/live_reload.h"

#include "app/editor_context.h"
#include "app/qt_text.h"
#include "app/skin_document.h"

LiveReload::LiveReload(SkinDocument& document, EditorContext& context, QObject* parent)
    : QObject(parent), document_(document), context_(context), reload_(document) {
  connect(&watcher_, &SkinWatcher::changed, this, &LiveReload::ReloadFromDisk);
  connect(&document, &SkinDocument::originChanged, this, [this] { watcher_.Watch(FromLocal(document_.origin().path)); });
  connect(&document, &SkinDocument::diskChanged, this, [this] {
    if (!reload_.updating()) DiskChangedElsewhere();
  });
  watcher_.Watch(FromLocal(document.origin().path));
}

void LiveReload::DiskChangedElsewhere() {
  // Opened anew or saved: what is on disk now is the editor's own, and
  // nothing read before waits for an answer any more.
  watcher_.Resync();
  reload_.Forget();
  emit questionDone();
}

void LiveReload::Follow(const DiskReload::Result& result) {
  // A picture that did not decode is read again at the next change.
  for (const ImageId id : result.retry) watcher_.Retry(id);
  if (result.retryArchive) watcher_.RetryArchive();
  if (!result.status.empty()) context_.ShowStatus(FromLocal(result.status));
}

void LiveReload::ReloadFromDisk(const DiskChanges& changes) {
  // A folder's files while the watcher watches an archive are none of the skin's.
  if (!changes.archive && watcher_.archive()) return;
  const DiskReload::Result result = reload_.Changed(changes, context_.texts.texts());
  Follow(result);
  if (result.ask) AskAgain();
}

void LiveReload::AskAgain() {
  const std::string question = reload_.Question(context_.texts.texts());
  if (!question.empty()) emit askReload(FromLocal(question));
}

void LiveReload::Answer(bool reload) {
  const bool waiting = reload_.waiting();
  DiskReload::Result result;
  const OperationFeedback feedback =
      context_.Run([&](SkinIoContext& ctx) { result = reload_.Answer(reload, context_.texts.texts(), ctx); });
  emit questionDone();
  if (!waiting) return;
  Follow(result);
  if (result.reopened) context_.ShowMessages(feedback);
}
