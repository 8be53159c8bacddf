#pragma once
// The look every window shares and its layout: sky-blue forms in the
// program's font, bold captions, raised bevels, rows of widgets, windows
// placed on the screen, the decimal separator of the user's settings. The
// grids, spin edits, buttons and messages are beside it (grid_view.h,
// spin_edit_widget.h, glyph_buttons.h, message_box.h).

#include <QBoxLayout>
#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QRect>
#include <QString>
#include <initializer_list>

namespace vp {

inline const QColor kSkyBlue(166, 202, 240);  // clSkyBlue

// Sky-blue background and the form font.
void StyleForm(QWidget* form, int fontPixelHeight = 0);

// A form's destructor calls this first: a control that loses the focus while
// the form is taken apart (a spin edit clamps when it is left) must not run a
// handler of the half-destroyed form.
void DisconnectControls(QWidget* form);

// Tab moves from each widget to the next in this order.
void SetTabOrder(std::initializer_list<QWidget*> order);
// Places a window's centre on the centre of `area` (in screen coordinates),
// the window with its frame shrunk to the available area of the screen there
// where it is larger, and moved into that area, its title bar never above it.
// A maximised window stays as it is.
void CentreOn(QWidget* window, const QRect& area);
// Centres a window on the screen's available area.
void CentreOnScreen(QWidget* window);
// Shrinks a window to its screen's available area and moves it into it where
// it lies partly outside (a size and place remembered on another screen).
void KeepOnScreen(QWidget* window);

// A caption for a layout: bold unless told otherwise; wrapped within
// `wrapWidth` pixels where given.
QLabel* Caption(QWidget* parent, const QString& text, bool bold = true, int wrapWidth = 0);
// A bevel, raised unless told otherwise, framing a group of controls placed by `layout`.
QFrame* Bevel(QWidget* parent, QLayout* layout, bool raised = true);
// A layout's widgets in a row, a stretch where `nullptr` stands.
QHBoxLayout* Row(std::initializer_list<QWidget*> widgets);

// The decimal separator of the user's regional settings.
char DecimalSeparator();

}  // namespace vp
