#include "app/recovery.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "app/ini_text.h"
#include "app/qt_text.h"
#include "check/check.h"
#include "images/archive_writer.h"
#include "images/defaults.h"
#include "images/file_io.h"
#include "images/skin_io.h"
#include "skin/settings_file.h"

namespace {

// An edit waits this long for the next before the journal is written, and
// edits that keep coming wait at most the longest delay.
constexpr int kQuietMs = 1000;
constexpr int kLongestDelayMs = 5000;

const QString kGroup = QStringLiteral("journal");

// What the system says of a process: its state, and when it started (clock
// ticks after boot), so that a process id used again by another program is
// not taken for the editor that wrote a journal; nothing where it does not tell.
struct ProcessInfo {
  char state = '?';
  long long start = 0;
};

std::optional<ProcessInfo> InfoOf(long long pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(in, line)) return std::nullopt;
  // The name in parentheses may hold blanks; the fields after it do not.
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos || close + 2 >= line.size()) return std::nullopt;
  std::istringstream fields(line.substr(close + 2));
  ProcessInfo info;
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
    if (i == 3) info.state = field[0];
    if (i == 22) info.start = std::stoll(field);
  }
  return info;
}

bool StillRuns(long long pid, long long started) {
  if (pid <= 0) return false;
  if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return false;
  const std::optional<ProcessInfo> info = InfoOf(pid);
  if (!info) return true;
  // Killed, it may linger a moment as a zombie until its parent hears of it.
  if (info->state == 'Z' || info->state == 'X') return false;
  return started == 0 || info->start == started;
}

QString KindName(SkinOrigin::Kind kind) {
  switch (kind) {
    case SkinOrigin::Kind::Folder: return QStringLiteral("folder");
    case SkinOrigin::Kind::Archive: return QStringLiteral("archive");
    case SkinOrigin::Kind::BuiltIn: break;
  }
  return QStringLiteral("built-in");
}

SkinOrigin::Kind KindOf(const QString& name) {
  if (name == QLatin1String("folder")) return SkinOrigin::Kind::Folder;
  if (name == QLatin1String("archive")) return SkinOrigin::Kind::Archive;
  return SkinOrigin::Kind::BuiltIn;
}

QByteArray FormatManifest(const SkinOrigin& origin, const QString& lastUpdate, const QDateTime& time) {
  static const long long started = InfoOf(::getpid()).value_or(ProcessInfo{}).start;
  const auto line = [](const char* key, const QString& value) { return QByteArray(key) + " = " + value.toUtf8() + "\r\n"; };
  return "\xEF\xBB\xBF[journal]\r\n" + line("pid", QString::number(::getpid())) +
         line("started", QString::number(started)) + line("time", time.toUTC().toString(Qt::ISODate)) +
         line("kind", KindName(origin.kind)) + line("origin", origin.path) + line("saveTarget", origin.saveTarget) +
         line("lastUpdate", lastUpdate);
}

}  // namespace

std::optional<Skin> Journal::Read() const {
  Skin skin;
  ResetSkinToDefaults(skin);
  MessageCollector messages;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{messages, texts};
  OpenSkinArchive(skin, Local(archive), ctx);
  if (std::any_of(messages.messages.begin(), messages.messages.end(), IsSettingsFailure)) return std::nullopt;
  skin.info.LastUpdate = lastUpdate.toLatin1().toStdString();
  return skin;
}

void Journal::Remove() const {
  QFile::remove(manifest);
  QFile::remove(archive);
}

RecoveryJournal::RecoveryJournal(SkinDocument& document, QString folder, QObject* parent)
    : QObject(parent), document_(document), folder_(std::move(folder)) {
  delay_.setSingleShot(true);
  delay_.setInterval(kQuietMs);
  connect(&delay_, &QTimer::timeout, this, &RecoveryJournal::Post);
  connect(&document, &SkinDocument::skinChanged, this, &RecoveryJournal::Schedule);
  connect(&document, &SkinDocument::originChanged, this, &RecoveryJournal::Schedule);
  connect(&document, &SkinDocument::cleanChanged, this, &RecoveryJournal::Schedule);
  worker_ = std::thread([this] { Work(); });
}

RecoveryJournal::~RecoveryJournal() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

QString RecoveryJournal::ArchivePath() const { return QDir(folder_).filePath(QStringLiteral("%1.zip").arg(::getpid())); }
QString RecoveryJournal::ManifestPath() const { return QDir(folder_).filePath(QStringLiteral("%1.ini").arg(::getpid())); }

