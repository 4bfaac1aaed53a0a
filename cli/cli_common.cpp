#include "cli/cli_common.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "edit/document_files.h"
#include "images/defaults.h"
#include "images/import_folder.h"
#include "platform/folder_list.h"
#include "preview/render.h"
#include "skin/printable.h"

namespace {

// A whole decimal number in [lo, hi], digits only: no blank, no sign.
bool ParseInteger(const std::string& text, long long lo, long long hi, long long& value) {
  if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(text.c_str(), &end, 10);
  return errno == 0 && *end == '\0' && value >= lo && value <= hi;
}

// A factor written in plain decimal digits, with at most one decimal point
// ("2", "1.5", ".5", "3."): no sign, blank, exponent or hexadecimal, as the
// other number options take none.
bool ParseFactor(const std::string& text, float& value) {
  const std::size_t point = text.find('.');
  const std::size_t digits = text.size() - (point == std::string::npos ? 0 : 1);
  if (digits == 0 || text.size() > 18 || text.find_first_not_of("0123456789.") != std::string::npos ||
      (point != std::string::npos && text.find('.', point + 1) != std::string::npos)) {
    return false;
  }
  value = std::strtof(text.c_str(), nullptr);
  return true;
}

// "X,Y", two whole numbers inside the preview picture.
bool ParsePoint(const std::string& text, Point& p) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) return false;
  long long x = 0, y = 0;
  if (!ParseInteger(text.substr(0, comma), 0, kPreviewWidth - 1, x) ||
      !ParseInteger(text.substr(comma + 1), 0, kPreviewHeight - 1, y)) {
    return false;
  }
  p = {static_cast<int>(x), static_cast<int>(y)};
  return true;
}

// A signed whole number in [lo, hi]: digits with an optional leading minus.
bool ParseSigned(const std::string& text, long long lo, long long hi, long long& value) {
  const bool negative = !text.empty() && text[0] == '-';
  if (!ParseInteger(negative ? text.substr(1) : text, 0, std::max(-lo, hi), value)) return false;
  if (negative) value = -value;
  return value >= lo && value <= hi;
}

// A colour as the settings file writes it: "0x" and one to four hexadecimal
// digits, a 15-bit value.
bool ParseColour15(const std::string& text, Rgb15& value) {
  if (text.size() < 3 || text.size() > 6 || text.compare(0, 2, "0x") != 0 ||
      text.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string::npos) {
    return false;
  }
  const unsigned long v = std::strtoul(text.c_str() + 2, nullptr, 16);
  if (v >= 0x8000) return false;
  value = static_cast<Rgb15>(v);
  return true;
}

// "DH[,DS[,DL]]": hue -180..180, saturation and lightness -100..100.
bool ParseShift(const std::string& text, HslShift& shift) {
  int* parts[] = {&shift.hue, &shift.saturation, &shift.lightness};
  const long long limits[] = {180, 100, 100};
  std::size_t start = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t comma = text.find(',', start);
    long long v = 0;
    if (!ParseSigned(text.substr(start, comma - start), -limits[i], limits[i], v)) return false;
    *parts[i] = static_cast<int>(v);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
  return false;  // a fourth part
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// "PATH[:GROUPS]": a path that exists is a path whole, even with a colon in
// its name; otherwise the groups follow the last colon (edit/take_from.h
// says how they are written), all of them when there is none.
std::string ParseTakeStep(const std::string& text, TakeStep& step) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos || PathExists(text)) {
    step = {text, TakeChoice::All()};
    return "";
  }
  step.path = text.substr(0, colon);
  if (step.path.empty()) return "--take-from needs PATH[:GROUPS], got '" + text + "'";
  std::string error;
  const std::optional<TakeChoice> choice = ParseTakeChoice(text.substr(colon + 1), error);
  if (!choice) return "--take-from " + text + ": " + error;
  step.choice = *choice;
  return "";
}

}  // namespace

int UsageError(const std::string& why) {
  std::cerr << "skintool: " << PrintableText(why) << "\nusage:\n";
  for (const Command* c : Commands()) std::cerr << "  " << c->synopsis << '\n';
  std::cerr << "  skintool help [COMMAND]\n";
  return 2;
}

