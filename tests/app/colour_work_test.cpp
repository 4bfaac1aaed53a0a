// The designer's colour work in the editor: imports fitted to size, the
// palette, replacing a colour everywhere and recolouring the whole skin,
// each live while its dialog is open and one step of Undo after.
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "app/fit_dialog.h"
#include "app/qt_picture.h"
#include "images/colour_work.h"
#include "images/skin_io.h"
#include "shell_fixture.h"
#include "window_parts.h"

namespace {

// What a save of the skin would write.
std::vector<std::string> SavedBytes(const Skin& skin) {
  Skin copy = skin;
  std::vector<std::string> bytes;
  for (const SkinFile& f : EncodeSkinFiles(copy, TypedInfoOf(copy), {2012, 3, 4, 5, 6, 7})) bytes.push_back(f.bytes);
  return bytes;
}

// A picture file's pixels in colours between the console's 32 levels, so
// that the reduction's error diffusion has work to do.
SourcePicture Noise(int width, int height) {
  SourcePicture s;
  s.rgb = ::Picture(width, height);
  std::uint32_t seed = 12345;
  for (Rgb24& c : s.rgb.pixels) {
    seed = seed * 1103515245u + 12345u;
    c = {std::uint8_t(seed >> 24), std::uint8_t(seed >> 16), std::uint8_t(seed >> 8)};
  }
  return s;
}

long long PixelsOf(const Skin& skin, Rgb15 colour) {
  long long n = 0;
  for (const Picture& p : skin.images) {
    for (const Rgb24& c : p.pixels) n += Rgb24ToRgb15(c) == colour;
  }
  return n;
}

}  // namespace

class ColourWorkTest : public QObject {
  Q_OBJECT

 private:
  ShellFixture f_;
  FakeDialogs& dialogs_ = f_.dialogs;
  QTemporaryDir files_;

