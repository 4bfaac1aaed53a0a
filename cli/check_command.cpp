// skintool check: what is wrong with a skin, one problem a line or as JSON.
#include <sys/stat.h>

#include <iostream>

#include "check/check.h"
#include "check/problem_json.h"
#include "cli/cli_common.h"
#include "platform/folder_list.h"
#include "skin/printable.h"

namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

int Check(const Options& o) {
  for (const std::string& path : o.skins) {
    if (!Exists(path)) return UsageError("no skin at '" + path + "'");
  }
  for (const TakeStep& step : o.takes) {
    if (!Exists(step.path)) return UsageError("no skin at '" + step.path + "'");
  }
  for (const ImportStep& step : o.imports) {
    if (!step.image && !IsExistingFolder(step.path)) return UsageError("no folder at '" + step.path + "'");
  }
  // The opening messages are not shown: they become problems.
  MessageCollector collector;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{collector, texts};
  Skin& skin = CommandSkin();
  CheckInput input;
  input.replaced = AssembleSkin(o, skin, ctx).imported;
  input.messages = std::move(collector.messages);
  for (const std::string& path : o.skins) input.sources.push_back(ReadSkinSource(path));
  const std::vector<Problem> problems = CheckSkin(skin, input);
  if (o.json) {
    std::cout << ProblemsJson(problems);
  } else {
    for (const Problem& p : problems) {
      // Subjects and messages hold names from the skin's files escaped
      // already (MakeProblem); printed again escaped, no line can be forged.
      std::cout << SeverityName(p.severity) << ' ' << ProblemCodeName(p.code) << ' ' << PrintableText(p.subject)
                << ": " << PrintableText(p.message) << '\n';
    }
  }
  return problems.empty() ? 0 : 1;
}

}  // namespace

extern const Command kCheckCommand = {
    "check",
    kOptBuild | kOptJson,
    "skintool check [--skin PATH]... [--take-from PATH[:GROUPS]]...\n"
    "                  [--import NAME=FILE]... [--import-dir DIR] [--fit MODE]\n"
    "                  [--replace-colour 0xAAAA=0xBBBB]... [--recolour DH[,DS[,DL]]] [--json]",
    "Builds the skin as convert does and tells what is wrong with it before it goes\n"
    "to the card, one problem a line: SEVERITY CODE SUBJECT: text. The messages of\n"
    "opening are not printed as well: they become the first three problems.\n"
    "\n"
    "  error missing-settings uisettings.ini   a --skin without a settings file\n"
    "  error missing-picture NAME              a picture's file is missing\n"
    "  error unreadable-settings uisettings.ini  a settings file that cannot be read:\n"
    "                                          over 1 MB, not a file, no permission\n"
    "  error unreadable-picture NAME           a picture's file cannot be decoded or\n"
    "                                          read, or is over the size limits\n"
    "  warning settings-unknown-section [S]    a header the reader does not know\n"
    "  warning settings-unknown-key [S] key    a line no pass of the reader takes\n"
    "  warning settings-bad-number [S] key     not a plain decimal (0x10 reads as 0)\n"
    "  warning picture-size NAME               larger than the screen, a background\n"
    "                                          not 256 x 192, a file-type icon not\n"
    "                                          32 x 32 (one pixel either way is fine)\n"
    "  warning off-screen [S]                  an element wholly outside the screen\n"
    "  warning low-contrast [global settings] key\n"
    "                                          text hard to read on a preview screen,\n"
    "                                          numbered 1-14 as the editor's buttons\n"
    "                                          (contrast below 1.5:1 around the text)\n"
    "  warning stray-file PATH                 a file no picture uses whose name is\n"
    "                                          close to one the firmware reads\n"
    "  warning not-16-bit NAME                 a picture file that is not a 16-bit BMP\n"
    "  warning key-in-opaque NAME              key-green pixels (0x03e0) in a picture\n"
    "                                          the firmware draws without the key\n"
    "                                          colour: they show as bright green\n"
    "\n"
    "  --skin, --take-from, --import, --import-dir, --fit, --replace-colour,\n"
    "  --recolour        build the skin, as for convert\n"
    "  --json            one JSON array of objects with severity, code, subject,\n"
    "                    message, and line and screen where they apply (screen:\n"
    "                    the index --screen takes, 0-13; always valid UTF-8: a\n"
    "                    byte of no UTF-8 character stands for its Latin-1\n"
    "                    character)\n"
    "\n"
    "At most 100 problems of one code are listed, then one line of that code says\n"
    "how many more there are. Names from the skin's files are shown with control\n"
    "characters escaped (\\n, \\x1B).\n"
    "\n"
    "Exit status: 0 when nothing is found, 1 when anything is, 2 for a usage error\n"
    "or a --skin or --import-dir path that does not exist.\n"
    "\n"
    "Example:\n"
    "  skintool check --skin myskin\n",
    Check,
};
