#include "app/reload_bar.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "app/language.h"

namespace {

constexpr int kMargin = 6, kSpacing = 6;

}  // namespace

ReloadBar::ReloadBar(const LanguageTable& texts, QWidget* area) : QFrame(area) {
  setObjectName(QStringLiteral("ReloadBar"));
  setFrameShape(QFrame::StyledPanel);
  // The colours of a tooltip: a note from outside, set apart from the preview.
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::ToolTipBase);
  setForegroundRole(QPalette::ToolTipText);
  question_ = new QLabel;
  question_->setWordWrap(true);
  question_->setForegroundRole(QPalette::ToolTipText);
  reload_ = new QPushButton(texts.Text("LANG_RELOAD$"));
  reload_->setObjectName(QStringLiteral("reload"));
  keep_ = new QPushButton(texts.Text("LANG_RELOAD_KEEP$"));
  keep_->setObjectName(QStringLiteral("keepMine"));
  buttons_ = new QHBoxLayout;
  buttons_->setSpacing(kSpacing);
  buttons_->addStretch(1);
  buttons_->addWidget(reload_);
  buttons_->addWidget(keep_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kMargin, 4, kMargin, 4);
  layout->setSpacing(4);
  layout->addWidget(question_);
  layout->addLayout(buttons_);
  connect(reload_, &QPushButton::clicked, this, [this] {
    hide();
    emit answered(true);
  });
  connect(keep_, &QPushButton::clicked, this, [this] {
    hide();
    emit answered(false);
  });
  area->installEventFilter(this);
  hide();
}

void ReloadBar::Ask(const QString& question) {
  question_->setTextFormat(Qt::PlainText);  // it names files
  question_->setText(question);
  Place();
  show();
  raise();
}

void ReloadBar::Place() {
  const int width = parentWidget()->width();
  // The buttons side by side where they fit whole, else one under the other.
  const int row = 2 * kMargin + reload_->sizeHint().width() + kSpacing + keep_->sizeHint().width();
  buttons_->setDirection(row <= width ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
  layout()->invalidate();
  setGeometry(0, 0, width, layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width) : sizeHint().height());
}

bool ReloadBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible()) Place();
  return QFrame::eventFilter(watched, event);
}
