#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <cmath>
#include <limits>
#include <random>

#include "errors.h"
#include "messages.h"
#include "numtext.h"
#include "printable.h"

using namespace vp;

namespace {

std::string IntFailure(const std::string& text) {
  try {
    IntOfText(text);
  } catch (const Failure& e) {
    return Message(e.error());
  }
  return "no failure";
}

std::string RealFailure(const std::string& text, char sep) {
  try {
    RealOfText(text, sep);
  } catch (const Failure& e) {
    return Message(e.error());
  }
  return "no failure";
}

}  // namespace

TEST(IntOfText, AcceptsLeadingBlanksAndSign) {
  EXPECT_EQ(IntOfText("12"), 12);
  EXPECT_EQ(IntOfText("  -7"), -7);
  EXPECT_EQ(IntOfText("+3"), 3);
  EXPECT_EQ(IntOfText("007"), 7);
  EXPECT_EQ(IntOfText("2147483647"), 2147483647);
  EXPECT_EQ(IntOfText("-2147483648"), -2147483647 - 1);
}

TEST(IntOfText, RejectsAnythingAfterTheDigitsWithTheExactMessage) {
  EXPECT_EQ(IntFailure("3 "), "'3 ' is not a valid integer value");
  EXPECT_EQ(IntFailure(""), "'' is not a valid integer value");
  EXPECT_EQ(IntFailure("1.5"), "'1.5' is not a valid integer value");
  EXPECT_EQ(IntFailure("-"), "'-' is not a valid integer value");
  EXPECT_EQ(IntFailure(" "), "' ' is not a valid integer value");
  EXPECT_EQ(IntFailure("2147483648"), "'2147483648' is not a valid integer value");
  EXPECT_EQ(IntFailure("99999999999999999999"), "'99999999999999999999' is not a valid integer value");
  EXPECT_EQ(IntFailure("Опора"), "'Опора' is not a valid integer value");
}

TEST(RealOfText, FollowsTheDecimalSeparator) {
  EXPECT_EQ(RealOfText("2,5", ','), 2.5);
  EXPECT_EQ(RealOfText("2.5", '.'), 2.5);
  EXPECT_EQ(RealFailure("2.5", ','), "'2.5' is not a valid floating point value");
  EXPECT_EQ(RealFailure("2,5", '.'), "'2,5' is not a valid floating point value");
}

TEST(RealOfText, AcceptsBlanksSignAndExponent) {
  EXPECT_EQ(RealOfText(" 1e-3 ", '.'), 1e-3);
  EXPECT_EQ(RealOfText("0.5 ", '.'), 0.5);
  EXPECT_EQ(RealOfText("-4E2", '.'), -400);
  EXPECT_EQ(RealOfText("+7", '.'), 7);
  EXPECT_EQ(RealOfText("5.", '.'), 5);
  EXPECT_EQ(RealOfText(",25", ','), 0.25);
  EXPECT_EQ(RealOfText("1E-400", '.'), 0);  // underflow is no fault
  EXPECT_EQ(RealOfText("0.1", '.'), 0.1);
}

TEST(RealOfText, RejectsMalformedAndOutOfRangeTexts) {
  for (const char* bad : {"", " ", "abc", "1e", "e5", "1,5,3", "1.2.3", "--1", "1 2", "1E400", "0x10", "inf", "nan"})
    EXPECT_EQ(RealFailure(bad, '.'), std::string("'") + bad + "' is not a valid floating point value") << bad;
}

TEST(GeneralFormat, FixedBetweenTenToTheMinusFourAndTenToTheFifteen) {
  EXPECT_EQ(GeneralFormat(0, '.'), "0");
  EXPECT_EQ(GeneralFormat(1, '.'), "1");
  EXPECT_EQ(GeneralFormat(100, '.'), "100");
  EXPECT_EQ(GeneralFormat(2.5, ','), "2,5");
  EXPECT_EQ(GeneralFormat(-1.5, '.'), "-1.5");
  EXPECT_EQ(GeneralFormat(0.0001, '.'), "0.0001");
  EXPECT_EQ(GeneralFormat(1.0 / 3, '.'), "0.333333333333333");
  EXPECT_EQ(GeneralFormat(0.1 + 0.2, '.'), "0.3");
  EXPECT_EQ(GeneralFormat(999999999999999.0, '.'), "999999999999999");
  EXPECT_EQ(GeneralFormat(123456.789, ','), "123456,789");
}

