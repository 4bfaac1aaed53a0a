// skintool: the editor's engine without a window. It opens skins, imports
// pictures and saves, renders the preview and writes screenshots exactly as
// the editor does, printing the editor's messages to stderr.
#include <cstring>
#include <iostream>
#include <string>

#include "cli/cli_common.h"

extern const Command kCheckCommand;
extern const Command kConvertCommand;
extern const Command kInspectCommand;
extern const Command kPaletteCommand;
extern const Command kRenderCommand;
extern const Command kScreenshotCommand;

const std::vector<const Command*>& Commands() {
  static const std::vector<const Command*> commands = {&kConvertCommand, &kRenderCommand, &kScreenshotCommand,
                                                          &kCheckCommand, &kInspectCommand, &kPaletteCommand};
  return commands;
}

namespace {

constexpr const char* kIntroduction =
    "skintool - the skin editor's engine without a window\n"
    "\n"
    "Every command starts from the built-in default skin, opens each --skin in\n"
    "order, takes what each --take-from names of another skin, and applies the\n"
    "imports (fitted by --fit), then --replace-colour and --recolour, exactly as\n"
    "the editor would.\n";

constexpr const char* kExitStatus =
    "Messages the editor would show in a message box are printed to stderr, one\n"
    "per line. Exit status: 0 when nothing was reported, 1 when at least one\n"
    "message was (check: when a problem was found), 2 for a usage error.\n";

const Command* FindCommand(const std::string& name) {
  for (const Command* c : Commands()) {
    if (name == c->name) return c;
  }
  return nullptr;
}

// The synopsis, then the command's text indented under it.
void PrintCommandHelp(const Command& c) {
  std::cout << "  " << c.synopsis << "\n\n";
  std::string line;
  for (const char* p = c.help; *p; ++p) {
    if (*p != '\n') {
      line += *p;
      continue;
    }
    std::cout << (line.empty() ? "" : "      ") << line << '\n';
    line.clear();
  }
}

void PrintHelp() {
  std::cout << kIntroduction << '\n';
  for (const Command* c : Commands()) {
    PrintCommandHelp(*c);
    std::cout << '\n';
  }
  std::cout << "  skintool help [COMMAND]    this text, or one command's part of it\n\n" << kExitStatus;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return UsageError("no command given");
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    if (argc >= 3 && name == "help") {
      const Command* c = FindCommand(argv[2]);
      if (!c) return UsageError("unknown command '" + std::string(argv[2]) + "'");
      PrintCommandHelp(*c);
      return 0;
    }
    PrintHelp();
    return 0;
  }
  const Command* command = FindCommand(name);
  if (!command) return UsageError("unknown command '" + name + "'");
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      PrintCommandHelp(*command);
      return 0;
    }
  }
  Options options;
  if (const std::string err = ParseOptions(*command, argc, argv, 2, options); !err.empty()) return UsageError(err);
  return command->run(options);
}
