#include "chart_printing.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "line_printer.h"
#include "mode_shape_form_model.h"
#include "numtext.h"
#include "shaft_model.h"

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

PictureLayout LayOutPicturePage(QSize picture, int dpiX, int dpiY, QSize page, int headingHeight, int gap) {
  PictureLayout layout;
  layout.picture = PicturePlacement(picture, dpiX, dpiY, page);
  if (headingHeight <= 0) return layout;
  layout.headingTop = layout.picture.top() - gap - headingHeight;
  if (layout.headingTop >= 0) return layout;
  layout.headingTop = 0;
  QRect& r = layout.picture;
  const int top = headingHeight + gap;
  const int room = std::max(1, page.height() - top);
  if (r.height() > room) {
    // Smaller by the same factor across and down, centred across the page.
    const int width = std::max(1, static_cast<int>(std::lround(r.width() * static_cast<double>(room) / r.height())));
    r = QRect((page.width() - width) / 2, top, width, room);
  } else {
    r.moveTop(top);
  }
  return layout;
}

QStringList ModeShapeHeading(const TNewFormModel& form) {
  QStringList heading{"Форма колебаний",
                      QString::fromStdString(form.Label2 + "     " + form.Label3 + "     " + form.Label7)};
  // What the second line is, in one line.
  if (!form.Label8.empty()) {
    QString line = QString::fromStdString(form.Label8);
    line.replace(":\n", ": ").replace('\n', "; ").replace("; (", " (");
    heading << line;
  }
  return heading;
}

namespace {

QStringList VariantStiffnessLines(const TShaftModel& model, char decimalSeparator) {
  QStringList lines;
  for (int v = 1; v <= model.KW; ++v) {
    std::string line = "Вариант по жесткости N " + std::to_string(v) + ":  жесткости опор ";
    for (int s = 1; s <= model.N; ++s)
      line += (s > 1 ? "; " : "") + GeneralFormat(model.SupportStiffness[s][v], decimalSeparator);
    lines << QString::fromStdString(line);
  }
  return lines;
}

}  // namespace

QStringList FrequencyMapHeading(const TShaftModel& model, char decimalSeparator) {
  return QStringList{"Карта частот по вариантам жесткости опор"} + VariantStiffnessLines(model, decimalSeparator);
}

QStringList StiffnessMapHeading(const TShaftModel& model, const QString& rangeLine, char decimalSeparator) {
  return QStringList{"Карта критических скоростей", rangeLine} + VariantStiffnessLines(model, decimalSeparator);
}

void PrintPicturePage(QPagedPaintDevice& device, const QStringList& heading, QSize picture,
                      const std::function<void(QPainter&, const QRectF&)>& draw) {
  QPainter painter;
  if (!painter.begin(&device)) throw PrintError("Не удалось начать печать графика. Принтер недоступен или занят.");
  const QFont body = painter.font();
  QFont title = body;
  title.setBold(true);
  title.setPointSizeF(body.pointSizeF() * 1.25);
  const QSize page(device.width(), device.height());
  // Each line centred across the page; one too long goes on in the next.
  constexpr int kFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
  auto fontOf = [&](int line) { return line == 0 ? title : body; };
  auto heightOf = [&](int line) {
    return QFontMetrics(fontOf(line), &device).boundingRect(QRect(0, 0, page.width(), page.height()), kFlags, heading[line]).height();
  };
  int headingHeight = 0;
  for (int i = 0; i < heading.size(); ++i) headingHeight += heightOf(i);
  const int gap = QFontMetrics(body, &device).lineSpacing();
  // Smaller, its shape kept, where the page has no room for it beside the heading.
  const double sx = device.logicalDpiX() / kPicturePixelsPerInch, sy = device.logicalDpiY() / kPicturePixelsPerInch;
  const double fit = std::min({1.0, page.width() / (picture.width() * sx),
                               (page.height() - headingHeight - gap) / (picture.height() * sy)});
  if (fit < 1) picture = QSize(static_cast<int>(picture.width() * fit), static_cast<int>(picture.height() * fit));
  const PictureLayout layout =
      LayOutPicturePage(picture, device.logicalDpiX(), device.logicalDpiY(), page, headingHeight, gap);
  int y = layout.headingTop;
  for (int i = 0; i < heading.size(); ++i) {
    painter.setFont(fontOf(i));
    const int height = heightOf(i);
    painter.drawText(QRect(0, y, page.width(), height), kFlags, heading[i]);
    y += height;
  }
  draw(painter, QRectF(layout.picture));
  if (!painter.end()) throw PrintError("Не удалось закончить печать графика.");
}

}  // namespace vp
