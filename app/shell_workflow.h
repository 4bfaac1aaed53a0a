// What the shell keeps for the designer's workflow: the skin as its folder or
// archive holds it, the watch on those files, the debounced skin check and
// its problems, and the reloads waiting for an answer in the reload bar.
#pragma once

#include <QTimer>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/disk_skin.h"
#include "app/shell.h"
#include "app/skin_watcher.h"

struct ShellWorkflow {
  DiskSkin disk;
  SkinWatcher watcher;
  // The check runs shortly after the last change: typing never waits for it.
  QTimer checkTimer;
  std::vector<Problem> problems;
  bool problemsShown = false;
  // Changes on disk held back until the user answers the reload bar.
  struct Pending {
    bool archive = false;
    std::optional<std::string> settings;  // the new bytes of uisettings.ini
    std::vector<std::pair<ImageId, Picture>> pictures;
    bool any() const { return archive || settings || !pictures.empty(); }
  } pending;
};
