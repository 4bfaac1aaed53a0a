// What both faces do once a skin's files were read or written: where the
// document's skin comes from now, what its origin holds, and where Save
// writes next. Choosing the path, asking and showing are each face's own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "edit/document.h"

// Where a skin opened from `path` (a folder or an archive, absolute) comes
// from, and where Save writes it: a folder is written back; an archive
// only when it holds nothing but this skin (written back whole, it would
// lose the rest), else Save asks where.
SkinOrigin OriginOfPath(const std::string& path, bool archive);

// The document becomes `opened`, read from `path`; `messages` are those of
// opening, which the check keeps showing while they stand.
void AdoptOpenedSkin(Document& document, Skin opened, const std::string& path, bool archive,
                     std::vector<Message> messages);

// The document's skin was written, every file of it, to `path`: a folder,
// or an archive. Written to a folder, or over the archive it came from, the
// skin is saved and comes from there now; an archive written elsewhere is
// an export, and changes nothing.
void AdoptSavedSkin(Document& document, const std::string& path, bool archive);

// The built-in skin, with a new history and nothing on disk: New, and the
// start of both faces.
void ResetToBuiltInSkin(Document& document);

// Opens the folder or archive at `path` over `skin`, as opening always does:
// what the folder or archive does not hold keeps what `skin` held.
void OpenSkinOver(Skin& skin, const std::string& path, bool archive, SkinIoContext& ctx);

// Opens the folder or archive at `path` over the document's skin. True when
// its settings were read: the document is that skin now, from `adoptAs`
// (the path as the face names it; `path` when empty), a new history. False
// when nothing could be opened: the document stays as it was, history and
// all. Every message goes to ctx's feedback as it comes.
bool OpenSkinInto(Document& document, const std::string& path, bool archive, SkinIoContext& ctx,
                  const std::string& adoptAs = {});

// Another skin, to compare the one being edited with: the folder or archive
// at `path` opened as opening opens it, over the built-in skin, apart from
// any document. Nothing when its settings could not be read. Every message
// goes to ctx's feedback as it comes.
std::optional<Skin> OpenSkinApart(const std::string& path, bool archive, SkinIoContext& ctx);
