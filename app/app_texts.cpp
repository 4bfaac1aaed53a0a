#include "app/app_texts.h"

#include "assets/builtin_text.h"

namespace {

constexpr auto kNotWritten = ScrambleText(
    "Nothing was written: a screenshot is saved as .png, .bmp or .jpg (lower case). Choose one of these "
    "extensions or none.");

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

QString TitleText() { return Q(about::Title()); }
QString AboutText(int part) { return Q(about::Text(part)); }
QString AboutLinkText() { return Q(about::LinkText()); }
QString AboutLinkAddress() { return Q(about::LinkAddress()); }
QString AboutBannerAddress() { return Q(about::BannerAddress()); }
QString ScreenshotNotWrittenText() { return Q(Unscramble(kNotWritten)); }
