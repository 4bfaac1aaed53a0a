// The about box: layout, its text in order, the link and banner addresses,
// and the modal run that only OK ends.
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include <functional>

#include "app/about_box.h"
#include "app/app_texts.h"
#include "app/language.h"
#include "app/qt_picture.h"
#include "images/defaults.h"
#include "tests/app/when_open.h"

namespace {

// Counts the pixels of exactly this colour.
int CountPixels(const QImage& image, const QColor& colour) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  int n = 0;
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x)
      if (rgb.pixelColor(x, y) == colour) ++n;
  return n;
}

}  // namespace

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void layoutAndCaption();
  void textBlocksInOrder();
  void linkLooksLikeALink();
  void clicksOpenTheirAddresses();
  void modalRunEndsOnlyWithOk();

 private:
  LanguageTable texts_;
  std::vector<QUrl> opened_;
  UrlOpener Recorder() {
    return [this](const QUrl& url) { opened_.push_back(url); };
  }
};

void AboutBoxTest::layoutAndCaption() {
  AboutBox box(nullptr, texts_, Recorder());
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  QCOMPARE(box.size(), QSize(468, 250));
  QCOMPARE(box.minimumSize(), box.maximumSize());
  QCOMPARE(box.windowTitle(), texts_.Text("LANG_ABOUT_ABOUT$"));
  QVERIFY(!box.windowFlags().testFlag(Qt::WindowCloseButtonHint));
  QVERIFY(box.windowFlags().testFlag(Qt::CustomizeWindowHint));

  // The layout by its relations: the banner across the top at the size of
  // its picture, the text below it with equal margins, the link below the
  // text, and OK centred at the bottom; nothing overlaps, all inside.
  QWidget* places[4];
  const char* names[] = {"banner", "aboutText", "link", "okButton"};
  for (int i = 0; i < 4; ++i) {
    places[i] = box.findChild<QWidget*>(QString::fromLatin1(names[i]));
    QVERIFY2(places[i] && places[i]->isVisible(), names[i]);
    QVERIFY2(box.rect().contains(places[i]->geometry()), names[i]);
    for (int j = 0; j < i; ++j) QVERIFY2(!places[i]->geometry().intersects(places[j]->geometry()), names[i]);
  }
  const QRect banner = places[0]->geometry(), text = places[1]->geometry(), link = places[2]->geometry(),
              ok = places[3]->geometry();
  const Picture& bannerPicture = BuiltinPicture(BuiltinPictureId::AboutBanner);
  QCOMPARE(banner, QRect(0, 0, bannerPicture.width, bannerPicture.height));
  QCOMPARE(banner.width(), box.width());
  QVERIFY(text.top() > banner.bottom());
  QCOMPARE(text.left(), box.width() - 1 - text.right());
  QVERIFY(link.top() > text.bottom());
  QVERIFY(ok.top() > text.bottom());
  QVERIFY(link.right() < ok.left());
  QVERIFY(qAbs(ok.center().x() - box.rect().center().x()) <= 1);
  QVERIFY(box.height() - 1 - ok.bottom() <= 10);
  QCOMPARE(box.findChild<QPushButton*>("okButton")->text(), texts_.Text("LANG_OK$"));
  // The whole text fits the fixed area: nothing to scroll.
  QCOMPARE(box.findChild<QPlainTextEdit*>("aboutText")->verticalScrollBar()->maximum(), 0);

  // The banner shows the built-in picture, pixel for pixel.
  const QImage shown = box.findChild<QLabel*>("banner")->pixmap().toImage().convertToFormat(QImage::Format_RGB888);
  QCOMPARE(shown, ToQImage(bannerPicture));
}

void AboutBoxTest::textBlocksInOrder() {
  AboutBox box(nullptr, texts_, Recorder());
  auto* text = box.findChild<QPlainTextEdit*>("aboutText");
  QVERIFY(text);
  QVERIFY(text->isReadOnly());
  // Four blocks of text: the first alone, then two blank lines, the
  // program's name with its version, what it is made with, a blank line, and
  // what it reads and writes last.
  const QStringList lines = text->toPlainText().split(QLatin1Char('\n'));
  QCOMPARE(lines.size(), 7);
  QCOMPARE(lines.mid(1, 2), (QStringList{QString(), QString()}));
  QCOMPARE(lines[5], QString());
  for (int i : {0, 3, 4, 6}) QVERIFY2(!lines[i].trimmed().isEmpty(), qPrintable(lines[i]));
  QVERIFY2(lines[3].startsWith(QStringLiteral("Skin Editor v0.100603 ")), qPrintable(lines[3]));
  for (const char* library : {"Qt", "libpng", "libjpeg", "zlib", "minizip"}) {
    QVERIFY2(lines[3].contains(QLatin1String(library)), library);
  }
  QVERIFY(lines[6].contains(QStringLiteral("16-bit BMP")));
  QCOMPARE(text->toPlainText().count(QStringLiteral("v0.100603")), 1);
}

