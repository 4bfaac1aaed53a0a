#include "preview/sample_texts.h"

#include <array>

#include "assets/builtin_text.h"

namespace sample {
namespace {

constexpr auto kFileNameTitle = ScrambleText("File name");
constexpr auto kGameNameTitle = ScrambleText("Game title");
constexpr auto kFileName = ScrambleText("0022 - Gear Hollow 2 DX (E).nds ");
constexpr auto kGameName = ScrambleText("GEAR HOLLOW 2 DX");
constexpr auto kType0 = ScrambleText("NDS game");
constexpr auto kType1 = ScrambleText("16 MB, EEPROM");
constexpr auto kType2 = ScrambleText("Code GHLW-01");
constexpr auto kFolderPath = ScrambleText("/Games/Action/ ");
constexpr auto kFolderName = ScrambleText("Games ");
constexpr auto kFolderSummary = ScrambleText("12 files, 3 folders");
constexpr auto kFolderType = ScrambleText("File folder");
constexpr auto kFolderInfoPath = ScrambleText("/Games/");
constexpr auto kRow0 = ScrambleText("Action");
constexpr auto kRow1 = ScrambleText("Games");
constexpr auto kRow2 = ScrambleText("Homebrew");
constexpr auto kRow3 = ScrambleText("Music");
constexpr auto kCheatTitle = ScrambleText("Gear Hollow 2 DX: 7 codes ");
constexpr auto kClearAll = ScrambleText("Clear ");
constexpr auto kCheat0 = ScrambleText("Infinite lives");
constexpr auto kCheat1 = ScrambleText("Have all cogs");
constexpr auto kCheat2 = ScrambleText("Float jump (hold L)");
constexpr auto kCheat3 = ScrambleText("Speed: normal");
constexpr auto kCheat4 = ScrambleText("Speed: fast");
constexpr auto kCheat5 = ScrambleText("Speed: turbo");
constexpr auto kCheat6 = ScrambleText("More codes");

}  // namespace

std::string FileNameTitle() { return Unscramble(kFileNameTitle); }
std::string GameNameTitle() { return Unscramble(kGameNameTitle); }
std::string FileName() { return Unscramble(kFileName); }
std::string GameName() { return Unscramble(kGameName); }
std::string FileTypeLine(int line) {
  return line == 0 ? Unscramble(kType0) : line == 1 ? Unscramble(kType1) : Unscramble(kType2);
}
std::string FolderPath() { return Unscramble(kFolderPath); }
std::string FolderName() { return Unscramble(kFolderName); }
std::string FolderSummary() { return Unscramble(kFolderSummary); }
std::string FolderTypeLine() { return Unscramble(kFolderType); }
std::string FolderInfoPath() { return Unscramble(kFolderInfoPath); }
std::string ListRow(int row) {
  switch (row) {
    case 0: return Unscramble(kRow0);
    case 1: return Unscramble(kRow1);
    case 2: return Unscramble(kRow2);
    default: return Unscramble(kRow3);
  }
}
std::string CheatTitle() { return Unscramble(kCheatTitle); }
std::string ClearAllTitle() { return Unscramble(kClearAll); }
std::string CheatEntry(int row) {
  switch (row) {
    case 0: return Unscramble(kCheat0);
    case 1: return Unscramble(kCheat1);
    case 2: return Unscramble(kCheat2);
    case 3: return Unscramble(kCheat3);
    case 4: return Unscramble(kCheat4);
    case 5: return Unscramble(kCheat5);
    default: return Unscramble(kCheat6);
  }
}

}  // namespace sample
