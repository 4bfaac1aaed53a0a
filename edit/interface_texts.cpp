#include "edit/interface_texts.h"

#include <algorithm>

#include "assets/builtin_text.h"
#include "edit/ini_file.h"
#include "edit/panel_tables.h"

namespace {

// Key and text pairs of the menus, tab captions, dialog texts, chooser
// titles, messages and information labels, each part ended by a NUL.
constexpr auto kBuiltinTexts = ScrambleText(
    "LANG_FILE$" "\0" "File" "\0"
    "LANG_FILE_NEW$" "\0" "New" "\0"
    "LANG_FILE_OPEN$" "\0" "Open" "\0"
    "LANG_FILE_OPEN_FOLDER$" "\0" "Skin folder..." "\0"
    "LANG_FILE_OPEN_RECENT$" "\0" "Open recent" "\0"
    "LANG_FILE_SAVE$" "\0" "Save" "\0"
    "LANG_FILE_SAVE_FOLDER$" "\0" "Save to folder..." "\0"
    "LANG_FILE_SCREENSHOT$" "\0" "Screenshot" "\0"
    "LANG_FILE_SCREENSHOT2D$" "\0" "Save to file..." "\0"
    "LANG_FILE_SCREENSHOT2C$" "\0" "Copy to clipboard" "\0"
    "LANG_FILE_CLOSE$" "\0" "Exit" "\0"
    "LANG_SCREEN$" "\0" "Screen" "\0"
    "LANG_SCREEN_00$" "\0" "1 - File browser (icons)" "\0"
    "LANG_SCREEN_01$" "\0" "2 - File browser (list)" "\0"
    "LANG_SCREEN_02$" "\0" "3 - Start menu: file operations" "\0"
    "LANG_SCREEN_03$" "\0" "4 - Dialog: confirm deletion" "\0"
    "LANG_SCREEN_04$" "\0" "5 - Start menu: skin" "\0"
    "LANG_SCREEN_05$" "\0" "6 - Dialog: skin changed" "\0"
    "LANG_SCREEN_06$" "\0" "7 - Start menu: language" "\0"
    "LANG_SCREEN_07$" "\0" "8 - Dialog: language changed" "\0"
    "LANG_SCREEN_08$" "\0" "9 - System settings: display" "\0"
    "LANG_SCREEN_09$" "\0" "10 - System settings: brightness" "\0"
    "LANG_SCREEN_10$" "\0" "11 - System settings: hotkey" "\0"
    "LANG_SCREEN_11$" "\0" "12 - Help window" "\0"
    "LANG_SCREEN_12$" "\0" "13 - Game settings" "\0"
    "LANG_SCREEN_13$" "\0" "14 - Cheat list" "\0"
    "LANG_OPTIONS$" "\0" "Options" "\0"
    "LANG_OPTIONS_BACKCOLOR$" "\0" "Background color..." "\0"
    "LANG_OPTIONS_SWAPVIEW$" "\0" "Swap preview and panel" "\0"
    "LANG_ABOUT$" "\0" "Help" "\0"
    "LANG_ABOUT_ABOUT$" "\0" "About" "\0"
    "LANG_COLORSETTING$" "\0" "Edit color" "\0"
    "LANG_INFO$" "\0" "Set the color with the 5-bit fields (0-31), as text, or with the system color chooser; or press the right mouse button on this window and, holding it, point at any pixel of the screen to pick it." "\0"
    "LANG_COLORSETTING_OF$" "\0" "Edit color: %1" "\0"
    "LANG_COLORTEXT$" "\0" "Text:" "\0"
    "LANG_COLORTEXT_TIP$" "\0" "Type or paste a color: #rrggbb, rrggbb, or 0xBBBB as uisettings.ini writes it" "\0"
    "LANG_COLORFILE_TIP$" "\0" "As uisettings.ini writes this color" "\0"
    "LANG_COPY_COLOR$" "\0" "Copy color" "\0"
    "LANG_PASTE_COLOR$" "\0" "Paste color" "\0"
    "LANG_ACTUAL_COLOR$" "\0" "Original color" "\0"
    "LANG_NEW_COLOR$" "\0" "New color" "\0"
    "LANG_RED$" "\0" "Red (0-31)" "\0"
    "LANG_GREEN$" "\0" "Green (0-31)" "\0"
    "LANG_BLUE$" "\0" "Blue (0-31)" "\0"
    "LANG_COLORREQUESTER$" "\0" "System color chooser..." "\0"
    "LANG_OK$" "\0" "OK" "\0"
    "LANG_CANCEL$" "\0" "Cancel" "\0"
    "LANG_REQPATH_SAVE$" "\0" "Choose the folder to save the skin in" "\0"
    "LANG_REQPATH_LOAD$" "\0" "Choose a skin folder" "\0"
    "LANG_REQFILE_SAVE$" "\0" "Save screenshot" "\0"
    "LANG_REQFILE_LOAD$" "\0" "Open file" "\0"
    "LANG_ERROR$" "\0" "Error" "\0"
    "LANG_EDIT$" "\0" "Edit" "\0"
    "LANG_EDIT_UNDO$" "\0" "Undo" "\0"
    "LANG_EDIT_REDO$" "\0" "Redo" "\0"
    "LANG_VIEW$" "\0" "View" "\0"
    "LANG_VIEW_ZOOM_IN$" "\0" "Zoom in" "\0"
    "LANG_VIEW_ZOOM_OUT$" "\0" "Zoom out" "\0"
    "LANG_VIEW_ZOOM_RESET$" "\0" "Actual size" "\0"
    "LANG_SCREEN_PREV$" "\0" "Previous screen" "\0"
    "LANG_SCREEN_NEXT$" "\0" "Next screen" "\0"
    "LANG_MESSAGES_MORE$" "\0" "... and %1 more: see the details" "\0"
    "LANG_ASK_SAVE$" "\0" "The skin \"%1\" has changes that are not saved. Save them first?" "\0"
    "LANG_DISCARD$" "\0" "Discard" "\0"
    "LANG_SKIN_NEW$" "\0" "New skin" "\0"
    "LANG_STATUS_OPENED$" "\0" "Opened %1" "\0"
    "LANG_STATUS_SAVED$" "\0" "Saved %1 files to %2" "\0"
    "LANG_STATUS_ZOOM$" "\0" "Zoom %1%" "\0"
    "LANG_STATUS_PIXEL_NONE$" "\0" "Nothing of the skin draws this pixel" "\0"
    "LANG_STATUS_NOT_ON_SCREEN$" "\0" "%1: only on screens %2" "\0"
    "LANG_STATUS_NOT_DRAWN$" "\0" "%1: on no screen, as the skin is now" "\0"
    "LANG_STATUS_DROP_NO_PICTURE$" "\0" "No skin picture is drawn there: drop the file on one" "\0"
    "LANG_FILE_SAVE_ARCHIVE$" "\0" "Save to archive..." "\0"
    "LANG_FILE_IMPORT_FOLDER$" "\0" "Import pictures from folder..." "\0"
    "LANG_REQFILE_SAVE_ARCHIVE$" "\0" "Save the skin as an archive" "\0"
    "LANG_REQPATH_IMPORT$" "\0" "Choose a folder of pictures named like the skin's files" "\0"
    "LANG_VIEW_PROBLEMS$" "\0" "Problems" "\0"
    "LANG_PROBLEMS_CODE$" "\0" "Code" "\0"
    "LANG_PROBLEMS_SUBJECT$" "\0" "Subject" "\0"
    "LANG_PROBLEMS_MESSAGE$" "\0" "Description" "\0"
    "LANG_PROBLEMS_NONE$" "\0" "No problems found." "\0"
    "LANG_PROBLEMS_WARNING$" "\0" "Warning" "\0"
    "LANG_STATUS_PROBLEMS$" "\0" "Errors: %1, warnings: %2" "\0"
    "LANG_STATUS_PROBLEM_LINE$" "\0" "uisettings.ini, line %1" "\0"
    "LANG_STATUS_RELOADED$" "\0" "Read again from disk: %1" "\0"
    "LANG_STATUS_RELOAD_FAILED$" "\0" "Could not read %1; the skin keeps what it had until the file changes again" "\0"
    "LANG_RELOAD_ASK$" "\0" "Changed on disk: %1. The skin here has unsaved changes to it." "\0"
    "LANG_RELOAD_ASK_ARCHIVE$" "\0" "%1 changed on disk." "\0"
    "LANG_RELOAD$" "\0" "Reload" "\0"
    "LANG_RELOAD_KEEP$" "\0" "Keep mine" "\0"
    "LANG_STEP_RELOAD$" "\0" "reload from disk" "\0"
    "LANG_STEP_IMPORT_FOLDER$" "\0" "pictures from %1" "\0"
    "LANG_STEP_RESTORE$" "\0" "restore unsaved changes" "\0"
    "LANG_STEP_RECOLOR$" "\0" "recolor" "\0"
    "LANG_STEP_REPLACE_COLOR$" "\0" "replace %1 with %2" "\0"
    "LANG_STATUS_IMPORTED_ONE$" "\0" "Took %1 from %2" "\0"
    "LANG_FIT_TITLE$" "\0" "Picture size" "\0"
    "LANG_FIT_ASK$" "\0" "%1 is %2 x %3 pixels; %4 is %5 x %6 in the skin. How should it be taken?" "\0"
    "LANG_FIT_ASK_MANY$" "\0" "%1 of the pictures differ in size from the skin's (%2: %3 x %4 pixels, %5 x %6 in the skin). How should they be taken?" "\0"
    "LANG_FIT_COVER$" "\0" "Fit" "\0"
    "LANG_FIT_COVER_TIP$" "\0" "Scaled to cover the size, keeping its shape; the middle is taken" "\0"
    "LANG_FIT_STRETCH$" "\0" "Stretch" "\0"
    "LANG_FIT_STRETCH_TIP$" "\0" "Scaled to exactly the size" "\0"
    "LANG_FIT_KEEP$" "\0" "Keep" "\0"
    "LANG_FIT_KEEP_TIP$" "\0" "Taken at its own size" "\0"
    "LANG_VIEW_PALETTE$" "\0" "Palette" "\0"
    "LANG_PALETTE_REPLACE$" "\0" "Replace color..." "\0"
    "LANG_PALETTE_TIP$" "\0" "%1 (%2): used %3 times" "\0"
    "LANG_PALETTE_KEY$" "\0" "The key color: where the firmware draws with the key, its pixels are left out." "\0"
    "LANG_PALETTE_PIXELS$" "\0" "%1 pixels" "\0"
    "LANG_SKIN$" "\0" "Skin" "\0"
    "LANG_SKIN_RECOLOR$" "\0" "Recolor..." "\0"
    "LANG_RECOLOR_TITLE$" "\0" "Recolor the skin" "\0"
    "LANG_RECOLOR_HUE$" "\0" "Hue" "\0"
    "LANG_RECOLOR_SATURATION$" "\0" "Saturation" "\0"
    "LANG_RECOLOR_LIGHTNESS$" "\0" "Lightness" "\0"
    "LANG_RECOLOR_SCOPE$" "\0" "Recolor:" "\0"
    "LANG_RECOLOR_ALL$" "\0" "Everything" "\0"
    "LANG_RECOLOR_PICTURES$" "\0" "Pictures only" "\0"
    "LANG_RECOLOR_FIELDS$" "\0" "Color fields only" "\0"
    "LANG_RECOLOR_RESET$" "\0" "Reset" "\0"
    "LANG_VIEW_OVERVIEW$" "\0" "All screens" "\0"
    "LANG_OVERVIEW_WHOLE$" "\0" "Whole size" "\0"
    "LANG_VIEW_ZOOM_FIT$" "\0" "Zoom to fit" "\0"
    "LANG_VIEW_ZOOM_WHOLE$" "\0" "Whole-number zoom" "\0"
    "LANG_VIEW_SIMULATE$" "\0" "Simulate" "\0"
    "LANG_SIMULATE_NONE$" "\0" "None" "\0"
    "LANG_SIMULATE_CONSOLE$" "\0" "Console screen" "\0"
    "LANG_SIMULATE_PROTANOPIA$" "\0" "Protanopia (red-blind)" "\0"
    "LANG_SIMULATE_DEUTERANOPIA$" "\0" "Deuteranopia (green-blind)" "\0"
    "LANG_SIMULATE_TRITANOPIA$" "\0" "Tritanopia (blue-blind)" "\0"
    "LANG_STATUS_SIMULATING$" "\0" "Simulating: %1" "\0"
    "LANG_VIEW_COMPARE_SAVED$" "\0" "Compare with saved" "\0"
    "LANG_FILE_COMPARE$" "\0" "Compare with skin" "\0"
    "LANG_COMPARE_SAVED$" "\0" "As saved" "\0"
    "LANG_COMPARE_OTHER$" "\0" "Compared: %1" "\0"
    "LANG_COMPARE_TIP$" "\0" "Hold Space over the preview to swap the two" "\0"
    "LANG_FILE_COMPARE_STOP$" "\0" "Stop comparing" "\0"
    "LANG_STATUS_LANGUAGE_MISSING$" "\0" "Language file %1 not found in %2" "\0"
    "LANG_COLORLEVELS$" "\0" "The console has 32 levels of each channel, 0 to 31; #rrggbb shows each as a multiple of 8, so white is #f8f8f8." "\0"
    "LANG_STATUS_RELOAD_HELD$" "\0" "Not reloaded: %1" "\0"
    "LANG_STATUS_RELOAD_KEPT$" "\0" "Kept your %1" "\0"
    "LANG_STATUS_NOT_ON_SCREEN_ONE$" "\0" "%1: only on screen %2" "\0"
    "LANG_LANGUAGE_MISSING_TIP$" "\0" "%1 is not in %2, where the language files are looked for" "\0"
    "LANG_FILE_SCREENSHOT_SHOWN_FILE$" "\0" "Screen shown, to file..." "\0"
    "LANG_FILE_SCREENSHOT_SHOWN_CLIP$" "\0" "Screen shown, to clipboard" "\0"
    "LANG_STATUS_SCREENSHOT_SAVED$" "\0" "Saved a screenshot to %1" "\0"
    "LANG_STATUS_SCREENSHOT_COPIED$" "\0" "Copied a screenshot to the clipboard" "\0"
    "LANG_STATUS_COMPARING$" "\0" "Comparing with %1" "\0"
    "LANG_RESTORE_TITLE$" "\0" "Unsaved changes found" "\0"
    "LANG_RESTORE_ASK$" "\0" "Restore the unsaved changes to %1 from %2?" "\0"
    "LANG_RESTORE$" "\0" "Restore" "\0"
    "LANG_RESTORE_FAILED$" "\0" "The unsaved changes to %1 could not be restored: their journal cannot be read. It is kept in %2." "\0"
    "LANG_STATUS_RESTORED_ELSEWHERE$" "\0" "Restored the unsaved changes; %1 no longer holds the skin, so Save asks where to save it" "\0"
    "LANG_STATUS_JOURNAL_FAILED$" "\0" "Unsaved changes are not protected: the recovery journal cannot be written in %1" "\0"
    "LANG_STATUS_JOURNAL_AGAIN$" "\0" "Unsaved changes are protected again: the recovery journal is written" "\0"
    "LANG_ASK_OVERWRITE$" "\0" "Another program changed these files of the skin since the editor read them: %1. Overwrite them with the skin as you edited it?" "\0"
    "LANG_OVERWRITE$" "\0" "&Overwrite" "\0"
    "LANG_ASK_LINKS$" "\0" "These files of the skin are links to files outside its folder: %1. Saving writes the skin into those files. Write through the links?" "\0"
    "LANG_LINKS_FOLLOW$" "\0" "&Write through the links" "\0"
    "LANG_STATUS_NOT_SAVED$" "\0" "Not saved: the skin's files are as they were" "\0"
    "LANG_STATUS_ARCHIVE_HOLDS_MORE$" "\0" "%1 now holds other files besides the skin: choose a folder to save into" "\0"
    "LANG_STATUS_IMPORTED$" "\0" "Took %1 pictures from %2" "\0"
    "LANG_IMPORT_RESULT$" "\0" "Pictures from a folder" "\0"
    "LANG_IMPORT_TAKEN$" "\0" "Took %1 pictures: %2" "\0"
    "LANG_IMPORT_UNMATCHED$" "\0" "No picture of the skin is named like these files: %1" "\0"
    "LANG_IMPORT_PASSED$" "\0" "Passed over %1: %2 was taken for the same picture" "\0"
    "LANG_PANEL_COLORS$" "\0" "Colors" "\0"
    "LANG_PANEL_IMAGES$" "\0" "Images" "\0"
    "LANG_PANEL_ELEMETS$" "\0" "Elements" "\0"
    "LANG_PANEL_INFORMATIONS$" "\0" "Information" "\0"
    "LANG_PANEL_COLUMN_X$" "\0" "X" "\0"
    "LANG_PANEL_COLUMN_Y$" "\0" "Y" "\0"
    "LANG_PANEL_COLUMN_W$" "\0" "W" "\0"
    "LANG_PANEL_TIP_COLOR$" "\0" "Color %1 of uisettings.ini. Click to change it." "\0"
    "LANG_PANEL_TIP_IMAGE$" "\0" "Picture %1. Click to choose a BMP, PNG or JPEG file, or drop one here." "\0"
    "LANG_PANEL_TIP_FIELD$" "\0" "%1 in uisettings.ini" "\0"
    "LANG_PANEL_TIP_SCREEN$" "\0" "Used by the screen \"%1\": choose that screen to edit it." "\0"
    "LANG_INFO_TITLE$" "\0" "Title" "\0"
    "LANG_INFO_AUTHOR$" "\0" "Author" "\0"
    "LANG_INFO_EMAIL$" "\0" "E-mail" "\0"
    "LANG_INFO_URL$" "\0" "Web address" "\0"
    "LANG_INFO_UPDATE$" "\0" "Last update" "\0"
    "LANG_INFO_LATIN1$" "\0" "Only Latin-1 characters, without line breaks, can be kept in uisettings.ini." "\0"
    "LANG_WEB_DROP$" "\0" "Drop a skin folder or a .zip archive here to open it" "\0"
    "LANG_WEB_WORKING$" "\0" "Working..." "\0"
    "LANG_WEB_TOO_LARGE$" "\0" "%1 is larger than %2 MB: the editor does not open it" "\0"
    "LANG_WEB_READ_FAILED$" "\0" "%1 could not be read: %2" "\0"
    "LANG_WEB_START_FAILED$" "\0" "The editor could not start: %1" "\0"
    "LANG_WEB_STORAGE$" "\0" "the browser's storage for this page" "\0"
    "LANG_WEB_STORAGE_ASIDE$" "\0" "the browser's storage for this page, set aside" "\0"
    "LANG_STATUS_DOWNLOADED$" "\0" "Downloaded %1" "\0"
    "LANG_RESTORE_ASK_DOWNLOADED$" "\0" "The changes to %1 from %2 were downloaded as %3, but the editor cannot know that the download was kept. Restore them? Discard them if %3 is safely on your disk." "\0"
    "LANG_WEB_TOO_MANY_FILES$" "\0" "%1 holds more than %2 picture files: the editor does not open it" "\0"
    "LANG_STATUS_CANCELLED$" "\0" "Cancelled reading %1: the skin is as it was" "\0"
    "LANG_STATUS_NOT_A_COLOR$" "\0" "Not pasted: the clipboard holds no color (#rrggbb, rrggbb or 0xBBBB)" "\0"
    "LANG_STEP_TAKE_FROM$" "\0" "take from %1" "\0"
    "LANG_SKIN_TAKE_FROM$" "\0" "Take from skin..." "\0"
    "LANG_TAKE_TITLE$" "\0" "Take from skin" "\0"
    "LANG_TAKE_FROM$" "\0" "From:" "\0"
    "LANG_TAKE_NO_SKIN$" "\0" "Choose a skin folder or a .zip to take from" "\0"
    "LANG_TAKE_COMPARED$" "\0" "Skin compared" "\0"
    "LANG_TAKE_COLORS$" "\0" "Colors" "\0"
    "LANG_TAKE_PICTURES$" "\0" "Pictures" "\0"
    "LANG_TAKE_POSITIONS$" "\0" "Positions" "\0"
    "LANG_TAKE_INFO$" "\0" "Information" "\0"
    "LANG_TAKE_OTHER_PICTURES$" "\0" "Other pictures" "\0"
    "LANG_TAKE_COLUMN_ITEM$" "\0" "Item" "\0"
    "LANG_TAKE_COLUMN_THEIRS$" "\0" "In %1" "\0"
    "LANG_TAKE_COLUMN_NOW$" "\0" "This skin" "\0"
    "LANG_TAKE_MISSING$" "\0" "not in %1" "\0"
    "LANG_TAKE_UNREADABLE$" "\0" "could not be read" "\0"
    "LANG_STATUS_TAKEN$" "\0" "Took %1 fields and %2 pictures from %3" "\0"
    "LANG_HELP_SHORTCUTS$" "\0" "Keyboard shortcuts" "\0"
    "LANG_EYEDROPPER$" "\0" "Pick from the screen" "\0"
    "LANG_WEB_START_HINT$" "\0" "To begin, open a skin (File > Open) or drop a skin folder or a .zip on the page. The built-in skin is shown meanwhile." "\0"
    "LANG_CLOSE$" "\0" "Close" "\0"
    "LANG_WEB_UPDATE$" "\0" "Reload to update" "\0");

constexpr auto kLanguageTitle = ScrambleText("Language");
constexpr auto kEnglish = ScrambleText("English");
constexpr auto kSpanish = ScrambleText("Espa\u00f1ol");
constexpr auto kFrench = ScrambleText("Fran\u00e7ais");
constexpr auto kGerman = ScrambleText("Deutsch");
constexpr auto kBrazilian = ScrambleText("Portugu\u00eas (Brasil)");
constexpr auto kItalian = ScrambleText("Italiano");
constexpr auto kOther = ScrambleText("Other (other.ini)");

std::string Utf8(const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); }

