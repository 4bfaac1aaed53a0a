// The skins opened last, newest first, for File > Open Recent. They are kept
// in a file of their own so that settings.ini keeps its exact form.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

inline constexpr int kRecentSkins = 8;

// The list with `path` in front, without a second copy of it, at most
// kRecentSkins long.
QStringList WithRecentSkin(QStringList list, const QString& path);

// A missing or unreadable file gives an empty list.
QStringList ReadRecentSkins(const QString& file);
// "[recent]" and one "SkinN = path" line per skin, in the settings' text form.
QByteArray FormatRecentSkins(const QStringList& list);
bool WriteRecentSkins(const QStringList& list, const QString& file);
