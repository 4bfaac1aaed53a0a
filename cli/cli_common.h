// What every skintool command shares: the options, the skin they describe,
// and the messages printed to stderr.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "edit/take_from.h"
#include "images/colour_work.h"
#include "images/feedback.h"
#include "images/fit.h"
#include "images/skin_io.h"
#include "preview/filters.h"
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
  kOptFit = 1u << 10,        // --fit cover|stretch|keep
  kOptReplaceColour = 1u << 11,  // --replace-colour 0xAAAA=0xBBBB (repeatable)
  kOptRecolour = 1u << 12,   // --recolour DH[,DS[,DL]]
  kOptFilter = 1u << 13,     // --filter console|protanopia|deuteranopia|tritanopia
  kOptFollowLinks = 1u << 14,  // --follow-links
  kOptTakeFrom = 1u << 15,   // --take-from PATH[:GROUPS] (repeatable)
};

// The options that build the skin, which every command takes.
inline constexpr unsigned kOptBuild =
    kOptSkin | kOptTakeFrom | kOptImport | kOptImportDir | kOptFit | kOptReplaceColour | kOptRecolour;

// One step of building the skin's pictures, in the order given: a single
// picture from a file, or every picture a folder holds by name.
struct ImportStep {
  std::optional<ImageId> image;  // set: --import NAME=FILE; unset: --import-dir
  std::string path;
};

// Colours, pictures, positions or texts of another skin taken into the
// skin (--take-from), as the editor's Take from skin does.
struct TakeStep {
  std::string path;
  TakeChoice choice;
};

struct Point {
  int x = 0, y = 0;
};

struct Options {
  std::vector<std::string> skins;
  std::vector<TakeStep> takes;       // after the skins, in the order given
  std::vector<ImportStep> imports;
  std::optional<std::string> out;
  std::optional<int> screen;
  float zoom = 1.0f;
  std::uint32_t background = 0;
  std::vector<Point> at;
  bool json = false;
  bool all = false;
  FitMode fit = FitMode::Keep;     // for every import of the call
  ColourMap replace;               // applied at once, after the imports
  std::optional<HslShift> recolour;  // after the replacements
  ScreenFilter filter = ScreenFilter::None;  // what render shows, never the skin
  bool followLinks = false;  // convert writes through links out of --out
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

// Prints the editor's messages to stderr, one line each, and counts them;
// notes go there too, as "skintool: note: ...", without counting.
class StderrFeedback : public Feedback {
 public:
  void ShowError(const std::string& body) override;
  void SetProgress(int) override {}
  void Note(const Message& message, const std::string& body) override;
  int messages = 0;
};

// What building the skin did besides the messages.
struct Assembly {
  std::array<bool, kImageCount> imported{};  // replaced by --import or --import-dir
};

// Builds the skin as the options say: the built-in default, each --skin in
// order (a folder, or anything else as a .zip), then each --take-from in
// order (what it names of that skin; pictures it lacks or could not read
// are noted on stderr and not taken), then the imports in order
// (--import one picture, --import-dir every picture a folder names; a later
// step wins for its picture), each fitted by --fit; then the colours of
// --replace-colour, all at once, and last the --recolour shift over the
// whole skin. Files of an --import-dir folder that name no picture, or that
// lose to another file for the same picture, are noted on stderr without
// counting as messages.
Assembly AssembleSkin(const Options& options, Skin& skin, SkinIoContext& ctx);

// A skin is large: commands keep theirs off the stack.
Skin& CommandSkin();

// What a command that prints its messages to stderr works on: the skin built
// as the options say (AssembleSkin), and the context that reported on it, for
// any saving after.
struct BuiltSkin {
  explicit BuiltSkin(const Options& options) { AssembleSkin(options, skin, ctx); }
  // 0 when nothing was reported, else 1.
  int status() const { return feedback.messages ? 1 : 0; }

  StderrFeedback feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  Skin& skin = CommandSkin();
};

bool EndsWith(const std::string& s, const std::string& suffix);
// Creates a folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

