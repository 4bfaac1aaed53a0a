// Checks the layers of the core against what their files include:
//
//   assets <- skin <- platform <- images <- preview <- check <- edit
//
// A file of a layer includes headers of its own layer and of those below it,
// never of one above it nor of the faces (app/, cli/, ...). The platform's
// implementations (platform/native/, platform/posix/, ...) are its own: no
// other folder includes them, and they do not include each other. The codec
// and archive libraries are included only in platform/native/, the system's
// file calls only in platform/, and Qt nowhere in the core. Files that
// include each other in a circle (a module being a header and its source,
// app/language.h and app/language.cpp) are named too, in the core and in the
// faces alike.
//
//   layer_check ROOT
//
// prints one line per fault, naming the file, the line and the include, and
// ends with a failure when there is any.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kLayers = {"assets", "skin", "platform", "images", "preview", "check", "edit"};
// Folders whose modules must not include each other in a circle, besides the layers.
const std::vector<std::string> kFaces = {"app", "cli"};

std::optional<std::size_t> LayerOf(const std::string& folder) {
  const auto it = std::find(kLayers.begin(), kLayers.end(), folder);
  if (it == kLayers.end()) return std::nullopt;
  return static_cast<std::size_t>(it - kLayers.begin());
}

struct Include {
  int line = 0;
  bool quoted = false;
  std::string path;
};

struct SourceFile {
  std::string path;  // relative to the root, with "/"
  std::vector<Include> includes;
};

bool IsSource(const fs::path& p) {
  const std::string ext = p.extension().string();
  return ext == ".h" || ext == ".hpp" || ext == ".cpp" || ext == ".cc" || ext == ".inc";
}

std::vector<Include> ReadIncludes(const fs::path& file) {
  static const std::regex kInclude(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  std::vector<Include> out;
  std::ifstream in(file);
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    std::smatch m;
    if (std::regex_search(text, m, kInclude)) out.push_back({line, m[1] == "\"", m[2]});
  }
  return out;
}

std::vector<SourceFile> ScanFolder(const fs::path& root, const std::string& folder) {
  std::vector<SourceFile> files;
  const fs::path dir = root / folder;
  if (!fs::is_directory(dir)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file() || !IsSource(entry.path())) continue;
    files.push_back({fs::relative(entry.path(), root).generic_string(), ReadIncludes(entry.path())});
  }
  std::sort(files.begin(), files.end(), [](const SourceFile& a, const SourceFile& b) { return a.path < b.path; });
  return files;
}

std::string FirstPart(const std::string& path) { return path.substr(0, path.find('/')); }

// "platform/native/zip_reader.cpp" -> "native"; "" for a file of the platform's own folder.
std::string PlatformPart(const std::string& path) {
  if (!path.starts_with("platform/")) return "";
  const std::string rest = path.substr(9);
  const std::size_t slash = rest.find('/');
  return slash == std::string::npos ? "" : rest.substr(0, slash);
}

bool IsLibraryHeader(const std::string& header) {
  static const std::vector<std::string> kLibraries = {"png.h", "pngconf.h", "jpeglib.h", "jerror.h", "jconfig.h",
                                                      "zlib.h", "unzip.h", "zip.h", "ioapi.h"};
  return header.starts_with("minizip/") || std::find(kLibraries.begin(), kLibraries.end(), header) != kLibraries.end();
}

bool IsSystemFileHeader(const std::string& header) {
  static const std::vector<std::string> kPosix = {"unistd.h", "dirent.h", "fcntl.h", "utime.h", "pwd.h"};
  return header.starts_with("sys/") || header.starts_with("linux/") ||
         std::find(kPosix.begin(), kPosix.end(), header) != kPosix.end();
}

bool IsQtHeader(const std::string& header) { return header.size() > 1 && header[0] == 'Q' && std::isupper(header[1]); }

class Checker {
 public:
  explicit Checker(fs::path root) : root_(std::move(root)) {
    for (const std::string& folder : kLayers) {
      for (SourceFile& f : ScanFolder(root_, folder)) layerFiles_.push_back(std::move(f));
    }
    for (const std::string& folder : kFaces) {
      for (SourceFile& f : ScanFolder(root_, folder)) faceFiles_.push_back(std::move(f));
    }
  }

  int Run() {
    for (const SourceFile& f : layerFiles_) CheckLayerFile(f);
    CheckCircles();
    if (faults_ == 0) {
      std::cout << "layers hold: " << layerFiles_.size() << " files of the core, " << faceFiles_.size()
                << " of the faces\n";
      return 0;
    }
    std::cout << faults_ << (faults_ == 1 ? " fault" : " faults") << " in the layers\n";
    return 1;
  }

 private:
  void Fault(const SourceFile& f, const Include& inc, const std::string& why) {
    const char open = inc.quoted ? '"' : '<', close = inc.quoted ? '"' : '>';
    std::cout << f.path << ":" << inc.line << ": includes " << open << inc.path << close << ": " << why << "\n";
    ++faults_;
  }

