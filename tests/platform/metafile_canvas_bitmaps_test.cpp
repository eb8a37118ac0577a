// Bitmap records: layouts, the DIB of the source rectangle, pattern fills.
#include <gtest/gtest.h>

#include <vector>

#include "metafile_fixture.h"
#include "quillora/core/exception.h"
#include "quillora/platform/dib.h"

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

TBitmap Colors3x2() {
  TBitmap B(3, 2, pf24bit);
  B.SetPixel(0, 0, RGB(255, 0, 0));
  B.SetPixel(1, 0, RGB(0, 255, 0));
  B.SetPixel(2, 0, RGB(0, 0, 255));
  B.SetPixel(0, 1, RGB(10, 20, 30));
  B.SetPixel(2, 1, RGB(1, 2, 3));
  return B;
}

uint8_t Byte(const Rec& R, size_t Offset) {
  return static_cast<uint8_t>(R.Bytes.at(Offset));
}

TEST(MetafileCanvasBitmaps, DrawWritesABitBltWithABottomUpDib) {
  const TBitmap B = Colors3x2();
  const std::string Emf = Record([&](TMetafileCanvas& C) { C.Draw(10, 20, B); });
  ASSERT_EQ(DrawingTypes(Emf), std::vector<uint32_t>{EMR_BITBLT});
  const Rec R = OfType(Emf, EMR_BITBLT).at(0);
  EXPECT_EQ(R.Bytes.size(), 100u + 40 + 2 * 12);
  EXPECT_EQ(R.I32(blt::Bounds), 10);
  EXPECT_EQ(R.I32(blt::Bounds + 8), 12);
  EXPECT_EQ(R.I32(blt::Bounds + 12), 21);
  EXPECT_EQ(R.I32(blt::CxDest), 3);
  EXPECT_EQ(R.I32(blt::CyDest), 2);
  EXPECT_EQ(R.U32(blt::Rop), SRCCOPY);
  EXPECT_EQ(R.U32(blt::BmiOffset), 100u);
  EXPECT_EQ(R.U32(blt::BmiSize), 40u);
  EXPECT_EQ(R.U32(blt::BitsOffset), 140u);
  EXPECT_EQ(R.U32(blt::BitsSize), 24u);
  EXPECT_FLOAT_EQ(R.F32(blt::XformSrc), 1.0f);
  // BITMAPINFOHEADER: 3 x 2, bottom-up, 24 bits.
  EXPECT_EQ(R.U32(100), 40u);
  EXPECT_EQ(R.I32(104), 3);
  EXPECT_EQ(R.I32(108), 2);
  EXPECT_EQ(R.U16(114), 24u);
  // The first stored row is the bottom one, pixels blue, green, red.
  EXPECT_EQ(Byte(R, 140), 30);
  EXPECT_EQ(Byte(R, 141), 20);
  EXPECT_EQ(Byte(R, 142), 10);
  EXPECT_EQ(Byte(R, 146), 3);
  EXPECT_EQ(Byte(R, 152 + 2), 255);  // top row: red first
  EXPECT_EQ(Byte(R, 152 + 6), 255);  // then blue
}

TEST(MetafileCanvasBitmaps, SourceRectanglesStartingInsideAByteKeepTheirPixels) {
  // A 1-bit bitmap with a diagonal; take the 5 x 3 rectangle at (3, 1).
  TBitmap B(12, 4, pf1bit);
  for (int I = 0; I < 4; ++I) B.SetPixel(I + 3, I, 0);  // black
  const std::string Emf =
      Record([&](TMetafileCanvas& C) { C.StretchDIBits(0, 0, 50, 30, 3, 1, 5, 3, B, SRCCOPY); });
  const Rec R = OfType(Emf, EMR_STRETCHDIBITS).at(0);
  EXPECT_EQ(R.I32(dibits::XSrc), 0);
  EXPECT_EQ(R.I32(dibits::CxSrc), 5);
  EXPECT_EQ(R.I32(dibits::CySrc), 3);
  EXPECT_EQ(R.I32(dibits::CxDest), 50);
  EXPECT_EQ(R.U32(dibits::BmiSize), 40u + 8);  // two palette entries
  EXPECT_EQ(R.U32(dibits::BitsSize), 3u * 4);
  const uint32_t Info = R.U32(dibits::BmiOffset), Bits = R.U32(dibits::BitsOffset);
  EXPECT_EQ(R.U16(Info + 14), 1u);
  // Palette entry 0 black, 1 white.
  EXPECT_EQ(R.U32(Info + 40), 0u);
  EXPECT_EQ(R.U32(Info + 44), 0x00FFFFFFu);
  // Rows bottom-up: source rows 3, 2, 1 hold their black pixel at columns
  // 3, 2, 1 of the rectangle; all other bits white, padding zero.
  const uint8_t Expected[3] = {0xE8, 0xD8, 0xB8};
  for (int Row = 0; Row < 3; ++Row) {
    EXPECT_EQ(Byte(R, Bits + 4 * Row), Expected[Row]) << Row;
    EXPECT_EQ(Byte(R, Bits + 4 * Row + 1), 0) << Row;
  }
}

