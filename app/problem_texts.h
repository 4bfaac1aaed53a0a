// The skin check's problems in the interface language: each template of the
// check is the text of its language key (ProblemTextKey, app/language.h).
#pragma once

#include <QString>

#include "check/problem.h"

class LanguageTable;

ProblemTemplates ProblemTemplatesOf(const LanguageTable& texts);

// The problem's text as the editor shows it, in the interface language.
QString ProblemMessage(const Problem& problem, const ProblemTemplates& templates);
