#include "app/editor_panel.h"

#include "app/commands/command_table.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolTip>
#include <QValidator>

#include <functional>

#include "app/language.h"
#include "edit/editor_session.h"
#include "edit/panel_tables.h"
#include "app/qt_text.h"
#include "app/skin_document.h"
#include "app/view_state.h"

namespace {

constexpr int kButtonWidth = 128, kRowHeight = 20, kSwatch = 12, kThumbWidth = 16;
// The Elements tab: headings above the number columns, rows below them.
constexpr int kHeadingHeight = 12, kFirstRow = 12;

// Skin texts are 8-bit; the editor shows each byte as its Latin-1 character.

// "[start bar] y", as the settings file has it.
QString FieldText(const SkinField& f) { return Latin1(f.section) + QLatin1Char(' ') + Latin1(f.field->key); }

// A caption shown on a button or check box: "&" is a character, not a mnemonic.
QString Escaped(QString s) { return s.replace(QLatin1Char('&'), QStringLiteral("&&")); }

// Shortens the caption with "..." at its end until the control fits `width`.
template <typename Control>
void FitCaption(Control* control, const QString& caption, int width) {
  control->setText(Escaped(caption));
  const QFontMetrics metrics(control->font());
  for (int room = metrics.horizontalAdvance(caption); control->sizeHint().width() > width && room > 0; room -= 2) {
    control->setText(Escaped(metrics.elidedText(caption, Qt::ElideRight, room)));
  }
}

// A swatch readable on any button and in any colour: the colour inside a black
// and a white frame. It is not greyed on a disabled button.
QIcon Swatch(Rgb24 c) {
  QPixmap pixmap(kSwatch, kSwatch);
  pixmap.fill(QColor(c.r, c.g, c.b));
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, kSwatch - 1, kSwatch - 1);
  painter.setPen(Qt::white);
  painter.drawRect(1, 1, kSwatch - 3, kSwatch - 3);
  painter.end();
  QIcon icon;
  icon.addPixmap(pixmap, QIcon::Normal);
  icon.addPixmap(pixmap, QIcon::Disabled);
  return icon;
}

// A picture small enough for its button, its shape kept, pixels repeated or
// dropped (never blended, so pixel art stays sharp).
QIcon Thumbnail(const Picture& p) {
  QPixmap pixmap(kThumbWidth, kSwatch);
  pixmap.fill(Qt::transparent);
  if (!p.empty()) {
    const double scale = std::min(double(kThumbWidth) / p.width, double(kSwatch) / p.height);
    const int w = std::max(1, int(p.width * scale)), h = std::max(1, int(p.height * scale));
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
      const Rgb24* row = p.row(int(std::int64_t(y) * p.height / h));
      uchar* out = image.scanLine(y);
      for (int x = 0; x < w; ++x, out += 3) {
        const Rgb24 c = row[std::int64_t(x) * p.width / w];
        out[0] = c.r, out[1] = c.g, out[2] = c.b;
      }
    }
    QPainter painter(&pixmap);
    painter.drawImage((kThumbWidth - w) / 2, (kSwatch - h) / 2, image);
  }
  QIcon icon;
  icon.addPixmap(pixmap, QIcon::Normal);
  icon.addPixmap(pixmap, QIcon::Disabled);
  return icon;
}

// An image button that also takes one picture file dropped on it.
class ImageButton : public QPushButton {
 public:
  ImageButton(QWidget* parent, std::function<void(const QString&)> dropped)
      : QPushButton(parent), dropped_(std::move(dropped)) {
    setAcceptDrops(true);
  }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override {
    if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
  }
  void dropEvent(QDropEvent* event) override {
    const QString file = DroppedFile(event->mimeData());
    if (file.isEmpty()) return;
    event->acceptProposedAction();
    dropped_(file);
  }