  MainWindow* Window() { return f_.shell->window(); }
  SkinDocument& Document() { return f_.shell->document(); }
  const ::History& Steps() { return f_.shell->document().history(); }
  // A picture file of `size`: a checkerboard of two colours, the top left
  // pixel half transparent when asked.
  QString Picture(const char* name, QSize size, bool halfTransparent = false) {
    QImage image(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
      for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, (x + y) % 2 ? 0xFF2040F8u : 0xFFF84020u);
    }
    if (halfTransparent) image.setPixel(0, 0, 0x80F84020u);
    const QString path = files_.filePath(QString::fromLatin1(name));
    if (!image.save(path, "PNG")) qFatal("could not write %s", name);
    return path;
  }

 private slots:
  void init() { f_.Reset(); }
  void cleanup() { f_.Reset(); }

  void importOfAnotherSizeAsksOnce() {
    EditorShell& shell = f_.Start();
    const QString big = Picture("big.png", QSize(512, 200));
    // Cancelled: nothing changes.
    dialogs_.fitAnswers.enqueue(std::nullopt);
    shell.files().ImportImageFile(ImageId::upper_screen, big);
    QCOMPARE(dialogs_.fitQuestions.size(), 1);
    QCOMPARE(Steps().count(), 0);
    const FitQuestion& asked = dialogs_.fitQuestions[0];
    QVERIFY(asked.text.startsWith(QStringLiteral("big.png is 512 x 200 pixels; upper_screen is 256 x 192")));
    QCOMPARE(asked.cover.size(), QSize(256, 192));
    QCOMPARE(asked.stretch.size(), QSize(256, 192));
    QCOMPARE(asked.keep.size(), QSize(256, 192));  // the top left, as the screen shows it
    // Each answer as it was shown.
    for (const FitMode mode : {FitMode::Cover, FitMode::Stretch, FitMode::Keep}) {
      dialogs_.fitAnswers.enqueue(mode);
      shell.files().ImportImageFile(ImageId::upper_screen, big);
      const ::Picture& took = shell.document().skin().image(ImageId::upper_screen);
      QCOMPARE(QSize(took.width, took.height), mode == FitMode::Keep ? QSize(512, 200) : QSize(256, 192));
    }
    QCOMPARE(Steps().count(), 3);
    // A picture of the skin's own size asks nothing; one with half-transparent
    // pixels says what became of them.
    shell.files().ImportImageFile(ImageId::upper_screen, Picture("exact.png", QSize(256, 192), true));
    QCOMPARE(dialogs_.fitQuestions.size(), 4);
    QVERIFY(StatusText(Window())->text().contains(QStringLiteral("1 pixels are half transparent")));
  }

  // Each way drawn as the console shows it, all three at one zoom.
  void fitQuestionShowsWhatTheConsoleShows() {
    const struct {
      const char* what;
      QSize source, expected, cover, keep;
      int zoom;
    } cases[] = {
        {"a photo into a screen", {1000, 750}, {256, 192}, {256, 192}, {256, 192}, 1},
        {"a photo into an icon", {600, 450}, {32, 32}, {32, 32}, {256, 192}, 1},
        {"one pixel more than the screen", {257, 193}, {256, 192}, {256, 192}, {256, 192}, 1},
        {"the screen's size into an icon", {256, 192}, {32, 32}, {32, 32}, {256, 192}, 1},
        {"a small picture into an icon", {16, 12}, {32, 32}, {32, 32}, {16, 12}, 6},  // 192 / 32
        {"a small picture into a wide one", {20, 10}, {64, 16}, {64, 16}, {20, 10}, 4},  // 256 / 64
    };
    for (const auto& c : cases) {
      const SourcePicture source = Noise(c.source.width(), c.source.height());
      const FitQuestion q = AskingToFit(source, c.expected.width(), c.expected.height(), QString());
      QCOMPARE(q.cover.size(), c.cover);
      QCOMPARE(q.stretch.size(), c.cover);
      QCOMPARE(q.keep.size(), c.keep);
      QCOMPARE(FitPreviewZoom(q, QSize(256, 192)), c.zoom);
      // What Keep shows is the top left of the picture Keep imports, pixel for pixel.
      QCOMPARE(q.keep, ToQImage(FinishPicture(source)).copy(QRect(QPoint(0, 0), c.keep)));
    }
    // Drawn at that zoom: a 32 x 32 Fit beside a kept photo is small, as on the console.
    const FitQuestion icon = AskingToFit(Noise(600, 450), 32, 32, QString());
    FitDialog dialog(nullptr, icon, LanguageTable());
    const QImage fit = dialog.findChild<QLabel*>(QStringLiteral("fitShown"))->pixmap().toImage();
    const QImage keep = dialog.findChild<QLabel*>(QStringLiteral("keepShown"))->pixmap().toImage();
    QCOMPARE(fit.pixel(10, 10), icon.cover.pixel(10, 10));
    QCOMPARE(fit.pixel(100, 100), dialog.palette().color(QPalette::Dark).rgb());
    QCOMPARE(keep.pixel(100, 100), icon.keep.pixel(100, 100));
    const FitQuestion small = AskingToFit(Noise(16, 12), 32, 32, QString());
    FitDialog zoomed(nullptr, small, LanguageTable());
    const QImage grown = zoomed.findChild<QLabel*>(QStringLiteral("fitShown"))->pixmap().toImage();
    QCOMPARE(grown.pixel(6 * 20 + 3, 6 * 9 + 5), small.cover.pixel(20, 9));
    const QImage kept = zoomed.findChild<QLabel*>(QStringLiteral("keepShown"))->pixmap().toImage();
    QCOMPARE(kept.pixel(6 * 15 + 5, 6 * 11 + 5), small.keep.pixel(15, 11));
    QCOMPARE(kept.pixel(6 * 16 + 5, 6 * 11 + 5), zoomed.palette().color(QPalette::Dark).rgb());
  }

  void folderImportAsksOnceForAll() {
    EditorShell& shell = f_.Start();
    QTemporaryDir folder;
    QVERIFY(QFile::copy(Picture("a.png", QSize(40, 40)), folder.filePath(QStringLiteral("lamp.png"))));
    QVERIFY(QFile::copy(Picture("b.png", QSize(300, 100)), folder.filePath(QStringLiteral("upper_screen.png"))));
    dialogs_.answers.enqueue(folder.path());
    dialogs_.fitAnswers.enqueue(FitMode::Stretch);
    shell.files().ImportPictureFolder();
    QCOMPARE(dialogs_.fitQuestions.size(), 1);
    QVERIFY(dialogs_.fitQuestions[0].text.startsWith(QStringLiteral("2 of the pictures differ")));
    const Skin& skin = shell.document().skin();
    QCOMPARE(skin.image(ImageId::upper_screen).width, 256);
    QCOMPARE(skin.image(ImageId::lamp).width, CatalogueEntryOf(ImageId::lamp).builtinWidth);
    QCOMPARE(Steps().count(), 1);
  }

  void paletteShowsAndLeadsToWhatUsesAColour() {
    EditorShell& shell = f_.Start();
    SkinDocument& document = shell.document();
    Window()->ShowPalette(true);
    auto* swatches = Window()->findChild<QListWidget*>(QStringLiteral("paletteSwatches"));
    auto* uses = Window()->findChild<QTreeWidget*>(QStringLiteral("paletteUses"));
    QTRY_VERIFY(swatches->count() > 0);
    const std::vector<PaletteEntry> palette = SkinPalette(document.skin());
    QCOMPARE(swatches->count(), int(palette.size()));
    // Counted again after an edit.
    const Rgb15 frame = Rgb24ToRgb15(document.skin().colours.formFrameColor);
    document.Apply(SetColour(SkinFieldOf(kGlobalSettingsSection, "formFrameColor"), {8, 8, 8}));
    QTRY_COMPARE(swatches->count(), int(SkinPalette(document.skin()).size()));
    Document().Undo();
    QTRY_COMPARE(swatches->count(), int(palette.size()));

    // Resting on a swatch highlights every pixel of the preview in that
    // colour, and only those.
    QListWidgetItem* item = nullptr;
    for (int i = 0; i < swatches->count(); ++i) {
      if (swatches->item(i)->data(Qt::UserRole).toUInt() == frame) item = swatches->item(i);
    }
    QVERIFY(item);
    shell.view().ChooseScreen(3);
    emit swatches->itemEntered(item);
    const PixelMask& lit = Preview(Window())->hover();
    QVERIFY(lit.count > 0);
    const QImage shown = Preview(Window())->image();
    for (int y = lit.top; y <= lit.bottom; ++y) {
      for (int x = lit.left; x <= lit.right; ++x) {
        if (!lit.pixels[std::size_t(y) * std::size_t(lit.width) + std::size_t(x)]) continue;
        const QColor c = shown.pixelColor(x, y);
        QCOMPARE(Rgb24ToRgb15({std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue())}), frame);
      }
    }
    // Each swatch shows its colour, and two lines of text beside it (its code
    // and its count); the same picture while chosen, and while a dialog over
    // the window disables the dock, where it would be greyed.
    const QSize size = swatches->iconSize();
    const QImage normal = item->icon().pixmap(size).toImage();
    QCOMPARE(item->icon().pixmap(size, QIcon::Disabled).toImage(), normal);
    const Rgb24 shownFrame = Rgb15ToRgb24(frame);
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Selected}) {
      QCOMPARE(item->icon().pixmap(size, mode).toImage().pixel(size.height() / 2, size.height() / 2),
               qRgb(shownFrame.r, shownFrame.g, shownFrame.b));
    }
    QVERIFY(size.width() >= size.height() + QFontMetrics(swatches->font()).horizontalAdvance(QStringLiteral("0x7fff")));
    int ink[2] = {0, 0};
    for (int y = 0; y < size.height(); ++y) {
      for (int x = size.height(); x < size.width(); ++x) ink[y * 2 / size.height()] += qAlpha(normal.pixel(x, y)) > 0;
    }
    QVERIFY(ink[0] > 0 && ink[1] > 0);
    // Chosen, it lists what uses it; each leads to its control.
    swatches->setCurrentItem(item);
    const QList<QTreeWidgetItem*> field =
        uses->findItems(QStringLiteral("[global settings] formFrameColor"), Qt::MatchExactly);
    QCOMPARE(field.size(), 1);
    shell.view().ChooseScreen(0);
    emit uses->itemActivated(field[0], 0);
    QWidget* button = Panel(Window())->findChild<QWidget*>(QStringLiteral("colour:formFrameColor"));
    QVERIFY(button->isEnabled());  // the screen whose controls include it
    QCOMPARE(Window()->focusWidget(), button);
  }

  void replaceColourEverywhereIsLiveAndOneStep() {
    EditorShell& shell = f_.Start();
    SkinDocument& document = shell.document();
    // A colour of fields and pictures alike.
    Rgb15 frame = 0;
    for (const PaletteEntry& e : SkinPalette(document.skin())) {
      if (!e.fields.empty() && !e.pictures.empty() && !e.key()) frame = e.colour;
    }
    const long long pixels = PixelsOf(document.skin(), frame);
    QVERIFY(pixels > 0);
    const std::vector<std::string> before = SavedBytes(document.skin());
    const Rgb24 green{8, 200, 16};
    long long whileOpen = -1;
    dialogs_.colourPreviews = {green};
    dialogs_.whileOpen = [&] { whileOpen = PixelsOf(document.skin(), frame); };
    for (const bool ok : {false, true}) {
      if (ok) dialogs_.colourAnswers.enqueue(green);
      shell.editor().ReplaceColour(frame);
      QCOMPARE(whileOpen, 0);  // every pixel of it replaced on the preview
      QCOMPARE(Steps().count(), ok ? 1 : 0);
      QCOMPARE(SavedBytes(document.skin()) == before, !ok);
    }
    QCOMPARE(PixelsOf(document.skin(), frame), 0);
    QCOMPARE(PixelsOf(document.skin(), Rgb24ToRgb15(green)) >= pixels, true);
    for (const PaletteEntry& e : SkinPalette(document.skin())) QVERIFY(e.colour != frame);
    Document().Undo();
    QCOMPARE(SavedBytes(document.skin()), before);
  }

  void recolourIsLiveAndOneStep() {
    EditorShell& shell = f_.Start();
    SkinDocument& document = shell.document();
    const std::vector<std::string> before = SavedBytes(document.skin());
    const Rgb24 frame = document.skin().colours.formFrameColor;
    const RecolourChoice blue{{120, 0, 0}, RecolourScope::Everything};
    QList<Rgb24> seen;
    dialogs_.recolourPreviews = {{{60, 0, 0}, RecolourScope::Fields}, blue};
    dialogs_.whileOpen = [&] { seen << document.skin().colours.formFrameColor; };
    shell.commands().Run(QStringLiteral("recolour"));  // cancelled
    QCOMPARE(Steps().count(), 0);
    QCOMPARE(SavedBytes(document.skin()), before);
    const Rgb24 expected = Rgb15ToRgb24(RecolourColour(Rgb24ToRgb15(frame), blue.shift));
    QCOMPARE(seen, QList<Rgb24>{expected});
    dialogs_.recolourAnswers.enqueue(blue);
    shell.commands().Run(QStringLiteral("recolour"));
    QCOMPARE(Steps().count(), 1);
    QCOMPARE(document.skin().colours.formFrameColor, expected);
    QVERIFY(SavedBytes(document.skin()) != before);
    Document().Undo();
    QCOMPARE(SavedBytes(document.skin()), before);
  }
};

QTEST_MAIN(ColourWorkTest)
#include "colour_work_test.moc"
