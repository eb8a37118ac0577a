// Images as the independent readers render them: CCITT pixels exactly, Flate
// and JPEG colours and orientation, masks showing the page behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/doc_fixture.h"
#include "image_fixtures.h"
#include "quillora/core/document.h"
#include "quillora/page/images.h"
#include "quillora/page/page.h"
#include "quillora/platform/bitmap.h"
#include "quillora/platform/jpeg.h"
#include "support/pdf_tools.h"

namespace quillora {
namespace {

namespace ts = testing_support;
using image_fixtures::Content;
using image_fixtures::MonoBitmap;
using quillora::testing::BuildPdf;

bool HaveReaders() {
  return ts::HaveTool("pdftoppm") && ts::HaveTool("mutool");
}

// A binary PBM (P4) as rows of booleans, true for black.
std::vector<std::vector<bool>> ReadPbm(const std::string& data, int& width, int& height) {
  size_t pos = 2;
  int values[2] = {0, 0};
  for (int& v : values) {
    while (pos < data.size() &&
           (isspace(static_cast<unsigned char>(data[pos])) || data[pos] == '#')) {
      if (data[pos] == '#')
        while (pos < data.size() && data[pos] != '\n') ++pos;
      else
        ++pos;
    }
    while (pos < data.size() && isdigit(static_cast<unsigned char>(data[pos])))
      v = v * 10 + (data[pos++] - '0');
  }
  ++pos;
  width = values[0];
  height = values[1];
  const size_t rowBytes = (width + 7) / 8;
  std::vector<std::vector<bool>> rows(height, std::vector<bool>(width));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      size_t at = pos + y * rowBytes + x / 8;
      rows[y][x] = at < data.size() && ((static_cast<uint8_t>(data[at]) >> (7 - x % 8)) & 1);
    }
  return rows;
}

// Black pixels of page `page` as poppler renders it in monochrome at four
// output pixels per point (at one pixel per point its image scaler blends
// neighbouring columns), sampled at the centre of each point.
std::vector<std::vector<bool>> PopplerMono(const std::filesystem::path& pdf, int page,
                                           const std::string& password = "") {
  const auto dir = ts::FreshDir("mono");
  std::string cmd = "pdftoppm -r 288 -mono -aa no -aaVector no -singlefile -f " +
                    std::to_string(page) + " -l " + std::to_string(page);
  if (!password.empty()) cmd += " -upw " + ts::Quote(password);
  auto r = ts::Run(cmd + " " + ts::Quote(pdf.string()) + " " + ts::Quote((dir / "p").string()));
  EXPECT_EQ(r.exit_code, 0) << r.err;
  int w = 0, h = 0;
  auto full = ReadPbm(ts::ReadFile(dir / "p.pbm"), w, h);
  std::vector<std::vector<bool>> rows(h / 4, std::vector<bool>(w / 4));
  for (int y = 0; y < h / 4; ++y)
    for (int x = 0; x < w / 4; ++x) rows[y][x] = full[y * 4 + 1][x * 4 + 1];
  return rows;
}

TEST(ImageRender, CCITTMatchesTheSourceInEveryMode) {
  if (!HaveReaders()) GTEST_SKIP() << "pdftoppm or mutool missing";
  // One image pixel per point. A page shows columns 10 to 569; wider images
  // are drawn again shifted left by 560 points per window.
  constexpr int kLeft = 10, kWindow = 560, kPageBottom = 830;
  struct Source {
    TBitmap bitmap;
    TImageEncoding encoding;
    std::string what;
  };
  struct Placed {
    size_t source;
    int page, top, window;
  };
  std::vector<Source> sources;
  for (int width : {1, 7, 8, 9, 1728, 2481, 5000})
    for (Content content : {Content::kNoise, Content::kText, Content::kWhite, Content::kBlack})
      for (TImageEncoding enc : {ieCCITTG3, ieCCITTG3TwoD, ieCCITTG4}) {
        const int height = content == Content::kText ? 34 : 13;
        sources.push_back({MonoBitmap(width, height, content, static_cast<uint32_t>(width + enc)),
                           enc,
                           std::to_string(width) + " " + image_fixtures::Name(content) + " " +
                               std::to_string(enc)});
      }
  std::vector<Placed> placed;
  int page = 1, top = 10;
  for (size_t i = 0; i < sources.size(); ++i) {
    const TBitmap& b = sources[i].bitmap;
    for (int window = 0; window * kWindow < b.Width(); ++window) {
      if (top + b.Height() > kPageBottom) {
        ++page;
        top = 10;
      }
      placed.push_back({i, page, top, window});
      top += b.Height() + 3;
    }
  }
  TPDFDocument doc;
  doc.SetCompression(ctFlate);
  std::string pdf = BuildPdf(doc, [&](TPDFDocument& d) {
    std::vector<int> index;
    for (const Source& s : sources) index.push_back(d.AddImage(&s.bitmap, s.encoding));
    int current = 1;
    for (const Placed& p : placed) {
      if (p.page != current) {
        d.AddPage();
        current = p.page;
      }
      const TBitmap& b = sources[p.source].bitmap;
      d.CurrentPage()->DrawImage(index[p.source], kLeft - p.window * kWindow, p.top, b.Width(),
                                 b.Height());
    }
  });
  const auto file = ts::FreshDir() / "ccitt.pdf";
  ts::WriteFile(file, pdf);
  ASSERT_EQ(ts::QpdfCheck(file), "");

  std::vector<int> popplerBad(sources.size()), mupdfBad(sources.size());
  for (int pg = 1; pg <= page; ++pg) {
    auto poppler = PopplerMono(file, pg);
    ts::Image mupdf = ts::RenderMupdf(file, pg, 72);
    ASSERT_GE(static_cast<int>(poppler.size()), kPageBottom);
    ASSERT_GE(mupdf.height, kPageBottom);
    for (const Placed& p : placed) {
      if (p.page != pg) continue;
      const TBitmap& b = sources[p.source].bitmap;
      const int x0 = p.window * kWindow;
      const int x1 = std::min(b.Width(), x0 + kWindow);
      for (int y = 0; y < b.Height(); ++y)
        for (int x = x0; x < x1; ++x) {
          const bool black = image_fixtures::IsBlack(b, x, y);
          const int px = kLeft + x - x0, py = p.top + y;
          popplerBad[p.source] += poppler[py][px] != black;
          mupdfBad[p.source] += (mupdf.At(px, py).r < 128) != black;
        }
    }
  }
  for (size_t i = 0; i < sources.size(); ++i) {
    EXPECT_EQ(popplerBad[i], 0) << sources[i].what;
    EXPECT_EQ(mupdfBad[i], 0) << sources[i].what;
  }
}

// A 40 x 30 picture whose quadrants are red, green, blue and yellow, with a
// black pixel at the top-left and a white one at the bottom-right corner.
TBitmap Quadrants() {
  TBitmap b(40, 30, pf24bit);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      b.SetPixel(x, y,
                 y < 15 ? (x < 20 ? RGB(255, 0, 0) : RGB(0, 255, 0))
                        : (x < 20 ? RGB(0, 0, 255) : RGB(255, 255, 0)));
  return b;
}

struct Probe {
  int x, y;
  TColorRef color;
};

void ExpectColors(const ts::Image& img, int left, int top, int scale,
                  const std::vector<Probe>& probes, int tolerance, const std::string& what) {
  for (const Probe& p : probes) {
    auto px = img.At(left + p.x * scale + scale / 2, top + p.y * scale + scale / 2);
    EXPECT_NEAR(px.r, GetRValue(p.color), tolerance) << what << " at " << p.x << "," << p.y;
    EXPECT_NEAR(px.g, GetGValue(p.color), tolerance) << what << " at " << p.x << "," << p.y;
    EXPECT_NEAR(px.b, GetBValue(p.color), tolerance) << what << " at " << p.x << "," << p.y;
  }
}

TEST(ImageRender, FlateAndJpegColoursAndOrientation) {
  if (!HaveReaders()) GTEST_SKIP() << "pdftoppm or mutool missing";
  TBitmap quad = Quadrants();
  quad.SetPixel(0, 0, 0);
  quad.SetPixel(39, 29, RGB(255, 255, 255));
  // The same picture in the indexed formats (its colours are in the VGA
  // palette) and at 32 bits.
  TBitmap indexed4 = quad;
  indexed4.SetPixelFormat(pf4bit);
  TBitmap indexed8 = quad;
  indexed8.SetPixelFormat(pf8bit);
  TBitmap wide = quad;
  wide.SetPixelFormat(pf32bit);
  TJPEGImage jpeg;
  jpeg.SetCompressionQuality(95);
  jpeg.Assign(quad);

  TPDFDocument doc;
  doc.SetJPEGQuality(90);
  std::string pdf = BuildPdf(doc, [&](TPDFDocument& d) {
    TPDFPage* page = d.CurrentPage();
    // Drawn at twice the size and rendered at 144 dpi: each source pixel is
    // 4 x 4 output pixels.
    const TGraphic* pictures[] = {&quad, &indexed4, &indexed8, &wide, &quad, &jpeg};
    const TImageEncoding encodings[] = {ieFlate, ieFlate, ieFlate, ieFlate, ieJPEG, ieJPEG};
    for (int i = 0; i < 6; ++i) {
      int index = d.AddImage(pictures[i], encodings[i]);
      page->DrawImage(index, 10 + i * 90, 10, 80, 60);
    }
  });
  const auto file = ts::FreshDir() / "colours.pdf";
  ts::WriteFile(file, pdf);
  ASSERT_EQ(ts::QpdfCheck(file), "");
  const std::vector<Probe> exact = {{0, 0, 0},
                                    {5, 5, RGB(255, 0, 0)},
                                    {30, 5, RGB(0, 255, 0)},
                                    {5, 25, RGB(0, 0, 255)},
                                    {30, 25, RGB(255, 255, 0)},
                                    {39, 29, RGB(255, 255, 255)},
                                    {1, 0, RGB(255, 0, 0)}};
  // Away from edges and the corner pixels for the lossy ones.
  const std::vector<Probe> lossy = {{5, 5, RGB(255, 0, 0)},
                                    {30, 5, RGB(0, 255, 0)},
                                    {5, 25, RGB(0, 0, 255)},
                                    {30, 25, RGB(255, 255, 0)}};
  for (int reader = 0; reader < 2; ++reader) {
    ts::Image img = reader == 0 ? ts::RenderPoppler(file, 1, 144) : ts::RenderMupdf(file, 1, 144);
    ASSERT_GT(img.width, 0);
    const std::string who = reader == 0 ? "poppler " : "mupdf ";
    for (int i = 0; i < 4; ++i)
      ExpectColors(img, (10 + i * 90) * 2, 20, 4, exact, 0, who + "flate " + std::to_string(i));
    ExpectColors(img, (10 + 4 * 90) * 2, 20, 4, lossy, 24, who + "jpeg from bitmap");
    ExpectColors(img, (10 + 5 * 90) * 2, 20, 4, lossy, 24, who + "jpeg data");
  }
}

TEST(ImageRender, MaskShowsThePageBehind) {
  if (!HaveReaders()) GTEST_SKIP() << "pdftoppm or mutool missing";
  // The mask: white marks the pixels to leave out (its bottom-left pixel is
  // white, so the bitmap's own transparent colour is white).
  TBitmap maskSource(20, 20, pf24bit);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) maskSource.SetPixel(x, y, RGB(10, 20, 30));
  TBitmap picture(20, 20, pf24bit);
  picture.Fill(RGB(255, 0, 0));
  // A 1-bit mask source with the palette inverted must give the same mask.
  TBitmap monoMask(20, 20, pf1bit);
  monoMask.SetPalette({RGB(255, 255, 255), 0});
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) monoMask.SetPixel(x, y, y < 10 ? 0 : RGB(255, 255, 255));

  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, [&](TPDFDocument& d) {
    TPDFPage* page = d.CurrentPage();
    page->SetRGBFill(0, 0, 1);
    page->Rectangle(0, 0, 300, 200);
    page->Fill();
    int mask = d.AddImage(&maskSource, ieFlate, -1, true);
    int image = d.AddImage(&picture, ieFlate, mask);
    page->DrawImage(image, 20, 20, 100, 100);
    int mono = d.AddImage(&monoMask, ieCCITTG4, -1, true, RGB(255, 255, 255));
    int second = d.AddImage(&picture, ieJPEG, mono);
    page->DrawImage(second, 150, 20, 100, 100);
  });
  const auto file = ts::FreshDir() / "mask.pdf";
  ts::WriteFile(file, pdf);
  ASSERT_EQ(ts::QpdfCheck(file), "");
  for (int reader = 0; reader < 2; ++reader) {
    ts::Image img = reader == 0 ? ts::RenderPoppler(file, 1, 72) : ts::RenderMupdf(file, 1, 72);
    for (int left : {20, 150}) {
      auto shown = img.At(left + 50, 20 + 25);   // upper half: the picture
      auto masked = img.At(left + 50, 20 + 75);  // lower half: the page
      EXPECT_GT(shown.r, 200) << reader << " " << left;
      EXPECT_LT(shown.b, 60) << reader << " " << left;
      EXPECT_LT(masked.r, 60) << reader << " " << left;
      EXPECT_GT(masked.b, 200) << reader << " " << left;
    }
  }
}

