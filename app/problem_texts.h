// The skin check's problems in the interface language. Each template of the
// check has a language key made from its stable name ("picture-size.too-large"
// is LANG_PROBLEM_PICTURE_SIZE_TOO_LARGE$), whose built-in text is the
// check's own English.
#pragma once

#include <QString>

#include "check/problem.h"

class LanguageTable;

QString ProblemTextKey(ProblemText text);
ProblemTemplates ProblemTemplatesOf(const LanguageTable& texts);

// The problem's text as the editor shows it, in the interface language.
QString ProblemMessage(const Problem& problem, const ProblemTemplates& templates);
