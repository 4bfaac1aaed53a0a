// Reading, replacing and stamping files, and paths: the file calls of the
// program (platform/posix/file_io.cpp, which any POSIX system compiles).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ReadStatus {
  Ok,
  NotFound,     // no such file
  NotReadable,  // it is there, but may not be read (permissions) or reading failed
  NotRegular,   // a folder, a pipe, a device or a socket: never read
  TooLarge,     // more than the limit; nothing was read
};

// Reads a whole file; files larger than `limit` bytes are not read. Only a
// regular file is read: anything else is refused at once, without waiting
// for a writer of a pipe or reading a device that never ends.
ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::size_t limit);

// The first `count` bytes of a regular file (fewer when it is shorter), with
// the same refusals.
ReadStatus ReadFileHead(const std::string& path, std::string& out, std::size_t count);

// One regular file open for reading, for a reader that looks at its first
// bytes before it decides to read the rest (a picture's header tells its
// size before the pixels are read).
class RegularFile {
 public:
  RegularFile() = default;
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  // Refuses what ReadWholeFile refuses, without waiting or reading.
  ReadStatus Open(const std::string& path);
  // Its first `count` bytes, or fewer when it is shorter.
  ReadStatus ReadHead(std::size_t count, std::string& out);
  // All of it, from the start; TooLarge (nothing read) over `limit` bytes.
  ReadStatus ReadAll(std::size_t limit, std::string& out);
  // Its size when it was opened.
  unsigned long long size() const { return size_; }

 private:
  int fd_ = -1;
  unsigned long long size_ = 0;
};

// Whether written bytes are flushed to the disk before they replace a file.
// Saving always flushes; NoFlush exists to measure what the flushing costs.
enum class FileSync { Flush, NoFlush };

// What a write does with a symbolic link whose target lies outside the
// folder it writes into (FileReplacer::ConfineTo): a skin unpacked from
// somewhere may link its settings file to a file of the user's own.
enum class OutsideLinks { Refuse, Follow };

// Gives files new bytes and keeps everything else about them: a symbolic
// link stays a link and its target gets the bytes (a dangling one gets its
// target created), a file's mode, owner and group stay (as far as the
// process may set them), and so do its hard links.
//
// All or nothing: Write only prepares. The bytes of each file go to a
// temporary file beside it; Finish flushes them all and puts them in place
// only when every one was written and flushed, so a full disk or any other
// failure leaves every old file as it was and no temporary file behind. A
// file that cannot be replaced by a rename (it has other hard links, or its
// folder allows no new file) is written in place, over the old bytes: the
// room its new bytes need is reserved first, its old bytes are kept in
// memory and written back when anything fails, and it is written before the
// renames, so that a failure still changes nothing. A name taken by a folder
// or by a read-only file fails.
//
// With Whole::Always a file is only ever replaced through a temporary file:
// where that cannot be done, Write fails (WriteRefusal tells why) and the
// old file stays as it was. An archive, often the user's only copy, is
// written so.
//
// The first write into a folder also removes what a killed save left there:
// temporary files of our own name pattern whose process is gone.
enum class Whole { WhereItCan, Always };
enum class WriteRefusal { None, HardLinks, FolderReadOnly, Other };

// What became of one file of a batch.
enum class WriteOutcome {
  Written,      // it holds its new bytes
  Failed,       // it could not be written
  DiskFull,     // it could not be written: no room left on the disk
  LinkOutside,  // a link out of the confining folder, not followed
  Abandoned,    // it was ready, but another file of the batch failed
};

class FileReplacer {
 public:
  explicit FileReplacer(FileSync sync = FileSync::Flush, Whole whole = Whole::WhereItCan)
      : sync_(sync), whole_(whole) {}
  ~FileReplacer();  // removes the temporary files of an unfinished batch
  FileReplacer(const FileReplacer&) = delete;
  FileReplacer& operator=(const FileReplacer&) = delete;

  // Files are written only where they really lie inside `folder`: a path
  // whose links (its own, or a folder's on the way) lead out of it is
  // refused as LinkOutside, unless `links` says to follow them.
  void ConfineTo(const std::string& folder, OutsideLinks links);

  // Prepares the bytes meant for `path`; false when that failed already
  // (then Finish writes nothing at all).
  bool Write(const std::string& path, std::string_view bytes);
  // Why the last Write failed before anything was written, under Whole::Always.
  WriteRefusal refusal() const { return refusal_; }
  // Flushes what was prepared and puts all of it in place, or none of it:
  // one outcome per Write, in order.
  std::vector<WriteOutcome> Finish();

 private:
  struct Pending {
    std::string target;  // the file that gets the bytes, links followed
    std::string temp;    // empty when written in place
    std::string bytes;   // kept for a file written in place, until Finish
    std::string old;     // an in-place file's old bytes, to put back after a failure
    int fd = -1;
    bool written = false;  // in place: its new bytes are in it
    WriteOutcome outcome = WriteOutcome::Written;
  };
  bool Start(const std::string& path, std::string_view bytes, Pending& p);
  bool Inside(const std::string& target) const;
  bool WriteInPlace(Pending& p);
  static void PutBack(Pending& p);
  static void Abandon(Pending& p);

  FileSync sync_;
  Whole whole_;
  WriteRefusal refusal_ = WriteRefusal::None;
  std::string confinedTo_;  // the real path of the confining folder; empty: none
  OutsideLinks links_ = OutsideLinks::Follow;
  std::vector<Pending> pending_;
  std::vector<std::string> swept_;  // folders cleared of stale temporary files
};

// One file replaced as FileReplacer does.
bool ReplaceFile(const std::string& path, std::string_view bytes, FileSync sync = FileSync::Flush,
                 Whole whole = Whole::WhereItCan, WriteRefusal* refusal = nullptr);

// Whether writing to `path` would change a file that lies outside `folder`:
// its links, or those of a folder on its way, lead out of it. A path that
// does not exist yet is judged by the folder that would hold it.
bool LeadsOutside(const std::string& folder, const std::string& path);

// What a file looked like on disk: enough to tell that it changed since
// (another program wrote or replaced it).
struct FileStamp {
  bool exists = false;
  unsigned long long size = 0;
  long long modifiedNs = 0;  // the time of its last change, in nanoseconds
  unsigned long long inode = 0, device = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// The stamp of the file at `path`, links followed.
FileStamp StampOf(const std::string& path);

// Removes from `folder` the temporary files a save or an export of this
// program left when it was killed: names ending in ".~PID-N" whose process
// PID no longer runs. A file of a
// process that still runs is never touched. Returns how many were removed.
int SweepStaleTemporaries(const std::string& folder);

// The name of the temporary file that replaces `target`, in our pattern.
std::string TemporaryNameFor(const std::string& target);

// Makes the folder `path` inside an existing one; false when it could not
// be made, or was there already.
bool MakeFolder(const std::string& path);
// Removes the folder `path` when it is empty.
bool RemoveEmptyFolder(const std::string& path);

// The folder part of a path ("." when it has none).
std::string FolderOfPath(const std::string& path);

// "folder" + "/" + "relative", where each component that does not exist with
// the given letter case is taken from an entry of another case when there is
// one (skins are often made on systems that ignore case); the first component
// found in no case, and those after it, keep the given spelling.
std::string ResolvePathIgnoringCase(const std::string& folder, std::string_view relative);

std::string JoinPath(const std::string& folder, std::string_view relative);
