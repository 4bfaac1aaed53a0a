#include "app/main_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QWheelEvent>

#include "app/app_texts.h"
#include "app/commands/command_table.h"
#include "app/editor_panel.h"
#include "app/language.h"
#include "app/mnemonics.h"
#include "edit/panel_tables.h"
#include "app/elided_label.h"
#include "app/overview_dock.h"
#include "app/palette_dock.h"
#include "app/paths.h"
#include "app/preview_interaction.h"
#include "app/qt_text.h"
#include "app/preview_picture.h"
#include "app/problems_dock.h"
#include "app/reload_bar.h"
#include "app/skin_document.h"
#include "app/view_state.h"
#include "app/window_geometry.h"
#include "app/window_room.h"
#include "edit/command_catalogue.h"

#include <map>
#include <string>
#include "skin/printable.h"

using namespace window_geometry;

namespace {

QString ScreenKey(int i) { return QStringLiteral("LANG_SCREEN_%1$").arg(i, 2, 10, QLatin1Char('0')); }

// The one skin folder or archive in a drag, or nothing.
QString DraggedSkin(const QMimeData* data) {
  if (!data || data->urls().size() != 1 || !data->urls().front().isLocalFile()) return {};
  const QString path = data->urls().front().toLocalFile();
  return QFileInfo(path).isDir() || IsSkinArchive(path) ? path : QString();
}

// The Undo and Redo entries name the step they take back or repeat.
void FollowStackText(QAction* action, const QString& prefix, const QString& step) {
  QString name = step;
  action->setText(step.isEmpty() ? prefix : prefix + QLatin1Char(' ') + name.replace(QLatin1Char('&'), QStringLiteral("&&")));
}

}  // namespace

