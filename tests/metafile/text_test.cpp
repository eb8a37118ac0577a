// Text records: font choice and size, placement, advances, colour mode,
// clipped and opaque rectangles, glyph text.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "playback_fixture.h"
#include "quillora/fonts/font_lookup.h"
#include "quillora/platform/font_system.h"
#include "support/pdf_tools.h"

namespace quillora::testing {
namespace {

using namespace emf;

// An EXTTEXTOUTW (or A) record: reference point, options, rectangle, text
// and advances (none when empty).
std::string TextBody(int32_t X, int32_t Y, uint32_t Options, std::initializer_list<int32_t> Rect,
                     const std::u16string& Text, std::initializer_list<int32_t> Dx = {},
                     bool Wide = true) {
  std::string B;
  for (int i = 0; i < 4; ++i) TEmfBuilder::Put32(B, 0);  // bounds
  TEmfBuilder::Put32(B, GM_COMPATIBLE);
  TEmfBuilder::PutF(B, 1);
  TEmfBuilder::PutF(B, 1);
  TEmfBuilder::Put32(B, static_cast<uint32_t>(X));
  TEmfBuilder::Put32(B, static_cast<uint32_t>(Y));
  TEmfBuilder::Put32(B, static_cast<uint32_t>(Text.size()));
  const uint32_t StringOffset = 76;
  const uint32_t TextBytes = static_cast<uint32_t>(Text.size() * (Wide ? 2 : 1) + 3) & ~3u;
  TEmfBuilder::Put32(B, StringOffset);
  TEmfBuilder::Put32(B, Options);
  for (int32_t V : Rect) TEmfBuilder::Put32(B, static_cast<uint32_t>(V));
  TEmfBuilder::Put32(B, Dx.size() ? StringOffset + TextBytes : 0);
  std::string S;
  for (char16_t C : Text) {
    if (Wide)
      TEmfBuilder::Put16(S, C);
    else
      S.push_back(static_cast<char>(C));
  }
  while (S.size() % 4) S.push_back('\0');
  B += S;
  for (int32_t D : Dx) TEmfBuilder::Put32(B, static_cast<uint32_t>(D));
  return B;
}

struct TTm {
  double A, B, C, D, E, F;
};

std::vector<TTm> Matrices(const std::string& Lines) {
  std::vector<TTm> Out;
  std::istringstream In(Lines);
  std::string Line;
  while (std::getline(In, Line)) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (Line.size() < 3 || Line.substr(Line.size() - 3) != " Tm") continue;
    TTm M;
    std::istringstream L(Line);
    L >> M.A >> M.B >> M.C >> M.D >> M.E >> M.F;
    Out.push_back(M);
  }
  return Out;
}

size_t Count(const std::string& S, const std::string& Sub) {
  size_t N = 0;
  for (size_t P = 0; (P = S.find(Sub, P)) != std::string::npos; P += Sub.size()) ++N;
  return N;
}

TEST_F(PlaybackTest, FontHeightGivesPointSize) {
  struct Case {
    float M22;
    double Size;
  } Cases[] = {{1, 12}, {-2, 24}, {0.5f, 6}};
  for (const Case& C : Cases) {
    TPDFDocument D;
    std::ostringstream O;
    D.SetOutputStream(&O);
    D.StartDocument();
    TEmfBuilder B;
    std::string X;
    for (float F : {1.f, 0.f, 0.f, C.M22, 0.f, 0.f}) TEmfBuilder::PutF(X, F);
    B.Raw(EMR_SETWORLDTRANSFORM, X)
        .Font(1, -16, u"Arial")
        .Select(1)
        .Raw(EMR_EXTTEXTOUTW, TextBody(10, 10, 0, {0, 0, -1, -1}, u"Hi"));
    TEMWParser P(*D.CurrentPage());
    const std::string Bytes = B.Bytes();
    P.SetMetafile(Bytes);
    P.PlayMetafile();
    const auto M = Matrices(D.CurrentPage()->ContentText());
    ASSERT_EQ(M.size(), 1u) << D.CurrentPage()->ContentText();
    EXPECT_DOUBLE_EQ(M[0].A, C.Size);
    D.AbortDocument();
  }
}

TEST_F(PlaybackTest, FaceSubstitution) {
  const std::string Cyrillic = FindFontForCharset(204);
  ASSERT_FALSE(Cyrillic.empty());
  struct Case {
    std::u16string Face;
    uint8_t Charset;
    std::string Expected;
  } Cases[] = {
      {u"TIMES", 0, "Times New Roman"}, {u"Courier", 0, "Courier New"},
      {u"No Such Face", 204, Cyrillic}, {u"Helvetica", 238, FindFontForCharset(238)},
      {u"Arial", 0, "Arial"},
  };
  for (const Case& C : Cases) {
    TPDFDocument D;
    std::ostringstream O;
    D.SetOutputStream(&O);
    D.StartDocument();
    TEmfBuilder B;
    B.Font(1, -16, C.Face, 400, C.Charset)
        .Select(1)
        .Raw(EMR_EXTTEXTOUTW, TextBody(10, 10, 0, {0, 0, -1, -1}, u"Hi"));
    TEMWParser P(*D.CurrentPage());
    const std::string Bytes = B.Bytes();
    P.SetMetafile(Bytes);
    P.PlayMetafile();
    EXPECT_EQ(D.CurrentPage()->TextState().FontName, C.Expected);
    D.AbortDocument();
  }
}

TEST_F(PlaybackTest, RecordedWidthBecomesHorizontalScaling) {
  // Measure the natural width of "A" in the font, then ask for a font whose
  // average width is one and a half times the natural one.
  TEmfBuilder Probe;
  auto Natural = platform::TFont::Create({"Arial", -100, 0, 400, false, 0});
  ASSERT_TRUE(Natural);
  const int Avg = Natural->TextMetrics().AveCharWidth;
  TEmfBuilder B;
  B.Font(1, -100, u"Arial", 400, 0, 0, Avg * 3 / 2)
      .Select(1)
      .Raw(EMR_EXTTEXTOUTW, TextBody(10, 10, 0, {0, 0, -1, -1}, u"A"));
  const std::string Lines = Play(B);
  const size_t Tz = Lines.find(" Tz");
  ASSERT_NE(Tz, std::string::npos) << Lines;
  const double Scaling = std::stod(Lines.substr(Lines.rfind('\n', Tz) + 1));
  EXPECT_NEAR(Scaling, 150, 3);
  // The playback ends with scaling 100 again.
  EXPECT_NE(Lines.find("100 Tz", Tz), std::string::npos);
}

TEST_F(PlaybackTest, TextColourWrittenOncePerRunOfText) {
  const std::string T = TextBody(10, 10, 0, {0, 0, -1, -1}, u"Hi");
  TEmfBuilder B;
  B.Brush(1, BS_SOLID, 0x00FF00)
      .Select(1)
      .Rec(EMR_SETTEXTCOLOR, {0x0000FF})
      .Raw(EMR_EXTTEXTOUTW, T)
      .Raw(EMR_EXTTEXTOUTW, T)
      .Rec(EMR_RECTANGLE, {0, 0, 50, 50})
      .Raw(EMR_EXTTEXTOUTW, T)
      .Rec(EMR_GDICOMMENT, {0})
      .Raw(EMR_EXTTEXTOUTW, T);
  const std::string Lines = Play(B);
  // Brush green, text red twice in a row written once, green again for the
  // rectangle, red, green for the comment, red, and green at the end record.
  std::string Fills;
  std::istringstream In(Lines);
  for (std::string L; std::getline(In, L);)
    if (L.size() > 3 && L.substr(L.size() - 3) == " rg") Fills += L + ";";
  EXPECT_EQ(Fills, "0 1 0 rg;1 0 0 rg;0 1 0 rg;1 0 0 rg;0 1 0 rg;1 0 0 rg;0 1 0 rg;") << Lines;
  EXPECT_EQ(Count(Lines, " Tj"), 4u);
}

TEST_F(PlaybackTest, FontDifferingOnlyInEscapementKeepsThePageFont) {
  const std::string T = TextBody(100, 100, 0, {0, 0, -1, -1}, u"Hi");
  TEmfBuilder B;
  B.Font(1, -16, u"Arial")
      .Font(2, -16, u"Arial", 400, 0, 900)
      .Font(3, -16, u"Arial", 700, 0, 900)
      .Select(1)
      .Raw(EMR_EXTTEXTOUTW, T)
      .Select(2)
      .Raw(EMR_EXTTEXTOUTW, T)
      .Select(3)
      .Raw(EMR_EXTTEXTOUTW, T);
  const std::string Lines = Play(B);
  // The escapement turns the text but chooses no new font; the bold one does.
  EXPECT_EQ(Count(Lines, " Tf\n"), 2u) << Lines;
  const auto M = Matrices(Lines);
  ASSERT_EQ(M.size(), 3u);
  EXPECT_DOUBLE_EQ(M[0].B, 0);
  EXPECT_DOUBLE_EQ(M[1].B, 12);
  EXPECT_DOUBLE_EQ(M[2].B, 12);
}

TEST_F(PlaybackTest, TextInsideAPathIsSkipped) {
  TEmfBuilder B;
  B.Rec(EMR_BEGINPATH)
      .Raw(EMR_EXTTEXTOUTW, TextBody(10, 10, 0, {0, 0, -1, -1}, u"Hi"))
      .Rec(EMR_ENDPATH);
  EXPECT_EQ(Play(B), "n\n0 842 m");
}

TEST_F(PlaybackTest, VerticalAlignment) {
  auto Y = [&](uint32_t Align) {
    TPDFDocument D;
    std::ostringstream O;
    D.SetOutputStream(&O);
    D.StartDocument();
    TEmfBuilder B;
    B.Font(1, -32, u"Arial")
        .Select(1)
        .Rec(EMR_SETTEXTALIGN, {Align})
        .Raw(EMR_EXTTEXTOUTW, TextBody(100, 200, 0, {0, 0, -1, -1}, u"Wg"));
    TEMWParser P(*D.CurrentPage());
    const std::string Bytes = B.Bytes();
    P.SetMetafile(Bytes);
    P.PlayMetafile();
    const auto M = Matrices(D.CurrentPage()->ContentText());
    D.AbortDocument();
    return M.empty() ? -1.0 : M[0].F;
  };
  auto Font = platform::TFont::Create({"Arial", -32, 0, 400, false, 0});
  const double Ascent = Font->TextMetrics().Ascent * 0.75;
  const double Height = Font->TextExtent(u"Wg").Height * 0.75;
  // Baseline: the baseline is the mapped reference y.
  EXPECT_NEAR(Y(TA_BASELINE), 842 - 150, 0.01);
  // Top: the baseline lies one ascent below the reference y (the page's).
  const double Top = Y(TA_TOP);
  EXPECT_NEAR(Top, 842 - 150 - Ascent, 1.0);
  // Bottom: the reference moves up by the height of "Wg".
  EXPECT_NEAR(Y(TA_BOTTOM), Top + Height, 0.01);
}

TEST_F(PlaybackTest, HorizontalAlignmentUsesTheAdvances) {
  auto X = [&](uint32_t Align) {
    TPDFDocument D;
    std::ostringstream O;
    D.SetOutputStream(&O);
    D.StartDocument();
    TEmfBuilder B;
    B.Font(1, -32, u"Arial")
        .Select(1)
        .Rec(EMR_SETTEXTALIGN, {Align})
        .Raw(EMR_EXTTEXTOUTW, TextBody(200, 200, 0, {0, 0, -1, -1}, u"abc", {10, 20, 30}));
    TEMWParser P(*D.CurrentPage());
    const std::string Bytes = B.Bytes();
    P.SetMetafile(Bytes);
    P.PlayMetafile();
    const auto M = Matrices(D.CurrentPage()->ContentText());
    D.AbortDocument();
    return M.empty() ? -1.0 : M[0].E;
  };
  EXPECT_DOUBLE_EQ(X(TA_LEFT), 150);
  EXPECT_DOUBLE_EQ(X(TA_CENTER), 150 - 22.5);
  EXPECT_DOUBLE_EQ(X(TA_RIGHT), 150 - 45);
}

TEST_F(PlaybackTest, UpdateCurrentPositionMovesByTheAdvances) {
  TEmfBuilder B;
  B.Font(1, -16, u"Arial")
      .Select(1)
      .Rec(EMR_SETTEXTALIGN, {TA_UPDATECP})
      .Rec(EMR_MOVETOEX, {40, 100})
      .Raw(EMR_EXTTEXTOUTW, TextBody(0, 0, 0, {0, 0, -1, -1}, u"abc", {10, 10, 10}))
      .Raw(EMR_EXTTEXTOUTW, TextBody(0, 0, 0, {0, 0, -1, -1}, u"abc", {10, 10, 10}))
      .Rec(EMR_SETMAPMODE, {MM_ANISOTROPIC})
      .Rec(EMR_SETWINDOWEXTEX, {1, 1})
      .Rec(EMR_SETVIEWPORTEXTEX, {2, 2})
      .Raw(EMR_EXTTEXTOUTW, TextBody(0, 0, 0, {0, 0, -1, -1}, u"abc", {10, 10, 10}))
      .Raw(EMR_EXTTEXTOUTW, TextBody(0, 0, 0, {0, 0, -1, -1}, u"abc", {10, 10, 10}));
  const auto M = Matrices(Play(B));
  ASSERT_EQ(M.size(), 4u);
  EXPECT_DOUBLE_EQ(M[0].E, 30);              // 40 logical units
  EXPECT_DOUBLE_EQ(M[1].E, 30 + 22.5);       // moved by 30
  EXPECT_DOUBLE_EQ(M[2].E, 2 * 100 * 0.75);  // now mapped twice as large
  EXPECT_DOUBLE_EQ(M[3].E, 2 * 160 * 0.75);  // moved by 2 x 30 logical units
}

TEST_F(PlaybackTest, OpaqueEmptyTextFillsTheBackgroundOnly) {
  TEmfBuilder B;
  B.Rec(EMR_SETBKCOLOR, {0x00FFFF})
      .Raw(EMR_EXTTEXTOUTW, TextBody(0, 0, ETO_OPAQUE, {0, 0, 100, 40}, u""));
  // The end record ends the text colour mode: the brush colour comes back.
  EXPECT_EQ(Play(B), "1 1 0 rg\nn\n0 812 75 30 re\nf\n0 0 0 rg");
}

TEST_F(PlaybackTest, ClippedTextInsideAClipRectangle) {
  TEmfBuilder B;
  B.Font(1, -16, u"Arial")
      .Select(1)
      .Rec(EMR_SETBKMODE, {TRANSPARENT})
      .Rec(EMR_INTERSECTCLIPRECT, {0, 0, 400, 400})
      .Raw(EMR_EXTTEXTOUTW, TextBody(10, 10, ETO_CLIPPED, {0, 0, 100, 40}, u"Hi"));
  const std::string Lines = Play(B);
  const std::string Clip = "q\nn\n0 542 300 300 re\nW\nn\n";
  ASSERT_EQ(Lines.substr(0, Clip.size()), Clip);
  const std::string Rest = Lines.substr(Clip.size());
  EXPECT_EQ(Rest.substr(0, 25), "Q\nq\nn\n0 812 75 30 re\nW\nn\n") << Rest;
  EXPECT_EQ(Rest.substr(Rest.find("ET\n")), "ET\nQ\nq\n0 542 300 300 re\nW\nn");
}

TEST_F(PlaybackTest, CombiningMarksBecomeOneGlyph) {
  TEmfBuilder B;
  B.Font(1, -16, u"DejaVu Sans")
      .Select(1)
      .Raw(EMR_EXTTEXTOUTW, TextBody(10, 10, 0, {0, 0, -1, -1}, u"e\u0301", {9, 0}));
  const std::string Lines = Play(B);
  // One glyph of the Unicode font: four hex digits.
  const size_t Tj = Lines.find("> Tj");
  ASSERT_NE(Tj, std::string::npos) << Lines;
  EXPECT_EQ(Tj - Lines.rfind('<', Tj), 5u) << Lines;
}

TEST_F(PlaybackTest, TextOutsideItsRecordIsNotDrawn) {
  std::string Bad = TextBody(10, 10, 0, {0, 0, -1, -1}, u"Hi", {5, 5});
  Bad[44 - 8] = 100;  // the character count now runs past the record
  std::string BadDx = TextBody(10, 10, 0, {0, 0, -1, -1}, u"Hi", {5, 5});
  BadDx[72 - 8] = static_cast<char>(0xF0);  // advances far outside
  TEmfBuilder B;
  B.Raw(EMR_EXTTEXTOUTW, Bad).Raw(EMR_EXTTEXTOUTW, BadDx).Raw(EMR_EXTTEXTOUTA, Bad);
  EXPECT_EQ(Count(Play(B), "Tj"), 0u);
}

TEST_F(PlaybackTest, SmallTextOut) {
  std::string Body;
  TEmfBuilder::Put32(Body, 100);  // x
  TEmfBuilder::Put32(Body, 100);  // y
  TEmfBuilder::Put32(Body, 2);
  TEmfBuilder::Put32(Body, ETO_NO_RECT | ETO_SMALL_CHARS);
  TEmfBuilder::Put32(Body, GM_COMPATIBLE);
  TEmfBuilder::PutF(Body, 1);
  TEmfBuilder::PutF(Body, 1);
  Body += "Hi";
  TEmfBuilder B;
  B.Font(1, -16, u"Arial")
      .Select(1)
      .Rec(EMR_SETTEXTALIGN, {TA_BASELINE})
      .Raw(EMR_SMALLTEXTOUT, Body);
  const std::string Lines = Play(B);
  EXPECT_NE(Lines.find("(Hi) Tj"), std::string::npos) << Lines;
  const auto M = Matrices(Lines);
  ASSERT_EQ(M.size(), 1u);
  EXPECT_DOUBLE_EQ(M[0].E, 75);
  EXPECT_DOUBLE_EQ(M[0].F, 767);
}

TEST(TextRecords, RenderedTextIsExtracted) {
  if (!testing_support::HaveTool("pdftotext")) GTEST_SKIP();
  const auto Dir = testing_support::FreshDir("text");
  TPDFDocument D;
  D.SetFileName((Dir / "text.pdf").string());
  D.StartDocument();
  TEmfBuilder B;
  B.Font(1, -24, u"Arial")
      .Select(1)
      .Rec(EMR_SETBKMODE, {TRANSPARENT})
      .Raw(EMR_EXTTEXTOUTW, TextBody(100, 100, 0, {0, 0, -1, -1}, u"Quillora metafile"))
      .Font(2, -24, u"Times New Roman", 700, 204)
      .Select(2)
      .Raw(EMR_EXTTEXTOUTW,
           TextBody(100, 200, 0, {0, 0, -1, -1}, u"\u041f\u0440\u0438\u0432\u0435\u0442"))
      .Raw(EMR_EXTTEXTOUTA, TextBody(100, 300, 0, {0, 0, -1, -1}, u"Bytes", {}, false));
  TEMWParser P(*D.CurrentPage());
  const std::string Bytes = B.Bytes();
  P.SetMetafile(Bytes);
  P.PlayMetafile();
  D.FinishDocument();
  EXPECT_EQ(testing_support::QpdfCheck(Dir / "text.pdf"), "");
  const std::string Text = testing_support::PdfToText(Dir / "text.pdf");
  EXPECT_NE(Text.find("Quillora metafile"), std::string::npos) << Text;
  EXPECT_NE(Text.find("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"), std::string::npos)
      << Text;
  EXPECT_NE(Text.find("Bytes"), std::string::npos) << Text;
}

}  // namespace
}  // namespace quillora::testing