 private:
  static QString DroppedFile(const QMimeData* data) {
    if (!data || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return {};
    const QString path = data->urls().front().toLocalFile();
    return QFileInfo(path).isFile() ? path : QString();
  }
  std::function<void(const QString&)> dropped_;
};

// What uisettings.ini can hold, by the core's rule (TakeTypedText): 8-bit
// Latin-1 text on one line.
class Latin1Validator : public QValidator {
 public:
  Latin1Validator(const SkinField& field, QObject* parent) : QValidator(parent), field_(field) {}
  State validate(QString& input, int&) const override {
    return TakeTypedText(field_, input.toStdString()).outcome == TypedText::Outcome::Refused ? Invalid : Acceptable;
  }

 private:
  SkinField field_;
};

}  // namespace

EditorPanel::EditorPanel(QWidget* parent, const LanguageTable& texts) : QTabWidget(parent) {
  setObjectName(QStringLiteral("EditorPanel"));
  // Narrow padding: the captions of the 128-pixel buttons need the room. The
  // colour buttons show their swatch, then the caption from the left.
  setStyleSheet(QStringLiteral("QPushButton { padding: 0px 2px; }"
                               "QPushButton[swatch=\"true\"] { text-align: left; padding-left: 3px; }"));
  for (int s = 0; s < kPreviewScreenCount; ++s) screenNames_ << texts.Text(QStringLiteral("LANG_SCREEN_%1$").arg(s, 2, 10, QLatin1Char('0')));
  screenTip_ = texts.Text("LANG_PANEL_TIP_SCREEN$");
  addTab(BuildColoursPage(texts), texts.Text("LANG_PANEL_COLORS$"));
  addTab(BuildImagesPage(texts), texts.Text("LANG_PANEL_IMAGES$"));
  addTab(BuildElementsPage(texts), texts.Text("LANG_PANEL_ELEMETS$"));
  addTab(BuildInformationPage(texts), texts.Text("LANG_PANEL_INFORMATIONS$"));
  setCurrentIndex(0);
  SetScreen(0);
}

void EditorPanel::Follow(const SkinDocument& document, const ViewState& view) {
  connect(&document, &SkinDocument::skinChanged, this, [this, &document](const SkinChange& change) {
    SyncControls(document.skin());
    ShowThumbnails(document.skin(), change);
  });
  connect(&view, &ViewState::screenChanged, this, &EditorPanel::SetScreen);
  SyncControls(document.skin());
  SkinChange all;
  all.whole = true;
  ShowThumbnails(document.skin(), all);
  SetScreen(view.screen());
}

void EditorPanel::AddControl(QWidget* control, int screen, const QString& tip) {
  tips_.push_back({control, tip, screen});
}

QWidget* EditorPanel::BuildColoursPage(const LanguageTable& texts) {
  auto* page = new QWidget(this);  // parented at once, so the panel's style applies while captions are fitted
  for (const ColourControl& c : ColourControls()) {
    auto* b = new QPushButton(page);
    b->setObjectName(QStringLiteral("colour:%1").arg(QLatin1String(c.name)));
    b->setProperty("swatch", true);
    b->setIconSize(QSize(kSwatch, kSwatch));
    b->setIcon(Swatch({}));
    b->setGeometry(c.column * kButtonWidth, c.row * kRowHeight, kButtonWidth, kRowHeight);
    const QString caption = texts.Text(c.key());
    FitCaption(b, caption, kButtonWidth);
    const SkinField field = c.field();
    connect(b, &QPushButton::clicked, this, [this, field] { Run("editColour", {field}); });
    WatchHover(b, [this, field] { emit colourHovered(field); });
    const int index = colours_.size();
    b->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(b, &QWidget::customContextMenuRequested, this, [this, index](QPoint at) { ShowColourMenu(index, at); });
    colours_.push_back({b, field});
    AddControl(b, c.screen, caption + QLatin1Char('\n') + texts.Text("LANG_PANEL_TIP_COLOR$").arg(QLatin1String(c.name)));
  }
  return page;
}

