// The colour dialog: its state rules, the widget it builds, and the modal run
// with the owner disabled.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

#include "app/colour_dialog.h"
#include "app/language.h"
#include "skin/colour.h"
#include "tests/app/when_open.h"

Q_DECLARE_METATYPE(Rgb24)

// Readable values in failed comparisons.
char* toString(const Rgb24& c) {
  return QTest::toString(QStringLiteral("(%1, %2, %3)").arg(c.r).arg(c.g).arg(c.b));
}

namespace {

// Scripted chooser, right button and screen.
struct FakeHost : ColourPickerHost {
  std::optional<QColor> chooserAnswer;
  QColor chooserInitial;
  int chooserCalls = 0;
  bool rightDown = false;
  QColor pixel;
  int pixelReads = 0;

  std::optional<QColor> SystemChooser(QWidget*, const QColor& initial) override {
    ++chooserCalls;
    chooserInitial = initial;
    return chooserAnswer;
  }
  bool RightButtonDown() override { return rightDown; }
  QColor PixelUnderPointer() override {
    ++pixelReads;
    return pixel;
  }
};

Rgb24 C(int r, int g, int b) {
  return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

QLineEdit* Edit(QWidget* dialog, const char* name) { return dialog->findChild<QLineEdit*>(QString::fromLatin1(name)); }
QWidget* Child(QWidget* dialog, const char* name) { return dialog->findChild<QWidget*>(QString::fromLatin1(name)); }

QStringList FieldTexts(QWidget* dialog) {
  return {Edit(dialog, "redField")->text(), Edit(dialog, "greenField")->text(), Edit(dialog, "blueField")->text()};
}

// Replaces a field's text by typing, as the user does.
void TypeInto(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

QColor SwatchPixel(QWidget* dialog, int x, int y) {
  const auto* swatch = dialog->findChild<QLabel*>(QStringLiteral("swatch"));
  return swatch->pixmap().toImage().pixelColor(x, y);
}

}  // namespace

class ColourDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void displayCode_data();
  void displayCode();
  void parseChannelText_data();
  void parseChannelText();
  void stateFieldRules();
  void stateChooserEyedropperAndResults();
  void openingShowsTheInput_data();
  void openingShowsTheInput();
  void layout();
  void textForms();
  void typingInTheFields();
  void arrowsStepWithinRange();
  void systemChooser();
  void eyedropperPolling();
  void escapeAndClosingCancel();
  void modalRunOkAndCancel();

 private:
  LanguageTable texts_;
};

void ColourDialogTest::displayCode_data() {
  QTest::addColumn<Rgb24>("colour");
  QTest::addColumn<QString>("code");
  // The settings file's code: blue high, red low, lower-case letters.
  QTest::newRow("white") << C(248, 248, 248) << "0x7fff";
  QTest::newRow("full 8-bit white") << C(255, 255, 255) << "0x7fff";
  QTest::newRow("red low") << C(248, 0, 0) << "0x001f";
  QTest::newRow("green middle") << C(0, 248, 0) << "0x03e0";
  QTest::newRow("blue high") << C(0, 0, 248) << "0x7c00";
  QTest::newRow("black padded") << C(0, 0, 0) << "0x0000";
  QTest::newRow("1,2,3 padded") << C(8, 16, 24) << "0x0c41";
  QTest::newRow("low bits dropped") << C(255, 128, 1) << "0x021f";
  QTest::newRow("lower-case letters") << C(88, 88, 88) << "0x2d6b";
}

void ColourDialogTest::displayCode() {
  QFETCH(Rgb24, colour);
  QFETCH(QString, code);
  QCOMPARE(ColourDisplayCode(colour), code);
}

void ColourDialogTest::parseChannelText_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<qlonglong>("value");
  QTest::newRow("plain") << "17" << 17LL;
  QTest::newRow("leading blanks") << "  \t7" << 7LL;
  QTest::newRow("plus sign") << "+5" << 5LL;
  QTest::newRow("negative") << "-12" << -12LL;
  QTest::newRow("stops at letter") << "12abc" << 12LL;
  QTest::newRow("stops at inner blank") << "1 2" << 1LL;
  QTest::newRow("sign then blank") << "- 4" << 0LL;
  QTest::newRow("no digits") << "abc" << 0LL;
  QTest::newRow("sign only") << "-" << 0LL;
  QTest::newRow("empty") << "" << 0LL;
  QTest::newRow("leading zeros") << "0031" << 31LL;
}