std::map<std::string, std::string, std::less<>> MakeBuiltinTexts() {
  std::map<std::string, std::string, std::less<>> texts;
  const std::string blob = Unscramble(kBuiltinTexts);
  std::size_t at = 0;
  while (at < blob.size()) {
    const std::size_t keyEnd = blob.find('\0', at);
    const std::size_t valueEnd = blob.find('\0', keyEnd + 1);
    texts.emplace(blob.substr(at, keyEnd - at), blob.substr(keyEnd + 1, valueEnd - keyEnd - 1));
    at = valueEnd + 1;
  }
  // The messages of opening, saving and importing: the core's own texts.
  const MessageTexts messages = MessageTexts::BuiltIn();
  for (const MessageTextKey& k : MessageTextKeys()) texts.emplace(k.key, messages.*(k.text));
  // The problems of the skin check: the check's own English templates.
  for (std::size_t i = 0; i < kProblemTextCount; ++i) {
    texts.emplace(ProblemTextKey(static_cast<ProblemText>(i)), BuiltInProblemTemplates()[i]);
  }
  // The captions of the colour, image and element controls are plain.
  for (const ColourControl& c : ColourControls()) texts.emplace(c.key(), c.name);
  for (const ImageControl& c : ImageControls()) texts.emplace(c.key(), c.builtinCaption());
  for (const ElementControl& c : ElementControls()) {
    if (c.key) texts.emplace(c.key, c.builtinCaption);
  }
  return texts;
}