MainWindow::MainWindow(const LanguageTable& texts, const AppSettings& settings, SkinDocument& document, ViewState& view,
                       const CommandTable& commands, ViewChoices& choices)
    : document_(document), view_(view), commands_(commands), choices_(choices), swapped_(settings.swapView != 0) {
  setObjectName(QStringLiteral("MainWindow"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  setAcceptDrops(true);
  zoomFormat_ = texts.Text("LANG_STATUS_ZOOM$");
  newSkinName_ = texts.Text("LANG_SKIN_NEW$");
  // Hidden: the window opens at its fixed size, and makes room for each when shown.
  problems_ = new ProblemsDock(texts, this);
  addDockWidget(Qt::BottomDockWidgetArea, problems_);
  palette_ = new PaletteDock(texts, document_, view_, this);
  addDockWidget(Qt::RightDockWidgetArea, palette_);
  overview_ = new OverviewDock(texts, document_, view_, this);
  addDockWidget(Qt::RightDockWidgetArea, overview_);
  simulationFormat_ = texts.Text("LANG_STATUS_SIMULATING$");
  comparedSaved_ = texts.Text("LANG_COMPARE_SAVED$");
  comparedOther_ = texts.Text("LANG_COMPARE_OTHER$");
  BuildMenuBar(texts);
  BuildStatusBar();
  BuildCentre(texts, settings);
  // 666 pixels wide, 521 between the menu bar and the status bar; no smaller.
  // The layout counts the status bar at its least height but shows it at its
  // preferred one: the window's minimum must count that.
  statusBar()->setMinimumHeight(statusBar()->sizeHint().height());
  resize(kClientWidth, menuBar()->sizeHint().height() + kAboveStatusBar + statusBar()->sizeHint().height());
  room_ = new WindowRoom(this, size());
  for (QDockWidget* dock : {static_cast<QDockWidget*>(problems_), static_cast<QDockWidget*>(palette_),
                            static_cast<QDockWidget*>(overview_)}) {
    room_->Watch(dock);
  }
  room_->Fit();
  FollowDocument(texts);
}

void MainWindow::FollowDocument(const LanguageTable& texts) {
  panel_->Follow(document_, view_);
  preview_->Follow(document_, view_);
  problems_->Follow(document_);
  connect(&document_, &SkinDocument::cleanChanged, this, &MainWindow::ShowTitle);
  connect(&document_, &SkinDocument::originChanged, this, &MainWindow::ShowTitle);
  connect(&view_, &ViewState::screenChanged, this, &MainWindow::ShowScreen);
  connect(&view_, &ViewState::zoomChanged, this, &MainWindow::ShowZoom);
  connect(&view_, &ViewState::filterChanged, this, &MainWindow::ShowFilter);
  connect(&view_, &ViewState::compareChanged, this, &MainWindow::ShowCompare);
  ShowTitle();
  ShowScreen(view_.screen());
  ShowZoom(view_.zoom());
  ShowFilter();
  // A message about an edit that an undo takes back is no longer true.
  connect(&document_, &SkinDocument::historyChanged, this, [this] {
    if (document_.history().index() < statusStep_) status_->clear();
  });
  comparePicture_->Follow(document_, view_, PreviewPicture::Role::Compared);
  if (view_.compare() != ViewState::Compare::Off) ShowCompare();

  // What the user does with the panel's controls goes to the document; where
  // a dialog comes first, the panel runs the command.
  connect(panel_, &EditorPanel::numberEdited, this,
          [this](const SkinField& f, int value) { document_.Apply(SetNumber(f, value)); });
  connect(panel_, &EditorPanel::flagToggled, this, [this](const SkinField& f, bool on) { document_.Apply(SetFlag(f, on)); });
  connect(panel_, &EditorPanel::textEdited, this, [this](const SkinField& f, const QString& text) {
    document_.Apply(SetText(f, text.toLatin1().toStdString()));
  });
  panel_->UseCommands(&commands_);

  interaction_ = new PreviewInteraction(document_, view_, commands_, texts, preview_, panel_, this);
  connect(interaction_, &PreviewInteraction::status, this, [this](const QString& text) {
    beforeHint_.reset();
    ShowStatus(text);
  });
  connect(interaction_, &PreviewInteraction::hint, this, [this](const QString& text) {
    if (!beforeHint_) beforeHint_ = status_->text();
    status_->setText(text);
  });
  connect(interaction_, &PreviewInteraction::hintEnded, this, [this] {
    if (beforeHint_) status_->setText(*beforeHint_);
    beforeHint_.reset();
  });

  // What the docks and the reload bar ask for are commands too.
  connect(palette_, &PaletteDock::replaceRequested, this, [this](Rgb15 colour) {
    CommandTarget target;
    target.colour = colour;
    commands_.Run(QStringLiteral("replaceColour"), target);
  });
  connect(palette_, &PaletteDock::revealRequested, this, [this](const ProblemSubject& subject) {
    CommandTarget target;
    target.subject = subject;
    commands_.Run(QStringLiteral("reveal"), target);
  });
  connect(problems_, &ProblemsDock::problemActivated, this, [this](int index) {
    CommandTarget target;
    target.index = index;
    commands_.Run(QStringLiteral("showProblem"), target);
  });
  connect(reloadBar_, &ReloadBar::answered, this,
          [this](bool reload) { commands_.Run(reload ? QStringLiteral("reloadTake") : QStringLiteral("reloadKeep")); });
  // The docks shown or hidden by the user are remembered (all screens, and
  // its size, from one run to the next), and their menu entries follow.
  connect(palette_, &PaletteDock::shownByUser, this, [this](bool shown) { choices_.paletteShown = shown; });
  connect(problems_, &ProblemsDock::shownByUser, this, [this](bool shown) { choices_.problemsShown = shown; });
  connect(overview_, &OverviewDock::shownByUser, this, [this](bool shown) {
    choices_.prefs.overviewShown = shown;
    choices_.Save();
  });
  connect(overview_, &OverviewDock::wholeChosen, this, [this](bool whole) {
    choices_.prefs.overviewWhole = whole;
    choices_.Save();
  });
  for (QDockWidget* dock : {static_cast<QDockWidget*>(problems_), static_cast<QDockWidget*>(palette_),
                            static_cast<QDockWidget*>(overview_)}) {
    connect(dock, &QDockWidget::visibilityChanged, &commands_, &CommandTable::Refresh);
  }
  // What the commands' entries show as greyed or ticked follows the document and the view.
  connect(&document_, &SkinDocument::historyChanged, &commands_, &CommandTable::Refresh);
  connect(&view_, &ViewState::changed, &commands_, &CommandTable::Refresh);
  connect(&view_, &ViewState::wholeZoomChanged, &commands_, &CommandTable::Refresh);
  connect(&view_, &ViewState::compareChanged, &commands_, &CommandTable::Refresh);
}

void MainWindow::AddMenuItems(QMenu* menu, const std::vector<MenuItem>& items, const LanguageTable& texts) {
  // The entries of one group are a choice of one, drawn as such.
  std::map<std::string, QActionGroup*> groups;
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItem::Kind::Separator: menu->addSeparator(); break;
      case MenuItem::Kind::Submenu: {
        QMenu* sub = menu->addMenu(item.textIsKey ? texts.Text(item.text.c_str()) : QString::fromStdString(item.text));
        AddMenuItems(sub, item.items, texts);
        break;
      }
      case MenuItem::Kind::Recent:
        recent_ = menu->addMenu(texts.Text(item.text.c_str()));
        recent_->setObjectName(QString::fromStdString(item.id));
        recent_->menuAction()->setEnabled(false);
        break;
      case MenuItem::Kind::Command: {
        const QString id = QString::fromStdString(item.id);
        QAction* a = commands_.Action(id, menu);
        if (!a) break;
        const CommandEntry* entry = FindCommand(item.id);
        if (entry && !entry->group.empty()) {
          QActionGroup*& group = groups[entry->group];
          if (!group) group = new QActionGroup(menu);
          group->addAction(a);
        }
        if (entry && entry->enabled == EnabledRule::LanguageAvailable) menu->setToolTipsVisible(true);
        if (entry && entry->checked == CheckedRule::Filter) filterNames_ << a->text();
        if (item.id == "undo") undo_ = a;
        if (item.id == "redo") redo_ = a;
        menu->addAction(a);
        break;
      }
    }
  }
}

