// Decoding device-independent bitmaps: every header, depth and compression,
// the source coordinates of the GDI-style copies, and refusal of data that
// does not fit.
#include "quillora/platform/dib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quillora/core/exception.h"

namespace quillora {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A header of `size` bytes (40, 108 or 124), then the extra bytes (masks or
// colour table).
Bytes InfoHeader(int32_t width, int32_t height, int bpp, uint32_t compression = 0,
                 uint32_t size = 40, uint32_t colorsUsed = 0) {
  Bytes b;
  Put32(b, size);
  Put32(b, static_cast<uint32_t>(width));
  Put32(b, static_cast<uint32_t>(height));
  Put16(b, 1);
  Put16(b, static_cast<uint32_t>(bpp));
  Put32(b, compression);
  Put32(b, 0);
  Put32(b, 2835);
  Put32(b, 2835);
  Put32(b, colorsUsed);
  Put32(b, 0);
  b.resize(size, 0);
  return b;
}

void Quad(Bytes& b, TColorRef c) {
  b.push_back(GetBValue(c));
  b.push_back(GetGValue(c));
  b.push_back(GetRValue(c));
  b.push_back(0);
}

const TColorRef kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                kWhite = RGB(255, 255, 255);

std::vector<TColorRef> Pixels(const TBitmap& b) {
  std::vector<TColorRef> v;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) v.push_back(b.Pixel(x, y));
  return v;
}

TBitmap Decode(const Bytes& info, const Bytes& bits, uint32_t usage = kDibRgbColors) {
  return DecodeDIB(info.data(), info.size(), bits.data(), bits.size(), usage);
}

TEST(DIB, EveryDepthBottomUpAndTopDown) {
  // 3 x 2 pictures: top row red green blue, bottom row white red green.
  const std::vector<TColorRef> expected = {kRed, kGreen, kBlue, kWhite, kRed, kGreen};
  for (bool topDown : {false, true}) {
    const int32_t h = topDown ? -2 : 2;
    auto rows = [&](Bytes top, Bytes bottom) {
      Bytes bits = topDown ? top : bottom;
      const Bytes& second = topDown ? bottom : top;
      bits.insert(bits.end(), second.begin(), second.end());
      return bits;
    };
    // 1 bit: only two colours, so red/white with green and blue as red.
    {
      Bytes info = InfoHeader(3, h, 1);
      Quad(info, kWhite);
      Quad(info, kRed);
      TBitmap b = Decode(info, rows({0b11100000, 0, 0, 0}, {0b01100000, 0, 0, 0}));
      EXPECT_EQ(b.PixelFormat(), pf1bit);
      EXPECT_EQ(Pixels(b), (std::vector<TColorRef>{kRed, kRed, kRed, kWhite, kRed, kRed}));
    }
    {  // 4 bits, a colour table of four entries
      Bytes info = InfoHeader(3, h, 4, 0, 40, 4);
      for (TColorRef c : {kWhite, kRed, kGreen, kBlue}) Quad(info, c);
      TBitmap b = Decode(info, rows({0x12, 0x30, 0, 0}, {0x01, 0x20, 0, 0}));
      EXPECT_EQ(b.PixelFormat(), pf4bit);
      EXPECT_EQ(Pixels(b), expected);
    }
    {  // 8 bits
      Bytes info = InfoHeader(3, h, 8, 0, 40, 4);
      for (TColorRef c : {kWhite, kRed, kGreen, kBlue}) Quad(info, c);
      TBitmap b = Decode(info, rows({1, 2, 3, 0}, {0, 1, 2, 0}));
      EXPECT_EQ(Pixels(b), expected);
    }
    {  // 16 bits, 5-5-5
      auto px = [](int r, int g, int b) { return static_cast<uint16_t>((r << 10) | (g << 5) | b); };
      Bytes top, bottom;
      for (uint16_t v : {px(31, 0, 0), px(0, 31, 0), px(0, 0, 31)}) Put16(top, v);
      for (uint16_t v : {px(31, 31, 31), px(31, 0, 0), px(0, 31, 0)}) Put16(bottom, v);
      top.resize(8);
      bottom.resize(8);
      TBitmap b = Decode(InfoHeader(3, h, 16), rows(top, bottom));
      EXPECT_EQ(b.PixelFormat(), pf24bit);
      EXPECT_EQ(Pixels(b), expected);
    }
    {  // 16 bits, 5-6-5 bit fields after a 40-byte header
      Bytes info = InfoHeader(3, h, 16, dcBitFields);
      Put32(info, 0xF800);
      Put32(info, 0x07E0);
      Put32(info, 0x001F);
      Bytes top, bottom;
      for (uint16_t v : {0xF800, 0x07E0, 0x001F}) Put16(top, v);
      for (uint16_t v : {0xFFFF, 0xF800, 0x07E0}) Put16(bottom, v);
      top.resize(8);
      bottom.resize(8);
      EXPECT_EQ(Pixels(Decode(info, rows(top, bottom))), expected);
    }
    {  // 24 bits
      Bytes top, bottom;
      for (TColorRef c : {kRed, kGreen, kBlue}) {
        top.push_back(GetBValue(c));
        top.push_back(GetGValue(c));
        top.push_back(GetRValue(c));
      }
      for (TColorRef c : {kWhite, kRed, kGreen}) {
        bottom.push_back(GetBValue(c));
        bottom.push_back(GetGValue(c));
        bottom.push_back(GetRValue(c));
      }
      top.resize(12);
      bottom.resize(12);
      TBitmap b = Decode(InfoHeader(3, h, 24), rows(top, bottom));
      EXPECT_EQ(b.PixelFormat(), pf24bit);
      EXPECT_EQ(Pixels(b), expected);
      // The same in a V4 and a V5 header, and a core header.
      EXPECT_EQ(Pixels(Decode(InfoHeader(3, h, 24, 0, 108), rows(top, bottom))), expected);
      EXPECT_EQ(Pixels(Decode(InfoHeader(3, h, 24, 0, 124), rows(top, bottom))), expected);
      if (!topDown) {
        Bytes core;
        Put32(core, 12);
        Put16(core, 3);
        Put16(core, 2);
        Put16(core, 1);
        Put16(core, 24);
        EXPECT_EQ(Pixels(Decode(core, rows(top, bottom))), expected);
      }
    }
    {  // 32 bits: the fourth byte is kept as alpha
      Bytes top, bottom;
      for (TColorRef c : {kRed, kGreen, kBlue}) Quad(top, c | 0x7F000000);
      for (TColorRef c : {kWhite, kRed, kGreen}) Quad(bottom, c);
      top[3] = 0x7F;
      TBitmap b = Decode(InfoHeader(3, h, 32), rows(top, bottom));
      EXPECT_EQ(b.PixelFormat(), pf32bit);
      EXPECT_EQ(Pixels(b), expected);
      EXPECT_EQ(b.ScanLine(0)[3], 0x7F);
      // Bit fields with the channels in other places (red low), alpha in V5.
      Bytes info = InfoHeader(3, h, 32, dcBitFields, 124);
      for (int k = 0; k < 4; ++k) info[40 + 4 * k] = 0;
      const uint32_t masks[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
      for (int k = 0; k < 4; ++k)
        for (int j = 0; j < 4; ++j)
          info[40 + 4 * k + j] = static_cast<uint8_t>(masks[k] >> (8 * j));
      Bytes t2, b2;
      for (TColorRef c : {kRed, kGreen, kBlue}) Put32(t2, c | 0x20000000);
      for (TColorRef c : {kWhite, kRed, kGreen}) Put32(b2, c);
      TBitmap f = Decode(info, rows(t2, b2));
      EXPECT_EQ(Pixels(f), expected);
      EXPECT_EQ(f.ScanLine(0)[3], 0x20);
    }
  }
}

TEST(DIB, CoreHeaderColourTableUsesTriples) {
  Bytes info;
  Put32(info, 12);
  Put16(info, 2);
  Put16(info, 1);
  Put16(info, 1);
  Put16(info, 1);
  for (TColorRef c : {kBlue, kGreen}) {
    info.push_back(GetBValue(c));
    info.push_back(GetGValue(c));
    info.push_back(GetRValue(c));
  }
  EXPECT_EQ(Pixels(Decode(info, {0b01000000, 0, 0, 0})), (std::vector<TColorRef>{kBlue, kGreen}));
}

TEST(DIB, PaletteIndexColourTable) {
  Bytes info = InfoHeader(2, 1, 1);
  Put16(info, 13);  // red in the standard palette
  Put16(info, 16);  // blue
  TBitmap b = Decode(info, {0b01000000, 0, 0, 0}, kDibPalColors);
  EXPECT_EQ(Pixels(b), (std::vector<TColorRef>{kRed, kBlue}));
  EXPECT_EQ(DefaultLogicalPalette().size(), 20u);
  // A logical palette of the caller; index 16 is beyond it: black.
  Bytes own = InfoHeader(2, 1, 1);
  Put16(own, 1);
  Put16(own, 16);
  std::vector<TColorRef> logical = {kGreen, kWhite};
  const Bytes bits = {0b01000000, 0, 0, 0};
  TBitmap l = DecodeDIB(own.data(), own.size(), bits.data(), bits.size(), kDibPalColors, &logical);
  EXPECT_EQ(Pixels(l), (std::vector<TColorRef>{kWhite, 0}));
}

TEST(DIB, RunLengthEncoded) {
  // RLE8, 4 x 3, bottom row first: a run, end of line; an absolute run of
  // three (padded), end of line; a delta skipping to x 2 of the same row,
  // then a run of 2 and end of bitmap.
  Bytes info = InfoHeader(4, 3, 8, dcRLE8, 40, 4);
  for (TColorRef c : {kWhite, kRed, kGreen, kBlue}) Quad(info, c);
  Bytes rle8 = {4, 1, 0, 0, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 0, 2, 3, 0, 1};
  TBitmap b = Decode(info, rle8);
  EXPECT_EQ(Pixels(b), (std::vector<TColorRef>{kWhite, kWhite, kBlue, kBlue,  // top: skipped 0
                                               kGreen, kBlue, kRed, kWhite,   // absolute
                                               kRed, kRed, kRed, kRed}));
  // RLE4: a run of 5 alternating nibbles 1,2; an absolute run of 3 nibbles.
  Bytes info4 = InfoHeader(5, 2, 4, dcRLE4, 40, 4);
  for (TColorRef c : {kWhite, kRed, kGreen, kBlue}) Quad(info4, c);
  Bytes rle4 = {5, 0x12, 0, 0, 0, 3, 0x31, 0x20, 0, 1};
  EXPECT_EQ(Pixels(Decode(info4, rle4)),
            (std::vector<TColorRef>{kBlue, kRed, kGreen, kWhite, kWhite,  // top
                                    kRed, kGreen, kRed, kGreen, kRed}));
  // Runs that overflow the row or rows, and streams cut short, stay inside.
  Bytes wild = {255, 1, 0, 2, 255, 255, 255, 2, 0, 200, 1, 2};
  EXPECT_NO_THROW(Decode(info, wild));
  EXPECT_NO_THROW(Decode(info, {0, 9, 1}));
  EXPECT_NO_THROW(Decode(info, {}));
}

TEST(DIB, RefusesWhatDoesNotFit) {
  Bytes ok = InfoHeader(3, 2, 24);
  Bytes bits(24, 0);
  struct Case {
    const char* name;
    Bytes info;
    Bytes bits;
    const char* message;
  } cases[] = {
      {"empty info", {}, bits, "DIB header outside the data"},
      {"short header", Bytes(ok.begin(), ok.begin() + 39), bits, "DIB header outside the data"},
      {"odd header size", InfoHeader(3, 2, 24, 0, 20), bits, "Unsupported DIB header size"},
      {"zero width", InfoHeader(0, 2, 24), bits, "Invalid DIB size"},
      {"zero height", InfoHeader(3, 0, 24), bits, "Invalid DIB size"},
      {"negative width", InfoHeader(-3, 2, 24), bits, "Invalid DIB size"},
      {"huge", InfoHeader(1 << 20, 1 << 20, 24), bits, "Bitmap too large"},
      {"most negative height", InfoHeader(3, INT32_MIN, 24), bits, "Bitmap too large"},
      {"bits short", ok, Bytes(23, 0), "DIB bits outside the data"},
      {"no bits", ok, {}, "DIB bits outside the data"},
      {"jpeg", InfoHeader(3, 2, 0, dcJPEG), bits, "DIB with JPEG or PNG data is not supported"},
      {"png", InfoHeader(3, 2, 0, dcPNG), bits, "DIB with JPEG or PNG data is not supported"},
      {"2 bits", InfoHeader(3, 2, 2), bits, "Unsupported DIB bit depth"},
      {"rle top-down", InfoHeader(3, -2, 8, dcRLE8), bits, "Unsupported DIB compression"},
      {"rle4 at 8 bits", InfoHeader(3, 2, 8, dcRLE4), bits, "Unsupported DIB compression"},
      {"bitfields at 24", InfoHeader(3, 2, 24, dcBitFields), bits, "Unsupported DIB compression"},
      {"masks missing", InfoHeader(3, 2, 16, dcBitFields), bits,
       "DIB colour masks outside the data"},
      {"colour table short", InfoHeader(3, 2, 8), bits, "DIB colour table outside the data"},
      {"unknown compression", InfoHeader(3, 2, 24, 77), bits, "Unsupported DIB compression"},
  };
  for (const Case& c : cases) {
    try {
      Decode(c.info, c.bits);
      ADD_FAILURE() << c.name;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), c.message) << c.name;
    }
  }
  EXPECT_THROW(DecodeDIB(nullptr, 40, bits.data(), bits.size()), Exception);
  // A packed DIB whose bits are short.
  Bytes packed = ok;
  packed.resize(40 + 20);
  EXPECT_THROW(DecodePackedDIB(packed.data(), packed.size()), Exception);
  packed.resize(40 + 24);
  EXPECT_EQ(DecodePackedDIB(packed.data(), packed.size()).Width(), 3);
}