void ColourDialogTest::parseChannelText() {
  QFETCH(QString, text);
  QFETCH(qlonglong, value);
  QCOMPARE(ParseChannelText(text), value);
}

void ColourDialogTest::stateFieldRules() {
  {
    // 40 in green: the field must read 31 and the colour takes 31 * 8.
    ColourDialogState s(C(248, 0, 0));
    QCOMPARE(s.FieldEdited(1, "31", "40", "0"), QStringLiteral("31"));
    QCOMPARE(s.current(), C(248, 248, 0));
    QCOMPARE(s.lastDisplayed(), C(248, 0, 0));  // not yet displayed
    QVERIFY(s.Refresh());
    QCOMPARE(s.lastDisplayed(), C(248, 248, 0));
    QCOMPARE(s.g5(), 31);
    QCOMPARE(ColourDisplayCode(s.lastDisplayed()), QStringLiteral("0x03ff"));
    QVERIFY(!s.Refresh());  // nothing new to show
  }
  {
    // A value in range is returned as typed, even with trailing text.
    ColourDialogState s(C(0, 0, 0));
    QCOMPARE(s.FieldEdited(2, "0", "0", "12x"), QStringLiteral("12x"));
    QCOMPARE(s.current(), C(0, 0, 96));
    // A huge number is cut to 31 as well.
    QCOMPARE(s.FieldEdited(0, "123456789012345678901234", "0", "12"), QStringLiteral("31"));
    QCOMPARE(s.current(), C(248, 0, 96));
  }
  {
    // Negative numbers and text without digits count as 0 and are left as typed.
    ColourDialogState s(C(248, 248, 248));
    QCOMPARE(s.FieldEdited(0, "-5", "31", "31"), QStringLiteral("-5"));
    QCOMPARE(s.current(), C(0, 248, 248));
    QCOMPARE(s.FieldEdited(2, "-5", "31", "blue"), QStringLiteral("blue"));
    QCOMPARE(s.current(), C(0, 248, 0));
    QCOMPARE(s.FieldEdited(1, "-5", "", "blue"), QString());
    QCOMPARE(s.current(), C(0, 0, 0));
  }
  {
    // Every field is read, not only the one that changed; an over-range
    // neighbour still gives a valid channel.
    ColourDialogState s(C(0, 0, 0));
    QCOMPARE(s.FieldEdited(0, "1", "2", "3"), QStringLiteral("1"));
    QCOMPARE(s.current(), C(8, 16, 24));
    QCOMPARE(s.FieldEdited(0, "1", "99", "3"), QStringLiteral("1"));
    QCOMPARE(s.current(), C(8, 248, 24));
  }
}

void ColourDialogTest::stateChooserEyedropperAndResults() {
  const Rgb24 input = C(16, 32, 64);
  ColourDialogState s(input);
  QCOMPARE(s.input(), input);
  QCOMPARE(s.current(), input);
  QCOMPARE(s.lastDisplayed(), input);
  QCOMPARE(s.ResultOk(), input);
  QVERIFY(!s.Refresh());

  // The chooser's colour keeps all eight bits per channel.
  s.ChooserPicked(QColor(255, 128, 1));
  QCOMPARE(s.current(), C(255, 128, 1));
  QVERIFY(s.Refresh());
  QCOMPARE(s.r5(), 31);
  QCOMPARE(s.g5(), 16);
  QCOMPARE(s.b5(), 0);
  QCOMPARE(s.ResultOk(), C(255, 128, 1));
  QCOMPARE(s.ResultCancel(), input);

  // A cancelled or unreadable colour changes nothing.
  s.ChooserPicked(QColor());
  s.EyedropperPixel(QColor());
  QCOMPARE(s.current(), C(255, 128, 1));

  // The eyedropper clears the low three bits of each channel.
  s.EyedropperPixel(QColor(201, 99, 7));
  QCOMPARE(s.current(), C(200, 96, 0));
  QCOMPARE(s.ResultOk(), C(255, 128, 1));  // OK returns what is displayed
  QVERIFY(s.Refresh());
  QCOMPARE(s.ResultOk(), C(200, 96, 0));
  QCOMPARE(s.ResultCancel(), input);
  s.EyedropperPixel(QColor(255, 255, 255));
  QCOMPARE(s.current(), C(248, 248, 248));
}