void MainWindow::BuildMenuBar(const LanguageTable& texts) {
  // Every entry is a command of the editor's table, laid out as the
  // catalogue lays out the menus of both faces.
  QMenuBar* bar = menuBar();
  for (const MenuItem& menu : MenuBar()) {
    QMenu* m = bar->addMenu(menu.textIsKey ? texts.Text(menu.text.c_str()) : QString::fromStdString(menu.text));
    AddMenuItems(m, menu.items, texts);
  }

  AddMnemonics(bar);
  // Undo and Redo keep their mnemonic in front of the step they name.
  const QString undoPrefix = undo_->text(), redoPrefix = redo_->text();
  const auto follow = [this, &texts, undoPrefix, redoPrefix] {
    const History& history = document_.history();
    FollowStackText(undo_, undoPrefix, history.UndoText() ? texts.Step(*history.UndoText()) : QString());
    FollowStackText(redo_, redoPrefix, history.RedoText() ? texts.Step(*history.RedoText()) : QString());
  };
  connect(&document_, &SkinDocument::historyChanged, this, follow);
  follow();
}

void MainWindow::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(true);
  bar->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
  progress_ = new QProgressBar;
  progress_->setObjectName(QStringLiteral("LoadProgress"));
  progress_->setRange(0, 53);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setFixedWidth(kProgressWidth);
  progress_->setMaximumHeight(kProgressHeight);
  bar->addWidget(progress_);
  status_ = new ElidedLabel;
  status_->setObjectName(QStringLiteral("statusText"));
  bar->addWidget(status_, 1);
  simulation_ = new QLabel;
  simulation_->setObjectName(QStringLiteral("simulationText"));
  simulation_->hide();
  bar->addPermanentWidget(simulation_);
  bar->addPermanentWidget(problems_->count());
  zoom_ = new QLabel;
  zoom_->setObjectName(QStringLiteral("zoomText"));
  bar->addPermanentWidget(zoom_);
}