TEST(GeneralFormat, ScientificOutsideWithoutPlusOrLeadingZeros) {
  EXPECT_EQ(GeneralFormat(M_PI * 1e-9, '.'), "3.14159265358979E-9");
  EXPECT_EQ(GeneralFormat(1e-5, '.'), "1E-5");
  EXPECT_EQ(GeneralFormat(1e-6, ','), "1E-6");
  EXPECT_EQ(GeneralFormat(1e15, '.'), "1E15");
  EXPECT_EQ(GeneralFormat(0.00009999, '.'), "9.999E-5");
  EXPECT_EQ(GeneralFormat(-2.5e-120, ','), "-2,5E-120");
  EXPECT_EQ(GeneralFormat(123456789012345678.0, '.'), "1.23456789012346E17");
  // Rounding to 15 digits can carry into the next decade, which decides the notation.
  EXPECT_EQ(GeneralFormat(999999999999999.9, '.'), "1E15");
  EXPECT_EQ(GeneralFormat(0.000099999999999999999, '.'), "0.0001");
}

TEST(GeneralFormat, ReadsBackWithinFifteenDigits) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-30, 30);
  for (int i = 0; i < 20000; ++i) {
    const double x = mantissa(rng) * std::pow(10.0, exponent(rng));
    for (char sep : {'.', ','}) {
      const double back = RealOfText(GeneralFormat(x, sep), sep);
      EXPECT_NEAR(back, x, std::fabs(x) * 6e-15) << GeneralFormat(x, sep);
    }
  }
}

// Every finite number written reads back, the largest ones too: rounded up to
// 15 digits they would lie beyond the range of doubles.
TEST(GeneralFormat, ReadsBackAtTheEndsOfTheRange) {
  const double largest = std::numeric_limits<double>::max();
  EXPECT_EQ(GeneralFormat(largest, '.'), "1.79769313486231E308");
  EXPECT_EQ(GeneralFormat(-largest, ','), "-1,79769313486231E308");
  EXPECT_EQ(GeneralFormat(1.797693134862315e308, '.'), "1.79769313486231E308");
  EXPECT_EQ(GeneralFormat(1.79769313486231e308, '.'), "1.79769313486231E308");
  EXPECT_EQ(GeneralFormat(1.7976931348623e308, '.'), "1.7976931348623E308");
  for (double x = largest; x > 1.7976931348622e308; x = std::nextafter(x, 0.0)) {
    EXPECT_LE(RealOfText(GeneralFormat(x, '.'), '.'), x);
    if (x < largest * (1 - 1e-15)) break;
  }
  const double smallest = std::numeric_limits<double>::denorm_min();
  EXPECT_EQ(RealOfText(GeneralFormat(smallest, '.'), '.'), smallest);
  EXPECT_NEAR(RealOfText(GeneralFormat(-2.2250738585072014e-308, '.'), '.'), -2.2250738585072014e-308, 1e-322);
}

TEST(Fixed5, FiveDecimalsRoundedWithoutLeadingBlanks) {
  EXPECT_EQ(Fixed5(123.456789, '.'), "123.45679");
  EXPECT_EQ(Fixed5(0.000004, '.'), "0.00000");
  EXPECT_EQ(Fixed5(-0.000004, '.'), "0.00000");
  EXPECT_EQ(Fixed5(-1.5, '.'), "-1.50000");
  EXPECT_EQ(Fixed5(12.345678, ','), "12,34568");
  EXPECT_EQ(Fixed5(1e20, '.'), "100000000000000000000.00000");
}

TEST(StiffnessText, StiffnessesReadAcrossTheDecades) {
  EXPECT_EQ(StiffnessText(1e6, '.'), "1E6");
  EXPECT_EQ(StiffnessText(2.5e8, ','), "2,5E8");
  EXPECT_EQ(StiffnessText(-3e9, '.'), "-3E9");
  EXPECT_EQ(StiffnessText(1e-5, '.'), "1E-5");
  EXPECT_EQ(StiffnessText(999999, '.'), "999999");
  EXPECT_EQ(StiffnessText(0.5, ','), "0,5");
  EXPECT_EQ(StiffnessText(0, '.'), "0");
  EXPECT_EQ(StiffnessText(1.23456789012345e7, '.'), "1.23456789012345E7");
  EXPECT_EQ(StiffnessText(1e300, '.'), "1E300");
  // Fifteen digits, like the general format: read back within rounding.
  for (double k : {1e8 / 3, 7.0 / 3e9, 2.0 / 3e20})
    EXPECT_NEAR(RealOfText(StiffnessText(k, ','), ','), k, 1e-14 * k) << StiffnessText(k, ',');
}

TEST(HalfKM, CountsTheOddSections) {
  EXPECT_EQ(HalfKM(1), 1);
  EXPECT_EQ(HalfKM(4), 2);
  EXPECT_EQ(HalfKM(5), 3);
  EXPECT_EQ(HalfKM(200), 100);
}

// ---- Text from outside, quoted in messages -----------------------------------

