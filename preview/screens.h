// The screen drawers of the fourteen preview screens. Each returns a freshly
// drawn 256 x 192 canvas and only reads the skin.
#pragma once

#include "skin/picture.h"
#include "skin/skin.h"

// Upper screens.
Picture DrawGameInformation(const Skin& skin);
Picture DrawFolderInformation(const Skin& skin);

// File browser.
Picture DrawIconViewScreen(const Skin& skin);   // screen 0
Picture DrawListViewScreen(const Skin& skin);   // screen 1
Picture DrawIconViewBase(const Skin& skin);     // under the menus of screens 2 to 12

// Start menu with item h highlighted, over the icon view base.
void DrawStartMenu(Picture& canvas, const Skin& skin, int h);
Picture DrawFileOperationMenuScreen(const Skin& skin);  // 2
Picture DrawSkinMenuScreen(const Skin& skin);           // 4
Picture DrawLanguageMenuScreen(const Skin& skin);       // 6
Picture DrawDisplayMenuScreen(const Skin& skin);        // 8
Picture DrawBrightnessMenuScreen(const Skin& skin);     // 9
Picture DrawHotkeyScreen(const Skin& skin);             // 10

// Dialogs and help.
Picture DrawDeleteConfirmScreen(const Skin& skin);      // 3
Picture DrawStyleWarningScreen(const Skin& skin);       // 5
Picture DrawLanguageQuestionScreen(const Skin& skin);   // 7
Picture DrawHelpScreen(const Skin& skin);               // 11

// Game settings and cheats.
Picture DrawGameSettingsScreen(const Skin& skin);       // 12
Picture DrawCheatListScreen(const Skin& skin);          // 13
