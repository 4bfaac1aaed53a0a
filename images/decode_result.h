// What a decoder made of a file's bytes.
#pragma once

#include "skin/budgets.h"

struct DecodeResult {
  enum Kind {
    Ok,
    Unreadable,  // not this format, damaged, or claiming more than its bytes can hold
    TooLarge,    // a well-formed header asking for more than the picture limits
    OverBudget,  // within the limits of one picture, but more than the skin has room for
  };
  Kind kind = Unreadable;

  // True only for a picture, so a caller that needs no reason writes
  // `if (DecodePng(bytes, picture))`.
  explicit operator bool() const { return kind == Ok; }
};

// The verdict on a claimed size: over the limits of one picture is TooLarge,
// over what the skin still has room for (`allowance` pixels) OverBudget.
inline DecodeResult CheckPictureLimits(long long width, long long height, long long allowance = kMaxImagePixels) {
  if (width > kMaxImageDimension || height > kMaxImageDimension || width * height > kMaxImagePixels) {
    return {DecodeResult::TooLarge};
  }
  return {width * height > allowance ? DecodeResult::OverBudget : DecodeResult::Ok};
}

// Whether `bytes` bytes of a format whose densest coding packs at most
// `pixelsPerByte` pixels into a byte can hold a picture of `pixels` pixels.
// A file that claims more is damaged or made to make us allocate what it
// does not hold; it is refused before anything is allocated. Pictures up to
// a million pixels always pass: they cost a few megabytes whatever the file.
inline bool BytesCanHold(unsigned long long bytes, long long pixels, long long pixelsPerByte) {
  constexpr long long kAlwaysAllowed = 1LL << 20;
  return pixels <= kAlwaysAllowed || static_cast<unsigned long long>(pixels / pixelsPerByte) <= bytes;
}
