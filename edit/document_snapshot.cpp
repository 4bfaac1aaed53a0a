#include "edit/document_snapshot.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "skin/schema.h"

// The layout, every number little-endian, every text its 32-bit length and
// bytes:
//   "SKINSNAP", version, field count, picture count (of a skin), undo budget
//   the pictures: their count, then each one's width, height, pixel count
//     and pixels (three bytes each)
//   the skin: each field of the schema in file order (a kind byte and the
//     value), then the picture of each catalogue entry as its number in the
//     table above
//   the history: its steps (name, merge key, fields changed with their
//     values before and after, pictures changed with theirs), the steps
//     applied and the saved state
//   the origin, then the skin on disk with its raw files, messages and stamps
//   the checksum of everything before it

namespace {

constexpr std::string_view kMagic = "SKINSNAP";
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kChecksumSize = 8;
// A picture's width, height and pixel count.
constexpr std::size_t kLeastPictureBytes = 4 + 4 + 8;

// The pixels go out as they lie in memory, three bytes each.
static_assert(sizeof(Rgb24) == 3 && std::is_trivially_copyable_v<Rgb24>);

// The last kind of message there is: anything past it is no message.
constexpr auto kLastMessageKind = static_cast<std::uint32_t>(MessageKind::SaveAbandoned);

// A checksum of 64 bits, eight bytes at a time: enough to tell bytes that
// were damaged on the way, fast enough for a skin of hundreds of megabytes.
std::uint64_t Checksum(std::string_view bytes, std::uint64_t h = 0x243f6a8885a308d3ull) {
  constexpr std::uint64_t kOdd = 0x9e3779b97f4a7c15ull;
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, bytes.data() + i, 8);
    h = (h ^ w) * kOdd;
    h ^= h >> 31;
  }
  std::uint64_t last = bytes.size();
  for (std::size_t k = 0; i + k < bytes.size(); ++k) last ^= std::uint64_t(std::uint8_t(bytes[i + k])) << (8 * k + 8);
  h = (h ^ last) * kOdd;
  return h ^ (h >> 29);
}

std::string_view PixelBytes(const Picture& p) {
  return {reinterpret_cast<const char*>(p.pixels.data()), p.pixels.size() * sizeof(Rgb24)};
}

// Every field of the schema in file order: a step names a field by its
// number here.
const std::vector<SkinField>& AllFields() {
  static const std::vector<SkinField> fields = [] {
    std::vector<SkinField> all;
    for (const SchemaSection& s : SkinSchema()) {
      for (const SchemaField& f : s.fields) all.push_back({s.name, &f});
    }
    return all;
  }();
  return fields;
}

std::uint32_t FieldNumber(const SkinField& field) {
  std::uint32_t base = 0;
  for (const SchemaSection& s : SkinSchema()) {
    const SchemaField* first = s.fields.data();
    if (field.field >= first && field.field < first + s.fields.size()) {
      return base + static_cast<std::uint32_t>(field.field - first);
    }
    base += static_cast<std::uint32_t>(s.fields.size());
  }
  return UINT32_MAX;  // no field of the schema: the reader refuses it
}

class Out {
 public:
  void U8(std::uint8_t v) { bytes.push_back(static_cast<char>(v)); }
  void U32(std::uint32_t v) { Le(v, 4); }
  void U64(std::uint64_t v) { Le(v, 8); }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void I64(std::int64_t v) { U64(static_cast<std::uint64_t>(v)); }
  void Bool(bool v) { U8(v ? 1 : 0); }
  void Text(std::string_view s) {
    U32(static_cast<std::uint32_t>(s.size()));
    bytes.append(s);
  }
  std::string bytes;

 private:
  void Le(std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
  }
};

