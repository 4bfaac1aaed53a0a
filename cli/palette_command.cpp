// skintool palette: the 15-bit colours a skin uses, most used first.
#include <iostream>

#include "check/problem_json.h"
#include "cli/cli_common.h"

namespace {

std::string ColourText(Rgb15 colour) { return FormatSkinColour(Rgb15ToRgb24(colour)); }

int Palette(const Options& o) {
  const BuiltSkin built(o);
  const std::vector<PaletteEntry> palette = SkinPalette(built.skin);
  if (o.json) {
    std::cout << PaletteJson(palette);
  } else {
    for (const PaletteEntry& e : palette) {
      std::cout << ColourText(e.colour) << ' ' << e.count << (e.key() ? " key" : "") << '\n';
    }
  }
  return built.status();
}

}  // namespace

extern const Command kPaletteCommand = {
    "palette",
    kOptBuild | kOptJson,
    "skintool palette [--skin PATH]... [--take-from PATH[:GROUPS]]...\n"
    "                  [--import NAME=FILE]... [--import-dir DIR] [--fit MODE]\n"
    "                  [--replace-colour 0xAAAA=0xBBBB]... [--recolour DH[,DS[,DL]]] [--json]",
    "Builds the skin as convert does and lists the 15-bit colours it uses, in its\n"
    "41 colour fields and in the pixels of its 53 pictures, one a line:\n"
    "\n"
    "  0xbbbb COUNT        the colour as the settings file writes it, and how often\n"
    "                      it is used: its pixels plus the colour fields holding it\n"
    "\n"
    "Most used first; equal counts by value. The key colour's line (0x03e0) ends in\n"
    "\" key\". A pixel counts by its 15-bit value, as a save writes it.\n"
    "\n"
    "  --skin, --take-from, --import, --import-dir, --fit, --replace-colour,\n"
    "  --recolour        build the skin, as for convert\n"
    "  --json            one JSON array in the same order, one object a colour:\n"
    "                    {\"colour\": \"0xbbbb\", \"count\": N, \"fields\": [\"[section] key\",\n"
    "                    ...], \"pictures\": {\"name\": N, ...}}, fields in file order,\n"
    "                    pictures in catalogue order with their pixels of the colour\n"
    "\n"
    "Exit status: 0, or 1 when building the skin reported messages; 2 for a usage\n"
    "error.\n"
    "\n"
    "Example:\n"
    "  skintool palette --skin myskin\n"
    "  skintool palette --skin myskin --replace-colour 0x7fff=0x7bde --json\n",
    Palette,
};
