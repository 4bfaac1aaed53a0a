// The settings codes, from the raw bytes of uisettings.ini: headers the
// reader does not know, lines that no pass of the reader takes, and numbers
// that the reader reads otherwise than a person would.
#pragma once

#include <string_view>
#include <vector>

#include "check/problem.h"

// Lines are split and matched exactly as ReadSkinSettings does (both of its
// passes, each with its own current section), so a warning means the reader
// really skips or misreads that line. Blank lines and comment lines (";" or
// "#" first) are not reported. Never fails.
std::vector<Problem> CheckSettingsText(std::string_view bytes);