void AboutBoxTest::linkLooksLikeALink() {
  AboutBox box(nullptr, texts_, Recorder());
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  auto* link = box.findChild<QLabel*>("link");
  QCOMPARE(link->text(), QStringLiteral("Project page and manual"));
  // Blue, underlined and with a pointing hand, as links look; in a colour of
  // its own that the rest of the box does not use.
  const QColor colour = link->palette().color(QPalette::WindowText);
  QVERIFY(colour.blue() > 2 * colour.red() && colour.blue() > 2 * colour.green());
  QVERIFY(colour != box.palette().color(QPalette::WindowText));
  QVERIFY(link->font().underline());
  QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
  // The underline is drawn solid in the link colour: a whole row of it.
  const QImage linkImage = link->grab().toImage();
  QVERIFY(CountPixels(linkImage, colour) >= link->fontMetrics().horizontalAdvance(link->text()) / 2);
  QVERIFY(link->fontMetrics().horizontalAdvance(link->text()) <= link->width());
  QCOMPARE(CountPixels(box.findChild<QPushButton*>("okButton")->grab().toImage(), colour), 0);
}

void AboutBoxTest::clicksOpenTheirAddresses() {
  AboutBox box(nullptr, texts_, Recorder());
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  auto* banner = box.findChild<QLabel*>("banner");
  auto* link = box.findChild<QLabel*>("link");
  QVERIFY(AboutLinkAddress() != AboutBannerAddress());

  opened_.clear();
  QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(10, 10));
  QCOMPARE(opened_.size(), std::size_t(1));
  QCOMPARE(opened_.back(), QUrl(AboutLinkAddress()));
  QVERIFY(opened_.back().isValid());
  QCOMPARE(opened_.back().scheme(), QStringLiteral("https"));

  QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(300, 30));
  QCOMPARE(opened_.size(), std::size_t(2));
  QCOMPARE(opened_.back(), QUrl(AboutBannerAddress()));

  // Only the left button counts on the banner; the text area opens nothing.
  QTest::mouseClick(banner, Qt::RightButton, {}, QPoint(300, 30));
  QTest::mouseClick(banner, Qt::MiddleButton, {}, QPoint(300, 30));
  QTest::mouseClick(box.findChild<QPlainTextEdit*>("aboutText")->viewport(), Qt::LeftButton);
  QCOMPARE(opened_.size(), std::size_t(2));
  QVERIFY(box.isVisible());
}

void AboutBoxTest::modalRunEndsOnlyWithOk() {
  QWidget owner;
  owner.resize(700, 560);
  owner.move(40, 30);
  owner.show();
  QVERIFY(QTest::qWaitForWindowExposed(&owner));

  bool ownerDisabled = false, boxEnabled = false, modal = false, stillOpen = false, closedByOk = false;
  QRect boxFrame;
  QSize boxClient;
  WhenOpen<AboutBox>(&owner, "the about box", [&](AboutBox* box) {
    ownerDisabled = !owner.isEnabled();
    boxEnabled = box->isEnabled();
    modal = QApplication::activeModalWidget() == box;
    boxFrame = box->frameGeometry();
    boxClient = box->size();
    QTest::keyClick(box, Qt::Key_Escape);
    box->close();
    box->reject();
    stillOpen = box->isVisible();
    QTest::mouseClick(box->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    closedByOk = !box->isVisible();
  });
  std::vector<QUrl> opened;
  RunAboutBox(&owner, texts_, [&](const QUrl& url) { opened.push_back(url); });

  QVERIFY(ownerDisabled);
  QVERIFY(boxEnabled);
  QVERIFY(modal);
  QVERIFY(stillOpen);
  QVERIFY(closedByOk);
  QVERIFY(owner.isEnabled());
  QVERIFY(opened.empty());
  QCOMPARE(boxClient, QSize(468, 250));
  // Centred over the owner, frames included (to the pixel: both have even
  // sizes and the same decoration).
  QCOMPARE(boxFrame.center(), owner.frameGeometry().center());
  QVERIFY(!owner.findChild<AboutBox*>());
}

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
