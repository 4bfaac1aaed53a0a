#include "app/take_from_dialog.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <map>

#include "app/language.h"
#include "app/qt_picture.h"
#include "skin/schema.h"

namespace {

constexpr int kItemRole = Qt::UserRole;       // a row's index into TakeItems()
constexpr int kGroupRole = Qt::UserRole + 1;  // a group row's TakeGroup
constexpr int kThumbWidth = 48, kThumbHeight = 36;

// A picture small enough for a row, its shape kept, pixels repeated or
// dropped (never blended, so pixel art stays sharp).
QIcon Thumbnail(const Picture& p) {
  QPixmap pixmap(kThumbWidth, kThumbHeight);
  pixmap.fill(Qt::transparent);
  if (!p.empty()) {
    const double scale = std::min(double(kThumbWidth) / p.width, double(kThumbHeight) / p.height);
    const int w = std::max(1, int(p.width * scale)), h = std::max(1, int(p.height * scale));
    const QImage image = ToQImage(p).scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QPainter painter(&pixmap);
    painter.drawImage((kThumbWidth - w) / 2, (kThumbHeight - h) / 2, image);
  }
  return QIcon(pixmap);
}

QIcon Swatch(Rgb24 c) {
  QPixmap pixmap(kThumbHeight / 2, kThumbHeight / 2);
  pixmap.fill(ToQColor(c));
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
  return QIcon(pixmap);
}

// What a row shows of a value: a colour's code and swatch, a record's
// numbers, a text.
void ShowValue(QTreeWidgetItem* row, int column, const FieldValue& value) {
  if (const auto* c = std::get_if<Rgb24>(&value)) {
    row->setIcon(column, Swatch(*c));
    row->setText(column, QString::fromStdString(FormatSkinColour(*c)));
  } else if (const auto* s = std::get_if<std::string>(&value)) {
    row->setText(column, QString::fromLatin1(s->data(), qsizetype(s->size())));
  }
}

QString RecordText(const Skin& skin, const TakeItem& item) {
  QStringList parts;
  for (const SkinField& f : item.fields) {
    parts << QStringLiteral("%1 %2").arg(QLatin1String(f.field->key.data(), qsizetype(f.field->key.size())))
                 .arg(std::get<std::int32_t>(ReadField(skin, f)));
  }
  return parts.join(QStringLiteral(", "));
}

}  // namespace