// A 2 x 4 bottom-up 8-bit DIB whose rows, top to bottom, are colours 0..3
// of the table red, green, blue, white.
struct Stripes {
  Bytes info = InfoHeader(2, 4, 8, 0, 40, 4);
  Bytes bits;
  Stripes(bool topDown = false) {
    if (topDown) info = InfoHeader(2, -4, 8, 0, 40, 4);
    for (TColorRef c : {kRed, kGreen, kBlue, kWhite}) Quad(info, c);
    for (int row = 0; row < 4; ++row) {
      const uint8_t index = static_cast<uint8_t>(topDown ? row : 3 - row);
      Bytes r = {index, index, 0, 0};
      bits.insert(bits.end(), r.begin(), r.end());
    }
  }
};

TEST(DIB, StretchDIBitsCountsSourceRowsFromTheBottom) {
  for (bool topDown : {false, true}) {
    Stripes s(topDown);
    TBitmap dest(1, 2, pf24bit);
    // Source rows 0 and 1: bottom-up they are the two lowest (white, blue),
    // top-down the two highest (red, green).
    StretchDIBits(dest, 0, 0, 1, 2, 0, 0, 1, 2, s.info.data(), s.info.size(), s.bits.data(),
                  s.bits.size());
    EXPECT_EQ(Pixels(dest), topDown ? (std::vector<TColorRef>{kRed, kGreen})
                                    : (std::vector<TColorRef>{kBlue, kWhite}));
    // A negative destination height flips.
    TBitmap flipped(1, 4, pf24bit);
    StretchDIBits(flipped, 0, 4, 1, -4, 0, 0, 2, 4, s.info.data(), s.info.size(), s.bits.data(),
                  s.bits.size());
    EXPECT_EQ(Pixels(flipped), (std::vector<TColorRef>{kWhite, kBlue, kGreen, kRed}));
  }
}

