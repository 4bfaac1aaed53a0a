// Small file helpers shared by opening, saving and the screenshot.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ReadStatus { Ok, CannotOpen, TooLarge };

// Reads a whole file; files larger than `limit` bytes are not read.
ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::size_t limit);

// Whether written bytes are flushed to the disk before they replace a file.
// Saving always flushes; NoFlush exists to measure what the flushing costs.
enum class FileSync { Flush, NoFlush };

// Gives files new bytes and keeps everything else about them: a symbolic
// link stays a link and its target gets the bytes (a dangling one gets its
// target created), a file's mode, owner and group stay (as far as the
// process may set them), and so do its hard links.
//
// The bytes go to a temporary file beside the file, flushed, then renamed
// over it, so a failure or a power cut never leaves a short file. A file
// with other hard links, or whose folder allows no new file (a read-only
// folder holding a writable file), is written in place instead: new bytes
// over the old from the start, then cut to length, so only a failure half
// way through (reported like any other) can leave a mix. A name taken by a
// folder or by a read-only file fails.
//
// Files are written one by one, but flushed and renamed together in
// Finish: one journal commit then serves them all, where flushing each
// before writing the next would wait for one commit per file.
class FileReplacer {
 public:
  explicit FileReplacer(FileSync sync = FileSync::Flush) : sync_(sync) {}
  ~FileReplacer();  // removes the temporary files of an unfinished batch
  FileReplacer(const FileReplacer&) = delete;
  FileReplacer& operator=(const FileReplacer&) = delete;

  // Writes the bytes meant for `path`; false when that failed already.
  bool Write(const std::string& path, std::string_view bytes);
  // Flushes what was written and puts it in place: one result per Write,
  // in order, true where the file now holds its new bytes.
  std::vector<bool> Finish();

 private:
  struct Pending {
    std::string target;  // the file that gets the bytes, links followed
    std::string temp;    // empty when written in place
    int fd = -1;
    bool ok = false;
  };
  bool Start(const std::string& path, std::string_view bytes, Pending& p);
  static void Abandon(Pending& p);

  FileSync sync_;
  std::vector<Pending> pending_;
};

// One file replaced as FileReplacer does.
bool ReplaceFile(const std::string& path, std::string_view bytes, FileSync sync = FileSync::Flush);

// "folder" + "/" + "relative", where each component that does not exist with
// the given letter case is taken from an entry of another case when there is
// one (skins are often made on systems that ignore case); the first component
// found in no case, and those after it, keep the given spelling.
std::string ResolvePathIgnoringCase(const std::string& folder, std::string_view relative);

std::string JoinPath(const std::string& folder, std::string_view relative);
