// Sample texts of the preview screens whose wording is our own. They are
// kept scrambled in the program's data like the other built-in texts.
#pragma once

#include <string>

namespace sample {

// Game information (upper screen).
std::string FileNameTitle();
std::string GameNameTitle();
std::string FileName();                // fitted: ends with a space
std::string GameName();
std::string FileTypeLine(int line);    // 0..2, a space is appended before fitting
std::string FolderPath();              // fitted: ends with a space

// Folder information (upper screen of the list view).
std::string FolderName();              // fitted: ends with a space
std::string FolderSummary();
std::string FolderTypeLine();
std::string FolderInfoPath();

// The four rows of the list view.
std::string ListRow(int row);          // 0..3

// The cheat list.
std::string CheatTitle();              // fitted: ends with a space
std::string ClearAllTitle();           // fitted: ends with a space
std::string CheatEntry(int row);       // 0..6

}  // namespace sample
