// Writing a .zip: the platform's archive code (platform/native/zip_writer.cpp
// over minizip). Which members, their names, dates and flags are the
// caller's (images/archive_writer.h); this only codes them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ZipMember {
  std::string name;  // with "/" between folders
  std::string_view bytes;
  // The date it is stamped with, within what a .zip can hold (1980 to 2107).
  int year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  bool utf8Name = false;  // the name is marked as UTF-8 (general purpose bit 11)
};

// The bytes of a .zip holding `members` in the order given, each deflated at
// the default level, without zip64 fields or data descriptors: the plainest
// entries every unzip reads, and the same bytes for the same members. Empty
// when it could not be made.
std::string EncodeZip(const std::vector<ZipMember>& members);
