#include "quillora/fonts/standard_fonts.h"

#include <gtest/gtest.h>

#include "quillora/fonts/winansi.h"

using namespace quillora;

namespace {

TEST(StandardFonts, NamesAndAscents) {
  const char* names[] = {
      "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
      "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic",
      "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
      "Symbol",      "ZapfDingbats"};
  const int ascents[] = {728, 728, 728, 728, 613, 633, 613, 633, 693, 677, 694, 677, 1000, 1000};
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(StandardFontName(i), names[i]);
    EXPECT_EQ(StandardFontAscent(i), ascents[i]);
  }
}

// The telling entries at codes 0, 32, 39, 64, 65, 97, 128, 129, 151, 160, 255.
TEST(StandardFonts, TellingWidths) {
  const int codes[] = {0, 32, 39, 64, 65, 97, 128, 129, 151, 160, 255};
  struct Row {
    std::vector<int> indices;
    int widths[11];
  } rows[] = {
      {{0, 2}, {278, 278, 191, 1015, 667, 556, 558, 350, 1000, 278, 500}},
      {{1, 3}, {278, 278, 238, 975, 722, 556, 558, 350, 1000, 278, 556}},
      {{4}, {250, 250, 180, 921, 722, 444, 500, 350, 1000, 250, 500}},
      {{6}, {250, 250, 214, 920, 611, 500, 500, 350, 889, 250, 444}},
      {{8, 9, 10, 11}, {600, 600, 600, 600, 600, 600, 600, 600, 600, 600, 600}},
      {{12}, {250, 250, 439, 549, 722, 631, 0, 0, 0, 0, 0}},
      {{13}, {250, 278, 790, 577, 692, 789, 0, 0, 0, 0, 0}},
  };
  for (const auto& row : rows)
    for (int index : row.indices)
      for (int k = 0; k < 11; ++k)
        EXPECT_EQ(StandardFontWidth(index, codes[k]), row.widths[k])
            << StandardFontName(index) << " code " << codes[k];
}

TEST(StandardFonts, RowRules) {
  for (int i = 0; i < 14; ++i) {
    for (int code = 1; code < 32; ++code) EXPECT_EQ(StandardFontWidth(i, code), 0);
    if (i < 12) {
      // No-break space is a space, soft hyphen a hyphen; unassigned codes
      // carry the bullet.
      EXPECT_EQ(StandardFontWidth(i, 160), StandardFontWidth(i, 32));
      EXPECT_EQ(StandardFontWidth(i, 173), StandardFontWidth(i, 45));
      for (int code : {127, 129, 141, 143, 144, 157})
        EXPECT_EQ(StandardFontWidth(i, code), StandardFontWidth(i, 149)) << i << " " << code;
      EXPECT_EQ(StandardFontWidth(i, 0), StandardFontWidth(i, 32));
    } else {
      for (int code = 127; code <= 160; ++code) EXPECT_EQ(StandardFontWidth(i, code), 0);
      EXPECT_EQ(StandardFontWidth(i, 240), 0);
      EXPECT_EQ(StandardFontWidth(i, 255), 0);
    }
  }
  for (int code = 0; code < 256; ++code) {
    // Oblique Helvetica shares the upright widths; Courier is 600 throughout.
    EXPECT_EQ(StandardFontWidth(2, code), StandardFontWidth(0, code));
    EXPECT_EQ(StandardFontWidth(3, code), StandardFontWidth(1, code));
    if (code == 0 || code >= 32) {
      for (int i = 8; i < 12; ++i) EXPECT_EQ(StandardFontWidth(i, code), 600);
    }
  }
  EXPECT_EQ(StandardFontWidth(0, 149), 350);
  EXPECT_EQ(StandardFontWidth(4, 149), 350);
}

TEST(WinAnsi, UnicodeToCode) {
  struct Case {
    char16_t c;
    int code;
  } cases[] = {{0x20AC, 0x80}, {0x0081, 0x81}, {0x0080, 0}, {0x00FF, 0},    {0x00FE, 0xFE},
               {0x00A0, 0xA0}, {0x0041, 0x41}, {0x0000, 0}, {0x0178, 0x9F}, {0x2122, 0x99},
               {0x009D, 0x9D}, {0x009F, 0},    {0x0410, 0}, {0xFFFF, 0},    {0x0152, 0x8C}};
  for (const auto& c : cases) {
    EXPECT_EQ(UnicodeToWinAnsi(c.c), c.code) << std::hex << int(c.c);
    EXPECT_EQ(IsWinAnsiChar(c.c), c.code != 0 || c.c == 0) << std::hex << int(c.c);
  }
}

TEST(WinAnsi, CodeToUnicodeAndRoundTrip) {
  EXPECT_EQ(WinAnsiToUnicode(0x80), 0x20AC);
  EXPECT_EQ(WinAnsiToUnicode(0x9F), 0x0178);
  EXPECT_EQ(WinAnsiToUnicode(0x8D), 0x008D);
  EXPECT_EQ(WinAnsiToUnicode(0xFF), 0x00FF);
  EXPECT_EQ(WinAnsiToUnicode(0x41), 0x0041);
  // Every code but 255 (which maps to U+00FF, a Unicode-font character)
  // comes back through the table.
  for (int code = 1; code < 255; ++code)
    EXPECT_EQ(UnicodeToWinAnsi(WinAnsiToUnicode(code)), code) << code;
  int count = 0;
  for (int c = 0; c < 0x10000; ++c) count += IsWinAnsiChar(static_cast<char16_t>(c));
  EXPECT_EQ(count, 128 + 95 + 32);
}

}  // namespace
