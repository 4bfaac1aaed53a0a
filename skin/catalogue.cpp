#include "skin/catalogue.h"

namespace {

#define ENTRY(id, file, caption, w, h) \
  CatalogueEntry { ImageId::id, #id, file, caption, w, h }
#define ICON(id, base, w, h) \
  CatalogueEntry { ImageId::id, "icon/" base, "icon/" base ".bmp", "LANG_IMAGE_" base "$", w, h }

constexpr std::array<CatalogueEntry, kImageCount> kCatalogue = {{
    ENTRY(active, "active.bmp", "LANG_IMAGE_active$", 6, 6),
    ENTRY(activehotkey, "activehotkey.bmp", "LANG_IMAGE_activehotkey$", 9, 9),
    ENTRY(brightness, "brightness.bmp", "LANG_IMAGE_brightness$", 22, 18),
    ENTRY(btn, "btn.bmp", "LANG_IMAGE_btn$", 47, 14),
    ENTRY(btn3, "btn3.bmp", "LANG_IMAGE_btn3$", 39, 14),
    ENTRY(cardFrame0, "cardFrame0.bmp", "LANG_IMAGE_cardFrame0$", 23, 18),
    ENTRY(cardFrame1, "cardFrame1.bmp", "LANG_IMAGE_cardFrame1$", 23, 18),
    ENTRY(cheat_clearall, "cheat_clearall.bmp", "LANG_IMAGE_cheat_clearall$", 16, 12),
    ENTRY(cheatbg, "cheatbg.bmp", "LANG_IMAGE_cheatbg$", 256, 192),
    ENTRY(cheatmenubtn, "cheatmenubtn.bmp", "LANG_IMAGE_cheatmenubtn$", 70, 14),
    ENTRY(cheatselectbar, "cheatselectbar.bmp", "LANG_IMAGE_cheatselectbar$", 203, 1),
    ENTRY(clock_colon, "clock_colon.bmp", "LANG_IMAGE_clock_colon$", 10, 31),
    ENTRY(clock_numbers, "clock_numbers.bmp", "LANG_IMAGE_clock_numbers$", 24, 310),
    ENTRY(close, "close.bmp", "LANG_IMAGE_close$", 13, 12),
    ENTRY(close1, "close1.bmp", "LANG_IMAGE_close1$", 20, 13),
    ENTRY(fathernode, "fathernode.bmp", "LANG_IMAGE_fathernode$", 11, 10),
    ENTRY(form_L, "form_L.bmp", "LANG_IMAGE_form_L$", 28, 116),
    ENTRY(form_M, "form_M.bmp", "LANG_IMAGE_form_M$", 3, 116),
    ENTRY(form_R, "form_R.bmp", "LANG_IMAGE_form_R$", 36, 116),
    ENTRY(hotkeybk, "hotkeybk.bmp", "LANG_IMAGE_hotkeybk$", 198, 127),
    ENTRY(lamp, "lamp.bmp", "LANG_IMAGE_lamp$", 22, 38),
    ENTRY(lower_screen, "lower_screen.bmp", "LANG_IMAGE_lower_screen$", 256, 192),
    ENTRY(noactivehotke, "noactivehotke.bmp", "", 9, 9),
    ENTRY(onehotdown, "onehotdown.bmp", "LANG_IMAGE_onehotdown$", 11, 10),
    ENTRY(onehoton, "onehoton.bmp", "LANG_IMAGE_onehoton$", 11, 10),
    ENTRY(pitchdown, "pitchdown.bmp", "LANG_IMAGE_pitchdown$", 11, 10),
    ENTRY(pitchon, "pitchon.bmp", "LANG_IMAGE_pitchon$", 11, 10),
    ENTRY(popsubbar, "popsubbar.bmp", "LANG_IMAGE_popsubbar$", 1, 12),
    ENTRY(progress_bar, "progress_bar.bmp", "", 102, 12),
    ENTRY(progress_wnd, "progress_wnd.bmp", "", 198, 93),
    ENTRY(reBack, "reBack.bmp", "LANG_IMAGE_reBack$", 23, 18),
    ENTRY(selectbar, "selectbar.bmp", "LANG_IMAGE_selectbar$", 256, 42),
    ENTRY(settingbg, "settingbg.bmp", "LANG_IMAGE_settingbg$", 198, 104),
    ENTRY(spin_btn_left, "spin_btn_left.bmp", "LANG_IMAGE_spin_btn_left$", 8, 14),
    ENTRY(spin_btn_right, "spin_btn_right.bmp", "LANG_IMAGE_spin_btn_right$", 8, 14),
    ENTRY(start_released, "start_released.bmp", "LANG_IMAGE_start_released$", 58, 20),
    ENTRY(startbar, "startbar.bmp", "LANG_IMAGE_startbar$", 256, 20),
    ENTRY(title_bg, "title_bg.bmp", "LANG_IMAGE_title_bg$", 2, 16),
    ENTRY(title_left, "title_left.bmp", "LANG_IMAGE_title_left$", 56, 16),
    ENTRY(title_right, "title_right.bmp", "LANG_IMAGE_title_right$", 56, 16),
    ENTRY(triangle, "triangle.bmp", "LANG_IMAGE_triangle$", 14, 16),
    ENTRY(upper_screen, "upper_screen.bmp", "LANG_IMAGE_upper_screen$", 256, 192),
    ICON(icon_cheat, "cheat", 15, 16),
    ICON(icon_dpg, "dpg", 33, 32),
    ICON(icon_gba, "gba", 32, 32),
    ICON(icon_nds, "nds", 32, 32),
    ICON(icon_plg, "plg", 32, 32),
    ICON(icon_pth, "pth", 32, 32),
    ICON(icon_realtime, "realtime", 17, 14),
    ICON(icon_rpth, "rpth", 32, 32),
    ICON(icon_sav, "sav", 32, 32),
    ICON(icon_txt, "txt", 33, 32),
    ICON(icon_unk, "unk", 8, 14),
}};

#undef ENTRY
#undef ICON

constexpr bool CatalogueInOrder() {
  for (std::size_t i = 0; i < kCatalogue.size(); ++i) {
    if (static_cast<std::size_t>(kCatalogue[i].id) != i) return false;
  }
  return true;
}
static_assert(CatalogueInOrder(), "catalogue entries must follow the ImageId order");

}  // namespace

const std::array<CatalogueEntry, kImageCount>& ImageCatalogue() { return kCatalogue; }

const CatalogueEntry& CatalogueEntryOf(ImageId id) { return kCatalogue[static_cast<std::size_t>(id)]; }

std::optional<ImageId> FindImage(std::string_view name) {
  for (const CatalogueEntry& e : kCatalogue) {
    if (e.name == name) return e.id;
  }
  return std::nullopt;
}
