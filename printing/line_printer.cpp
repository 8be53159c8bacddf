#include "line_printer.h"

#include <QDate>
#include <QPagedPaintDevice>

#include <algorithm>

#include "main_form_model.h"
#include "results_printout.h"
#include "results_tables.h"

namespace vp {

LinePrinter::LinePrinter(QPagedPaintDevice& device, const QFont* font)
    : device_(device), metrics_(QFont()), exactMetrics_(QFont()) {
  if (!painter_.begin(&device_)) throw PrintNotStarted("Не удалось начать печать. Принтер недоступен или занят.");
  open_ = true;
  if (font) painter_.setFont(*font);
  metrics_ = painter_.fontMetrics();
  exactMetrics_ = QFontMetricsF(painter_.font(), &device_);
  textHeight_ = metrics_.height();
  pageWidth_ = device_.width();
  pageHeight_ = device_.height();
}

LinePrinter::~LinePrinter() {
  if (open_) painter_.end();
}

void LinePrinter::End() {
  if (!open_) return;
  open_ = false;
  if (!painter_.end()) throw PrintError("Не удалось завершить печать.");
}

void LinePrinter::WriteLine(const std::string& utf8) {
  WriteLine(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

void LinePrinter::WriteLine(const QString& text) {
  if (text.isEmpty()) {
    Place(text);
    return;
  }
  QString rest = text;
  while (!rest.isEmpty()) {
    const int n = Fit(rest);
    Place(rest.left(n));
    rest.remove(0, n);
  }
}

// The number of leading characters of `text` that fit the page width; at least
// one character (both halves of a surrogate pair) so that every line advances.
// The prefix widths are measured as whole texts (kerning included); the sum of
// single-character widths only says where to start measuring.
int LinePrinter::Fit(const QString& text) {
  const int length = static_cast<int>(text.size());
  qreal sum = 0;
  int fits = 0;
  for (; fits < length; ++fits) {
    sum += CharWidth(text[fits]);
    if (sum > pageWidth_) break;
  }
  auto fitsPrefix = [&](int n) { return metrics_.horizontalAdvance(text, n) <= pageWidth_; };
  if (fits == length && fitsPrefix(length)) return length;
  while (fits > 0 && !fitsPrefix(fits)) --fits;
  while (fits < length && fitsPrefix(fits + 1)) ++fits;
  if (fits > 0 && fits < length && text[fits - 1].isHighSurrogate()) --fits;
  if (fits == 0) fits = text[0].isHighSurrogate() && length > 1 ? 2 : 1;
  return fits;
}

qreal LinePrinter::CharWidth(QChar c) {
  auto found = charWidths_.find(c.unicode());
  if (found == charWidths_.end()) found = charWidths_.emplace(c.unicode(), exactMetrics_.horizontalAdvance(c)).first;
  return found->second;
}

void LinePrinter::Place(const QString& text) {
  if (pageFull_) {
    pageFull_ = false;
    y_ = 0;
    ++pendingPages_;
  }
  if (!text.isEmpty()) {
    for (; pendingPages_ > 0; --pendingPages_) {
      device_.newPage();
      ++pages_;
    }
    painter_.drawText(QPoint(0, y_ + metrics_.ascent()), text);
  }
  y_ += text.isEmpty() ? EmptyLineHeight() : LineHeight();
  if (y_ > pageHeight_ - 2 * LineHeight()) pageFull_ = true;
}

QFont PrintoutFont(const QPaintDevice& device) {
  QFont font("Liberation Mono");
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSizeF(10);
  const double advance = QFontMetricsF(font, &device).horizontalAdvance(QChar('0'));
  font.setPointSizeF(std::min(9.0, 10 * device.width() / (kPrintoutColumns * advance)));
  return font;
}

std::string PrintoutTitleToday(const std::string& inputFile) {
  return PrintoutTitle(inputFile, QDate::currentDate().toString("dd.MM.yyyy").toStdString());
}

void PrintResults(QPagedPaintDevice& device, const TMainFormModel& form, const ResultsTables& results,
                  char decimalSeparator, const ResultsSummary* summary, const std::string& title) {
  const QFont font = PrintoutFont(device);
  LinePrinter printer(device, &font);
  if (!title.empty()) {
    printer.WriteLine(title);
    printer.WriteLine("");
  }
  try {
    WritePrintout(
        form, results, decimalSeparator, [&](const std::string& line) { printer.WriteLine(line); }, summary);
  } catch (...) {
    try {
      printer.End();  // what was written is printed all the same
    } catch (const PrintError&) {
    }
    throw;
  }
  printer.End();
}

}  // namespace vp
