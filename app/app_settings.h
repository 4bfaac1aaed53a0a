// The editor's own settings, kept between runs in settings.ini (where that
// file lives: app/paths.h).
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

struct AppSettings {
  QString lastPath;         // a folder ending in a separator, or empty
  std::int32_t language = 0;
  std::int32_t bgColor = 0; // red in bits 0-7, green 8-15, blue 16-23
  int swapView = 0;         // 0 or 1
};

// Missing or unreadable file: the defaults. Any SwapView other than 0 reads as 1.
AppSettings ReadAppSettings(const QString& path);

// The bytes written: byte-order mark, an empty line, "[settings]" and the four
// keys as "Key = value", each line ending CR LF.
QByteArray FormatAppSettings(const AppSettings& settings);

// Replaces the file, creating its folder when that is missing. Returns
// whether the file was written.
bool WriteAppSettings(const AppSettings& settings, const QString& path);
