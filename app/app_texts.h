// Built-in texts of the editor's own that no language file changes: the
// core's (edit/about_texts.h) as Qt strings, and the desktop's own.
#pragma once

#include <QString>

#include "edit/about_texts.h"

// The window title text; the version follows it directly.
QString TitleText();

// The about box: its four text blocks, the link text and the two web
// addresses (the link's and the banner's).
QString AboutText(int part);  // 0..3
QString AboutLinkText();
QString AboutLinkAddress();
QString AboutBannerAddress();

// The message shown when a screenshot name has an extension the editor
// does not write.
QString ScreenshotNotWrittenText();
