// skintool convert: a skin saved as a folder, the way the editor saves it.
#include "cli/cli_common.h"

#include <iostream>

#include "images/archive_writer.h"
#include "skin/ascii.h"
#include "skin/clock.h"
#include "skin/printable.h"

namespace {

bool IsArchiveName(const std::string& path) {
  return path.size() > 4 && EqualsIgnoringAsciiCase(std::string_view(path).substr(path.size() - 4), ".zip");
}

int Convert(const Options& o) {
  if (!o.out) return UsageError("convert needs --out DIR or --out NAME.zip");
  BuiltSkin built(o);
  const TypedInfo typed = TypedInfoOf(built.skin);
  if (IsArchiveName(*o.out)) {
    SaveSkinArchive(built.skin, *o.out, typed, SourceDateEpochClock(), built.ctx);
    return built.status();
  }
  if (!MakeFolders(*o.out)) {
    std::cerr << PrintableText(*o.out) << ": " << built.texts.fileNotSaved << '\n';
    return 1;
  }
  const std::vector<std::string> leaving = LinksLeavingFolder(SavedFileNames(built.skin), *o.out);
  if (!leaving.empty() && !o.followLinks) {
    // A skin folder unpacked from elsewhere may link a file of it to one of
    // the user's own: that is written only when asked for.
    for (const std::string& name : leaving) {
      std::cerr << "skintool: " << PrintableText(JoinPath(*o.out, name))
                << ": a link to a file outside the folder; nothing was written (--follow-links writes through it)\n";
    }
    return 1;
  }
  SaveSkinFolder(built.skin, *o.out, typed, SourceDateEpochClock(), built.ctx,
                 o.followLinks ? OutsideLinks::Follow : OutsideLinks::Refuse);
  return built.status();
}

}  // namespace

extern const Command kConvertCommand = {
    "convert",
    kOptBuild | kOptOut | kOptFollowLinks,
    "skintool convert [--skin PATH]... [--take-from PATH[:GROUPS]]...\n"
    "                  [--import NAME=FILE]... [--import-dir DIR] [--fit MODE]\n"
    "                  [--replace-colour 0xAAAA=0xBBBB]... [--recolour DH[,DS[,DL]]]\n"
    "                  [--follow-links] --out DIR|NAME.zip",
    "Starts from the built-in default skin, opens each --skin in the order given\n"
    "(a folder, or anything else as a .zip archive) without a reset between them,\n"
    "takes what each --take-from names of another skin, in the order given,\n"
    "applies the imports in the order given (each fitted by --fit), then\n"
    "--replace-colour and --recolour, and saves the skin into DIR as\n"
    "uisettings.ini plus 16-bit BMP files, as the editor's Save does (DIR is created\n"
    "when missing; files already there are replaced in place of their old bytes).\n"
    "With --out NAME.zip the same files, with the same bytes, go into one archive\n"
    "instead, inside a folder NAME: uisettings.ini first, then the pictures in\n"
    "catalogue order, deflated and dated with LastUpdate, so that two exports of\n"
    "one skin are the same bytes. The archive is written under a temporary name\n"
    "and renamed, so a failure leaves an old archive as it was; where that cannot\n"
    "be done (a read-only folder, an archive with other hard links), nothing is\n"
    "written and that is reported.\n"
    "\n"
    "  --skin PATH         a skin folder or a .zip holding one; may be repeated\n"
    "  --take-from PATH[:GROUPS]\n"
    "                      takes GROUPS of the skin at PATH (a folder or a .zip),\n"
    "                      as the editor's Skin > Take from skin does; all of them\n"
    "                      when no GROUPS are given: colours (every colour field),\n"
    "                      pictures (the 53), positions (the numbers and check\n"
    "                      boxes of the element records), info (Title, Author,\n"
    "                      eMail, Url; never LastUpdate). A group may name some of\n"
    "                      its items: colours=formFrameColor,[main list] textColor\n"
    "                      pictures=startbar,icon/nds  positions=[start bar]\n"
    "                      info=Title; groups are separated by ';' (plain groups\n"
    "                      by ',' too): colours,positions;pictures=startbar. A\n"
    "                      picture PATH lacks or cannot read is noted and not\n"
    "                      taken. A PATH that exists is taken whole, even with a\n"
    "                      ':' in its name. May be repeated\n"
    "  --import NAME=FILE  replace picture NAME (startbar, icon/nds, ...) from a BMP,\n"
    "                      PNG or JPEG file, reduced to 15-bit colour unless it is a\n"
    "                      16-bit BMP taken at its own size; may be repeated\n"
    "  --import-dir DIR    import every file of DIR (and of DIR/icon for the icons)\n"
    "                      named after a picture: lamp.bmp, LAMP.PNG, lamp.jpeg, ...\n"
    "                      (.bmp, .png, .jpg, .jpeg in any letter case); steps run in\n"
    "                      order, so a later --import wins for its picture\n"
    "  --fit MODE          what every import does with a picture whose size is not\n"
    "                      the one the skin expects (the built-in picture's):\n"
    "                      keep (the default) takes it as it is; cover scales it,\n"
    "                      keeping its shape, to cover that size and cuts out the\n"
    "                      middle; stretch scales it to exactly that size. Scaling\n"
    "                      down averages the pixels each new pixel covers; scaling\n"
    "                      up by whole factors repeats pixels\n"
    "  --replace-colour 0xAAAA=0xBBBB\n"
    "                      after the imports, every pixel and colour field of\n"
    "                      15-bit colour 0xAAAA becomes 0xBBBB; colours as the\n"
    "                      settings file writes them (0x and 1 to 4 hexadecimal\n"
    "                      digits, below 0x8000); may be repeated, and all apply at\n"
    "                      once (0x1=0x2 with 0x2=0x1 swaps the two)\n"
    "  --recolour DH[,DS[,DL]]\n"
    "                      last, shifts every colour of the pictures and fields:\n"
    "                      hue by DH degrees (-180 to 180), saturation and lightness\n"
    "                      by DS and DL points (-100 to 100, default 0), colour by\n"
    "                      colour without dithering; key-green pixels stay, and\n"
    "                      no other pixel turns key green (it takes 0x03c0)\n"
    "  --out DIR           the folder to save into, or NAME.zip for one archive\n"
    "  --follow-links      write through a file of DIR that is a symbolic link to a\n"
    "                      file outside DIR (without it, nothing is written and the\n"
    "                      link is named; links inside DIR are always followed)\n"
    "\n"
    "A save into DIR is all or nothing: the new files are written beside the old\n"
    "ones and put in place only when every one of them was written, so a failure\n"
    "(a full disk) leaves every old file as it was.\n"
    "\n"
    "An imported file's half-transparent pixels (alpha 1 to 254) are noted on\n"
    "stderr (skintool: note: ...), without counting as a message: those with alpha\n"
    "128 or more keep their colour, the others become the key green, as fully\n"
    "transparent pixels do.\n"
    "\n"
    "When SOURCE_DATE_EPOCH is set, that moment (UTC) is stamped into LastUpdate.\n"
    "\n"
    "Example:\n"
    "  skintool convert --skin myskin.zip --import startbar=bar.png --out myskin\n"
    "  skintool convert --skin myskin --import-dir drawings --out myskin-1.2.zip\n"
    "  skintool convert --import upper_screen=photo.jpg --fit cover --recolour 30 --out teal\n"
    "  skintool convert --skin myskin --take-from sunset.zip:pictures --out myskin-sunset.zip\n",
    Convert,
};
