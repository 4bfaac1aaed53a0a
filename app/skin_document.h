// The skin document of the desktop face: the editing core's Document (the
// skin, its history, origin, disk state and problems), whose observers are
// turned into Qt signals here, so that the widgets and tools of the desktop
// follow it as they follow any Qt object. Everything the document does is
// the core's; this class adds nothing but the signals.
#pragma once

#include <QObject>

#include "edit/document.h"

class SkinDocument : public QObject, public Document, private DocumentObserver {
  Q_OBJECT
 public:
  SkinDocument();
  ~SkinDocument() override;

 signals:
  void skinChanged(const SkinChange& change);
  void replaced();
  void historyChanged();
  void cleanChanged(bool clean);
  void originChanged();
  void diskChanged();
  void problemsChanged();

 private:
  void SkinChanged(const SkinChange& change) override { emit skinChanged(change); }
  void Replaced() override { emit replaced(); }
  void HistoryChanged() override { emit historyChanged(); }
  void CleanChanged(bool clean) override { emit cleanChanged(clean); }
  void OriginChanged() override { emit originChanged(); }
  void DiskChanged() override { emit diskChanged(); }
  void ProblemsChanged() override { emit problemsChanged(); }
};