TEST(DIB, SetDIBitsToDeviceBands) {
  Stripes s;
  // The bits of scan lines 1 and 2 only (from the bottom: blue, green).
  Bytes band(s.bits.begin() + 4, s.bits.begin() + 12);
  TBitmap dest(2, 4, pf24bit);
  SetDIBitsToDevice(dest, 0, 0, 2, 4, 0, 0, 1, 2, s.info.data(), s.info.size(), band.data(),
                    band.size());
  EXPECT_EQ(Pixels(dest),
            (std::vector<TColorRef>{kWhite, kWhite, kGreen, kGreen, kBlue, kBlue, kWhite, kWhite}));
  // All scan lines: the whole picture top to bottom.
  TBitmap whole(2, 4, pf24bit);
  SetDIBitsToDevice(whole, 0, 0, 2, 4, 0, 0, 0, 4, s.info.data(), s.info.size(), s.bits.data(),
                    s.bits.size());
  EXPECT_EQ(Pixels(whole),
            (std::vector<TColorRef>{kRed, kRed, kGreen, kGreen, kBlue, kBlue, kWhite, kWhite}));
  // Fewer bits than the scan lines claim are refused.
  EXPECT_THROW(SetDIBitsToDevice(whole, 0, 0, 2, 4, 0, 0, 0, 4, s.info.data(), s.info.size(),
                                 band.data(), band.size()),
               Exception);
}

}  // namespace
}  // namespace quillora
