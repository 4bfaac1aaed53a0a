// The colour dialog's rules, the same on both faces: a colour edited in the
// 5-bit channels of the skin format (0..31 each), as a text (#rrggbb,
// rrggbb or the file's 0xBBBB), with the system's colour chooser or a
// screen eyedropper. What is typed or chosen is kept as it is until OK: the
// chooser's 8-bit colour is not cut to 5 bits on the way (the skin does
// that when it stores it), a channel typed past 31 reads and shows as 31.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "skin/colour.h"

// A channel field's text read as a number: leading blanks skipped, an
// optional sign, then the digits up to the first other character. No digit
// gives 0; very long numbers saturate instead of overflowing.
long long ParseChannelText(std::string_view text);
// A channel's value as the fields hold it: 0..31.
int ClampChannel(long long value);

class ColourChoice {
 public:
  explicit ColourChoice(Rgb24 input);

  Rgb24 input() const { return input_; }
  Rgb24 current() const { return current_; }
  // The colour shown in the lower half of the swatch, the fields and the
  // lower code box.
  Rgb24 lastDisplayed() const { return last_; }

  // A number field's text changed (channel 0 red, 1 green, 2 blue); the
  // three texts are the fields as they read now. Returns the text the
  // changed field must show: "31" when it holds more than 31, its own text
  // otherwise (a negative number is left as typed and counts as 0).
  std::string FieldEdited(int channel, std::string_view red, std::string_view green, std::string_view blue);
  // The system chooser's colour, with its full 8-bit channels.
  void ChooserPicked(Rgb24 chosen);
  // A colour typed or pasted as text; a text that is no colour (yet)
  // changes nothing. Returns whether it was one.
  bool TextEntered(std::string_view text);
  // A screen pixel, cut to the 5-bit grid (low three bits cleared).
  void EyedropperPixel(Rgb24 pixel);

  // When the current colour differs from the one last displayed it becomes
  // the one displayed; returns whether that happened (the view repaints).
  bool Refresh();

  Rgb24 ResultOk() const { return last_; }
  Rgb24 ResultCancel() const { return input_; }

  int r5() const { return last_.r / 8; }
  int g5() const { return last_.g / 8; }
  int b5() const { return last_.b / 8; }
  // The texts of the dialog for the colour displayed: the file's code
  // ("0x7fff") and "#rrggbb".
  std::string code() const { return FormatSkinColour(last_); }
  std::string hex() const { return FormatHexColour(last_); }
  // What a channel field shows while the user types in it: its own text
  // when that already reads as the channel's value (a "-" on its way to a
  // number stays), else the value.
  std::string ChannelShown(int channel, std::string_view typed) const;

 private:
  Rgb24 input_;
  Rgb24 current_;
  Rgb24 last_;
};
