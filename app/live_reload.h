// Live reload: the files of the open skin that changed on disk are read
// again into the document, each reload one step of Undo; where the document
// holds unsaved changes to a changed file, the question goes to the reload
// bar first. An archive is read whole, so it is always offered, never taken
// behind the user's back.
#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/skin_watcher.h"
#include "skin/picture.h"

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
  struct ReadAgain;
  void ReloadFolderFiles(const DiskChanges& changes);
  void ReadSettingsAgain(const std::string& folder, ReadAgain& read);
  void ReadPictureAgain(const std::string& folder, ImageId id, ReadAgain& read);
  void ReopenArchive();
  void DiskChangedElsewhere();

  SkinDocument& document_;
  EditorContext& context_;
  SkinWatcher watcher_;
  bool updating_ = false;  // the disk state changes by our own hand
  // Changes on disk held back until the user answers the reload bar.
  struct Pending {
    bool archive = false;
    std::optional<std::string> settings;  // the new bytes of uisettings.ini
    std::vector<std::pair<ImageId, Picture>> pictures;
    bool any() const { return archive || settings || !pictures.empty(); }
  } pending_;
  // The files of the question: the archive's name, or uisettings.ini and the pictures.
  QString PendingNames(const Pending& pending) const;
};
