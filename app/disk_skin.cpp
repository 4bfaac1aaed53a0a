#include "app/disk_skin.h"

#include <algorithm>

#include "skin/schema.h"

namespace {

// Every field of the schema, in file order.
template <typename F>
void ForEachField(F&& f) {
  for (const SchemaSection& s : SkinSchema()) {
    for (const SchemaField& field : s.fields) f(SkinField{s.name, &field});
  }
}

bool IsStamp(const SkinField& f) { return f.section == kSkinInfoSection && f.field->key == "LastUpdate"; }

}  // namespace

SkinEdit EditTowards(const Skin& from, const Skin& to, const QString& name) {
  SkinEdit edit;
  edit.name = name;
  ForEachField([&](const SkinField& f) {
    FieldValue after = ReadField(to, f);
    if (!(ReadField(from, f) == after)) edit.Set(from, f, std::move(after));
  });
  for (const CatalogueEntry& e : ImageCatalogue()) {
    if (!(from.image(e.id) == to.image(e.id))) edit.Replace(from, e.id, to.image(e.id));
  }
  return edit;
}

bool SettingsDiffer(const Skin& a, const Skin& b) {
  bool differ = false;
  ForEachField([&](const SkinField& f) { differ = differ || (!IsStamp(f) && !(ReadField(a, f) == ReadField(b, f))); });
  return differ;
}

bool SameSkin(const Skin& a, const Skin& b) {
  bool same = a.images == b.images;
  ForEachField([&](const SkinField& f) { same = same && ReadField(a, f) == ReadField(b, f); });
  return same;
}

CheckInput CheckInputOf(const DiskSkin& disk, const Skin& current) {
  CheckInput input;
  if (disk.path.isEmpty()) return input;
  for (const CatalogueEntry& e : ImageCatalogue()) {
    const auto i = static_cast<std::size_t>(e.id);
    input.replaced[i] = !(current.images[i] == disk.skin.images[i]);
  }
  // A picture given another since opening no longer suffers from its file.
  for (const Message& m : disk.messages) {
    if (!m.image || !input.replaced[static_cast<std::size_t>(*m.image)]) input.messages.push_back(m);
  }
  input.sources.push_back(disk.source);
  return input;
}

void ReplaceMessages(std::vector<Message>& messages, std::optional<ImageId> image, const std::vector<Message>& now) {
  std::erase_if(messages, [&](const Message& m) { return m.image == image; });
  for (const Message& m : now) {
    if (m.image == image) messages.push_back(m);
  }
}
