// The font registry and the objects fonts write.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "core/doc_fixture.h"
#include "quillora/core/document.h"
#include "quillora/fonts/font_lookup.h"
#include "quillora/fonts/font_registry.h"
#include "quillora/page/page.h"

namespace quillora {
namespace {

struct Registry {
  TPDFDocument doc;
  TPDFFont* Get(const std::string& name, int style, bool unicode) {
    return doc.Fonts().GetFont(name, style, unicode);
  }
};

TEST(FontRegistry, StandardFontsByNameAndStyle) {
  Registry r;
  TPDFFont* bold = r.Get("Helvetica", 1, false);
  EXPECT_EQ(r.Get("Helvetica", 1, false), bold);
  EXPECT_TRUE(bold->StandardFont());
  EXPECT_EQ(bold->ResourceName(), "F1");
  EXPECT_EQ(r.Get("helvetica", 1 | 2 | 4, false)->StandardIndex(), 3);
  EXPECT_EQ(r.Get("TIMES", 2, false)->StandardIndex(), 6);
  EXPECT_EQ(r.Get("Courier", 8, false)->StandardIndex(), 8);
  EXPECT_EQ(r.Get("Symbol", 3, false)->StandardIndex(), 12);
  EXPECT_EQ(r.Get("ZapfDingbats", 1, false)->ResourceName(), "F13");
  // A name that is not installed falls back to Helvetica for single bytes.
  EXPECT_EQ(r.Get("No Such Font", 0, false)->ResourceName(), "F0");
}

TEST(FontRegistry, UnicodeTextNeverMapsToAStandardFont) {
  Registry r;
  TPDFFont* f = r.Get("Helvetica", 0, true);
  EXPECT_FALSE(f->StandardFont());
  EXPECT_TRUE(f->Unicode());
  EXPECT_EQ(f->FontName(), "Arial");  // the fallback, kept in the requested spelling
  EXPECT_EQ(f->ResourceName(), "TT1");
  ASSERT_NE(f->TTFData(), nullptr);
  EXPECT_EQ(r.Get("Arial", 0, true), f);
  EXPECT_EQ(r.Get("No Such Font", 0, true), f);
}

TEST(FontRegistry, EmulatedStandardFonts) {
  Registry r;
  r.doc.SetEmulateStandardFont(true);
  EXPECT_EQ(r.Get("Arial", 2, false)->ResourceName(), "F2");
  EXPECT_EQ(r.Get("Courier New", 3, false)->StandardIndex(), 11);
  EXPECT_EQ(r.Get("times new roman", 1, false)->StandardIndex(), 5);
  EXPECT_FALSE(r.Get("Arial", 0, true)->StandardFont());  // Unicode text is never emulated
  Registry plain;
  TPDFFont* arial = plain.Get("Arial", 2, false);
  EXPECT_FALSE(arial->StandardFont());
  EXPECT_EQ(arial->ResourceName().substr(0, 2), "TT");
}

TEST(FontRegistry, AliasesAndSpellingsFindTheSameFont) {
  Registry r;
  TPDFFont* a = r.Get("Arial", 1, false);
  EXPECT_EQ(a->FontName(), "Arial");
  EXPECT_EQ(r.Get("ARIAL", 1, false), a);
  TPDFFont* d = r.Get("dejavu sans", 0, false);
  EXPECT_EQ(d->FontName(), "DejaVu Sans");  // the installed spelling
  EXPECT_EQ(r.Get("DejaVu Sans", 0, false), d);
  EXPECT_EQ(d->ResourceName(), "TT2");
  EXPECT_EQ(r.doc.Fonts().Count(), 2);
}

TEST(FontRegistry, NearestStyleAndResourceNumbers) {
  Registry r;
  r.Get("Helvetica", 0, false);
  // DejaVu Sans Mono has no face of its own for every style combination
  // name, but DejaVu Math TeX Gyre has only a regular face.
  TPDFFont* math = r.Get("DejaVu Math TeX Gyre", 3, false);
  EXPECT_EQ(math->Style(), 0);
  EXPECT_EQ(r.Get("DejaVu Math TeX Gyre", 1, false), math);  // found again with the resolved style
  EXPECT_EQ(math->ResourceName(), "TT1");
  int style = 3;
  std::string name = "liberation serif";
  ASSERT_TRUE(ResolveTrueTypeFont(name, style));
  EXPECT_EQ(name, "Liberation Serif");
  EXPECT_EQ(style, 3);
  name = "Nope";
  EXPECT_FALSE(ResolveTrueTypeFont(name, style));
}

TEST(FontLookup, InstalledFontTests) {
  EXPECT_FALSE(FontExists("", 0));
  EXPECT_TRUE(FontExists("DejaVu Sans", 204));
  EXPECT_TRUE(FontExists("Arial", 0));  // through its metric-compatible alias
  EXPECT_FALSE(FontExists("Times", 0));
  EXPECT_FALSE(FontExists("DejaVu Sans", 128));
  EXPECT_EQ(FindFontForCharset(204), "DejaVu Sans");
  EXPECT_EQ(FindFontForCharset(128), "");
  EXPECT_EQ(BestSansSerifFont(), "DejaVu Sans");
}

TEST(FontRegistry, MetricsOfTrueTypeFonts) {
  Registry r;
  TPDFFont* f = r.Get("Liberation Sans", 0, false);
  EXPECT_EQ(f->Width('A'), 667);
  EXPECT_EQ(f->Width(0x80), 556);  // the euro through Windows-1252
  EXPECT_EQ(f->Ascent(), 905);
  TPDFFont* mono = r.Get("Liberation Mono", 0, false);
  for (int code : {0, 32, 65, 200}) EXPECT_EQ(mono->Width(code), 600);
  EXPECT_EQ(r.Get("Times", 1, false)->Ascent(), 633);
}

// The objects a used font writes, from the finished file.
std::string FileWith(const std::function<void(TPDFDocument&, TPDFPage&)>& draw,
                     const std::vector<std::string>& nonEmbedded = {}) {
  TPDFDocument doc;
  doc.SetNonEmbeddedFont(nonEmbedded);
  testing::FixedClock clock;
  return testing::BuildPdf(doc, [&](TPDFDocument& d) { draw(d, *d.CurrentPage()); });
}

TEST(FontObjects, StandardFontWritesOneObject) {
  std::string pdf = FileWith([](TPDFDocument& d, TPDFPage& p) {
    d.Fonts().GetFont("Courier", 0, false);  // never selected: nothing written
    p.SetTextFont("Symbol", 0, 10, 0);
    p.ShowText(10, 10, 0, "a");
  });
  EXPECT_NE(pdf.find("<</Type /Font\r\n/Subtype /Type1\r\n/BaseFont /Symbol\r\n/FirstChar 32\r\n"
                     "/LastChar 255\r\n>>\r\nendobj"),
            std::string::npos);
  EXPECT_EQ(pdf.find("/Courier"), std::string::npos);
  EXPECT_EQ(pdf.find("/WinAnsiEncoding"), std::string::npos);
}

TEST(FontObjects, SingleByteTrueTypeWidthsAndDescriptor) {
  std::string pdf = FileWith([](TPDFDocument&, TPDFPage& p) {
    p.SetTextFont("Liberation Sans", 3, 10, 0);
    p.ShowText(10, 10, 0, "BA");
  });
  EXPECT_NE(pdf.find("/BaseFont /Liberation#20Sans#20Bold#20Italic\r\n/FirstChar 65\r\n"
                     "/LastChar 66\r\n/Encoding /WinAnsiEncoding\r\n"),
            std::string::npos);
  EXPECT_NE(pdf.find("/Widths [722 722 ]\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("/Type /FontDescriptor\r\n/Ascent "), std::string::npos);
  EXPECT_NE(pdf.find("/CapHeight 666\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("/Flags 32\r\n/FontBBox ["), std::string::npos);
  EXPECT_TRUE(std::regex_search(
      pdf, std::regex("/ItalicAngle -1[0-9]{2}\r\n/StemV 87\r\n/FontFile2 [0-9]+ 0 R")));
  EXPECT_TRUE(std::regex_search(
      pdf, std::regex("/Filter /FlateDecode /Length [0-9]+ /Length1 [0-9]+\r\n>>\r\nstream\r\n")));

  std::string range = FileWith([](TPDFDocument&, TPDFPage& p) {
    p.SetTextFont("Liberation Mono", 0, 10, 0);
    p.ShowText(10, 10, 0, "<F");  // 60 and 70
  });
  EXPECT_NE(range.find("/Widths [600 0 0 0 0 \r\n0 0 0 0 0 600 ]"), std::string::npos);
}

TEST(FontObjects, NonEmbeddedFontsHaveNoProgram) {
  std::string pdf = FileWith(
      [](TPDFDocument&, TPDFPage& p) {
        p.SetTextFont("Liberation Serif", 0, 10, 0);
        p.ShowText(10, 10, 0, "x");
        p.ShowTextW(10, 30, 0, u"\u0416");
      },
      {"liberation SERIF"});
  EXPECT_EQ(pdf.find("/FontFile2"), std::string::npos);
  EXPECT_EQ(pdf.find("/Length1"), std::string::npos);
}

TEST(FontObjects, UnicodeFontObjectsInOrder) {
  std::string pdf = FileWith([](TPDFDocument&, TPDFPage& p) {
    p.SetTextFont("DejaVu Sans", 0, 10, 0);
    p.ShowTextW(10, 10, 0, u"\u0416\u0416\u03A9");  // a glyph used twice is listed once
  });
  std::smatch m;
  ASSERT_TRUE(std::regex_search(
      pdf, m,
      std::regex(
          "([0-9]+) 0 obj\r\n<</Filter /FlateDecode /Length [0-9]+ /Length1 [0-9]+\r\n"
          ">>\r\nstream\r\n[\\s\\S]*?endstream\r\nendobj\r\n"
          "([0-9]+) 0 obj\r\n<</Type /FontDescriptor\r\n[\\s\\S]*?/FontName /DejaVu#20Sans\r\n"
          "[\\s\\S]*?/FontFile2 \\1 0 R\r\n>>\r\nendobj\r\n"
          "([0-9]+) 0 obj\r\n<</Type /Font\r\n/BaseFont /DejaVu#20Sans\r\n"
          "/Subtype /CIDFontType2\r\n"
          "/CIDSystemInfo <</Ordering\\(Identity\\)/Registry\\(Adobe\\)/Supplement 0>>\r\n"
          "/DW 1000\r\n/W\\[[0-9]+\\[[0-9]+\\][0-9]+\\[[0-9]+\\]\\]\r\n"
          "/FontDescriptor \\2 0 R\r\n>>\r\nendobj\r\n"
          "([0-9]+) 0 obj\r\n<</Filter /FlateDecode /Length [0-9]+\r\n>>\r\nstream\r\n"
          "[\\s\\S]*?endstream\r\nendobj\r\n"
          "[0-9]+ 0 obj\r\n<</Type /Font\r\n/Subtype /Type0\r\n/BaseFont /DejaVu#20Sans\r\n"
          "/Encoding /Identity-H\r\n/DescendantFonts \\[\\3 0 R\\]\r\n/ToUnicode \\4 0 R\r\n"
          ">>\r\nendobj")));
  int program = std::stoi(m[1]), descriptor = std::stoi(m[2]);
  EXPECT_EQ(descriptor, program + 1);
}

}  // namespace
}  // namespace quillora
