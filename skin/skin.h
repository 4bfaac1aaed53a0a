// The skin being edited: information texts, colours, element records and
// the 53 pictures. Plain data; the schema (skin/schema.h) drives reading,
// writing and the defaults.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "skin/catalogue.h"
#include "skin/picture.h"
#include "skin/colour.h"

struct SkinInfo {
  std::string Title, Author, eMail, Url, LastUpdate;  // raw 8-bit text, as in the file
};

struct GlobalColours {
  Rgb24 formFrameColor, formBodyColor, formTextColor, formTitleTextColor, buttonTextColor,
      listTextBgColor, listTextColor, listTextHighLightColor, vTextColor, vTextHighLightColor,
      cheatListTextColor, cheatListTextHighLightColor, logoFrameColor, popMenuTextColor,
      popMenuTextHighLightColor, popMenuBodyColor, popSubMenuTextColor,
      popSubMenuTextHighLightColor, popSubMenuBodyColor, spinBoxNormalColor, spinBoxFocusColor,
      spinBoxFrameColor, spinBoxTextColor, spinBoxTextHighLightColor, romInfoTextColor,
      romInfoTitleColor, romInfoBodyColor, romInfoFrameColor, gameInfoTextColor,
      gameInfoTitleColor, fileNameTextColor, timeTextColor, gameNameColor, cheatTitleTextColor;
};

// Record shapes shared by several sections. All numbers are 32-bit signed and
// held unchanged whatever their value.
struct PointRecord { std::int32_t x = 0, y = 0; };
struct PointShowRecord { std::int32_t x = 0, y = 0, show = 0; };
struct RectRecord { std::int32_t x = 0, y = 0, w = 0, h = 0; };
struct SizeRecord { std::int32_t w = 0, h = 0; };
struct FileNameRecord { std::int32_t x = 0, y = 0, w = 0, h = 0, show = 0, titleshow = 0; };
struct FileTypeRecord { std::int32_t x = 0, y = 0, w = 0, h = 0, show = 0; };
struct StartButtonRecord {
  std::int32_t x = 0, y = 0, w = 0, h = 0;
  Rgb24 textColor;
  std::int32_t file = 0;
};
struct StartMenuRecord {
  std::int32_t x = 0, y = 0, itemX = 0, itemY = 0, leftlogoupX = 0, leftlogoupY = 0,
               leftlogodownX = 0, leftlogodownY = 0, rightLogoX = 0, rightLogoY = 0,
               submenuoffsetX = 0, submenuoffsetY = 0, subMenuItemHeight = 0, itemHeight = 0;
};
struct MainListRecord { Rgb24 textColor, textColorHilight, selectionBarColor1, selectionBarColor2; };
struct FolderTextRecord {
  std::int32_t x = 0, y = 0, w = 0, h = 0;
  Rgb24 color;
  std::int32_t show = 0;
};
struct TimeTextRecord {
  std::int32_t x = 0, y = 0, w = 0, h = 0;
  Rgb24 color;
};
struct SettingWindowRecord { std::int32_t spinBoxWidth = 0; };

struct Skin {
  SkinInfo info;
  GlobalColours colours;

  FileNameRecord fileName;           // [file name]
  PointShowRecord gameName;          // [game name]
  FileTypeRecord fileType;           // [file type]
  PointShowRecord makerCode;         // [maker code]
  PointRecord logoInfo;              // [logo info]
  PointRecord logoOffset;            // [logo offset]
  StartButtonRecord startButton;     // [start button]
  StartMenuRecord startMenu;         // [start menu]
  SizeRecord helpWindow;             // [help window]
  RectRecord brightnessBtn;          // [brightness btn]
  PointRecord cheatCancelAllBtn;     // [cheat cancel all btn]
  RectRecord rebackBtn;              // [reback btn]
  RectRecord folderupBtn;            // [folderup btn]
  RectRecord closeBtn;               // [close btn]
  RectRecord helpBtn;                // [help btn]
  PointRecord diskIcon;              // [disk icon]
  PointShowRecord bigClock;          // [big clock]
  PointShowRecord calendarYear;      // [calendar year]
  PointShowRecord calendarMonth;     // [calendar month]
  PointShowRecord calendarDay;       // [calendar day]
  PointRecord startBar;              // [start bar]
  MainListRecord mainList;           // [main list]
  FolderTextRecord folderText;       // [folder text]
  TimeTextRecord timeText;           // [time text]
  RectRecord cheatTitle;             // [cheat title]
  RectRecord cheatClearTitle;        // [cheat clearTitle]
  SettingWindowRecord settingWindow; // [setting window]
  SizeRecord romInfoWindow;          // [rom info window]
  RectRecord fileHandleMenu;         // [file handle menu]
  RectRecord brightnessMenu;         // [Brightness menu]
  RectRecord uiTypeMenu;             // [UiType menu]
  RectRecord languageMenu;           // [Language menu]
  RectRecord sysetMenu;              // [Syset menu]
  RectRecord listTypeMenu;           // [List type menu]

  // One picture per catalogue entry, in catalogue order.
  std::array<Picture, kImageCount> images;

  Picture& image(ImageId id) { return images[static_cast<std::size_t>(id)]; }
  const Picture& image(ImageId id) const { return images[static_cast<std::size_t>(id)]; }
};
