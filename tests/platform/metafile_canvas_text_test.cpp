// Text records: the font object, the characters, the advance array measured
// with the platform font system, options, rectangle and alignment.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "metafile_fixture.h"
#include "quillora/core/exception.h"
#include "quillora/platform/font_system.h"

using namespace quillora;
using namespace quillora::emf;
using metafile_testing::DrawingTypes;
using metafile_testing::Rec;
using metafile_testing::Record;
using metafile_testing::Records;

namespace {

std::vector<Rec> OfType(const std::string& Emf, uint32_t Type) {
  std::vector<Rec> Out;
  for (Rec& R : Records(Emf))
    if (R.Type == Type) Out.push_back(std::move(R));
  return Out;
}

std::vector<int> Advances(const Rec& R) {
  std::vector<int> Dx;
  const uint32_t N = R.U32(text::Chars), Off = R.U32(text::DxOffset);
  for (uint32_t I = 0; I < N; ++I) Dx.push_back(R.I32(Off + 4 * I));
  return Dx;
}

std::u16string WideText(const Rec& R) {
  std::u16string S;
  const uint32_t N = R.U32(text::Chars), Off = R.U32(text::StringOffset);
  for (uint32_t I = 0; I < N; ++I) S.push_back(static_cast<char16_t>(R.U16(Off + 2 * I)));
  return S;
}

// What GDI's measurement gives for the text in a font of that height.
std::vector<int> DeviceAdvances(const char* Face, int Height, std::u16string_view Text,
                                int Weight = 400) {
  platform::TLogFont Request;
  Request.FaceName = Face;
  Request.Height = Height;
  Request.Weight = Weight;
  Request.Charset = 1;
  auto Font = platform::TFont::Create(Request);
  std::vector<int> Dx;
  Font->TextExtent(Text, &Dx);
  return Dx;
}

TEST(MetafileCanvasText, TextOutWritesTheFontAndTheTextWithGdisAdvances) {
  const std::string Emf = Record([](TMetafileCanvas& C) { C.TextOut(10, 20, u"Hello"); });
  const std::vector<uint32_t> Expected = {EMR_EXTCREATEFONTINDIRECTW, EMR_SELECTOBJECT,
                                          EMR_EXTTEXTOUTW};
  ASSERT_EQ(DrawingTypes(Emf), Expected);
  const Rec Font = OfType(Emf, EMR_EXTCREATEFONTINDIRECTW).at(0);
  EXPECT_EQ(Font.Bytes.size(), 368u);
  EXPECT_EQ(Font.U32(font::Index), 1u);
  const size_t L = font::LogFont;
  EXPECT_EQ(Font.I32(L + logfont::Height), -13);
  EXPECT_EQ(Font.I32(L + logfont::Weight), 400);
  EXPECT_EQ(static_cast<uint8_t>(Font.Bytes[L + logfont::CharSet]), 1);
  std::u16string Face;
  for (size_t I = 0; I < 32 && Font.U16(L + logfont::FaceName + 2 * I); ++I)
    Face.push_back(static_cast<char16_t>(Font.U16(L + logfont::FaceName + 2 * I)));
  EXPECT_EQ(Face, u"Arial");

  const Rec Text = OfType(Emf, EMR_EXTTEXTOUTW).at(0);
  EXPECT_EQ(Text.I32(text::GraphicsMode), GM_COMPATIBLE);
  EXPECT_NEAR(Text.F32(text::XScale), 26.458f, 0.001f);  // 0.01 mm per pixel
  EXPECT_EQ(Text.I32(text::RefX), 10);
  EXPECT_EQ(Text.I32(text::RefY), 20);
  EXPECT_EQ(Text.U32(text::Options), 0u);
  EXPECT_EQ(Text.I32(text::RectRight), -1);  // no rectangle
  EXPECT_EQ(Text.U32(text::StringOffset), 76u);
  EXPECT_EQ(Text.U32(text::DxOffset), 76u + 12);  // ten bytes of text padded to twelve
  EXPECT_EQ(Text.Bytes.size(), 76u + 12 + 5 * 4);
  EXPECT_EQ(WideText(Text), u"Hello");
  const std::vector<int> Dx = DeviceAdvances("Arial", -13, u"Hello");
  EXPECT_EQ(Advances(Text), Dx);
  // The record's bounds: from the reference point along the text, one cell
  // high (top alignment).
  const int Width = std::accumulate(Dx.begin(), Dx.end(), 0);
  EXPECT_EQ(Text.I32(text::Bounds), 10);
  EXPECT_EQ(Text.I32(text::Bounds + 4), 20);
  EXPECT_EQ(Text.I32(text::Bounds + 8), 10 + Width - 1);
  EXPECT_GT(Text.I32(text::Bounds + 12), 20 + 10);
}

TEST(MetafileCanvasText, SingleByteTextIsAnAnsiRecord) {
  const std::string Emf = Record([](TMetafileCanvas& C) {
    C.Font().Charset = 0;
    C.TextOut(0, 0, std::string_view("caf\xE9"));
  });
  const Rec Text = OfType(Emf, EMR_EXTTEXTOUTA).at(0);
  EXPECT_EQ(Text.U32(text::Chars), 4u);
  EXPECT_EQ(Text.Bytes.substr(76, 4), "caf\xE9");
  EXPECT_EQ(Text.U32(text::DxOffset), 80u);
  EXPECT_EQ(Advances(Text), DeviceAdvances("Arial", -13, u"caf\u00E9"));
}

TEST(MetafileCanvasText, GivenAdvancesOptionsAndRectangleAreWrittenAsGiven) {
  const TRect Box{5, 6, 200, 40};
  const std::vector<int> Dx = {7, 8, 9};
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    C.ExtTextOut(10, 12, ETO_CLIPPED | ETO_OPAQUE, &Box, u"abc", Dx);
  });
  const Rec Text = OfType(Emf, EMR_EXTTEXTOUTW).at(0);
  EXPECT_EQ(Advances(Text), Dx);
  EXPECT_EQ(Text.U32(text::Options), ETO_CLIPPED | ETO_OPAQUE);
  EXPECT_EQ(Text.I32(text::RectLeft), 5);
  EXPECT_EQ(Text.I32(text::RectBottom), 40);
  // The opaque rectangle is drawn: it makes the bounds.
  EXPECT_EQ(Text.I32(text::Bounds), 5);
  EXPECT_EQ(Text.I32(text::Bounds + 8), 199);
}

