#include "skin/clock.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

DateTime FromTm(const std::tm& tm) {
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace

DateTime SystemClock::Now() const {
  std::tm tm{};
  const std::time_t t = std::time(nullptr);
  localtime_r(&t, &tm);
  return FromTm(tm);
}

DateTime SourceDateEpochClock::Now() const {
  std::tm tm{};
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
    char* end = nullptr;
    errno = 0;
    const long long seconds = std::strtoll(epoch, &end, 10);
    if (errno == 0 && end && *end == '\0') {
      const std::time_t t = static_cast<std::time_t>(seconds);
      if (gmtime_r(&t, &tm)) return FromTm(tm);
    }
  }
  return SystemClock().Now();
}

std::string FormatLastUpdate(const DateTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d-%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return buf;
}
