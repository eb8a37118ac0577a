// Bitmap records: decoding, raster operations, encodings, placement, flips,
// alpha blending, and records without a bitmap.
#include <gtest/gtest.h>

#include <functional>

#include "playback_fixture.h"
#include "quillora/core/emf_options.h"
#include "quillora/page/image.h"
#include "quillora/page/images.h"
#include "support/pdf_tools.h"

namespace quillora::testing {
namespace {

using namespace emf;
namespace ts = testing_support;

// A bottom-up BITMAPINFOHEADER DIB; Color(x, y) gives the pixel with y
// counted from the top. 1-bit DIBs use a black-and-white colour table and
// take black for colours darker than mid-grey.
struct TDibBytes {
  std::string Info, Bits;
};
TDibBytes MakeDib(int W, int H, int Bpp, const std::function<uint32_t(int, int)>& Color) {
  TDibBytes D;
  auto& I = D.Info;
  TEmfBuilder::Put32(I, 40);
  TEmfBuilder::Put32(I, static_cast<uint32_t>(W));
  TEmfBuilder::Put32(I, static_cast<uint32_t>(H));
  TEmfBuilder::Put16(I, 1);
  TEmfBuilder::Put16(I, static_cast<uint16_t>(Bpp));
  for (int i = 0; i < 6; ++i) TEmfBuilder::Put32(I, i == 4 && Bpp == 1 ? 2 : 0);
  if (Bpp == 1) {
    TEmfBuilder::Put32(I, 0x000000);
    TEmfBuilder::Put32(I, 0xFFFFFF);
  }
  const int Stride = ((W * Bpp + 31) / 32) * 4;
  for (int Row = H - 1; Row >= 0; --Row) {
    std::string Line(Stride, '\0');
    for (int x = 0; x < W; ++x) {
      const uint32_t C = Color(x, Row);
      if (Bpp == 24) {
        Line[3 * x] = static_cast<char>(C >> 16);
        Line[3 * x + 1] = static_cast<char>(C >> 8);
        Line[3 * x + 2] = static_cast<char>(C);
      } else {
        const bool White = ((C & 0xFF) + ((C >> 8) & 0xFF) + ((C >> 16) & 0xFF)) > 384;
        if (White) Line[x / 8] = static_cast<char>(Line[x / 8] | (0x80 >> (x % 8)));
      }
    }
    D.Bits += Line;
  }
  return D;
}

// BITBLT, STRETCHBLT, TRANSPARENTBLT, ALPHABLEND: bounds, destination,
// operation, source position, then the DIB.
std::string BltBody(std::initializer_list<int32_t> Bounds, int X, int Y, int W, int H, uint32_t Rop,
                    const TDibBytes* Dib, int SW = 0, int SH = 0, bool Stretch = false) {
  std::string B;
  for (int32_t V : Bounds) TEmfBuilder::Put32(B, static_cast<uint32_t>(V));
  for (int32_t V : {X, Y, W, H}) TEmfBuilder::Put32(B, static_cast<uint32_t>(V));
  TEmfBuilder::Put32(B, Rop);
  TEmfBuilder::Put32(B, 0);
  TEmfBuilder::Put32(B, 0);
  for (float F : {1.f, 0.f, 0.f, 1.f, 0.f, 0.f}) TEmfBuilder::PutF(B, F);
  TEmfBuilder::Put32(B, 0xFFFFFF);
  TEmfBuilder::Put32(B, DIB_RGB_COLORS);
  const uint32_t Header = Stretch ? 108 : 100;
  if (Dib) {
    TEmfBuilder::Put32(B, Header);
    TEmfBuilder::Put32(B, static_cast<uint32_t>(Dib->Info.size()));
    TEmfBuilder::Put32(B, static_cast<uint32_t>(Header + Dib->Info.size()));
    TEmfBuilder::Put32(B, static_cast<uint32_t>(Dib->Bits.size()));
  } else {
    for (int i = 0; i < 4; ++i) TEmfBuilder::Put32(B, 0);
  }
  if (Stretch) {
    TEmfBuilder::Put32(B, static_cast<uint32_t>(SW));
    TEmfBuilder::Put32(B, static_cast<uint32_t>(SH));
  }
  if (Dib) B += Dib->Info + Dib->Bits;
  return B;
}

std::string StretchDIBitsBody(std::initializer_list<int32_t> Bounds, int X, int Y, int DW, int DH,
                              uint32_t Rop, const TDibBytes& Dib, int SW, int SH) {
  std::string B;
  for (int32_t V : Bounds) TEmfBuilder::Put32(B, static_cast<uint32_t>(V));
  for (int32_t V : {X, Y, 0, 0, SW, SH}) TEmfBuilder::Put32(B, static_cast<uint32_t>(V));
  TEmfBuilder::Put32(B, 80);
  TEmfBuilder::Put32(B, static_cast<uint32_t>(Dib.Info.size()));
  TEmfBuilder::Put32(B, static_cast<uint32_t>(80 + Dib.Info.size()));
  TEmfBuilder::Put32(B, static_cast<uint32_t>(Dib.Bits.size()));
  TEmfBuilder::Put32(B, DIB_RGB_COLORS);
  TEmfBuilder::Put32(B, Rop);
  TEmfBuilder::Put32(B, static_cast<uint32_t>(DW));
  TEmfBuilder::Put32(B, static_cast<uint32_t>(DH));
  return B + Dib.Info + Dib.Bits;
}

TEST_F(PlaybackTest, BitBltWithoutBitmapPaintsWithTheBrush) {
  TEmfBuilder B;
  B.Brush(1, BS_SOLID, 0x0000FF)
      .Select(1)
      .Raw(EMR_BITBLT, BltBody({0, 0, 99, 49}, 0, 0, 100, 50, PATCOPY, nullptr))
      .Raw(EMR_BITBLT, BltBody({0, 0, 99, 49}, 0, 0, 100, 50, BLACKNESS, nullptr))
      .Raw(EMR_BITBLT, BltBody({0, 0, 99, 49}, 0, 0, 100, 50, PATINVERT, nullptr))
      .Raw(EMR_BITBLT, BltBody({0, 0, 99, 49}, 0, 0, 0, 50, PATCOPY, nullptr));
  // Until a font is chosen for text, every fill writes its colour again.
  EXPECT_EQ(Play(B), "1 0 0 rg\n1 0 0 rg\n0 804.5 75 37.5 re\nf\n1 0 0 rg\n0 804.5 75 37.5 re\nf");
}

TEST_F(PlaybackTest, BitBltEncodingsAndPlacement) {
  const TDibBytes Mono = MakeDib(100, 50, 1, [](int x, int) { return x < 50 ? 0 : 0xFFFFFF; });
  const TDibBytes Color = MakeDib(100, 50, 24, [](int, int) { return 0x00FF00u; });
  TEmfBuilder B;
  B.Raw(EMR_BITBLT, BltBody({10, 20, 109, 69}, 10, 20, 100, 50, SRCCOPY, &Mono))
      .Raw(EMR_BITBLT, BltBody({10, 20, 109, 69}, 10, 20, 100, 50, SRCCOPY, &Color));
  const std::string Lines = Play(B);
  // Placed over the bounds: (7.5, 15), 75 x 37.5 points.
  EXPECT_EQ(Lines,
            "q\n1 0 0 1 7.5 789.5 cm\n75 0 0 37.5 0 0 cm\n/Im0 Do\nQ\n"
            "q\n1 0 0 1 7.5 789.5 cm\n75 0 0 37.5 0 0 cm\n/Im1 Do\nQ");
  ASSERT_EQ(Doc.Images().Count(), 2);
  EXPECT_EQ(Doc.Images().Items(0)->Compression(), ieCCITTG4);
  EXPECT_EQ(Doc.Images().Items(1)->Compression(), ieFlate);

  Doc.EMFOptions().SetColorImagesAsJPEG(true);
  Play(TEmfBuilder().Raw(EMR_BITBLT, BltBody({0, 0, 99, 49}, 0, 0, 100, 50, SRCCOPY, &Color)));
  Doc.EMFOptions().SetColorImagesAsJPEG(false);
  ASSERT_EQ(Doc.Images().Count(), 3);
  EXPECT_EQ(Doc.Images().Items(2)->Compression(), ieJPEG);
}

TEST_F(PlaybackTest, StretchBltStoresTheWholeSourceOverTheBounds) {
  const TDibBytes Color = MakeDib(50, 25, 24, [](int, int) { return 0x0000FFu; });
  TEmfBuilder B;
  B.Raw(EMR_STRETCHBLT, BltBody({0, 0, 199, 99}, 0, 0, 200, 100, SRCCOPY, &Color, 50, 25, true));
  EXPECT_EQ(Play(B), "q\n1 0 0 1 0 767 cm\n150 0 0 75 0 0 cm\n/Im0 Do\nQ");
  ASSERT_EQ(Doc.Images().Count(), 1);
  EXPECT_EQ(Doc.Images().Items(0)->Width(), 50);
  EXPECT_EQ(Doc.Images().Items(0)->Height(), 25);
}

TEST_F(PlaybackTest, BitmapsOutsideTheirRecordDrawNothing) {
  const TDibBytes Color = MakeDib(10, 10, 24, [](int, int) { return 0u; });
  std::string Bad = BltBody({0, 0, 9, 9}, 0, 0, 10, 10, SRCCOPY, &Color);
  Bad[88 - 8 + 1] = 0x7F;  // bitmap-info size past the record
  std::string BadBits = BltBody({0, 0, 9, 9}, 0, 0, 10, 10, SRCCOPY, &Color);
  BadBits[96 - 8 + 1] = 0x7F;  // bits size past the record
  std::string Short = BltBody({0, 0, 9, 9}, 0, 0, 10, 10, SRCCOPY, &Color);
  Short.resize(Short.size() - 40);  // the bits are cut off
  TEmfBuilder B;
  B.Raw(EMR_BITBLT, Bad)
      .Raw(EMR_BITBLT, BadBits)
      .Raw(EMR_BITBLT, Short)
      .Raw(EMR_STRETCHDIBITS,
           StretchDIBitsBody({0, 0, 9, 9}, 0, 0, 10, 10, SRCCOPY,
                             TDibBytes{Color.Info, Color.Bits.substr(0, 5)}, 10, 10));
  EXPECT_EQ(Play(B), "");
  EXPECT_EQ(Doc.Images().Count(), 0);
}

// Rendered: a picture with a red top half and a blue bottom half, drawn
// upright, flipped by a negative height, through the 0xB8074A operation, and
// blended at half strength over white.
TEST(BitmapRecords, RenderedPixels) {
  if (!ts::HaveTool("pdftoppm")) GTEST_SKIP();
  const auto Dir = ts::FreshDir("bitmaps");
  const TDibBytes Dib =
      MakeDib(20, 20, 24, [](int, int y) { return y < 10 ? 0x0000FFu : 0xFF0000u; });
  const TDibBytes Black = MakeDib(20, 20, 24, [](int, int) { return 0u; });
  TEmfBuilder B;
  B.Raw(EMR_STRETCHDIBITS, StretchDIBitsBody({0, 0, 79, 79}, 0, 0, 80, 80, SRCCOPY, Dib, 20, 20))
      .Raw(EMR_STRETCHDIBITS,
           StretchDIBitsBody({100, 0, 179, 79}, 100, 0, 80, -80, SRCCOPY, Dib, 20, 20))
      .Raw(EMR_STRETCHDIBITS,
           StretchDIBitsBody({200, 0, 279, 79}, 200, 0, 80, 80, 0xB8074A, Dib, 20, 20))
      .Raw(EMR_ALPHABLEND,
           BltBody({300, 0, 380, 80}, 300, 0, 80, 80, 0x00800000u, &Black, 20, 20, true));
  TPDFDocument D;
  D.SetResolution(96);
  D.SetFileName((Dir / "b.pdf").string());
  D.StartDocument();
  TEMWParser P(*D.CurrentPage());
  const std::string Bytes = B.Bytes();
  P.SetMetafile(Bytes);
  P.PlayMetafile();
  D.FinishDocument();
  ASSERT_EQ(ts::QpdfCheck(Dir / "b.pdf"), "");
  const ts::Image Img = ts::RenderPoppler(Dir / "b.pdf", 1, 96);
  auto Red = [](ts::Image::Pixel P) { return P.r > 200 && P.b < 60; };
  auto Blue = [](ts::Image::Pixel P) { return P.b > 200 && P.r < 60; };
  EXPECT_TRUE(Red(Img.At(40, 20)));
  EXPECT_TRUE(Blue(Img.At(40, 60)));
  EXPECT_TRUE(Blue(Img.At(140, 20)));  // flipped
  EXPECT_TRUE(Red(Img.At(140, 60)));
  EXPECT_TRUE(Red(Img.At(240, 20)));  // plain copy
  EXPECT_TRUE(Blue(Img.At(240, 60)));
  const auto G = Img.At(340, 40);  // black at half strength over white
  EXPECT_NEAR(G.r, 127, 12);
  EXPECT_NEAR(G.g, 127, 12);
}

}  // namespace
}  // namespace quillora::testing
