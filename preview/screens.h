// The screen drawers of the fourteen preview screens. Each draws on a fresh
// 256 x 192 canvas and only reads the skin. Every drawing whose place comes
// from an element record is drawn inside an ElementScope of that record.
#pragma once

#include "preview/canvas.h"
#include "skin/skin.h"

// Upper screens.
void DrawGameInformation(Canvas& c, const Skin& skin);
void DrawFolderInformation(Canvas& c, const Skin& skin);

// File browser.
void DrawIconViewScreen(Canvas& c, const Skin& skin);  // screen 0
void DrawListViewScreen(Canvas& c, const Skin& skin);  // screen 1
void DrawIconViewBase(Canvas& c, const Skin& skin);    // under the menus of screens 2 to 12

// Start menu with item h highlighted, over the icon view base.
void DrawStartMenu(Canvas& c, const Skin& skin, int h);
void DrawFileOperationMenuScreen(Canvas& c, const Skin& skin);  // 2
void DrawSkinMenuScreen(Canvas& c, const Skin& skin);           // 4
void DrawLanguageMenuScreen(Canvas& c, const Skin& skin);       // 6
void DrawDisplayMenuScreen(Canvas& c, const Skin& skin);        // 8
void DrawBrightnessMenuScreen(Canvas& c, const Skin& skin);     // 9
void DrawHotkeyScreen(Canvas& c, const Skin& skin);             // 10

// Dialogs and help.
void DrawDeleteConfirmScreen(Canvas& c, const Skin& skin);      // 3
void DrawStyleWarningScreen(Canvas& c, const Skin& skin);       // 5
void DrawLanguageQuestionScreen(Canvas& c, const Skin& skin);   // 7
void DrawHelpScreen(Canvas& c, const Skin& skin);               // 11

// Game settings and cheats.
void DrawGameSettingsScreen(Canvas& c, const Skin& skin);       // 12
void DrawCheatListScreen(Canvas& c, const Skin& skin);          // 13
