// Small file helpers shared by opening, saving and the screenshot.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

enum class ReadStatus { Ok, CannotOpen, TooLarge };

// Reads a whole file; files larger than `limit` bytes are not read.
ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::size_t limit);

// Replaces the file at `path` by writing a temporary file beside it and
// renaming it over the old one, so a failed write never leaves a truncated
// file behind. A name taken by a folder or by a read-only file fails.
bool ReplaceFile(const std::string& path, std::string_view bytes);

// "folder" + "/" + "relative", where a component that does not exist with the
// given letter case may be found in another case (skins are often made on
// systems that ignore case). Returns the exact-case path when nothing matches.
std::string ResolvePathIgnoringCase(const std::string& folder, std::string_view relative);

std::string JoinPath(const std::string& folder, std::string_view relative);
