// The platform bitmap: formats, conversions, masks, flips, stretching with
// raster operations and alpha blending.
#include "quillora/platform/bitmap.h"

#include <gtest/gtest.h>

#include <string>

#include "quillora/core/exception.h"

namespace quillora {
namespace {

const TColorRef kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                kWhite = RGB(255, 255, 255), kBlack = 0, kYellow = RGB(255, 255, 0);

const TPixelFormat kAllFormats[] = {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit, pfDevice};

// A 3 x 2 picture drawn from a string of colour letters, rows top first.
TBitmap Picture(const char* rows, int width, TPixelFormat format) {
  const int height = static_cast<int>(std::string(rows).size()) / width;
  TBitmap b(width, height, format);
  for (int i = 0; rows[i]; ++i) {
    TColorRef c = kWhite;
    switch (rows[i]) {
      case 'r':
        c = kRed;
        break;
      case 'g':
        c = kGreen;
        break;
      case 'b':
        c = kBlue;
        break;
      case 'k':
        c = kBlack;
        break;
      case 'y':
        c = kYellow;
        break;
    }
    b.SetPixel(i % width, i / width, c);
  }
  return b;
}

std::string Letters(const TBitmap& b) {
  std::string s;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      switch (b.Pixel(x, y)) {
        case kRed:
          s += 'r';
          break;
        case kGreen:
          s += 'g';
          break;
        case kBlue:
          s += 'b';
          break;
        case kBlack:
          s += 'k';
          break;
        case kWhite:
          s += 'w';
          break;
        case kYellow:
          s += 'y';
          break;
        default:
          s += '?';
      }
    }
  return s;
}

TEST(Bitmap, NewBitmapsAreWhiteWithPaddedRows) {
  for (TPixelFormat f : kAllFormats) {
    TBitmap b(5, 3, f);
    EXPECT_EQ(Letters(b), "wwwwwwwwwwwwwww") << f;
    EXPECT_EQ(b.Stride() % 4, 0u);
  }
  TBitmap b(5, 3, pf24bit);
  EXPECT_EQ(b.Stride(), 16u);
  EXPECT_EQ(TBitmap(33, 1, pf1bit).Stride(), 8u);
  EXPECT_EQ(TBitmap(9, 1, pf4bit).Stride(), 8u);
  TBitmap device(4, 4, pfDevice);
  EXPECT_EQ(device.BitsPerPixel(), 32);
  device.SetMonochrome(true);
  EXPECT_EQ(device.BitsPerPixel(), 1);
  EXPECT_EQ(device.PixelFormat(), pfDevice);
}

TEST(Bitmap, FormatConversionsKeepColours) {
  for (TPixelFormat from : {pf4bit, pf8bit, pf24bit, pf32bit, pfDevice})
    for (TPixelFormat to : {pf4bit, pf8bit, pf24bit, pf32bit, pfDevice}) {
      TBitmap b = Picture("rgbkwy", 3, from);
      b.SetPixelFormat(to);
      EXPECT_EQ(Letters(b), "rgbkwy") << from << " to " << to;
    }
  // To black and white by nearest colour; yellow is nearer white.
  TBitmap b = Picture("rgbkwy", 3, pf24bit);
  b.SetPixelFormat(pf1bit);
  EXPECT_EQ(Letters(b), "kkkkww");
  TBitmap m = Picture("rgbkwy", 3, pf24bit);
  m.SetMonochrome(true);
  EXPECT_EQ(Letters(m), "kkkkww");
  // The monochrome device format becomes pf1bit with the same bits.
  const uint8_t before = m.ScanLine(0)[0];
  m.SetPixelFormat(pf1bit);
  EXPECT_EQ(m.ScanLine(0)[0], before);
  EXPECT_EQ(m.Palette(), (std::vector<TColorRef>{kBlack, kWhite}));
}

TEST(Bitmap, PaletteAndRowAccess) {
  TBitmap b(10, 1, pf1bit);
  b.SetPalette({kRed, kBlue});
  b.ScanLine(0)[0] = 0x80;  // pixel 0 is index 1
  b.ScanLine(0)[1] = 0x00;
  EXPECT_EQ(b.Pixel(0, 0), kBlue);
  EXPECT_EQ(b.Pixel(1, 0), kRed);
  std::vector<uint32_t> row(10);
  b.ReadRow(0, row.data());
  EXPECT_EQ(row[0], kBlue);
  // A short palette reads as black beyond its end.
  TBitmap p(2, 1, pf8bit);
  p.SetPalette({kGreen});
  p.ScanLine(0)[0] = 0;
  p.ScanLine(0)[1] = 7;
  EXPECT_EQ(p.Pixel(0, 0), kGreen);
  EXPECT_EQ(p.Pixel(1, 0), kBlack);
  EXPECT_THROW(p.SetPalette(std::vector<TColorRef>(257)), Exception);
  EXPECT_THROW(TBitmap(2, 2, pf24bit).SetPalette({kRed}), Exception);
  // The alpha byte of 32-bit pixels travels in the top byte.
  TBitmap a(1, 1, pf32bit);
  uint32_t c = 0x80112233;
  a.WriteRow(0, &c);
  EXPECT_EQ(a.ScanLine(0)[3], 0x80);
  a.ReadRow(0, &c);
  EXPECT_EQ(c, 0x80112233u);
}

TEST(Bitmap, SizeLimitsAndPixelRange) {
  struct Case {
    int64_t w, h;
    const char* message;
  } cases[] = {
      {-1, 5, "Invalid bitmap size"},         {5, -1, "Invalid bitmap size"},
      {(1 << 20) + 1, 1, "Bitmap too large"}, {1, (1 << 20) + 1, "Bitmap too large"},
      {100000, 100000, "Bitmap too large"},
  };
  for (const Case& c : cases) {
    try {
      CheckBitmapSize(c.w, c.h);
      ADD_FAILURE() << c.w << "x" << c.h;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  EXPECT_THROW(TBitmap(1 << 21, 1, pf24bit), Exception);
  EXPECT_NO_THROW(TBitmap(0, 0, pf24bit));
  TBitmap b(2, 2, pf24bit);
  EXPECT_THROW(b.Pixel(2, 0), Exception);
  EXPECT_THROW(b.SetPixel(0, -1, 0), Exception);
}

TEST(Bitmap, TransparentColourAndMask) {
  TBitmap b = Picture(
      "rgb"
      "kwg",
      3, pf24bit);
  EXPECT_EQ(b.TransparentColor(), kBlack);  // bottom-left
  b.SetTransparentColor(kGreen | 0x02000000);
  EXPECT_EQ(b.TransparentColor(), kGreen);
  TBitmap m = b;
  m.Mask(kGreen);
  EXPECT_TRUE(m.Monochrome());
  EXPECT_EQ(Letters(m),
            "kwk"
            "kkw");
  for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf32bit}) {
    TBitmap c = Picture(
        "rgb"
        "kwg",
        3, f);
    c.Mask(kBlack);
    // The 1-bit picture holds only black and white: "kkk" "kwk".
    EXPECT_EQ(Letters(c), f == pf1bit ? "www"
                                        "wkw"
                                      : "kkk"
                                        "wkk")
        << f;
  }
}

TEST(Bitmap, FlipEveryFormat) {
  // 5 x 2 so that packed formats have a partial last byte.
  const char* source =
      "rgbkw"
      "ybrgk";
  struct Case {
    bool h, v;
    const char* expected;
  } cases[] = {
      {false, false,
       "rgbkw"
       "ybrgk"},
      {true, false,
       "wkbgr"
       "kgrby"},
      {false, true,
       "ybrgk"
       "rgbkw"},
      {true, true,
       "kgrby"
       "wkbgr"},
  };
  for (TPixelFormat f : {pf4bit, pf8bit, pf24bit, pf32bit, pfDevice})
    for (const Case& c : cases) {
      TBitmap b = Picture(source, 5, f);
      FlipBitmap(b, c.h, c.v);
      EXPECT_EQ(Letters(b), c.expected) << f << c.h << c.v;
    }
  // 1-bit rows of 11 pixels: the indices move, not nearest colours.
  TBitmap mono(11, 1, pf1bit);
  mono.SetPalette({kRed, kBlue});
  mono.ScanLine(0)[0] = 0b10110000;
  mono.ScanLine(0)[1] = 0b01000000;
  FlipBitmap(mono, true, false);
  std::string bits;
  for (int x = 0; x < 11; ++x) bits += mono.Pixel(x, 0) == kBlue ? '1' : '0';
  EXPECT_EQ(bits, "01000001101");
}

TEST(Bitmap, StretchNearestNeighbourMirrorAndClip) {
  TBitmap src = Picture(
      "rg"
      "by",
      2, pf24bit);
  TBitmap dst(4, 4, pf24bit);
  StretchBlt(dst, 0, 0, 4, 4, src, 0, 0, 2, 2);
  EXPECT_EQ(Letters(dst),
            "rrgg"
            "rrgg"
            "bbyy"
            "bbyy");
  // Negative destination width mirrors left to right.
  TBitmap mirrored(2, 2, pf24bit);
  StretchBlt(mirrored, 2, 0, -2, 2, src, 0, 0, 2, 2);
  EXPECT_EQ(Letters(mirrored),
            "gr"
            "yb");
  // Shrinking takes every other pixel; parts outside either bitmap are left.
  TBitmap big = Picture(
      "rgbk"
      "ywww"
      "kkkk"
      "bbbb",
      4, pf24bit);
  TBitmap small(3, 3, pf24bit);
  StretchBlt(small, 1, 1, 2, 2, big, 0, 0, 4, 4);
  EXPECT_EQ(Letters(small),
            "www"
            "wrb"
            "wkk");
  TBitmap clipped(2, 2, pf24bit);
  StretchBlt(clipped, -1, -1, 4, 4, big, -2, -2, 4, 4);
  EXPECT_EQ(Letters(clipped),
            "ww"
            "wr");
  StretchBlt(clipped, 0, 0, 2, 2, big, 0, 0, 0, 4);  // empty source: nothing
  StretchBlt(clipped, 1 << 30, 1 << 30, 1 << 30, 1 << 30, big, 0, 0, 4, 4);
  EXPECT_EQ(Letters(clipped),
            "ww"
            "wr");
}

TEST(Bitmap, RasterOperations) {
  const uint32_t s = 0x00F0F0, d = 0x00FF00, p = 0xFFFFFF;
  struct Case {
    uint32_t rop;
    uint32_t expected;
  } cases[] = {
      {0x000042, 0},
      {0xFF0062, 0xFFFFFF},
      {0xCC0020, s},
      {0x330008, ~s & 0xFFFFFF},
      {0x8800C6, s & d},
      {0xEE0086, s | d},
      {0x660046, s ^ d},
      {0x440328, s & ~d & 0xFFFFFF},
      {0x1100A6, ~(s | d) & 0xFFFFFF},
      {0xBB0226, (~s | d) & 0xFFFFFF},
      {0x550009, ~d & 0xFFFFFF},
      {0xF00021, p},
      {0xC000CA, p & s},
      {0xFB0A09, (p | ~s | d) & 0xFFFFFF},
      {0x5A0049, (p ^ d) & 0xFFFFFF},
      {0xB8074A, ((p & ~s) | (d & s)) & 0xFFFFFF},  // through the minterm sum
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ApplyRop(c.rop, p, s, d), c.expected) << std::hex << c.rop;
    TBitmap src(1, 1, pf24bit), dst(1, 1, pf24bit);
    src.WriteRow(0, &s);
    dst.WriteRow(0, &d);
    StretchBlt(dst, 0, 0, 1, 1, src, 0, 0, 1, 1, c.rop);
    EXPECT_EQ(dst.Pixel(0, 0), c.expected) << std::hex << c.rop;
  }
  // On a monochrome destination colours count as their nearest of black and
  // white: a dark source inverted gives white.
  TBitmap mono(1, 1, pfDevice);
  mono.SetMonochrome(true);
  TBitmap dark(1, 1, pf24bit);
  dark.SetPixel(0, 0, RGB(40, 40, 40));
  StretchBlt(mono, 0, 0, 1, 1, dark, 0, 0, 1, 1, 0x330008);
  EXPECT_EQ(mono.Pixel(0, 0), kWhite);
}

