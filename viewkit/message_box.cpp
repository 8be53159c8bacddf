#include "message_box.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>

#include "grid_view.h"
#include "messages.h"

namespace vp {

void ShowPlace(const FormPlace& place, const std::vector<GridView*>& grids,
               const std::function<QLineEdit*(int)>& fields) {
  if (place.grid > 0 && place.grid <= static_cast<int>(grids.size())) grids[place.grid - 1]->SelectCell(place.col, place.row);
  if (QLineEdit* field = place.field > 0 ? fields(place.field) : nullptr) {
    field->setFocus();
    field->selectAll();
  }
}

void ShowPlainMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
  box.exec();
}

void ReportError(QWidget* parent, const std::exception& error) {
  ShowPlainMessage(parent, QString::fromStdString(MessageOf(error)));
}

void ReportError(QWidget* parent, const Error& error) { ShowPlainMessage(parent, QString::fromStdString(Message(error))); }

void RunReporting(QWidget* parent, const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    ReportError(parent, e);
  }
}

}  // namespace vp
