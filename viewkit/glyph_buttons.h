#pragma once
// Bitmap buttons with glyphs, and plain buttons of a fixed size.

#include <QIcon>
#include <QPushButton>
#include <QSize>
#include <QString>

namespace vp {

enum class Glyph { Ok, Cancel, Retry, Print, Open, Save, Calculator, Next, Exit };
QIcon GlyphIcon(Glyph glyph);
// Buttons of at least `size`, wider where their text needs it; they do not grow with the window.
QPushButton* BitBtn(QWidget* parent, const QString& text, QSize size, Glyph glyph, bool bold = false);
QPushButton* PlainButton(QWidget* parent, const QString& text, QSize size);

}  // namespace vp
