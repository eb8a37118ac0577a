// Text operators of the page, line by line.
#include <gtest/gtest.h>

#include <sstream>

#include "core/doc_fixture.h"
#include "quillora/core/actions.h"
#include "quillora/core/annotations.h"
#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/fonts/font_registry.h"
#include "quillora/page/page.h"

namespace quillora {
namespace {

struct PageFixture {
  TPDFDocument doc;
  std::ostringstream out;
  explicit PageFixture(int resolution = 72, bool urls = true) {
    doc.SetOutputStream(&out);
    doc.SetResolution(resolution);
    doc.SetAutoCreateURL(urls);
    doc.StartDocument();
  }
  ~PageFixture() {
    if (doc.Generating()) doc.AbortDocument();
  }
  TPDFPage& page() { return *doc.CurrentPage(); }
  // Content after the initial "q".
  std::string lines() { return page().ContentText().substr(3); }
};

TEST(TextOutput, FirstTextSelectsTheFontAfterTheMatrix) {
  PageFixture f;
  f.page().ShowText(10, 20, 0, "Hi");
  // 842 - 20 - 728 * 8 / 1000 = 816.176
  EXPECT_EQ(f.lines(), "BT\r\n8 0 0 8 10 816.18 Tm\r\n/F0 1 Tf\r\n(Hi) Tj\r\n");
  f.page().ShowText(10, 40, 0, "Yo");
  EXPECT_EQ(
      f.lines(),
      "BT\r\n8 0 0 8 10 816.18 Tm\r\n/F0 1 Tf\r\n(Hi) Tj\r\n8 0 0 8 10 796.18 Tm\r\n(Yo) Tj\r\n");
}

TEST(TextOutput, BytesAreEscapedAndControlsShowAsSpaces) {
  struct Case {
    std::string text;
    std::string shown;
  } cases[] = {{"a(b)\\", "(a\\(b\\)\\\\) Tj"}, {"a\tb", "(a b) Tj"}, {"x\ny\r", "(x y ) Tj"}};
  for (const auto& c : cases) {
    PageFixture f;
    f.page().ShowText(0, 0, 0, c.text);
    std::string l = f.lines();
    EXPECT_NE(l.find(c.shown + "\r\n"), std::string::npos) << l;
  }
}

TEST(TextOutput, StateOperatorsAreWrittenOnlyOnChange) {
  PageFixture f(144);
  TPDFPage& p = f.page();
  p.SetCharacterSpacing(1);  // 0.5 point, five decimals allowed
  p.SetCharacterSpacing(1);
  p.SetCharacterSpacingPage(0.123456L);
  p.SetWordSpacing(3);
  p.SetWordSpacing(3);
  p.SetHorizontalScaling(100);
  p.SetHorizontalScaling(80);
  p.SetTextRenderingMode(2);
  p.SetTextRenderingMode(2);
  EXPECT_EQ(f.lines(), "BT\r\n0.5 Tc\r\n0.12346 Tc\r\n1.5 Tw\r\n80 Tz\r\n2 Tr\r\n2 Tr\r\n");
}

TEST(TextOutput, FontSelectionAgainAfterChangesAndRestores) {
  PageFixture f;
  TPDFPage& p = f.page();
  p.ShowText(0, 0, 0, "a");
  p.SetTextFont("Helvetica", 0, 8, 0);  // unchanged: no new selection
  p.ShowText(0, 0, 0, "b");
  p.SetTextFont("Times", 1, 8, 0);
  p.ShowText(0, 0, 0, "c");
  p.SaveState();
  p.SetTextFont("Courier", 0, 8, 0);
  p.ShowText(0, 0, 0, "d");
  p.RestoreState();  // the restored state no longer holds Courier
  p.ShowText(0, 0, 0, "e");
  std::string l = f.lines();
  EXPECT_EQ(l.find("/F0 1 Tf"), l.rfind("/F0 1 Tf"));
  EXPECT_NE(l.find("/F5 1 Tf\r\n(c)"), std::string::npos);
  EXPECT_NE(l.find("/F8 1 Tf\r\n(d)"), std::string::npos);
  EXPECT_NE(l.find("/F8 1 Tf\r\n(e)"), std::string::npos) << l;
}

TEST(TextOutput, CharsetTextIsShownAsUnicode) {
  PageFixture f;
  f.page().SetTextFont("Arial", 0, 10, 204);
  f.page().ShowText(0, 0, 0, "\xC6\xE8");  // Жи in code page 1251
  std::string l = f.lines();
  TPDFFont* font = f.doc.Fonts().GetFont("Arial", 0, true);
  std::string hex = "<" + WordToHex(font->TTFData()->CharToGlyph(u'\u0416')) +
                    WordToHex(font->TTFData()->CharToGlyph(u'\u0438')) + "> Tj";
  // The ascent came from the family's single-byte font, created first (TT1).
  EXPECT_EQ(font->ResourceName(), "TT2");
  EXPECT_NE(l.find("/TT2 1 Tf\r\n" + hex), std::string::npos) << l;
}

TEST(TextOutput, MixedTextSwitchesFontsAtEveryChangeOfKind) {
  PageFixture f;
  f.page().SetTextFont("Arial", 0, 10, 0);
  f.page().ShowTextW(0, 0, 0, u"ab\u0416\u0416c\u00A0d");
  std::string l = f.lines();
  TPDFFont* unicode = f.doc.Fonts().GetFont("Arial", 0, true);
  std::string zhe = WordToHex(unicode->TTFData()->CharToGlyph(u'\u0416'));
  EXPECT_NE(l.find("/TT1 1 Tf\r\n(ab) Tj\r\n/TT2 1 Tf\r\n<" + zhe + zhe +
                   "> Tj\r\n/TT1 1 Tf\r\n(c d) Tj\r\n"),
            std::string::npos)
      << l;
  TPDFFont* single = f.doc.Fonts().GetFont("Arial", 0, false);
  EXPECT_TRUE(single->CodeUsed('a'));
  EXPECT_TRUE(single->CodeUsed(' '));
  EXPECT_FALSE(single->CodeUsed(0xA0));
}

TEST(TextOutput, UnconvertibleCharsetTextIsAnError) {
  PageFixture f;
  f.page().SetTextFont("Arial", 0, 10, 128);
  try {
    f.page().TextWidth("");
    EXPECT_EQ(f.page().TextWidth(""), 0);
    f.page().ShowText(0, 0, 0, "");  // nothing to convert, nothing shown
  } catch (...) {
    FAIL() << "empty text raised";
  }
  EXPECT_EQ(f.page().ContentText(), "q\r\n");
}

TEST(TextOutput, WidthsOfStandardFonts) {
  PageFixture f;
  TPDFPage& p = f.page();
  EXPECT_EQ(p.TextWidth(""), 0);
  p.SetTextFont("Helvetica", 0, 12, 0);
  EXPECT_NEAR(static_cast<double>(p.TextWidth("A")), 8.004, 1e-9);
  p.SetTextFont("Courier", 1, 12, 0);
  EXPECT_NEAR(static_cast<double>(p.TextWidth("Hello!")), 6 * 7.2, 1e-9);
  p.SetTextFont("ZapfDingbats", 0, 10, 0);
  EXPECT_NEAR(static_cast<double>(p.TextWidth(std::string(1, '\0'))), 2.5, 1e-9);
  EXPECT_EQ(p.TextWidth("\x01\x02\x1F"), 0);
  EXPECT_EQ(p.TextWidth("\x80\x90\xA0"), 0);
  // Two spaces with a word spacing of 2 points: only the first space counts.
  p.SetTextFont("Helvetica", 0, 8, 0);
  p.SetWordSpacing(2);
  EXPECT_NEAR(static_cast<double>(p.TextWidth("  ")), 2 * 278 * 8 / 1000.0 + 2, 1e-9);
  // Device units at another resolution.
  PageFixture g(144);
  g.page().SetTextFont("Courier", 0, 10, 0);
  EXPECT_NEAR(static_cast<double>(g.page().TextWidth("ab")), 2 * 6 * 2, 1e-9);
}

TEST(TextOutput, UnicodeWidths) {
  PageFixture f;
  TPDFPage& p = f.page();
  p.SetTextFont("DejaVu Sans", 0, 10, 0);
  TPDFFont* single = f.doc.Fonts().GetFont("DejaVu Sans", 0, false);
  TPDFFont* unicode = f.doc.Fonts().GetFont("DejaVu Sans", 0, true);
  long double expected =
      (single->Width('a') + unicode->TTFData()->CharWidth(u'\u0416')) * 10 / 1000.0L;
  EXPECT_NEAR(static_cast<double>(p.TextWidthWPoints(u"a\u0416")), static_cast<double>(expected),
              1e-9);
  EXPECT_EQ(p.TextWidthWPoints(u""), 0);
}

TEST(TextOutput, UnderlineAndStrikeoutBands) {
  PageFixture f;
  TPDFPage& p = f.page();
  p.SetTextFont("Courier", 4 | 8, 10, 0);
  p.SetBaselineOrigin(true);
  p.ShowText(100, 100, 0, "abcd");  // width 24 points
  std::string l = f.lines();
  EXPECT_NE(l.find("(abcd) Tj\r\nET\r\n100 741.5 24 -0.5 re\r\n100 744.5 24 0.5 re\r\nf\r\n"),
            std::string::npos)
      << l;
}

TEST(TextOutput, RotatedBandsAndRenderingModes) {
  PageFixture f;
  TPDFPage& p = f.page();
  p.SetTextFont("Courier", 4, 10, 0);
  p.SetBaselineOrigin(true);
  p.SetTextRenderingMode(1);
  p.ShowText(100, 100, 90, "ab");  // width 12, baseline turned upwards
  std::string l = f.lines();
  // Start 3 points below the baseline: (100 + 3, 742); band 12 long, -0.5 high.
  EXPECT_NE(l.find("103 742 m\r\n103 754 l\r\n103.5 754 l\r\n103.5 742 l\r\n103 742 l\r\nS\r\n"),
            std::string::npos)
      << l;
  EXPECT_NE(l.find("0 10 -10 0 100 742 Tm"), std::string::npos) << l;
}

TEST(TextOutput, TextInRectAlignment) {
  struct Case {
    int h, v;
    const char* matrix;
  } cases[] = {{0, 0, "10 0 0 10 100 735 Tm"},
               {1, 1, "10 0 0 10 138 700 Tm"},
               {2, 2, "10 0 0 10 176 665 Tm"},
               {7, 7, "10 0 0 10 100 735 Tm"}};
  for (const auto& c : cases) {
    PageFixture f;
    f.page().SetTextFont("Courier", 0, 10, 0);
    f.page().SetBaselineOrigin(true);
    // A rectangle given with its corners swapped.
    f.page().TextInRect({200, 187, 100, 107}, "abcd", c.h, c.v);
    EXPECT_NE(f.lines().find(c.matrix), std::string::npos) << c.h << " " << f.lines();
  }
}

TEST(TextOutput, LinksFollowSpacesOrStartTheText) {
  struct Case {
    std::string text;
    std::vector<std::string> urls;
  } cases[] = {
      {"see http://example.org/x now", {"http://example.org/x"}},
      {"xhttp://glued.org", {}},
      {"mailto:a@b.org", {"mailto:a@b.org"}},
      {"FTP://Up.org and http://a.b", {"http://a.b", "FTP://Up.org"}},
      {"no links here", {}},
  };
  for (const auto& c : cases) {
    PageFixture f;
    f.page().SetTextFont("Courier", 0, 10, 0);
    f.page().ShowText(100, 100, 0, c.text);
    ASSERT_EQ(f.page().AnnotationCount(), static_cast<int>(c.urls.size())) << c.text;
    for (size_t i = 0; i < c.urls.size(); ++i) {
      auto* a = dynamic_cast<TPDFActionAnnotation*>(f.page().Annotations(static_cast<int>(i)));
      ASSERT_NE(a, nullptr);
      auto* action = dynamic_cast<TPDFURLAction*>(a->Action());
      ASSERT_NE(action, nullptr);
      EXPECT_EQ(action->URL(), c.urls[i]);
    }
  }
  // The rectangle covers exactly the URL: 4 characters of 6 points before it.
  PageFixture f;
  f.page().SetTextFont("Courier", 0, 10, 0);
  f.page().ShowText(100, 100, 0, "see http://a.b now");
  auto* a = f.page().Annotations(0);
  EXPECT_EQ(a->Left(), 124);
  EXPECT_EQ(a->Right(), 124 + 10 * 6);
  // From the top of the line down by the ascent offset, 693 * 10 / 1000.
  EXPECT_EQ(std::max(a->Top(), a->Bottom()), 842 - 100);
  EXPECT_EQ(std::min(a->Top(), a->Bottom()), 842 - 106);
  // Rotated text never links; nor does text with AutoCreateURL off.
  PageFixture r;
  r.page().ShowText(100, 100, 30, "http://a.b");
  EXPECT_EQ(r.page().AnnotationCount(), 0);
  PageFixture off(72, false);
  off.page().ShowText(100, 100, 0, "http://a.b");
  EXPECT_EQ(off.page().AnnotationCount(), 0);
}

}  // namespace
}  // namespace quillora
