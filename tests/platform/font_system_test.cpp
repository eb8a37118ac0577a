#include "quillora/platform/font_system.h"

#include <gtest/gtest.h>

#include "quillora/platform/codepage.h"

using namespace quillora::platform;

namespace {

struct AliasCase {
  const char* requested;
  const char* installed;  // empty: nothing resolves
};

TEST(FontSystem, FamiliesResolveDirectlyOrThroughMetricAliases) {
  const AliasCase cases[] = {
      {"Arial", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
      {"dejavu sans", "DejaVu Sans"},
      {"DejaVu Sans Condensed", "DejaVu Sans Condensed"},
      {"Liberation Serif", "Liberation Serif"},
      // Generic and weakly bound names are not installed families.
      {"Helvetica", ""},
      {"Times", ""},
      {"sans-serif", ""},
      {"No Such Family", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveFamily(c.requested), c.installed) << c.requested;
}

TEST(FontSystem, FacesOfAFamilyComeRegularFirstWithTheirStyles) {
  auto faces = EnumerateFaces("DejaVu Sans");
  ASSERT_EQ(faces.size(), 4u);  // condensed and light faces are families of their own
  EXPECT_FALSE(faces[0].Bold());
  EXPECT_FALSE(faces[0].Italic);
  int bold = 0, italic = 0;
  for (const auto& f : faces) {
    EXPECT_EQ(f.FaceName, "DejaVu Sans");
    EXPECT_TRUE(f.TrueType);
    bold += f.Bold();
    italic += f.Italic;
  }
  EXPECT_EQ(bold, 2);
  EXPECT_EQ(italic, 2);
  auto arial = EnumerateFaces("ARIAL");
  ASSERT_EQ(arial.size(), 4u);
  EXPECT_EQ(arial[0].FaceName, "Liberation Sans");
}

TEST(FontSystem, CharsetCoverage) {
  EXPECT_TRUE(FaceCoversCharset("DejaVu Sans", RUSSIAN_CHARSET));
  EXPECT_TRUE(FaceCoversCharset("Liberation Serif", GREEK_CHARSET));
  EXPECT_FALSE(FaceCoversCharset("DejaVu Sans", SHIFTJIS_CHARSET));
  EXPECT_TRUE(FamiliesForCharset(SHIFTJIS_CHARSET).empty());
  auto cyrillic = FamiliesForCharset(RUSSIAN_CHARSET);
  ASSERT_FALSE(cyrillic.empty());
  EXPECT_EQ(cyrillic.front(), "DejaVu Sans");  // fontconfig's preferred sans-serif
}

TEST(FontSystem, MetricsAtAThousandUnitEm) {
  auto font = TFont::Create({"Liberation Sans", -1000, 0, 400, false, 0});
  ASSERT_TRUE(font);
  EXPECT_EQ(font->FaceName(), "Liberation Sans");
  EXPECT_EQ(font->UnitsPerEm(), 2048);
  // Arial's well-known widths: space 278, A 667, W 944, digits 556.
  EXPECT_EQ(font->CharAdvance(U' '), 278);
  EXPECT_EQ(font->CharAdvance(U'A'), 667);
  EXPECT_EQ(font->CharAdvance(U'W'), 944);
  EXPECT_EQ(font->CharAdvance(U'0'), 556);
  auto tm = font->TextMetrics();
  EXPECT_EQ(tm.Ascent, 905);
  EXPECT_EQ(tm.Descent, 212);
  EXPECT_EQ(tm.Height, 1117);
  EXPECT_EQ(tm.InternalLeading, 117);
  EXPECT_FALSE(tm.FixedPitch);
  auto om = font->OutlineMetrics();
  EXPECT_EQ(om.EmSquare, 2048);
  EXPECT_EQ(om.ItalicAngle, 0);
  EXPECT_GT(om.Ascent, 700);
  EXPECT_LT(om.Descent, 0);
  EXPECT_LT(om.BBoxLeft, 0);
  EXPECT_GT(om.BBoxTop, om.Ascent);

  auto italic = TFont::Create({"Liberation Sans", -1000, 0, 400, true, 0});
  EXPECT_LT(italic->OutlineMetrics().ItalicAngle, 0);  // tenths of a degree, right slant
  auto mono = TFont::Create({"Courier New", -1000, 0, 700, false, 0});
  EXPECT_EQ(mono->FaceName(), "Liberation Mono");
  EXPECT_TRUE(mono->TextMetrics().FixedPitch);
  EXPECT_EQ(mono->CharAdvance(U'i'), 600);
}

TEST(FontSystem, CellHeightAndWidthFollowGdiRules) {
  // A positive height is the cell height (ascent + descent).
  auto cell = TFont::Create({"Liberation Sans", 1117, 0, 400, false, 0});
  EXPECT_EQ(cell->TextMetrics().Height, 1117);
  EXPECT_NEAR(cell->EmPixels(), 1000, 1);
  // A width twice the natural average doubles every advance.
  auto normal = TFont::Create({"Liberation Sans", -100, 0, 400, false, 0});
  auto wide = TFont::Create(
      {"Liberation Sans", -100, normal->TextMetrics().AveCharWidth * 2, 400, false, 0});
  EXPECT_NEAR(wide->CharAdvance(U'A'), 2 * normal->CharAdvance(U'A'), 2);
}

TEST(FontSystem, UnknownFamiliesAreSubstitutedNotRefused) {
  auto font = TFont::Create({"No Such Family", -16, 0, 400, false, RUSSIAN_CHARSET});
  ASSERT_TRUE(font);
  EXPECT_TRUE(FaceCoversCharset(font->FaceName(), RUSSIAN_CHARSET));
}

TEST(FontSystem, TextExtentsWithAdvances) {
  auto font = TFont::Create({"DejaVu Sans", -20, 0, 400, false, 0});
  std::vector<int> advances;
  auto e = font->TextExtent(u"Wg\u0416", &advances);
  ASSERT_EQ(advances.size(), 3u);
  EXPECT_EQ(e.Width, advances[0] + advances[1] + advances[2]);
  EXPECT_EQ(e.Height, font->TextMetrics().Height);
  EXPECT_EQ(advances[0], font->CharAdvance(U'W'));
  // Single-byte text goes through the charset's code page: 0xC6 is Ж in 1251.
  auto cyr = TFont::Create({"DejaVu Sans", -20, 0, 400, false, RUSSIAN_CHARSET});
  std::vector<int> a;
  cyr->TextExtentA("\xC6", &a);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0], font->CharAdvance(U'\u0416'));
  // Double-byte text: each advance stands at its character's first byte.
  // "A", hiragana a (82 A0 in Shift-JIS), "B".
  auto jp = TFont::Create({"DejaVu Sans", -20, 0, 400, false, SHIFTJIS_CHARSET});
  std::vector<int> d;
  jp->TextExtentA("A\x82\xA0" "B", &d);
  ASSERT_EQ(d.size(), 4u);
  std::vector<int> b;
  jp->TextExtentA("B", &b);
  EXPECT_EQ(d[2], 0);
  EXPECT_EQ(d[3], b[0]);
  EXPECT_GT(d[3], 0);
}

TEST(FontSystem, CombiningMarksComposeIntoOneGlyph) {
  auto font = TFont::Create({"DejaVu Sans", -100, 0, 400, false, 0});
  TGlyphRun run;
  ASSERT_TRUE(font->PlaceCharacters(u"e\u0301x", run));
  ASSERT_EQ(run.Glyphs.size(), 2u);  // é precomposed, then x
  std::string cmap;
  auto program = TFontProgram::Load(font->FontFile());
  ASSERT_TRUE(program);
  EXPECT_EQ(run.Glyphs[0], program->GlyphOfChar(U'\u00E9'));
  EXPECT_EQ(run.Advances[0], font->CharAdvance(U'\u00E9'));
}

TEST(FontSystem, TablesAndWholeFile) {
  auto font = TFont::Create({"DejaVu Sans", -1000, 0, 400, false, 0});
  std::string head;
  ASSERT_TRUE(font->GetTable(TableTag("head"), head));
  EXPECT_EQ(head.size(), 54u);
  std::string none;
  EXPECT_FALSE(font->GetTable(TableTag("zzzz"), none));
  std::string file = font->FontFile();
  ASSERT_GT(file.size(), 100000u);
  EXPECT_EQ(file.substr(0, 4), std::string("\0\1\0\0", 4));
  EXPECT_FALSE(TFontProgram::Load("not a font"));
}

TEST(CodePage, ConversionsOfEveryCharsetCodePage) {
  struct Case {
    int codePage;
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {1252, "A\x80\x81\x9F\xFF", u"A\u20AC\u0081\u0178\u00FF"},
      {1251, "\xC6\xE8", u"\u0416\u0438"},
      {1250, "\xA3", u"\u0141"},
      {1253, "\xC1", u"\u0391"},
      {1254, "\xD0", u"\u011E"},
      {1255, "\xE0", u"\u05D0"},
      {1256, "\xC7", u"\u0627"},
      {1257, "\xC0", u"\u0104"},
      {1258, "\xC3", u"\u0102"},
      {874, "\xA1", u"\u0E01"},
      {10000, "\x80", u"\u00C4"},
      {932, "\x82\xA0", u"\u3042"},
      {936, "\xD6\xD0", u"\u4E2D"},
      {949, "\xB0\xA1", u"\uAC00"},
      {950, "\xA4\xA4", u"\u4E2D"},
      {1361, "\x88\x61", u"\uAC00"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(CodePageSupported(c.codePage));
    EXPECT_EQ(MultiByteToUnicode(c.bytes, c.codePage), c.text) << c.codePage;
    if (c.codePage != 1252) {
      EXPECT_EQ(UnicodeToMultiByte(c.text, c.codePage), c.bytes) << c.codePage;
    }
  }
  EXPECT_FALSE(CodePageSupported(12345));
  EXPECT_EQ(MultiByteToUnicode("abc", 12345), u"");
  // A truncated double-byte sequence keeps its byte instead of vanishing.
  EXPECT_EQ(MultiByteToUnicode("a\x82", 932), u"a\u0082");
  EXPECT_EQ(UnicodeToMultiByte(u"a\u4E2Db", 1252), "a?b");
}

TEST(CodePage, DefaultFontCharsetFollowsTheLocale) {
  const char* saved = std::getenv("LC_ALL");
  std::string keep = saved ? saved : "";
  setenv("LC_ALL", "ru_RU.UTF-8", 1);
  EXPECT_EQ(DefaultFontCharset(), 204);
  setenv("LC_ALL", "en_US.UTF-8", 1);
  EXPECT_EQ(DefaultFontCharset(), 0);
  setenv("LC_ALL", "zh_TW.UTF-8", 1);
  EXPECT_EQ(DefaultFontCharset(), 136);
  if (saved)
    setenv("LC_ALL", keep.c_str(), 1);
  else
    unsetenv("LC_ALL");
}

TEST(FontSystem, ScreenDensity) {
  EXPECT_EQ(ScreenPixelsPerInch(), 96);
}

}  // namespace
