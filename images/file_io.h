// Small file helpers shared by opening, saving and the screenshot.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

enum class ReadStatus { Ok, CannotOpen, TooLarge };

// Reads a whole file; files larger than `limit` bytes are not read.
ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::size_t limit);

// Whether written bytes are flushed to the disk before they replace a file.
// Saving always flushes; NoFlush exists to measure what the flushing costs.
enum class FileSync { Flush, NoFlush };

// Gives the file at `path` the new bytes and keeps everything else about it:
// a symbolic link stays a link and its target gets the bytes (a dangling one
// gets its target created), the file's mode, owner and group stay (as far as
// the process may set them), and so do its hard links.
//
// The bytes go to a temporary file beside the file, flushed, then renamed
// over it, so a failure or a power cut never leaves a short file. A file
// with other hard links, or whose folder allows no new file (a read-only
// folder holding a writable file), is written in place instead: new bytes
// over the old from the start, then cut to length, so only a failure half
// way through (reported like any other) can leave a mix. A name taken by a
// folder or by a read-only file fails.
bool ReplaceFile(const std::string& path, std::string_view bytes, FileSync sync = FileSync::Flush);

// "folder" + "/" + "relative", where each component that does not exist with
// the given letter case is taken from an entry of another case when there is
// one (skins are often made on systems that ignore case); the first component
// found in no case, and those after it, keep the given spelling.
std::string ResolvePathIgnoringCase(const std::string& folder, std::string_view relative);

std::string JoinPath(const std::string& folder, std::string_view relative);