// Each distinct picture once; the document's pictures refer to it by number.
class PictureTable {
 public:
  std::uint32_t Add(const Picture& p) {
    const std::uint64_t h = Checksum(PixelBytes(p), (std::uint64_t(std::uint32_t(p.width)) << 32) ^ std::uint32_t(p.height));
    for (auto [at, end] = byHash_.equal_range(h); at != end; ++at) {
      if (*pictures_[at->second] == p) return at->second;
    }
    const auto n = static_cast<std::uint32_t>(pictures_.size());
    pictures_.push_back(&p);
    byHash_.emplace(h, n);
    return n;
  }
  std::size_t ByteSize() const {
    std::size_t size = 4;
    for (const Picture* p : pictures_) size += kLeastPictureBytes + PixelBytes(*p).size();
    return size;
  }
  void WriteTo(Out& out) const {
    out.U32(static_cast<std::uint32_t>(pictures_.size()));
    for (const Picture* p : pictures_) {
      out.I32(p->width);
      out.I32(p->height);
      out.U64(p->pixels.size());
      out.bytes.append(PixelBytes(*p));
    }
  }

 private:
  std::vector<const Picture*> pictures_;
  std::unordered_multimap<std::uint64_t, std::uint32_t> byHash_;
};

struct Writer {
  Out out;
  PictureTable table;

  void Value(const FieldValue& v) {
    out.U8(static_cast<std::uint8_t>(v.index()));
    if (const auto* n = std::get_if<std::int32_t>(&v)) {
      out.I32(*n);
    } else if (const auto* c = std::get_if<Rgb24>(&v)) {
      out.U8(c->r);
      out.U8(c->g);
      out.U8(c->b);
    } else {
      out.Text(std::get<std::string>(v));
    }
  }
  void SkinOf(const Skin& skin) {
    for (const SkinField& f : AllFields()) Value(ReadField(skin, f));
    for (const Picture& p : skin.images) out.U32(table.Add(p));
  }
  void Step(const SkinEdit& step) {
    out.Text(step.name.key);
    out.U32(static_cast<std::uint32_t>(step.name.args.size()));
    for (const std::string& a : step.name.args) out.Text(a);
    out.Text(step.mergeKey);
    out.U32(static_cast<std::uint32_t>(step.fields.size()));
    for (const FieldChange& c : step.fields) {
      out.U32(FieldNumber(c.field));
      Value(c.before);
      Value(c.after);
    }
    out.U32(static_cast<std::uint32_t>(step.pictures.size()));
    for (const PictureChange& c : step.pictures) {
      out.U32(static_cast<std::uint32_t>(c.image));
      out.U32(table.Add(c.before));
      out.U32(table.Add(c.after));
    }
  }
  void Source(const SkinSource& s) {
    out.Text(s.path);
    out.Bool(s.settingsFound);
    out.Text(s.settings);
    out.U32(static_cast<std::uint32_t>(s.files.size()));
    for (const std::string& f : s.files) out.Text(f);
    for (std::size_t i = 0; i < kImageCount; ++i) {
      out.Bool(s.pictureFound[i]);
      out.Text(s.picturePath[i]);
      out.Text(s.pictureKind[i]);
    }
  }
  void Messages(const std::vector<Message>& messages) {
    out.U32(static_cast<std::uint32_t>(messages.size()));
    for (const Message& m : messages) {
      out.U32(static_cast<std::uint32_t>(m.kind));
      out.Text(m.subject);
      out.Bool(m.image.has_value());
      out.U32(m.image ? static_cast<std::uint32_t>(*m.image) : 0);
      out.I64(m.count);
      out.I64(m.kept);
      out.Bool(m.pictureKept);
    }
  }
  void Stamps(const SkinStamps& s) {
    out.Text(s.path);
    out.Bool(s.archive);
    out.U32(static_cast<std::uint32_t>(s.files.size()));
    for (const auto& [name, stamp] : s.files) {
      out.Text(name);
      out.Bool(stamp.exists);
      out.U64(stamp.size);
      out.I64(stamp.modifiedNs);
      out.U64(stamp.inode);
      out.U64(stamp.device);
    }
  }
};

