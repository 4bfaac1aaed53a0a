#include "app/fit_dialog.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

#include "app/language.h"
#include "app/modal.h"
#include "app/qt_picture.h"
#include "edit/picture_import.h"
#include "preview/canvas.h"

namespace {

// Each way is drawn in a box of the console's screen.
constexpr QSize kBox(kScreenWidth, kScreenHeight);

// One way drawn at `zoom` in a box of the screen's size: the picture from
// the box's top left, pixels repeated, and the size the skin expects
// outlined in dashes of black and white.
QLabel* Drawn(const QImage& image, QSize expected, int zoom, const QColor& background) {
  QImage box(kBox, QImage::Format_RGB32);
  box.fill(background);
  QPainter painter(&box);
  painter.drawImage(QRect(QPoint(0, 0), image.size() * zoom), image);
  const QRect slot(QPoint(0, 0), expected * zoom);
  painter.setPen(QPen(Qt::white, 1));
  painter.drawRect(slot.adjusted(0, 0, -1, -1));
  painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
  painter.drawRect(slot.adjusted(0, 0, -1, -1));
  painter.end();
  auto* label = new QLabel;
  label->setPixmap(QPixmap::fromImage(box));
  label->setFixedSize(kBox);
  return label;
}

}  // namespace

FitQuestion AskingToFit(const SourcePicture& source, int width, int height, const QString& text) {
  // Each way as the core draws it for the question, on both faces.
  const FitPreviews previews = FitQuestionPictures(source, width, height);
  FitQuestion question;
  question.text = text;
  question.expected = QSize(width, height);
  question.cover = ToQImage(previews.cover);
  question.stretch = ToQImage(previews.stretch);
  question.keep = ToQImage(previews.keep);
  return question;
}

int FitPreviewZoom(const FitQuestion& question, QSize box) {
  FitPreviews sizes;
  const auto size = [](const QImage& image) {
    Picture p;  // only its size counts
    p.width = image.width();
    p.height = image.height();
    return p;
  };
  sizes.cover = size(question.cover);
  sizes.stretch = size(question.stretch);
  sizes.keep = size(question.keep);
  return ::FitPreviewZoom(sizes, box.width(), box.height());
}

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
  const Way all[] = {{FitMode::Cover, &question.cover, "LANG_FIT_COVER$", "LANG_FIT_COVER_TIP$", "fit"},
                     {FitMode::Stretch, &question.stretch, "LANG_FIT_STRETCH$", "LANG_FIT_STRETCH_TIP$", "stretch"},
                     {FitMode::Keep, &question.keep, "LANG_FIT_KEEP$", "LANG_FIT_KEEP_TIP$", "keep"}};
  const int zoom = FitPreviewZoom(question, kBox);
  for (const Way& w : all) {
    auto* column = new QVBoxLayout;
    QLabel* drawn = Drawn(*w.image, question.expected, zoom, palette().color(QPalette::Dark));
    drawn->setObjectName(QLatin1String(w.name) + QStringLiteral("Shown"));
    column->addWidget(drawn);
    auto* button = new QPushButton(texts.Text(w.key));
    button->setObjectName(QLatin1String(w.name) + QStringLiteral("Button"));
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