std::string ParseOptions(const Command& command, int argc, char** argv, int first, Options& o) {
  struct Known {
    const char* name;
    unsigned flag;
  };
  static constexpr Known kKnown[] = {
      {"--skin", kOptSkin},     {"--import", kOptImport},         {"--import-dir", kOptImportDir},
      {"--out", kOptOut},       {"--screen", kOptScreen},         {"--zoom", kOptZoom},
      {"--background", kOptBackground}, {"--at", kOptAt},         {"--json", kOptJson},
      {"--all", kOptAll},       {"--fit", kOptFit},               {"--replace-colour", kOptReplaceColour},
      {"--recolour", kOptRecolour}, {"--filter", kOptFilter},   {"--follow-links", kOptFollowLinks},
      {"--take-from", kOptTakeFrom},
  };
  // Options that take one value: given twice, which one was meant is unknown.
  constexpr unsigned kOnce = kOptOut | kOptScreen | kOptZoom | kOptBackground | kOptFit | kOptRecolour | kOptFilter;
  unsigned given = 0;
  for (int i = first; i < argc; ++i) {
    const std::string arg = argv[i];
    unsigned flag = 0;
    for (const Known& k : kKnown) {
      if (arg == k.name) flag = k.flag;
    }
    if (!flag || !(command.options & flag)) {
      return "unknown option '" + arg + "' for " + command.name;
    }
    if ((flag & kOnce) && (given & flag)) return arg + " is given twice";
    given |= flag;
    std::string v;
    const bool takesValue = !(flag & (kOptJson | kOptAll | kOptFollowLinks));
    if (takesValue) {
      if (i + 1 >= argc) return arg + " needs a value";
      v = argv[++i];
    }
    switch (flag) {
      case kOptSkin: o.skins.push_back(v); break;
      case kOptTakeFrom: {
        TakeStep step;
        if (std::string err = ParseTakeStep(v, step); !err.empty()) return err;
        o.takes.push_back(std::move(step));
        break;
      }
      case kOptImport: {
        const std::size_t eq = v.find('=');
        if (eq == std::string::npos) return "--import needs NAME=FILE, got '" + v + "'";
        const std::optional<ImageId> id = FindImage(v.substr(0, eq));
        if (!id) return "unknown picture name '" + v.substr(0, eq) + "'";
        o.imports.push_back({id, v.substr(eq + 1)});
        break;
      }
      case kOptImportDir: o.imports.push_back({std::nullopt, v}); break;
      case kOptOut: o.out = v; break;
      case kOptScreen: {
        long long n = 0;
        if (!ParseInteger(v, 0, kPreviewScreenCount - 1, n)) return "--screen needs a number from 0 to 13";
        o.screen = static_cast<int>(n);
        break;
      }
      case kOptZoom: {
        if (!ParseFactor(v, o.zoom) || !(o.zoom >= 1.0f) || o.zoom > kMaxZoom) {
          return "--zoom needs a factor from 1 to 16, in plain decimal digits (2, 1.5)";
        }
        break;
      }
      case kOptBackground: {
        long long n = 0;
        if (!ParseInteger(v, 0, 0xFFFFFF, n)) return "--background needs a number from 0 to 16777215";
        o.background = static_cast<std::uint32_t>(n);
        break;
      }
      case kOptAt: {
        Point p;
        if (!ParsePoint(v, p)) return "--at needs X,Y inside the 266 x 490 preview, got '" + v + "'";
        o.at.push_back(p);
        break;
      }
      case kOptFit: {
        if (v == "cover") {
          o.fit = FitMode::Cover;
        } else if (v == "stretch") {
          o.fit = FitMode::Stretch;
        } else if (v == "keep") {
          o.fit = FitMode::Keep;
        } else {
          return "--fit needs cover, stretch or keep, got '" + v + "'";
        }
        break;
      }
      case kOptReplaceColour: {
        const std::size_t eq = v.find('=');
        Rgb15 from = 0, to = 0;
        if (eq == std::string::npos || !ParseColour15(v.substr(0, eq), from) || !ParseColour15(v.substr(eq + 1), to)) {
          return "--replace-colour needs 0xAAAA=0xBBBB, two 15-bit colours as the settings file writes them "
                 "(0x and 1 to 4 hexadecimal digits, below 0x8000), got '" + v + "'";
        }
        if (!o.replace.emplace(from, to).second) return "--replace-colour gives " + v.substr(0, eq) + " twice";
        break;
      }
      case kOptRecolour: {
        HslShift shift;
        if (!ParseShift(v, shift)) {
          return "--recolour needs DH[,DS[,DL]]: hue -180 to 180, saturation and lightness -100 to 100, "
                 "whole numbers, got '" + v + "'";
        }
        o.recolour = shift;
        break;
      }
      case kOptFilter: {
        const std::optional<ScreenFilter> filter = FindScreenFilter(v);
        if (!filter || *filter == ScreenFilter::None) {
          return "--filter needs console, protanopia, deuteranopia or tritanopia, got '" + v + "'";
        }
        o.filter = *filter;
        break;
      }
      case kOptJson: o.json = true; break;
      case kOptAll: o.all = true; break;
      case kOptFollowLinks: o.followLinks = true; break;
    }
  }
  return "";
}