QWidget* EditorPanel::BuildImagesPage(const LanguageTable& texts) {
  auto* page = new QWidget(this);
  for (const ImageControl& c : ImageControls()) {
    const ImageId image = c.image;
    auto* b = new ImageButton(page, [this, image](const QString& file) {
      CommandTarget to;
      to.image = image;
      to.path = file;
      Run("importPictureFile", to);
    });
    b->setObjectName(QStringLiteral("image:%1").arg(QString::fromStdString(c.baseName())));
    b->setProperty("swatch", true);
    b->setIconSize(QSize(kThumbWidth, kSwatch));
    b->setGeometry(c.column * kButtonWidth, c.row * kRowHeight, kButtonWidth, kRowHeight);
    const QString caption = texts.Text(c.key());
    FitCaption(b, caption, kButtonWidth);
    connect(b, &QPushButton::clicked, this, [this, image] {
      CommandTarget to;
      to.image = image;
      Run("importPicture", to);
    });
    WatchHover(b, [this, image] { emit imageHovered(image); });
    images_.push_back({image, b});
    AddControl(b, c.screen,
               caption + QLatin1Char('\n') + texts.Text("LANG_PANEL_TIP_IMAGE$").arg(Latin1(CatalogueEntryOf(image).file)));
  }
  return page;
}

QWidget* EditorPanel::BuildElementsPage(const LanguageTable& texts) {
  auto* page = new QWidget(this);
  struct Column {
    bool ElementControl::*has;
    const char* key;
    int x, maximum;
    const char* heading;
  };
  static constexpr Column kColumns[] = {{&ElementControl::x, "x", 205, kElementMaxX, "LANG_PANEL_COLUMN_X$"},
                                        {&ElementControl::y, "y", 265, kElementMaxY, "LANG_PANEL_COLUMN_Y$"},
                                        {&ElementControl::w, "w", 325, kElementMaxX, "LANG_PANEL_COLUMN_W$"}};
  for (const Column& col : kColumns) {
    auto* heading = new QLabel(texts.Text(col.heading), page);
    heading->setObjectName(QStringLiteral("heading:%1").arg(QLatin1String(col.key)));
    heading->setAlignment(Qt::AlignCenter);
    heading->setGeometry(col.x, 0, 48, kHeadingHeight);
  }
  const QString fieldTip = texts.Text("LANG_PANEL_TIP_FIELD$");
  for (const ElementControl& c : ElementControls()) {
    const int y = c.row * kRowHeight + kFirstRow;
    const QString caption = c.key ? texts.Text(c.key) : QString::fromLatin1(c.builtinCaption);
    QWidget* label;
    QString labelTip = caption;
    if (c.checkBox()) {
      auto* box = new QCheckBox(page);
      box->setGeometry(5, y, 186, kRowHeight);
      FitCaption(box, caption, 186);
      const SkinField field = SkinFieldOf(c.section, c.flag);
      connect(box, &QCheckBox::toggled, this, [this, field](bool on) {
        if (!syncing_) emit flagToggled(field, on);
      });
      checks_.push_back({box, field});
      labelTip += QLatin1Char('\n') + fieldTip.arg(FieldText(field));
      label = box;
    } else {
      auto* l = new QLabel(page);
      l->setGeometry(20, y, 186, kRowHeight);
      FitCaption(l, caption, 186);
      label = l;
    }
    label->setObjectName(QStringLiteral("element:%1").arg(c.row));
    AddControl(label, c.screen, labelTip);
    ElementRow row{c.section, {label}};

    for (const Column& col : kColumns) {
      if (!(c.*(col.has))) continue;
      auto* spin = new QSpinBox(page);
      spin->setObjectName(QStringLiteral("element:%1:%2").arg(c.row).arg(QLatin1String(col.key)));
      spin->setGeometry(col.x, y, 48, kRowHeight);
      spin->setRange(0, col.maximum);
      // The wheel changes a number only in the field being typed in: one
      // passing over the panel must not move an element.
      spin->setFocusPolicy(Qt::StrongFocus);
      spin->installEventFilter(this);
      const SkinField field = SkinFieldOf(c.section, col.key);
      // Only a change the user makes reaches the skin: a loaded value
      // outside the range is shown limited but kept until then.
      connect(spin, &QSpinBox::valueChanged, this, [this, field](int v) {
        if (!syncing_) emit numberEdited(field, v);
      });
      numbers_.push_back({spin, field});
      row.controls.push_back(spin);
      AddControl(spin, c.screen, caption + QLatin1Char('\n') + fieldTip.arg(FieldText(field)));
    }
    const QString section = QString::fromLatin1(c.section);
    for (QWidget* control : row.controls) WatchHover(control, [this, section] { emit elementHovered(section); });
    elementRows_.push_back(std::move(row));
  }
  return page;
}

