#include "edit/panel_tables.h"

namespace {

#define C(name, row, column, screen) ColourControl{#name, row, column, screen}

}  // namespace

const std::vector<ColourControl>& ColourControls() {
  static const std::vector<ColourControl> table = {
      C(gameInfoTextColor, 0, 0, 0),          C(fileNameTextColor, 0, 1, 0),
      C(vTextColor, 0, 2, 0),                 C(vTextHighLightColor, 1, 0, 0),
      C(logoFrameColor, 1, 1, 0),             C(listTextBgColor, 1, 2, 0),
      C(gameInfoTitleColor, 2, 0, 0),         C(listTextColor, 3, 0, 1),
      C(listTextHighLightColor, 3, 1, 1),     C(popMenuTextColor, 4, 0, 2),
      C(popMenuTextHighLightColor, 4, 1, 2),  C(popSubMenuTextColor, 4, 2, 2),
      C(popSubMenuTextHighLightColor, 5, 0, 2), C(formFrameColor, 5, 1, 2),
      C(formTextColor, 6, 0, 3),              C(popSubMenuBodyColor, 6, 1, 3),
      C(formBodyColor, 6, 2, 3),              C(formTitleTextColor, 7, 0, 3),
      C(buttonTextColor, 7, 1, 3),            C(spinBoxNormalColor, 8, 0, 12),
      C(spinBoxFocusColor, 8, 1, 12),         C(spinBoxFrameColor, 8, 2, 12),
      C(spinBoxTextColor, 9, 0, 12),          C(spinBoxTextHighLightColor, 9, 1, 12),
      C(romInfoTextColor, 9, 2, 12),          C(romInfoTitleColor, 10, 0, 12),
      C(cheatListTextColor, 11, 0, 13),       C(cheatListTextHighLightColor, 11, 1, 13),
      C(cheatTitleTextColor, 11, 2, 13),
  };
  return table;
}

#undef C

SkinField ColourControl::field() const { return SkinFieldOf(kGlobalSettingsSection, name); }

std::string ImageControl::baseName() const { return std::string(CatalogueEntryOf(image).baseName()); }
std::string ImageControl::key() const { return "LANG_IMAGE_" + baseName() + "$"; }
std::string ImageControl::builtinCaption() const {
  return image == ImageId::icon_txt ? std::string("text.bmp") : baseName() + ".bmp";
}

const std::vector<ImageControl>& ImageControls() {
  using I = ImageId;
  static const std::vector<ImageControl> table = {
      {I::upper_screen, 0, 0, 0},   {I::lower_screen, 0, 1, 0},   {I::startbar, 0, 2, 0},
      {I::start_released, 1, 0, 0}, {I::brightness, 1, 1, 0},     {I::cardFrame0, 1, 2, 0},
      {I::reBack, 2, 0, 0},         {I::clock_colon, 2, 1, 0},    {I::clock_numbers, 2, 2, 0},
      {I::icon_cheat, 3, 0, 0},     {I::icon_dpg, 3, 1, 0},       {I::icon_gba, 3, 2, 0},
      {I::icon_nds, 4, 0, 0},       {I::icon_plg, 4, 1, 0},       {I::icon_pth, 4, 2, 0},
      {I::icon_realtime, 5, 0, 0},  {I::icon_rpth, 5, 1, 0},      {I::icon_sav, 5, 2, 0},
      {I::icon_txt, 6, 0, 0},       {I::icon_unk, 6, 1, 0},       {I::cardFrame1, 7, 0, 1},
      {I::selectbar, 7, 1, 1},      {I::form_L, 8, 0, 2},         {I::form_M, 8, 1, 2},
      {I::form_R, 8, 2, 2},         {I::popsubbar, 9, 0, 2},      {I::lamp, 9, 1, 2},
      {I::triangle, 9, 2, 2},       {I::title_left, 10, 0, 3},    {I::title_bg, 10, 1, 3},
      {I::title_right, 10, 2, 3},   {I::btn3, 11, 0, 3},          {I::activehotkey, 12, 0, 4},
      {I::active, 13, 0, 6},        {I::btn, 14, 0, 10},          {I::hotkeybk, 14, 1, 10},
      {I::close1, 15, 0, 12},       {I::settingbg, 15, 1, 12},    {I::spin_btn_left, 15, 2, 12},
      {I::spin_btn_right, 16, 0, 12}, {I::cheatbg, 17, 0, 13},    {I::cheat_clearall, 17, 1, 13},
      {I::cheatmenubtn, 17, 2, 13}, {I::cheatselectbar, 18, 0, 13}, {I::close, 18, 1, 13},
      {I::fathernode, 18, 2, 13},   {I::onehoton, 19, 0, 13},     {I::onehotdown, 19, 1, 13},
      {I::pitchdown, 19, 2, 13},    {I::pitchon, 20, 0, 13},
  };
  return table;
}

