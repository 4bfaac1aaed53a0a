#include "app/editor_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "app/language.h"
#include "app/panel_tables.h"
#include "app/shell.h"

namespace {

constexpr int kButtonWidth = 128, kRowHeight = 20;

// Skin texts are 8-bit; the editor shows each byte as its Latin-1 character.
QString FromSkinText(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<int>(s.size())); }
std::string ToSkinText(const QString& s) { return s.toLatin1().toStdString(); }

}  // namespace

EditorPanel::EditorPanel(QWidget* parent, EditorShell& shell, const LanguageTable& texts)
    : QTabWidget(parent), shell_(shell) {
  setObjectName(QStringLiteral("EditorPanel"));
  // Narrow padding: the captions of the 128-pixel buttons need the room.
  setStyleSheet(QStringLiteral("QPushButton { padding: 0px 2px; }"));
  addTab(BuildColoursPage(texts), texts.Text("LANG_PANEL_COLORS$"));
  addTab(BuildImagesPage(texts), texts.Text("LANG_PANEL_IMAGES$"));
  addTab(BuildElementsPage(texts), texts.Text("LANG_PANEL_ELEMETS$"));
  addTab(BuildInformationPage(texts), texts.Text("LANG_PANEL_INFORMATIONS$"));
  setCurrentIndex(0);
  for (int s = 1; s < 14; ++s) SetScreenEnabled(s, false);
}

QWidget* EditorPanel::BuildColoursPage(const LanguageTable& texts) {
  auto* page = new QWidget;
  for (const ColourControl& c : ColourControls()) {
    auto* b = new QPushButton(texts.Text(c.key()), page);
    b->setObjectName(QStringLiteral("colour:%1").arg(QLatin1String(c.name)));
    b->setGeometry(c.column * kButtonWidth, c.row * kRowHeight, kButtonWidth, kRowHeight);
    b->setToolTip(QLatin1String(c.name));
    const ColourControl* control = &c;
    connect(b, &QPushButton::clicked, this, [this, control] { shell_.EditColour(*control); });
    screenControls_[std::size_t(c.screen)].push_back(b);
  }
  return page;
}

QWidget* EditorPanel::BuildImagesPage(const LanguageTable& texts) {
  auto* page = new QWidget;
  for (const ImageControl& c : ImageControls()) {
    auto* b = new QPushButton(texts.Text(c.key()), page);
    b->setObjectName(QStringLiteral("image:%1").arg(c.baseName()));
    b->setGeometry(c.column * kButtonWidth, c.row * kRowHeight, kButtonWidth, kRowHeight);
    b->setToolTip(c.baseName() + QStringLiteral(".bmp"));
    const ImageId image = c.image;
    connect(b, &QPushButton::clicked, this, [this, image] { shell_.ImportImage(image); });
    screenControls_[std::size_t(c.screen)].push_back(b);
  }
  return page;
}

QWidget* EditorPanel::BuildElementsPage(const LanguageTable& texts) {
  auto* page = new QWidget;
  for (const ElementControl& c : ElementControls()) {
    const int y = c.row * kRowHeight + 5;
    const QString caption = c.key ? texts.Text(c.key) : QString::fromLatin1(c.builtinCaption);
    QWidget* label;
    if (c.checkBox) {
      auto* box = new QCheckBox(caption, page);
      box->setGeometry(5, y, 186, kRowHeight);
      const auto field = c.flag;
      connect(box, &QCheckBox::toggled, this, [this, field](bool on) {
        if (syncing_) return;
        *field(shell_.skin()) = on ? 1 : 0;
        shell_.RedrawPreview();
      });
      checks_.push_back({box, field});
      label = box;
    } else {
      auto* l = new QLabel(caption, page);
      l->setGeometry(20, y, 186, kRowHeight);
      label = l;
    }
    label->setObjectName(QStringLiteral("element:%1").arg(c.row));
    screenControls_[std::size_t(c.screen)].push_back(label);

    struct Column {
      std::int32_t* (*field)(Skin&);
      int x, maximum;
      const char* name;
    };
    for (const Column& col : {Column{c.x, 205, 255, "x"}, Column{c.y, 265, 191, "y"}, Column{c.w, 325, 255, "w"}}) {
      if (!col.field) continue;
      auto* spin = new QSpinBox(page);
      spin->setObjectName(QStringLiteral("element:%1:%2").arg(c.row).arg(QLatin1String(col.name)));
      spin->setGeometry(col.x, y, 48, kRowHeight);
      spin->setRange(0, col.maximum);
      const auto field = col.field;
      // Only a change the user makes reaches the skin: a loaded value
      // outside the range is shown limited but kept until then.
      connect(spin, &QSpinBox::valueChanged, this, [this, field](int v) {
        if (syncing_) return;
        shell_.NumberEdited(field, v);
      });
      numbers_.push_back({spin, field});
      screenControls_[std::size_t(c.screen)].push_back(spin);
    }
  }
  return page;
}

QWidget* EditorPanel::BuildInformationPage(const LanguageTable& texts) {
  auto* page = new QWidget;
  static constexpr const char* kLabels[] = {"LANG_INFO_TITLE$", "LANG_INFO_AUTHOR$", "LANG_INFO_EMAIL$",
                                            "LANG_INFO_URL$", "LANG_INFO_UPDATE$"};
  for (int i = 0; i < 5; ++i) {
    auto* label = new QLabel(texts.Text(kLabels[i]), page);
    label->setGeometry(5, 10 + 40 * i, 374, 15);
    auto* edit = new QLineEdit(page);
    edit->setObjectName(QStringLiteral("info:%1").arg(i));
    edit->setGeometry(5, 25 + 40 * i, 374, kRowHeight);
    edit->setReadOnly(i == 4);
    info_[std::size_t(i)] = edit;
  }
  return page;
}

void EditorPanel::SyncControls(const Skin& constSkin) {
  Skin& skin = const_cast<Skin&>(constSkin);  // the accessors hand out pointers; nothing is written
  syncing_ = true;
  for (const BoundCheck& c : checks_) c.box->setChecked(*c.field(skin) == 1);
  for (const BoundNumber& n : numbers_) n.box->setValue(*n.field(skin));
  const std::array<const std::string*, 5> info = {&skin.info.Title, &skin.info.Author, &skin.info.eMail,
                                                  &skin.info.Url, &skin.info.LastUpdate};
  for (std::size_t i = 0; i < 5; ++i) info_[i]->setText(FromSkinText(*info[i]));
  syncing_ = false;
}

void EditorPanel::SetScreenEnabled(int screen, bool enabled) {
  if (screen < 0 || screen >= 14) return;
  for (QWidget* w : screenControls_[std::size_t(screen)]) w->setEnabled(enabled);
}

TypedInfo EditorPanel::TypedTexts() const {
  return {ToSkinText(info_[0]->text()), ToSkinText(info_[1]->text()), ToSkinText(info_[2]->text()),
          ToSkinText(info_[3]->text())};
}
