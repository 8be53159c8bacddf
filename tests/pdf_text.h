#pragma once
// What a PDF file holds, read back through poppler's command-line tools.

#include <cstdio>
#include <string>
#include <vector>

namespace vp::test {

// Standard output of a shell command.
inline std::string Capture(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  pclose(pipe);
  return out;
}

// The text of each page as `pdftotext -layout` lays it out.
inline std::vector<std::string> PdfPages(const std::string& pdf) {
  const std::string text = Capture("pdftotext -layout '" + pdf + "' - 2>/dev/null");
  std::vector<std::string> pages;
  size_t start = 0;
  for (size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1) pages.push_back(text.substr(start, ff - start));
  return pages;
}

// The lines of a page's text that hold something, blanks at both ends dropped.
inline std::vector<std::string> TextLines(const std::string& page) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= page.size()) {
    size_t end = page.find('\n', start);
    if (end == std::string::npos) end = page.size();
    const std::string line = page.substr(start, end - start);
    const size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos) lines.push_back(line.substr(first, line.find_last_not_of(' ') - first + 1));
    start = end + 1;
  }
  return lines;
}

inline std::string WithoutBlanks(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '\n' && c != '\f' && c != '\t') out += c;
  return out;
}

// A word and the top left of its box in points, as `pdftotext -bbox` gives them.
struct PdfWord {
  int page;
  double x;
  double y;
  std::string text;
};

inline std::vector<PdfWord> PdfWords(const std::string& pdf) {
  const std::string html = Capture("pdftotext -bbox '" + pdf + "' - 2>/dev/null");
  std::vector<PdfWord> words;
  int page = 0;
  for (size_t at = 0; (at = html.find('<', at)) != std::string::npos; ++at) {
    if (html.compare(at, 6, "<page ") == 0) ++page;
    if (html.compare(at, 6, "<word ") != 0) continue;
    auto attribute = [&](const char* name) {
      const size_t p = html.find(std::string(name) + "=\"", at) + std::char_traits<char>::length(name) + 2;
      return std::stod(html.substr(p, 32));
    };
    const size_t open = html.find('>', at) + 1;
    words.push_back({page, attribute("xMin"), attribute("yMin"), html.substr(open, html.find('<', open) - open)});
  }
  return words;
}

}  // namespace vp::test