TEST(MetafileCanvasBitmaps, IndexedBitmapsCarryTheirPalette) {
  TBitmap B(2, 1, pf8bit);
  B.SetPalette({RGB(0, 0, 0), RGB(200, 100, 50), RGB(255, 255, 255)});
  B.SetPixel(0, 0, RGB(200, 100, 50));
  const std::string Emf = Record([&](TMetafileCanvas& C) { C.Draw(0, 0, B); });
  const Rec R = OfType(Emf, EMR_BITBLT).at(0);
  const uint32_t Colors = static_cast<uint32_t>(B.Palette().size());
  EXPECT_EQ(R.U32(blt::BmiSize), 40u + 4 * Colors);
  EXPECT_EQ(R.U32(100 + 32), Colors);      // biClrUsed
  EXPECT_EQ(R.U32(140 + 4), 0x00C86432u);  // RGBQUAD blue, green, red
  EXPECT_EQ(Byte(R, R.U32(blt::BitsOffset)), 1);
}

TEST(MetafileCanvasBitmaps, RecordLayoutsOfTheBltFamily) {
  const TBitmap B = Colors3x2();
  TBitmap Mask(3, 2, pf1bit);
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    C.StretchDraw({0, 0, 30, 20}, B);
    C.AlphaBlend(0, 0, 30, 20, B, 1, 0, 2, 2, {0, 0, 128, 0});
    C.TransparentBlt(0, 0, 30, 20, B, 0, 0, 3, 2, RGB(1, 2, 3));
    C.MaskBlt(5, 5, 2, 2, B, 1, 0, Mask, 1, 0, SRCCOPY);
    C.SetDIBitsToDevice(40, 50, 0, 0, 3, 2, B);
  });
  const Rec Stretch = OfType(Emf, EMR_STRETCHBLT).at(0);
  EXPECT_EQ(Stretch.U32(blt::BmiOffset), 108u);
  EXPECT_EQ(Stretch.I32(blt::CxSrc), 3);
  EXPECT_EQ(Stretch.I32(blt::CxDest), 30);
  const Rec Alpha = OfType(Emf, EMR_ALPHABLEND).at(0);
  EXPECT_EQ(Alpha.U32(blt::Rop), 0x00800000u);
  EXPECT_EQ(Alpha.I32(blt::CxSrc), 2);
  EXPECT_EQ(Alpha.I32(blt::XSrc), 0);  // the record holds only the rectangle
  EXPECT_EQ(Alpha.I32(Alpha.U32(blt::BmiOffset) + 4), 2);
  const Rec Transparent = OfType(Emf, EMR_TRANSPARENTBLT).at(0);
  EXPECT_EQ(Transparent.U32(blt::Rop), RGB(1, 2, 3));
  const Rec Masked = OfType(Emf, EMR_MASKBLT).at(0);
  EXPECT_EQ(Masked.U32(blt::BmiOffset), 128u);
  const uint32_t MaskInfo = Masked.U32(blt::MaskBmiOffset);
  EXPECT_EQ(MaskInfo, 128u + Masked.U32(blt::BmiSize) + Masked.U32(blt::BitsSize));
  EXPECT_EQ(Masked.U16(MaskInfo + 14), 1u);
  EXPECT_EQ(Masked.U32(blt::MaskBitsOffset) + Masked.U32(blt::MaskBitsSize), Masked.Bytes.size());
  const Rec Dib = OfType(Emf, EMR_SETDIBITSTODEVICE).at(0);
  EXPECT_EQ(Dib.U32(dibits::Scans), 2u);
  EXPECT_EQ(Dib.U32(dibits::BmiOffset), 76u);
  EXPECT_EQ(Dib.I32(dibits::Bounds + 8), 42);
  EXPECT_EQ(Dib.I32(dibits::Bounds + 12), 51);
}

