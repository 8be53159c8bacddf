#pragma once
// What the windows tell the user: the plain message box, the general error
// reporter, and where on a form an error is.

#include <QString>
#include <exception>
#include <functional>
#include <vector>

#include "errors.h"

class QLineEdit;
class QWidget;

namespace vp {

class GridView;

// Shows where on a form an error is: the cell of the grid numbered place.grid
// (grids[grid - 1]) or the edit field numbered place.field (fields(field),
// which may give none).
void ShowPlace(const FormPlace& place, const std::vector<GridView*>& grids,
               const std::function<QLineEdit*(int)>& fields);

// A plain message box with an OK button.
void ShowPlainMessage(QWidget* parent, const QString& text);
// The general error reporter: the error's own text.
void ReportError(QWidget* parent, const std::exception& error);
void ReportError(QWidget* parent, const Error& error);
// Runs what a button does; a failure is shown to the user (ReportError) and
// goes no further.
void RunReporting(QWidget* parent, const std::function<void()>& action);

}  // namespace vp
