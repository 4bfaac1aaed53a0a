#include "app/palette_dock.h"

#include "app/view_state.h"

#include <QAction>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QHeaderView>
#include <QListWidget>
#include <QMainWindow>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

#include "app/language.h"
#include "app/qt_text.h"
#include "app/skin_document.h"

namespace {

constexpr int kSwatch = 28;
constexpr int kColourRole = Qt::UserRole;
constexpr int kSubjectRole = Qt::UserRole + 1;  // index into the subjects of the uses shown

// A swatch in a black and a white frame, readable on any colour, with its
// code as uisettings.ini writes it and its count beside it; the key colour
// crossed out, as the firmware leaves it out. The texts are drawn into the
// picture, so that no view elides them. The swatch always shows its own
// colour: while the dock is disabled (a dialog open over the window) as
// well, and when chosen, where only the texts' ground takes the highlight.
QPixmap SwatchPixmap(Rgb15 colour, bool key, long long count, const QWidget* on, int width, bool chosen) {
  const Rgb24 c = Rgb15ToRgb24(colour);
  QPixmap pixmap(width, kSwatch);
  pixmap.fill(chosen ? on->palette().color(QPalette::Highlight) : QColor(Qt::transparent));
  QPainter painter(&pixmap);
  painter.fillRect(0, 0, kSwatch, kSwatch, QColor(c.r, c.g, c.b));
  painter.setPen(on->palette().color(chosen ? QPalette::HighlightedText : QPalette::Text));
  painter.setFont(on->font());
  const QRect text(kSwatch + 4, 0, width - kSwatch - 4, kSwatch);
  painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(FormatSkinColour(c)));
  painter.drawText(text, Qt::AlignLeft | Qt::AlignBottom, QString::number(count));
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, kSwatch - 1, kSwatch - 1);
  painter.setPen(Qt::white);
  painter.drawRect(1, 1, kSwatch - 3, kSwatch - 3);
  if (key) {
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(3, 3, kSwatch - 4, kSwatch - 4);
    painter.drawLine(3, kSwatch - 4, kSwatch - 4, 3);
  }
  return pixmap;
}

QIcon Swatch(Rgb15 colour, bool key, long long count, const QWidget* on, int width) {
  const QPixmap plain = SwatchPixmap(colour, key, count, on, width, false);
  QIcon icon;
  for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active}) icon.addPixmap(plain, mode);
  icon.addPixmap(SwatchPixmap(colour, key, count, on, width, true), QIcon::Selected);
  return icon;
}

QString Hex(Rgb15 colour) { return QString::fromStdString(FormatSkinColour(Rgb15ToRgb24(colour))); }

}  // namespace

PaletteDock::PaletteDock(const LanguageTable& texts, SkinDocument& document, ViewState& view, QMainWindow* window)
    : QDockWidget(texts.Text("LANG_VIEW_PALETTE$"), window), document_(document), view_(view) {
  setObjectName(QStringLiteral("PaletteDock"));
  countFormat_ = texts.Text("LANG_PALETTE_TIP$");
  keyText_ = texts.Text("LANG_PALETTE_KEY$");
  usesFormat_ = texts.Text("LANG_PALETTE_PIXELS$");

  auto* body = new QWidget;
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(2, 2, 2, 2);
  swatches_ = new QListWidget;
  swatches_->setObjectName(QStringLiteral("paletteSwatches"));
  // Swatches with their codes and counts beside them, in rows that wrap:
  // room for a count of six digits.
  swatches_->setViewMode(QListView::IconMode);
  const QFontMetrics metrics(swatches_->font());
  swatchWidth_ = kSwatch + 6 +
                 std::max(metrics.horizontalAdvance(QStringLiteral("0x7fff")), metrics.horizontalAdvance(QStringLiteral("000000")));
  swatches_->setIconSize(QSize(swatchWidth_, kSwatch));
  swatches_->setGridSize(QSize(swatchWidth_ + 6, kSwatch + 6));
  swatches_->setMovement(QListView::Static);
  swatches_->setResizeMode(QListView::Adjust);
  swatches_->setUniformItemSizes(true);
  swatches_->setMouseTracking(true);
  swatches_->viewport()->installEventFilter(this);
  uses_ = new QTreeWidget;
  uses_->setObjectName(QStringLiteral("paletteUses"));
  uses_->setColumnCount(2);
  uses_->setHeaderHidden(true);
  uses_->setRootIsDecorated(false);
  uses_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  uses_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  replace_ = new QPushButton(texts.Text("LANG_PALETTE_REPLACE$"));
  replace_->setObjectName(QStringLiteral("paletteReplace"));
  replace_->setEnabled(false);
  layout->addWidget(swatches_, 3);
  layout->addWidget(uses_, 2);
  layout->addWidget(replace_);
  setWidget(body);
  setFeatures(DockWidgetClosable | DockWidgetFloatable | DockWidgetMovable);
  connect(toggleViewAction(), &QAction::triggered, this, &PaletteDock::shownByUser);

  connect(swatches_, &QListWidget::itemEntered, this, [this](QListWidgetItem* item) {
    PreviewTarget target;
    target.colour = static_cast<Rgb15>(item->data(kColourRole).toUInt());
    view_.SetHover(target);
  });
  connect(swatches_, &QListWidget::currentItemChanged, this, &PaletteDock::ShowUses);
  connect(uses_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    const QVariant index = item ? item->data(0, kSubjectRole) : QVariant();
    const PaletteEntry* entry = ChosenEntry();
    if (!entry || !index.isValid()) return;
    const std::size_t i = index.toUInt();
    if (i < entry->fields.size()) {
      emit revealRequested(ProblemSubject::Field(entry->fields[i].first, entry->fields[i].second));
    } else if (i - entry->fields.size() < entry->pictures.size()) {
      emit revealRequested(ProblemSubject::Picture(entry->pictures[i - entry->fields.size()].first));
    }
  });
  connect(replace_, &QPushButton::clicked, this, [this] { emit replaceRequested(Chosen()); });

  // Counted again once the edits of one event are done, and only while shown.
  later_ = new QTimer(this);
  later_->setSingleShot(true);
  later_->setInterval(0);
  connect(later_, &QTimer::timeout, this, &PaletteDock::Refresh);
  connect(&document, &SkinDocument::skinChanged, this, [this] {
    if (isVisible()) later_->start();
  });
  connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (visible) Refresh();
  });
  setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  hide();
}

