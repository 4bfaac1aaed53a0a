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
  Problem shown = problem;
  if (shown.text == ProblemText::LowContrast && shown.screen && !shown.params.empty()) {
    shown.params[0] = std::to_string(*shown.screen + 1);
  }
  return QString::fromStdString(FormatProblem(shown, templates));
}
