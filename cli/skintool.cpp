// skintool: the editor's engine without a window. It opens skins, imports
// pictures and saves, renders the preview and writes screenshots exactly as
// the editor does, printing the editor's messages to stderr.
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "skin/catalogue.h"
#include "images/defaults.h"
#include "images/feedback.h"
#include "images/png_codec.h"
#include "images/screenshot.h"
#include "images/skin_io.h"
#include "preview/render.h"
#include "skin/clock.h"

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  skintool convert [--skin PATH]... [--import NAME=FILE]... --out DIR\n"
    "  skintool render [--skin PATH]... [--import NAME=FILE]... [--screen N] [--zoom F]\n"
    "                  [--background INT] --out FILE.png\n"
    "  skintool screenshot [--skin PATH]... [--import NAME=FILE]... --out FILE.png|FILE.bmp|FILE.jpg\n"
    "  skintool --help\n";

constexpr const char* kHelp =
    "skintool - the skin editor's engine without a window\n"
    "\n"
    "  skintool convert [--skin PATH]... [--import NAME=FILE]... --out DIR\n"
    "      Starts from the built-in default skin, opens each --skin in the order\n"
    "      given (a folder, or anything else as a .zip archive) without a reset\n"
    "      between them, replaces catalogue picture NAME (startbar, icon/nds, ...)\n"
    "      from FILE for each --import (BMP, PNG or JPEG, reduced to 15-bit colour\n"
    "      unless it is a 16-bit BMP), and saves the skin into DIR as\n"
    "      uisettings.ini plus 16-bit BMP files (DIR is created when missing).\n"
    "\n"
    "Messages the editor would show in a message box are printed to stderr, one\n"
    "per line. Exit status: 0 when nothing was reported, 1 when at least one\n"
    "message was, 2 for a usage error. When SOURCE_DATE_EPOCH is set, it is the\n"
    "time stamped into LastUpdate.\n";

class StderrFeedback : public Feedback {
 public:
  void ShowError(const std::string& body) override {
    std::cerr << body << '\n';
    ++messages;
  }
  void SetProgress(int) override {}
  int messages = 0;
};

struct Options {
  std::string command;
  std::vector<std::string> skins;
  std::vector<std::pair<ImageId, std::string>> imports;
  std::optional<std::string> out;
  int screen = 0;
  float zoom = 1.0f;
  std::uint32_t background = 0;
};

// A whole decimal number in [lo, hi], nothing else.
bool ParseInteger(const std::string& text, long long lo, long long hi, long long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(text.c_str(), &end, 10);
  return errno == 0 && *end == '\0' && value >= lo && value <= hi;
}

int UsageError(const std::string& why) {
  std::cerr << "skintool: " << why << '\n' << kUsage;
  return 2;
}

bool MakeFolders(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      const std::string part = path.substr(0, i);
      if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Parses the options shared by every command; returns an error text or "".
std::string ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--skin") {
      if (!value(v)) return "--skin needs a PATH";
      o.skins.push_back(v);
    } else if (arg == "--import") {
      if (!value(v)) return "--import needs NAME=FILE";
      const std::size_t eq = v.find('=');
      if (eq == std::string::npos) return "--import needs NAME=FILE, got '" + v + "'";
      const std::optional<ImageId> id = FindImage(v.substr(0, eq));
      if (!id) return "unknown picture name '" + v.substr(0, eq) + "'";
      o.imports.emplace_back(*id, v.substr(eq + 1));
    } else if (arg == "--screen") {
      long long n = 0;
      if (!value(v) || !ParseInteger(v, 0, 13, n)) return "--screen needs a number from 0 to 13";
      o.screen = static_cast<int>(n);
    } else if (arg == "--zoom") {
      char* end = nullptr;
      if (!value(v) || v.empty()) return "--zoom needs a factor";
      o.zoom = std::strtof(v.c_str(), &end);
      if (*end != '\0' || !(o.zoom > 0.0f) || o.zoom > kMaxZoom) return "--zoom needs a factor from 0 to 16";
    } else if (arg == "--background") {
      long long n = 0;
      if (!value(v) || !ParseInteger(v, 0, 0xFFFFFF, n)) return "--background needs a number from 0 to 16777215";
      o.background = static_cast<std::uint32_t>(n);
    } else if (arg == "--out") {
      if (!value(v)) return "--out needs a path";
      o.out = v;
    } else {
      return "unknown option '" + arg + "'";
    }
  }
  return "";
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Builds the skin as the options say: defaults, skins in order, imports.
void AssembleSkin(const Options& o, Skin& skin, SkinIoContext& ctx) {
  ResetSkinToDefaults(skin);
  for (const std::string& path : o.skins) {
    if (IsFolder(path)) {
      OpenSkinFolder(skin, path, ctx);
    } else {
      OpenSkinArchive(skin, path, ctx);
    }
  }
  for (const auto& [id, file] : o.imports) LoadSkinImageFile(skin, id, file, ctx);
}

int Convert(const Options& o) {
  if (!o.out) return UsageError("convert needs --out DIR");
  StderrFeedback feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  static Skin skin;  // large: keep it off the stack
  AssembleSkin(o, skin, ctx);
  if (!MakeFolders(*o.out)) {
    std::cerr << *o.out << ": " << texts.fileNotSaved << '\n';
    return 1;
  }
  SaveSkinFolder(skin, *o.out, TypedInfo{skin.info.Title, skin.info.Author, skin.info.eMail, skin.info.Url},
                 SystemClock(), ctx);
  return feedback.messages ? 1 : 0;
}

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

int Render(const Options& o) {
  if (!o.out || !EndsWith(*o.out, ".png")) return UsageError("render needs --out FILE.png");
  StderrFeedback feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  static Skin skin;
  AssembleSkin(o, skin, ctx);
  const Picture preview = RenderPreview(skin, o.screen, o.zoom, UnpackRgb24(o.background));
  if (!WriteScreenshotFile(preview, ScreenshotFormat::Png, *o.out)) {
    std::cerr << *o.out << ": " << texts.fileNotSaved << '\n';
    return 1;
  }
  return feedback.messages ? 1 : 0;
}

int Screenshot(const Options& o) {
  std::optional<ScreenshotFormat> format;
  if (o.out && EndsWith(*o.out, ".png")) format = ScreenshotFormat::Png;
  if (o.out && EndsWith(*o.out, ".bmp")) format = ScreenshotFormat::Bmp;
  if (o.out && EndsWith(*o.out, ".jpg")) format = ScreenshotFormat::Jpeg;
  if (!format) return UsageError("screenshot needs --out FILE.png, FILE.bmp or FILE.jpg");
  StderrFeedback feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  static Skin skin;
  AssembleSkin(o, skin, ctx);
  if (!WriteScreenshotFile(ComposeScreenshot(skin), *format, *o.out)) {
    std::cerr << *o.out << ": " << texts.fileNotSaved << '\n';
    return 1;
  }
  return feedback.messages ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return UsageError("no command given");
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kHelp;
    return 0;
  }
  Options o;
  o.command = command;
  if (const std::string err = ParseOptions(argc, argv, o); !err.empty()) return UsageError(err);
  if (command == "convert") return Convert(o);
  if (command == "render") return Render(o);
  if (command == "screenshot") return Screenshot(o);
  return UsageError("unknown command '" + command + "'");
}
