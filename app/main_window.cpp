#include "app/main_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QWheelEvent>

#include "app/app_texts.h"
#include "app/editor_panel.h"
#include "app/language.h"
#include "app/preview_picture.h"
#include "app/shell.h"

MainWindow::MainWindow(EditorShell& shell, const LanguageTable& texts, const AppSettings& settings)
    : shell_(shell), swapped_(settings.swapView != 0) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(TitleText() + QLatin1String(kVersionText));
  setAttribute(Qt::WA_DeleteOnClose, false);
  BuildMenuBar(texts, settings);
  BuildStatusBar();
  BuildCentre(texts, settings);
  // 666 pixels wide, 521 between the menu bar and the status bar; no smaller.
  resize(kClientWidth, menuBar()->sizeHint().height() + kAboveStatusBar + statusBar()->sizeHint().height());
  setMinimumSize(size());
}

void MainWindow::BuildMenuBar(const LanguageTable& texts, const AppSettings& settings) {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(texts.Text("LANG_FILE$"));
  file->addAction(texts.Text("LANG_FILE_NEW$"), this, [this] { shell_.NewSkin(); });
  QMenu* open = file->addMenu(texts.Text("LANG_FILE_OPEN$"));
  open->addAction(texts.Text("LANG_FILE_OPEN_FOLDER$"), this, [this] { shell_.OpenFolder(); });
  open->addAction(QStringLiteral("*.zip"), this, [this] { shell_.OpenArchive(); });
  QMenu* save = file->addMenu(texts.Text("LANG_FILE_SAVE$"));
  save->addAction(texts.Text("LANG_FILE_SAVE_FOLDER$"), this, [this] { shell_.SaveFolder(); });
  file->addSeparator();
  QMenu* shot = file->addMenu(texts.Text("LANG_FILE_SCREENSHOT$"));
  shot->addAction(texts.Text("LANG_FILE_SCREENSHOT2D$"), this, [this] { shell_.SaveScreenshot(); });
  shot->addAction(texts.Text("LANG_FILE_SCREENSHOT2C$"), this, [this] { shell_.CopyScreenshot(); });
  file->addSeparator();
  file->addAction(texts.Text("LANG_FILE_CLOSE$"), this, [this] { shell_.RequestQuit(); });

  QMenu* languages = bar->addMenu(LanguageMenuTitle());
  for (std::size_t i = 0; i < LanguageMenu().size(); ++i) {
    const LanguageEntry& e = LanguageMenu()[i];
    QAction* a = languages->addAction(e.label);
    a->setCheckable(true);
    a->setChecked(e.index == settings.language);
    const int index = e.index;
    // Chosen even when it is the current one: the texts are read again.
    connect(a, &QAction::triggered, this, [this, index] { shell_.ChangeLanguage(index); });
    languageActions_[i] = a;
  }

  QMenu* options = bar->addMenu(texts.Text("LANG_OPTIONS$"));
  options->addAction(texts.Text("LANG_OPTIONS_BACKCOLOR$"), this, [this] { shell_.EditBackgroundColour(); });
  swapAction_ = options->addAction(texts.Text("LANG_OPTIONS_SWAPVIEW$"));
  swapAction_->setCheckable(true);
  swapAction_->setChecked(settings.swapView == 1);
  connect(swapAction_, &QAction::triggered, this, [this] { shell_.ToggleSwapView(); });

  QMenu* screens = bar->addMenu(texts.Text("LANG_SCREEN$"));
  for (int i = 0; i < 14; ++i) {
    QAction* a = screens->addAction(texts.Text(QStringLiteral("LANG_SCREEN_%1$").arg(i, 2, 10, QLatin1Char('0'))));
    a->setCheckable(true);
    a->setChecked(i == 0);
    connect(a, &QAction::triggered, this, [this, i] { shell_.ChooseScreen(i); });
    screenActions_[std::size_t(i)] = a;
  }

  QMenu* about = bar->addMenu(texts.Text("LANG_ABOUT$"));
  about->addAction(texts.Text("LANG_ABOUT_ABOUT$"), this, [this] { shell_.ShowAbout(); });
}

void MainWindow::BuildStatusBar() {
  QStatusBar* status = statusBar();
  status->setSizeGripEnabled(true);
  status->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
  progress_ = new QProgressBar;
  progress_->setObjectName(QStringLiteral("LoadProgress"));
  progress_->setRange(0, 53);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setFixedWidth(275);
  progress_->setMaximumHeight(16);
  status->addWidget(progress_);
  status->addWidget(new QLabel, 1);
}

void MainWindow::BuildCentre(const LanguageTable& texts, const AppSettings& settings) {
  centre_ = new QWidget(this);
  setCentralWidget(centre_);
  centre_->installEventFilter(this);
  previewX_ = settings.swapView ? 398 : 3;
  panelX_ = settings.swapView ? 3 : 272;

  viewport_ = new QScrollArea(centre_);
  viewport_->setObjectName(QStringLiteral("PreviewViewport"));
  viewport_->setFrameShape(QFrame::NoFrame);
  viewport_->setAlignment(Qt::AlignCenter);
  viewport_->setWidgetResizable(false);
  viewport_->horizontalScrollBar()->setSingleStep(8);
  viewport_->verticalScrollBar()->setSingleStep(8);
  viewport_->setGeometry(previewX_, 28, 266, 490);
  viewport_->viewport()->installEventFilter(this);
  preview_ = new PreviewPicture;
  preview_->resize(265, 489);
  viewport_->setWidget(preview_);

  for (int i = 0; i < 14; ++i) {
    auto* b = new QPushButton(QString::number(i + 1), centre_);
    b->setObjectName(QStringLiteral("screen:%1").arg(i));
    b->setGeometry(previewX_ + 19 * i, 3, 19, 20);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, [this, i] { shell_.ChooseScreen(i); });
    screenButtons_[std::size_t(i)] = b;
  }

  panel_ = new EditorPanel(centre_, shell_, texts);
  panel_->setGeometry(panelX_, 0, 392, kAboveStatusBar);
}

void MainWindow::ShowPreview(Picture picture) { preview_->SetPicture(std::move(picture)); }

void MainWindow::ApplyLayout() {
  const int w = centre_->width();
  const int hs = centre_->height();  // the client height below the menu bar, less the status bar
  int previewWidth;
  if (swapped_) {
    // The viewport starts at 392, over the panel's last three columns.
    previewX_ = 392;
    previewWidth = w - 392;
    panelX_ = 3;
  } else {
    previewX_ = 3;
    previewWidth = w - 398;
    panelX_ = w - 392;
  }
  viewport_->setGeometry(previewX_, 28, std::max(previewWidth, 0), std::max(hs - 31, 0));
  panel_->setGeometry(panelX_, 0, 392, hs);
  const int bw = std::max(previewWidth / 14, 0);
  for (int i = 0; i < 14; ++i) screenButtons_[std::size_t(i)]->setGeometry(previewX_ + 3 + i * bw, 3, bw, 20);
}

void MainWindow::ApplySwap(bool swapped) {
  swapped_ = swapped;
  const int height = panel_->height();
  ApplyLayout();
  panel_->setGeometry(panelX_, 0, 392, height);
  swapAction_->setChecked(swapped);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  shell_.RequestQuit();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == centre_ && event->type() == QEvent::Resize) {
    ApplyLayout();
    shell_.RedrawPreview();
    return false;
  }
  if (event->type() == QEvent::Wheel) {
    shell_.Wheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}
