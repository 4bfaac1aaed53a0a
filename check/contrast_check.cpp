// low-contrast: a text colour that is hard to read on what it is drawn over.
//
// Which pixels a text colour draws is found by rendering each preview screen
// twice with every text colour replaced by a marker colour of its own, once
// with one set of markers and once with another: the pixels that differ are
// text, and the first render's marker says whose. Everything else is the
// same in both renders, and the same as in the real skin, because a colour
// changes only the pixels drawn in it. So the pixels around a word are read
// from the first render as they are, and compared with the skin's real text
// colour. Two renders per screen, 28 in all, whatever the number of colours.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "check/check.h"
#include "preview/canvas.h"
#include "preview/render.h"
#include "skin/schema.h"

namespace {

struct TextColour {
  std::string_view key;
  Rgb24 GlobalColours::*field;
};

#define TEXT_COLOUR(key) TextColour{#key, &GlobalColours::key}

// Every colour the preview draws text with (and with nothing else).
constexpr TextColour kTextColours[] = {
    TEXT_COLOUR(formTextColor),          TEXT_COLOUR(formTitleTextColor),
    TEXT_COLOUR(buttonTextColor),        TEXT_COLOUR(listTextColor),
    TEXT_COLOUR(listTextHighLightColor), TEXT_COLOUR(vTextColor),
    TEXT_COLOUR(vTextHighLightColor),    TEXT_COLOUR(cheatListTextColor),
    TEXT_COLOUR(cheatListTextHighLightColor), TEXT_COLOUR(popMenuTextColor),
    TEXT_COLOUR(popMenuTextHighLightColor), TEXT_COLOUR(popSubMenuTextColor),
    TEXT_COLOUR(popSubMenuTextHighLightColor), TEXT_COLOUR(spinBoxTextColor),
    TEXT_COLOUR(spinBoxTextHighLightColor), TEXT_COLOUR(romInfoTextColor),
    TEXT_COLOUR(romInfoTitleColor),      TEXT_COLOUR(gameInfoTextColor),
    TEXT_COLOUR(gameInfoTitleColor),     TEXT_COLOUR(fileNameTextColor),
    TEXT_COLOUR(cheatTitleTextColor),
};
#undef TEXT_COLOUR

constexpr std::size_t kColourCount = std::size(kTextColours);
constexpr double kLeastContrast = 1.5;
// A word needs this many pixels around it before its contrast counts: a
// letter clipped to a few pixels at a screen edge says nothing.
constexpr std::size_t kLeastRing = 8;

// Marker i in the first render and in the second: they differ, and the red
// channel names the colour.
constexpr Rgb24 MarkerA(std::size_t i) { return {static_cast<std::uint8_t>(i + 1), 1, 3}; }
constexpr Rgb24 MarkerB(std::size_t i) { return {static_cast<std::uint8_t>(i + 1), 2, 4}; }

// WCAG relative luminance of an 8-bit sRGB colour.
double Luminance(Rgb24 c) {
  static const std::array<double, 256> linear = [] {
    std::array<double, 256> t{};
    for (int v = 0; v < 256; ++v) {
      const double s = v / 255.0;
      t[std::size_t(v)] = s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    }
    return t;
  }();
  return 0.2126 * linear[c.r] + 0.7152 * linear[c.g] + 0.0722 * linear[c.b];
}

double ContrastRatio(double l1, double l2) {
  return (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05);
}

// The lowest contrast of any word of each colour on one canvas; none where
// the colour draws no word.
using CanvasResult = std::array<std::optional<double>, kColourCount>;

// Rgb24 is three bytes without padding.
static_assert(sizeof(Rgb24) == 3);
bool SamePixels(const Rgb24* a, const Rgb24* b, std::size_t count) {
  return std::memcmp(a, b, count * sizeof(Rgb24)) == 0;
}

// Finds the words of every text colour on one canvas pair at a time; its
// buffers are kept from one canvas to the next.
class CanvasAnalysis {
 public:
  explicit CanvasAnalysis(const std::array<double, kColourCount>& textLuminance) : textLuminance_(textLuminance) {}

  CanvasResult Run(const Picture& a, const Picture& b) {
    a_ = &a;
    owner_.assign(a.pixels.size(), -1);
    stamp_.resize(a.pixels.size(), 0);
    text_.clear();
    const std::size_t w = std::size_t(a.width);
    for (int y = 0; y < a.height; ++y) {
      const Rgb24* ra = a.row(y);
      const Rgb24* rb = b.row(y);
      if (SamePixels(ra, rb, w)) continue;  // most rows hold no text
      for (std::size_t x = 0; x < w; ++x) {
        if (ra[x] == rb[x]) continue;
        const std::size_t i = std::size_t(ra[x].r) - 1;
        if (i < kColourCount && ra[x] == MarkerA(i)) {
          owner_[std::size_t(y) * w + x] = static_cast<int>(i);
          text_.push_back(std::size_t(y) * w + x);
        }
      }
    }
    CanvasResult result;
    for (const std::size_t p : text_) {
      if (stamp_[p] > canvasStart_) continue;
      const int colour = owner_[p];
      if (const std::optional<double> ratio = WordContrast(p); ratio) {
        std::optional<double>& worst = result[std::size_t(colour)];
        worst = worst ? std::min(*worst, *ratio) : *ratio;
      }
    }
    canvasStart_ = words_;
    return result;
  }

