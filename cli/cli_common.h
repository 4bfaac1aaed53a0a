// What every skintool command shares: the options, the skin they describe,
// and the messages printed to stderr.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "images/feedback.h"
#include "images/skin_io.h"
#include "skin/catalogue.h"
#include "skin/skin.h"

// The options a command may take; each command says which it accepts.
enum OptionFlag : unsigned {
  kOptSkin = 1u << 0,        // --skin PATH (repeatable)
  kOptImport = 1u << 1,      // --import NAME=FILE (repeatable)
  kOptImportDir = 1u << 2,   // --import-dir DIR (repeatable)
  kOptOut = 1u << 3,         // --out PATH
  kOptScreen = 1u << 4,      // --screen N
  kOptZoom = 1u << 5,        // --zoom F
  kOptBackground = 1u << 6,  // --background INT
  kOptAt = 1u << 7,          // --at X,Y (repeatable)
  kOptJson = 1u << 8,        // --json
  kOptAll = 1u << 9,         // --all
};

// One step of building the skin's pictures, in the order given: a single
// picture from a file, or every picture a folder holds by name.
struct ImportStep {
  std::optional<ImageId> image;  // set: --import NAME=FILE; unset: --import-dir
  std::string path;
};

struct Point {
  int x = 0, y = 0;
};

struct Options {
  std::vector<std::string> skins;
  std::vector<ImportStep> imports;
  std::optional<std::string> out;
  std::optional<int> screen;
  float zoom = 1.0f;
  std::uint32_t background = 0;
  std::vector<Point> at;
  bool json = false;
  bool all = false;
};

struct Command {
  const char* name;
  unsigned options;     // OptionFlag bits
  const char* synopsis; // "skintool convert [--skin PATH]... --out DIR"
  const char* help;     // what it does, its options and an example
  int (*run)(const Options&);
};

// Every command, in the order --help lists them.
const std::vector<const Command*>& Commands();

// Parses argv[first..] for `command`; returns an error text, or "" when the
// options are fine.
std::string ParseOptions(const Command& command, int argc, char** argv, int first, Options& options);

// Prints "skintool: why" and the usage lines; returns the usage exit status, 2.
int UsageError(const std::string& why);

// Prints the editor's messages to stderr, one line each, and counts them.
class StderrFeedback : public Feedback {
 public:
  void ShowError(const std::string& body) override;
  void SetProgress(int) override {}
  int messages = 0;
};

// What building the skin did besides the messages.
struct Assembly {
  std::array<bool, kImageCount> imported{};  // replaced by --import or --import-dir
};

// Builds the skin as the options say: the built-in default, each --skin in
// order (a folder, or anything else as a .zip), then the imports in order
// (--import one picture, --import-dir every picture a folder names; a later
// step wins for its picture). Files of an --import-dir folder that name no
// picture, or that lose to another file for the same picture, are noted on
// stderr without counting as messages.
Assembly AssembleSkin(const Options& options, Skin& skin, SkinIoContext& ctx);

bool EndsWith(const std::string& s, const std::string& suffix);
// Creates a folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

// A skin is large: commands keep theirs off the stack.
Skin& CommandSkin();