bool StartsWith(const std::string& s, std::string_view prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

const std::map<std::string, std::string, std::less<>>& BuiltinInterfaceTexts() {
  static const auto texts = MakeBuiltinTexts();
  return texts;
}

std::string ProblemTextKey(ProblemText text) {
  std::string name(ProblemTextName(text));
  for (char& c : name) c = c == '-' || c == '.' ? '_' : static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return "LANG_PROBLEM_" + name + "$";
}

const std::array<MessageTextKey, 15>& MessageTextKeys() {
  static const std::array<MessageTextKey, 15> keys = {{
      {"LANG_FILE_NOTFOUND$", &MessageTexts::fileNotFound},
      {"LANG_FILE_UNKNOWN$", &MessageTexts::fileUnknown},
      {"LANG_FILE_NOTSAVE$", &MessageTexts::fileNotSaved},
      {"LANG_FILE_EMPTY$", &MessageTexts::pictureEmpty},
      {"LANG_FILE_DAMAGED$", &MessageTexts::cannotExtract},
      {"LANG_FILE_TOOLARGE$", &MessageTexts::tooLarge},
      {"LANG_FILE_NOREAD$", &MessageTexts::cannotRead},
      {"LANG_FILE_NOTFILE$", &MessageTexts::notAFile},
      {"LANG_FILE_SETTINGS_TOOLARGE$", &MessageTexts::settingsTooLarge},
      {"LANG_FILE_OVERBUDGET$", &MessageTexts::overBudget},
      {"LANG_FILE_NOTWHOLE$", &MessageTexts::notReplacedWhole},
      {"LANG_FILE_HALFTRANSPARENT$", &MessageTexts::halfTransparent},
      {"LANG_FILE_DISKFULL$", &MessageTexts::diskFull},
      {"LANG_FILE_LINKOUTSIDE$", &MessageTexts::linkOutside},
      {"LANG_FILE_ABANDONED$", &MessageTexts::saveAbandoned},
  }};
  return keys;
}

const std::array<LanguageEntry, 10>& LanguageMenu() {
  static const std::array<LanguageEntry, 10> menu = {{
      {0, nullptr, Unscramble(kEnglish)},
      {1, "t_chinese.ini", Utf8(u8"\u7e41\u4f53\u4e2d\u6587")},
      {2, "s_chinese.ini", Utf8(u8"\u7b80\u4f53\u4e2d\u6587")},
      {3, "spanish.ini", Unscramble(kSpanish)},
      {4, "francais.ini", Unscramble(kFrench)},
      {5, "german.ini", Unscramble(kGerman)},
      {6, "pbrasil.ini", Unscramble(kBrazilian)},
      {7, "italiano.ini", Unscramble(kItalian)},
      {9, "japanese.ini", Utf8(u8"\u65e5\u672c\u8a9e")},
      {8, "other.ini", Unscramble(kOther)},
  }};
  return menu;
}

const LanguageEntry* LanguageEntryOf(int index) {
  for (const LanguageEntry& e : LanguageMenu()) {
    if (e.index == index) return &e;
  }
  return nullptr;
}

std::string LanguageMenuTitle() { return Unscramble(kLanguageTitle); }

const std::vector<LanguageGroup>& LanguageGroups() {
  static const std::vector<LanguageGroup> groups = [] {
    std::vector<std::string> menu, panel, information, colours, images, elements;
    for (const ElementControl& c : ElementControls()) {
      if (c.key) elements.emplace_back(c.key);
    }
    // The map is sorted by key, so each group is too.
    for (const auto& [key, text] : BuiltinInterfaceTexts()) {
      if (StartsWith(key, "LANG_PANEL_")) panel.push_back(key);
      else if (StartsWith(key, "LANG_INFO_")) information.push_back(key);
      else if (StartsWith(key, "LANG_COLOR_")) colours.push_back(key);
      else if (StartsWith(key, "LANG_IMAGE_")) images.push_back(key);
      else if (std::find(elements.begin(), elements.end(), key) == elements.end()) menu.push_back(key);
    }
    return std::vector<LanguageGroup>{{"Menu", menu},         {"Panel", panel},
                                      {"Colors", colours},    {"Images", images},
                                      {"Information", information}, {"Elements", elements}};
  }();
  return groups;
}

InterfaceTexts::InterfaceTexts() { Reset(); }

void InterfaceTexts::Reset() {
  const auto& builtin = BuiltinInterfaceTexts();
  texts_ = std::map<std::string, std::string, std::less<>>(builtin.begin(), builtin.end());
}

void InterfaceTexts::ReadLanguageFile(std::string_view bytes) {
  Reset();
  const std::vector<IniGroup> ini = ParseIni(bytes);
  for (const LanguageGroup& g : LanguageGroups()) {
    for (const std::string& key : g.keys) {
      if (std::optional<std::string> v = IniValue(ini, g.name, key)) texts_[key] = std::move(*v);
    }
  }
}

std::string InterfaceTexts::Text(std::string_view key) const {
  const auto it = texts_.find(key);
  return it == texts_.end() ? std::string(key) : it->second;
}

std::string InterfaceTexts::Step(const StepText& step) const {
  if (step.key.empty()) return step.args.empty() ? std::string() : step.args.front();
  return FillArguments(Text(step.key), step.args);
}

MessageTexts InterfaceTexts::Messages() const {
  MessageTexts m = MessageTexts::BuiltIn();
  for (const MessageTextKey& k : MessageTextKeys()) m.*(k.text) = Text(k.key);
  return m;
}

ProblemTemplates InterfaceTexts::Problems() const {
  ProblemTemplates t;
  for (std::size_t i = 0; i < kProblemTextCount; ++i) t[i] = Text(ProblemTextKey(static_cast<ProblemText>(i)));
  return t;
}

std::string FillArguments(std::string_view text, const std::vector<std::string>& args) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9' &&
        std::size_t(text[i + 1] - '1') < args.size()) {
      out += args[std::size_t(text[i + 1] - '1')];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}
