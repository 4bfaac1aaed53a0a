// The manifest of a recovery journal: a few lines beside the journal's
// archive that say whose unsaved changes it holds (the editor that wrote it,
// the time of the last edit) and where the skin came from and where Save
// writes it. It is read back after a crash, from a folder anybody's program
// may write into, so it is read as untrusted input: every value is checked,
// and a manifest that does not hold together is refused whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "skin/clock.h"

// A manifest is a few hundred bytes; anything much larger is no manifest.
inline constexpr std::size_t kMaxManifestSize = 64 * 1024;

struct JournalManifest {
  enum class Kind { BuiltIn, Folder, Archive };
  long long pid = 0;      // the editor that wrote it
  long long started = 0;  // when that process started (clock ticks after boot), 0 when unknown
  DateTime time;          // the last edit it holds, in UTC
  Kind kind = Kind::BuiltIn;
  std::string origin;      // the folder or archive, absolute; empty for the built-in skin
  std::string saveTarget;  // empty (Save asks) or the origin itself
  std::string lastUpdate;  // the skin's own LastUpdate
  friend bool operator==(const JournalManifest&, const JournalManifest&) = default;
};

// The manifest's bytes: UTF-8 with a byte-order mark, CR LF lines, every
// text quoted with its backslashes, quotes and control characters escaped,
// so that no name can add a line or lose a blank at its end.
std::string FormatJournalManifest(const JournalManifest& manifest);

// The manifest in `bytes`, or nothing when it is not one we wrote: an
// unknown or repeated key, a value out of its range, a kind that does not
// fit its origin, a save target other than the origin, a control character
// in LastUpdate. Manifests of earlier versions, whose texts were not quoted,
// are read too, under the same checks.
std::optional<JournalManifest> ParseJournalManifest(std::string_view bytes);