Rgb15 PaletteDock::Chosen() const {
  const QListWidgetItem* item = swatches_->currentItem();
  return item ? static_cast<Rgb15>(item->data(kColourRole).toUInt()) : Rgb15(0xffff);
}

void PaletteDock::Refresh() {
  const Rgb15 chosen = Chosen();
  entries_ = SkinPalette(document_.skin());
  swatches_->setUpdatesEnabled(false);
  const QSignalBlocker quiet(swatches_);
  swatches_->clear();
  QListWidgetItem* again = nullptr;
  for (const PaletteEntry& e : entries_) {
    auto* item = new QListWidgetItem(Swatch(e.colour, e.key(), e.count, swatches_, swatchWidth_), QString(), swatches_);
    item->setData(kColourRole, e.colour);
    const Rgb24 c = Rgb15ToRgb24(e.colour);
    QString tip = countFormat_.arg(Hex(e.colour), QString::fromStdString(FormatHexColour(c))).arg(e.count);
    if (e.key()) tip += QLatin1Char('\n') + keyText_;
    item->setToolTip(tip);
    if (e.colour == chosen) again = item;
  }
  if (again) swatches_->setCurrentItem(again);
  swatches_->setUpdatesEnabled(true);
  ShowUses();
}

const PaletteEntry* PaletteDock::ChosenEntry() const {
  const Rgb15 chosen = Chosen();
  for (const PaletteEntry& e : entries_) {
    if (e.colour == chosen) return &e;
  }
  return nullptr;
}

void PaletteDock::ShowUses() {
  uses_->clear();
  replace_->setEnabled(swatches_->currentItem() != nullptr);
  const PaletteEntry* e = ChosenEntry();
  if (!e) return;
  std::size_t i = 0;
  for (const auto& [section, key] : e->fields) {
    auto* item = new QTreeWidgetItem(uses_, {Latin1(section) + QLatin1Char(' ') + Latin1(key), QString()});
    item->setData(0, kSubjectRole, static_cast<unsigned>(i++));
  }
  for (const auto& [image, count] : e->pictures) {
    auto* item = new QTreeWidgetItem(
        uses_, {Latin1(CatalogueEntryOf(image).name), usesFormat_.arg(static_cast<long long>(count))});
    item->setData(0, kSubjectRole, static_cast<unsigned>(i++));
  }
}

bool PaletteDock::eventFilter(QObject* watched, QEvent* event) {
  if (watched == swatches_->viewport() && event->type() == QEvent::Leave) view_.SetHover({});
  return QDockWidget::eventFilter(watched, event);
}

void PaletteDock::closeEvent(QCloseEvent* event) {
  QDockWidget::closeEvent(event);
  emit shownByUser(false);
}