void RecoveryJournal::Schedule() {
  if (!document_.modified()) {
    // Saved, discarded, or undone back to what is saved: nothing to recover.
    Remove();
    return;
  }
  const QDateTime now = QDateTime::currentDateTimeUtc();
  if (!firstPending_.isValid()) firstPending_ = now;
  if (firstPending_.msecsTo(now) >= kLongestDelayMs) Post();
  else delay_.start();
}

RecoveryJournal::Job RecoveryJournal::MakeJob() const {
  // The copy is taken here; the worker encodes it while the user goes on.
  Job job{std::make_shared<Skin>(document_.skin()), {}};
  job.manifest = FormatManifest(document_.origin(), Latin1(document_.skin().info.LastUpdate),
                                QDateTime::currentDateTimeUtc());
  return job;
}

void RecoveryJournal::Post() {
  delay_.stop();
  firstPending_ = QDateTime();
  if (!document_.modified()) return;
  Job job = MakeJob();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queued_ = std::move(job);  // a write not begun yet gives way to the newer one
  }
  wake_.notify_all();
}

void RecoveryJournal::Write(Job& job) const {
  QDir().mkpath(folder_);
  Skin& skin = *job.skin;
  const DateTime stamp{2000, 1, 1, 0, 0, 0};  // the skin's own LastUpdate goes in the manifest
  const std::vector<SkinFile> files = EncodeSkinFiles(skin, TypedInfoOf(skin), stamp);
  // The archive first, then the manifest that names it: a journal is whole
  // once its manifest is there.
  if (!ReplaceFile(Local(ArchivePath()), EncodeSkinArchive(files, "journal", stamp))) return;
  ReplaceFile(Local(ManifestPath()), std::string_view(job.manifest.constData(), std::size_t(job.manifest.size())));
}

void RecoveryJournal::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || queued_; });
    if (stop_) return;
    Job job = std::move(*queued_);
    queued_.reset();
    busy_ = true;
    lock.unlock();
    Write(job);
    lock.lock();
    busy_ = false;
    idle_.notify_all();
    QMetaObject::invokeMethod(this, [this] { emit written(); }, Qt::QueuedConnection);
  }
}

void RecoveryJournal::Remove() {
  delay_.stop();
  firstPending_ = QDateTime();
  {
    // A write under way finishes first, so that nothing comes back after.
    std::unique_lock<std::mutex> lock(mutex_);
    queued_.reset();
    idle_.wait(lock, [this] { return !busy_; });
  }
  QFile::remove(ManifestPath());
  QFile::remove(ArchivePath());
}

void RecoveryJournal::WriteNow() {
  if (!document_.modified()) {
    Remove();
    return;
  }
  delay_.stop();
  firstPending_ = QDateTime();
  Job job = MakeJob();
  {
    std::unique_lock<std::mutex> lock(mutex_);
    queued_.reset();
    idle_.wait(lock, [this] { return !busy_; });
  }
  Write(job);
}

std::vector<Journal> RecoveryJournal::Orphans() const {
  std::vector<Journal> found;
  const QDir dir(folder_);
  for (const QString& name : dir.entryList({QStringLiteral("*.ini")}, QDir::Files)) {
    Journal j;
    j.manifest = dir.filePath(name);
    j.archive = dir.filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".zip"));
    QFile f(j.manifest);
    if (!f.open(QIODevice::ReadOnly) || f.size() > 64 * 1024) continue;
    const IniText ini = IniText::Parse(f.readAll());
    const auto value = [&](const char* key) { return ini.Value(kGroup, QString::fromLatin1(key)).value_or(QString()); };
    j.pid = IniText::ToInteger(value("pid"));
    if (j.pid == ::getpid() || StillRuns(j.pid, IniText::ToInteger(value("started")))) continue;
    if (!QFileInfo(j.archive).isFile()) {
      // A manifest whose archive is gone holds nothing to offer.
      QFile::remove(j.manifest);
      continue;
    }
    j.time = QDateTime::fromString(value("time"), Qt::ISODate);
    j.origin.kind = KindOf(value("kind"));
    j.origin.path = value("origin");
    j.origin.saveTarget = value("saveTarget");
    j.lastUpdate = value("lastUpdate");
    found.push_back(std::move(j));
  }
  std::sort(found.begin(), found.end(), [](const Journal& a, const Journal& b) { return a.time < b.time; });
  return found;
}
