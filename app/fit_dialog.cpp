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
#include "preview/canvas.h"

namespace {

// Each way is drawn in a box of the console's screen.
constexpr QSize kBox(kScreenWidth, kScreenHeight);

// The top-left `width` x `height` of a picture file's pixels.
SourcePicture TopLeft(const SourcePicture& source, int width, int height) {
  width = std::min(width, source.width());
  height = std::min(height, source.height());
  if (width == source.width() && height == source.height()) return source;
  SourcePicture part;
  part.rgb = Picture(width, height);
  part.direct16 = source.direct16;
  if (!source.alpha.empty()) part.alpha.resize(std::size_t(width) * std::size_t(height));
  for (int y = 0; y < height; ++y) {
    std::copy_n(source.rgb.row(y), width, part.rgb.row(y));
    if (!source.alpha.empty()) {
      std::copy_n(source.alpha.begin() + std::ptrdiff_t(y) * source.width(), width,
                  part.alpha.begin() + std::ptrdiff_t(y) * width);
    }
  }
  return part;
}

// The skin picture an import makes of `source`, as far as the screen shows
// it. Error diffusion carries each pixel's error one column left on the next
// row, so the screen's part comes out as it does in the whole picture when
// the columns to its right that can reach it are reduced with it.
QImage AsShown(const SourcePicture& source) {
  const SourcePicture part = TopLeft(source, kScreenWidth + kScreenHeight, kScreenHeight);
  const QImage finished = ToQImage(FinishPicture(part));
  return finished.copy(0, 0, std::min(finished.width(), kScreenWidth), std::min(finished.height(), kScreenHeight));
}

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
  FitQuestion question;
  question.text = text;
  question.expected = QSize(width, height);
  question.cover = AsShown(FitPicture(source, width, height, FitMode::Cover));
  question.stretch = AsShown(FitPicture(source, width, height, FitMode::Stretch));
  question.keep = AsShown(source);
  return question;
}

int FitPreviewZoom(const FitQuestion& question, QSize box) {
  QSize largest;
  for (const QImage* image : {&question.cover, &question.stretch, &question.keep}) largest = largest.expandedTo(image->size());
  if (largest.isEmpty()) return 1;
  return std::max(1, std::min(box.width() / largest.width(), box.height() / largest.height()));
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
