#include "edit/document.h"

#include <algorithm>

#include "skin/schema.h"
#include "skin/settings_file.h"

bool SkinChange::Touches(ImageId image) const {
  return whole || std::find(pictures.begin(), pictures.end(), image) != pictures.end();
}

bool SkinChange::Touches(const SkinField& field) const {
  return whole || std::find(fields.begin(), fields.end(), field) != fields.end();
}

Document::Document() : skin_(std::make_unique<Skin>()) {}

void Document::AddObserver(DocumentObserver* observer) { observers_.push_back(observer); }

void Document::RemoveObserver(DocumentObserver* observer) { std::erase(observers_, observer); }

void Document::Changed(const SkinEdit& edit) {
  SkinChange change;
  for (const FieldChange& f : edit.fields) change.fields.push_back(f.field);
  for (const PictureChange& p : edit.pictures) change.pictures.push_back(p.image);
  Tell([&](DocumentObserver& o) { o.SkinChanged(change); });
}

void Document::ChangedWhole() {
  SkinChange whole;
  whole.whole = true;
  Tell([&](DocumentObserver& o) { o.SkinChanged(whole); });
}

void Document::AfterHistory(bool wasClean) {
  Tell([](DocumentObserver& o) { o.HistoryChanged(); });
  const bool clean = history_.IsClean();
  if (clean != wasClean) Tell([&](DocumentObserver& o) { o.CleanChanged(clean); });
}

bool Document::Apply(Change& change) {
  EndPreview();
  return Apply(change.Make(*skin_));
}

bool Document::Apply(SkinEdit edit) {
  EndPreview();
  if (edit.Unchanged()) return false;
  const bool wasClean = history_.IsClean();
  SkinEdit touched;  // what the observers hear of: the fields and pictures, not their values
  for (const FieldChange& f : edit.fields) touched.fields.push_back({f.field, {}, {}});
  for (const PictureChange& p : edit.pictures) touched.pictures.push_back({p.image, {}, {}});
  history_.Push(*skin_, std::move(edit));
  history_.KeepWithin(undoBudget_);
  Changed(touched);
  AfterHistory(wasClean);
  return true;
}

void Document::Undo() {
  EndPreview();
  const bool wasClean = history_.IsClean();
  if (const SkinEdit* edit = history_.Undo(*skin_)) {
    Changed(*edit);
    AfterHistory(wasClean);
  }
}

void Document::Redo() {
  EndPreview();
  const bool wasClean = history_.IsClean();
  if (const SkinEdit* edit = history_.Redo(*skin_)) {
    Changed(*edit);
    AfterHistory(wasClean);
  }
}

void Document::Replace(Skin skin, SkinOrigin origin, DiskSkin disk) {
  preview_.reset();
  history_.Clear();
  *skin_ = std::move(skin);
  disk_ = std::move(disk);
  const bool moved = !(origin == origin_);
  origin_ = std::move(origin);
  Tell([](DocumentObserver& o) { o.Replaced(); });
  ChangedWhole();
  Tell([](DocumentObserver& o) { o.DiskChanged(); });
  if (moved) Tell([](DocumentObserver& o) { o.OriginChanged(); });
  Tell([](DocumentObserver& o) { o.HistoryChanged(); });
  Tell([](DocumentObserver& o) { o.CleanChanged(true); });
}

void Document::Restore(Skin skin, History history, SkinOrigin origin, DiskSkin disk, std::size_t undoBudget) {
  preview_.reset();
  const bool wasClean = history_.IsClean();
  *skin_ = std::move(skin);
  history_ = std::move(history);
  disk_ = std::move(disk);
  undoBudget_ = undoBudget;
  const bool moved = !(origin == origin_);
  origin_ = std::move(origin);
  Tell([](DocumentObserver& o) { o.Replaced(); });
  ChangedWhole();
  Tell([](DocumentObserver& o) { o.DiskChanged(); });
  if (moved) Tell([](DocumentObserver& o) { o.OriginChanged(); });
  AfterHistory(wasClean);
}

