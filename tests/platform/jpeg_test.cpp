// JPEG pictures: baseline encoding at a quality, decoding back, gray and CMYK
// data, and refusal of data libjpeg cannot read.
#include "quillora/platform/jpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "quillora/core/exception.h"
#include "support/pdf_tools.h"

namespace quillora {
namespace {

namespace ts = testing_support;

// Left half red, right half blue, a green band along the top.
TBitmap Picture() {
  TBitmap b(32, 16, pf24bit);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x)
      b.SetPixel(x, y, y < 4 ? RGB(0, 255, 0) : (x < 16 ? RGB(255, 0, 0) : RGB(0, 0, 255)));
  return b;
}

void ExpectNear(TColorRef got, TColorRef want, int tolerance, const std::string& where) {
  EXPECT_NEAR(GetRValue(got), GetRValue(want), tolerance) << where;
  EXPECT_NEAR(GetGValue(got), GetGValue(want), tolerance) << where;
  EXPECT_NEAR(GetBValue(got), GetBValue(want), tolerance) << where;
}

// True when the data holds the start-of-frame marker 0xFFC0 + n.
bool HasMarker(const std::string& data, unsigned char second) {
  return data.find(std::string("\xFF") + static_cast<char>(second)) != std::string::npos;
}

TEST(JPEG, EncodesBaselineAtTheQualityAndDecodesBack) {
  TJPEGImage jpeg;
  jpeg.SetCompressionQuality(90);
  jpeg.Assign(Picture());
  const std::string& data = jpeg.Data();
  ASSERT_GT(data.size(), 4u);
  EXPECT_EQ(data.substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(data.substr(data.size() - 2), "\xFF\xD9");
  EXPECT_TRUE(HasMarker(data, 0xC0));   // baseline
  EXPECT_FALSE(HasMarker(data, 0xC2));  // not progressive
  EXPECT_FALSE(jpeg.Grayscale());
  EXPECT_EQ(jpeg.Width(), 32);
  EXPECT_EQ(jpeg.Height(), 16);

  TBitmap back = jpeg.ToBitmap();
  ASSERT_EQ(back.Width(), 32);
  ASSERT_EQ(back.Height(), 16);
  ExpectNear(back.Pixel(4, 10), RGB(255, 0, 0), 20, "red");
  ExpectNear(back.Pixel(28, 10), RGB(0, 0, 255), 20, "blue");
  ExpectNear(back.Pixel(10, 1), RGB(0, 255, 0), 20, "green");

  // A lower quality gives less data; a progressive encoding has its marker.
  TJPEGImage low;
  low.SetCompressionQuality(10);
  low.Assign(Picture());
  EXPECT_LT(low.Data().size(), data.size());
  TJPEGImage progressive;
  progressive.SetProgressiveEncoding(true);
  progressive.Assign(Picture());
  EXPECT_TRUE(HasMarker(progressive.Data(), 0xC2));
  // Other pixel formats are encoded through 24 bits.
  TBitmap mono(8, 8, pf1bit);
  mono.SetPixel(0, 0, 0);
  TJPEGImage fromMono;
  fromMono.Assign(mono);
  EXPECT_EQ(fromMono.Width(), 8);
  EXPECT_THROW(fromMono.Assign(TBitmap(0, 0, pf24bit)), Exception);
}

TEST(JPEG, LoadsDataAndDetectsGray) {
  TJPEGImage colour;
  colour.Assign(Picture());
  TJPEGImage loaded;
  loaded.LoadFromData(colour.Data());
  EXPECT_EQ(loaded.Components(), 3);
  EXPECT_FALSE(loaded.Grayscale());
  EXPECT_EQ(loaded.Width(), 32);

  TJPEGImage gray;
  gray.SetGrayscale(true);
  gray.Assign(Picture());
  TJPEGImage grayLoaded;
  grayLoaded.LoadFromData(gray.Data());
  EXPECT_TRUE(grayLoaded.Grayscale());
  TBitmap g = grayLoaded.ToBitmap();
  const TColorRef red = g.Pixel(4, 10);
  EXPECT_EQ(GetRValue(red), GetGValue(red));
  EXPECT_NEAR(GetRValue(red), 76, 12);  // the luminance of red
}

TEST(JPEG, CmykDataIsConvertedToRgb) {
  const char* dir = std::getenv("QUILLORA_TEST_DATA");
  ASSERT_NE(dir, nullptr);
  TJPEGImage cmyk;
  cmyk.LoadFromData(ts::ReadFile(std::string(dir) + "/images/cmyk16x8.jpg"));
  EXPECT_EQ(cmyk.Components(), 4);
  TBitmap b = cmyk.ToBitmap();
  ExpectNear(b.Pixel(2, 4), RGB(255, 0, 0), 16, "red");
  ExpectNear(b.Pixel(13, 4), RGB(0, 0, 255), 16, "blue");
}

TEST(JPEG, RefusesBadData) {
  TJPEGImage colour;
  colour.Assign(Picture());
  const std::string good = colour.Data();
  struct Case {
    const char* name;
    std::string data;
  } cases[] = {
      {"empty", ""},
      {"not jpeg", "GIF89a........"},
      {"header cut", good.substr(0, 20)},
      {"only SOI", "\xFF\xD8"},
  };
  for (const Case& c : cases) {
    TJPEGImage j;
    try {
      j.LoadFromData(c.data);
      ADD_FAILURE() << c.name;
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Invalid JPEG data: ", 0), 0u) << c.name << e.what();
    }
    EXPECT_TRUE(j.Empty());
  }
  // Data cut inside the scan still decodes (libjpeg fills the rest) without
  // reading past it.
  TJPEGImage cut;
  cut.LoadFromData(good.substr(0, good.size() - 40));
  EXPECT_EQ(cut.ToBitmap().Width(), 32);
}

}  // namespace
}  // namespace quillora
