// The skin check in the editor: it runs a moment after the last change of
// the skin or of its files on disk (typing never waits for it) and gives the
// document what it found.
#pragma once

#include <QObject>
#include <QTimer>

class SkinDocument;

class SkinChecker : public QObject {
  Q_OBJECT
 public:
  explicit SkinChecker(SkinDocument& document, QObject* parent = nullptr);
  // Checks at once (a new window wants its list straight away).
  void CheckNow();

 private:
  SkinDocument& document_;
  QTimer timer_;
};
