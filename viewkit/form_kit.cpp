#include "form_kit.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>

#include "fonts.h"

namespace vp {

void StyleForm(QWidget* form, int fontPixelHeight) {
  QPalette palette = form->palette();
  palette.setColor(QPalette::Window, kSkyBlue);
  form->setPalette(palette);
  form->setAutoFillBackground(true);
  QFont font = FormFont();
  if (fontPixelHeight > 0) font.setPixelSize(fontPixelHeight);
  form->setFont(font);
}

void DisconnectControls(QWidget* form) {
  for (QObject* control : form->findChildren<QObject*>()) QObject::disconnect(control, nullptr, form, nullptr);
}

void SetTabOrder(std::initializer_list<QWidget*> order) {
  QWidget* previous = nullptr;
  for (QWidget* widget : order) {
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

namespace {

// What a window's frame adds around it: as the window system framed it, or,
// before it has, a title bar and borders of the usual size.
QMargins FrameMargins(const QWidget* window) {
  const QRect frame = window->frameGeometry(), inner = window->geometry();
  const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                         frame.bottom() - inner.bottom());
  return margins.isNull() ? QMargins(8, 32, 8, 8) : margins;
}

}  // namespace

namespace {

// Shrinks the window with its frame to `desktop` where it is larger and moves
// the frame's centre to `centre`, then into `desktop`, its top left corner last.
void PlaceInside(QWidget* window, const QRect& desktop, QPoint centre) {
  if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
  const QMargins margins = FrameMargins(window);
  const QSize room = desktop.size().shrunkBy(margins);
  if (window->width() > room.width() || window->height() > room.height()) window->resize(window->size().boundedTo(room));
  QRect frame = window->geometry().marginsAdded(margins);
  frame.moveCenter(centre);
  frame.moveRight(std::min(frame.right(), desktop.right()));
  frame.moveBottom(std::min(frame.bottom(), desktop.bottom()));
  frame.moveLeft(std::max(frame.left(), desktop.left()));
  frame.moveTop(std::max(frame.top(), desktop.top()));
  window->move(frame.topLeft());
}

}  // namespace

void CentreOn(QWidget* window, const QRect& area) {
  const QScreen* screen = QGuiApplication::screenAt(area.center());
  PlaceInside(window, (screen ? screen : window->screen())->availableGeometry(), area.center());
}

void KeepOnScreen(QWidget* window) {
  PlaceInside(window, window->screen()->availableGeometry(), window->frameGeometry().center());
}

void CentreOnScreen(QWidget* window) { CentreOn(window, window->screen()->availableGeometry()); }

QLabel* Caption(QWidget* parent, const QString& text, bool bold, int wrapWidth) {
  auto* label = new QLabel(text, parent);
  QFont font = label->font();
  font.setBold(bold);
  label->setFont(font);
  if (wrapWidth > 0) {
    label->setWordWrap(true);
    label->setFixedWidth(wrapWidth);
  }
  return label;
}

QFrame* Bevel(QWidget* parent, QLayout* layout, bool raised) {
  auto* frame = new QFrame(parent);
  frame->setFrameStyle(QFrame::Panel | (raised ? QFrame::Raised : QFrame::Sunken));
  frame->setLineWidth(1);
  layout->setContentsMargins(8, 5, 8, 6);
  layout->setSpacing(4);
  frame->setLayout(layout);
  return frame;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  for (QWidget* widget : widgets)
    if (widget) row->addWidget(widget);
    else row->addStretch(1);
  return row;
}

char DecimalSeparator() {
  // The default locale is the system's unless a test has set another.
  const QString point = QLocale().decimalPoint();
  const char c = point.isEmpty() ? '.' : point.at(0).toLatin1();
  return c == 0 ? '.' : c;
}

}  // namespace vp
