// What the journal of unsaved changes holds, made and read back without a
// disk: the skin as a save would write it, in one archive, and the manifest
// of where it came from (edit/journal_manifest.h). Each face keeps the two
// where it can (a recovery folder, the browser's storage) and offers them
// again after a crash.
#pragma once

#include <optional>
#include <string>

#include "edit/document.h"
#include "edit/journal_manifest.h"

// The manifest of `document`'s unsaved changes: its origin and save
// target, the skin's own LastUpdate, the last edit's time (UTC) and the
// process that keeps it.
JournalManifest JournalManifestOf(const Document& document, const DateTime& lastEdit, long long pid, long long started);

// The archive of a journal: `skin` as a save writes it, in the folder
// "journal". Its LastUpdate is not stamped (the manifest keeps it), so the
// same skin gives the same bytes.
std::string EncodeJournalArchive(Skin skin);

// Where a journal's skin came from, as the manifest says.
SkinOrigin OriginOfJournal(const JournalManifest& manifest);

// The skin of a journal: its archive opened over the default skin, with the
// manifest's LastUpdate; nothing when the archive holds no readable settings.
std::optional<Skin> ReadJournalSkin(const std::string& archivePath, const JournalManifest& manifest);