  void CheckLayerFile(const SourceFile& f) {
    const std::string folder = FirstPart(f.path);
    const std::size_t layer = *LayerOf(folder);
    const std::string implementation = PlatformPart(f.path);
    for (const Include& inc : f.includes) {
      if (!inc.quoted) {
        if (IsQtHeader(inc.path)) Fault(f, inc, "Qt has no place in the core");
        if (IsLibraryHeader(inc.path) && !(folder == "platform" && implementation == "native")) {
          Fault(f, inc, "the codec and archive libraries are called only in platform/native/");
        }
        if (IsSystemFileHeader(inc.path) && folder != "platform") {
          Fault(f, inc, "the system's file calls are made only in platform/");
        }
        continue;
      }
      const std::string target = FirstPart(inc.path);
      if (inc.path.find('/') == std::string::npos) {
        Fault(f, inc, "a header is included by its path from the project's root (\"" + folder + "/...\")");
        continue;
      }
      const std::optional<std::size_t> targetLayer = LayerOf(target);
      if (!targetLayer) {
        if (fs::is_directory(root_ / target)) Fault(f, inc, target + "/ is no layer of the core");
        continue;
      }
      if (*targetLayer > layer) {
        Fault(f, inc, target + "/ is a layer above " + folder + "/");
        continue;
      }
      const std::string targetImplementation = PlatformPart(inc.path);
      if (!targetImplementation.empty() && targetImplementation != implementation) {
        Fault(f, inc,
              "platform/" + targetImplementation + "/ is one implementation of the platform's headers; " +
                  (implementation.empty() ? "include the header of platform/ it implements"
                                          : "platform/" + implementation + "/ is another"));
      }
    }
  }

  // Modules (a header and its source) that include each other in a circle.
  void CheckCircles() {
    std::map<std::string, std::set<std::string>> edges;
    std::set<std::string> known;
    const auto moduleOf = [](const std::string& path) { return path.substr(0, path.rfind('.')); };
    std::vector<const SourceFile*> all;
    for (const SourceFile& f : layerFiles_) all.push_back(&f);
    for (const SourceFile& f : faceFiles_) all.push_back(&f);
    for (const SourceFile* f : all) known.insert(moduleOf(f->path));
    for (const SourceFile* f : all) {
      const std::string from = moduleOf(f->path);
      edges[from];
      for (const Include& inc : f->includes) {
        const std::string to = moduleOf(inc.path);
        if (inc.quoted && to != from && known.count(to)) edges[from].insert(to);
      }
    }
    // Tarjan's strongly connected components; each with more than one
    // module holds a circle, named by one of its paths.
    Tarjan tarjan(edges);
    for (const std::vector<std::string>& component : tarjan.components) {
      if (component.size() < 2) continue;
      const std::vector<std::string> circle = CircleThrough(component, edges);
      std::string shown;
      for (const std::string& m : circle) shown += (shown.empty() ? "" : " -> ") + m;
      std::cout << "modules include each other in a circle: " << shown << "\n";
      ++faults_;
    }
  }

  struct Tarjan {
    explicit Tarjan(const std::map<std::string, std::set<std::string>>& edges) : edges_(edges) {
      for (const auto& [node, _] : edges_) {
        if (!index_.count(node)) Visit(node);
      }
    }
    std::vector<std::vector<std::string>> components;

   private:
    void Visit(const std::string& v) {
      index_[v] = low_[v] = next_++;
      stack_.push_back(v);
      onStack_.insert(v);
      for (const std::string& w : edges_.at(v)) {
        if (!index_.count(w)) {
          Visit(w);
          low_[v] = std::min(low_[v], low_[w]);
        } else if (onStack_.count(w)) {
          low_[v] = std::min(low_[v], index_[w]);
        }
      }
      if (low_[v] != index_[v]) return;
      std::vector<std::string> component;
      for (;;) {
        const std::string w = stack_.back();
        stack_.pop_back();
        onStack_.erase(w);
        component.push_back(w);
        if (w == v) break;
      }
      std::sort(component.begin(), component.end());
      components.push_back(std::move(component));
    }
    const std::map<std::string, std::set<std::string>>& edges_;
    std::map<std::string, int> index_, low_;
    std::vector<std::string> stack_;
    std::set<std::string> onStack_;
    int next_ = 0;
  };

  // The shortest way from the component's first module back to itself.
  static std::vector<std::string> CircleThrough(const std::vector<std::string>& component,
                                                const std::map<std::string, std::set<std::string>>& edges) {
    const std::set<std::string> inside(component.begin(), component.end());
    const std::string start = component.front();
    std::map<std::string, std::string> cameFrom;
    std::vector<std::string> queue = {start};
    for (std::size_t i = 0; i < queue.size(); ++i) {
      for (const std::string& w : edges.at(queue[i])) {
        if (!inside.count(w)) continue;
        if (w == start) {
          std::vector<std::string> path = {start};
          for (std::string at = queue[i]; at != start; at = cameFrom[at]) path.insert(path.begin() + 1, at);
          path.push_back(start);
          return path;
        }
        if (!cameFrom.count(w)) {
          cameFrom[w] = queue[i];
          queue.push_back(w);
        }
      }
    }
    return component;
  }

  fs::path root_;
  std::vector<SourceFile> layerFiles_, faceFiles_;
  int faults_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || !fs::is_directory(argv[1])) {
    std::cerr << "usage: layer_check ROOT\n";
    return 2;
  }
  return Checker(argv[1]).Run();
}
