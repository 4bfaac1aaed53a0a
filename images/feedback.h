// What the core tells the person using it. The editor collects the messages
// of one operation into one message box and moves its progress bar; skintool
// prints them to stderr; the skin check turns them into problems.
#pragma once

#include <optional>
#include <string>

#include "skin/catalogue.h"

// The message texts, from the interface language. The defaults are the
// built-in English texts.
struct MessageTexts {
  std::string fileNotFound;     // "<path> : " + this
  std::string fileUnknown;      // "<path>: " + this
  std::string fileNotSaved;     // "<path>: " + this
  std::string settingsMissing;  // "<path> : " + this
  std::string pictureEmpty;     // "<path>: " + this (a save leaves an empty picture out)
  std::string cannotExtract;    // "<member>: " + this (damaged, encrypted or too large)
  std::string tooLarge;         // "<path>: " + this
  std::string cannotRead;       // "<path>: " + this (there, but no permission to read it)
  std::string notAFile;         // "<path>: " + this (a folder, pipe, device or socket)
  std::string settingsTooLarge; // "<path>: " + this
  std::string overBudget;       // "<path>: " + this (the skin would hold too many pixels)
  std::string notReplacedWhole; // "<path>: " + this (an archive that cannot be replaced whole)
  std::string diskFull;         // "<path>: " + this (not written: no room left)
  std::string linkOutside;      // "<path>: " + this (a link out of the skin's folder, not followed)
  std::string saveAbandoned;    // "<folder>: " + this (a save that wrote nothing after a failure)
  // "<path>: " + this, {1} the half-transparent pixels, {2} those kept
  // opaque, {3} those made the key green (a note, no failure).
  std::string halfTransparent;

  static MessageTexts BuiltIn();
};

enum class MessageKind {
  FileNotFound,
  UnknownFormat,
  NotSaved,
  SettingsMissing,
  PictureEmpty,
  CannotExtract,
  TooLarge,
  CannotRead,
  NotAFile,
  SettingsTooLarge,
  OverBudget,
  NotReplacedWhole,
  HalfTransparent,  // a note: what an import made of half-transparent pixels
  DiskFull,
  LinkOutside,
  SaveAbandoned,
};


// One thing that went wrong: what, with which file (a path, or an archive
// member's name) and, where there is one, which picture.
struct Message {
  MessageKind kind;
  std::string subject;
  std::optional<ImageId> image;
  // HalfTransparent: the half-transparent pixels and those of them kept opaque.
  long long count = 0, kept = 0;
  // A picture's file that gave nothing for an import: the picture keeps
  // what it held (opening a skin would have left it empty instead).
  bool pictureKept = false;
};

// Whether a message tells that a save did not write the skin.
bool IsSaveFailure(const Message& message);

// Whether a message tells that a skin's settings file could not be read
// (missing, too large, not a file, no permission, not extractable): then an
// open read nothing.
bool IsSettingsFailure(const Message& message);

// The text shown for a message: the subject (its control characters
// escaped, so a name cannot forge a line), the separator of its kind and the
// language's text.
std::string FormatMessage(const Message& message, const MessageTexts& texts);

struct Feedback {
  virtual void ShowError(const std::string& body) = 0;  // one message, to be confirmed
  virtual void SetProgress(int value) = 0;              // 1..53 while opening or saving, then 0
  // Every message of an operation arrives here, with its text already made;
  // by default only the text is shown.
  virtual void Report(const Message& message, const std::string& body) {
    (void)message;
    ShowError(body);
  }
  // A note that is no failure (HalfTransparent); by default not shown.
  virtual void Note(const Message& message, const std::string& body) {
    (void)message;
    (void)body;
  }
  virtual ~Feedback() = default;
};
