#include "app/recolour_dialog.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

#include "app/language.h"
#include "app/modal.h"

RecolourDialog::RecolourDialog(QWidget* owner, const LanguageTable& texts) : QDialog(owner) {
  setObjectName(QStringLiteral("recolourDialog"));
  setWindowTitle(texts.Text("LANG_RECOLOR_TITLE$"));
  auto* grid = new QGridLayout;
  hue_ = AddRow(grid, 0, texts.Text("LANG_RECOLOR_HUE$"), "hue", 180);
  saturation_ = AddRow(grid, 1, texts.Text("LANG_RECOLOR_SATURATION$"), "saturation", 100);
  lightness_ = AddRow(grid, 2, texts.Text("LANG_RECOLOR_LIGHTNESS$"), "lightness", 100);
  hue_.box->setSuffix(QStringLiteral("\u00b0"));

  scope_ = new QComboBox;
  scope_->setObjectName(QStringLiteral("scope"));
  scope_->addItem(texts.Text("LANG_RECOLOR_ALL$"), int(RecolourScope::Everything));
  scope_->addItem(texts.Text("LANG_RECOLOR_PICTURES$"), int(RecolourScope::Pictures));
  scope_->addItem(texts.Text("LANG_RECOLOR_FIELDS$"), int(RecolourScope::Fields));
  grid->addWidget(new QLabel(texts.Text("LANG_RECOLOR_SCOPE$")), 3, 0);
  grid->addWidget(scope_, 3, 1, 1, 2);
  connect(scope_, &QComboBox::currentIndexChanged, this, &RecolourDialog::Changed);

  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton(texts.Text("LANG_OK$"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("okButton"));
  QPushButton* cancel = buttons->addButton(texts.Text("LANG_CANCEL$"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("cancelButton"));
  QPushButton* reset = buttons->addButton(texts.Text("LANG_RECOLOR_RESET$"), QDialogButtonBox::ResetRole);
  reset->setObjectName(QStringLiteral("resetButton"));
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(reset, &QPushButton::clicked, this, [this] {
    for (const Row& r : {hue_, saturation_, lightness_}) r.box->setValue(0);
  });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  setMinimumWidth(360);

  // A slider dragged sends many values; the preview follows the last of each turn.
  later_ = new QTimer(this);
  later_->setSingleShot(true);
  later_->setInterval(0);
  connect(later_, &QTimer::timeout, this, [this] { emit previewed(choice()); });
}

RecolourDialog::Row RecolourDialog::AddRow(QGridLayout* grid, int row, const QString& label, const char* name,
                                           int limit) {
  Row r{new QSlider(Qt::Horizontal), new QSpinBox};
  r.slider->setObjectName(QLatin1String(name) + QStringLiteral("Slider"));
  r.box->setObjectName(QLatin1String(name) + QStringLiteral("Box"));
  r.slider->setRange(-limit, limit);
  r.box->setRange(-limit, limit);
  r.slider->setPageStep(limit / 10);
  auto* caption = new QLabel(label);
  caption->setBuddy(r.box);
  grid->addWidget(caption, row, 0);
  grid->addWidget(r.slider, row, 1);
  grid->addWidget(r.box, row, 2);
  connect(r.slider, &QSlider::valueChanged, r.box, &QSpinBox::setValue);
  connect(r.box, &QSpinBox::valueChanged, r.slider, &QSlider::setValue);
  connect(r.box, &QSpinBox::valueChanged, this, &RecolourDialog::Changed);
  return r;
}

RecolourChoice RecolourDialog::choice() const {
  return {{hue_.box->value(), saturation_.box->value(), lightness_.box->value()},
          static_cast<RecolourScope>(scope_->currentData().toInt())};
}

void RecolourDialog::Changed() { later_->start(); }

std::optional<RecolourChoice> RunRecolourDialog(QWidget* owner, const LanguageTable& texts,
                                                const std::function<void(const RecolourChoice&)>& preview) {
  RecolourDialog dialog(owner, texts);
  PlaceBesideOwner(owner, dialog);
  if (preview) QObject::connect(&dialog, &RecolourDialog::previewed, &dialog, preview);
  if (RunModalOver(owner, dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}