void ColourDialogTest::openingShowsTheInput_data() {
  QTest::addColumn<Rgb24>("input");
  QTest::addColumn<QStringList>("fields");
  QTest::addColumn<QString>("code");
  QTest::newRow("white") << C(248, 248, 248) << QStringList{"31", "31", "31"} << "0x7fff";
  QTest::newRow("pure red") << C(248, 0, 0) << QStringList{"31", "0", "0"} << "0x001f";
  QTest::newRow("8-bit colour") << C(255, 128, 1) << QStringList{"31", "16", "0"} << "0x021f";
}

void ColourDialogTest::openingShowsTheInput() {
  QFETCH(Rgb24, input);
  QFETCH(QStringList, fields);
  QFETCH(QString, code);
  FakeHost host;
  ColourDialog dialog(nullptr, input, texts_, host);
  dialog.show();
  QCOMPARE(FieldTexts(&dialog), fields);
  QCOMPARE(Edit(&dialog, "inputCode")->text(), code);
  QCOMPARE(Edit(&dialog, "newCode")->text(), code);
  QVERIFY(Edit(&dialog, "inputCode")->isReadOnly());
  QVERIFY(Edit(&dialog, "newCode")->isReadOnly());
  const QColor expected(input.r, input.g, input.b);
  QCOMPARE(SwatchPixel(&dialog, 0, 0), expected);
  QCOMPARE(SwatchPixel(&dialog, 49, 99), expected);
  QCOMPARE(Child(&dialog, "colourText")->property("text").toString(),
           QString::fromStdString(FormatHexColour(input)));
  QCOMPARE(dialog.findChild<QLabel*>("inputHex")->text(), QString::fromStdString(FormatHexColour(input)));
  // Idle, the dialog runs no loop and never touches the screen.
  QVERIFY(!dialog.picking());
  QVERIFY(!dialog.findChild<QTimer*>()->isActive());
  QCOMPARE(host.pixelReads, 0);
}

