#include "app/preview_picture.h"

#include <QPaintEvent>
#include <QPainter>

PreviewPicture::PreviewPicture(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PreviewPicture"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewPicture::SetPicture(Picture picture) {
  picture_ = std::move(picture);
  // Rgb24 is three bytes of red, green and blue: the layout of Format_RGB888.
  static_assert(sizeof(Rgb24) == 3);
  view_ = picture_.empty() ? QImage()
                           : QImage(reinterpret_cast<const uchar*>(picture_.pixels.data()), picture_.width,
                                    picture_.height, picture_.width * 3, QImage::Format_RGB888);
  resize(picture_.width, picture_.height);
  update();
}

void PreviewPicture::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  if (view_.isNull()) {
    painter.fillRect(area, Qt::black);
    return;
  }
  painter.drawImage(area.topLeft(), view_, area);
}
