#include "app/problem_texts.h"

#include "app/language.h"
#include "app/qt_text.h"

QString ProblemTextKey(ProblemText text) {
  QString name = Latin1(ProblemTextName(text));
  name.replace(QLatin1Char('-'), QLatin1Char('_')).replace(QLatin1Char('.'), QLatin1Char('_'));
  return QStringLiteral("LANG_PROBLEM_") + name.toUpper() + QLatin1Char('$');
}

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
