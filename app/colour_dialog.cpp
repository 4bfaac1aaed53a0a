#include "app/colour_dialog.h"

#include <QApplication>

#include <QCloseEvent>
#include <QColorDialog>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>

#include "app/ini_text.h"
#include "app/language.h"
#include "app/modal.h"
#include "app/qt_picture.h"
#include "app/x11_pointer.h"

// ---------------------------------------------------------------------------
// State

QString ColourDialogState::FieldEdited(int channel, const QString& red, const QString& green,
                                       const QString& blue) {
  return QString::fromStdString(
      choice_.FieldEdited(channel, red.toStdString(), green.toStdString(), blue.toStdString()));
}

void ColourDialogState::ChooserPicked(const QColor& chosen) {
  if (chosen.isValid()) choice_.ChooserPicked(FromQColor(chosen));
}

bool ColourDialogState::TextEntered(const QString& text) { return choice_.TextEntered(text.toStdString()); }

void ColourDialogState::EyedropperPixel(const QColor& pixel) {
  if (pixel.isValid()) choice_.EyedropperPixel(FromQColor(pixel));
}

QString ColourDisplayCode(Rgb24 c) { return QString::fromStdString(FormatSkinColour(c)); }

long long ParseChannelText(const QString& text) { return ::ParseChannelText(std::string_view(text.toStdString())); }

// ---------------------------------------------------------------------------
// The Qt host

namespace {

class QtHost final : public ColourPickerHost {
 public:
  std::optional<QColor> SystemChooser(QWidget* parent, const QColor& initial) override {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
  }

  // Qt only knows the buttons from its own events, so a press that starts
  // over another program's window would go unseen; on X11 the server is
  // asked directly, wherever the pointer is.
  bool RightButtonDown() override {
    if (const std::optional<bool> down = X11RightButtonDown()) return *down;
    return QGuiApplication::mouseButtons().testFlag(Qt::RightButton);
  }

  QColor PixelUnderPointer() override {
    const QPoint pos = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(pos);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    // With no window given the grab is in the screen's own coordinates.
    const QPoint local = pos - screen->geometry().topLeft();
    const QPixmap grab = screen->grabWindow(0, local.x(), local.y(), 1, 1);
    if (grab.isNull()) return {};
    const QImage image = grab.toImage();
    if (image.isNull() || image.width() < 1 || image.height() < 1) return {};
    return image.pixelColor(0, 0);
  }
};

}  // namespace

ColourPickerHost& QtColourPickerHost() {
  static QtHost host;
  return host;
}

// ---------------------------------------------------------------------------
// Channel field

