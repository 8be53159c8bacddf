#include "numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "errors.h"
#include "platform.h"

namespace vp {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool TryIntOfText(std::string_view text, int& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return false;
  long long magnitude = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > 2147483648LL) return false;
  }
  long long v = negative ? -magnitude : magnitude;
  if (v > std::numeric_limits<int>::max()) return false;
  value = static_cast<int>(v);
  return true;
}

int IntOfText(std::string_view text) {
  int value = 0;
  if (!TryIntOfText(text, value)) Raise(Error{ErrorCode::NotInteger, 0, 0, "", std::string(text)});
  return value;
}

bool TryRealOfText(std::string_view text, char decimalSeparator, double& value) {
  size_t i = 0, end = text.size();
  while (i < end && text[i] == ' ') ++i;
  while (end > i && text[end - 1] == ' ') --end;
  // Rebuild the number in the "C" form, then let the C library round it.
  std::string canonical;
  canonical.reserve(end - i + 2);
  if (i < end && (text[i] == '+' || text[i] == '-')) canonical += text[i++];
  int digits = 0;
  bool separatorSeen = false;
  for (; i < end; ++i) {
    char c = text[i];
    if (IsDigit(c)) {
      canonical += c;
      ++digits;
    } else if (c == decimalSeparator && !separatorSeen) {
      canonical += '.';
      separatorSeen = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < end && (text[i] == 'E' || text[i] == 'e')) {
    canonical += 'E';
    ++i;
    if (i < end && (text[i] == '+' || text[i] == '-')) canonical += text[i++];
    int expDigits = 0;
    for (; i < end && IsDigit(text[i]); ++i, ++expDigits) canonical += text[i];
    if (expDigits == 0) return false;
  }
  if (i != end) return false;
  long double extended = platform::StrToLongDoubleC(canonical.c_str());
  double result = static_cast<double>(extended);
  if (!std::isfinite(result)) return false;
  value = result;
  return true;
}

char OtherSeparatorOf(std::string_view text, char decimalSeparator) {
  const char other = decimalSeparator == ',' ? '.' : decimalSeparator == '.' ? ',' : 0;
  double ignored;
  return other && !TryRealOfText(text, decimalSeparator, ignored) && TryRealOfText(text, other, ignored) ? other : 0;
}

double RealOfText(std::string_view text, char decimalSeparator) {
  double value = 0;
  if (!TryRealOfText(text, decimalSeparator, value))
    Raise(Error{ErrorCode::NotReal, 0, 0, "", std::string(text)});
  return value;
}

std::string GeneralFormat(double value, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  // Round to 15 significant digits first: the rounded exponent decides the notation.
  char buf[40];
  const auto result = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
  *result.ptr = '\0';
  std::string digits;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (IsDigit(*p)) digits += *p;
  int exponent = std::atoi(p + 1);
  // The largest doubles round up beyond the range, where the text would read
  // back as no number: those round down instead.
  if (exponent == 308 && digits == "179769313486232") digits = "179769313486231";
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = value < 0 ? "-" : "";
  const int count = static_cast<int>(digits.size());
  if (exponent >= -4 && exponent < 15) {
    if (exponent >= 0) {
      const int intDigits = exponent + 1;
      if (count <= intDigits) {
        out += digits + std::string(intDigits - count, '0');
      } else {
        out += digits.substr(0, intDigits);
        out += decimalSeparator;
        out += digits.substr(intDigits);
      }
    } else {
      out += '0';
      out += decimalSeparator;
      out += std::string(-exponent - 1, '0') + digits;
    }
  } else {
    out += digits[0];
    if (count > 1) {
      out += decimalSeparator;
      out += digits.substr(1);
    }
    out += 'E';
    if (exponent < 0) out += '-';
    out += std::to_string(std::abs(exponent));
  }
  return out;
}

namespace {

std::string CharsFormat(double value, std::chars_format format, int precision, char decimalSeparator) {
  // Room for the largest double in fixed notation: 309 digits, a sign, a point and the decimals.
  std::string text(320 + std::max(precision, 0), '\0');
  text.resize(std::to_chars(text.data(), text.data() + text.size(), value, format, precision).ptr - text.data());
  std::replace(text.begin(), text.end(), '.', decimalSeparator);
  return text;
}

}  // namespace

std::string FixedFormat(double value, int decimals, char decimalSeparator) {
  return CharsFormat(value, std::chars_format::fixed, decimals, decimalSeparator);
}

std::string SignificantFormat(double value, int digits, char decimalSeparator) {
  return CharsFormat(value, std::chars_format::general, digits, decimalSeparator);
}

std::string Fixed5(double value, char sep) {
  std::string text = FixedFormat(value, 5, sep);
  if (text.find_first_of("123456789") == std::string::npos && text[0] == '-') text.erase(0, 1);
  return text;
}

std::string Digits(double value, int digits, char sep) {
  const std::string rounded = SignificantFormat(value, digits, '.');
  std::from_chars(rounded.data(), rounded.data() + rounded.size(), value);
  return GeneralFormat(value, sep);
}

std::string SixDigits(double value, char sep) { return Digits(value, 6, sep); }

std::string StiffnessText(double k, char decimalSeparator) {
  const double magnitude = std::fabs(k);
  if (k == 0 || !std::isfinite(k) || (magnitude >= 1e-4 && magnitude < 1e6)) return GeneralFormat(k, decimalSeparator);
  // 15 significant digits, as the general format; no locale involved.
  char buffer[40];
  const std::string text(buffer, std::to_chars(buffer, buffer + sizeof buffer, k, std::chars_format::scientific, 14).ptr);
  const size_t e = text.find('e');
  std::string mantissa = text.substr(0, e);
  mantissa.erase(mantissa.find_last_not_of('0') + 1);
  if (mantissa.back() == '.') mantissa.pop_back();
  std::replace(mantissa.begin(), mantissa.end(), '.', decimalSeparator);
  return mantissa + "E" + std::to_string(std::stoi(text.substr(e + 1)));
}

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

double PowerOfTen(double exponent) {
  return std::strtod(("1e" + std::to_string(static_cast<int>(exponent))).c_str(), nullptr);
}

}  // namespace vp
