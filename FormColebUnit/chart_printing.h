#pragma once
// Printing the mode-shape chart: the picture centred on one page at 70 picture
// pixels to the inch.

#include <QImage>
#include <QRect>
#include <QSize>

class QPagedPaintDevice;

namespace vp {

inline constexpr double kPicturePixelsPerInch = 70;
inline const QSize kChartPictureSize(326, 202);  // Image1

// Where a picture of `picture` pixels lands on a page of `page` printer dots at
// the given resolution: left = round((W - w*sx)/2), top = round((H - h*sy)/2),
// right = round(w*sx + left), bottom = round(h*sy + top), sx = dpiX/70, sy = dpiY/70.
// The rectangle spans left..right-1 and top..bottom-1.
QRect PicturePlacement(QSize picture, int dpiX, int dpiY, QSize page);

// One page holding the picture, stretched into its placement. Throws
// PrintError when the job cannot start.
void PrintPicture(QPagedPaintDevice& device, const QImage& picture);

}  // namespace vp
