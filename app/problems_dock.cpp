#include "app/problems_dock.h"

#include "app/qt_text.h"

#include <QAction>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLayout>
#include <QMainWindow>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>

#include "app/language.h"
#include "app/problem_texts.h"
#include "app/skin_document.h"

namespace {

enum Column { kCode, kSubject, kMessage };
constexpr int kIndexRole = Qt::UserRole;     // the problem's index in the list given
constexpr int kIdentityRole = Qt::UserRole + 1;  // code and subject: what keeps a selection

QString FromStd(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

ProblemsDock::ProblemsDock(const LanguageTable& texts, QMainWindow* window)
    : QDockWidget(texts.Text("LANG_VIEW_PROBLEMS$"), window),
      templates_(ProblemTemplatesOf(texts)),
      none_(texts.Text("LANG_PROBLEMS_NONE$")),
      error_(texts.Text("LANG_ERROR$")),
      warning_(texts.Text("LANG_PROBLEMS_WARNING$")),
      countFormat_(texts.Text("LANG_STATUS_PROBLEMS$")) {
  setObjectName(QStringLiteral("ProblemsDock"));
  setAllowedAreas(Qt::BottomDockWidgetArea);
  setFeatures(DockWidgetClosable | DockWidgetFloatable | DockWidgetMovable);
  BuildList(texts);
  BuildCount();
  hide();
  connect(toggleViewAction(), &QAction::triggered, this, &ProblemsDock::shownByUser);
}

void ProblemsDock::BuildList(const LanguageTable& texts) {
  list_ = new QTreeWidget;
  list_->setObjectName(QStringLiteral("problemList"));
  list_->setColumnCount(3);
  list_->setHeaderLabels({texts.Text("LANG_PROBLEMS_CODE$"), texts.Text("LANG_PROBLEMS_SUBJECT$"),
                          texts.Text("LANG_PROBLEMS_MESSAGE$")});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->header()->setSectionResizeMode(kCode, QHeaderView::ResizeToContents);
  list_->setColumnWidth(kSubject, 200);
  list_->header()->setStretchLastSection(true);
  setWidget(list_);
  connect(list_, &QTreeWidget::itemActivated, this, &ProblemsDock::Activated);
}

void ProblemsDock::BuildCount() {
  // Two numbers beside their icons: the status bar has little room.
  count_ = new QWidget;
  count_->setObjectName(QStringLiteral("problemCount"));
  auto* layout = new QHBoxLayout(count_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (QToolButton** b : {&errors_, &warnings_}) {
    *b = new QToolButton;
    (*b)->setAutoRaise(true);
    (*b)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    (*b)->setIcon(style()->standardIcon(b == &errors_ ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxWarning));
    layout->addWidget(*b);
    connect(*b, &QToolButton::clicked, this, [this] {
      const bool show = isHidden();
      setVisible(show);
      emit shownByUser(show);
    });
  }
}

void ProblemsDock::Follow(const SkinDocument& document) {
  connect(&document, &SkinDocument::problemsChanged, this, [this, &document] { ShowProblems(document.problems()); });
  ShowProblems(document.problems());
}

void ProblemsDock::ShowProblems(const std::vector<Problem>& problems) {
  const QTreeWidgetItem* selected = list_->currentItem();
  const QString keep = selected ? selected->data(kCode, kIdentityRole).toString() : QString();
  list_->clear();
  int errors = 0, warnings = 0;
  QTreeWidgetItem* again = nullptr;
  const QIcon errorIcon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
  const QIcon warningIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const Problem& p = problems[i];
    const bool error = p.severity == Severity::Error;
    ++(error ? errors : warnings);
    const QString message = ProblemMessage(p, templates_);
    auto* item = new QTreeWidgetItem(list_, {FromStd(ProblemCodeName(p.code)), FromStd(p.subject), message});
    item->setIcon(kCode, error ? errorIcon : warningIcon);
    item->setToolTip(kCode, error ? error_ : warning_);
    item->setToolTip(kSubject, PlainToolTip(item->text(kSubject)));
    item->setToolTip(kMessage, PlainToolTip(message));
    item->setData(kCode, kIndexRole, static_cast<int>(i));
    const QString identity = item->text(kCode) + QLatin1Char('\n') + item->text(kSubject);
    item->setData(kCode, kIdentityRole, identity);
    if (!again && !keep.isEmpty() && identity == keep) again = item;
  }
  if (problems.empty()) {
    auto* item = new QTreeWidgetItem(list_, {none_});
    item->setFlags(Qt::NoItemFlags);
    item->setFirstColumnSpanned(true);
  }
  if (again) list_->setCurrentItem(again);
  errors_->setText(QString::number(errors));
  warnings_->setText(QString::number(warnings));
  count_->setToolTip(countFormat_.arg(errors).arg(warnings) + QStringLiteral(" - ") + windowTitle() + QStringLiteral(" (F8)"));
  for (QToolButton* b : {errors_, warnings_}) b->setToolTip(count_->toolTip());
}

void ProblemsDock::Activated(QTreeWidgetItem* item) {
  const QVariant index = item ? item->data(kCode, kIndexRole) : QVariant();
  if (index.isValid()) emit problemActivated(index.toInt());
}

void ProblemsDock::closeEvent(QCloseEvent* event) {
  QDockWidget::closeEvent(event);
  emit shownByUser(false);
}