// Reads what the writer wrote, never past the end: after the first fault
// every read gives a zero and the reader stays failed.
class In {
 public:
  explicit In(std::string_view bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  bool AtEnd() const { return at_ == bytes_.size(); }
  std::size_t left() const { return bytes_.size() - at_; }
  void Fail() { ok_ = false; }

  std::string_view Take(std::uint64_t n) {
    if (!ok_ || n > left()) {
      ok_ = false;
      return {};
    }
    const std::string_view v = bytes_.substr(at_, static_cast<std::size_t>(n));
    at_ += static_cast<std::size_t>(n);
    return v;
  }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Le(1)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Le(4)); }
  std::uint64_t U64() { return Le(8); }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  std::int64_t I64() { return static_cast<std::int64_t>(U64()); }
  bool Bool() {
    const std::uint8_t v = U8();
    if (v > 1) ok_ = false;
    return ok_ && v == 1;
  }
  std::string Text() { return std::string(Take(U32())); }
  // A count of things each at least `least` bytes long: never more than
  // what is left could hold, so that nothing is allocated for a count that lies.
  std::size_t Count(std::size_t least) {
    const std::uint32_t n = U32();
    if (!ok_ || n > left() / least) {
      ok_ = false;
      return 0;
    }
    return n;
  }
  // A number below `limit`.
  std::uint32_t Below(std::uint64_t limit) {
    const std::uint32_t v = U32();
    if (v >= limit) ok_ = false;
    return ok_ ? v : 0;
  }

 private:
  std::uint64_t Le(int n) {
    const std::string_view b = Take(static_cast<std::uint64_t>(n));
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < b.size(); ++i) v |= std::uint64_t(std::uint8_t(b[i])) << (8 * i);
    return v;
  }
  std::string_view bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

// The least bytes each kind of record takes, for In::Count.
constexpr std::size_t kLeastText = 4;
constexpr std::size_t kLeastValue = 1 + 3;
constexpr std::size_t kLeastFieldChange = 4 + 2 * kLeastValue;
constexpr std::size_t kLeastPictureChange = 3 * 4;
constexpr std::size_t kLeastStep = kLeastText + 4 + kLeastText + 4 + 4;
constexpr std::size_t kLeastMessage = 4 + kLeastText + 1 + 4 + 8 + 8 + 1;
constexpr std::size_t kLeastStamp = kLeastText + 1 + 8 + 8 + 8 + 8;

struct PictureView {
  int width = 0, height = 0;
  std::string_view pixels;
  long long count() const { return static_cast<long long>(pixels.size() / sizeof(Rgb24)); }
};

// What a part of the snapshot may hold in pixels; every picture is counted
// against it before it is allocated.
struct PixelRoom {
  long long left;
  bool Take(long long pixels) {
    if (pixels > left) return false;
    left -= pixels;
    return true;
  }
};

struct Reader {
  In in;
  std::vector<PictureView> table;

  void Table() {
    const std::size_t n = in.Count(kLeastPictureBytes);
    table.reserve(n);
    for (std::size_t i = 0; i < n && in.ok(); ++i) {
      PictureView v;
      v.width = in.I32();
      v.height = in.I32();
      const std::uint64_t count = in.U64();
      const bool sized = v.width >= 0 && v.height >= 0 && v.width <= kMaxImageDimension && v.height <= kMaxImageDimension;
      // A picture's pixels are all of it, or none (a picture that could not be read).
      if (!sized || (count != 0 && count != std::uint64_t(v.width) * std::uint64_t(v.height)) ||
          count > std::uint64_t(kMaxImagePixels)) {
        in.Fail();
        return;
      }
      v.pixels = in.Take(count * sizeof(Rgb24));
      table.push_back(v);
    }
  }

  // The picture of a number in the table, counted against `allowance`
  // before its pixels are allocated.
  Picture PictureOf(PixelRoom& allowance) {
    const std::uint32_t n = in.Below(table.size());
    if (!in.ok()) return {};
    const PictureView& v = table[n];
    if (!allowance.Take(v.count())) {
      in.Fail();
      return {};
    }
    Picture p;
    p.width = v.width;
    p.height = v.height;
    p.pixels.resize(static_cast<std::size_t>(v.count()));
    if (!v.pixels.empty()) std::memcpy(p.pixels.data(), v.pixels.data(), v.pixels.size());
    return p;
  }

  // A value of a field of `kind`; another kind is refused.
  FieldValue Value(FieldKind kind) {
    const std::uint8_t index = in.U8();
    switch (kind) {
      case FieldKind::Number:
        if (index == 0) return in.I32();
        break;
      case FieldKind::Colour:
        if (index == 1) {
          Rgb24 c;
          c.r = in.U8();
          c.g = in.U8();
          c.b = in.U8();
          return c;
        }
        break;
      case FieldKind::Text:
        if (index == 2) return in.Text();
        break;
    }
    in.Fail();
    return {};
  }

