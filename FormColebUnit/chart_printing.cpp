#include "chart_printing.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <cmath>

#include "line_printer.h"

namespace vp {

QRect PicturePlacement(QSize picture, int dpiX, int dpiY, QSize page) {
  const double sx = dpiX / kPicturePixelsPerInch, sy = dpiY / kPicturePixelsPerInch;
  const int w = picture.width(), h = picture.height();
  const int left = static_cast<int>(std::nearbyint((page.width() - w * sx) / 2));
  const int top = static_cast<int>(std::nearbyint((page.height() - h * sy) / 2));
  const int right = static_cast<int>(std::nearbyint(w * sx + left));
  const int bottom = static_cast<int>(std::nearbyint(h * sy + top));
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void PrintPicture(QPagedPaintDevice& device, const QImage& picture) {
  QPainter painter;
  if (!painter.begin(&device)) throw PrintError("Не удалось начать печать графика. Принтер недоступен или занят.");
  const QRect target = PicturePlacement(picture.size(), device.logicalDpiX(), device.logicalDpiY(),
                                        QSize(device.width(), device.height()));
  painter.drawImage(target, picture);
  if (!painter.end()) throw PrintError("Не удалось закончить печать графика.");
}

}  // namespace vp