const std::vector<ElementControl>& ElementControls() {
  constexpr bool X = true, Y = true, W = true, _ = false;
  static const std::vector<ElementControl> table = {
      {0, "LANG_SETTINGS_LOGO_INFO_text$", "LogoInfo", kLogoInfoSection, nullptr, X, Y, _, 0},
      {1, "LANG_SETTINGS_FILE_TYPE_show$", "FileType", kFileTypeSection, "show", X, Y, W, 0},
      {2, "LANG_SETTINGS_FILE_NAME_show$", "FileName", kFileNameSection, "show", X, Y, W, 0},
      {3, "LANG_SETTINGS_FILE_NAME_title$", "FileName Titleshow", kFileNameSection, "titleshow", _, _, _, 0},
      {4, "LANG_SETTINGS_GAME_NAME_show$", "GameName", kGameNameSection, "show", X, Y, _, 0},
      {5, "LANG_BIG_CLOCK_show$", "BigClock", kBigClockSection, "show", X, Y, _, 0},
      {6, "LANG_FOLDER_TEXT_show$", "FolderText", kFolderTextSection, "show", X, Y, W, 0},
      {7, "LANG_START_BAR_text$", "StartBar", kStartBarSection, nullptr, X, Y, _, 0},
      {8, "LANG_SETTINGS_START_BUTTON_text$", "StartButton", kStartButtonSection, nullptr, X, Y, _, 0},
      {9, "LANG_DISC_ICON_text$", "DiscIcon", kDiskIconSection, nullptr, X, Y, _, 0},
      {10, "LANG_SETTINGS_BRIGHTNESS_BTN_text$", "BrightnessButton", kBrightnessBtnSection, nullptr, X, Y, _, 0},
      {11, "LANG_SETTINGS_REBACK_BTN_text$", "RebackButton", kRebackBtnSection, nullptr, X, Y, _, 0},
      {12, nullptr, "LogoOffset", kLogoOffsetSection, nullptr, X, _, _, 1},
      {13, "LANG_START_MENU_text$", "StartMenu", kStartMenuSection, nullptr, X, Y, _, 2},
      {14, "LANG_FILE_HANDLE_MENU_text$", "FileHandleMenu", kFileHandleMenuSection, nullptr, X, Y, _, 2},
      {15, "LANG_UITYPE_MENU_text$", "UITypeMenu", kUiTypeMenuSection, nullptr, X, Y, _, 4},
      {16, "LANG_LANGUAGE_text$", "LanguageMenu", kLanguageMenuSection, nullptr, X, Y, _, 6},
      {17, "LANG_SYSET_MENU_text$", "SysSetMenu", kSysetMenuSection, nullptr, X, Y, _, 8},
      {18, "LANG_LIST_TYPE_text$", "ListTypeMenu", kListTypeMenuSection, nullptr, X, Y, _, 8},
      {19, "LANG_BRIGHTNESS_text$", "BrightnessMenu", kBrightnessMenuSection, nullptr, X, Y, _, 9},
      {20, "LANG_CHEAT_TITLE_text$", "CheatTitle", kCheatTitleSection, nullptr, X, Y, W, 13},
      {21, "LANG_CHEAT_CANCEL_ALL_BTN_text$", "CheatClearAllButton", kCheatCancelAllBtnSection, nullptr, X, Y, _, 13},
      {22, "LANG_CHEAT_CLEARTITLE_text$", "CheatClearTitle", kCheatClearTitleSection, nullptr, X, Y, W, 13},
      {23, "LANG_CLOSE_BTN_text$", "CheatCloseButton", kCloseBtnSection, nullptr, X, Y, _, 13},
  };
  return table;
}
