// skintool convert: a skin saved as a folder, the way the editor saves it.
#include "cli/cli_common.h"

#include <iostream>

#include "skin/clock.h"

namespace {

int Convert(const Options& o) {
  if (!o.out) return UsageError("convert needs --out DIR");
  StderrFeedback feedback;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{feedback, texts};
  Skin& skin = CommandSkin();
  AssembleSkin(o, skin, ctx);
  if (!MakeFolders(*o.out)) {
    std::cerr << *o.out << ": " << texts.fileNotSaved << '\n';
    return 1;
  }
  SaveSkinFolder(skin, *o.out, TypedInfo{skin.info.Title, skin.info.Author, skin.info.eMail, skin.info.Url},
                 SourceDateEpochClock(), ctx);
  return feedback.messages ? 1 : 0;
}

}  // namespace

extern const Command kConvertCommand = {
    "convert",
    kOptSkin | kOptImport | kOptImportDir | kOptOut,
    "skintool convert [--skin PATH]... [--import NAME=FILE]... [--import-dir DIR] --out DIR",
    "Starts from the built-in default skin, opens each --skin in the order given\n"
    "(a folder, or anything else as a .zip archive) without a reset between them,\n"
    "applies the imports in the order given, and saves the skin into DIR as\n"
    "uisettings.ini plus 16-bit BMP files, as the editor's Save does (DIR is created\n"
    "when missing; files already there are replaced in place of their old bytes).\n"
    "\n"
    "  --skin PATH         a skin folder or a .zip holding one; may be repeated\n"
    "  --import NAME=FILE  replace picture NAME (startbar, icon/nds, ...) from a BMP,\n"
    "                      PNG or JPEG file, reduced to 15-bit colour unless it is a\n"
    "                      16-bit BMP; may be repeated\n"
    "  --import-dir DIR    import every file of DIR (and DIR/icon) named after a\n"
    "                      picture; a later --import wins for its picture\n"
    "  --out DIR           the folder to save into\n"
    "\n"
    "When SOURCE_DATE_EPOCH is set, that moment (UTC) is stamped into LastUpdate.\n"
    "\n"
    "Example:\n"
    "  skintool convert --skin myskin.zip --import startbar=bar.png --out myskin\n",
    Convert,
};
