#include "app/about_box.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "app/app_texts.h"
#include "app/language.h"
#include "app/modal.h"
#include "app/qt_picture.h"
#include "images/defaults.h"

namespace {

constexpr int kTextMargin = 3;

// The text area has a fixed size; rather than make the reader scroll, the
// font shrinks in half points (not below 7) until the whole text fits.
QFont FittingFont(QFont font, const QString& text, QSize area, int margin) {
  if (font.pointSizeF() <= 0) return font;  // a pixel-sized font is left alone
  for (qreal size = font.pointSizeF(); size >= 7; size -= 0.5) {
    font.setPointSizeF(size);
    QTextDocument doc;
    doc.setDefaultFont(font);
    doc.setDocumentMargin(margin);
    doc.setPlainText(text);
    doc.setTextWidth(area.width());
    if (doc.size().height() <= area.height()) break;
  }
  return font;
}

}  // namespace

UrlOpener SystemUrlOpener() {
  return [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

QString AboutBoxText() { return QString::fromStdString(about::BoxText()); }

AboutBox::AboutBox(QWidget* owner, const LanguageTable& texts, UrlOpener open)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint), open_(std::move(open)) {
  setObjectName(QStringLiteral("aboutBox"));
  setWindowTitle(texts.Text("LANG_ABOUT_ABOUT$"));
  setFixedSize(468, 250);

  banner_ = new QLabel(this);
  banner_->setObjectName(QStringLiteral("banner"));
  banner_->setGeometry(0, 0, 468, 60);
  banner_->setPixmap(QPixmap::fromImage(ToQImage(BuiltinPicture(BuiltinPictureId::AboutBanner))));
  banner_->setCursor(Qt::PointingHandCursor);
  banner_->setToolTip(AboutBannerAddress());
  banner_->installEventFilter(this);

  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("aboutText"));
  text_->setGeometry(5, 65, 458, 130);
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  text_->setFont(FittingFont(text_->font(), AboutBoxText(), QSize(458, 130) - QSize(4, 4), kTextMargin));
  text_->document()->setDocumentMargin(kTextMargin);
  text_->setPlainText(AboutBoxText());

  link_ = new QLabel(AboutLinkText(), this);
  link_->setObjectName(QStringLiteral("link"));
  link_->setGeometry(20, 200, 150, 20);
  link_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QPalette linkPalette = link_->palette();
  linkPalette.setColor(QPalette::WindowText, QColor(64, 64, 255));
  link_->setPalette(linkPalette);
  QFont linkFont = link_->font();
  linkFont.setUnderline(true);
  link_->setFont(linkFont);
  link_->setCursor(Qt::PointingHandCursor);
  link_->setToolTip(AboutLinkAddress());
  link_->installEventFilter(this);

  ok_ = new QPushButton(texts.Text("LANG_OK$"), this);
  ok_->setObjectName(QStringLiteral("okButton"));
  ok_->setGeometry(184, 220, 100, 20);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, [this] {
    closing_ = true;
    accept();
  });
  ok_->setFocus();
}

void AboutBox::CentreOver(const QWidget* owner) {
  if (!owner) return;
  const QRect ownerFrame = owner->frameGeometry();
  // Before it is shown this window has no frame of its own yet; the owner's
  // decoration is the best guess of what it will get.
  const QRect ownerClient = owner->geometry();
  const QMargins frame(ownerClient.left() - ownerFrame.left(), ownerClient.top() - ownerFrame.top(),
                       ownerFrame.right() - ownerClient.right(), ownerFrame.bottom() - ownerClient.bottom());
  const QSize outer = size().grownBy(frame);
  move(ownerFrame.center() - QPoint(outer.width() / 2, outer.height() / 2) + QPoint(1, 1));
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == banner_ || watched == link_) && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (open_) open_(QUrl(watched == banner_ ? AboutBannerAddress() : AboutLinkAddress()));
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void AboutBox::reject() {}

void AboutBox::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
  } else {
    event->ignore();
  }
}

void RunAboutBox(QWidget* owner, const LanguageTable& texts, UrlOpener open) {
  AboutBox box(owner, texts, std::move(open));
  box.CentreOver(owner);
  RunModalOver(owner, box);
}
