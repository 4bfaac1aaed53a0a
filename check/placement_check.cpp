// off-screen: elements whose position puts all of them outside the screen.
#include <cstdint>
#include <optional>

#include "check/check.h"
#include "preview/canvas.h"
#include "skin/schema.h"

namespace {

// How big an element is on the screen, as far as its record or its picture
// tells.
enum class Extent {
  Fields,     // the record's own w and h
  Picture,    // the picture drawn at the element's place
  Clock,      // four digits and the colon of the big clock
  StartMenu,  // the 108-pixel menu frame, as high as form_L
  SampleIcon, // the 32 x 32 game icon of the game information
  Unknown,    // a text: no more than a screen wide or high
};

// Where the element's x and y count from: the submenus are placed from the
// start menu (and the second-level ones from the system settings submenu).
enum class Anchor { Screen, StartMenu, SystemMenu };

struct Placement {
  std::string_view section;
  Extent extent;
  ImageId picture = ImageId::active;
  Anchor anchor = Anchor::Screen;
};

// The elements with a place on the screen. [logo offset] and the item
// offsets of [start menu] are offsets, not places; [main list] and
// [setting window] have no place.
constexpr Placement kPlacements[] = {
    {kFileNameSection, Extent::Fields},
    {kGameNameSection, Extent::Unknown},
    {kFileTypeSection, Extent::Fields},
    {kMakerCodeSection, Extent::Unknown},
    {kLogoInfoSection, Extent::SampleIcon},
    {kStartButtonSection, Extent::Picture, ImageId::start_released},
    {kStartMenuSection, Extent::StartMenu},
    {kBrightnessBtnSection, Extent::Picture, ImageId::brightness},
    {kCheatCancelAllBtnSection, Extent::Picture, ImageId::cheat_clearall},
    {kRebackBtnSection, Extent::Picture, ImageId::reBack},
    {kFolderupBtnSection, Extent::Fields},
    {kCloseBtnSection, Extent::Picture, ImageId::close},
    {kHelpBtnSection, Extent::Fields},
    {kDiskIconSection, Extent::Picture, ImageId::cardFrame0},
    {kBigClockSection, Extent::Clock},
    {kCalendarYearSection, Extent::Unknown},
    {kCalendarMonthSection, Extent::Unknown},
    {kCalendarDaySection, Extent::Unknown},
    {kStartBarSection, Extent::Picture, ImageId::startbar},
    {kFolderTextSection, Extent::Fields},
    {kTimeTextSection, Extent::Fields},
    {kCheatTitleSection, Extent::Fields},
    {kCheatClearTitleSection, Extent::Fields},
    {kFileHandleMenuSection, Extent::Fields, ImageId::active, Anchor::StartMenu},
    {kBrightnessMenuSection, Extent::Fields, ImageId::active, Anchor::SystemMenu},
    {kUiTypeMenuSection, Extent::Fields, ImageId::active, Anchor::StartMenu},
    {kLanguageMenuSection, Extent::Fields, ImageId::active, Anchor::StartMenu},
    {kSysetMenuSection, Extent::Fields, ImageId::active, Anchor::StartMenu},
    {kListTypeMenuSection, Extent::Fields, ImageId::active, Anchor::SystemMenu},
};

// A number field by section and key. The schema's accessors take a mutable
// skin; they are only read here.
std::optional<std::int64_t> Number(const Skin& skin, std::string_view section, std::string_view key) {
  for (const SchemaSection& s : SkinSchema()) {
    if (s.name != section) continue;
    for (const SchemaField& f : s.fields) {
      if (f.key == key && f.kind == FieldKind::Number) return *f.number(const_cast<Skin&>(skin));
    }
  }
  return std::nullopt;
}

struct Rect {
  std::int64_t x, y, w, h;
};

Rect Bounds(const Skin& skin, const Placement& p, std::int64_t x, std::int64_t y) {
  switch (p.extent) {
    case Extent::Fields: return {x, y, Number(skin, p.section, "w").value_or(1), Number(skin, p.section, "h").value_or(1)};
    case Extent::Picture: return {x, y, skin.image(p.picture).width, skin.image(p.picture).height};
    case Extent::Clock: {
      const Picture& digits = skin.image(ImageId::clock_numbers);
      return {x, y, 4 * std::int64_t(digits.width) + skin.image(ImageId::clock_colon).width, digits.height / 10};
    }
    case Extent::StartMenu: return {x, y, 108, skin.image(ImageId::form_L).height};
    case Extent::SampleIcon: return {x, y, 32, 32};
    case Extent::Unknown: break;
  }
  return {x, y, kScreenWidth, kScreenHeight};
}

// The submenus' boxes start 107 pixels right of the start menu's x, the
// second-level ones 182 pixels right of the system settings submenu's x.
std::int64_t AnchorX(const Skin& skin, Anchor anchor) {
  switch (anchor) {
    case Anchor::Screen: return 0;
    case Anchor::StartMenu: return std::int64_t(skin.startMenu.x) + 107;
    case Anchor::SystemMenu: return std::int64_t(skin.startMenu.x) + skin.sysetMenu.x + 182;
  }
  return 0;
}

bool WhollyOutside(const Rect& r) {
  const std::int64_t w = r.w > 0 ? r.w : 1, h = r.h > 0 ? r.h : 1;
  return r.x >= kScreenWidth || r.y >= kScreenHeight || r.x + w <= 0 || r.y + h <= 0;
}

}  // namespace

std::vector<Problem> CheckPlacement(const Skin& skin) {
  std::vector<Problem> problems;
  for (const Placement& p : kPlacements) {
    // A hidden element may sit anywhere.
    if (const auto show = Number(skin, p.section, "show"); show && *show != 1) continue;
    const std::int64_t x = *Number(skin, p.section, "x"), y = *Number(skin, p.section, "y");
    if (!WhollyOutside(Bounds(skin, p, AnchorX(skin, p.anchor) + x, y))) continue;
    problems.push_back(MakeProblem(ProblemCode::OffScreen, ProblemText::OffScreen, ProblemSubject::Section(std::string(p.section)),
                                   {std::to_string(x), std::to_string(y), std::to_string(kScreenWidth),
                                    std::to_string(kScreenHeight)}));
  }
  return problems;
}
