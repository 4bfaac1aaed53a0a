// Every command of the editor, registered once: its id, its text, its keys,
// what it does and when it can be done. The menus, the context menus and the
// widgets that ask for something (a colour button clicked, a file dropped, a
// problem chosen) all run commands from this table; nothing asks by a signal
// passed on from window to window.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>

#include "check/problem.h"
#include "edit/skin_field.h"
#include "skin/catalogue.h"
#include "skin/colour.h"

class QAction;

// What a command is about, where it is about something: the colour button's
// field, the picture, a palette colour, a problem's subject or index, a
// file's path.
struct CommandTarget {
  std::optional<SkinField> field;
  std::optional<ImageId> image;
  std::optional<Rgb15> colour;
  std::optional<ProblemSubject> subject;
  int index = -1;
  QString path;
};

struct Command {
  QString id;     // "save", "screenAction:3": also the object name of its menu entries
  QString text;   // the menu text, in the interface language
  QString tip;    // a tooltip, when one is needed
  QList<QKeySequence> keys;
  std::function<void(const CommandTarget&)> run;
  std::function<bool(const CommandTarget&)> enabled;  // empty: always
  std::function<bool()> checked;                      // empty: not a check mark
};

class CommandTable : public QObject {
  Q_OBJECT
 public:
  // Each id once; a second registration replaces the first. An id the
  // catalogue (edit/command_catalogue.h) lacks throws std::invalid_argument.
  void Add(Command command);
  void Clear() { commands_.clear(); }
  const Command* Find(const QString& id) const;
  // Runs the command when it is there and enabled; false otherwise.
  bool Run(const QString& id, const CommandTarget& target = {}) const;
  bool Enabled(const QString& id, const CommandTarget& target = {}) const;
  // A menu entry of the command, owned by `parent`, about `target`: its
  // text, keys, tooltip, check mark and greying follow the command (after
  // each Refresh), and choosing it runs it. Nothing for an unknown id.
  QAction* Action(const QString& id, QObject* parent, const CommandTarget& target = {}) const;
  // The state behind `enabled` and `checked` has changed: every entry shows it.
  void Refresh() const { emit refreshed(); }

 signals:
  void refreshed() const;

 private:
  std::map<QString, Command> commands_;
};
