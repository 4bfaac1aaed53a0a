#include "app/panel_tables.h"

namespace {

#define C(name, row, column, screen) ColourControl{#name, &GlobalColours::name, row, column, screen}

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

QString ImageControl::baseName() const {
  const auto base = CatalogueEntryOf(image).baseName();
  return QString::fromLatin1(base.data(), static_cast<int>(base.size()));
}
QString ImageControl::key() const { return QStringLiteral("LANG_IMAGE_%1$").arg(baseName()); }
QString ImageControl::builtinCaption() const {
  return image == ImageId::icon_txt ? QStringLiteral("text.bmp") : baseName() + QStringLiteral(".bmp");
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

namespace {

#define F(expr) [](Skin& s) -> std::int32_t* { return &s.expr; }
#define XY(rec) F(rec.x), F(rec.y)

}  // namespace

const std::vector<ElementControl>& ElementControls() {
  static const std::vector<ElementControl> table = {
      {0, false, "LANG_SETTINGS_LOGO_INFO_text$", "LogoInfo", nullptr, XY(logoInfo), nullptr, 0},
      {1, true, "LANG_SETTINGS_FILE_TYPE_show$", "FileType", F(fileType.show), XY(fileType), F(fileType.w), 0},
      {2, true, "LANG_SETTINGS_FILE_NAME_show$", "FileName", F(fileName.show), XY(fileName), F(fileName.w), 0},
      {3, true, "LANG_SETTINGS_FILE_NAME_title$", "FileName Titleshow", F(fileName.titleshow), nullptr, nullptr,
       nullptr, 0},
      {4, true, "LANG_SETTINGS_GAME_NAME_show$", "GameName", F(gameName.show), XY(gameName), nullptr, 0},
      {5, true, "LANG_BIG_CLOCK_show$", "BigClock", F(bigClock.show), XY(bigClock), nullptr, 0},
      {6, true, "LANG_FOLDER_TEXT_show$", "FolderText", F(folderText.show), XY(folderText), F(folderText.w), 0},
      {7, false, "LANG_START_BAR_text$", "StartBar", nullptr, XY(startBar), nullptr, 0},
      {8, false, "LANG_SETTINGS_START_BUTTON_text$", "StartButton", nullptr, XY(startButton), nullptr, 0},
      {9, false, "LANG_DISC_ICON_text$", "DiscIcon", nullptr, XY(diskIcon), nullptr, 0},
      {10, false, "LANG_SETTINGS_BRIGHTNESS_BTN_text$", "BrightnessButton", nullptr, XY(brightnessBtn), nullptr, 0},
      {11, false, "LANG_SETTINGS_REBACK_BTN_text$", "RebackButton", nullptr, XY(rebackBtn), nullptr, 0},
      {12, false, nullptr, "LogoOffset", nullptr, F(logoOffset.x), nullptr, nullptr, 1},
      {13, false, "LANG_START_MENU_text$", "StartMenu", nullptr, XY(startMenu), nullptr, 2},
      {14, false, "LANG_FILE_HANDLE_MENU_text$", "FileHandleMenu", nullptr, XY(fileHandleMenu), nullptr, 2},
      {15, false, "LANG_UITYPE_MENU_text$", "UITypeMenu", nullptr, XY(uiTypeMenu), nullptr, 4},
      {16, false, "LANG_LANGUAGE_text$", "LanguageMenu", nullptr, XY(languageMenu), nullptr, 6},
      {17, false, "LANG_SYSET_MENU_text$", "SysSetMenu", nullptr, XY(sysetMenu), nullptr, 8},
      {18, false, "LANG_LIST_TYPE_text$", "ListTypeMenu", nullptr, XY(listTypeMenu), nullptr, 8},
      {19, false, "LANG_BRIGHTNESS_text$", "BrightnessMenu", nullptr, XY(brightnessMenu), nullptr, 9},
      {20, false, "LANG_CHEAT_TITLE_text$", "CheatTitle", nullptr, XY(cheatTitle), F(cheatTitle.w), 13},
      {21, false, "LANG_CHEAT_CANCEL_ALL_BTN_text$", "CheatClearAllButton", nullptr, XY(cheatCancelAllBtn), nullptr,
       13},
      {22, false, "LANG_CHEAT_CLEARTITLE_text$", "CheatClearTitle", nullptr, XY(cheatClearTitle), F(cheatClearTitle.w),
       13},
      {23, false, "LANG_CLOSE_BTN_text$", "CheatCloseButton", nullptr, XY(closeBtn), nullptr, 13},
  };
  return table;
}