void ColourDialogTest::layout() {
  FakeHost host;
  ColourDialog dialog(nullptr, C(0, 0, 0), texts_, host, QStringLiteral("formFrameColor"));
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  // A fixed size, no close box, and it names the colour it edits.
  QCOMPARE(dialog.minimumSize(), dialog.size());
  QCOMPARE(dialog.maximumSize(), dialog.size());
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Edit color: formFrameColor"));
  QCOMPARE(ColourDialog(nullptr, C(0, 0, 0), texts_, host).windowTitle(), QStringLiteral("Edit color"));
  const Qt::WindowFlags flags = dialog.windowFlags();
  QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
  QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));

  // Every part shows, whole, inside the dialog, and none covers another.
  const char* const parts[] = {"info",      "swatch",    "actualLabel",   "inputCode",     "inputHex",     "newLabel",
                               "newCode",   "newHex",    "levels",        "redFieldBox",   "greenFieldBox", "blueFieldBox",
                               "redLabel",  "greenLabel", "blueLabel",    "textLabel",     "colourText",   "chooserButton",
                               "okButton",  "cancelButton"};
  QList<QRect> placed;
  for (const char* name : parts) {
    QWidget* w = Child(&dialog, name);
    QVERIFY2(w && w->parentWidget() == &dialog && w->isVisible(), name);
    QVERIFY2(dialog.rect().contains(w->geometry()), name);
    for (const QRect& other : placed) QVERIFY2(!other.intersects(w->geometry()), name);
    placed << w->geometry();
  }
  // Top to bottom as the user reads it: the colours, the fields, the text, the buttons.
  QVERIFY(Child(&dialog, "swatch")->y() < Child(&dialog, "redFieldBox")->y());
  QVERIFY(Child(&dialog, "blueFieldBox")->y() < Child(&dialog, "colourText")->y());
  QVERIFY(Child(&dialog, "colourText")->y() < Child(&dialog, "chooserButton")->y());
  QVERIFY(Child(&dialog, "chooserButton")->y() < Child(&dialog, "okButton")->y());
  QCOMPARE(Child(&dialog, "okButton")->y(), Child(&dialog, "cancelButton")->y());
  QCOMPARE(dialog.findChild<QLabel*>("info")->text(), texts_.Text("LANG_INFO$"));

  // A long name fits in the title beside the title bar's buttons, and the
  // texts show whole in a language with long words.
  LanguageTable german;
  QVERIFY(german.Load(5, QStringLiteral(SKIN_SOURCE_DIR "/language")));
  for (const LanguageTable* texts : {&texts_, &german}) {
    ColourDialog wide(nullptr, C(0, 0, 0), *texts, host, QStringLiteral("popSubMenuTextHighLightColor"));
    QVERIFY(QFontMetrics(wide.font()).horizontalAdvance(wide.windowTitle()) + 100 <= wide.width());
    for (const char* name : {"info", "levels"}) {
      auto* label = wide.findChild<QLabel*>(QString::fromLatin1(name));
      QVERIFY2(label->height() >= label->heightForWidth(label->width()), name);
      QVERIFY2(wide.rect().contains(label->geometry()), name);
    }
    QVERIFY(wide.findChild<QLabel*>(QStringLiteral("levels"))->text().contains(QStringLiteral("#f8f8f8")));
  }

  // Each number field has its arrows inside its box.
  for (const char* name : {"redField", "greenField", "blueField"}) {
    QWidget* box = Child(&dialog, (QByteArray(name) + "Box").constData());
    for (const char* part : {"Up", "Down"}) {
      auto* arrow = box->findChild<QToolButton*>(QString::fromLatin1(name) + QString::fromLatin1(part));
      QVERIFY2(arrow && arrow->isVisible(), name);
      QVERIFY(box->rect().contains(arrow->geometry()));
    }
    QVERIFY(box->rect().contains(Edit(&dialog, name)->geometry()));
  }
}

void ColourDialogTest::textForms() {
  FakeHost host;
  ColourDialog dialog(nullptr, C(0, 0, 0), texts_, host);
  QList<Rgb24> previewed;
  connect(&dialog, &ColourDialog::previewed, this, [&](Rgb24 c) { previewed << c; });
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QLineEdit* text = Edit(&dialog, "colourText");
  struct Case {
    const char* typed;
    Rgb24 shown;
    const char *code, *hex;
  };
  // One code, the file's, and the colour as #rrggbb beside it.
  const Case cases[] = {
      {"#ff8800", C(255, 136, 0), "0x023f", "#ff8800"},  // 8-bit channels taken as they are
      {"102030", C(16, 32, 48), "0x1882", "#102030"},
      {"0x7f94", C(160, 224, 248), "0x7f94", "#a0e0f8"},  // the settings file's form
      {"0x1f", C(248, 0, 0), "0x001f", "#f80000"},       // pasted as the file writes red, shown so
  };
  for (const Case& c : cases) {
    TypeInto(text, QString::fromLatin1(c.typed));
    QCOMPARE(dialog.state().lastDisplayed(), c.shown);
    QCOMPARE(text->text(), QString::fromLatin1(c.typed));  // as typed, while it is typed
    QCOMPARE(Edit(&dialog, "newCode")->text(), QString::fromLatin1(c.code));
    QCOMPARE(dialog.findChild<QLabel*>("newHex")->text(), QString::fromLatin1(c.hex));
    QCOMPARE(previewed.last(), c.shown);
  }
  // On the way to a colour, a text that is none yet changes nothing.
  const int shown = previewed.size();
  TypeInto(text, QStringLiteral("#12"));
  QCOMPARE(dialog.state().lastDisplayed(), C(248, 0, 0));
  QCOMPARE(previewed.size(), shown);
  // A field edited afterwards writes the text anew.
  TypeInto(Edit(&dialog, "greenField"), QStringLiteral("2"));
  QCOMPARE(text->text(), QStringLiteral("#f81000"));
  QCOMPARE(previewed.last(), C(248, 16, 0));
}

