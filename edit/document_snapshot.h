// A document carried whole from one engine to a fresh one of the same
// build: the browser's engine grows its memory and never gives it back, so
// after an operation that took far more than the skin needs, the page starts
// a new engine and hands the document over in these bytes. They hold
// everything the user would miss: the skin (never what a preview shows), the
// whole history (every step with its values and pictures before and after,
// its name and merge key, the steps applied and the saved state), the origin
// and save target, the skin as its origin holds it with its raw files,
// messages and stamps, and the undo budget. The problems are the check's,
// which runs again after the restore as after an open.
//
// The bytes are transient, between two engines of one build, and never
// stored; still the reader is an input reader like any other: it reads no
// byte past the end, checks every count and size against what is left and
// against the budgets of a skin before it allocates, and refuses anything
// damaged, truncated or inconsistent whole.
#pragma once

#include <string>
#include <string_view>

#include "edit/document.h"

// The snapshot of `document`. Each distinct picture is held once, however
// many steps and skins share it.
std::string SnapshotDocument(const Document& document);

// Makes `document` what the snapshot held, as Document::Restore tells its
// observers. False, and the document exactly as it was, when `bytes` are no
// whole snapshot of this build (damaged, truncated, a count that lies, a
// value out of its range, a picture over its budget).
bool RestoreDocument(Document& document, std::string_view bytes);

// A snapshot's bytes end with a checksum of all that comes before it: this
// is `content` with its checksum, for a caller that makes the content
// itself (the fuzz target).
std::string SealSnapshot(std::string_view content);
