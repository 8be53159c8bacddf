#pragma once
// The look and the small widgets every window shares: sky-blue forms in
// "MS Sans Serif", bold captions, raised bevels, string grids over
// StringTables, spin edits that accept any typed text, bitmap buttons with
// glyphs, and the plain message box.

#include <QAbstractSpinBox>
#include <QColor>
#include <QHash>
#include <QVector>
#include <QBoxLayout>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <exception>
#include <functional>
#include <initializer_list>
#include <vector>

#include "errors.h"
#include "string_table_model.h"

namespace vp {

inline const QColor kSkyBlue(166, 202, 240);  // clSkyBlue

// "MS Sans Serif" is drawn with Liberation Sans where it does not exist.
void InstallFontSubstitutes();
// The forms' font: "MS Sans Serif", or first its scalable twin "Microsoft Sans
// Serif" where there is one (Windows: its "MS Sans Serif" is a bitmap font of a
// few sizes, which cannot shrink into a button and prints no text into a PDF).
QFont FormFont(int pointSize = 8);

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

// A string grid: row height 18, user-sized columns, fixed cells in sky blue;
// the fixed cells above the vertical header show in its corner. A column the
// user sized by hand keeps that width whenever the table is shown again; with
// fitting on, the other columns widen (never below the default width) so that
// every text shows whole. In an editable grid Enter moves on as in a
// spreadsheet: it commits the cell being edited and goes to the next cell to
// the right, at a row's end to the first cell of the next row. Ctrl+C copies
// the selected cells as tab-separated text; in an editable grid (whose cells
// hold numbers) Ctrl+V pastes such text from the current cell, or one value
// into every selected cell, numbers with either decimal separator, as one
// change; a value that is no number or a block that does not fit pastes
// nothing and says why.
class GridView : public QTableView {
  Q_OBJECT
 public:
  GridView(QWidget* parent, StringTableModel* model, int defaultColumnWidth, bool border = true);
  StringTableModel* Model() const { return model_; }
  void SetFitToTexts(bool fit);
  // Shows the table again where it changed (StringTableModel::Refresh).
  void Refresh() { model_->Refresh(); }
  // Makes the table's cell (col, row) the current one, in view, with the focus.
  void SelectCell(int col, int row);
  void Copy() const;
  void Paste();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  // "Участок 3, Длина(l)": a cell by its captions, or by its row and column.
  QString CellName(const QModelIndex& cell) const;
  void RestoreWidths();
  QVector<int> FittedWidths() const;
  void MoveToNextCell();

  StringTableModel* model_;
  QWidget* corner_ = nullptr;
  bool fit_ = false;
  bool sizing_ = false;  // widths set by the grid itself, not by the user
  QHash<int, int> userWidths_;
};

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

enum class Glyph { Ok, Cancel, Retry, Print, Open, Save, Calculator, Next, Exit };
QIcon GlyphIcon(Glyph glyph);
// Buttons of at least `size`, wider where their text needs it; they do not grow with the window.
QPushButton* BitBtn(QWidget* parent, const QString& text, QSize size, Glyph glyph, bool bold = false);
QPushButton* PlainButton(QWidget* parent, const QString& text, QSize size);

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

// The decimal separator of the user's regional settings.
char DecimalSeparator();

}  // namespace vp
