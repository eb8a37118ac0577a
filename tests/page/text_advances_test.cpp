// Text with per-character advances and text by glyph index.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "quillora/core/document.h"
#include "quillora/core/tokens.h"
#include "quillora/fonts/font_registry.h"
#include "quillora/page/page.h"

namespace quillora {
namespace {

struct PageFixture {
  TPDFDocument doc;
  std::ostringstream out;
  PageFixture() {
    doc.SetOutputStream(&out);
    doc.StartDocument();
  }
  ~PageFixture() {
    if (doc.Generating()) doc.AbortDocument();
  }
  TPDFPage& page() { return *doc.CurrentPage(); }
  std::string lines() { return page().ContentText().substr(3); }
  TTTFData& unicode() {
    return *doc.Fonts().GetFont(page().TextState().FontName, 0, true)->TTFData();
  }
};

TEST(TextAdvances, SingleByteTextOneCharacterPerLine) {
  PageFixture f;
  f.page().SetTextFont("Helvetica", 0, 10, 0);
  std::vector<double> a = {7.2, 5};
  f.page().ShowTextAdvances(0, 0, 0, "H(", a);
  EXPECT_EQ(f.lines(),
            "BT\r\n10 0 0 10 0 834.72 Tm\r\n/F0 1 Tf\r\n(H) Tj 0.72 0 Td\r\n(\\() Tj 0.5 0 Td\r\n");
  // Without advances it is ShowText.
  PageFixture g;
  g.page().ShowTextAdvances(0, 0, 0, "H", {});
  EXPECT_NE(g.lines().find("(H) Tj\r\n"), std::string::npos);
}

TEST(TextAdvances, SpacingsAreResetFirst) {
  PageFixture f;
  f.page().SetCharacterSpacing(1);
  f.page().SetWordSpacing(1);
  f.page().SetHorizontalScaling(50);
  std::vector<double> a = {1};
  f.page().ShowTextAdvances(0, 0, 0, "x", a);
  EXPECT_NE(f.lines().find("100 Tz\r\n0 Tw\r\n0 Tc\r\n"), std::string::npos) << f.lines();
}

// Advances in device units (Resolution 72, size 10) equal to the natural widths.
std::vector<double> Natural(TTTFData& data, std::u16string_view text) {
  std::vector<double> a;
  for (char16_t c : text) a.push_back(data.CharWidth(c) / 100.0);
  return a;
}

TEST(TextAdvances, MatchingAdvancesGiveOneRun) {
  PageFixture f;
  f.page().SetTextFont("DejaVu Sans", 0, 10, 0);
  std::u16string text = u"\u0416\u0418\u0419";
  auto a = Natural(f.unicode(), text);
  f.page().ShowTextWAdvances(0, 0, 0, text, a);
  std::string l = f.lines();
  EXPECT_EQ(l.find("Tc"), std::string::npos) << l;
  EXPECT_EQ(l.find("Td"), std::string::npos) << l;
  EXPECT_NE(l.find("> Tj"), std::string::npos);
}

TEST(TextAdvances, AWideCharacterEndsTheRunWithAFittedSpacing) {
  PageFixture f;
  f.page().SetTextFont("DejaVu Sans", 0, 10, 0);
  std::u16string text = u"\u0416\u0418\u0419\u0416";
  auto a = Natural(f.unicode(), text);
  a[0] += 0.5;  // drifts by 0.05 text units: still the same run
  a[2] -= 3;    // the third is much narrower than its natural width
  f.page().ShowTextWAdvances(0, 0, 0, text, a);
  std::string l = f.lines();
  // (S - W) / 2 of the first two characters, then the run of three, then a
  // move by S including the third advance.
  auto& d = f.unicode();
  std::string hex = "<" + WordToHex(d.CharToGlyph(u'\u0416')) +
                    WordToHex(d.CharToGlyph(u'\u0418')) + WordToHex(d.CharToGlyph(u'\u0419')) +
                    "> Tj";
  double s = (a[0] + a[1] + a[2]) / 10;
  EXPECT_NE(l.find("0.025 Tc\r\n" + hex + "\r\n" + FormatReal(s) + " 0 Td\r\n"), std::string::npos)
      << l;
  // The last character runs alone with the spacing of its own run: 0.
  EXPECT_NE(l.find("0 Tc\r\n<" + WordToHex(d.CharToGlyph(u'\u0416')) + "> Tj\r\n"),
            std::string::npos)
      << l;
}

TEST(TextAdvances, AFirstCharacterThatDisagreesRunsAlone) {
  PageFixture f;
  f.page().SetTextFont("DejaVu Sans", 0, 10, 0);
  std::u16string text = u"\u0416\u0418";
  auto a = Natural(f.unicode(), text);
  a[0] += 5;
  f.page().ShowTextWAdvances(0, 0, 0, text, a);
  std::string l = f.lines();
  auto& d = f.unicode();
  EXPECT_NE(l.find("<" + WordToHex(d.CharToGlyph(u'\u0416')) + "> Tj\r\n" + FormatReal(a[0] / 10) +
                   " 0 Td\r\n<" + WordToHex(d.CharToGlyph(u'\u0418')) + "> Tj\r\n"),
            std::string::npos)
      << l;
  EXPECT_EQ(l.find("Tc"), std::string::npos) << l;
}

TEST(TextAdvances, MixedKindsSwitchFonts) {
  PageFixture f;
  f.page().SetTextFont("DejaVu Sans", 0, 10, 0);
  std::u16string text = u"a\u0416";
  std::vector<double> a = {6.13, 8.4};
  f.page().ShowTextWAdvances(0, 0, 0, text, a);
  std::string l = f.lines();
  EXPECT_NE(l.find("/TT1 1 Tf\r\n(a) Tj\r\n0.61 0 Td\r\n/TT2 1 Tf\r\n<"), std::string::npos) << l;
}

TEST(TextAdvances, UnderlineIsAsLongAsTheAdvances) {
  PageFixture f;
  f.page().SetTextFont("Courier", 4, 10, 0);
  f.page().SetBaselineOrigin(true);
  std::vector<double> a = {10, 10, 5};
  f.page().ShowTextAdvances(100, 100, 0, "abc", a);
  EXPECT_NE(f.lines().find("100 741.5 25 -0.5 re\r\nf\r\n"), std::string::npos) << f.lines();
}

TEST(TextAdvances, GlyphsWithoutAdvancesInOneLine) {
  PageFixture f;
  f.page().SetTextFont("DejaVu Sans", 0, 10, 0);
  auto& d = f.unicode();
  std::vector<uint16_t> glyphs = {d.CharToGlyph(u'A'), d.CharToGlyph(u'\u00E9')};
  f.page().ShowGlyphs(0, 0, 0, glyphs, {});
  std::string l = f.lines();
  EXPECT_NE(l.find("<" + WordToHex(glyphs[0]) + WordToHex(glyphs[1]) + "> Tj\r\n"),
            std::string::npos)
      << l;
  EXPECT_EQ(f.page().AnnotationCount(), 0);
}

TEST(TextAdvances, UnmappedGlyphsKeepTheirOwnWidth) {
  PageFixture f;
  f.page().SetTextFont("DejaVu Sans", 0, 10, 0);
  auto& d = f.unicode();
  // Find a glyph no character maps (a shaping form).
  std::vector<bool> mapped(d.NumGlyphs(), false);
  for (const auto& e : d.CharMap()) mapped[e.Glyph] = true;
  uint16_t extra = 0;
  for (uint16_t g = 1; g < d.NumGlyphs() && !extra; ++g)
    if (!mapped[g]) extra = g;
  ASSERT_NE(extra, 0);
  std::vector<uint16_t> glyphs = {extra};
  f.page().ShowGlyphs(0, 0, 0, glyphs, {});
  EXPECT_FALSE(d.CharMap()[0].Used);
  EXPECT_NE(d.GetWidthArray().find(std::to_string(extra) + "[" +
                                   std::to_string(d.GlyphWidth(extra)) + "]"),
            std::string::npos);
}

}  // namespace
}  // namespace quillora