TEST(MetafileCanvasText, AnOpaqueRectangleWithoutTextHasNoStringAndNoAdvances) {
  const TRect Box{5, 6, 50, 40};
  const std::string Emf =
      Record([&](TMetafileCanvas& C) { C.ExtTextOut(0, 0, ETO_OPAQUE, &Box, u""); });
  const Rec Text = OfType(Emf, EMR_EXTTEXTOUTW).at(0);
  EXPECT_EQ(Text.Bytes.size(), 76u);
  EXPECT_EQ(Text.U32(text::Chars), 0u);
  EXPECT_EQ(Text.U32(text::StringOffset), 0u);
  EXPECT_EQ(Text.U32(text::DxOffset), 0u);
  EXPECT_EQ(Text.I32(text::Bounds), 5);
  EXPECT_EQ(Text.I32(text::Bounds + 12), 39);
}

TEST(MetafileCanvasText, BadAdvancesAreRefusedBeforeAnythingIsWritten) {
  const std::vector<int> Two = {1, 2};
  const std::vector<uint16_t> NoGlyphs;
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    EXPECT_THROW(C.ExtTextOut(0, 0, 0, nullptr, u"abc", Two), Exception);
    EXPECT_THROW(C.ExtTextOut(0, 0, ETO_GLYPH_INDEX, nullptr, u"\x0024\x0025"), Exception);
    // Pairs of advances with ETO_PDY.
    const std::vector<int> Pairs = {5, 0, 6, 1};
    C.ExtTextOut(0, 0, ETO_PDY, nullptr, u"ab", Pairs);
  });
  const auto Texts = OfType(Emf, EMR_EXTTEXTOUTW);
  ASSERT_EQ(Texts.size(), 1u);
  EXPECT_EQ(Texts[0].Bytes.size(), 76u + 4 + 16);
  EXPECT_EQ(Texts[0].I32(80 + 12), 1);
}