TakeFromDialog::TakeFromDialog(QWidget* owner, const LanguageTable& texts, const Skin& current, const QString& compared)
    : QDialog(owner), texts_(texts), current_(current) {
  setObjectName(QStringLiteral("takeFromDialog"));
  setWindowTitle(texts.Text("LANG_TAKE_TITLE$"));

  auto* source = new QHBoxLayout;
  source->addWidget(new QLabel(texts.Text("LANG_TAKE_FROM$")));
  from_ = new QLabel(texts.Text("LANG_TAKE_NO_SKIN$"));
  from_->setObjectName(QStringLiteral("fromLabel"));
  from_->setTextFormat(Qt::PlainText);
  from_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  source->addWidget(from_, 1);
  // As for Open: a skin folder or an archive, or the skin compared.
  auto* folder = new QPushButton(texts.Text("LANG_FILE_OPEN_FOLDER$"));
  folder->setObjectName(QStringLiteral("folderButton"));
  auto* archive = new QPushButton(QStringLiteral("*.zip"));
  archive->setObjectName(QStringLiteral("archiveButton"));
  source->addWidget(folder);
  source->addWidget(archive);
  connect(folder, &QPushButton::clicked, this, &TakeFromDialog::folderWanted);
  connect(archive, &QPushButton::clicked, this, &TakeFromDialog::archiveWanted);
  if (!compared.isEmpty()) {
    auto* other = new QPushButton(texts.Text("LANG_TAKE_COMPARED$"));
    other->setObjectName(QStringLiteral("comparedButton"));
    other->setToolTip(compared);
    source->addWidget(other);
    connect(other, &QPushButton::clicked, this, &TakeFromDialog::comparedWanted);
  }

  tree_ = new QTreeWidget;
  tree_->setObjectName(QStringLiteral("takeTree"));
  tree_->setColumnCount(3);
  tree_->setHeaderLabels({texts.Text("LANG_TAKE_COLUMN_ITEM$"), QString(), texts.Text("LANG_TAKE_COLUMN_NOW$")});
  tree_->setIconSize(QSize(kThumbWidth, kThumbHeight));
  tree_->setUniformRowHeights(false);
  tree_->header()->setSectionResizeMode(QHeaderView::Interactive);
  tree_->setColumnWidth(0, 230);
  tree_->setColumnWidth(1, 170);
  // Room for a screen's worth of thumbnails beside each other.
  tree_->setMinimumSize(580, 420);

  auto* buttons = new QDialogButtonBox;
  ok_ = buttons->addButton(texts.Text("LANG_OK$"), QDialogButtonBox::AcceptRole);
  ok_->setObjectName(QStringLiteral("okButton"));
  ok_->setDefault(true);
  ok_->setEnabled(false);
  QPushButton* cancel = buttons->addButton(texts.Text("LANG_CANCEL$"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("cancelButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(source);
  layout->addWidget(tree_, 1);
  layout->addWidget(buttons);

  // A group's check box sets each of its rows: the preview follows the last of each turn.
  later_ = new QTimer(this);
  later_->setSingleShot(true);
  later_->setInterval(0);
  connect(later_, &QTimer::timeout, this, [this] { emit previewed(choice()); });
  connect(tree_, &QTreeWidget::itemChanged, this, &TakeFromDialog::Changed);
}

void TakeFromDialog::SetSource(const TakeSource* source, const QString& shown) {
  source_ = source;
  from_->setText(shown);
  from_->setToolTip(shown);
  ok_->setEnabled(source_ != nullptr);
  Fill();
}

QTreeWidgetItem* TakeFromDialog::AddItem(QTreeWidgetItem* parent, const TakeItem& item, int index) {
  auto* row = new QTreeWidgetItem(parent, {QString::fromStdString(item.name)});
  row->setData(0, kItemRole, index);
  const Skin& theirs = source_->skin;
  if (item.picture) {
    const ImageId id = *item.picture;
    row->setIcon(2, Thumbnail(current_.image(id)));
    if (!source_->Has(id)) {
      // Listed, never taken: no check box.
      const QString why = source_->state(id) == TakePictureState::Missing
                              ? texts_.Text("LANG_TAKE_MISSING$").arg(QString::fromStdString(source_->name))
                              : texts_.Text("LANG_TAKE_UNREADABLE$");
      row->setFlags(Qt::NoItemFlags);
      row->setText(1, why);
      row->setToolTip(0, why);
      return row;
    }
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    row->setCheckState(0, Qt::Unchecked);
    const Picture& p = theirs.image(id);
    row->setIcon(1, Thumbnail(p));
    row->setText(1, QStringLiteral("%1 x %2").arg(p.width).arg(p.height));
    return row;
  }
  row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
  row->setCheckState(0, Qt::Unchecked);
  if (item.group == TakeGroup::Positions) {
    row->setText(1, RecordText(theirs, item));
    row->setText(2, RecordText(current_, item));
    return row;
  }
  ShowValue(row, 1, ReadField(theirs, item.fields.front()));
  ShowValue(row, 2, ReadField(current_, item.fields.front()));
  return row;
}

void TakeFromDialog::Fill() {
  const QSignalBlocker quiet(tree_);
  later_->stop();
  tree_->clear();
  if (!source_) return;
  tree_->headerItem()->setText(1, texts_.Text("LANG_TAKE_COLUMN_THEIRS$").arg(QString::fromStdString(source_->name)));
  const std::vector<TakeItem>& items = TakeItems();
  for (const TakeGroupEntry& g : TakeGroups()) {
    auto* group = new QTreeWidgetItem(tree_, {texts_.Text(g.textKey)});
    group->setData(0, kGroupRole, int(g.group));
    group->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    group->setCheckState(0, Qt::Unchecked);
    // The pictures under the screens of the Images tab.
    std::map<int, QTreeWidgetItem*> screens;
    for (std::size_t i = 0; i < items.size(); ++i) {
      const TakeItem& item = items[i];
      if (item.group != g.group) continue;
      QTreeWidgetItem* parent = group;
      if (item.group == TakeGroup::Pictures) {
        QTreeWidgetItem*& screen = screens[item.screen];
        if (!screen) {
          const QString caption = item.screen < 0 ? texts_.Text("LANG_TAKE_OTHER_PICTURES$")
                                                  : texts_.Text(QStringLiteral("LANG_SCREEN_%1$").arg(item.screen, 2, 10, QLatin1Char('0')));
          screen = new QTreeWidgetItem(group, {caption});
          screen->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
          screen->setCheckState(0, Qt::Unchecked);
        }
        parent = screen;
      }
      AddItem(parent, item, int(i));
    }
  }
}

namespace {

// The rows below `row` that can be chosen (a picture the other skin lacks
// has no check box), each given `state`.
void SetBelow(QTreeWidgetItem* row, Qt::CheckState state) {
  for (int i = 0; i < row->childCount(); ++i) {
    QTreeWidgetItem* child = row->child(i);
    if (child->data(0, Qt::CheckStateRole).isValid()) child->setCheckState(0, state);
    SetBelow(child, state);
  }
}

// What a group's box shows of the rows below it that can be chosen.
void CountBelow(const QTreeWidgetItem* row, int& checked, int& unchecked) {
  for (int i = 0; i < row->childCount(); ++i) {
    const QTreeWidgetItem* child = row->child(i);
    if (child->childCount() > 0) {
      CountBelow(child, checked, unchecked);
    } else if (child->data(0, Qt::CheckStateRole).isValid()) {
      (child->checkState(0) == Qt::Checked ? checked : unchecked) += 1;
    }
  }
}

}  // namespace

void TakeFromDialog::Changed(QTreeWidgetItem* row) {
  if (settling_) return;
  settling_ = true;
  // A group's box chooses all of it; each row's box shows in its groups'.
  if (row->childCount() > 0) SetBelow(row, row->checkState(0) == Qt::Checked ? Qt::Checked : Qt::Unchecked);
  for (QTreeWidgetItem* group = row->parent(); group; group = group->parent()) {
    int checked = 0, unchecked = 0;
    CountBelow(group, checked, unchecked);
    group->setCheckState(0, checked == 0 ? Qt::Unchecked : unchecked == 0 ? Qt::Checked : Qt::PartiallyChecked);
  }
  settling_ = false;
  if (source_) later_->start();
}

TakeChoice TakeFromDialog::choice() const {
  TakeChoice chosen;
  const std::vector<TakeItem>& items = TakeItems();
  for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
    const QVariant index = (*it)->data(0, kItemRole);
    if (index.isValid() && (*it)->checkState(0) == Qt::Checked) chosen.Choose(items[std::size_t(index.toInt())]);
  }
  return chosen;
}

QTreeWidgetItem* TakeFromDialog::GroupRow(TakeGroup group) const {
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    if (tree_->topLevelItem(i)->data(0, kGroupRole).toInt() == int(group)) return tree_->topLevelItem(i);
  }
  return nullptr;
}

QTreeWidgetItem* TakeFromDialog::RowOf(TakeGroup group, const QString& name) const {
  const TakeItem* item = FindTakeItem(group, name.toStdString());
  if (!item) return nullptr;
  const int index = int(item - TakeItems().data());
  for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
    if ((*it)->data(0, kItemRole) == QVariant(index)) return *it;
  }
  return nullptr;
}
