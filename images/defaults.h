// The built-in default skin and the program's own pictures.
#pragma once

#include "skin/picture.h"
#include "skin/skin.h"

// Every field to its default, the information texts emptied, and every
// picture to its built-in default. Cannot fail.
void ResetSkinToDefaults(Skin& skin);

enum class BuiltinPictureId { SampleGameIcon, Hinge, AboutBanner };

// Decoded once and kept for the life of the program.
const Picture& BuiltinPicture(BuiltinPictureId id);
