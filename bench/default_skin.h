// The built-in default skin, made once for the benchmarks that read it.
#pragma once

#include "images/defaults.h"

inline const Skin& BenchDefaultSkin() {
  static const Skin* skin = [] {
    auto* s = new Skin;
    ResetSkinToDefaults(*s);
    return s;
  }();
  return *skin;
}
