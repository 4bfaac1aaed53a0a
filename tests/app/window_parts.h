// The parts of the editor's window, found by their object names as a user
// finds them by sight: the window hands out no widget of its own.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>

#include "app/editor_panel.h"
#include "app/main_window.h"
#include "app/preview_picture.h"
#include "app/problems_dock.h"
#include "app/reload_bar.h"

template <typename T>
T* Part(const QWidget* window, const QString& name) {
  T* part = window->findChild<T*>(name);
  if (!part) qFatal("the window has no %s", qPrintable(name));
  return part;
}

inline EditorPanel* Panel(const QWidget* w) { return Part<EditorPanel>(w, QStringLiteral("EditorPanel")); }
inline QScrollArea* Viewport(const QWidget* w) { return Part<QScrollArea>(w, QStringLiteral("PreviewViewport")); }
inline PreviewPicture* Preview(const QWidget* w) { return Part<PreviewPicture>(w, QStringLiteral("PreviewPicture")); }
inline QLabel* StatusText(const QWidget* w) { return Part<QLabel>(w, QStringLiteral("statusText")); }
inline QLabel* ZoomText(const QWidget* w) { return Part<QLabel>(w, QStringLiteral("zoomText")); }
inline QProgressBar* Progress(const QWidget* w) { return Part<QProgressBar>(w, QStringLiteral("LoadProgress")); }
inline ProblemsDock* Problems(const QWidget* w) { return Part<ProblemsDock>(w, QStringLiteral("ProblemsDock")); }
inline ReloadBar* ReloadQuestion(const QWidget* w) { return Part<ReloadBar>(w, QStringLiteral("ReloadBar")); }
inline QMenu* RecentMenu(const QWidget* w) { return Part<QMenu>(w, QStringLiteral("recentMenu")); }
inline QPushButton* ScreenButton(const QWidget* w, int i) {
  return Part<QPushButton>(w, QStringLiteral("screen:%1").arg(i));
}
inline QAction* ScreenAction(const QWidget* w, int i) { return Part<QAction>(w, QStringLiteral("screenAction:%1").arg(i)); }
inline QAction* LanguageAction(const QWidget* w, int i) { return Part<QAction>(w, QStringLiteral("language:%1").arg(i)); }
inline QAction* SwapAction(const QWidget* w) { return Part<QAction>(w, QStringLiteral("swapView")); }
inline QAction* UndoAction(const QWidget* w) { return Part<QAction>(w, QStringLiteral("undo")); }
inline QAction* RedoAction(const QWidget* w) { return Part<QAction>(w, QStringLiteral("redo")); }
