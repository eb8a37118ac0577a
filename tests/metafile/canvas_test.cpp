// The page's recording canvas: creation, playback into the content and the
// merge order, and the round trip of one picture drawn through the page API
// and through the canvas.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/page/page.h"
#include "quillora/platform/metafile_canvas.h"
#include "support/pdf_tools.h"

namespace quillora::testing {
namespace {

namespace ts = testing_support;

TEST(PageCanvas, SecondCreateCanvasIsRefused) {
  TPDFDocument Doc;
  std::ostringstream Out;
  Doc.SetOutputStream(&Out);
  Doc.StartDocument();
  ASSERT_NE(Doc.CurrentPage()->Canvas(), nullptr);
  try {
    Doc.CurrentPage()->CreateCanvas();
    ADD_FAILURE() << "accepted";
  } catch (const TPDFException& E) {
    EXPECT_STREQ(E.what(), "Canvas for this page already created");
  }
  Doc.AbortDocument();
}

TEST(PageCanvas, RecordingComesBeforeTheDirectDrawing) {
  TPDFDocument Doc;
  std::ostringstream Out;
  Doc.SetOutputStream(&Out);
  Doc.StartDocument();
  TPDFPage* Page = Doc.CurrentPage();
  Page->Rectangle(10, 10, 20, 20);
  Page->Fill();
  TMetafileCanvas* Canvas = Doc.Canvas();
  ASSERT_NE(Canvas, nullptr);
  EXPECT_TRUE(Page->CanvasTaken());
  Canvas->MoveTo(0, 0);
  Canvas->LineTo(96, 0);
  Page->CloseCanvas();
  EXPECT_EQ(Page->Canvas(), nullptr);
  EXPECT_FALSE(Page->CanvasTaken());
  const std::string& C = Page->ContentText();
  const size_t Recorded = C.find(" l\r\n");
  const size_t Direct = C.find(" re\r\n");
  ASSERT_NE(Recorded, std::string::npos) << C;
  ASSERT_NE(Direct, std::string::npos) << C;
  EXPECT_LT(Recorded, Direct);
  // The recording's output, an empty line for the merging CR, then the
  // direct content from its initial "q".
  EXPECT_NE(C.find("S\r\n\r\nq\r\n"), std::string::npos) << C;
  Doc.AbortDocument();
}

TEST(PageCanvas, EmptyRecordingAddsNothing) {
  TPDFDocument Doc;
  std::ostringstream Out;
  Doc.SetOutputStream(&Out);
  Doc.StartDocument();
  TPDFPage* Page = Doc.CurrentPage();
  const std::string Before = Page->ContentText();
  Page->CloseCanvas();
  EXPECT_EQ(Page->ContentText(), Before);
  Doc.AbortDocument();
}

TEST(PageCanvas, FreeCanvasDropsTheRecording) {
  TPDFDocument Doc;
  std::ostringstream Out;
  Doc.SetOutputStream(&Out);
  Doc.StartDocument();
  TPDFPage* Page = Doc.CurrentPage();
  const std::string Before = Page->ContentText();
  Doc.Canvas()->Rectangle(0, 0, 50, 50);
  Page->FreeCanvas();
  EXPECT_EQ(Page->Canvas(), nullptr);
  Page->CloseCanvas();
  EXPECT_EQ(Page->ContentText(), Before);
  Doc.AbortDocument();
}

// One picture, drawn once through the page's operations and once through the
// recording canvas, renders the same.
TEST(PageCanvas, RoundTripAgreesWithThePageApi) {
  if (!ts::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm not installed";
  const std::filesystem::path Dir = ts::FreshDir("roundtrip");
  auto Build = [&](bool ThroughCanvas, const std::filesystem::path& File) {
    TPDFDocument Doc;
    Doc.SetResolution(96);  // one device unit is one recorded pixel
    Doc.SetFileName(File.string());
    Doc.StartDocument();
    TPDFPage& P = *Doc.CurrentPage();
    if (ThroughCanvas) {
      TMetafileCanvas& C = *Doc.Canvas();
      C.Pen().Style = psClear;
      C.Brush().Color = RGB(255, 0, 0);
      C.Rectangle(50, 50, 250, 150);
      C.Brush().Color = RGB(0, 0, 255);
      C.Ellipse(300, 50, 500, 250);
      C.Pen().Style = psSolid;
      C.Pen().Color = RGB(0, 160, 0);
      C.Pen().Width = 6;
      C.MoveTo(50, 300);
      C.LineTo(500, 400);
      C.Brush().Style = bsClear;
      C.Pen().Color = RGB(0, 0, 0);
      C.Pen().Width = 4;
      C.RoundRect(100, 450, 400, 600, 60, 60);
    } else {
      P.SetRGBFill(1, 0, 0);
      P.Rectangle(50, 50, 250, 150);
      P.Fill();
      P.SetRGBFill(0, 0, 1);
      P.Ellipse(300, 50, 500, 250);
      P.Fill();
      P.SetRGBStroke(0, 160 / 255.0L, 0);
      P.SetLineWidth(6);
      P.MoveTo(50, 300);
      P.LineTo(500, 400);
      P.Stroke();
      P.SetRGBStroke(0, 0, 0);
      P.SetLineWidth(4);
      P.RoundRect(100, 450, 400, 600, 60, 60);
      P.Stroke();
    }
    Doc.FinishDocument();
    EXPECT_EQ(ts::QpdfCheck(File), "");
  };
  Build(false, Dir / "direct.pdf");
  Build(true, Dir / "canvas.pdf");
  const ts::Image A = ts::RenderPoppler(Dir / "direct.pdf", 1, 96);
  const ts::Image B = ts::RenderPoppler(Dir / "canvas.pdf", 1, 96);
  ASSERT_EQ(A.width, B.width);
  ASSERT_EQ(A.height, B.height);
  int Differ = 0, Inked = 0;
  for (int y = 0; y < A.height; ++y)
    for (int x = 0; x < A.width; ++x) {
      const auto PA = A.At(x, y), PB = B.At(x, y);
      if (PA.r + PA.g + PA.b < 3 * 250) ++Inked;
      const int D = std::abs(PA.r - PB.r) + std::abs(PA.g - PB.g) + std::abs(PA.b - PB.b);
      if (D > 96) ++Differ;
    }
  ASSERT_GT(Inked, 40000);
  // Edges may move by a pixel (GDI excludes right and bottom edges).
  EXPECT_LT(Differ, Inked / 50) << Differ << " of " << Inked;
  // Spot checks on the canvas rendering.
  EXPECT_GT(B.At(150, 100).r, 200);
  EXPECT_LT(B.At(150, 100).g, 50);
  EXPECT_GT(B.At(400, 150).b, 200);
  EXPECT_LT(B.At(400, 150).r, 50);
  EXPECT_GT(B.At(5, 5).g, 250);
}

}  // namespace
}  // namespace quillora::testing
