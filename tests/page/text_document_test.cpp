// Whole documents with text, checked by independent readers: qpdf, poppler's
// pdffonts, pdftotext and pdftoppm.
#include <gtest/gtest.h>

#include <sstream>

#include "core/doc_fixture.h"
#include "quillora/core/document.h"
#include "quillora/page/page.h"
#include "support/pdf_tools.h"

namespace quillora {
namespace {

using testing_support::PdfToText;
using testing_support::QpdfCheck;
using testing_support::Quote;

std::string ToUtf8(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::vector<std::string> NonEmptyLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\f')) line.pop_back();
    while (!line.empty() && line.front() == '\f') line.erase(0, 1);
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

TEST(TextDocument, EmbeddedFontsAndExtractedText) {
  auto dir = testing_support::FreshDir("text_document");
  std::string file = (dir / "text.pdf").string();
  const std::u16string samples[] = {
      u"Latin text: The quick brown fox, 123.",
      u"\u041A\u0438\u0440\u0438\u043B\u043B\u0438\u0446\u0430: \u0421\u044A\u0435\u0448\u044C "
      u"\u0435\u0449\u0451",
      u"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC \u03A9\u03C9",
      u"Accents: \u00E9\u00E8\u00EA \u00C5ngstr\u00F6m \u00FC\u00DF \u0152uvre \u20AC5 \u2014 "
      u"\u00FF",
  };
  std::vector<std::string> expected;
  {
    TPDFDocument doc;
    doc.SetFileName(file);
    doc.SetCompression(ctFlate);
    doc.StartDocument();
    TPDFPage& p = *doc.CurrentPage();
    long double y = 20;
    for (const char* face : {"DejaVu Sans", "Liberation Serif"}) {
      for (int style = 0; style < 4; ++style) {
        p.SetTextFont(face, style, 9, 0);
        for (const auto& s : samples) {
          p.ShowTextW(20, y, 0, s);
          expected.push_back(ToUtf8(s));
          y += 11;
        }
      }
    }
    doc.AddPage();
    TPDFPage& q = *doc.CurrentPage();
    const char* standard[] = {"Helvetica", "Times", "Courier"};
    y = 20;
    for (const char* face : standard) {
      for (int style = 0; style < 4; ++style) {
        q.SetTextFont(face, style, 10, 0);
        std::string text =
            std::string(face) + " style " + std::to_string(style) + " caf\xE9 \x80 5";
        q.ShowText(20, y, 0, text);
        expected.push_back(std::string(face) + " style " + std::to_string(style) +
                           " caf\u00E9 \u20AC 5");
        y += 14;
      }
    }
    // Single-byte text in TrueType fonts (simple fonts with subsets).
    q.SetTextFont("Liberation Sans", 1, 10, 0);
    q.ShowText(20, y, 0, "Single byte \xC5ngstr\xF6m \x93quoted\x94");
    expected.push_back("Single byte \u00C5ngstr\u00F6m \u201Cquoted\u201D");
    y += 14;
    q.SetTextFont("Symbol", 0, 10, 0);
    q.ShowText(20, y, 0, "abg");
    y += 14;
    q.SetTextFont("ZapfDingbats", 0, 10, 0);
    q.ShowText(20, y, 0, "3456");
    doc.FinishDocument();
  }
  EXPECT_EQ(QpdfCheck(file), "");

  auto fonts = testing_support::Run("pdffonts " + Quote(file));
  ASSERT_EQ(fonts.exit_code, 0) << fonts.err;
  int type0 = 0, trueType = 0, type1 = 0;
  std::istringstream in(fonts.out);
  std::string line;
  while (std::getline(in, line)) {
    // The last columns: emb, sub, uni, object number, generation.
    std::vector<std::string> words;
    std::istringstream w(line);
    for (std::string word; w >> word;) words.push_back(word);
    if (words.size() < 6) continue;
    const std::string& emb = words[words.size() - 5];
    const std::string& uni = words[words.size() - 3];
    if (line.find("CID TrueType") != std::string::npos) {
      ++type0;
      EXPECT_EQ(emb + uni, "yesyes") << line;
    } else if (line.find("TrueType") != std::string::npos) {
      ++trueType;
      EXPECT_EQ(emb, "yes") << line;
      EXPECT_NE(line.find("WinAnsi"), std::string::npos) << line;
    } else if (line.find("Type 1") != std::string::npos) {
      ++type1;
      EXPECT_EQ(emb, "no") << line;
    }
  }
  // Eight Unicode fonts (two families, four styles) with their single-byte
  // partners, one single-byte TrueType font, fourteen standard fonts.
  EXPECT_EQ(type0, 8) << fonts.out;
  EXPECT_EQ(trueType, 9) << fonts.out;
  EXPECT_EQ(type1, 14) << fonts.out;

  auto lines = NonEmptyLines(PdfToText(file));
  // The symbolic fonts' lines come last and read as Greek and dingbats.
  ASSERT_GE(lines.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << i;
}

TEST(TextDocument, BandsRenderWhereTheyAreDrawn) {
  auto dir = testing_support::FreshDir("text_bands");
  std::string file = (dir / "bands.pdf").string();
  {
    TPDFDocument doc;
    doc.SetFileName(file);
    doc.StartDocument();
    TPDFPage& p = *doc.CurrentPage();
    p.SetBaselineOrigin(true);
    p.SetTextFont("Courier", 4 | 8, 40, 0);
    p.ShowText(100, 200, 0, "    ");  // spaces: only the bands are drawn
    doc.FinishDocument();
  }
  ASSERT_EQ(QpdfCheck(file), "");
  for (auto render : {testing_support::RenderPoppler, testing_support::RenderMupdf}) {
    auto img = render(file, 1, 144, "");
    auto dark = [&](double x, double y) { return img.At(int(x * 2), int(y * 2)).r < 100; };
    // Underline: 2 to 4 points below the baseline; strikeout: 10 to 12 above.
    EXPECT_TRUE(dark(150, 203));
    EXPECT_TRUE(dark(150, 189));
    EXPECT_FALSE(dark(150, 206));
    EXPECT_FALSE(dark(150, 200));
    EXPECT_FALSE(dark(150, 186));
    EXPECT_FALSE(dark(200, 203));  // 4 Courier spaces end at 196
    EXPECT_TRUE(dark(194, 203));
  }
}

}  // namespace
}  // namespace quillora