TEST(MetafileCanvasText, FontChangesCreateANewFontAndDeleteTheOldOne) {
  const std::string Emf = Record([](TMetafileCanvas& C) {
    C.TextOut(0, 0, u"a");
    C.TextOut(0, 20, u"b");  // same font: no font records
    C.Font().SetStyle(fsBold | fsUnderline);
    C.Font().Name = "Times New Roman";
    C.Font().SetSize(12);
    C.TextOut(0, 40, u"c");
  });
  const std::vector<uint32_t> Expected = {
      EMR_EXTCREATEFONTINDIRECTW, EMR_SELECTOBJECT, EMR_EXTTEXTOUTW,  EMR_EXTTEXTOUTW,
      EMR_EXTCREATEFONTINDIRECTW, EMR_SELECTOBJECT, EMR_DELETEOBJECT, EMR_EXTTEXTOUTW};
  EXPECT_EQ(DrawingTypes(Emf), Expected);
  const Rec Bold = OfType(Emf, EMR_EXTCREATEFONTINDIRECTW).at(1);
  EXPECT_EQ(Bold.I32(font::LogFont + logfont::Height), -16);
  EXPECT_EQ(Bold.I32(font::LogFont + logfont::Weight), 700);
  EXPECT_EQ(Bold.Bytes[font::LogFont + logfont::Underline], 1);
  EXPECT_EQ(Advances(OfType(Emf, EMR_EXTTEXTOUTW).at(2)),
            DeviceAdvances("Times New Roman", -16, u"c", 700));
}

TEST(MetafileCanvasText, AdvancesAreLogicalUnitsUnderAMapping) {
  // Two logical units per pixel: a 26-unit font is 13 pixels on the device,
  // and its pixel advances come back doubled.
  const std::string Emf = Record([](TMetafileCanvas& C) {
    C.SetMapMode(MM_ANISOTROPIC);
    C.SetWindowExt(1000, 1000);
    C.SetViewportExt(500, 500);
    C.Font().Height = -26;
    C.TextOut(0, 0, u"Scaled");
  });
  std::vector<int> Expected = DeviceAdvances("Arial", -13, u"Scaled");
  for (int& A : Expected) A *= 2;
  EXPECT_EQ(Advances(OfType(Emf, EMR_EXTTEXTOUTW).at(0)), Expected);
}

TEST(MetafileCanvasText, UpdateCurrentPositionDrawsThereAndMovesPastTheText) {
  TPoint Start, End;
  int Width = 0;
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    C.MoveTo(30, 40);
    C.SetTextAlign(TA_UPDATECP);
    Width = C.TextExtent(u"Move").Width;
    Start = C.PenPos();
    C.TextOut(999, 999, u"Move");
    End = C.PenPos();
    C.SetTextAlign(TA_UPDATECP | TA_RIGHT);
    C.TextOut(0, 0, u"Move");
  });
  EXPECT_EQ(End, (TPoint{30 + Width, 40}));
  const auto Texts = OfType(Emf, EMR_EXTTEXTOUTW);
  EXPECT_EQ(Texts[0].I32(text::RefX), 30);
  EXPECT_EQ(Texts[1].I32(text::RefX), 30 + Width);
  // Right-aligned text ends at the position: its box lies to the left.
  EXPECT_EQ(Texts[1].I32(text::Bounds + 8), 30 + Width - 1);
}

TEST(MetafileCanvasText, TextExtentMatchesTheAdvancesWritten) {
  TSize Size;
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    Size = C.TextExtent(u"Extent of this");
    C.TextOut(0, 0, u"Extent of this");
  });
  const auto Dx = Advances(OfType(Emf, EMR_EXTTEXTOUTW).at(0));
  EXPECT_EQ(Size.Width, std::accumulate(Dx.begin(), Dx.end(), 0));
  platform::TLogFont Request;
  Request.FaceName = "Arial";
  Request.Height = -13;
  EXPECT_EQ(Size.Height, platform::TFont::Create(Request)->TextMetrics().Height);
}

}  // namespace
