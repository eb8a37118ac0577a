// The image objects and their placement, byte for byte.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <functional>
#include <regex>
#include <string>

#include "core/doc_fixture.h"
#include "image_fixtures.h"
#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/page/images.h"
#include "quillora/page/page.h"
#include "quillora/platform/bitmap.h"
#include "quillora/platform/jpeg.h"
#include "support/pdf_tools.h"

namespace quillora {
namespace {

namespace ts = testing_support;
using quillora::testing::BuildPdf;

std::string Inflate(const std::string& data) {
  std::string out(1 << 16, '\0');
  uLongf size = out.size();
  EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                       reinterpret_cast<const Bytef*>(data.data()), data.size()),
            Z_OK);
  out.resize(size);
  return out;
}

int Count(const std::string& haystack, const std::string& needle) {
  int n = 0;
  for (size_t at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + 1))
    ++n;
  return n;
}

// The dictionary text of object Number.
std::string Object(const std::string& pdf, int number) {
  const std::string head = "\r\n" + std::to_string(number) + " 0 obj\r\n";
  size_t at = pdf.find(head);
  if (at == std::string::npos) return "";
  size_t end = pdf.find("endobj", at);
  return pdf.substr(at + 2, end - at - 2);
}

void CheckPdf(const std::string& pdf) {
  const auto file = ts::FreshDir() / "out.pdf";
  ts::WriteFile(file, pdf);
  EXPECT_EQ(ts::QpdfCheck(file), "");
}

TEST(ImageObject, FlateSamplesAreUnpaddedRgbRowsTopFirst) {
  TBitmap b(2, 1, pf24bit);
  b.SetPixel(0, 0, RGB(255, 0, 0));
  b.SetPixel(1, 0, RGB(0, 0, 255));
  TPDFImage image(nullptr, &b, ieFlate);
  EXPECT_EQ(Inflate(image.Data()), std::string("\xFF\x00\x00\x00\x00\xFF", 6));
  EXPECT_EQ(image.BitsPerComponent(), 8);
  EXPECT_FALSE(image.Gray());

  // Rows top first, from any pixel format.
  for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit, pfDevice}) {
    TBitmap two(3, 2, f);
    two.SetPixel(0, 0, 0);  // black top-left, the rest white
    TPDFImage i(nullptr, &two, ieFlate);
    std::string expected(18, '\xFF');
    expected[0] = expected[1] = expected[2] = '\0';
    EXPECT_EQ(Inflate(i.Data()), expected) << f;
  }
}

TEST(ImageObject, BlackIs1FollowsThePalette) {
  TBitmap usual(8, 2, pf1bit);  // black, white
  TBitmap inverted(8, 2, pf1bit);
  inverted.SetPalette({RGB(255, 255, 255), 0});
  for (int x = 0; x < 8; ++x) inverted.SetPixel(x, 0, RGB(255, 255, 255));
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, [&](TPDFDocument& d) {
    d.AddImage(&usual, ieCCITTG4);
    d.AddImage(&inverted, ieCCITTG4);
    d.AddImage(&inverted, ieCCITTG3);
    d.AddImage(&inverted, ieJPEG);
  });
  EXPECT_EQ(Count(pdf, "/DecodeParms [<</K -1 /Columns 8 /Rows 2>>]\r\n"), 1);
  EXPECT_EQ(Count(pdf, "/DecodeParms [<</K -1 /Columns 8 /Rows 2/BlackIs1 true>>]\r\n"), 1);
  EXPECT_EQ(Count(pdf, "/DecodeParms [<</K 0 /Columns 8 /Rows 2/BlackIs1 true>>]\r\n"), 1);
  EXPECT_EQ(Count(pdf, "/BlackIs1"), 2);
  CheckPdf(pdf);
}

