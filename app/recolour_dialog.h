// Recolour the whole skin: hue, saturation and lightness shifted colour by
// colour, in the pictures, the colour fields, or both. Every change of a
// slider is previewed (once per turn of the event loop, so a drag keeps up);
// OK gives the shift chosen.
#pragma once

#include <QDialog>

#include <functional>
#include <optional>

#include "images/colour_work.h"

class LanguageTable;
class QComboBox;
class QSlider;
class QSpinBox;
class QTimer;

struct RecolourChoice {
  HslShift shift;
  RecolourScope scope = RecolourScope::Everything;
  friend bool operator==(const RecolourChoice&, const RecolourChoice&) = default;
};

class RecolourDialog : public QDialog {
  Q_OBJECT
 public:
  RecolourDialog(QWidget* owner, const LanguageTable& texts);
  RecolourChoice choice() const;

 signals:
  void previewed(const RecolourChoice& choice);

 private:
  struct Row {
    QSlider* slider;
    QSpinBox* box;
  };
  Row AddRow(class QGridLayout* grid, int row, const QString& label, const char* name, int limit);
  void Changed();

  Row hue_{}, saturation_{}, lightness_{};
  QComboBox* scope_;
  QTimer* later_;
};

// Modal; the choice after OK, nothing after Cancel (or Escape, or closing).
// `preview` hears every choice shown while it is open.
std::optional<RecolourChoice> RunRecolourDialog(QWidget* owner, const LanguageTable& texts,
                                                const std::function<void(const RecolourChoice&)>& preview);
