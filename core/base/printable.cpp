#include "printable.h"

#include <cstdio>

namespace vp {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes the character at text[i] and advances i past it; an ill-formed
// sequence gives U+FFFD and advances past its maximal ill-formed part (the
// Unicode standard's recommended practice), so no valid character is lost.
char32_t Next(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i++);
  if (lead < 0x80) return lead;
  int more;
  char32_t c;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1, c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2, c = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3, c = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // no overlong forms
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return kReplacement;
  }
  for (int k = 0; k < more; ++k) {
    if (i >= text.size()) return kReplacement;
    const unsigned char b = byte(i);
    if (k == 0 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) return kReplacement;
    c = c << 6 | (b & 0x3F);
    ++i;
  }
  return c;
}

// Characters that act instead of showing, or show nothing: controls, line and
// paragraph separators, bidirectional controls, zero-width characters, the
// soft hyphen and the byte-order mark.
bool Acts(char32_t c) {
  return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0xAD || (c >= 0x200B && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF;
}

}  // namespace

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) AppendUtf8(out, Next(text, i));
  return out;
}

std::string Printable(std::string_view text) {
  std::string out;
  size_t shown = 0;
  for (size_t i = 0; i < text.size(); ++shown) {
    if (shown == kPrintableChars) return out + "…";
    const char32_t c = Next(text, i);
    if (!Acts(c)) {
      AppendUtf8(out, c);
      continue;
    }
    char escape[16];  // %04X of any unsigned value fits, not only of the code points that come here
    if (c == '\t' || c == '\n' || c == '\r')
      std::snprintf(escape, sizeof escape, "\\%c", c == '\t' ? 't' : c == '\n' ? 'n' : 'r');
    else if (c < 0x80)
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
    else
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
    out += escape;
  }
  return out;
}

}  // namespace vp