 private:
  // Gathers the word that holds pixel `start` (text pixels of the same colour
  // at most two pixels apart: the letters of a word, not the next word after
  // a space), and gives the median contrast of its colour against the pixels
  // that touch it.
  std::optional<double> WordContrast(std::size_t start) {
    const int colour = owner_[start];
    const int word = ++words_;
    queue_.assign(1, start);
    stamp_[start] = word;
    ratios_.clear();
    const int w = a_->width, h = a_->height;
    for (std::size_t next = 0; next < queue_.size(); ++next) {
      const int x = static_cast<int>(queue_[next] % std::size_t(w)), y = static_cast<int>(queue_[next] / std::size_t(w));
      for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
          const std::size_t q = std::size_t(ny) * std::size_t(w) + std::size_t(nx);
          if (stamp_[q] == word) continue;
          const bool touches = dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1;
          if (owner_[q] == colour) {
            stamp_[q] = word;
            queue_.push_back(q);
          } else if (owner_[q] < 0 && touches) {
            stamp_[q] = word;
            ratios_.push_back(ContrastRatio(textLuminance_[std::size_t(colour)], Luminance(a_->pixels[q])));
          }
        }
      }
    }
    if (ratios_.size() < kLeastRing) return std::nullopt;
    const auto middle = ratios_.begin() + static_cast<std::ptrdiff_t>(ratios_.size() / 2);
    std::nth_element(ratios_.begin(), middle, ratios_.end());
    return *middle;
  }

  const std::array<double, kColourCount>& textLuminance_;
  const Picture* a_ = nullptr;
  std::vector<int> owner_;  // the text colour that drew each pixel, -1 for none
  std::vector<int> stamp_;  // the last word that visited each pixel; words only count up
  std::vector<std::size_t> text_;  // the text pixels, row by row
  std::vector<std::size_t> queue_;
  std::vector<double> ratios_;
  int words_ = 0;
  int canvasStart_ = 0;  // words up to this one belong to earlier canvases
};

void SetMarkers(Skin& probe, Rgb24 (*marker)(std::size_t)) {
  for (std::size_t i = 0; i < kColourCount; ++i) probe.colours.*kTextColours[i].field = marker(i);
}

// Most screens share one upper screen: a canvas pair met before is not
// analysed again.
struct SeenCanvas {
  Picture a, b;
  CanvasResult result;
};

CanvasResult Analyse(const Picture& a, const Picture& b, CanvasAnalysis& analysis, std::vector<SeenCanvas>& seen) {
  for (const SeenCanvas& s : seen) {
    if (SamePixels(s.a.pixels.data(), a.pixels.data(), a.pixels.size()) &&
        SamePixels(s.b.pixels.data(), b.pixels.data(), b.pixels.size())) {
      return s.result;
    }
  }
  CanvasResult result = analysis.Run(a, b);
  seen.push_back({a, b, result});
  return result;
}

std::string FormatRatio(double ratio) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", ratio);
  return text;
}

}  // namespace

std::vector<Problem> CheckContrast(const Skin& skin) {
  std::array<double, kColourCount> luminance{};
  for (std::size_t i = 0; i < kColourCount; ++i) luminance[i] = Luminance(skin.colours.*kTextColours[i].field);

  // The first screen on which each colour is hard to read, and how hard.
  std::array<std::optional<std::pair<int, double>>, kColourCount> found;
  std::vector<SeenCanvas> seenUpper;
  CanvasAnalysis analysis(luminance);
  Skin probe = skin;
  for (int screen = 0; screen < kPreviewScreenCount; ++screen) {
    SetMarkers(probe, MarkerA);
    const ScreenPair a = DrawPreviewScreens(probe, screen);
    SetMarkers(probe, MarkerB);
    const ScreenPair b = DrawPreviewScreens(probe, screen);
    const CanvasResult upper = Analyse(a.upper, b.upper, analysis, seenUpper);
    const CanvasResult lower = analysis.Run(a.lower, b.lower);
    for (std::size_t i = 0; i < kColourCount; ++i) {
      for (const std::optional<double>& r : {upper[i], lower[i]}) {
        if (r && *r < kLeastContrast && (!found[i] || found[i]->first == screen)) {
          found[i] = {screen, found[i] ? std::min(found[i]->second, *r) : *r};
        }
      }
    }
  }

  std::vector<Problem> problems;
  for (std::size_t i = 0; i < kColourCount; ++i) {
    if (!found[i]) continue;
    // The text names the screen as the editor's screen buttons number it
    // (1-14); the problem's screen stays the index that --screen takes.
    Problem p = MakeProblem(ProblemCode::LowContrast, ProblemText::LowContrast,
                            ProblemSubject::Field(kGlobalSettingsSection, std::string(kTextColours[i].key)),
                            {std::to_string(found[i]->first + 1), FormatRatio(found[i]->second), FormatRatio(kLeastContrast)});
    p.screen = found[i]->first;
    problems.push_back(std::move(p));
  }
  return problems;
}
