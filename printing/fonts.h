#pragma once
// The program's font, on the screen and in what it prints from the windows or
// from the batch command.

#include <QFont>

namespace vp {

// "MS Sans Serif" is drawn with Liberation Sans where it does not exist.
void InstallFontSubstitutes();
// The forms' font: "MS Sans Serif", or first its scalable twin "Microsoft Sans
// Serif" where there is one (Windows: its "MS Sans Serif" is a bitmap font of a
// few sizes, which cannot shrink into a button and prints no text into a PDF).
QFont FormFont(int pointSize = 8);

}  // namespace vp
