// What the core tells the person using it. The editor shows messages in
// modal boxes and moves its progress bar; skintool prints to stderr.
#pragma once

#include <string>

struct Feedback {
  virtual void ShowError(const std::string& body) = 0;  // one message, to be confirmed
  virtual void SetProgress(int value) = 0;              // 1..53 while opening or saving, then 0
  virtual ~Feedback() = default;
};

// The message texts, from the interface language. The defaults are the
// built-in English texts.
struct MessageTexts {
  std::string fileNotFound;     // "<path> : " + this
  std::string fileUnknown;      // "<path>: " + this
  std::string fileNotSaved;     // "<path>: " + this
  std::string settingsMissing;  // "<path> : " + this

  static MessageTexts BuiltIn();
};
