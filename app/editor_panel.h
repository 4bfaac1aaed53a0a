// The tab panel beside the preview: colours, images, elements, information.
// Every control is built from the tables of panel_tables.h; only the
// controls of the current preview screen are enabled.
#pragma once

#include <QTabWidget>
#include <QVector>

#include <array>

#include "skin/settings_file.h"
#include "skin/skin.h"

class EditorShell;
class LanguageTable;
class QCheckBox;
class QLineEdit;
class QSpinBox;

class EditorPanel : public QTabWidget {
  Q_OBJECT
 public:
  // Builds every control with the current texts, in the state of screen 0.
  EditorPanel(QWidget* parent, EditorShell& shell, const LanguageTable& texts);

  // Writes the skin's values into the check boxes, number fields and
  // information boxes, without reporting them as edits.
  void SyncControls(const Skin& skin);

  // Disables the controls of screen `from`, enables those of screen `to`.
  void SetScreenEnabled(int screen, bool enabled);

  // The texts of the four editable information boxes, as 8-bit text.
  TypedInfo TypedTexts() const;

  // For tests and the layout: the controls of one preview screen.
  const QVector<QWidget*>& ControlsOf(int screen) const { return screenControls_[std::size_t(screen)]; }

 private:
  QWidget* BuildColoursPage(const LanguageTable& texts);
  QWidget* BuildImagesPage(const LanguageTable& texts);
  QWidget* BuildElementsPage(const LanguageTable& texts);
  QWidget* BuildInformationPage(const LanguageTable& texts);

  EditorShell& shell_;
  std::array<QVector<QWidget*>, 14> screenControls_;
  struct BoundCheck {
    QCheckBox* box;
    std::int32_t* (*field)(Skin&);
  };
  struct BoundNumber {
    QSpinBox* box;
    std::int32_t* (*field)(Skin&);
  };
  QVector<BoundCheck> checks_;
  QVector<BoundNumber> numbers_;
  std::array<QLineEdit*, 5> info_{};
  bool syncing_ = false;
};