namespace {

// Well-formed UTF-8 as the system's converter judges it.
#ifdef _WIN32
bool WellFormed(const std::string& text) {
  return text.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0) > 0;
}
#else
bool WellFormed(const std::string& text) {
  iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
  std::string in = text;
  std::string out(in.size() * 4 + 4, '\0');
  char* src = in.data();
  char* dst = out.data();
  size_t left = in.size(), room = out.size();
  const bool ok = iconv(cd, &src, &left, &dst, &room) != static_cast<size_t>(-1) && left == 0;
  iconv_close(cd);
  return ok;
}
#endif

const std::string kFffd = "\xEF\xBF\xBD";

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

}  // namespace

TEST(ValidUtf8, EachMaximalIllFormedPartBecomesOneReplacement) {
  const std::pair<std::string, std::string> cases[] = {
      {"Опора 1 ✓ 𝄞", "Опора 1 ✓ 𝄞"},                  // well-formed: unchanged
      {"\x80", kFffd},                                  // a lone continuation byte
      {"a\xFF" "b", "a" + kFffd + "b"},                 // a byte that never occurs
      {"\xC0\xAF", Repeat(kFffd, 2)},                   // overlong '/'
      {"\xE0\x80\xAF", Repeat(kFffd, 3)},               // overlong, three bytes
      {"\xED\xA0\x80", Repeat(kFffd, 3)},               // a surrogate
      {"\xF4\x90\x80\x80", Repeat(kFffd, 4)},           // above U+10FFFF
      {"\xE2\x82" "A", kFffd + "A"},                    // truncated, the next character kept
      {"\xF0\x9F\x98", kFffd},                          // truncated at the end
      {std::string("\0x", 2), std::string("\0x", 2)},   // NUL is well-formed
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(ValidUtf8(cases[i].first), cases[i].second) << i;
}

TEST(ValidUtf8, AnyBytesComeOutWellFormedAndWellFormedTextUnchanged) {
  std::mt19937 rng(5);
  const std::string pieces[] = {"a", "Ж", "€", "𝄞", "\x80", "\xC3", "\xE2\x82", "\xF0\x9F", "\xED\xA0\x80", "\xFF", "\n"};
  for (int trial = 0; trial < 5000; ++trial) {
    std::string text;
    for (int n = rng() % 12; n > 0; --n) text += rng() % 3 ? pieces[rng() % std::size(pieces)] : std::string(1, char(rng()));
    const std::string valid = ValidUtf8(text);
    EXPECT_TRUE(WellFormed(valid)) << trial;
    EXPECT_EQ(ValidUtf8(valid), valid);
    if (WellFormed(text)) {
      EXPECT_EQ(valid, text);
    }
  }
}

TEST(Printable, ControlCharactersShowAsEscapes) {
  EXPECT_EQ(Printable("Вал 1,5"), "Вал 1,5");
  EXPECT_EQ(Printable(std::string("a\0b", 3)), "a\\x00b");
  EXPECT_EQ(Printable("\x1B[2J\x1B]0;title\x07"), "\\x1B[2J\\x1B]0;title\\x07");
  EXPECT_EQ(Printable("1,5\r\n\t\x7F"), "1,5\\r\\n\\t\\x7F");
  EXPECT_EQ(Printable("\xC2\x85\xE2\x80\xAE" "evil\xE2\x81\xA9"), "\\u0085\\u202Eevil\\u2069");
  EXPECT_EQ(Printable("x\xFFy"), "x" + kFffd + "y");
  // Characters that show nothing: a byte-order mark, zero-width ones, a soft hyphen.
  EXPECT_EQ(Printable("\xEF\xBB\xBF" "1\xE2\x80\x8B" "2\xE2\x81\xA0" "3\xC2\xAD" "4\xE2\x80\x8D"),
            "\\uFEFF1\\u200B2\\u20603\\u00AD4\\u200D");
  const std::string longText(1000, '7');
  EXPECT_EQ(Printable(longText), std::string(kPrintableChars, '7') + "…");
  EXPECT_EQ(Printable(Repeat("Ж", 256)), Repeat("Ж", 256));
}

TEST(Printable, ConversionMessagesQuoteThePrintableText) {
  EXPECT_EQ(IntFailure(std::string("1\0", 2)), "'1\\x00' is not a valid integer value");
  EXPECT_EQ(IntFailure("\x1B[31m5"), "'\\x1B[31m5' is not a valid integer value");
  EXPECT_EQ(RealFailure("2,5\r", ','), "'2,5\\r' is not a valid floating point value");
  EXPECT_EQ(RealFailure("\xD0", '.'), "'" + kFffd + "' is not a valid floating point value");
  EXPECT_TRUE(WellFormed(RealFailure("\xF8\x88\x80\x80\x80", '.')));
}