  void SkinOf(Skin& skin) {
    for (const SkinField& f : AllFields()) WriteField(skin, f, Value(f.field->kind));
    PixelRoom allowance{kMaxSkinPixels};
    for (Picture& p : skin.images) p = PictureOf(allowance);
  }

  // One step; `history` is what the steps may still hold in pixels.
  SkinEdit Step(PixelRoom& history) {
    SkinEdit step;
    step.name.key = in.Text();
    const std::size_t args = in.Count(kLeastText);
    for (std::size_t i = 0; i < args && in.ok(); ++i) step.name.args.push_back(in.Text());
    step.mergeKey = in.Text();
    const std::vector<SkinField>& all = AllFields();
    std::vector<bool> seen(all.size());
    const std::size_t fields = in.Count(kLeastFieldChange);
    for (std::size_t i = 0; i < fields && in.ok(); ++i) {
      const std::uint32_t n = in.Below(all.size());
      if (seen[n]) in.Fail();  // a field changed twice in one step: no edit is made so
      seen[n] = true;
      FieldValue before = Value(all[n].field->kind);
      FieldValue after = Value(all[n].field->kind);
      step.fields.push_back({all[n], std::move(before), std::move(after)});
    }
    // What a step replaces was part of a skin, and so is what it replaces it with.
    PixelRoom before{kMaxSkinPixels}, after{kMaxSkinPixels};
    std::array<bool, kImageCount> replaced{};
    const std::size_t pictures = in.Count(kLeastPictureChange);
    for (std::size_t i = 0; i < pictures && in.ok(); ++i) {
      const std::uint32_t image = in.Below(kImageCount);
      if (replaced[image]) in.Fail();
      replaced[image] = true;
      Picture b = Counted(before, history);
      Picture a = Counted(after, history);
      step.pictures.push_back({static_cast<ImageId>(image), std::move(b), std::move(a)});
    }
    return step;
  }

  // A picture counted against both what its side of a step and what the
  // whole history may hold.
  Picture Counted(PixelRoom& side, PixelRoom& history) {
    PixelRoom both{std::min(side.left, history.left)};
    Picture p = PictureOf(both);
    const auto pixels = static_cast<long long>(p.pixels.size());
    side.left -= pixels;
    history.left -= pixels;
    return p;
  }

  void Source(SkinSource& s) {
    s.path = in.Text();
    s.settingsFound = in.Bool();
    s.settings = in.Text();
    if (s.settings.size() > kMaxSettingsFileSize) in.Fail();
    const std::size_t files = in.Count(kLeastText);
    for (std::size_t i = 0; i < files && in.ok(); ++i) s.files.push_back(in.Text());
    for (std::size_t i = 0; i < kImageCount && in.ok(); ++i) {
      s.pictureFound[i] = in.Bool();
      s.picturePath[i] = in.Text();
      s.pictureKind[i] = in.Text();
    }
  }

  void Messages(std::vector<Message>& messages) {
    const std::size_t n = in.Count(kLeastMessage);
    for (std::size_t i = 0; i < n && in.ok(); ++i) {
      Message m{};
      const std::uint32_t kind = in.U32();
      if (kind > kLastMessageKind) in.Fail();
      m.kind = static_cast<MessageKind>(kind);
      m.subject = in.Text();
      const bool hasImage = in.Bool();
      const std::uint32_t image = in.Below(hasImage ? kImageCount : 1);
      if (hasImage) m.image = static_cast<ImageId>(image);
      m.count = in.I64();
      m.kept = in.I64();
      m.pictureKept = in.Bool();
      messages.push_back(std::move(m));
    }
  }

  void Stamps(SkinStamps& s) {
    s.path = in.Text();
    s.archive = in.Bool();
    const std::size_t n = in.Count(kLeastStamp);
    for (std::size_t i = 0; i < n && in.ok(); ++i) {
      std::string name = in.Text();
      FileStamp stamp;
      stamp.exists = in.Bool();
      stamp.size = in.U64();
      stamp.modifiedNs = in.I64();
      stamp.inode = in.U64();
      stamp.device = in.U64();
      s.files.emplace_back(std::move(name), stamp);
    }
  }
};

}  // namespace