void ColourDialogTest::typingInTheFields() {
  FakeHost host;
  ColourDialog dialog(nullptr, C(248, 0, 0), texts_, host);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QLineEdit* red = Edit(&dialog, "redField");
  QLineEdit* green = Edit(&dialog, "greenField");
  QLineEdit* blue = Edit(&dialog, "blueField");

  // 40 becomes 31 the moment the 0 is typed.
  TypeInto(green, "40");
  QCOMPARE(green->text(), QStringLiteral("31"));
  QCOMPARE(dialog.state().lastDisplayed(), C(248, 248, 0));
  QCOMPARE(Edit(&dialog, "newCode")->text(), QStringLiteral("0x03ff"));
  QCOMPARE(Edit(&dialog, "inputCode")->text(), QStringLiteral("0x001f"));
  QCOMPARE(SwatchPixel(&dialog, 10, 10), QColor(248, 0, 0));
  QCOMPARE(SwatchPixel(&dialog, 10, 60), QColor(248, 248, 0));

  // A value in range is kept and shown.
  TypeInto(blue, "9");
  QCOMPARE(blue->text(), QStringLiteral("9"));
  QCOMPARE(dialog.state().lastDisplayed(), C(248, 248, 72));
  QCOMPARE(Edit(&dialog, "newCode")->text(), QStringLiteral("0x27ff"));

  // A negative number counts as 0; the sign being typed is not replaced.
  TypeInto(red, "-5");
  QCOMPARE(red->text(), QStringLiteral("-5"));
  QCOMPARE(dialog.state().lastDisplayed(), C(0, 248, 72));
  QCOMPARE(Edit(&dialog, "newCode")->text(), QStringLiteral("0x27e0"));

  // Text without digits counts as 0.
  TypeInto(green, "xy");
  QCOMPARE(dialog.state().lastDisplayed(), C(0, 0, 72));
  QCOMPARE(Edit(&dialog, "newCode")->text(), QStringLiteral("0x2400"));

  // A field emptied with backspace is 0 too, and typing after it works.
  blue->setFocus();
  blue->end(false);
  QTest::keyClick(blue, Qt::Key_Backspace);
  QCOMPARE(dialog.state().lastDisplayed(), C(0, 0, 0));
  QTest::keyClicks(blue, "12");
  QCOMPARE(blue->text(), QStringLiteral("12"));
  QCOMPARE(dialog.state().lastDisplayed(), C(0, 0, 96));

  // A change elsewhere rewrites every field with its number.
  host.chooserAnswer = QColor(8, 16, 24);
  QTest::mouseClick(dialog.findChild<QPushButton*>("chooserButton"), Qt::LeftButton);
  QCOMPARE(FieldTexts(&dialog), (QStringList{"1", "2", "3"}));
}

void ColourDialogTest::arrowsStepWithinRange() {
  FakeHost host;
  ColourDialog dialog(nullptr, C(240, 0, 8), texts_, host);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  auto* redUp = dialog.findChild<QToolButton*>("redFieldUp");
  auto* greenDown = dialog.findChild<QToolButton*>("greenFieldDown");
  auto* blueDown = dialog.findChild<QToolButton*>("blueFieldDown");

  QTest::mouseClick(redUp, Qt::LeftButton);
  QCOMPARE(Edit(&dialog, "redField")->text(), QStringLiteral("31"));
  QCOMPARE(dialog.state().lastDisplayed(), C(248, 0, 8));
  QTest::mouseClick(redUp, Qt::LeftButton);  // stays at the top
  QCOMPARE(Edit(&dialog, "redField")->text(), QStringLiteral("31"));
  QCOMPARE(dialog.state().lastDisplayed(), C(248, 0, 8));

  QTest::mouseClick(greenDown, Qt::LeftButton);  // stays at the bottom
  QCOMPARE(Edit(&dialog, "greenField")->text(), QStringLiteral("0"));
  QTest::mouseClick(blueDown, Qt::LeftButton);
  QCOMPARE(Edit(&dialog, "blueField")->text(), QStringLiteral("0"));
  QCOMPARE(dialog.state().lastDisplayed(), C(248, 0, 0));
  QCOMPARE(Edit(&dialog, "newCode")->text(), QStringLiteral("0x001f"));

  // The arrow keys step the field that has the focus.
  QLineEdit* green = Edit(&dialog, "greenField");
  green->setFocus();
  QTest::keyClick(green, Qt::Key_Up);
  QTest::keyClick(green, Qt::Key_Up);
  QCOMPARE(green->text(), QStringLiteral("2"));
  QCOMPARE(dialog.state().lastDisplayed(), C(248, 16, 0));
}

