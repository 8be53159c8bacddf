#include "spin_edit_widget.h"

#include <QFocusEvent>
#include <QLineEdit>

namespace vp {

SpinEdit::SpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
  setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setKeyboardTracking(true);
  connect(lineEdit(), &QLineEdit::textEdited, this, &SpinEdit::Typed);
}

void SpinEdit::SetText(const QString& text) {
  if (lineEdit()->text() != text) lineEdit()->setText(text);
}

QString SpinEdit::Text() const { return lineEdit()->text(); }

void SpinEdit::stepBy(int steps) { emit Stepped(steps); }

void SpinEdit::focusOutEvent(QFocusEvent* event) {
  QAbstractSpinBox::focusOutEvent(event);
  emit Left();
}

}  // namespace vp
