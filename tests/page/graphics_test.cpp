#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/doc_fixture.h"
#include "quillora/core/document.h"
#include "quillora/page/page.h"
#include "support/pdf_tools.h"

namespace quillora {
namespace {

// Content lines written by Draw on a fresh A4 page at Resolution 72.
template <typename F>
std::string Lines(F&& Draw, int resolution = 72) {
  TPDFDocument doc;
  std::ostringstream out;
  doc.SetOutputStream(&out);
  doc.SetResolution(resolution);
  doc.StartDocument();
  TPDFPage& p = *doc.CurrentPage();
  Draw(p);
  std::string text = p.ContentText().substr(3);  // after the initial "q"
  doc.AbortDocument();
  return text;
}

struct OperatorCase {
  const char* name;
  std::function<void(TPDFPage&)> draw;
  const char* lines;
};

TEST(GraphicsOperators, WriteTheirLinesExactly) {
  const OperatorCase cases[] = {
      {"moveto/lineto", [](TPDFPage& p) { p.MoveTo(10, 20.5); p.LineTo(30, 40); },
       "10 821.5 m\r\n30 802 l\r\n"},
      {"curveto", [](TPDFPage& p) { p.CurveTo(1, 2, 3, 4, 5, 6); }, "1 840 3 838 5 836 c\r\n"},
      {"rectangle reversed", [](TPDFPage& p) { p.Rectangle(10, 10, 0, 0); }, "0 832 10 10 re\r\n"},
      {"close/new", [](TPDFPage& p) { p.ClosePath(); p.NewPath(); }, "h\r\nn\r\n"},
      {"painting", [](TPDFPage& p) { p.Fill(); p.EoFill(); p.Stroke(); p.FillAndStroke(); p.EoFillAndStroke(); },
       "f\r\nf*\r\nS\r\nB\r\nB*\r\n"},
      {"clip after fill writes no W", [](TPDFPage& p) { p.MoveTo(0, 0); p.Fill(); p.Clip(); p.NewPath(); },
       "0 842 m\r\nf\r\nn\r\n"},
      {"clip with a path", [](TPDFPage& p) { p.MoveTo(0, 0); p.LineTo(1, 1); p.Clip(); p.NewPath(); },
       "0 842 m\r\n1 841 l\r\nW\r\nn\r\n"},
      {"restore at depth 1", [](TPDFPage& p) { p.RestoreState(); }, ""},
      {"save/restore", [](TPDFPage& p) { p.SaveState(); p.RestoreState(); p.RestoreState(); }, "q\r\nQ\r\n"},
      {"dash written once", [](TPDFPage& p) { p.SetDash("[3] 0"); p.SetDash("[3] 0"); p.SolidLine(); },
       "[3] 0 d\r\n[] 0 d\r\n"},
      {"solid at start writes nothing", [](TPDFPage& p) { p.SolidLine(); }, ""},
      {"caps and joins", [](TPDFPage& p) { p.SetLineCap(lcRound); p.SetLineJoin(ljBevel); }, "1 J\r\n2 j\r\n"},
      {"gray", [](TPDFPage& p) { p.SetGray(0.5); }, "0.5 g\r\n0.5 G\r\n"},
      {"rgb rounded", [](TPDFPage& p) { p.SetRGBFill(0.333, 0, 1); p.SetRGBStroke(1, 0.125, 0); },
       "0.33 0 1 rg\r\n1 0.13 0 RG\r\n"},
      {"rgb both", [](TPDFPage& p) { p.SetRGBColor(0, 0, 0); }, "0 0 0 rg\r\n0 0 0 RG\r\n"},
      {"concat/translate", [](TPDFPage& p) { p.Concat(1, 0, 0, 1, 5, 6); p.Translate(-2, 3.5); },
       "1 0 0 1 5 6 cm\r\n1 0 0 1 -2 3.5 cm\r\n"},
      {"rotate", [](TPDFPage& p) { p.Rotate(90); }, "0 1 -1 0 0 0 cm\r\n"},
      {"line width", [](TPDFPage& p) { p.SetLineWidth(3); p.SetLineWidth(3); }, "3 w\r\n3 w\r\n"},
      {"zero sweep", [](TPDFPage& p) { p.ArcByAngles(0, 0, 101, 101, 30, 30); },
       "93.8 816.5 m\r\n93.8 816.5 l\r\n"},
  };
  for (const OperatorCase& c : cases) EXPECT_EQ(Lines(c.draw), c.lines) << c.name;
}

TEST(GraphicsOperators, LineWidthIsScaledByResolution) {
  EXPECT_EQ(Lines([](TPDFPage& p) { p.SetLineWidth(3); }, 144), "1.5 w\r\n");
  EXPECT_EQ(Lines([](TPDFPage& p) { p.Rectangle(0, 0, 144, 72); }, 144), "0 806 72 36 re\r\n");
}

TEST(GraphicsOperators, EllipseIsOneMoveAndFourCurves) {
  std::string s = Lines([](TPDFPage& p) { p.Ellipse(0, 0, 100, 50); });
  EXPECT_EQ(s,
            "100 817 m\r\n"
            "100 803.19 77.61 792 50 792 c\r\n"
            "22.39 792 0 803.19 0 817 c\r\n"
            "0 830.81 22.39 842 50 842 c\r\n"
            "77.61 842 100 830.81 100 817 c\r\n");
}

TEST(GraphicsOperators, RoundRectIsClosed) {
  std::string s = Lines([](TPDFPage& p) { p.RoundRect(0, 0, 100, 100, 20, 20); });
  EXPECT_EQ(s.substr(0, 20), "10 842 m\r\n90 842 l\r\n");
  EXPECT_EQ(s.substr(s.size() - 3), "h\r\n");
  EXPECT_EQ(std::count(s.begin(), s.end(), 'c'), 4);
}

TEST(GraphicsOperators, ArcsAreQuarterTurnSegments) {
  // A little over 90 degrees: two curves, the second short.
  std::string s = Lines([](TPDFPage& p) { p.ArcByAngles(0, 0, 101, 101, 0, 91); });
  EXPECT_EQ(std::count(s.begin(), s.end(), 'c'), 2);
  EXPECT_EQ(std::count(s.begin(), s.end(), 'm'), 1);
  // Equal radials give a full ellipse: four quarter curves (and, as the
  // sweep is a real, a zero-length rest).
  std::string full = Lines([](TPDFPage& p) { p.Arc(0, 0, 101, 101, 100, 50, 100, 50); });
  EXPECT_GE(std::count(full.begin(), full.end(), 'c'), 4);
  EXPECT_LE(std::count(full.begin(), full.end(), 'c'), 5);
  // A box one point wide has no horizontal radius.
  std::string thin = Lines([](TPDFPage& p) { p.Arc(10, 0, 11, 100, 10, 0, 10, 100); });
  EXPECT_EQ(thin.substr(0, 2), "10");
}

TEST(GraphicsOperators, ArcReturnsWhereTheGdiArcEnds) {
  TPDFDocument doc;
  testing::BuildPdf(doc, [](TPDFDocument& d) {
    // Counter-clockwise in GDI terms from the right-hand radial (start) to
    // the top radial (end) ends at the top.
    TRealPoint end = d.CurrentPage()->Arc(0, 0, 201, 201, 200, 100, 100, 0);
    EXPECT_NEAR(static_cast<double>(end.X), 100, 0.01);
    EXPECT_NEAR(static_cast<double>(end.Y), 0.5, 0.01);
  });
}

TEST(GraphicsOperators, PieIsTwoSubpaths) {
  std::string s = Lines([](TPDFPage& p) { p.Pie(0, 0, 100, 100, 100, 50, 50, 0); });
  EXPECT_EQ(std::count(s.begin(), s.end(), 'm'), 2);
  EXPECT_NE(s.find("50 792 l\r\n"), std::string::npos);  // to the centre
}

// Every operation on one page renders the same in two independent readers.
TEST(GraphicsRendering, PixelsMatchWhatWasDrawn) {
  TPDFDocument doc;
  doc.SetCompression(ctFlate);
  std::string pdf = testing::BuildPdf(doc, [](TPDFDocument& d) {
    TPDFPage& p = *d.CurrentPage();
    p.SetRGBFill(1, 0, 0);
    p.Rectangle(50, 50, 150, 150);  // red square 50..150
    p.Fill();
    p.SetRGBFill(0, 0, 1);
    p.Ellipse(200, 50, 400, 150);  // blue ellipse, centre (300, 100)
    p.Fill();
    p.SetRGBStroke(0, 0.5, 0);
    p.SetLineWidth(4);
    p.SetLineCap(lcButtEnd);
    p.SetDash("[20 20] 0");
    p.MoveTo(50, 300);
    p.LineTo(450, 300);  // green dashes: on 50..70, off 70..90, ...
    p.Stroke();
    p.SolidLine();
    p.SetGray(0);
    p.SaveState();
    p.RoundRect(50, 400, 250, 500, 40, 40);
    p.Clip();
    p.NewPath();
    p.SetRGBFill(1, 1, 0);
    p.Rectangle(0, 380, 300, 520);  // yellow, clipped to the rounded box
    p.Fill();
    p.RestoreState();
    p.Pie(300, 400, 500, 600, 500, 500, 400, 400);
    p.FillAndStroke();
    p.Arc(50, 600, 250, 800, 250, 700, 50, 700);
    p.Stroke();
    p.ArcByAngles(300, 650, 400, 750, 0, 270);
    p.EoFillAndStroke();
  });
  std::filesystem::path file = testing_support::FreshDir() / "g.pdf";
  testing_support::WriteFile(file, pdf);
  ASSERT_EQ(testing_support::QpdfCheck(file), "");
  for (bool mupdf : {false, true}) {
    auto img = mupdf ? testing_support::RenderMupdf(file, 1, 72)
                     : testing_support::RenderPoppler(file, 1, 72);
    ASSERT_EQ(img.width, 595) << mupdf;
    auto red = img.At(100, 100);
    EXPECT_TRUE(red.r > 200 && red.g < 60 && red.b < 60) << mupdf;
    auto blue = img.At(300, 100);
    EXPECT_TRUE(blue.b > 200 && blue.r < 60) << mupdf;
    auto outside_ellipse = img.At(205, 55);
    EXPECT_TRUE(outside_ellipse.r > 200 && outside_ellipse.b > 200) << mupdf;
    auto dash = img.At(60, 300), gap = img.At(80, 300), dash2 = img.At(100, 300);
    EXPECT_TRUE(dash.g > 80 && dash.r < 60) << mupdf;
    EXPECT_TRUE(gap.r > 200 && gap.g > 200 && gap.b > 200) << mupdf;
    EXPECT_TRUE(dash2.g > 80 && dash2.r < 60) << mupdf;
    auto inside_clip = img.At(150, 450), clipped_corner = img.At(52, 402);
    EXPECT_TRUE(inside_clip.r > 200 && inside_clip.g > 200 && inside_clip.b < 60) << mupdf;
    EXPECT_TRUE(clipped_corner.b > 200) << mupdf;  // the rounded corner cut it off
    auto wedge = img.At(470, 480);  // inside the pie's quarter
    EXPECT_LT(wedge.r, 60) << mupdf;
  }
}

}  // namespace
}  // namespace quillora