void ColourDialogTest::systemChooser() {
  FakeHost host;
  ColourDialog dialog(nullptr, C(248, 248, 248), texts_, host);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  auto* chooser = dialog.findChild<QPushButton*>("chooserButton");

  // Cancelled: nothing changes; the chooser was offered the current colour.
  QTest::mouseClick(chooser, Qt::LeftButton);
  QCOMPARE(host.chooserCalls, 1);
  QCOMPARE(host.chooserInitial, QColor(248, 248, 248));
  QCOMPARE(dialog.state().lastDisplayed(), C(248, 248, 248));

  host.chooserAnswer = QColor(255, 128, 1);
  QTest::mouseClick(chooser, Qt::LeftButton);
  QCOMPARE(host.chooserCalls, 2);
  QCOMPARE(FieldTexts(&dialog), (QStringList{"31", "16", "0"}));
  QCOMPARE(Edit(&dialog, "newCode")->text(), QStringLiteral("0x021f"));
  QCOMPARE(Edit(&dialog, "inputCode")->text(), QStringLiteral("0x7fff"));
  QCOMPARE(SwatchPixel(&dialog, 25, 75), QColor(255, 128, 1));
  QCOMPARE(SwatchPixel(&dialog, 25, 25), QColor(248, 248, 248));

  // The next opening starts from the colour now current.
  host.chooserAnswer.reset();
  QTest::mouseClick(chooser, Qt::LeftButton);
  QCOMPARE(host.chooserInitial, QColor(255, 128, 1));

  QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
  QVERIFY(!dialog.isVisible());
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
  QCOMPARE(dialog.chosenColour(), C(255, 128, 1));
}

void ColourDialogTest::eyedropperPolling() {
  FakeHost host;
  host.pixel = QColor(201, 99, 7);
  ColourDialog dialog(nullptr, C(0, 0, 0), texts_, host);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QTimer* loop = dialog.findChild<QTimer*>();

  // A press of the right button on the dialog (on any part of it) starts it.
  host.rightDown = true;
  QTest::mousePress(Child(&dialog, "greenField"), Qt::RightButton);
  QVERIFY(dialog.picking());
  QVERIFY(loop->isActive());
  QCOMPARE(dialog.state().lastDisplayed(), C(200, 96, 0));
  QCOMPARE(FieldTexts(&dialog), (QStringList{"25", "12", "0"}));
  QCOMPARE(Edit(&dialog, "newCode")->text(), QStringLiteral("0x0199"));
  QCOMPARE(SwatchPixel(&dialog, 25, 75), QColor(200, 96, 0));

  // While the button stays down the pixel under the pointer keeps being read,
  // the pointer resting or not.
  host.pixel = QColor(255, 255, 255);
  QTRY_COMPARE_WITH_TIMEOUT(dialog.state().lastDisplayed(), C(248, 248, 248), 1000);
  QCOMPARE(Edit(&dialog, "newCode")->text(), QStringLiteral("0x7fff"));

  // Released (heard by the dialog, or only seen by the loop): the last
  // colour stays, and the loop ends.
  host.pixel = QColor(0, 0, 0);
  host.rightDown = false;
  QTRY_VERIFY_WITH_TIMEOUT(!loop->isActive(), 1000);
  QVERIFY(!dialog.picking());
  QCOMPARE(dialog.state().lastDisplayed(), C(248, 248, 248));
  host.rightDown = true;
  QTest::mousePress(&dialog, Qt::RightButton);
  host.pixel = QColor(8, 8, 8);
  QTest::mouseRelease(&dialog, Qt::RightButton);
  QVERIFY(!loop->isActive());
  QCOMPARE(dialog.state().lastDisplayed(), C(8, 8, 8));

  // After OK a press picks nothing.
  QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
  QCOMPARE(dialog.chosenColour(), C(8, 8, 8));
  const int reads = host.pixelReads;
  QTest::mousePress(&dialog, Qt::RightButton);
  QVERIFY(!loop->isActive());
  QCOMPARE(host.pixelReads, reads);
}

