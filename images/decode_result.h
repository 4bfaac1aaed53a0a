// What a decoder made of a file's bytes.
#pragma once

#include "images/picture_limits.h"

struct DecodeResult {
  enum Kind {
    Ok,
    Unreadable,  // not this format, damaged, or claiming more than its bytes can hold
    TooLarge,    // a well-formed header asking for more than the picture limits
  };
  Kind kind = Unreadable;

  // True only for a picture, so a caller that needs no reason writes
  // `if (DecodePng(bytes, picture))`.
  explicit operator bool() const { return kind == Ok; }
};

// The verdict on a claimed size: over the limits is TooLarge, otherwise Ok.
inline DecodeResult CheckPictureLimits(long long width, long long height) {
  const bool over = width > kMaxImageDimension || height > kMaxImageDimension || width * height > kMaxImagePixels;
  return {over ? DecodeResult::TooLarge : DecodeResult::Ok};
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
