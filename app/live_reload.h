// Live reload: the files of the open skin that changed on disk, as the
// watcher reports them, are read again by the core's rule
// (edit/disk_reload.h): what nothing unsaved stands in the way of is taken
// as one step of Undo; a file with unsaved changes, or an archive, goes to
// the reload bar's question first.
#pragma once

#include <QObject>
#include <QString>

#include "app/skin_watcher.h"
#include "edit/disk_reload.h"

class SkinDocument;
struct EditorContext;

class LiveReload : public QObject {
  Q_OBJECT
 public:
  LiveReload(SkinDocument& document, EditorContext& context, QObject* parent = nullptr);

  SkinWatcher& watcher() { return watcher_; }
  // The files that changed, as the watcher reports them.
  void ReloadFromDisk(const DiskChanges& changes);
  // The answer of the reload bar.
  void Answer(bool reload);
  // Asks again what is still waiting for an answer (a new window).
  void AskAgain();

 signals:
  void askReload(const QString& question);
  void questionDone();

 private:
  void DiskChangedElsewhere();
  // The watcher and the status bar follow what a reading or an answer did.
  void Follow(const DiskReload::Result& result);

  SkinDocument& document_;
  EditorContext& context_;
  SkinWatcher watcher_;
  DiskReload reload_;
};
