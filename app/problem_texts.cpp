#include "app/problem_texts.h"

#include "app/language.h"

ProblemTemplates ProblemTemplatesOf(const LanguageTable& texts) { return texts.texts().Problems(); }

QString ProblemMessage(const Problem& problem, const ProblemTemplates& templates) {
  return QString::fromStdString(FormatProblem(problem, templates));
}