std::string SealSnapshot(std::string_view content) {
  Out out;
  out.bytes.reserve(content.size() + kChecksumSize);
  out.bytes.append(content);
  out.U64(Checksum(content));
  return std::move(out.bytes);
}

std::string SnapshotDocument(const Document& document) {
  // A copy of the skin only when a preview has to be taken out of it.
  std::optional<Skin> committed;
  if (document.previewing()) committed = document.CommittedSkin();
  const Skin& skin = committed ? *committed : document.skin();
  const History& history = document.history();
  const DiskSkin& disk = document.disk();
  // The pictures are numbered while the rest is written, and go first.
  Writer w;
  w.SkinOf(skin);
  w.out.U32(static_cast<std::uint32_t>(history.count()));
  for (int i = 0; i < history.count(); ++i) w.Step(history.step(i));
  w.out.I32(history.index());
  w.out.I32(history.cleanIndex());
  const SkinOrigin& origin = document.origin();
  w.out.U8(static_cast<std::uint8_t>(origin.kind));
  w.out.Text(origin.path);
  w.out.Text(origin.saveTarget);
  w.out.Text(disk.path);
  w.SkinOf(disk.skin);
  w.Source(disk.source);
  w.Messages(disk.messages);
  w.Stamps(disk.stamps);

  Out head;
  // Reserved whole: a string that doubles as it grows would hold twice a
  // skin's worth of pixels for a moment.
  head.bytes.reserve(kMagic.size() + 3 * 4 + 8 + w.table.ByteSize() + w.out.bytes.size() + kChecksumSize);
  head.bytes.append(kMagic);
  head.U32(kVersion);
  head.U32(static_cast<std::uint32_t>(AllFields().size()));
  head.U32(static_cast<std::uint32_t>(kImageCount));
  head.U64(document.undoBudget());
  w.table.WriteTo(head);
  head.bytes.append(w.out.bytes);
  // Sealed where it lies: a copy of a skin's worth of pixels is not free.
  head.U64(Checksum(head.bytes));
  return std::move(head.bytes);
}

bool RestoreDocument(Document& document, std::string_view bytes) {
  if (bytes.size() < kMagic.size() + kChecksumSize) return false;
  const std::string_view content = bytes.substr(0, bytes.size() - kChecksumSize);
  In sum(bytes.substr(content.size()));
  if (sum.U64() != Checksum(content)) return false;

  Reader r{In(content), {}};
  In& in = r.in;
  if (in.Take(kMagic.size()) != kMagic || in.U32() != kVersion || in.U32() != AllFields().size() ||
      in.U32() != kImageCount) {
    return false;
  }
  const std::uint64_t undoBudget = in.U64();
  if (undoBudget > kUndoPictureBudget) return false;
  r.Table();

  Skin skin;
  r.SkinOf(skin);
  std::vector<SkinEdit> steps;
  const std::size_t count = in.Count(kLeastStep);
  steps.reserve(count);
  // The document keeps the pictures of two steps or more within the undo
  // budget (only the newest step may be larger alone).
  PixelRoom history{count > 1 ? static_cast<long long>(undoBudget / sizeof(Rgb24)) : 2 * kMaxSkinPixels};
  for (std::size_t i = 0; i < count && in.ok(); ++i) steps.push_back(r.Step(history));
  const std::int32_t index = in.I32();
  const std::int32_t clean = in.I32();

  SkinOrigin origin;
  const std::uint8_t kind = in.U8();
  if (kind > static_cast<std::uint8_t>(SkinOrigin::Kind::Archive)) in.Fail();
  origin.kind = static_cast<SkinOrigin::Kind>(kind);
  origin.path = in.Text();
  origin.saveTarget = in.Text();

  DiskSkin disk;
  disk.path = in.Text();
  r.SkinOf(disk.skin);
  r.Source(disk.source);
  r.Messages(disk.messages);
  r.Stamps(disk.stamps);
  if (!in.ok() || !in.AtEnd()) return false;

  History restored;
  if (!restored.Restore(std::move(steps), index, clean)) return false;
  document.Restore(std::move(skin), std::move(restored), std::move(origin), std::move(disk),
                   static_cast<std::size_t>(undoBudget));
  return true;
}