TEST(ImageObject, DictionaryLinesInOrder) {
  TBitmap mono(9, 3, pf1bit);
  TBitmap colour(4, 5, pf24bit);
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, [&](TPDFDocument& d) {
    d.AddImage(&colour, ieFlate);
    d.AddImage(&mono, ieCCITTG3TwoD);
    d.AddImage(&colour, ieJPEG);
  });
  std::smatch m;
  ASSERT_TRUE(std::regex_search(pdf, m,
                                std::regex("(\\d+) 0 obj\r\n<</Type /XObject\r\n/Subtype "
                                           "/Image\r\n/ColorSpace /DeviceRGB\r\n"
                                           "/BitsPerComponent 8\r\n/Width 4\r\n/Height 5\r\n"
                                           "/Filter /FlateDecode\r\n/Length \\d+\r\n>>\r\n"
                                           "stream\r\n")));
  EXPECT_TRUE(pdf.find("/Type /XObject\r\n/Subtype /Image\r\n/ColorSpace /DeviceGray\r\n"
                       "/BitsPerComponent 1\r\n/Width 9\r\n/Height 3\r\n/Filter "
                       "[/CCITTFaxDecode]\r\n/Length ") != std::string::npos);
  EXPECT_TRUE(pdf.find("/DecodeParms [<</K 1 /Columns 9 /Rows 3>>]\r\n>>\r\nstream\r\n") !=
              std::string::npos);
  EXPECT_TRUE(pdf.find("/ColorSpace /DeviceRGB\r\n/BitsPerComponent 8\r\n/Width 4\r\n"
                       "/Height 5\r\n/Filter /DCTDecode\r\n") != std::string::npos);
  // "endstream" follows the data directly.
  EXPECT_EQ(Count(pdf, "\r\nendstream"), Count(pdf, "endstream") - 3);
  CheckPdf(pdf);
}

TEST(ImageObject, DrawImageLines) {
  TBitmap b(2, 2, pf24bit);
  struct Case {
    long double angle;
    const char* lines;
  } cases[] = {
      {0, "q\r\n1 0 0 1 72 650 cm\r\n100 0 0 50 0 0 cm\r\n/Im0 Do\r\nQ\r\n"},
      {0.0005L, "q\r\n1 0 0 1 72 650 cm\r\n100 0 0 50 0 0 cm\r\n/Im0 Do\r\nQ\r\n"},
      {90, "q\r\n1 0 0 1 72 650 cm\r\n0 1 -1 0 0 0 cm\r\n100 0 0 50 0 0 cm\r\n/Im0 Do\r\nQ\r\n"},
  };
  for (const Case& c : cases) {
    TPDFDocument doc;
    std::string content;
    BuildPdf(doc, [&](TPDFDocument& d) {
      d.AddImage(&b, ieFlate);
      TPDFPage* page = d.CurrentPage();
      std::string before = page->ContentText();
      page->DrawImage(0, 72, 142, 100, 50, c.angle);
      content = page->ContentText().substr(before.size());
    });
    EXPECT_EQ(content, c.lines) << static_cast<double>(c.angle);
  }
  // Device units at 144 per inch are halved.
  TPDFDocument doc;
  doc.SetResolution(144);
  std::string content;
  BuildPdf(doc, [&](TPDFDocument& d) {
    d.AddImage(&b, ieFlate);
    TPDFPage* page = d.CurrentPage();
    std::string before = page->ContentText();
    page->DrawImage(0, 145, 284, 201, 100);
    content = page->ContentText().substr(before.size());
  });
  EXPECT_EQ(content, "q\r\n1 0 0 1 72.5 650 cm\r\n100.5 0 0 50 0 0 cm\r\n/Im0 Do\r\nQ\r\n");
}

TEST(ImageObject, DrawImageZeroSizeOrBadIndex) {
  TBitmap b(2, 2, pf24bit);
  TPDFDocument doc;
  BuildPdf(doc, [&](TPDFDocument& d) {
    TPDFPage* page = d.CurrentPage();
    std::string before = page->ContentText();
    page->DrawImage(7, 0, 0, 0, 10);  // no index check for a zero size
    page->DrawImage(-1, 0, 0, 10, 0);
    EXPECT_EQ(page->ContentText(), before);
    for (int index : {-1, 0, 1}) {
      try {
        page->DrawImage(index, 0, 0, 10, 10);
        FAIL() << index;
      } catch (const TPDFException& e) {
        EXPECT_STREQ(e.what(), "Out of range");
      }
    }
    d.AddImage(&b, ieFlate);
    page->DrawImage(0, 0, 0, 10, 10);
  });
}

