// What a skin archive is on every platform: its name rules, the limit of one
// member and the budget of one open.
#include "platform/archive.h"

#include <algorithm>

#include "skin/ascii.h"

namespace {

char Fold(char c) { return c == '/' ? '\\' : AsciiLower(c); }

}  // namespace

bool SameArchiveName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

std::string ArchiveEntryName(std::string_view stored) {
  std::string name(stored.substr(0, stored.find('\0')));
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

std::optional<std::size_t> SkinArchive::Find(std::string_view name) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (SameArchiveName(entries_[i].name, name)) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> SkinArchive::FindSettings() const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::string_view name = entries_[i].name;
    if (EqualsIgnoringAsciiCase(name.substr(name.rfind('\\') + 1), "uisettings.ini")) return i;
  }
  return std::nullopt;
}

std::string SkinRootOf(std::string_view settingsEntry) {
  return std::string(settingsEntry.substr(0, settingsEntry.rfind('\\') + 1));
}

std::string SkinMemberName(std::string_view root, std::string_view file) {
  std::string member(root);
  for (char c : file) member += c == '/' ? '\\' : c;
  return member;
}

ExtractStatus SkinArchive::Extract(std::size_t index, std::string& out) {
  if (index >= entries_.size()) return ExtractStatus::Damaged;
  const Entry& e = entries_[index];
  if (e.uncompressedSize > kMaxArchiveMemberSize) return ExtractStatus::TooLarge;
  return Take(index, static_cast<std::size_t>(e.uncompressedSize), true, out);
}

ExtractStatus SkinArchive::ExtractHead(std::size_t index, std::size_t count, std::string& out) {
  if (index >= entries_.size()) return ExtractStatus::Damaged;
  return Take(index, static_cast<std::size_t>(std::min<std::uint64_t>(count, entries_[index].uncompressedSize)), false,
              out);
}

ExtractStatus SkinArchive::Take(std::size_t index, std::size_t count, bool whole, std::string& out) {
  if (entries_[index].encrypted) return ExtractStatus::Encrypted;
  // What an open inflates is counted by the sizes entries record: a member
  // cannot inflate past its own (reading stops there), so the sum of the
  // records bounds the work.
  if (count > inflateLeft_) return ExtractStatus::OverBudget;
  inflateLeft_ -= count;
  return Inflate(index, count, whole, out);
}