TEST(ImageRender, ProtectedImagesDecrypt) {
  if (!HaveReaders()) GTEST_SKIP() << "pdftoppm or mutool missing";
  TBitmap quad = Quadrants();
  TBitmap mono = MonoBitmap(64, 32, Content::kText);
  for (TPDFKeyLength key : {kl40, kl128}) {
    TPDFDocument doc;
    doc.SetProtectionEnabled(true);
    doc.SetUserPassword("user");
    doc.SetOwnerPassword("owner");
    doc.SetProtectionKeyLength(key);
    std::string pdf = BuildPdf(doc, [&](TPDFDocument& d) {
      d.CurrentPage()->DrawImage(d.AddImage(&quad, ieFlate), 0, 0, 80, 60);
      d.CurrentPage()->DrawImage(d.AddImage(&quad, ieJPEG), 100, 0, 80, 60);
      d.CurrentPage()->DrawImage(d.AddImage(&mono, ieCCITTG4), 200, 0, 64, 32);
    });
    const auto file = ts::FreshDir() / "protected.pdf";
    ts::WriteFile(file, pdf);
    ASSERT_EQ(ts::QpdfCheck(file, "user"), "");
    ts::Image img = ts::RenderPoppler(file, 1, 72, "user");
    ExpectColors(img, 0, 0, 2, {{5, 5, RGB(255, 0, 0)}, {30, 25, RGB(255, 255, 0)}}, 0, "flate");
    ExpectColors(img, 100, 0, 2, {{5, 5, RGB(255, 0, 0)}, {30, 25, RGB(255, 255, 0)}}, 24, "jpeg");
    auto monoRender = PopplerMono(file, 1, "user");
    ts::Image mupdf = ts::RenderMupdf(file, 1, 72, "user");
    int popplerBad = 0, mupdfBad = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 64; ++x) {
        const bool black = image_fixtures::IsBlack(mono, x, y);
        popplerBad += monoRender[y][200 + x] != black;
        mupdfBad += (mupdf.At(200 + x, y).r < 128) != black;
      }
    EXPECT_EQ(popplerBad, 0);
    EXPECT_EQ(mupdfBad, 0);
  }
}

}  // namespace
}  // namespace quillora