void MainWindow::BuildCentre(const LanguageTable& texts, const AppSettings& settings) {
  centre_ = new QWidget(this);
  setCentralWidget(centre_);
  centre_->installEventFilter(this);
  previewX_ = settings.swapView ? kSwappedStartPreviewX : kPreviewX;
  panelX_ = settings.swapView ? kMargin : kStartPanelX;

  viewport_ = new QScrollArea(centre_);
  viewport_->setObjectName(QStringLiteral("PreviewViewport"));
  viewport_->setFrameShape(QFrame::NoFrame);
  viewport_->setAlignment(Qt::AlignCenter);
  viewport_->setWidgetResizable(false);
  viewport_->horizontalScrollBar()->setSingleStep(8);
  viewport_->verticalScrollBar()->setSingleStep(8);
  viewport_->setGeometry(previewX_, kPreviewTop, kPreviewWidth, kPreviewHeight);
  viewport_->viewport()->installEventFilter(this);
  preview_ = new PreviewPicture;
  preview_->resize(kPreviewWidth - 1, kPreviewHeight - 1);
  viewport_->setWidget(preview_);
  reloadBar_ = new ReloadBar(texts, viewport_);

  // The compared skin, beside the preview while the view compares.
  compareViewport_ = new QScrollArea(centre_);
  compareViewport_->setObjectName(QStringLiteral("CompareViewport"));
  compareViewport_->setFrameShape(QFrame::NoFrame);
  compareViewport_->setAlignment(Qt::AlignCenter);
  compareViewport_->setWidgetResizable(false);
  comparePicture_ = new PreviewPicture;
  comparePicture_->setObjectName(QStringLiteral("ComparePicture"));
  comparePicture_->setAcceptDrops(false);
  compareViewport_->setWidget(comparePicture_);
  compareViewport_->hide();
  compareCaption_ = new QLabel(compareViewport_);
  compareCaption_->setObjectName(QStringLiteral("compareCaption"));
  compareCaption_->setTextFormat(Qt::PlainText);  // the name of the skin compared with
  compareCaption_->setAutoFillBackground(true);
  compareCaption_->setBackgroundRole(QPalette::ToolTipBase);
  compareCaption_->setForegroundRole(QPalette::ToolTipText);
  compareCaption_->setAttribute(Qt::WA_TransparentForMouseEvents);
  compareCaption_->setToolTip(texts.Text("LANG_COMPARE_TIP$"));
  compareViewport_->setToolTip(texts.Text("LANG_COMPARE_TIP$"));
  // Both scroll together: the same part of the same screen, side by side.
  for (const auto& [a, b] : {std::pair{viewport_, compareViewport_}, {compareViewport_, viewport_}}) {
    QScrollArea* to = b;
    connect(a->horizontalScrollBar(), &QScrollBar::valueChanged, to->horizontalScrollBar(), &QScrollBar::setValue);
    connect(a->verticalScrollBar(), &QScrollBar::valueChanged, to->verticalScrollBar(), &QScrollBar::setValue);
  }

  for (int i = 0; i < kPreviewScreenCount; ++i) {
    auto* b = new QPushButton(QString::number(i + 1), centre_);
    b->setObjectName(QStringLiteral("screen:%1").arg(i));
    b->setGeometry(previewX_ + kScreenButtonWidth * i, kScreenButtonTop, kScreenButtonWidth, kScreenButtonHeight);
    // Reached with Tab, but a click leaves the focus where it was.
    b->setFocusPolicy(Qt::TabFocus);
    b->setCheckable(true);
    b->setChecked(i == 0);
    b->setToolTip(texts.Text(ScreenKey(i)));
    connect(b, &QPushButton::clicked, this, [this, i] { commands_.Run(QStringLiteral("screenAction:%1").arg(i)); });
    screenButtons_[std::size_t(i)] = b;
  }

  panel_ = new EditorPanel(centre_, texts);
  panel_->setGeometry(panelX_, 0, kPanelWidth, kAboveStatusBar);
}

