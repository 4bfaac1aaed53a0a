// The fields of a skin in the order of uisettings.ini. The reader, the writer
// and the defaults all walk this one table, so a field is added in one place.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "skin/skin.h"

enum class FieldKind { Text, Number, Colour };

struct SchemaField {
  std::string_view key;           // "itemHeight"
  FieldKind kind;
  std::int32_t defaultNumber;     // numbers
  std::string_view defaultColour; // colours: the built-in text, parsed like a file value
  std::string* (*text)(Skin&);
  std::int32_t* (*number)(Skin&);
  Rgb24* (*colour)(Skin&);
};

struct SchemaSection {
  std::string_view name;  // "[start menu]", brackets included
  std::span<const SchemaField> fields;
};

// The names of the sections, brackets included, as uisettings.ini writes
// them, in file order: code that names a section names it by these.
inline constexpr char kSkinInfoSection[] = "[SkinInfo]";
inline constexpr char kGlobalSettingsSection[] = "[global settings]";
inline constexpr char kFileNameSection[] = "[file name]";
inline constexpr char kGameNameSection[] = "[game name]";
inline constexpr char kFileTypeSection[] = "[file type]";
inline constexpr char kMakerCodeSection[] = "[maker code]";
inline constexpr char kLogoInfoSection[] = "[logo info]";
inline constexpr char kLogoOffsetSection[] = "[logo offset]";
inline constexpr char kStartButtonSection[] = "[start button]";
inline constexpr char kStartMenuSection[] = "[start menu]";
inline constexpr char kHelpWindowSection[] = "[help window]";
inline constexpr char kBrightnessBtnSection[] = "[brightness btn]";
inline constexpr char kCheatCancelAllBtnSection[] = "[cheat cancel all btn]";
inline constexpr char kRebackBtnSection[] = "[reback btn]";
inline constexpr char kFolderupBtnSection[] = "[folderup btn]";
inline constexpr char kCloseBtnSection[] = "[close btn]";
inline constexpr char kHelpBtnSection[] = "[help btn]";
inline constexpr char kDiskIconSection[] = "[disk icon]";
inline constexpr char kBigClockSection[] = "[big clock]";
inline constexpr char kCalendarYearSection[] = "[calendar year]";
inline constexpr char kCalendarMonthSection[] = "[calendar month]";
inline constexpr char kCalendarDaySection[] = "[calendar day]";
inline constexpr char kStartBarSection[] = "[start bar]";
inline constexpr char kMainListSection[] = "[main list]";
inline constexpr char kFolderTextSection[] = "[folder text]";
inline constexpr char kTimeTextSection[] = "[time text]";
inline constexpr char kCheatTitleSection[] = "[cheat title]";
inline constexpr char kCheatClearTitleSection[] = "[cheat clearTitle]";
inline constexpr char kSettingWindowSection[] = "[setting window]";
inline constexpr char kRomInfoWindowSection[] = "[rom info window]";
inline constexpr char kFileHandleMenuSection[] = "[file handle menu]";
inline constexpr char kBrightnessMenuSection[] = "[Brightness menu]";
inline constexpr char kUiTypeMenuSection[] = "[UiType menu]";
inline constexpr char kLanguageMenuSection[] = "[Language menu]";
inline constexpr char kSysetMenuSection[] = "[Syset menu]";
inline constexpr char kListTypeMenuSection[] = "[List type menu]";

// kSkinInfoSection, kGlobalSettingsSection and the 34 element sections, in file order.
std::span<const SchemaSection> SkinSchema();

// Sets every text, colour and number to its built-in default (texts empty).
// Pictures are left alone; ResetSkinToDefaults (images/defaults.h) does both.
void ResetSkinFieldsToDefaults(Skin& skin);
