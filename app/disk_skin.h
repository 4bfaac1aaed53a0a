// The skin as its folder or archive holds it, kept beside the skin being
// edited. Comparing the two tells an unsaved change from a change on disk,
// and which pictures were replaced since opening; the check also reads the
// raw files and the opening messages kept here.
#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "app/skin_edit.h"
#include "check/check.h"
#include "check/skin_source.h"
#include "images/feedback.h"
#include "images/skin_io.h"
#include "skin/skin.h"

struct DiskSkin {
  QString path;                   // the folder or archive; empty for the built-in skin
  Skin skin;                      // as last opened, saved or read again
  SkinSource source;              // its raw files, for the check
  std::vector<Message> messages;  // the messages of opening that still stand
  SkinStamps stamps;              // its files as last read or written, to tell a change by another program
};

// The edit that turns `from` into `to`: every settings field and every
// picture that differs.
SkinEdit EditTowards(const Skin& from, const Skin& to, const QString& name);

// Whether two skins differ in a settings field the user edits. LastUpdate is
// left out: saving stamps it, nobody edits it.
bool SettingsDiffer(const Skin& a, const Skin& b);
bool SameSkin(const Skin& a, const Skin& b);

// The check's input: the messages that still stand (not those of a picture
// replaced since), the raw files, and which pictures were replaced.
CheckInput CheckInputOf(const DiskSkin& disk, const Skin& current);

// The messages about one picture (or, without one, about the settings file)
// give way to those of reading it again.
void ReplaceMessages(std::vector<Message>& messages, std::optional<ImageId> image, const std::vector<Message>& now);
