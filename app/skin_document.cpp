#include "app/skin_document.h"

#include <algorithm>

bool SkinChange::Touches(ImageId image) const {
  return whole || std::find(pictures.begin(), pictures.end(), image) != pictures.end();
}

SkinDocument::SkinDocument() : skin_(std::make_unique<Skin>()) {
  connect(&history_, &QUndoStack::cleanChanged, this, &SkinDocument::cleanChanged);
}

SkinDocument::~SkinDocument() {
  // The history goes with the document; what it says while it goes is not shown.
  history_.disconnect();
  history_.clear();
}

void SkinDocument::Changed(const SkinEdit& edit) {
  SkinChange change;
  for (const FieldChange& f : edit.fields) change.fields.push_back(f.field);
  for (const PictureChange& p : edit.pictures) change.pictures.push_back(p.image);
  emit skinChanged(change);
}

void SkinDocument::Apply(SkinEdit edit) {
  if (edit.Unchanged()) return;
  history_.push(new SkinEditCommand(*skin_, std::move(edit), [this](const SkinEdit& e) { Changed(e); }));
  SkinEditCommand::KeepWithin(history_, undoBudget_);
}

void SkinDocument::EditNumber(const SkinField& field, int value) {
  SkinEdit edit;
  edit.name = field.Name();
  edit.mergeKey = QStringLiteral("number ") + edit.name;
  Apply(std::move(edit.Set(*skin_, field, std::int32_t(value))));
}

void SkinDocument::EditFlag(const SkinField& field, bool on) {
  SkinEdit edit;
  edit.name = field.Name();
  Apply(std::move(edit.Set(*skin_, field, std::int32_t(on ? 1 : 0))));
}

void SkinDocument::EditText(const SkinField& field, const QString& text) {
  SkinEdit edit;
  edit.name = field.Name();
  edit.mergeKey = QStringLiteral("text ") + edit.name;
  Apply(std::move(edit.Set(*skin_, field, text.toLatin1().toStdString())));
}

void SkinDocument::SetColour(const SkinField& field, Rgb24 colour) {
  SkinEdit edit;
  edit.name = field.Name();
  Apply(std::move(edit.Set(*skin_, field, colour)));
}

void SkinDocument::ReplacePictures(std::vector<std::pair<ImageId, Picture>> pictures, const QString& name) {
  SkinEdit edit;
  edit.name = name;
  for (auto& [image, picture] : pictures) edit.Replace(*skin_, image, std::move(picture));
  Apply(std::move(edit));
}

void SkinDocument::Replace(Skin skin, SkinOrigin origin, DiskSkin disk) {
  history_.clear();
  *skin_ = std::move(skin);
  disk_ = std::move(disk);
  hover_ = selection_ = {};
  const bool moved = !(origin == origin_);
  origin_ = std::move(origin);
  SkinChange change;
  change.whole = true;
  emit skinChanged(change);
  emit hoverChanged();
  emit selectionChanged();
  emit diskChanged();
  if (moved) emit originChanged();
  emit cleanChanged(true);
}

void SkinDocument::MarkSaved(SkinOrigin origin, DiskSkin disk) {
  disk_ = std::move(disk);
  const bool moved = !(origin == origin_);
  origin_ = std::move(origin);
  history_.setClean();
  emit diskChanged();
  if (moved) emit originChanged();
}

void SkinDocument::MoveOrigin(SkinOrigin origin) {
  if (origin == origin_) return;
  origin_ = std::move(origin);
  emit originChanged();
}

void SkinDocument::MarkCleanIfSameAsDisk() {
  if (SameSkin(*skin_, disk_.skin)) history_.setClean();
}

void SkinDocument::RestorePreviewBase() {
  // The pictures are copied back only when a preview changed them.
  if (picturesSaved_) {
    *skin_ = *previewBase_;
    return;
  }
  decltype(Skin::images) held;
  std::swap(skin_->images, held);
  *skin_ = *previewBase_;  // its pictures are empty
  std::swap(skin_->images, held);
}

Skin SkinDocument::CommittedSkin() const {
  if (!previewing_) return *skin_;
  // The base holds the pictures only once a preview changed them.
  Skin committed = *previewBase_;
  if (!picturesSaved_) committed.images = skin_->images;
  return committed;
}

void SkinDocument::Preview(const std::function<void(Skin&)>& change, bool pictures) {
  if (!previewing_) {
    previewing_ = true;
    previewBase_ = std::make_unique<Skin>();
    // The settings alone: the pictures are large, and most previews leave them be.
    decltype(Skin::images) held;
    std::swap(skin_->images, held);
    *previewBase_ = *skin_;
    std::swap(skin_->images, held);
  }
  if (pictures && !picturesSaved_) {
    previewBase_->images = skin_->images;
    picturesSaved_ = true;
  }
  RestorePreviewBase();
  change(*skin_);
  SkinChange whole;
  whole.whole = true;
  emit skinChanged(whole);
}

void SkinDocument::EndPreview() {
  if (!previewing_) return;
  RestorePreviewBase();
  previewing_ = picturesSaved_ = false;
  previewBase_.reset();
  SkinChange whole;
  whole.whole = true;
  emit skinChanged(whole);
}

void SkinDocument::SetHover(const PreviewTarget& target) {
  if (target == hover_) return;
  hover_ = target;
  emit hoverChanged();
}

void SkinDocument::SetSelection(const PreviewTarget& target) {
  selection_ = target;
  emit selectionChanged();
}

void SkinDocument::SetProblems(std::vector<Problem> problems) {
  problems_ = std::move(problems);
  emit problemsChanged();
}
