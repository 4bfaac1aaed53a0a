#include "app/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

QString WithSeparator(const QString& folder) {
  return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString FolderOf(const QString& filePath) {
  const int slash = filePath.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : filePath.left(slash + 1);
}

bool IsSkinArchive(const QString& path) {
  return path.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive) && !QFileInfo(path).isDir();
}

QString SkinNameOf(const QString& skinPath) {
  QString path = skinPath;
  while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
  const QString name = QFileInfo(path).fileName();
  return IsSkinArchive(path) ? name.left(name.size() - 4) : name;
}

QString ShellPaths::RecentFile() const { return QFileInfo(settingsFile).dir().filePath(QStringLiteral("recent.ini")); }
QString ShellPaths::ViewFile() const { return QFileInfo(settingsFile).dir().filePath(QStringLiteral("view.ini")); }

namespace {

// Whether `path` lies in `folder` or below it.
bool Within(const QString& path, const QString& folder) {
  if (path.isEmpty() || folder.isEmpty()) return false;
  const QString relative = QDir(folder).relativeFilePath(path);
  return !relative.startsWith(QLatin1String("..")) && !QDir::isAbsolutePath(relative);
}

QString InstalledLanguageDir() {
  const QString program = QCoreApplication::applicationDirPath();
  QStringList candidates = {
      QDir(program).filePath(QStringLiteral("language")),
      QDir(program).filePath(QStringLiteral("../share/skinedit/language")),
  };
  // A program run from the folder it was built in takes the files of its source tree.
  if (Within(QFileInfo(program).canonicalFilePath(), QFileInfo(QStringLiteral(SKIN_BUILD_DIR)).canonicalFilePath())) {
    candidates << QStringLiteral(SKIN_SOURCE_DIR "/language");
  }
  candidates << QStringLiteral(SKIN_DATA_DIR "/language");
  for (const QString& dir : candidates) {
    if (QFileInfo(dir).isDir()) return QDir::cleanPath(dir);
  }
  return candidates.back();
}

}  // namespace

ShellPaths FindShellPaths() {
  const QString recovery =
      QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).filePath(QStringLiteral("recovery"));
  const QDir here = QDir::current();
  const bool portable = QFileInfo(here.filePath(QStringLiteral("settings"))).isDir() ||
                        QFileInfo(here.filePath(QStringLiteral("language"))).isDir();
  if (portable) {
    const QString language = here.filePath(QStringLiteral("language"));
    return {here.filePath(QStringLiteral("settings/settings.ini")),
            QFileInfo(language).isDir() ? language : InstalledLanguageDir(), recovery};
  }
  const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  return {QDir(config).filePath(QStringLiteral("settings.ini")), InstalledLanguageDir(), recovery};
}
