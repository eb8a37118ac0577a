// Bit-exact checks of the CCITT encoder's codes, end markers and modes.
#include <gtest/gtest.h>

#include <string>

#include "image_fixtures.h"
#include "quillora/core/exception.h"
#include "quillora/page/ccitt.h"
#include "quillora/platform/bitmap.h"

namespace quillora {
namespace {

using image_fixtures::Content;
using image_fixtures::MonoBitmap;

std::string Bits(const std::string& bytes) {
  std::string s;
  for (unsigned char c : bytes)
    for (int i = 7; i >= 0; --i) s += ((c >> i) & 1) ? '1' : '0';
  return s;
}

std::string Encode(const TBitmap& b, int mode) {
  std::string out;
  CCITTCompressBitmap(b, &out, mode);
  return Bits(out);
}

// Pads a bit string with zeros to whole bytes.
std::string Padded(std::string bits) {
  while (bits.size() % 8) bits += '0';
  return bits;
}

// A one-row bitmap from a picture string: '#' black, '.' white.
TBitmap Row(const std::string& picture) {
  TBitmap b(static_cast<int>(picture.size()), 1, pf1bit);
  for (size_t x = 0; x < picture.size(); ++x)
    if (picture[x] == '#') b.SetPixel(static_cast<int>(x), 0, 0);
  return b;
}

TEST(CCITTCodes, OneDimensionalRows) {
  struct Case {
    std::string picture;
    std::string bits;
  } cases[] = {
      // White run 8, no black run after it.
      {"........", "10011"},
      // First pixel black: white run 0, then black 3, white 5.
      {"###.....",
       "00110101"
       "10"
       "1100"},
      // White 2, black 1, white 1, black 4.
      {"..#.####",
       "0111"
       "010"
       "000111"
       "011"},
      {"#",
       "00110101"
       "010"},
      {".", "000111"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture);
    EXPECT_EQ(Encode(Row(c.picture), 0), Padded(c.bits));
  }
}

TEST(CCITTCodes, LongRunsUseMakeUpCodes) {
  struct Case {
    int white;
    int black;
    std::string bits;
  } cases[] = {
      // 3000 white: 2560 + 384 + 56.
      {3000, 0,
       "000000011111"
       "00110111"
       "01011001"},
      // 2623 white: 2560 + 63; 2624 would take the loop.
      {2623, 0,
       "000000011111"
       "00110100"},
      {2624, 0,
       "000000011111"
       "11011"
       "00110101"},
      // 64 white then 1728 black: make-up 64 + terminating 0, black make-up 1728 + 0.
      {64, 1728,
       "11011"
       "00110101"
       "0000001100101"
       "0000110111"},
      // 5200 white: 2560, 2560, 64 + 16.
      {5200, 0,
       "000000011111"
       "000000011111"
       "11011"
       "101010"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.white);
    TBitmap b(c.white + c.black, 1, pf1bit);
    for (int x = c.white; x < c.white + c.black; ++x) b.SetPixel(x, 0, 0);
    EXPECT_EQ(Encode(b, 0), Padded(c.bits));
  }
}

TEST(CCITTCodes, GroupFourEndsWithEndOfBlock) {
  // A white row against the white reference is the single V0 code.
  TBitmap white(8, 1, pf1bit);
  EXPECT_EQ(Encode(white, 2), Padded("1"
                                     "000000000001"
                                     "000000000001"));
  // Rows identical to the previous one code as V0 per changing element:
  // row 1 ".##....." = horizontal (white 1, black 2), V0 for the end of the
  // row; row 2 = V0 V0 V0.
  TBitmap two(8, 2, pf1bit);
  for (int y = 0; y < 2; ++y) {
    two.SetPixel(1, y, 0);
    two.SetPixel(2, y, 0);
  }
  std::string row1 = std::string("001") + "000111" + "11" + "1";
  std::string row2 = "111";
  EXPECT_EQ(Encode(two, 2), Padded(row1 + row2 + "000000000001000000000001"));
}

TEST(CCITTCodes, TwoDimensionalModes) {
  // Pass mode: reference "..##...." above the coding row "......##". Row 1:
  // b1 = 2 and b2 = 4 lie left of a1 = 6: pass, a0 = 4; then b1 is the row
  // end (no white-to-black change right of a0): d = 8 - 6 = 2, VL2; then
  // a0 = 6, a1 = b1 = 8: V0.
  TBitmap b(8, 2, pf1bit);
  b.SetPixel(2, 0, 0);
  b.SetPixel(3, 0, 0);
  b.SetPixel(6, 1, 0);
  b.SetPixel(7, 1, 0);
  // Row 0 against white: a1=2, b1=8: horizontal white 2 black 2; a0=4, a1=8,
  // b1=8: V0.
  std::string row0 = std::string("001") + "0111" + "11" + "1";
  std::string row1 = std::string("0001") + "000010" + "1";
  EXPECT_EQ(Encode(b, 2), Padded(row0 + row1 + "000000000001000000000001"));
  // Group 3 two-dimensional: EOL and tag 0 before every row, no end marker.
  EXPECT_EQ(Encode(b, 1), Padded("0000000000010" + row0 + "0000000000010" + row1));
  // Vertical codes left and right: reference ".###...." coding "....#..."
  TBitmap v(8, 2, pf1bit);
  for (int x = 1; x <= 3; ++x) v.SetPixel(x, 0, 0);
  v.SetPixel(4, 1, 0);
  // Row 1: a1 = 4, b1 = 1: d = -3, VR3. Then a0 = 4 (black), a1 = 5 and b1 is
  // the row end (the reference has no black-to-white change right of 4):
  // d = 3, VL3. Then a0 = 5, a1 = b1 = 8: V0.
  std::string vrow0 = std::string("001") + "000111" + "10" + "1";
  std::string vrow1 = std::string("0000011") + "0000010";
  EXPECT_EQ(Encode(v, 2), Padded(vrow0 + vrow1 + "1" + "000000000001000000000001"));
}

TEST(CCITTCodes, EmptyBitmapsWriteNothing) {
  for (int mode = 0; mode < 3; ++mode) {
    EXPECT_EQ(Encode(TBitmap(0, 5, pf1bit), mode), "");
    EXPECT_EQ(Encode(TBitmap(5, 0, pf1bit), mode), "");
  }
}

TEST(CCITTCodes, PaddingBitsNeverMatter) {
  for (int width : {1, 7, 9, 13, 70}) {
    for (int mode = 0; mode < 3; ++mode) {
      TBitmap a = MonoBitmap(width, 12, Content::kNoise, 7);
      TBitmap b = a;
      for (int y = 0; y < b.Height(); ++y) {
        uint8_t* row = b.ScanLine(y);
        for (int x = width; x < static_cast<int>(b.Stride()) * 8; ++x)
          row[x >> 3] ^= static_cast<uint8_t>(0x80 >> (x & 7));
      }
      EXPECT_EQ(Encode(a, mode), Encode(b, mode)) << width << " " << mode;
    }
  }
}

TEST(CCITTCodes, Errors) {
  TBitmap mono(8, 1, pf1bit);
  TCCITTCompression encoder;
  try {
    encoder.Encode(mono);
    FAIL();
  } catch (const TPDFException&) {
    FAIL() << "must be the general class";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Not set output stream.");
  }
  std::string out;
  for (TPixelFormat f : {pf4bit, pf8bit, pf24bit, pf32bit, pfDevice}) {
    TBitmap colour(8, 1, f);
    try {
      CCITTCompressBitmap(colour, &out, 2);
      FAIL() << f;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Not b/w image.");
    }
  }
  // The monochrome device format holds the same 1-bit rows.
  TBitmap device(8, 1, pfDevice);
  device.SetMonochrome(true);
  CCITTCompressBitmap(device, &out, 0);
  EXPECT_EQ(Bits(out), Padded("10011"));
}

}  // namespace
}  // namespace quillora
