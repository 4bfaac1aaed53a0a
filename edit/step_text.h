// What the Undo menu calls a step. A step named after a field or a picture
// ("formFrameColor", "[start bar] y", "lamp") keeps that name in every
// language; the others are a text of the interface, which each face of the
// editor finds in its language table and fills in when it shows it.
#pragma once

#include <string>
#include <vector>

struct StepText {
  std::string key;                // "LANG_STEP_RECOLOR$"; empty: the step is `args[0]` itself
  std::vector<std::string> args;  // what goes in for %1, %2, ... (UTF-8)

  static StepText Named(std::string name) { return {{}, {std::move(name)}}; }
  static StepText Of(std::string key, std::vector<std::string> args = {}) { return {std::move(key), std::move(args)}; }
  friend bool operator==(const StepText&, const StepText&) = default;
};
