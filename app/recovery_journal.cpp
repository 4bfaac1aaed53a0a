#include "app/recovery_journal.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "app/qt_text.h"
#include "check/check.h"
#include "edit/editor_session.h"
#include "edit/journal.h"
#include "images/archive_writer.h"
#include "images/defaults.h"
#include "images/skin_io.h"
#include "platform/file_io.h"
#include "skin/settings_file.h"

namespace {


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
    if (i == 22) info.start = std::atoll(field.c_str());
  }
  return info;
}

long long OwnStart() {
  static const long long started = InfoOf(::getpid()).value_or(ProcessInfo{}).start;
  return started;
}

// For a journal of an editor that kept no lock file: whether the process
// that wrote it still runs. This very process is another editor than the
// one that wrote it unless it also started at the same moment.
bool StillRuns(long long pid, long long started) {
  if (pid <= 0) return false;
  if (pid == ::getpid()) return started != 0 && started == OwnStart();
  if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return false;
  const std::optional<ProcessInfo> info = InfoOf(pid);
  if (!info) return true;
  // Killed, it may linger a moment as a zombie until its parent hears of it.
  if (info->state == 'Z' || info->state == 'X') return false;
  return started == 0 || info->start == started;
}

DateTime UtcOf(const QDateTime& time) {
  const QDateTime t = time.toUTC();
  return {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(), t.time().second()};
}

QDateTime FromUtc(const DateTime& t) {
  return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, std::min(t.second, 59)), Qt::UTC);
}

