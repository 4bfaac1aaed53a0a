#include "app/fit_dialog.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "app/language.h"
#include "app/modal.h"

namespace {

// Each way's picture, no larger than this, shown pixel for pixel where it fits.
constexpr int kShown = 200;

QLabel* Shown(const QImage& image) {
  auto* label = new QLabel;
  QImage shown = image;
  if (shown.width() > kShown || shown.height() > kShown) shown = image.scaled(kShown, kShown, Qt::KeepAspectRatio);
  label->setPixmap(QPixmap::fromImage(shown));
  label->setAlignment(Qt::AlignCenter);
  label->setMinimumSize(kShown, kShown);
  label->setFrameShape(QFrame::StyledPanel);
  return label;
}

}  // namespace

FitDialog::FitDialog(QWidget* owner, const FitQuestion& question, const LanguageTable& texts) : QDialog(owner) {
  setObjectName(QStringLiteral("fitDialog"));
  setWindowTitle(texts.Text("LANG_FIT_TITLE$"));
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(question.text);
  text->setObjectName(QStringLiteral("question"));
  text->setTextFormat(Qt::PlainText);  // it names a file
  text->setWordWrap(true);
  layout->addWidget(text);
  auto* ways = new QHBoxLayout;
  struct Way {
    FitMode mode;
    const QImage* image;
    const char* key;
    const char* tip;
    const char* name;
  };
  const Way all[] = {{FitMode::Cover, &question.cover, "LANG_FIT_COVER$", "LANG_FIT_COVER_TIP$", "fitButton"},
                     {FitMode::Stretch, &question.stretch, "LANG_FIT_STRETCH$", "LANG_FIT_STRETCH_TIP$", "stretchButton"},
                     {FitMode::Keep, &question.keep, "LANG_FIT_KEEP$", "LANG_FIT_KEEP_TIP$", "keepButton"}};
  for (const Way& w : all) {
    auto* column = new QVBoxLayout;
    column->addWidget(Shown(*w.image));
    auto* button = new QPushButton(texts.Text(w.key));
    button->setObjectName(QLatin1String(w.name));
    button->setToolTip(texts.Text(w.tip));
    const FitMode mode = w.mode;
    connect(button, &QPushButton::clicked, this, [this, mode] {
      answer_ = mode;
      accept();
    });
    if (mode == FitMode::Cover) button->setDefault(true);
    column->addWidget(button);
    ways->addLayout(column);
  }
  layout->addLayout(ways);
  auto* cancel = new QPushButton(texts.Text("LANG_CANCEL$"));
  cancel->setObjectName(QStringLiteral("cancelButton"));
  cancel->setAutoDefault(false);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(cancel);
  layout->addLayout(bottom);
}

std::optional<FitMode> RunFitDialog(QWidget* owner, const FitQuestion& question, const LanguageTable& texts) {
  FitDialog dialog(owner, question, texts);
  RunModalOver(owner, dialog);
  return dialog.answer();
}