void ColourDialogTest::escapeAndClosingCancel() {
  for (const bool escape : {true, false}) {
    FakeHost host;
    ColourDialog dialog(nullptr, C(8, 8, 8), texts_, host);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    TypeInto(Edit(&dialog, "redField"), QStringLiteral("20"));
    if (escape) QTest::keyClick(&dialog, Qt::Key_Escape);
    else QVERIFY(dialog.close());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.chosenColour(), C(8, 8, 8));
  }
}

void ColourDialogTest::modalRunOkAndCancel() {
  QWidget owner;
  owner.resize(300, 300);  // room on its right for the dialog on the test's 800-pixel screen
  owner.move(20, 90);
  owner.show();
  QVERIFY(QTest::qWaitForWindowExposed(&owner));
  const Rgb24 input = C(248, 0, 0);

  {
    // Changes, then Cancel: the input comes back.
    bool ownerDisabled = false, dialogEnabled = false, modal = false;
    QPoint outerTopLeft;  // of the dialog's frame
    WhenOpen<ColourDialog>(&owner, "the colour dialog", [&](ColourDialog* dialog) {
      ownerDisabled = !owner.isEnabled();
      dialogEnabled = dialog->isEnabled();
      modal = dialog->isModal() && QApplication::activeModalWidget() == dialog;
      outerTopLeft = dialog->frameGeometry().topLeft();
      TypeInto(Edit(dialog, "greenField"), "40");
      TypeInto(Edit(dialog, "blueField"), "3");
      QTest::mouseClick(dialog->findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
    });
    FakeHost host;
    const Rgb24 result = RunColourDialog(&owner, input, texts_, host);
    QCOMPARE(result, input);
    QVERIFY(ownerDisabled);
    QVERIFY(dialogEnabled);
    QVERIFY(modal);
    // Beside the owner, not over it: the colour shows on what the owner shows.
    QVERIFY(outerTopLeft.x() > owner.frameGeometry().right() || outerTopLeft.x() < owner.frameGeometry().left());
    QVERIFY(owner.isEnabled());
    QVERIFY(!owner.findChild<ColourDialog*>());  // gone with the call
  }
  {
    // Chooser, then a field edit, then OK: the colour last displayed.
    QString greenAfterTyping;
    WhenOpen<ColourDialog>(&owner, "the colour dialog", [&](ColourDialog* dialog) {
      QTest::mouseClick(dialog->findChild<QPushButton*>("chooserButton"), Qt::LeftButton);
      TypeInto(Edit(dialog, "blueField"), "40");
      greenAfterTyping = Edit(dialog, "greenField")->text();
      QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    });
    FakeHost host;
    host.chooserAnswer = QColor(255, 128, 1);
    // The edit reads all three fields, so red and green fall to the 5-bit grid.
    QCOMPARE(RunColourDialog(&owner, input, texts_, host), C(248, 128, 248));
    QCOMPARE(greenAfterTyping, QStringLiteral("16"));
    QVERIFY(owner.isEnabled());
  }
  {
    // Only the chooser, then OK: the full 8-bit colour unchanged.
    WhenOpen<ColourDialog>(&owner, "the colour dialog", [&](ColourDialog* dialog) {
      QTest::mouseClick(dialog->findChild<QPushButton*>("chooserButton"), Qt::LeftButton);
      QTest::keyClick(dialog, Qt::Key_Escape);  // ignored
      QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    });
    FakeHost host;
    host.chooserAnswer = QColor(255, 128, 1);
    QCOMPARE(RunColourDialog(&owner, input, texts_, host), C(255, 128, 1));
  }
  {
    // OK straight away returns the input.
    WhenOpen<ColourDialog>(&owner, "the colour dialog", [&](ColourDialog* dialog) {
      QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    });
    FakeHost host;
    QCOMPARE(RunColourDialog(&owner, C(40, 80, 120), texts_, host), C(40, 80, 120));
  }
}

QTEST_MAIN(ColourDialogTest)
#include "colour_dialog_test.moc"