TEST(ImageObject, OneObjectForAnImageOnThreePages) {
  TBitmap b(3, 3, pf24bit);
  for (bool onePass : {false, true}) {
    TPDFDocument doc;
    doc.SetOnePass(onePass);
    std::string pdf = BuildPdf(doc, [&](TPDFDocument& d) {
      int index = d.AddImage(&b, ieFlate);
      for (int i = 0; i < 3; ++i) {
        if (i) d.AddPage();
        d.CurrentPage()->DrawImage(index, 10, 10, 30, 30);
      }
    });
    EXPECT_EQ(Count(pdf, "/Subtype /Image"), 1);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(pdf, m, std::regex("/Im0 (\\d+) 0 R")));
    EXPECT_EQ(Count(pdf, "/Im0 " + m[1].str() + " 0 R"), 3);
    EXPECT_EQ(Count(pdf, "/ProcSet [/PDF /ImageC ]"), 3);
    CheckPdf(pdf);
  }
}

TEST(ImageObject, UndrawnImageWrittenOnlyInTwoPassMode) {
  TBitmap b(3, 3, pf24bit);
  for (bool onePass : {false, true}) {
    TPDFDocument doc;
    doc.SetOnePass(onePass);
    std::string pdf = BuildPdf(doc, [&](TPDFDocument& d) { d.AddImage(&b, ieFlate); });
    EXPECT_EQ(Count(pdf, "/Subtype /Image"), onePass ? 0 : 1);
    CheckPdf(pdf);
  }
}

TEST(ImageObject, MaskWrittenBeforeItsImage) {
  TBitmap maskSource(4, 4, pf24bit);
  maskSource.Fill(RGB(0, 255, 0));
  maskSource.SetPixel(1, 1, RGB(255, 255, 255));
  TBitmap picture(4, 4, pf24bit);
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, [&](TPDFDocument& d) {
    int mask = d.AddImage(&maskSource, ieFlate, -1, true, RGB(255, 255, 255));
    int image = d.AddImage(&picture, ieFlate, mask);
    d.CurrentPage()->DrawImage(image, 0, 0, 40, 40);
    EXPECT_EQ(d.Images().Items(mask)->Compression(), ieCCITTG4);
    EXPECT_TRUE(d.Images().Items(mask)->Gray());
  });
  std::smatch m;
  ASSERT_TRUE(std::regex_search(pdf, m, std::regex("/Mask (\\d+) 0 R")));
  const int maskNumber = std::stoi(m[1]);
  std::string maskObject = Object(pdf, maskNumber);
  EXPECT_NE(maskObject.find("/ImageMask true\r\n"), std::string::npos);
  EXPECT_NE(maskObject.find("/ColorSpace /DeviceGray\r\n/BitsPerComponent 1\r\n"),
            std::string::npos);
  EXPECT_NE(maskObject.find("/K -1 /Columns 4 /Rows 4>>]"), std::string::npos);
  EXPECT_LT(pdf.find(std::to_string(maskNumber) + " 0 obj"), pdf.find("/Mask "));
  CheckPdf(pdf);
}

