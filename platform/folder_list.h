// The files of one folder, for the roads that take a folder's files by name.
#pragma once

#include <string>
#include <vector>

// The names of the regular files directly in `folder` (no sub-folders), sorted
// by byte value so that every run sees them in one order; empty when the
// folder cannot be read.
std::vector<std::string> RegularFilesIn(const std::string& folder);

bool IsExistingFolder(const std::string& path);