void Document::MarkSaved(SkinOrigin origin, DiskSkin disk) {
  const bool wasClean = history_.IsClean();
  disk_ = std::move(disk);
  const bool moved = !(origin == origin_);
  origin_ = std::move(origin);
  history_.SetClean();
  Tell([](DocumentObserver& o) { o.DiskChanged(); });
  if (moved) Tell([](DocumentObserver& o) { o.OriginChanged(); });
  if (!wasClean) Tell([](DocumentObserver& o) { o.CleanChanged(true); });
}

void Document::MoveOrigin(SkinOrigin origin) {
  if (origin == origin_) return;
  origin_ = std::move(origin);
  Tell([](DocumentObserver& o) { o.OriginChanged(); });
}

void Document::MarkCleanIfSameAsDisk() {
  if (history_.IsClean() || !SameSkin(CommittedSkin(), disk_.skin)) return;
  history_.SetClean();
  Tell([](DocumentObserver& o) { o.CleanChanged(true); });
}

void Document::MarkUnsaved() {
  const bool wasClean = history_.IsClean();
  history_.ResetClean();
  if (wasClean) Tell([](DocumentObserver& o) { o.CleanChanged(false); });
}

std::vector<SkinFile> Document::StampForSave(const DateTime& now) {
  EndPreview();
  std::vector<SkinFile> files = EncodeSkinFiles(*skin_, TypedInfoOf(*skin_), now);
  SkinChange change;
  change.fields.push_back(SkinFieldOf(kSkinInfoSection, "LastUpdate"));
  Tell([&](DocumentObserver& o) { o.SkinChanged(change); });
  return files;
}

void Document::ReadDiskSettings(std::string_view settings) {
  ReadSkinSettings(disk_.skin, settings);
  Tell([](DocumentObserver& o) { o.DiskChanged(); });
}

void Document::ReadDiskPicture(ImageId image, Picture picture) {
  disk_.skin.image(image) = std::move(picture);
  Tell([](DocumentObserver& o) { o.DiskChanged(); });
}

void Document::ReplaceDiskMessages(std::optional<ImageId> image, const std::vector<Message>& now) {
  ReplaceMessages(disk_.messages, image, now);
  Tell([](DocumentObserver& o) { o.DiskChanged(); });
}

void Document::ReadDiskSource(SkinSource source) {
  disk_.source = std::move(source);
  Tell([](DocumentObserver& o) { o.DiskChanged(); });
}

void Document::RestampDiskFile(std::string_view file) {
  RestampFile(disk_.stamps, file);
  Tell([](DocumentObserver& o) { o.DiskChanged(); });
}

void Document::ReadDisk(DiskSkin disk) {
  disk_ = std::move(disk);
  Tell([](DocumentObserver& o) { o.DiskChanged(); });
}

void Document::Preview(Change& change) {
  SkinChange touched;
  if (preview_) {
    preview_->Apply(*skin_, true);
    for (const FieldChange& f : preview_->fields) touched.fields.push_back(f.field);
    for (const PictureChange& p : preview_->pictures) touched.pictures.push_back(p.image);
  }
  preview_ = change.Make(*skin_);
  preview_->Apply(*skin_, false);
  for (const FieldChange& f : preview_->fields) touched.fields.push_back(f.field);
  for (const PictureChange& p : preview_->pictures) touched.pictures.push_back(p.image);
  Tell([&](DocumentObserver& o) { o.SkinChanged(touched); });
}

void Document::EndPreview() {
  if (!preview_) return;
  SkinEdit shown = std::move(*preview_);
  preview_.reset();
  shown.Apply(*skin_, true);
  Changed(shown);
}

Skin Document::CommittedSkin() const {
  Skin committed = *skin_;
  if (preview_) preview_->Apply(committed, true);
  return committed;
}

void Document::SetProblems(std::vector<Problem> problems) {
  problems_ = std::move(problems);
  Tell([](DocumentObserver& o) { o.ProblemsChanged(); });
}

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
  if (disk.path.empty()) return input;
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
