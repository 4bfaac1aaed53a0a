// Texts of the core as Qt strings. The skin's 8-bit texts and the names of
// the catalogue and the schema are Latin-1; paths are in the encoding of the
// system's file names.
#pragma once

#include <QFile>
#include <QString>

#include <string>
#include <string_view>

inline QString Latin1(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<int>(s.size())); }

inline std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString FromLocal(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// A tooltip that shows `text` as it is: Qt takes a tooltip that looks like
// markup for rich text, and a name from a file may look like anything.
inline QString PlainToolTip(const QString& text) {
  if (text.isEmpty()) return text;
  return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}