ChannelField::ChannelField(const QString& objectName, QWidget* parent) : QWidget(parent) {
  setObjectName(objectName + QStringLiteral("Box"));
  constexpr int kArrowWidth = 13;
  edit_ = new QLineEdit(this);
  edit_->setObjectName(objectName);
  edit_->setGeometry(0, 0, 40 - kArrowWidth, 20);
  edit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // The right button is the eyedropper; a context menu would swallow it.
  edit_->setContextMenuPolicy(Qt::NoContextMenu);
  edit_->installEventFilter(this);

  up_ = new QToolButton(this);
  up_->setObjectName(objectName + QStringLiteral("Up"));
  up_->setArrowType(Qt::UpArrow);
  up_->setGeometry(40 - kArrowWidth, 0, kArrowWidth, 10);
  down_ = new QToolButton(this);
  down_->setObjectName(objectName + QStringLiteral("Down"));
  down_->setArrowType(Qt::DownArrow);
  down_->setGeometry(40 - kArrowWidth, 10, kArrowWidth, 10);
  for (QToolButton* b : {up_, down_}) {
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setContextMenuPolicy(Qt::NoContextMenu);
  }

  connect(edit_, &QLineEdit::textEdited, this, &ChannelField::edited);
  connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
  connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

QString ChannelField::text() const { return edit_->text(); }

void ChannelField::setText(const QString& text) {
  if (edit_->text() != text) edit_->setText(text);
}

void ChannelField::Step(int delta) {
  const int value = std::clamp(ClampChannel(ParseChannelText(edit_->text())) + delta, 0, 31);
  const QString text = QString::number(value);
  if (text == edit_->text()) return;  // at a limit: nothing changed, nothing to report
  edit_->setText(text);
  emit edited();
}

bool ChannelField::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Up || key == Qt::Key_Down) {
        Step(key == Qt::Key_Up ? 1 : -1);
        return true;
      }
    } else if (event->type() == QEvent::Wheel) {
      const int dy = static_cast<QWheelEvent*>(event)->angleDelta().y();
      if (dy != 0) Step(dy > 0 ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Dialog

ColourDialog::ColourDialog(QWidget* owner, Rgb24 input, const LanguageTable& texts, ColourPickerHost& host,
                           const QString& name)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint),
      state_(input),
      result_(input),
      host_(host) {
  setObjectName(QStringLiteral("colourDialog"));
  setWindowTitle(name.isEmpty() ? texts.Text("LANG_COLORSETTING$") : texts.Text("LANG_COLORSETTING_OF$").arg(name));
  // Wide enough for its title beside the title bar's buttons (a title bar's
  // font is often larger, or bold), and for its texts in any language: the
  // texts wrap, and the dialog grows down.
  constexpr int kMargin = 5, kLeastWidth = 300, kTitleBarButtons = 120;
  const int width =
      std::max(kLeastWidth, QFontMetrics(font()).horizontalAdvance(windowTitle()) * 6 / 5 + kTitleBarButtons);
  const int inner = width - 2 * kMargin;

  // A text as tall as its words need at the inner width.
  const auto wrapped = [this, inner](const QString& name, const QString& text, int y) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(kMargin, y, inner, label->heightForWidth(inner));
    return label;
  };
  auto* info = wrapped(QStringLiteral("info"), texts.Text("LANG_INFO$"), kMargin);
  info->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  info->setMargin(3);
  info->resize(inner, info->heightForWidth(inner));

  const int swatchTop = info->geometry().bottom() + 11;
  swatch_ = new QLabel(this);
  swatch_->setObjectName(QStringLiteral("swatch"));
  swatch_->setGeometry(kMargin, swatchTop, 50, 100);

  auto makeLabel = [this](const QString& name, const QString& text, QRect rect) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
  };
  auto makeCode = [this](const QString& name, QRect rect) {
    auto* code = new QLineEdit(this);
    code->setObjectName(name);
    code->setGeometry(rect);
    code->setReadOnly(true);
    code->setAlignment(Qt::AlignCenter);
    code->setContextMenuPolicy(Qt::NoContextMenu);
    code->setTextMargins(0, 0, 0, 0);
    return code;
  };

  // Each colour once as uisettings.ini writes it, and beside it as #rrggbb.
  const int codeWidth = QFontMetrics(font()).horizontalAdvance(QStringLiteral("0x7fff")) + 14;
  const int hexX = 70 + codeWidth + 6;
  makeLabel(QStringLiteral("actualLabel"), texts.Text("LANG_ACTUAL_COLOR$"), QRect(65, swatchTop, width - 70, 20));
  inputCode_ = makeCode(QStringLiteral("inputCode"), QRect(70, swatchTop + 20, codeWidth, 20));
  makeLabel(QStringLiteral("newLabel"), texts.Text("LANG_NEW_COLOR$"), QRect(65, swatchTop + 50, width - 70, 20));
  newCode_ = makeCode(QStringLiteral("newCode"), QRect(70, swatchTop + 70, codeWidth, 20));
  inputHex_ = makeLabel(QStringLiteral("inputHex"), QString(), QRect(hexX, swatchTop + 20, width - hexX - kMargin, 20));
  newHex_ = makeLabel(QStringLiteral("newHex"), QString(), QRect(hexX, swatchTop + 70, width - hexX - kMargin, 20));
  const QString codeTip = texts.Text("LANG_COLORFILE_TIP$");
  for (QWidget* w : std::initializer_list<QWidget*>{inputCode_, newCode_}) w->setToolTip(codeTip);
  for (QLabel* l : {inputHex_, newHex_}) {
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setContextMenuPolicy(Qt::NoContextMenu);
  }
  // Why white copies out as #f8f8f8.
  QLabel* levels = wrapped(QStringLiteral("levels"), texts.Text("LANG_COLORLEVELS$"), swatchTop + 108);

  static const char* const kFieldNames[3] = {"redField", "greenField", "blueField"};
  static const char* const kLabelKeys[3] = {"LANG_RED$", "LANG_GREEN$", "LANG_BLUE$"};
  static const char* const kLabelNames[3] = {"redLabel", "greenLabel", "blueLabel"};
  const int fieldsTop = levels->geometry().bottom() + 9;
  for (int i = 0; i < 3; ++i) {
    fields_[i] = new ChannelField(QString::fromLatin1(kFieldNames[i]), this);
    fields_[i]->setGeometry(kMargin, fieldsTop + 25 * i, 40, 20);
    connect(fields_[i], &ChannelField::edited, this, [this, i] { FieldEdited(i); });
    makeLabel(QString::fromLatin1(kLabelNames[i]), texts.Text(kLabelKeys[i]), QRect(60, fieldsTop + 2 + 25 * i, width - 65, 20));
  }

  // A colour typed or pasted: #rrggbb, rrggbb, or 0xBBBB as the file writes it.
  const int textTop = fieldsTop + 77;
  QLabel* textLabel = makeLabel(QStringLiteral("textLabel"), texts.Text("LANG_COLORTEXT$"), QRect(kMargin, textTop + 2, 0, 20));
  textLabel->resize(std::max(50, textLabel->sizeHint().width()), 20);
  const int textX = textLabel->geometry().right() + 6;
  text_ = new QLineEdit(this);
  text_->setObjectName(QStringLiteral("colourText"));
  text_->setGeometry(textX, textTop, width - kMargin - textX, 20);
  text_->setToolTip(texts.Text("LANG_COLORTEXT_TIP$"));
  // The right button is the eyedropper, here as everywhere on the dialog.
  text_->setContextMenuPolicy(Qt::NoContextMenu);
  connect(text_, &QLineEdit::textEdited, this, &ColourDialog::TextEdited);

  const int buttonsTop = textTop + 30;
  chooser_ = new QPushButton(texts.Text("LANG_COLORREQUESTER$"), this);
  chooser_->setObjectName(QStringLiteral("chooserButton"));
  chooser_->setGeometry(0, buttonsTop, width, 20);
  chooser_->setAutoDefault(false);
  ok_ = new QPushButton(texts.Text("LANG_OK$"), this);
  ok_->setObjectName(QStringLiteral("okButton"));
  ok_->setGeometry(0, buttonsTop + 20, width / 2, 20);
  ok_->setDefault(true);
  cancel_ = new QPushButton(texts.Text("LANG_CANCEL$"), this);
  cancel_->setObjectName(QStringLiteral("cancelButton"));
  cancel_->setGeometry(width / 2, buttonsTop + 20, width - width / 2, 20);
  cancel_->setAutoDefault(false);
  for (QPushButton* b : {chooser_, ok_, cancel_}) b->setContextMenuPolicy(Qt::NoContextMenu);
  setFixedSize(width, buttonsTop + 40);

  connect(chooser_, &QPushButton::clicked, this, &ColourDialog::OpenChooser);
  connect(ok_, &QPushButton::clicked, this, [this] { Finish(true); });
  connect(cancel_, &QPushButton::clicked, this, [this] { Finish(false); });

  // Opening: both halves of the swatch, both codes and the fields show the input.
  inputCode_->setText(ColourDisplayCode(state_.input()));
  inputHex_->setText(QString::fromStdString(FormatHexColour(state_.input())));
  newCode_->setText(ColourDisplayCode(state_.lastDisplayed()));
  newHex_->setText(QString::fromStdString(FormatHexColour(state_.lastDisplayed())));
  text_->setText(QString::fromStdString(FormatHexColour(state_.lastDisplayed())));
  PaintSwatch();
  ShowFields();

  // The eyedropper starts with a press of the right button on the dialog;
  // while it is held, the pointer may go anywhere on the screen (the press
  // keeps the mouse for us). Only then does the timer run, so that the
  // screen keeps being read while the pointer rests.
  poll_ = new QTimer(this);
  poll_->setObjectName(QStringLiteral("eyedropper"));
  poll_->setTimerType(Qt::PreciseTimer);
  poll_->setInterval(1);
  connect(poll_, &QTimer::timeout, this, &ColourDialog::Poll);
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