void MainWindow::ShowScreen(int screen) {
  for (int i = 0; i < kPreviewScreenCount; ++i) screenButtons_[std::size_t(i)]->setChecked(i == screen);
  commands_.Refresh();
}

void MainWindow::ShowTitle() {
  const QString path = FromLocal(document_.origin().path);
  const QString name = path.isEmpty() ? newSkinName_ : SkinNameOf(path);
  // "<skin>[*] - <program> v0.100603", with Qt's modified marker.
  setWindowTitle(name + QStringLiteral("[*] - ") + TitleText() + QLatin1String(kVersionText));
  setWindowModified(document_.modified());
}

void MainWindow::AskReload(const QString& question) { reloadBar_->Ask(question); }
void MainWindow::HideReloadQuestion() { reloadBar_->hide(); }
void MainWindow::ShowProblemsList(bool shown) { problems_->setVisible(shown); }
void MainWindow::ShowPalette(bool shown) { palette_->setVisible(shown); }

void MainWindow::RevealFocus(const PanelFocus& focus) {
  switch (focus.tab) {
    case PanelFocus::Tab::Images:
      if (const std::optional<ImageId> image = FindImage(focus.picture)) panel_->RevealImage(*image);
      break;
    case PanelFocus::Tab::Colours:
    case PanelFocus::Tab::Information:
    case PanelFocus::Tab::Elements:
      if (focus.key.empty()) panel_->RevealElement(focus.section);
      else if (const std::optional<SkinField> field = FindSkinField(focus.section, focus.key)) panel_->RevealField(*field);
      break;
    case PanelFocus::Tab::None: break;
  }
}

void MainWindow::ShowZoom(float zoom) { zoom_->setText(zoomFormat_.arg(qRound(zoom * 100.0f))); }

void MainWindow::ShowProgress(int value) {
  progress_->setValue(value);
  // Painted at once: the operation holds the event loop until it is done.
  progress_->repaint();
}

void MainWindow::ShowStatus(const QString& text) {
  // Names from files may hold anything: one line, as it is.
  status_->setText(QString::fromStdString(PrintableText(text.toStdString())));
  statusStep_ = document_.history().index();
}

void MainWindow::ShowFilter() {
  const ScreenFilter f = view_.filter();
  simulation_->setVisible(f != ScreenFilter::None);
  simulation_->setText(simulationFormat_.arg(filterNames_.value(int(f))));
}

void MainWindow::ShowOverview(bool shown, bool whole) {
  overview_->SetWhole(whole);
  overview_->setVisible(shown);
}

void MainWindow::ShowCompare() {
  const bool comparing = view_.compare() != ViewState::Compare::Off;
  compareCaption_->setText(view_.compare() == ViewState::Compare::Other ? comparedOther_.arg(view_.otherName())
                                                                          : comparedSaved_);
  compareCaption_->adjustSize();
  if (comparing == compareViewport_->isVisible()) return;
  compareViewport_->setVisible(comparing);
  // Room for the compared skin beside the preview, given back afterwards.
  room_->SetCentreWanted({kClientWidth + (comparing ? kCompareRoom : 0), kAboveStatusBar});
  room_->Fit();
  // Space over the preview swaps the two while it is held.
  if (comparing) qApp->installEventFilter(this);
  else qApp->removeEventFilter(this);
  ApplyLayout();
}

void MainWindow::ShowRecent(const QStringList& skins) {
  recent_->clear();
  for (int i = 0; i < skins.size(); ++i) {
    QString shown = skins[i];
    const QString path = skins[i];
    recent_->addAction(QStringLiteral("&%1 ").arg(i + 1) + shown.replace(QLatin1Char('&'), QStringLiteral("&&")), this,
                       [this, path] { OpenSkin(path); });
  }
  recent_->menuAction()->setEnabled(!skins.isEmpty());
}