void StderrFeedback::ShowError(const std::string& body) {
  // The core escapes the names it puts into a message; whatever else comes
  // is escaped here, so that one message is one line.
  std::cerr << PrintableText(body) << '\n';
  ++messages;
}

void StderrFeedback::Note(const Message&, const std::string& body) {
  std::cerr << "skintool: note: " << PrintableText(body) << '\n';
}

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool MakeFolders(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      const std::string part = path.substr(0, i);
      if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
  }
  return IsExistingFolder(path);
}

namespace {

void ImportFolder(const std::string& folder, FitMode fit, Skin& skin, SkinIoContext& ctx, Assembly& done) {
  const FolderImport import = ReadPictureFolder(folder, ctx, skin, fit);
  ApplyFolderImport(skin, import);
  for (const FolderImport::Taken& t : import.pictures) done.imported[static_cast<std::size_t>(t.image)] = true;
  for (const std::string& path : import.unmatched) {
    std::cerr << "skintool: note: " << PrintableText(path) << ": no picture has this name; not imported\n";
  }
  for (const FolderImport::PassedOver& p : import.passedOver) {
    std::cerr << "skintool: note: " << PrintableText(p.path) << ": not imported, " << PrintableText(p.taken)
              << " is taken for " << CatalogueEntryOf(p.image).name << '\n';
  }
}

// What --take-from names of the skin at step.path, taken as the editor
// takes it; the pictures it changed count as imported, so the check no longer
// judges them by the files of --skin.
void TakeInto(const TakeStep& step, Skin& skin, SkinIoContext& ctx, Assembly& done) {
  const std::optional<TakeSource> source = ReadTakeSource(step.path, !IsExistingFolder(step.path), ctx);
  if (!source) return;
  for (const Message& m : TakeMessages(*source, step.choice, skin, ctx.budget.pixels)) {
    ctx.feedback.Note(m, FormatMessage(m, ctx.texts) + " (not taken from " + source->name + ")");
  }
  const SkinEdit edit = TakeFromSkin(*source, step.choice, ctx.budget.pixels).Make(skin);
  edit.Apply(skin, false);
  for (const PictureChange& p : edit.pictures) done.imported[static_cast<std::size_t>(p.image)] = true;
}

}  // namespace

Assembly AssembleSkin(const Options& o, Skin& skin, SkinIoContext& ctx) {
  Assembly done;
  ResetSkinToDefaults(skin);
  for (const std::string& path : o.skins) OpenSkinOver(skin, path, !IsExistingFolder(path), ctx);
  for (const TakeStep& step : o.takes) TakeInto(step, skin, ctx, done);
  for (const ImportStep& step : o.imports) {
    if (!step.image) {
      ImportFolder(step.path, o.fit, skin, ctx, done);
    } else if (ImportSkinImageFile(skin, *step.image, step.path, ctx, o.fit)) {
      done.imported[static_cast<std::size_t>(*step.image)] = true;
    }
  }
  ReplaceColours(skin, o.replace);
  if (o.recolour) RecolourSkin(skin, *o.recolour, RecolourScope::Everything);
  return done;
}

Skin& CommandSkin() {
  static Skin skin;
  return skin;
}
