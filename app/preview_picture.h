// The preview picture inside the viewport. It keeps the rendered picture and
// paints only the part that is exposed, straight from the picture's pixels:
// at the largest zoom the picture holds ten megabytes, and converting it for
// display after every edit would cost more than drawing it.
#pragma once

#include <QImage>
#include <QWidget>

#include "skin/picture.h"

class PreviewPicture : public QWidget {
  Q_OBJECT
 public:
  explicit PreviewPicture(QWidget* parent = nullptr);

  // Takes the picture and resizes the widget to it.
  void SetPicture(Picture picture);

  // A view of the pixels shown (valid until the next SetPicture).
  const QImage& image() const { return view_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Picture picture_;
  QImage view_;
};