void MainWindow::ApplyLayout() {
  const int w = centre_->width();
  const int hs = centre_->height();  // the client height below the menu bar, less the status bar
  int previewWidth;
  if (swapped_) {
    // The viewport starts at the panel's width, over its last three columns.
    previewX_ = kSwappedPreviewX;
    previewWidth = w - kSwappedPreviewX;
    panelX_ = kMargin;
  } else {
    previewX_ = kPreviewX;
    previewWidth = w - kPanelBeside;
    panelX_ = w - kPanelWidth;
  }
  const int previewHeight = std::max(hs - kPreviewBottom, 0);
  if (compareViewport_ && compareViewport_->isVisible()) {
    const int half = (previewWidth - kMargin) / 2;
    viewport_->setGeometry(previewX_, kPreviewTop, std::max(half, 0), previewHeight);
    compareViewport_->setGeometry(previewX_ + half + kMargin, kPreviewTop, std::max(previewWidth - half - kMargin, 0),
                                  previewHeight);
  } else {
    viewport_->setGeometry(previewX_, kPreviewTop, std::max(previewWidth, 0), previewHeight);
  }
  panel_->setGeometry(panelX_, 0, kPanelWidth, hs);
  const int bw = std::max(previewWidth / kPreviewScreenCount, 0);
  for (int i = 0; i < kPreviewScreenCount; ++i) {
    screenButtons_[std::size_t(i)]->setGeometry(previewX_ + kMargin + i * bw, kScreenButtonTop, bw, kScreenButtonHeight);
  }
}

void MainWindow::ApplySwap(bool swapped) {
  swapped_ = swapped;
  const int height = panel_->height();
  ApplyLayout();
  panel_->setGeometry(panelX_, 0, kPanelWidth, height);
  commands_.Refresh();
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Maximised as the window was, in this run and at the next start.
  if (event->type() == QEvent::WindowStateChange && !isMinimized() && choices_.prefs.maximised != isMaximized()) {
    choices_.prefs.maximised = isMaximized();
    choices_.Save();
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closeAllowed_) {
    event->accept();
    return;
  }
  // The quit command decides: it may ask about unsaved changes first.
  event->ignore();
  commands_.Run(QStringLiteral("quit"));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
      view_.compare() != ViewState::Compare::Off) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool press = event->type() == QEvent::KeyPress;
    // Held over the preview (or while already swapped, wherever the pointer went).
    if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier &&
        (viewport_->underMouse() || compareViewport_->underMouse() || view_.swapped())) {
      if (!key->isAutoRepeat()) view_.SetSwapped(press);
      return true;
    }
  }
  if (watched == centre_ && event->type() == QEvent::Resize) {
    ApplyLayout();
    return false;
  }
  if (viewport_ && watched == viewport_->viewport() && event->type() == QEvent::Wheel) {
    view_.Wheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DraggedSkin(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString skin = DraggedSkin(event->mimeData());
  if (skin.isEmpty()) return;
  event->acceptProposedAction();
  OpenSkin(skin);
}

void MainWindow::OpenSkin(const QString& path) const {
  CommandTarget target;
  target.path = path;
  commands_.Run(QStringLiteral("openSkin"), target);
}

bool MainWindow::DockShown(Dock dock) const {
  switch (dock) {
    case Dock::Overview: return overview_->isVisible();
    case Dock::Problems: return problems_->isVisible();
    case Dock::Palette: break;
  }
  return palette_->isVisible();
}

void MainWindow::ShowDockByUser(Dock dock, bool shown) {
  switch (dock) {
    case Dock::Overview:
      overview_->setVisible(shown);
      choices_.prefs.overviewShown = shown;
      choices_.Save();
      break;
    case Dock::Problems:
      problems_->setVisible(shown);
      choices_.problemsShown = shown;
      break;
    case Dock::Palette:
      palette_->setVisible(shown);
      choices_.paletteShown = shown;
      break;
  }
  commands_.Refresh();
}

QSize MainWindow::PreviewRoom() const { return viewport_->size(); }