TEST(ImageObject, Errors) {
  TBitmap colour(4, 4, pf24bit);
  TBitmap mono(4, 4, pf1bit);
  TJPEGImage jpeg;
  jpeg.Assign(colour);
  struct Case {
    const char* name;
    std::function<void(TPDFDocument&)> add;
    const char* message;
    bool general;
  } cases[] = {
      {"mask of a mask", [&](TPDFDocument& d) { d.AddImage(&colour, ieFlate, 0, true); },
       "Mask Image cannot have mask", false},
      {"mask beyond", [&](TPDFDocument& d) { d.AddImage(&colour, ieFlate, 2); },
       "Unknow Mask Image. Out of bound.", false},
      {"mask not a mask", [&](TPDFDocument& d) { d.AddImage(&colour, ieFlate, 0); },
       "Mask Image not marked as \"Mask Image\".", false},
      {"jpeg mask", [&](TPDFDocument& d) { d.AddImage(&jpeg, ieFlate, -1, true); },
       "Create Mask available only for bitmap images", false},
      {"no picture", [&](TPDFDocument& d) { d.AddImage(nullptr, ieFlate); }, "Not valid image.",
       false},
      {"ccitt jpeg", [&](TPDFDocument& d) { d.AddImage(&jpeg, ieCCITTG4); },
       "CCITT compression work only for bitmap", false},
      {"ccitt colour", [&](TPDFDocument& d) { d.AddImage(&colour, ieCCITTG3); },
       "Cannot compress not monochrome image via CCITT", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPDFDocument doc;
    BuildPdf(doc, [&](TPDFDocument& d) {
      d.AddImage(&colour, ieFlate);  // index 0, not a mask
      try {
        c.add(d);
        ADD_FAILURE() << "no exception";
      } catch (const TPDFException& e) {
        EXPECT_FALSE(c.general);
        EXPECT_STREQ(e.what(), c.message);
      } catch (const Exception& e) {
        EXPECT_TRUE(c.general);
        EXPECT_STREQ(e.what(), c.message);
      }
      EXPECT_EQ(d.Images().Count(), 1);  // a failed add leaves nothing
    });
  }
  TPDFDocument idle;
  try {
    idle.AddImage(&colour, ieFlate);
    FAIL();
  } catch (const TPDFException& e) {
    EXPECT_STREQ(e.what(), "Generation PDF file not activated");
  }
  // A monochrome device bitmap is switched to the 1-bit format.
  TBitmap device(4, 4, pfDevice);
  device.SetMonochrome(true);
  TPDFImage fromDevice(nullptr, &device, ieCCITTG4);
  EXPECT_EQ(fromDevice.BitsPerComponent(), 1);
}

TEST(ImageObject, JpegDataKeptAndGrayDetected) {
  TBitmap b(16, 8, pf24bit);
  b.Fill(RGB(200, 30, 40));
  TJPEGImage colour;
  colour.SetCompressionQuality(95);
  colour.Assign(b);
  TPDFDocument doc;
  doc.SetJPEGQuality(20);
  BuildPdf(doc, [&](TPDFDocument& d) {
    int fromJpeg = d.AddImage(&colour, ieJPEG);
    int fromBitmap = d.AddImage(&b, ieJPEG);
    EXPECT_EQ(d.Images().Items(fromJpeg)->Data(), colour.Data());
    EXPECT_FALSE(d.Images().Items(fromJpeg)->Gray());
    // Encoded at the document's quality, not the picture's.
    EXPECT_LT(d.Images().Items(fromBitmap)->Data().size(), colour.Data().size());
    EXPECT_EQ(d.Images().Items(fromBitmap)->Data().substr(0, 2), "\xFF\xD8");
  });
}

TEST(ImageObject, GrayAndCmykJpegData) {
  TBitmap b(16, 8, pf24bit);
  TJPEGImage gray;
  gray.SetGrayscale(true);
  gray.Assign(b);
  TJPEGImage cmyk;
  cmyk.LoadFromData(
      ts::ReadFile(std::string(std::getenv("QUILLORA_TEST_DATA")) + "/images/cmyk16x8.jpg"));
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, [&](TPDFDocument& d) {
    TPDFImage* g = d.Images().Items(d.AddImage(&gray, ieJPEG));
    EXPECT_TRUE(g->Gray());
    TPDFImage* c = d.Images().Items(d.AddImage(&cmyk, ieJPEG));
    EXPECT_FALSE(c->Gray());
    // DeviceRGB cannot carry CMYK samples: stored as a colour JPEG.
    TJPEGImage stored;
    stored.LoadFromData(c->Data());
    EXPECT_EQ(stored.Components(), 3);
    d.CurrentPage()->DrawImage(0, 0, 0, 16, 8);
    d.CurrentPage()->DrawImage(1, 0, 20, 16, 8);
  });
  EXPECT_NE(pdf.find("/ColorSpace /DeviceGray\r\n/BitsPerComponent 8\r\n/Width 16\r\n/Height "
                     "8\r\n/Filter /DCTDecode"),
            std::string::npos);
  EXPECT_NE(pdf.find("/ProcSet [/PDF /ImageB /ImageC ]"), std::string::npos);
  CheckPdf(pdf);
}

}  // namespace
}  // namespace quillora
