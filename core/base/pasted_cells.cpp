#include "pasted_cells.h"

#include <algorithm>

#include "numtext.h"

namespace vp {

CellBlock TabSeparatedCells(std::string_view text) {
  CellBlock rows;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string>& row = rows.emplace_back();
    for (size_t tab; (tab = line.find('\t')) != std::string_view::npos; line.remove_prefix(tab + 1))
      row.emplace_back(line.substr(0, tab));
    row.emplace_back(line);
  }
  return rows;
}

std::string TabSeparatedText(const CellBlock& cells) {
  std::string text;
  for (const std::vector<std::string>& row : cells) {
    for (size_t c = 0; c < row.size(); ++c) text += (c > 0 ? "\t" : "") + row[c];
    text += '\n';
  }
  return text;
}

bool PastedNumber(std::string_view text, char decimalSeparator, std::string& number) {
  std::string written = Trimmed(text);
  std::replace(written.begin(), written.end(), decimalSeparator == ',' ? '.' : ',', decimalSeparator);
  double ignored = 0;
  if (written.empty() || !TryRealOfText(written, decimalSeparator, ignored)) return false;
  number = std::move(written);
  return true;
}

}  // namespace vp