TEST(Bitmap, AlphaBlendOverWhite) {
  TBitmap src(2, 1, pf32bit);
  // Premultiplied: pixel 0 opaque red, pixel 1 half-transparent blue (128).
  uint32_t px[2] = {0xFF0000FF, 0x80800000};
  src.WriteRow(0, px);
  TBitmap dst(2, 1, pf24bit);
  AlphaBlend(dst, 0, 0, 2, 1, src, 0, 0, 2, 1, {0, 0, 255, kAlphaFormatSourceAlpha});
  EXPECT_EQ(dst.Pixel(0, 0), kRed);
  EXPECT_EQ(dst.Pixel(1, 0), RGB(127, 127, 255));
  // Constant alpha only: half of the source over white.
  TBitmap dst2(2, 1, pf24bit);
  AlphaBlend(dst2, 0, 0, 2, 1, src, 0, 0, 2, 1, TBlendFunction::FromBytes(0x00800000));
  EXPECT_EQ(dst2.Pixel(0, 0), RGB(255, 127, 127));
  // Constant and per-pixel alpha together scale both.
  TBitmap dst3(1, 1, pf24bit);
  AlphaBlend(dst3, 0, 0, 1, 1, src, 0, 0, 1, 1, {0, 0, 128, kAlphaFormatSourceAlpha});
  EXPECT_EQ(dst3.Pixel(0, 0), RGB(255, 127, 127));
}

}  // namespace
}  // namespace quillora
