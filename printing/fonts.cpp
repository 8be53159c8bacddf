#include "fonts.h"

#include <QStringList>

namespace vp {

void InstallFontSubstitutes() {
  QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
  QFont::insertSubstitution("MS Sans Serif", "DejaVu Sans");
}

QFont FormFont(int pointSize) {
  QFont font;
  font.setFamilies({"Microsoft Sans Serif", "MS Sans Serif"});
  font.setPointSize(pointSize);
  return font;
}

}  // namespace vp
