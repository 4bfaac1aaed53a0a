#include "app/commands/command_table.h"

#include <QAction>

#include <stdexcept>

#include "edit/command_catalogue.h"

void CommandTable::Add(Command command) {
  const QString id = command.id;
  // Every command is one of the catalogue's, which both faces share: an id
  // it lacks is a mistake, not a command.
  if (!FindCommand(id.toStdString())) {
    throw std::invalid_argument("no command \"" + id.toStdString() + "\" in the catalogue");
  }
  commands_.insert_or_assign(id, std::move(command));
}

const Command* CommandTable::Find(const QString& id) const {
  const auto it = commands_.find(id);
  return it == commands_.end() ? nullptr : &it->second;
}

bool CommandTable::Enabled(const QString& id, const CommandTarget& target) const {
  const Command* c = Find(id);
  return c && c->run && (!c->enabled || c->enabled(target));
}

bool CommandTable::Run(const QString& id, const CommandTarget& target) const {
  if (!Enabled(id, target)) return false;
  Find(id)->run(target);
  return true;
}

QAction* CommandTable::Action(const QString& id, QObject* parent, const CommandTarget& target) const {
  const Command* c = Find(id);
  if (!c) return nullptr;
  auto* action = new QAction(c->text, parent);
  action->setObjectName(id);
  action->setShortcuts(c->keys);
  if (!c->tip.isEmpty()) action->setToolTip(c->tip);
  action->setCheckable(static_cast<bool>(c->checked));
  const auto follow = [this, action, id, target] {
    const Command* now = Find(id);
    if (!now) return;
    action->setEnabled(Enabled(id, target));
    if (now->checked) action->setChecked(now->checked());
  };
  follow();
  connect(this, &CommandTable::refreshed, action, follow);
  // The check mark shows the state the command leaves, not the click.
  connect(action, &QAction::triggered, this, [this, id, target, follow] {
    Run(id, target);
    follow();
  });
  return action;
}
