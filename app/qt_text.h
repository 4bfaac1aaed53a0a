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
