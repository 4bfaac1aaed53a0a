// The problems and the palette as JSON, as skintool check --json and
// palette --json print them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "check/problem.h"
#include "images/colour_work.h"

// A JSON string, always valid UTF-8. Valid UTF-8 passes as it is (strictly:
// no overlong forms, surrogates or code points above U+10FFFF); any other
// byte stands for the Latin-1 character of its value ("\u00e9"), as the
// settings file's 8-bit text does. Control characters are escaped.
std::string JsonString(std::string_view text);

// One JSON array of objects with severity, code, subject, message, and line
// and screen where they apply; one object a line, ending in a line break.
std::string ProblemsJson(const std::vector<Problem>& problems);

// The palette: one JSON array in the palette's order, one colour a line,
// each with its value as the settings file writes it, its count, the fields
// and the pictures (with their pixels) that hold it.
std::string PaletteJson(const std::vector<PaletteEntry>& palette);
