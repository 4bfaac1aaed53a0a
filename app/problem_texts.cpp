#include "app/problem_texts.h"

#include "app/language.h"

ProblemTemplates ProblemTemplatesOf(const LanguageTable& texts) {
  ProblemTemplates t;
  for (std::size_t i = 0; i < kProblemTextCount; ++i) {
    t[i] = texts.Text(ProblemTextKey(static_cast<ProblemText>(i))).toStdString();
  }
  return t;
}

QString ProblemMessage(const Problem& problem, const ProblemTemplates& templates) {
  return QString::fromStdString(FormatProblem(problem, templates));
}
