// The 53 pictures of a skin, in the order in which they are opened, saved
// and counted by the progress bar.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

enum class ImageId : int {
  active, activehotkey, brightness, btn, btn3, cardFrame0, cardFrame1, cheat_clearall, cheatbg,
  cheatmenubtn, cheatselectbar, clock_colon, clock_numbers, close, close1, fathernode, form_L,
  form_M, form_R, hotkeybk, lamp, lower_screen, noactivehotke, onehotdown, onehoton, pitchdown,
  pitchon, popsubbar, progress_bar, progress_wnd, reBack, selectbar, settingbg, spin_btn_left,
  spin_btn_right, start_released, startbar, title_bg, title_left, title_right, triangle,
  upper_screen, icon_cheat, icon_dpg, icon_gba, icon_nds, icon_plg, icon_pth, icon_realtime,
  icon_rpth, icon_sav, icon_txt, icon_unk,
};

inline constexpr std::size_t kImageCount = 53;

struct CatalogueEntry {
  ImageId id;
  std::string_view name;        // "lamp", "icon/nds"
  std::string_view file;        // path inside a skin folder: "lamp.bmp", "icon/nds.bmp"
  std::string_view captionKey;  // language key of its button, empty when it has none
  int builtinWidth, builtinHeight;

  // The name without its folder: "nds" for icon/nds.
  std::string_view baseName() const {
    const auto slash = name.rfind('/');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
  }
};

const std::array<CatalogueEntry, kImageCount>& ImageCatalogue();
const CatalogueEntry& CatalogueEntryOf(ImageId id);
std::optional<ImageId> FindImage(std::string_view name);