QWidget* EditorPanel::BuildInformationPage(const LanguageTable& texts) {
  auto* page = new QWidget(this);
  static constexpr const char* kLabels[] = {"LANG_INFO_TITLE$", "LANG_INFO_AUTHOR$", "LANG_INFO_EMAIL$",
                                            "LANG_INFO_URL$", "LANG_INFO_UPDATE$"};
  static constexpr const char* kKeys[] = {"Title", "Author", "eMail", "Url", "LastUpdate"};
  // Why a character was refused: in the page, under the boxes, where it
  // neither covers another box nor takes a click or the focus.
  auto* hint = new QLabel(texts.Text("LANG_INFO_LATIN1$"), page);
  hint->setObjectName(QStringLiteral("latin1Hint"));
  hint->setGeometry(5, 10 + 40 * 5, 374, 40);
  hint->setWordWrap(true);
  hint->setAttribute(Qt::WA_TransparentForMouseEvents);
  hint->setFocusPolicy(Qt::NoFocus);
  hint->hide();
  auto* hintTimer = new QTimer(hint);
  hintTimer->setSingleShot(true);
  hintTimer->setInterval(4000);
  connect(hintTimer, &QTimer::timeout, hint, &QWidget::hide);
  for (int i = 0; i < 5; ++i) {
    auto* label = new QLabel(texts.Text(kLabels[i]), page);
    label->setGeometry(5, 10 + 40 * i, 374, 15);
    auto* edit = new QLineEdit(page);
    edit->setObjectName(QStringLiteral("info:%1").arg(i));
    edit->setGeometry(5, 25 + 40 * i, 374, kRowHeight);
    const SkinField field = SkinFieldOf(kSkinInfoSection, kKeys[i]);
    edit->setToolTip(texts.Text("LANG_PANEL_TIP_FIELD$").arg(FieldText(field)));
    edit->setReadOnly(IsReadOnlyField(field));
    edit->setValidator(new Latin1Validator(field, edit));
    edit->installEventFilter(this);
    // A refused character says why, instead of being saved as "?" later.
    connect(edit, &QLineEdit::inputRejected, hint, [hint, hintTimer] {
      hint->show();
      hintTimer->start();
    });
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
      if (!syncing_) emit textEdited(field, text);
    });
    info_.push_back({edit, field});
  }
  return page;
}

void EditorPanel::SyncControls(const Skin& skin) {
  syncing_ = true;
  for (BoundColour& c : colours_) {
    const Rgb24 colour = std::get<Rgb24>(ReadField(skin, c.field));
    if (colour == c.shown && !c.button->icon().isNull()) continue;
    c.shown = colour;
    c.button->setIcon(Swatch(colour));
  }
  for (const BoundCheck& c : checks_) {
    const bool on = std::get<std::int32_t>(ReadField(skin, c.field)) == 1;
    if (c.box->isChecked() != on) c.box->setChecked(on);
  }
  for (const BoundNumber& n : numbers_) {
    const std::int32_t v = std::get<std::int32_t>(ReadField(skin, n.field));
    if (n.box->value() != v) n.box->setValue(v);
  }
  for (const BoundText& t : info_) {
    const QString text = Latin1(std::get<std::string>(ReadField(skin, t.field)));
    if (t.box->text() != text) t.box->setText(text);
  }
  syncing_ = false;
}

void EditorPanel::Run(const char* command, const CommandTarget& target) const {
  if (commands_) commands_->Run(QString::fromLatin1(command), target);
}

