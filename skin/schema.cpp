#include "skin/schema.h"

#include <array>

namespace {

#define TEXT(member, key) \
  SchemaField { key, FieldKind::Text, 0, {}, [](Skin& s) { return &s.member; }, nullptr, nullptr }
#define NUM(member, key, def) \
  SchemaField { key, FieldKind::Number, def, {}, nullptr, [](Skin& s) { return &s.member; }, nullptr }
#define COL(member, key, def) \
  SchemaField { key, FieldKind::Colour, 0, def, nullptr, nullptr, [](Skin& s) { return &s.member; } }
#define GLOBAL(key, def) COL(colours.key, #key, def)

const SchemaField kSkinInfo[] = {
    TEXT(info.Title, "Title"), TEXT(info.Author, "Author"), TEXT(info.eMail, "eMail"),
    TEXT(info.Url, "Url"), TEXT(info.LastUpdate, "LastUpdate"),
};

// The built-in texts of these colours carry bit 15, which reading drops.
const SchemaField kGlobalSettings[] = {
    GLOBAL(formFrameColor, "0x980c"),
    GLOBAL(formBodyColor, "0x8C63"),
    GLOBAL(formTextColor, "0xbb1f"),
    GLOBAL(formTitleTextColor, "0xBB1F"),
    GLOBAL(buttonTextColor, "0xffff"),
    GLOBAL(listTextBgColor, "0xA413"),
    GLOBAL(listTextColor, "0xbb1f"),
    GLOBAL(listTextHighLightColor, "0xFB48"),
    GLOBAL(vTextColor, "0xb29e"),
    GLOBAL(vTextHighLightColor, "0xFFFF"),
    GLOBAL(cheatListTextColor, "0xbb1f"),
    GLOBAL(cheatListTextHighLightColor, "0xfb48"),
    GLOBAL(logoFrameColor, "0xa413"),
    GLOBAL(popMenuTextColor, "0xBB1F"),
    GLOBAL(popMenuTextHighLightColor, "0xf348"),
    GLOBAL(popMenuBodyColor, "0x8422"),
    GLOBAL(popSubMenuTextColor, "0xbb1f"),
    GLOBAL(popSubMenuTextHighLightColor, "0xffff"),
    GLOBAL(popSubMenuBodyColor, "0x8422"),
    GLOBAL(spinBoxNormalColor, "0x940C"),
    GLOBAL(spinBoxFocusColor, "0xb8d7"),
    GLOBAL(spinBoxFrameColor, "0xB8D7"),
    GLOBAL(spinBoxTextColor, "0xa818"),
    GLOBAL(spinBoxTextHighLightColor, "0xffff"),
    GLOBAL(romInfoTextColor, "0xb6bf"),
    GLOBAL(romInfoTitleColor, "0xa413"),
    GLOBAL(romInfoBodyColor, "0xB29E"),
    GLOBAL(romInfoFrameColor, "0xb29e"),
    GLOBAL(gameInfoTextColor, "0xb29e"),
    GLOBAL(gameInfoTitleColor, "0xA413"),
    GLOBAL(fileNameTextColor, "0xb29e"),
    GLOBAL(timeTextColor, "0xB29E"),
    GLOBAL(gameNameColor, "0xb29e"),
    GLOBAL(cheatTitleTextColor, "0xb29e"),
};

const SchemaField kFileName[] = {
    NUM(fileName.x, "x", 127), NUM(fileName.y, "y", 71), NUM(fileName.w, "w", 115),
    NUM(fileName.h, "h", 20), NUM(fileName.show, "show", 1), NUM(fileName.titleshow, "titleshow", 1),
};
const SchemaField kGameName[] = {
    NUM(gameName.x, "x", 127), NUM(gameName.y, "y", 101), NUM(gameName.show, "show", 1),
};
const SchemaField kFileType[] = {
    NUM(fileType.x, "x", 166), NUM(fileType.y, "y", 32), NUM(fileType.w, "w", 78),
    NUM(fileType.h, "h", 36), NUM(fileType.show, "show", 1),
};
const SchemaField kMakerCode[] = {
    NUM(makerCode.x, "x", 0), NUM(makerCode.y, "y", 172), NUM(makerCode.show, "show", 1),
};
const SchemaField kLogoInfo[] = {NUM(logoInfo.x, "x", 127), NUM(logoInfo.y, "y", 30)};
const SchemaField kLogoOffset[] = {NUM(logoOffset.x, "x", 4), NUM(logoOffset.y, "y", 1)};
const SchemaField kStartButton[] = {
    NUM(startButton.x, "x", 0), NUM(startButton.y, "y", 172), NUM(startButton.w, "w", 58),
    NUM(startButton.h, "h", 20), COL(startButton.textColor, "textColor", "0x7fff"),
    NUM(startButton.file, "file", 0),
};
const SchemaField kStartMenu[] = {
    NUM(startMenu.x, "x", 0),
    NUM(startMenu.y, "y", 56),
    NUM(startMenu.itemX, "itemX", 12),
    NUM(startMenu.itemY, "itemY", 18),
    NUM(startMenu.leftlogoupX, "leftlogoupX", 5),
    NUM(startMenu.leftlogoupY, "leftlogoupY", 6),
    NUM(startMenu.leftlogodownX, "leftlogodownX", 5),
    NUM(startMenu.leftlogodownY, "leftlogodownY", 6),
    NUM(startMenu.rightLogoX, "rightLogoX", 4),
    NUM(startMenu.rightLogoY, "rightLogoY", 0),
    NUM(startMenu.submenuoffsetX, "submenuoffsetX", 4),
    NUM(startMenu.submenuoffsetY, "submenuoffsetY", 10),
    NUM(startMenu.subMenuItemHeight, "subMenuItemHeight", 16),
    NUM(startMenu.itemHeight, "itemHeight", 17),
};
const SchemaField kHelpWindow[] = {NUM(helpWindow.w, "w", 200), NUM(helpWindow.h, "h", 160)};

#define RECT(member, dx, dy, dw, dh)                                                          \
  NUM(member.x, "x", dx), NUM(member.y, "y", dy), NUM(member.w, "w", dw), NUM(member.h, "h", dh)
#define POINT_SHOW(member, dx, dy, ds) \
  NUM(member.x, "x", dx), NUM(member.y, "y", dy), NUM(member.show, "show", ds)

const SchemaField kBrightnessBtn[] = {RECT(brightnessBtn, 206, 174, 23, 18)};
const SchemaField kCheatCancelAllBtn[] = {NUM(cheatCancelAllBtn.x, "x", 160),
                                          NUM(cheatCancelAllBtn.y, "y", 13)};
const SchemaField kRebackBtn[] = {RECT(rebackBtn, 232, 174, 23, 18)};
const SchemaField kFolderupBtn[] = {RECT(folderupBtn, 2, 2, 40, 16)};
const SchemaField kCloseBtn[] = {RECT(closeBtn, 233, 11, 40, 16)};
const SchemaField kHelpBtn[] = {RECT(helpBtn, 170, 174, 40, 16)};
const SchemaField kDiskIcon[] = {NUM(diskIcon.x, "x", 178), NUM(diskIcon.y, "y", 174)};
const SchemaField kBigClock[] = {POINT_SHOW(bigClock, 131, 141, 1)};
const SchemaField kCalendarYear[] = {POINT_SHOW(calendarYear, 172, 28, 0)};
const SchemaField kCalendarMonth[] = {POINT_SHOW(calendarMonth, 212, 28, 0)};
const SchemaField kCalendarDay[] = {POINT_SHOW(calendarDay, 236, 28, 0)};
const SchemaField kStartBar[] = {NUM(startBar.x, "x", 0), NUM(startBar.y, "y", 172)};
const SchemaField kMainList[] = {
    COL(mainList.textColor, "textColor", "0x2d6b"),
    COL(mainList.textColorHilight, "textColorHilight", "0x7FFF"),
    COL(mainList.selectionBarColor1, "selectionBarColor1", "0x5c00"),
    COL(mainList.selectionBarColor2, "selectionBarColor2", "0x2D60"),
};
const SchemaField kFolderText[] = {
    NUM(folderText.x, "x", 1), NUM(folderText.y, "y", 180), NUM(folderText.w, "w", 133),
    NUM(folderText.h, "h", 16), COL(folderText.color, "color", "0x5a80"),
    NUM(folderText.show, "show", 0),
};
const SchemaField kTimeText[] = {
    NUM(timeText.x, "x", 67), NUM(timeText.y, "y", 178), NUM(timeText.w, "w", 150),
    NUM(timeText.h, "h", 16), COL(timeText.color, "color", "0x5A80"),
};
const SchemaField kCheatTitle[] = {RECT(cheatTitle, 15, 15, 160, 150)};
const SchemaField kCheatClearTitle[] = {RECT(cheatClearTitle, 180, 13, 56, 16)};
const SchemaField kSettingWindow[] = {NUM(settingWindow.spinBoxWidth, "spinBoxWidth", 80)};
const SchemaField kRomInfoWindow[] = {NUM(romInfoWindow.w, "w", 256), NUM(romInfoWindow.h, "h", 192)};
const SchemaField kFileHandleMenu[] = {RECT(fileHandleMenu, 2, 82, 45, 80)};
const SchemaField kBrightnessMenu[] = {RECT(brightnessMenu, 2, 96, 61, 80)};
const SchemaField kUiTypeMenu[] = {RECT(uiTypeMenu, 2, 96, 61, 30)};
const SchemaField kLanguageMenu[] = {RECT(languageMenu, 2, 20, 45, 155)};
const SchemaField kSysetMenu[] = {RECT(sysetMenu, 2, 80, 61, 66)};
const SchemaField kListTypeMenu[] = {RECT(listTypeMenu, 2, 125, 61, 50)};

#undef TEXT
#undef NUM
#undef COL
#undef GLOBAL
#undef RECT
#undef POINT_SHOW

const SchemaSection kSchema[] = {
    {kSkinInfoSection, kSkinInfo},
    {kGlobalSettingsSection, kGlobalSettings},
    {kFileNameSection, kFileName},
    {kGameNameSection, kGameName},
    {kFileTypeSection, kFileType},
    {kMakerCodeSection, kMakerCode},
    {kLogoInfoSection, kLogoInfo},
    {kLogoOffsetSection, kLogoOffset},
    {kStartButtonSection, kStartButton},
    {kStartMenuSection, kStartMenu},
    {kHelpWindowSection, kHelpWindow},
    {kBrightnessBtnSection, kBrightnessBtn},
    {kCheatCancelAllBtnSection, kCheatCancelAllBtn},
    {kRebackBtnSection, kRebackBtn},
    {kFolderupBtnSection, kFolderupBtn},
    {kCloseBtnSection, kCloseBtn},
    {kHelpBtnSection, kHelpBtn},
    {kDiskIconSection, kDiskIcon},
    {kBigClockSection, kBigClock},
    {kCalendarYearSection, kCalendarYear},
    {kCalendarMonthSection, kCalendarMonth},
    {kCalendarDaySection, kCalendarDay},
    {kStartBarSection, kStartBar},
    {kMainListSection, kMainList},
    {kFolderTextSection, kFolderText},
    {kTimeTextSection, kTimeText},
    {kCheatTitleSection, kCheatTitle},
    {kCheatClearTitleSection, kCheatClearTitle},
    {kSettingWindowSection, kSettingWindow},
    {kRomInfoWindowSection, kRomInfoWindow},
    {kFileHandleMenuSection, kFileHandleMenu},
    {kBrightnessMenuSection, kBrightnessMenu},
    {kUiTypeMenuSection, kUiTypeMenu},
    {kLanguageMenuSection, kLanguageMenu},
    {kSysetMenuSection, kSysetMenu},
    {kListTypeMenuSection, kListTypeMenu},
};

}  // namespace

std::span<const SchemaSection> SkinSchema() { return kSchema; }

void ResetSkinFieldsToDefaults(Skin& skin) {
  for (const SchemaSection& section : kSchema) {
    for (const SchemaField& f : section.fields) {
      switch (f.kind) {
        case FieldKind::Text: f.text(skin)->clear(); break;
        case FieldKind::Number: *f.number(skin) = f.defaultNumber; break;
        case FieldKind::Colour: *f.colour(skin) = ParseSkinColour(f.defaultColour); break;
      }
    }
  }
}