// Only a regular file of our own: a link or anything else in the folder is
// nobody's journal.
bool IsPlainFile(const QString& path) {
  struct stat st {};
  return ::lstat(Local(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::unique_ptr<JournalLock> JournalLock::Take(const QString& path, bool* fresh) {
  const std::string local = Local(path);
  int fd = ::open(local.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  const bool made = fd < 0 && errno == ENOENT;
  if (made) fd = ::open(local.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fresh) *fresh = made;
  if (fd < 0) return nullptr;
  struct stat opened {}, named {};
  // The lock of a file that was removed and made again in between is no lock.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) ||
      ::lstat(local.c_str(), &named) != 0 || named.st_ino != opened.st_ino || named.st_dev != opened.st_dev) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<JournalLock>(new JournalLock(fd, path));
}

JournalLock::~JournalLock() { ::close(fd_); }

void JournalLock::Remove() { ::unlink(Local(path_).c_str()); }

std::optional<Skin> Journal::Read() const {
  if (damaged) return std::nullopt;
  return ReadJournalSkin(Local(archive), manifest);
}

void Journal::Remove() const {
  QFile::remove(manifestFile);
  QFile::remove(archive);
  if (claim) claim->Remove();
}

QString Journal::MoveAside(const QString& aside) const {
  if (!QDir().mkpath(aside)) return QString();
  const QDir to(aside);
  const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-"));
  QString moved;
  for (const QString& file : {archive, manifestFile}) {
    if (!QFileInfo::exists(file)) continue;
    const QString target = to.filePath(stamp + QFileInfo(file).fileName());
    if (::rename(Local(file).c_str(), Local(target).c_str()) != 0) return QString();
    if (file == manifestFile) moved = target;
  }
  if (claim) claim->Remove();
  return moved.isEmpty() ? aside : moved;
}

RecoveryJournal::RecoveryJournal(SkinDocument& document, QString folder, QObject* parent)
    : QObject(parent),
      document_(document),
      folder_(std::move(folder)),
      id_(QStringLiteral("%1-%2").arg(::getpid()).arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'))) {
  delay_.setSingleShot(true);
  connect(&delay_, &QTimer::timeout, this, &RecoveryJournal::Post);
  connect(&document, &SkinDocument::skinChanged, this, &RecoveryJournal::Edited);
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

QString RecoveryJournal::PathOf(const char* suffix) const {
  return QDir(folder_).filePath(id_ + QLatin1String(suffix));
}
QString RecoveryJournal::ArchivePath() const { return PathOf(".zip"); }
QString RecoveryJournal::ManifestPath() const { return PathOf(".ini"); }
QString RecoveryJournal::DamagedFolder() const { return QDir(folder_).filePath(QStringLiteral("not-restored")); }

void RecoveryJournal::Edited() {
  // What a dialog shows live is no edit: the skin of the history is unchanged.
  if (document_.previewing()) return;
  lastEdit_ = QDateTime::currentDateTimeUtc();
  Schedule();
}

void RecoveryJournal::Schedule() {
  if (!document_.modified()) {
    // Saved, discarded, or undone back to what is saved: nothing to recover.
    Remove();
    return;
  }
  const QDateTime now = QDateTime::currentDateTimeUtc();
  if (!firstPending_.isValid()) firstPending_ = now;
  // The core's schedule: a second after this edit, at most five after the
  // first one not journalled yet.
  const qint64 first = firstPending_.toMSecsSinceEpoch(), at = now.toMSecsSinceEpoch();
  const qint64 wait = NextJournalWrite(first, at) - at;
  if (wait <= 0) Post();
  else delay_.start(int(wait));
}

RecoveryJournal::Job RecoveryJournal::MakeJob() const {
  // The copy is taken here; the worker encodes it while the user goes on.
  Job job{std::make_shared<Skin>(document_.CommittedSkin()), {}};
  const JournalManifest m = JournalManifestOf(
      document_, UtcOf(lastEdit_.isValid() ? lastEdit_ : QDateTime::currentDateTimeUtc()), ::getpid(), OwnStart());
  const std::string bytes = FormatJournalManifest(m);
  job.manifest = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
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

bool RecoveryJournal::Write(Job& job) {
  if (!QDir().mkpath(folder_)) return false;
  // The lock first: while this editor runs, nobody takes its journal for an orphan.
  if (!lock_) lock_ = JournalLock::Take(PathOf(".lock"));
  if (!lock_) return false;
  // The archive first, then the manifest that names it: a journal is whole
  // once its manifest is there.
  if (!ReplaceFile(Local(ArchivePath()), EncodeJournalArchive(std::move(*job.skin)))) return false;
  return ReplaceFile(Local(ManifestPath()), std::string_view(job.manifest.constData(), std::size_t(job.manifest.size())));
}

void RecoveryJournal::Report(bool ok) {
  if (ok) emit written();
  if (failing_ == !ok) return;
  failing_ = !ok;
  emit failingChanged(failing_);
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
    const bool ok = Write(job);
    lock.lock();
    busy_ = false;
    idle_.notify_all();
    QMetaObject::invokeMethod(this, [this, ok] { Report(ok); }, Qt::QueuedConnection);
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
  // The lock goes last: it covers the journal for as long as it is there.
  if (lock_) lock_->Remove();
  lock_.reset();
  if (failing_) {
    failing_ = false;
    emit failingChanged(false);
  }
}

bool RecoveryJournal::WriteNow() {
  if (!document_.modified()) {
    Remove();
    return true;
  }
  delay_.stop();
  firstPending_ = QDateTime();
  Job job = MakeJob();
  {
    std::unique_lock<std::mutex> lock(mutex_);
    queued_.reset();
    idle_.wait(lock, [this] { return !busy_; });
  }
  const bool ok = Write(job);
  Report(ok);
  return ok;
}

std::vector<Journal> RecoveryJournal::Orphans() const {
  std::vector<Journal> found;
  const QDir dir(folder_);
  const QStringList names = dir.entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
  for (const QString& name : names) {
    const QString base = QFileInfo(name).completeBaseName();
    const QString suffix = QFileInfo(name).suffix();
    if (base == id_) continue;
    if (suffix == QLatin1String("lock") && !names.contains(base + QStringLiteral(".ini"))) {
      // What an editor that died before its first manifest left: nothing to offer.
      if (std::unique_ptr<JournalLock> lock = JournalLock::Take(dir.filePath(name))) {
        QFile::remove(dir.filePath(base + QStringLiteral(".zip")));
        lock->Remove();
      }
      continue;
    }
    if (suffix != QLatin1String("ini") || !IsPlainFile(dir.filePath(name))) continue;
    Journal j;
    j.manifestFile = dir.filePath(name);
    j.archive = dir.filePath(base + QStringLiteral(".zip"));
    j.lockFile = dir.filePath(base + QStringLiteral(".lock"));
    bool fresh = false;
    std::shared_ptr<JournalLock> claim = JournalLock::Take(j.lockFile, &fresh);
    if (!claim) continue;  // its editor still runs, or another editor offers it
    std::string bytes;
    const ReadStatus read = ReadWholeFile(Local(j.manifestFile), bytes, kMaxManifestSize);
    if (read == ReadStatus::NotFound) {
      claim->Remove();  // gone meanwhile
      continue;
    }
    const std::optional<JournalManifest> m = read == ReadStatus::Ok ? ParseJournalManifest(bytes) : std::nullopt;
    // A journal of an editor that kept no lock file: its process tells.
    if (m && fresh && StillRuns(m->pid, m->started)) {
      claim->Remove();
      continue;
    }
    if (m && !IsPlainFile(j.archive)) {
      // A manifest whose archive is gone holds nothing to offer.
      QFile::remove(j.manifestFile);
      claim->Remove();
      continue;
    }
    j.claim = std::move(claim);
    j.damaged = !m;
    if (m) {
      j.manifest = *m;
      j.time = FromUtc(m->time);
      j.origin = OriginOfJournal(*m);
    }
    found.push_back(std::move(j));
  }
  std::stable_sort(found.begin(), found.end(), [](const Journal& a, const Journal& b) { return a.time < b.time; });
  return found;
}
