#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "errors.h"
#include "numtext.h"

using namespace vp;

namespace {

std::string IntFailure(const std::string& text) {
  try {
    IntOfText(text);
  } catch (const ConversionError& e) {
    return e.what();
  }
  return "no failure";
}

std::string RealFailure(const std::string& text, char sep) {
  try {
    RealOfText(text, sep);
  } catch (const ConversionError& e) {
    return e.what();
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

TEST(HalfKM, CountsTheOddSections) {
  EXPECT_EQ(HalfKM(1), 1);
  EXPECT_EQ(HalfKM(4), 2);
  EXPECT_EQ(HalfKM(5), 3);
  EXPECT_EQ(HalfKM(200), 100);
}
