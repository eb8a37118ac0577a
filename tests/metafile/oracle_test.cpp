// Our recordings through the converter against an independent reader: the
// same metafile rendered from our PDF (pdftoppm) and from libemf2svg's SVG
// (rsvg-convert) agrees on shapes, text positions and bitmaps.
#include <emf2svg.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "quillora/core/document.h"
#include "quillora/metafile/emw_parser.h"
#include "quillora/page/page.h"
#include "quillora/platform/emf_format.h"
#include "quillora/platform/metafile.h"
#include "quillora/platform/metafile_canvas.h"
#include "support/pdf_tools.h"

namespace quillora::testing {
namespace {

namespace ts = testing_support;

std::string EmfToSvg(std::string Emf) {
  generatorOptions Options{};
  Options.nameSpace = const_cast<char*>("svg");
  Options.svgDelimiter = true;
  char* Out = nullptr;
  size_t Length = 0;
  if (!emf2svg(Emf.data(), Emf.size(), &Out, &Length, &Options) || !Out) return "";
  std::string Svg(Out, Length);
  free(Out);
  return Svg;
}

// Ink bounding box (pixels darker than mid-grey) inside a region.
struct TBox {
  int Left = 1 << 30, Top = 1 << 30, Right = -1, Bottom = -1;
};
TBox Ink(const ts::Image& I, int X0, int Y0, int X1, int Y1) {
  TBox B;
  for (int y = Y0; y < std::min(Y1, I.height); ++y)
    for (int x = X0; x < std::min(X1, I.width); ++x) {
      const auto P = I.At(x, y);
      if (P.r + P.g + P.b >= 384) continue;
      B.Left = std::min(B.Left, x);
      B.Top = std::min(B.Top, y);
      B.Right = std::max(B.Right, x);
      B.Bottom = std::max(B.Bottom, y);
    }
  return B;
}

TEST(IndependentReader, RendersOurRecordingsLikeWeDo) {
  if (!ts::HaveTool("rsvg-convert") || !ts::HaveTool("pdftoppm")) GTEST_SKIP();
  const auto Dir = ts::FreshDir("oracle");
  TMetafile Metafile;
  Metafile.SetWidth(600);
  Metafile.SetHeight(400);
  {
    TMetafileCanvas C(Metafile);
    C.Pen().Style = psClear;
    C.Brush().Color = RGB(220, 0, 0);
    C.Rectangle(20, 20, 220, 120);
    C.Brush().Color = RGB(0, 0, 200);
    C.Ellipse(260, 20, 460, 180);
    C.Pen().Style = psSolid;
    C.Pen().Color = RGB(0, 140, 0);
    C.Pen().Width = 8;
    const TPoint Line[] = {{20, 200}, {220, 160}, {220, 260}};
    C.Polyline(Line);
    TBitmap Picture(40, 40, pf24bit);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        Picture.SetPixel(x, y, y < 20 ? RGB(255, 160, 0) : RGB(0, 160, 160));
    C.StretchDraw(TRect{480, 20, 560, 100}, Picture);
    C.Font().Name = "DejaVu Sans";
    C.Font().Height = -28;
    C.SetBkMode(emf::TRANSPARENT);
    C.TextOut(40, 300, u"Quillora");
    C.Close();
  }
  const std::string Svg = EmfToSvg(Metafile.Data());
  ASSERT_FALSE(Svg.empty());
  ts::WriteFile(Dir / "o.svg", Svg);
  const ts::CommandResult R =
      ts::Run("rsvg-convert -f pdf -o " + ts::Quote((Dir / "svg.pdf").string()) + " " +
              ts::Quote((Dir / "o.svg").string()));
  ASSERT_EQ(R.exit_code, 0) << R.err;

  TPDFDocument Doc;
  Doc.SetResolution(96);
  Doc.SetFileName((Dir / "ours.pdf").string());
  Doc.StartDocument();
  TEMWParser Parser(*Doc.CurrentPage());
  Parser.SetMetafile(Metafile.Data());
  Parser.PlayMetafile();
  Doc.FinishDocument();
  ASSERT_EQ(ts::QpdfCheck(Dir / "ours.pdf"), "");

  const ts::Image A = ts::RenderPoppler(Dir / "ours.pdf", 1, 96);
  // The SVG starts at the top-left corner of the metafile's bounds.
  const emf::THeader H = Metafile.Header();
  const ts::Image SvgImage = ts::RenderPoppler(Dir / "svg.pdf", 1, 96);
  ts::Image B = A;
  for (int y = 0; y < B.height; ++y)
    for (int x = 0; x < B.width; ++x) {
      const int SX = x - H.BoundsLeft, SY = y - H.BoundsTop;
      uint8_t* P = &B.rgb[(static_cast<size_t>(y) * B.width + x) * 3];
      if (SX < 0 || SY < 0 || SX >= SvgImage.width || SY >= SvgImage.height) {
        P[0] = P[1] = P[2] = 255;
      } else {
        const auto Q = SvgImage.At(SX, SY);
        P[0] = Q.r, P[1] = Q.g, P[2] = Q.b;
      }
    }
  // Filled shapes and the bitmap, pixel by pixel (the readers draw pen
  // widths differently, so the polyline is checked apart).
  int Differ = 0, Total = 0;
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 580; ++x) {
      const auto P = A.At(x, y), Q = B.At(x, y);
      ++Total;
      if (std::abs(P.r - Q.r) + std::abs(P.g - Q.g) + std::abs(P.b - Q.b) > 96) ++Differ;
    }
  EXPECT_LT(Differ, Total / 50) << Differ << " of " << Total << " pixels differ";
  EXPECT_GT(A.At(120, 180).g, 100);  // on the polyline
  EXPECT_LT(A.At(120, 180).r, 60);
  EXPECT_GT(B.At(120, 180).g, 100);
  // The bitmap's two halves.
  EXPECT_GT(A.At(520, 35).r, 200);
  EXPECT_GT(A.At(520, 85).b, 120);
  EXPECT_LT(A.At(520, 85).r, 60);
  // Text: where the ink of the word starts and ends.
  const TBox TA = Ink(A, 0, 280, 600, 400), TB = Ink(B, 0, 280, 600, 400);
  ASSERT_GE(TA.Right, 0);
  ASSERT_GE(TB.Right, 0);
  EXPECT_NEAR(TA.Left, TB.Left, 3);
  EXPECT_NEAR(TA.Top, TB.Top, 4);
  EXPECT_NEAR(TA.Right, TB.Right, 8);
  EXPECT_NEAR(TA.Bottom, TB.Bottom, 4);
}

}  // namespace
}  // namespace quillora::testing