bool ColourDialog::eventFilter(QObject* watched, QEvent* event) {
  if (!done_ && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    StartPicking();
    return true;
  }
  if (picking_ && event->type() == QEvent::MouseMove) Poll();
  if (picking_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    Poll();
    StopPicking();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void ColourDialog::StartPicking() {
  picking_ = true;
  poll_->start();
  Poll();
}

void ColourDialog::StopPicking() {
  picking_ = false;
  poll_->stop();
}

void ColourDialog::Poll() {
  if (done_ || !picking_) return;
  // The release may happen where no window of ours hears it.
  if (!host_.RightButtonDown()) {
    StopPicking();
    return;
  }
  state_.EyedropperPixel(host_.PixelUnderPointer());
  RefreshView();
}

void ColourDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The keys go first to the text: a colour typed or pasted replaces it.
  text_->selectAll();
  text_->setFocus(Qt::OtherFocusReason);
}

void ColourDialog::reject() {
  if (!done_) Finish(false);
}

void ColourDialog::closeEvent(QCloseEvent* event) {
  // Closing the window is Cancel.
  if (!done_) Finish(false);
  event->accept();
}

void ColourDialog::TextEdited() {
  if (state_.TextEntered(text_->text())) RefreshView(3);
}

void ColourDialog::FieldEdited(int channel) {
  const QString shown =
      state_.FieldEdited(channel, fields_[0]->text(), fields_[1]->text(), fields_[2]->text());
  fields_[channel]->setText(shown);
  RefreshView(channel);
}

void ColourDialog::OpenChooser() {
  // The chooser is modal in its own right: no eyedropper behind its back.
  StopPicking();
  const std::optional<QColor> chosen = host_.SystemChooser(this, ToQColor(state_.current()));
  if (chosen) state_.ChooserPicked(*chosen);
  RefreshView();
}

void ColourDialog::Finish(bool ok) {
  done_ = true;
  StopPicking();
  result_ = ok ? state_.ResultOk() : state_.ResultCancel();
  done(ok ? QDialog::Accepted : QDialog::Rejected);
}

void ColourDialog::RefreshView(int editedChannel) {
  if (!state_.Refresh()) return;
  PaintSwatch();
  ShowFields(editedChannel);
  newCode_->setText(ColourDisplayCode(state_.lastDisplayed()));
  newHex_->setText(QString::fromStdString(FormatHexColour(state_.lastDisplayed())));
  // The text under the user's caret stays as typed.
  if (editedChannel != 3) text_->setText(QString::fromStdString(FormatHexColour(state_.lastDisplayed())));
  emit previewed(state_.lastDisplayed());
}

void ColourDialog::PaintSwatch() {
  QImage image(50, 100, QImage::Format_RGB32);
  const QRgb upper = ToQColor(state_.input()).rgb();
  const QRgb lower = ToQColor(state_.lastDisplayed()).rgb();
  for (int y = 0; y < 100; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::fill(line, line + 50, y < 50 ? upper : lower);
  }
  swatch_->setPixmap(QPixmap::fromImage(image));
}

void ColourDialog::ShowFields(int editedChannel) {
  const int values[3] = {state_.r5(), state_.g5(), state_.b5()};
  for (int i = 0; i < 3; ++i) {
    // The field under the user's caret keeps a text that already reads as
    // its value (ColourChoice::ChannelShown).
    fields_[i]->setText(i == editedChannel
                            ? QString::fromStdString(state_.choice().ChannelShown(i, fields_[i]->text().toStdString()))
                            : QString::number(values[i]));
  }
}

Rgb24 RunColourDialog(QWidget* owner, Rgb24 input, const LanguageTable& texts, ColourPickerHost& host,
                      const QString& name, const std::function<void(Rgb24)>& preview) {
  ColourDialog dialog(owner, input, texts, host, name);
  if (preview) QObject::connect(&dialog, &ColourDialog::previewed, &dialog, preview);
  // Beside the window: what it shows is shown on the preview at once.
  PlaceBesideOwner(owner, dialog);
  RunModalOver(owner, dialog);
  return dialog.chosenColour();
}
