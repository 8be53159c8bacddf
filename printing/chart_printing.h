#pragma once
// Printing a chart (the mode shape, the maps): the chart drawn as vectors at
// the printer's resolution, centred on one page as large as its picture at 70
// picture pixels to the inch would be, under a heading that says what it shows.
// The chart itself draws onto the page (PrintChart, window_printing.h).

#include <QImage>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;
class QPainter;
class QRectF;

namespace vp {

struct TNewFormModel;
struct TShaftModel;

inline constexpr double kPicturePixelsPerInch = 70;
inline const QSize kChartPictureSize(326, 202);  // Image1

// Where a picture of `picture` pixels lands on a page of `page` printer dots at
// the given resolution: left = round((W - w*sx)/2), top = round((H - h*sy)/2),
// right = round(w*sx + left), bottom = round(h*sy + top), sx = dpiX/70, sy = dpiY/70.
// The rectangle spans left..right-1 and top..bottom-1.
QRect PicturePlacement(QSize picture, int dpiX, int dpiY, QSize page);

// A page holding a heading of `headingHeight` dots and the picture: the
// picture where PicturePlacement puts it and the heading ending `gap` dots
// above it. A heading too tall for the room above starts at the top of the
// page and the picture follows it, made smaller only when it would not fit.
struct PictureLayout {
  int headingTop = 0;
  QRect picture;
};
PictureLayout LayOutPicturePage(QSize picture, int dpiX, int dpiY, QSize page, int headingHeight, int gap);

// What a printed mode shape is: the form's variant, frequency number and
// frequency lines, and what its second line is (Label8, in one line).
QStringList ModeShapeHeading(const TNewFormModel& form);
// What the printed frequency map is: its title and the support stiffnesses of
// every variant.
QStringList FrequencyMapHeading(const TShaftModel& model, char decimalSeparator);
// What the printed critical-speed map is: its title, the line of its range and
// the support stiffnesses of every variant.
QStringList StiffnessMapHeading(const TShaftModel& model, const QString& rangeLine, char decimalSeparator);

// One page holding the heading (its first line bold), centred across the page,
// above a picture of `picture` pixels that `draw` paints into the rectangle it
// is given, made smaller only where the page has no room for it. Throws
// PrintError when the job cannot start.
void PrintPicturePage(QPagedPaintDevice& device, const QStringList& heading, QSize picture,
                      const std::function<void(QPainter&, const QRectF&)>& draw);

}  // namespace vp
