// The commands of the File menu, and the other commands that read or write
// files: New, Open, Save (where the skin came from), Save to folder, Save to
// archive, importing one picture or a folder of them, screenshots, and the
// question before unsaved changes would be lost. Each works on the document.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

#include <optional>

#include "images/fit.h"
#include "images/skin_io.h"
#include "platform/file_io.h"
#include "skin/catalogue.h"
#include "skin/picture.h"

class SkinDocument;
class ViewState;
struct EditorContext;
struct SkinOrigin;

class FileCommands : public QObject {
  Q_OBJECT
 public:
  // `recentFile`: where the recent skins are kept; it is written whenever
  // the list changes.
  FileCommands(SkinDocument& document, ViewState& view, EditorContext& context, QString recentFile,
               QObject* parent = nullptr);

  const QStringList& recentSkins() const { return recent_; }

  void NewSkin();
  void OpenFolder();
  void OpenArchive();
  // A folder or .zip from Open Recent, the command line or a drop; asks about
  // unsaved changes first.
  void OpenSkin(const QString& path);
  // Opens without asking (the caller asked already); false when nothing of
  // it could be opened.
  bool LoadSkin(const QString& path);
  // Save writes the skin where it came from: into its folder, or its archive
  // when that holds nothing but the skin; else (the built-in skin, New, an
  // archive with other files) it is SaveAs. SaveAs asks for a folder. Both
  // return whether every file was written.
  bool Save();
  bool SaveAs();
  // A .zip to share; the skin's origin stays where Save writes, unless the
  // archive written is the very one it came from. Returns whether it was written.
  bool SaveToArchive();
  void ImportImage(ImageId image);  // opens the file chooser
  void ImportImageFile(ImageId image, const QString& path);
  // Every file of a folder named after a picture, as one undo step.
  void ImportPictureFolder();
  // The file browser's two screens, or (`shown`) those of the screen shown.
  void SaveScreenshot(bool shown = false);
  void CopyScreenshot(bool shown = false);
  // Another skin (a folder, a .zip) beside the preview, to compare with.
  void CompareWithFolder();
  void CompareWithArchive();
  void CompareWith(const QString& path);
  // Skin > Take from skin: another skin chosen as for Open (or the skin
  // compared), what is chosen of it shown live, OK one step of Undo, Cancel
  // nothing.
  void TakeFrom();
  // Asks whether to save unsaved changes; true when the caller may go on.
  bool MaybeSave();

 signals:
  void recentChanged(const QStringList& recent);

 private:
  // The file choosers of opening: a skin folder, a .zip.
  QString ChooseSkinFolder();
  QString ChooseSkinArchive();
  // Fit, Stretch or Keep for a picture whose size differs from the
  // skin's (Keep at once when it does not); nothing when cancelled.
  std::optional<FitMode> AskFit(const SourcePicture& source, ImageId image, const QString& text);
  bool SaveInto(const QString& folder);
  // Save for a skin from an archive: back into it, when it still holds
  // nothing but the skin; else Save asks for a folder.
  bool SaveBackIntoArchive();
  bool SaveArchive(const QString& path, const QString& folder, std::vector<SkinFile> files, const DateTime& now);
  // The files a save writes, LastUpdate stamped with now (given out in `when`).
  std::vector<SkinFile> StampAndEncode(DateTime* when = nullptr);
  // Saving back where the skin came from: when another program changed its
  // files since the editor read them, the user is asked first. True: go on.
  bool OverwriteChangedFiles(const QString& target);
  // Files of the save that are links out of the folder: the user is asked
  // once. Nothing when the save is called off.
  std::optional<OutsideLinks> AskOutsideLinks(const QString& folder);
  void AddRecent(const QString& path);
  // The name a save offers: beside the skin's folder or archive, never in it.
  QString ArchiveSuggestion() const;

  SkinDocument& document_;
  ViewState& view_;
  EditorContext& context_;
  QString recentFile_;
  QStringList recent_;
  QString comparePath_;  // the skin last compared with, as chosen
};
