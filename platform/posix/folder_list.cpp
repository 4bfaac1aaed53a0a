#include "platform/folder_list.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/file_io.h"

std::vector<std::string> RegularFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* e = ::readdir(dir)) {
      struct stat st {};
      if (::stat(JoinPath(folder, e->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.emplace_back(e->d_name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool IsExistingFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
