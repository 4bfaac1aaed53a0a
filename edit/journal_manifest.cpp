#include "edit/journal_manifest.h"

#include <array>
#include <cstdio>

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kHeader = "[journal]";
constexpr std::string_view kKindNames[] = {"built-in", "folder", "archive"};
constexpr long long kMaxPid = 2147483647;  // a process id is a positive 32-bit number

std::string Quoted(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (b < 0x20 || b == 0x7F) {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += c;  // other bytes as they are: a path is bytes, not always UTF-8
    }
  }
  return out + "\"";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A quoted text as Quoted writes it; nothing for anything else.
std::optional<std::string> Unquoted(std::string_view v) {
  if (v.size() < 2 || v.front() != '"' || v.back() != '"') return std::nullopt;
  v = v.substr(1, v.size() - 2);
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const auto b = static_cast<unsigned char>(v[i]);
    if (b < 0x20 || b == 0x7F || v[i] == '"') return std::nullopt;  // never written raw
    if (v[i] != '\\') {
      out += v[i];
      continue;
    }
    if (++i == v.size()) return std::nullopt;
    switch (v[i]) {
      case '\\':
      case '"': out += v[i]; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 'x': {
        const int hi = i + 2 < v.size() ? HexDigit(v[i + 1]) : -1, lo = i + 2 < v.size() ? HexDigit(v[i + 2]) : -1;
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  return out;
}

// Plain decimal digits, at most `max`.
std::optional<long long> Number(std::string_view v, long long max) {
  if (v.empty() || v.size() > 18) return std::nullopt;
  long long n = 0;
  for (const char c : v) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n > max) return std::nullopt;
  return n;
}

std::string FormatTime(const DateTime& t) {
  char out[32];
  std::snprintf(out, sizeof out, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return out;
}

// "2026-12-07T22:18:49Z", as FormatTime writes it, with every field in range.
std::optional<DateTime> ParseTime(std::string_view v) {
  if (v.size() != 20 || v[4] != '-' || v[7] != '-' || v[10] != 'T' || v[13] != ':' || v[16] != ':' || v[19] != 'Z') {
    return std::nullopt;
  }
  const auto field = [&](std::size_t at, std::size_t n, long long lo, long long hi) -> std::optional<int> {
    const std::optional<long long> x = Number(v.substr(at, n), hi);
    if (!x || *x < lo) return std::nullopt;
    return static_cast<int>(*x);
  };
  const auto y = field(0, 4, 1970, 9999), mo = field(5, 2, 1, 12), d = field(8, 2, 1, 31), h = field(11, 2, 0, 23),
             mi = field(14, 2, 0, 59), s = field(17, 2, 0, 60);
  if (!y || !mo || !d || !h || !mi || !s) return std::nullopt;
  return DateTime{*y, *mo, *d, *h, *mi, *s};
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

enum Key { kPid, kStarted, kTime, kKind, kOrigin, kSaveTarget, kLastUpdate, kFormat, kKeyCount };
constexpr std::array<std::string_view, kKeyCount> kKeys = {"pid",        "started",    "time",  "kind",
                                                           "origin",     "saveTarget", "lastUpdate", "format"};

bool HasControl(std::string_view s) {
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) return true;
  }
  return false;
}

// What the values say must hold together.
bool Consistent(const JournalManifest& m) {
  if (m.origin.find('\0') != std::string::npos || m.saveTarget.find('\0') != std::string::npos) return false;
  if (m.kind == JournalManifest::Kind::BuiltIn) {
    if (!m.origin.empty()) return false;
  } else if (m.origin.empty() || m.origin.front() != '/') {
    return false;
  }
  if (!m.saveTarget.empty() && m.saveTarget != m.origin) return false;
  return m.lastUpdate.size() <= 255 && !HasControl(m.lastUpdate);
}

}  // namespace

std::string FormatJournalManifest(const JournalManifest& m) {
  std::string out(kBom);
  const auto line = [&](std::string_view key, std::string_view value) {
    out.append(key).append(" = ").append(value).append("\r\n");
  };
  out.append(kHeader).append("\r\n");
  line("format", "2");
  line("pid", std::to_string(m.pid));
  line("started", std::to_string(m.started));
  line("time", FormatTime(m.time));
  line("kind", kKindNames[static_cast<std::size_t>(m.kind)]);
  line("origin", Quoted(m.origin));
  line("saveTarget", Quoted(m.saveTarget));
  line("lastUpdate", Quoted(m.lastUpdate));
  return out;
}

std::optional<JournalManifest> ParseJournalManifest(std::string_view bytes) {
  if (bytes.size() > kMaxManifestSize) return std::nullopt;
  if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());
  std::array<std::optional<std::string_view>, kKeyCount> values;
  bool header = false;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    line = Trimmed(line);
    if (line.empty() || line.front() == ';') continue;
    if (!header) {
      if (line != kHeader) return std::nullopt;
      header = true;
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view key = Trimmed(line.substr(0, eq));
    std::size_t k = 0;
    while (k < kKeyCount && kKeys[k] != key) ++k;
    if (k == kKeyCount || values[k]) return std::nullopt;  // unknown, or said twice
    values[k] = Trimmed(line.substr(eq + 1));
  }
  if (!header) return std::nullopt;
  for (const Key k : {kPid, kTime, kKind, kOrigin, kSaveTarget}) {
    if (!values[k]) return std::nullopt;
  }
  // Texts are quoted from the second format on; earlier manifests wrote them
  // raw (and lost blanks at their ends).
  const bool quoted = values[kFormat].has_value();
  if (quoted && *values[kFormat] != "2") return std::nullopt;
  const auto text = [&](Key k) -> std::optional<std::string> {
    if (!values[k]) return std::string();
    if (quoted) return Unquoted(*values[k]);
    return std::string(*values[k]);
  };
  JournalManifest m;
  const std::optional<long long> pid = Number(*values[kPid], kMaxPid);
  const std::optional<long long> started = values[kStarted] ? Number(*values[kStarted], 1LL << 62) : 0LL;
  const std::optional<DateTime> time = ParseTime(*values[kTime]);
  std::size_t kind = 0;
  while (kind < std::size(kKindNames) && kKindNames[kind] != *values[kKind]) ++kind;
  std::optional<std::string> origin = text(kOrigin), saveTarget = text(kSaveTarget), lastUpdate = text(kLastUpdate);
  if (!pid || *pid == 0 || !started || !time || kind == std::size(kKindNames) || !origin || !saveTarget ||
      !lastUpdate) {
    return std::nullopt;
  }
  m.pid = *pid;
  m.started = *started;
  m.time = *time;
  m.kind = static_cast<JournalManifest::Kind>(kind);
  m.origin = std::move(*origin);
  m.saveTarget = std::move(*saveTarget);
  m.lastUpdate = std::move(*lastUpdate);
  if (!Consistent(m)) return std::nullopt;
  return m;
}
