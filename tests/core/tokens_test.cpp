#include "quillora/core/tokens.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

namespace quillora {
namespace {

struct RealCase {
  long double value;
  bool precise;
  const char* text;
};

TEST(FormatReal, RoundsHalfAwayFromZeroAndDropsTrailingZeros) {
  const RealCase cases[] = {
      {0.5L, false, "0.5"},          {2, false, "2"},
      {12345.678L, false, "12345.68"}, {-0.004L, false, "0"},
      {0.123456L, true, "0.12346"},  {0.000004L, true, "0"},
      {1.125L, false, "1.13"},       {-1.125L, false, "-1.13"},
      {0.005L, false, "0.01"},       {-0.005L, false, "-0.01"},
      {0.995L, false, "1"},          {99.999L, false, "100"},
      {-2.5L, false, "-2.5"},        {128 / 255.0L, false, "0.5"},
      {1 / 255.0L, false, "0"},      {1, false, "1"},
      {0.1L, false, "0.1"},          {0.333L, false, "0.33"},
      {832, false, "832"},           {-0.0L, false, "0"},
      {1e15L, false, "1000000000000000"}, {123456789012.345L, false, "123456789012.35"},
      {0.000015L, true, "0.00002"},  {3.14159265L, true, "3.14159"},
      // A double just below a tie stays below it: its 18 digits say so.
      {0.285, false, "0.28"},        {1.005, false, "1"},
  };
  for (const RealCase& c : cases)
    EXPECT_EQ(FormatReal(c.value, c.precise), c.text) << static_cast<double>(c.value);
}

TEST(FormatReal, IgnoresTheProcessLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no locale with a decimal comma installed";
  EXPECT_EQ(FormatReal(1.25L), "1.25");
  EXPECT_EQ(FormatReal(1e14L + 0.5L), "100000000000000.5");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(FormatReal, AgreesWithDecimalRoundingOverARange) {
  // Values with exact binary fractions: the tie rule shows at every quarter.
  for (int i = -4000; i <= 4000; ++i) {
    long double v = i / 1000.0L;
    char expected[32];
    // i thousandths: round half away from zero to hundredths by integers.
    int units = (i >= 0 ? i + 5 : i - 5) / 10;
    std::snprintf(expected, sizeof expected, "%s%d.%02d", units < 0 ? "-" : "", std::abs(units) / 100,
                  std::abs(units) % 100);
    std::string e = expected;
    // Trim as the writer does.
    while (e.back() == '0') e.pop_back();
    if (e.back() == '.') e.pop_back();
    if (e == "-0") e = "0";
    EXPECT_EQ(FormatReal(v), e) << i;
  }
}

TEST(EscapeString, EscapesDelimitersAndLineEnds) {
  EXPECT_EQ(EscapeString("a(b)\\\r\n"), "a\\(b\\)\\\\\\r\\n");
  EXPECT_EQ(EscapeString("\t\x80\xff"), "\t\x80\xff");
  EXPECT_EQ(EscapeString(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Hex, DigitsAreUpperCaseHighNibbleFirst) {
  EXPECT_EQ(ByteToHex(0xA5), "A5");
  EXPECT_EQ(ByteToHex(0x0F), "0F");
  EXPECT_EQ(WordToHex(0x0041), "0041");
  EXPECT_EQ(WordToHex(0xFEFF), "FEFF");
}

TEST(ZeroPad, PadsToWidthAndNeverTruncates) {
  EXPECT_EQ(ZeroPad(123, 10), "0000000123");
  EXPECT_EQ(ZeroPad(1234567, 5), "1234567");
  EXPECT_EQ(ZeroPad(0, 3), "000");
}

TEST(PosFrom, FindsFromAOneBasedStart) {
  EXPECT_EQ(PosFrom("ab", "xxabab", 4), 5);
  EXPECT_EQ(PosFrom("ab", "xxabab", 6), 0);
  EXPECT_EQ(PosFrom("ab", "xxabab", 1), 3);
  EXPECT_EQ(PosFrom("", "xxabab", 1), 0);
  EXPECT_EQ(PosFrom("ab", "", 1), 0);
  EXPECT_EQ(PosFrom("zz", "xxabab", 1), 0);
}

TEST(ReplaceChar, ReplacesEveryOccurrence) {
  EXPECT_EQ(ReplaceChar("Times New Roman", ' ', "#20"), "Times#20New#20Roman");
}

TEST(SortWords, SortsUnsignedIncludingHighValues) {
  uint16_t v[] = {0xFFFF, 3, 0x8000, 1, 3, 0};
  SortWords(v, 5);
  const uint16_t expected[] = {0, 1, 3, 3, 0x8000, 0xFFFF};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(v[i], expected[i]);
  std::vector<uint16_t> many(10000);
  for (size_t i = 0; i < many.size(); ++i) many[i] = static_cast<uint16_t>((i * 7919) % 65536);
  SortWords(many.data(), static_cast<int>(many.size()) - 1);
  EXPECT_TRUE(std::is_sorted(many.begin(), many.end()));
}

TEST(Normalize, OrdersCorners) {
  TRect r{10, 20, 0, 5};
  NormalizeRect(r);
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(r.Top, 5);
  EXPECT_EQ(r.Right, 10);
  EXPECT_EQ(r.Bottom, 20);
}

TEST(RoundHalfEven, TiesGoToEven) {
  EXPECT_EQ(RoundHalfEven(0.5L), 0);
  EXPECT_EQ(RoundHalfEven(1.5L), 2);
  EXPECT_EQ(RoundHalfEven(2.5L), 2);
  EXPECT_EQ(RoundHalfEven(-2.5L), -2);
  EXPECT_EQ(RoundHalfEven(2.6L), 3);
}

TEST(RotatePoint, TurnsCounterClockwise) {
  long double x, y;
  RotatePoint(90, 1, 0, x, y);
  EXPECT_NEAR(static_cast<double>(x), 0, 1e-12);
  EXPECT_NEAR(static_cast<double>(y), 1, 1e-12);
}

}  // namespace
}  // namespace quillora
