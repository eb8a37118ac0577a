// An independent decoder (libtiff's tiffcp) reads the raw codes of the CCITT
// encoder, wrapped in a one-strip TIFF, back into the source pixels. TIFF's
// Group 3 requires an EOL before every row, which the one-dimensional mode
// (meant for PDF, where EOLs are optional) does not write: libtiff checks the
// two-dimensional Group 3 mode and Group 4; the PDF readers check all three.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image_fixtures.h"
#include "quillora/page/ccitt.h"
#include "support/pdf_tools.h"

namespace quillora {
namespace {

using image_fixtures::Content;
using image_fixtures::MonoBitmap;
namespace ts = testing_support;

void Put16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
void Put32(std::string& s, uint32_t v) {
  Put16(s, static_cast<uint16_t>(v));
  Put16(s, static_cast<uint16_t>(v >> 16));
}

// A little-endian TIFF with one strip of fax codes; WhiteIsZero, so decoded
// bit 1 is black.
std::string FaxTiff(int width, int height, int mode, const std::string& codes) {
  struct Entry {
    uint16_t tag, type;
    uint32_t value;
  };
  const uint32_t dataOffset = 8;
  const Entry entries[] = {
      {256, 4, static_cast<uint32_t>(width)},
      {257, 4, static_cast<uint32_t>(height)},
      {258, 3, 1},
      {259, 3, mode == 2 ? 4u : 3u},
      {262, 3, 0},
      {266, 3, 1},
      {273, 4, dataOffset},
      {277, 3, 1},
      {278, 4, static_cast<uint32_t>(height)},
      {279, 4, static_cast<uint32_t>(codes.size())},
      {static_cast<uint16_t>(mode == 2 ? 293 : 292), 4, mode == 1 ? 1u : 0u},
  };
  std::string t = "II";
  Put16(t, 42);
  Put32(t, static_cast<uint32_t>(dataOffset + codes.size() + (codes.size() & 1)));
  t += codes;
  if (codes.size() & 1) t += '\0';
  Put16(t, static_cast<uint16_t>(std::size(entries)));
  for (const Entry& e : entries) {
    Put16(t, e.tag);
    Put16(t, e.type);
    Put32(t, 1);
    if (e.type == 3) {
      Put16(t, static_cast<uint16_t>(e.value));
      Put16(t, 0);
    } else {
      Put32(t, e.value);
    }
  }
  Put32(t, 0);
  return t;
}

uint32_t Get(const std::string& s, size_t at, int bytes) {
  if (at + bytes > s.size()) throw std::runtime_error("TIFF truncated");
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(s[at + i]);
  return v;
}

// The pixel bytes of an uncompressed one-strip little-endian TIFF.
std::string StripOf(const std::string& t) {
  if (t.size() < 8 || t.compare(0, 2, "II") != 0) throw std::runtime_error("not a LE TIFF");
  size_t ifd = Get(t, 4, 4);
  uint32_t n = Get(t, ifd, 2);
  uint32_t offset = 0, count = 0, compression = 0, strips = 0;
  for (uint32_t i = 0; i < n; ++i) {
    size_t e = ifd + 2 + i * 12;
    uint32_t tag = Get(t, e, 2), type = Get(t, e + 2, 2);
    uint32_t value = type == 3 ? Get(t, e + 8, 2) : Get(t, e + 8, 4);
    if (tag == 259) compression = value;
    if (tag == 273) {
      offset = value;
      strips = Get(t, e + 4, 4);
    }
    if (tag == 279) count = value;
  }
  if (compression != 1 || strips != 1) throw std::runtime_error("unexpected TIFF layout");
  return t.substr(offset, count);
}

TEST(CCITTDecode, LibtiffReadsEveryModeBackToTheSource) {
  if (!ts::HaveTool("tiffcp")) GTEST_SKIP() << "tiffcp not installed";
  const auto dir = ts::FreshDir();
  for (int width : {1, 7, 8, 9, 1728, 2481, 5000}) {
    for (Content content : {Content::kNoise, Content::kText, Content::kWhite, Content::kBlack}) {
      const int height = width >= 1728 ? 40 : 33;
      TBitmap bitmap = MonoBitmap(width, height, content, static_cast<uint32_t>(width));
      for (int mode = 1; mode < 3; ++mode) {
        SCOPED_TRACE(std::to_string(width) + " " + image_fixtures::Name(content) + " mode " +
                     std::to_string(mode));
        std::string codes;
        CCITTCompressBitmap(bitmap, &codes, mode);
        const auto in = dir / "in.tif";
        const auto out = dir / "out.tif";
        ts::WriteFile(in, FaxTiff(width, height, mode, codes));
        auto r = ts::Run("tiffcp -c none -r 1000000 " + ts::Quote(in.string()) + " " +
                         ts::Quote(out.string()));
        ASSERT_EQ(r.exit_code, 0) << r.err;
        EXPECT_EQ(r.err, "");
        std::string pixels = StripOf(ts::ReadFile(out));
        const size_t rowBytes = (width + 7) / 8;
        ASSERT_EQ(pixels.size(), rowBytes * height);
        int mismatches = 0;
        for (int y = 0; y < height && mismatches == 0; ++y)
          for (int x = 0; x < width; ++x) {
            bool black = (static_cast<uint8_t>(pixels[y * rowBytes + x / 8]) >> (7 - x % 8)) & 1;
            if (black != image_fixtures::IsBlack(bitmap, x, y)) {
              ADD_FAILURE() << "pixel " << x << "," << y;
              ++mismatches;
              break;
            }
          }
      }
    }
  }
}

TEST(CCITTDecode, LibtiffReadsEveryRunLength) {
  if (!ts::HaveTool("tiffcp")) GTEST_SKIP() << "tiffcp not installed";
  // Row y: a white run of 21 y, then a black run, then white: every make-up
  // code of both colours appears in some row.
  const int width = 2700, height = 128;
  TBitmap bitmap(width, height, pf1bit);
  for (int y = 0; y < height; ++y) {
    int w = y * 21;
    int b = (y * 47 + 1) % (width - w);
    for (int x = w; x < w + b; ++x) bitmap.SetPixel(x, y, 0);
  }
  const auto dir = ts::FreshDir();
  for (int mode = 1; mode < 3; ++mode) {
    std::string codes;
    CCITTCompressBitmap(bitmap, &codes, mode);
    ts::WriteFile(dir / "in.tif", FaxTiff(width, height, mode, codes));
    auto r = ts::Run("tiffcp -c none -r 1000000 " + ts::Quote((dir / "in.tif").string()) + " " +
                     ts::Quote((dir / "out.tif").string()));
    ASSERT_EQ(r.exit_code, 0) << r.err;
    std::string pixels = StripOf(ts::ReadFile(dir / "out.tif"));
    const size_t rowBytes = (width + 7) / 8;
    ASSERT_EQ(pixels.size(), rowBytes * height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        bool black = (static_cast<uint8_t>(pixels[y * rowBytes + x / 8]) >> (7 - x % 8)) & 1;
        ASSERT_EQ(black, image_fixtures::IsBlack(bitmap, x, y))
            << x << "," << y << " mode " << mode;
      }
  }
}

}  // namespace
}  // namespace quillora
