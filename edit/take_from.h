// Take from skin: colours, pictures, positions or information texts of a
// second skin carried into the one being edited, as one step. A designer
// takes the pictures of one skin with the colours of another, or carries a
// layout onto a new set of pictures. Both faces and skintool take from
// here, so that the same choice gives the same skin everywhere.
//
// What each group covers, by the schema's kinds of field (skin/schema.h) and
// the catalogue of pictures (skin/catalogue.h):
//
//   group      covers                                          an item, named
//   colours    every colour field: [global settings] and the   "formFrameColor",
//              colours of element records                       "[main list] textColor"
//   pictures   the 53 pictures, in the order and by the screens "startbar", "icon/nds"
//              of the Images tab (those it has no button for
//              last)
//   positions  the numbers and flags of each element record    "[start bar]"
//   info       the information texts; LastUpdate is stamped    "Title"
//              by a save and never taken
//
// A choice is written as skintool's --take-from takes it: groups separated
// by ';' or ',' ("colours;positions"), or a group and some of its items
// ("pictures=startbar,icon/nds"), several parts separated by ';'.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "edit/changes.h"
#include "images/skin_io.h"
#include "skin/budgets.h"

enum class TakeGroup { Colours, Pictures, Positions, Info };
inline constexpr std::size_t kTakeGroupCount = 4;

struct TakeGroupEntry {
  TakeGroup group;
  const char* name;     // "colours": as skintool and the engine name it
  const char* textKey;  // its caption in the dialog (LANG_TAKE_COLORS$)
};
// The four groups, in the order the dialog shows them.
const std::array<TakeGroupEntry, kTakeGroupCount>& TakeGroups();
const TakeGroupEntry& TakeGroupOf(TakeGroup group);
std::optional<TakeGroup> FindTakeGroup(std::string_view name);

// One thing that can be taken: a colour field, a picture, the numbers and
// flags of one element record, or one information text.
struct TakeItem {
  TakeGroup group;
  std::string name;               // as the table above names it
  std::vector<SkinField> fields;  // colours, info: one; positions: the record's numbers
  std::optional<ImageId> picture;  // pictures
  int screen = -1;                 // pictures: the screen of its Images tab button; -1 none
};
// Every item, group by group in the order of TakeGroups().
const std::vector<TakeItem>& TakeItems();
const TakeItem* FindTakeItem(TakeGroup group, std::string_view name);

// Which items are chosen.
class TakeChoice {
 public:
  TakeChoice();
  static TakeChoice All();
  void Choose(TakeGroup group, bool on = true);
  void Choose(const TakeItem& item, bool on = true);
  bool Chosen(const TakeItem& item) const;
  bool Empty() const;
  friend bool operator==(const TakeChoice&, const TakeChoice&) = default;

 private:
  std::vector<bool> chosen_;  // by index into TakeItems()
};

// A choice as text (see above); nothing, and `error` says why, when it
// names a group or an item that does not exist, or nothing at all.
std::optional<TakeChoice> ParseTakeChoice(std::string_view text, std::string& error);
// The choice as text that ParseTakeChoice reads back: whole groups by name,
// else the group's chosen items.
std::string FormatTakeChoice(const TakeChoice& choice);

// How a picture of the other skin came out of reading it.
enum class TakePictureState { Read, Missing, Unreadable };

// Another skin, read for taking from: opened over the built-in skin, as a
// comparison opens it, never over the skin being edited.
struct TakeSource {
  std::string name;  // "Sunset": the Undo menu names the step after it
  Skin skin;
  std::array<TakePictureState, kImageCount> pictures{};
  std::vector<Message> messages;  // of reading it, about its pictures

  TakePictureState state(ImageId id) const { return pictures[static_cast<std::size_t>(id)]; }
  bool Has(ImageId id) const { return state(id) == TakePictureState::Read; }
};

// The skin at `path` (a folder, or an archive), read for taking from.
// Nothing when its settings could not be read: that is reported to ctx's
// feedback; the messages about its pictures are kept in the source instead,
// for the face to show beside them (TakeMessages for those chosen).
std::optional<TakeSource> ReadTakeSource(const std::string& path, bool archive, SkinIoContext& ctx);

// What a skin at `path` is called: its folder's name, or its archive's
// without ".zip".
std::string SkinNameOfPath(std::string_view path);

// The pictures `choice` asks for that `source` lacks or could not read.
std::vector<ImageId> PicturesNotTaken(const TakeSource& source, const TakeChoice& choice);
// The pictures `choice` asks for that would take the pictures of `current`
// past `budget` pixels together, and so are left as they are (as an import
// leaves them): those that make the skin smaller are counted first, then the
// others in the order of TakeItems() while they fit.
std::vector<ImageId> PicturesOverBudget(const TakeSource& source, const TakeChoice& choice, const Skin& current,
                                        long long budget = kMaxSkinPixels);
// Why pictures `choice` asks for are not taken into `current`: the messages
// of reading `source` about those it lacks or could not read, then one
// OverBudget message (named after the picture) for each PicturesOverBudget.
std::vector<Message> TakeMessages(const TakeSource& source, const TakeChoice& choice, const Skin& current,
                                  long long budget = kMaxSkinPixels);

// The chosen items of `source` taken into the skin, as one step named "take
// from NAME". Only what differs goes into the step; pictures the source
// lacks or could not read, and those over the skin's pixel budget, are left
// as they are. `source` must outlive the change.
class TakeFromSkin final : public Change {
 public:
  TakeFromSkin(const TakeSource& source, TakeChoice choice, long long budget = kMaxSkinPixels)
      : source_(source), choice_(std::move(choice)), budget_(budget) {}
  SkinEdit Make(const Skin& skin) override;

 private:
  const TakeSource& source_;
  TakeChoice choice_;
  long long budget_;
};

// What `source` holds, for a face to offer: {"name", "groups": [{"group",
// "text", "items": [{"name", "differs", ...}]}], "missing": [picture],
// "unreadable": [picture]}. Colour and info items carry "section", "key",
// "value" and "current"; pictures "state" ("read", "missing",
// "unreadable"), "screen", "width" and "height"; positions "section" and
// "fields" [{"key", "value", "current"}]. "differs": taking it would change
// the skin `current`.
std::string TakeSourceJson(const TakeSource& source, const Skin& current);
