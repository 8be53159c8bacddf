#pragma once
// The spin edit of the forms: any typed text is accepted, the model decides.

#include <QAbstractSpinBox>

namespace vp {

// A spin edit: any typed text is accepted, the arrows step the value, and the
// owner clamps it when the control is left.
class SpinEdit : public QAbstractSpinBox {
  Q_OBJECT
 public:
  explicit SpinEdit(QWidget* parent);
  void SetText(const QString& text);  // from the model; emits nothing
  QString Text() const;
  void stepBy(int steps) override;

 signals:
  void Typed(const QString& text);  // the user changed the text
  void Stepped(int steps);          // an arrow or the wheel
  void Left();                      // the control lost the focus

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace vp