void EditorPanel::ShowColourMenu(int index, QPoint at) {
  if (!commands_) return;
  // The entries of the editor's commands, about this colour.
  QMenu menu(this);
  for (const char* id : {"copyColour", "pasteColour"}) {
    if (QAction* a = commands_->Action(QString::fromLatin1(id), &menu, {colours_[index].field})) menu.addAction(a);
  }
  menu.exec(colours_[index].button->mapToGlobal(at));
}

void EditorPanel::ShowThumbnails(const Skin& skin, const SkinChange& change) {
  // A thumbnail of each picture, like the swatch of a colour; drawn again
  // only for the pictures that changed.
  for (const auto& [id, button] : images_) {
    if (change.Touches(id)) static_cast<QPushButton*>(button)->setIcon(Thumbnail(skin.image(id)));
  }
}

QWidget* EditorPanel::Reveal(QWidget* control) {
  if (!control) return nullptr;
  for (QWidget* w = control->parentWidget(); w; w = w->parentWidget()) {
    if (const int tab = indexOf(w); tab >= 0) {
      setCurrentIndex(tab);
      break;
    }
  }
  control->setFocus(Qt::OtherFocusReason);
  return control;
}

QWidget* EditorPanel::RevealField(const SkinField& field) {
  for (const BoundColour& c : colours_) {
    if (c.field == field) return Reveal(c.button);
  }
  for (const BoundCheck& c : checks_) {
    if (c.field == field) return Reveal(c.box);
  }
  for (const BoundNumber& n : numbers_) {
    if (n.field == field) return Reveal(n.box);
  }
  for (const BoundText& t : info_) {
    if (t.field == field) return Reveal(t.box);
  }
  return nullptr;
}

QWidget* EditorPanel::RevealImage(ImageId image) {
  for (const auto& [id, button] : images_) {
    if (id == image) return Reveal(button);
  }
  return nullptr;
}

QVector<QWidget*> EditorPanel::ElementRowControls(std::string_view section) const {
  for (const ElementRow& r : elementRows_) {
    if (r.section == section) return r.controls;
  }
  return {};
}

QWidget* EditorPanel::RevealElement(std::string_view section) {
  const QVector<QWidget*> row = ElementRowControls(section);
  if (row.isEmpty()) return nullptr;
  // A row's label is a check box or a plain text; a plain text takes no
  // focus, so the row's first number field does.
  QWidget* target = row.front();
  if (target->focusPolicy() == Qt::NoFocus && row.size() > 1) target = row[1];
  Reveal(target);
  return row.front();
}

void EditorPanel::SetScreen(int screen) {
  for (const Tip& t : tips_) {
    const bool enabled = t.screen == screen;
    t.control->setEnabled(enabled);
    // A greyed control says where it can be edited.
    t.control->setToolTip(enabled ? t.text : t.text + QLatin1Char('\n') + screenTip_.arg(screenNames_[t.screen]));
  }
}

void EditorPanel::WatchHover(QWidget* control, std::function<void()> entered) {
  hoverEntered_.insert(control, std::move(entered));
  control->installEventFilter(this);
}

bool EditorPanel::eventFilter(QObject* watched, QEvent* event) {
  // Greyed controls are watched too: they say on which screens they draw.
  if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
    if (const auto it = hoverEntered_.constFind(watched); it != hoverEntered_.constEnd()) {
      if (event->type() == QEvent::Enter) (*it)();
      else emit hoverEnded();
    }
  }
  auto* widget = qobject_cast<QWidget*>(watched);
  if (event->type() == QEvent::Wheel && qobject_cast<QSpinBox*>(watched) && !widget->hasFocus()) {
    event->accept();
    return true;
  }
  // Copy and paste a colour while its button has the focus.
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    for (int i = 0; i < colours_.size(); ++i) {
      if (colours_[i].button != watched) continue;
      if (key->matches(QKeySequence::Copy)) Run("copyColour", {colours_[i].field});
      else if (key->matches(QKeySequence::Paste)) Run("pasteColour", {colours_[i].field});
      else break;
      return true;
    }
  }
  // Undo and Redo are the editor's, not the text box's own: left to the
  // window's shortcuts, they undo whole steps of the skin.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
      key->ignore();
      return true;
    }
  }
  return QTabWidget::eventFilter(watched, event);
}
