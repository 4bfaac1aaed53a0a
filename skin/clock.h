// Where "now" comes from when a save stamps LastUpdate.
#pragma once

#include <string>

struct DateTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

struct Clock {
  virtual DateTime Now() const = 0;
  virtual ~Clock() = default;
};

// Local time of the computer: what the editor stamps.
class SystemClock : public Clock {
 public:
  DateTime Now() const override;
};

// For skintool, a build tool: when SOURCE_DATE_EPOCH is set, that moment (in
// UTC), so that skins made by a build can be reproduced byte for byte; else
// local time.
class SourceDateEpochClock : public Clock {
 public:
  DateTime Now() const override;
};

// The LastUpdate form: 2010/06/03-09:05:07.
std::string FormatLastUpdate(const DateTime& t);