TEST(MetafileCanvasBitmaps, FillAndFrameRectanglesPaintWithTheBrush) {
  const std::string Emf = Record([](TMetafileCanvas& C) {
    C.Brush().Color = RGB(0, 0, 200);
    C.FillRect({10, 10, 40, 30});
    C.FillRect({10, 10, 10, 30});  // empty: nothing
    C.FrameRect({0, 0, 20, 10});
  });
  const std::vector<uint32_t> Expected = {EMR_CREATEBRUSHINDIRECT,
                                          EMR_SELECTOBJECT,
                                          EMR_BITBLT,
                                          EMR_BITBLT,
                                          EMR_BITBLT,
                                          EMR_BITBLT,
                                          EMR_BITBLT};
  EXPECT_EQ(DrawingTypes(Emf), Expected);
  const auto Blts = OfType(Emf, EMR_BITBLT);
  EXPECT_EQ(Blts[0].Bytes.size(), 100u);
  EXPECT_EQ(Blts[0].U32(blt::Rop), PATCOPY);
  EXPECT_EQ(Blts[0].U32(blt::BmiSize), 0u);
  EXPECT_EQ(Blts[0].I32(blt::CxDest), 30);
  // The frame: top, bottom, left, right edges one unit wide.
  EXPECT_EQ(Blts[2].I32(blt::YDest), 9);
  EXPECT_EQ(Blts[3].I32(blt::CxDest), 1);
  EXPECT_EQ(Blts[4].I32(blt::XDest), 19);
}

TEST(MetafileCanvasBitmaps, BadSourcesAreRefusedAndWriteNothing) {
  const TBitmap B = Colors3x2();
  const TBitmap NotAMask(3, 2, pf24bit);
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    EXPECT_THROW(C.StretchBlt(0, 0, 5, 5, B, 2, 0, 2, 2), Exception);  // past the right edge
    EXPECT_THROW(C.StretchDIBits(0, 0, 5, 5, 0, -1, 2, 2, B), Exception);
    EXPECT_THROW(C.AlphaBlend(0, 0, 5, 5, B, 0, 0, 0, 2, {}), Exception);  // empty
    EXPECT_THROW(C.BitBlt(0, 0, 5, 5, nullptr, 0, 0, SRCCOPY), Exception);
    EXPECT_THROW(C.MaskBlt(0, 0, 2, 2, B, 0, 0, NotAMask, 0, 0, SRCCOPY), Exception);
  });
  EXPECT_TRUE(DrawingTypes(Emf).empty());
}

// The DIB in the record decodes (with the platform's DIB decoder) to exactly
// the source rectangle, for every pixel format and for rectangles that start
// inside a byte.
TEST(MetafileCanvasBitmaps, RecordedDibsDecodeToTheSourceRectangle) {
  const TPixelFormat Formats[] = {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit};
  for (const TPixelFormat Format : Formats) {
    TBitmap B(37, 11, Format);
    uint32_t Seed = 12345;
    for (int Y = 0; Y < B.Height(); ++Y)
      for (int X = 0; X < B.Width(); ++X) {
        Seed = Seed * 1103515245 + 12345;
        B.SetPixel(X, Y, (Seed >> 8) & 0xFFFFFF);
      }
    const int XSrc = 5, YSrc = 3, W = 29, H = 7;
    const std::string Emf =
        Record([&](TMetafileCanvas& C) { C.StretchDIBits(0, 0, W, H, XSrc, YSrc, W, H, B); });
    const Rec R = OfType(Emf, EMR_STRETCHDIBITS).at(0);
    const auto* Data = reinterpret_cast<const uint8_t*>(R.Bytes.data());
    const TBitmap D = DecodeDIB(Data + R.U32(dibits::BmiOffset), R.U32(dibits::BmiSize),
                                Data + R.U32(dibits::BitsOffset), R.U32(dibits::BitsSize));
    ASSERT_EQ(D.Width(), W) << Format;
    ASSERT_EQ(D.Height(), H) << Format;
    int Wrong = 0;
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X)
        Wrong += (D.Pixel(X, Y) & 0xFFFFFF) != (B.Pixel(XSrc + X, YSrc + Y) & 0xFFFFFF);
    EXPECT_EQ(Wrong, 0) << "pixel format " << Format;
  }
}

}  // namespace
