// Drawing, path, region and clipping records.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "playback_fixture.h"
#include "quillora/core/emf_options.h"
#include "support/pdf_tools.h"

namespace quillora::testing {
namespace {

using namespace emf;

TEST_F(PlaybackTest, RectangleOfZeroWidthWritesNewPathOnly) {
  TEmfBuilder B;
  B.Rec(EMR_RECTANGLE, {10, 10, 10, 50});
  EXPECT_EQ(Play(B), "n");
}

TEST_F(PlaybackTest, RectangleNeedsAPenWidthToBeStroked) {
  TEmfBuilder Fresh;
  Fresh.Stock(NULL_BRUSH).Rec(EMR_RECTANGLE, {0, 0, 100, 100});
  EXPECT_EQ(Play(Fresh), "1 1 1 rg\n0 767 75 75 re\nn");
  TEmfBuilder Cosmetic;
  Cosmetic.Stock(NULL_BRUSH).Pen(1, PS_SOLID, 0, 0).Select(1).Rec(EMR_RECTANGLE, {0, 0, 100, 100});
  EXPECT_EQ(Play(Cosmetic), "1 1 1 rg\n0.75 w\n0 767 75 75 re\nS");
}

// A triangle under each combination of brush, pen and fill mode.
TEST_F(PlaybackTest, PolygonPaintRules) {
  struct Case {
    const char* Name;
    bool NullBrush, NullPen, Winding;
    const char* Paint;
  } Cases[] = {
      {"pen and brush, alternate", false, false, false, "B*"},
      {"pen and brush, winding", false, false, true, "B"},
      {"null brush", true, false, false, "S"},
      {"null pen, alternate", false, true, false, "f*"},
      {"null pen, winding", false, true, true, "f"},
      {"both null", true, true, false, "n"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TPDFDocument D;
    std::ostringstream O;
    D.SetOutputStream(&O);
    D.StartDocument();
    TEmfBuilder B;
    if (C.NullBrush) B.Stock(NULL_BRUSH);
    if (C.NullPen) B.Stock(NULL_PEN);
    if (C.Winding) B.Rec(EMR_SETPOLYFILLMODE, {WINDING});
    B.Poly(EMR_POLYGON, {0, 0, 100, 0, 0, 100});
    TEMWParser P(*D.CurrentPage());
    const std::string Bytes = B.Bytes();
    P.SetMetafile(Bytes);
    P.PlayMetafile();
    const std::string& T = D.CurrentPage()->ContentText();
    EXPECT_NE(
        T.find("n\r\n0 842 m\r\n75 842 l\r\n0 767 l\r\nh\r\n" + std::string(C.Paint) + "\r\n"),
        std::string::npos)
        << T;
    D.AbortDocument();
  }
}

TEST_F(PlaybackTest, PolyBezierCurveCounts) {
  struct Case {
    std::initializer_list<int32_t> Points;
    size_t Curves;
  } Cases[] = {
      {{0, 0, 1, 1, 2, 2}, 0},
      {{0, 0, 1, 1, 2, 2, 3, 3}, 1},
      {{0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5}, 1},
      {{0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6}, 2},
  };
  for (const Case& C : Cases) {
    TPDFDocument D;
    std::ostringstream O;
    D.SetOutputStream(&O);
    D.StartDocument();
    TEmfBuilder B;
    B.Poly(EMR_POLYBEZIER, C.Points);
    TEMWParser P(*D.CurrentPage());
    const std::string Bytes = B.Bytes();
    P.SetMetafile(Bytes);
    P.PlayMetafile();
    const std::string& T = D.CurrentPage()->ContentText();
    size_t Curves = 0;
    for (size_t Pos = 0; (Pos = T.find(" c\r\n", Pos)) != std::string::npos; ++Pos) ++Curves;
    EXPECT_EQ(Curves, C.Curves) << C.Points.size() / 2 << " points";
    D.AbortDocument();
  }
}

TEST_F(PlaybackTest, PolylinesInsideAPathStartNewPaths) {
  TEmfBuilder B;
  B.Rec(EMR_BEGINPATH)
      .Poly(EMR_POLYLINE, {0, 0, 100, 0})
      .Poly(EMR_POLYLINE, {0, 100, 100, 100})
      .Rec(EMR_ENDPATH)
      .Rec(EMR_STROKEPATH);
  EXPECT_EQ(Play(B),
            "n\n0 842 m\n"
            "n\n0 842 m\n75 842 l\n"
            "n\n0 767 m\n75 767 l\n"
            "S\nn");
}

TEST_F(PlaybackTest, PolyPolygonInsideAPathPaintsItself) {
  TEmfBuilder B;
  std::string Body;
  for (int i = 0; i < 4; ++i) TEmfBuilder::Put32(Body, 0);
  TEmfBuilder::Put32(Body, 1);
  TEmfBuilder::Put32(Body, 3);
  TEmfBuilder::Put32(Body, 3);
  for (int32_t V : {0, 0, 100, 0, 0, 100}) TEmfBuilder::Put32(Body, static_cast<uint32_t>(V));
  B.Rec(EMR_BEGINPATH).Raw(EMR_POLYPOLYGON, Body).Rec(EMR_ENDPATH).Rec(EMR_FILLPATH);
  EXPECT_EQ(Play(B), "n\n0 842 m\nn\n0 842 m\n75 842 l\n0 767 l\n0 842 l\nB*\nf\nn");
}

TEST_F(PlaybackTest, PolyDrawClosedTriangleLeavesPositionAtFigureStart) {
  TEmfBuilder B;
  B.PolyDraw({100, 100, 200, 100, 100, 200}, {PT_MOVETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE})
      .Rec(EMR_LINETO, {0, 0});
  EXPECT_EQ(Play(B),
            "n\n0 842 m\n75 767 m\n150 767 l\n75 692 l\n75 767 l\nS\n"
            "75 767 m\n0 842 l\nS");
}

TEST_F(PlaybackTest, TwoClipRectanglesReplaceEachOther) {
  TEmfBuilder B;
  B.Rec(EMR_INTERSECTCLIPRECT, {0, 0, 100, 100}).Rec(EMR_INTERSECTCLIPRECT, {10, 10, 20, 20});
  EXPECT_EQ(Play(B),
            "q\nn\n0 767 75 75 re\nW\nn\n"
            "Q\n0 0 0 RG\n0 0 0 rg\n0 w\n"
            "q\nn\n7.5 827 7.5 7.5 re\nW\nn");
}

TEST_F(PlaybackTest, EmptyRegionClipRemovesTheClip) {
  TEmfBuilder B;
  const std::string Region = TEmfBuilder::Region({0, 0, 100, 100, 200, 0, 300, 100});
  std::string Body;
  TEmfBuilder::Put32(Body, static_cast<uint32_t>(Region.size()));
  TEmfBuilder::Put32(Body, RGN_COPY);
  Body += Region;
  B.Raw(EMR_EXTSELECTCLIPRGN, Body)
      .Rec(EMR_EXTSELECTCLIPRGN, {0, RGN_COPY})
      .Rec(EMR_RESTOREDC, {-1});
  const std::string Lines = Play(B);
  EXPECT_EQ(Lines.substr(0, Lines.find("\nQ")), "q\nn\n0 767 75 75 re\n150 767 75 75 re\nW\nn");
  // Closing writes the width, pen and brush again; the RESTOREDC after it
  // finds no clip to close and only selects the restored pen and brush.
  EXPECT_EQ(Lines.substr(Lines.find("\nQ")), "\nQ\n0 w\n0 0 0 RG\n0 0 0 rg\n0.75 w\n1 1 1 rg");
}

TEST_F(PlaybackTest, RegionClipIgnoredWhileScalingIsOn) {
  TEmfBuilder B;
  std::string Body;
  const std::string Region = TEmfBuilder::Region({0, 0, 100, 100});
  TEmfBuilder::Put32(Body, static_cast<uint32_t>(Region.size()));
  TEmfBuilder::Put32(Body, RGN_COPY);
  Body += Region;
  B.Rec(EMR_SCALEVIEWPORTEXTEX, {1, 1, 1, 1}).Raw(EMR_EXTSELECTCLIPRGN, Body);
  EXPECT_EQ(Play(B), "");
}

TEST_F(PlaybackTest, ChordClosesAtTheArcStart) {
  TEmfBuilder B;
  B.Rec(EMR_CHORD, {0, 0, 100, 100, 100, 50, 50, 0});
  const std::string Lines = Play(B);
  const std::string Move = Lines.substr(0, Lines.find(" m"));
  const size_t LastL = Lines.rfind(" l");
  const std::string Close =
      Lines.substr(Lines.rfind('\n', LastL) + 1, LastL - Lines.rfind('\n', LastL) - 1);
  EXPECT_EQ(Move, Close);
  EXPECT_EQ(Lines.substr(Lines.rfind('\n') + 1), "B*");
}

TEST_F(PlaybackTest, SetPixelDrawsADotInItsColour) {
  TEmfBuilder B;
  B.Rec(EMR_SETPIXELV, {100, 100, 0x0000FF});
  EXPECT_EQ(Play(B), "n\n1 0 0 RG\n1 w\n75 767 m\n75.01 766.99 l\nS\n0 w\n0 0 0 RG");
}

// Counts, offsets and sizes that point outside the record draw only what
// lies inside it, or skip the record.
TEST_F(PlaybackTest, RecordsAreReadOnlyWithinTheirSize) {
  TEmfBuilder B;
  std::string Body;
  for (int i = 0; i < 4; ++i) TEmfBuilder::Put32(Body, 0);
  TEmfBuilder::Put32(Body, 1000000);  // claims a million points, holds two
  for (int32_t V : {0, 0, 100, 0}) TEmfBuilder::Put32(Body, static_cast<uint32_t>(V));
  B.Raw(EMR_POLYLINE, Body);
  // Polygon counts beyond the record.
  std::string PP;
  for (int i = 0; i < 4; ++i) TEmfBuilder::Put32(PP, 0);
  TEmfBuilder::Put32(PP, 0x40000000);
  TEmfBuilder::Put32(PP, 3);
  TEmfBuilder::Put32(PP, 3);
  B.Raw(EMR_POLYPOLYGON, PP);
  // A region that claims more rectangles than it holds.
  std::string Rgn = TEmfBuilder::Region({0, 0, 100, 100});
  Rgn[8] = 100;
  std::string Fill;
  for (int i = 0; i < 4; ++i) TEmfBuilder::Put32(Fill, 0);
  TEmfBuilder::Put32(Fill, static_cast<uint32_t>(Rgn.size()));
  TEmfBuilder::Put32(Fill, 1);
  B.Raw(EMR_FILLRGN, Fill + Rgn);
  // Region data larger than the record.
  std::string Clip;
  TEmfBuilder::Put32(Clip, 5000);
  TEmfBuilder::Put32(Clip, RGN_COPY);
  B.Raw(EMR_EXTSELECTCLIPRGN, Clip + Rgn);
  // Records too short for their fields.
  B.Rec(EMR_LINETO, {5}).Rec(EMR_RECTANGLE, {1, 2, 3}).Rec(EMR_SELECTOBJECT);
  // A record whose size runs past the end of the file ends the walk.
  B.RawSized(EMR_LINETO, 4000, std::string(8, '\0'));
  B.Rec(EMR_LINETO, {10, 10});
  EXPECT_EQ(Play(B), "n\n0 842 m\n75 842 l\nS\nn\n0 767 75 75 re\nf\nn");
}

TEST_F(PlaybackTest, DiagnosticDumpOnlyWhenAsked) {
  const std::filesystem::path Dir = testing_support::FreshDir("dump");
  const std::filesystem::path Old = std::filesystem::current_path();
  std::filesystem::current_path(Dir);
  TEmfBuilder B;
  B.Poly(EMR_POLYLINE, {0, 0, 100, 0});
  Play(B);
  EXPECT_FALSE(std::filesystem::exists("HDCDebug"));

  Doc.EMFOptions().SetDiagnosticDump(true);
  const int N = TEMWParser::DumpCounter();
  Play(B);
  Play(TEmfBuilder());
  Doc.EMFOptions().SetDiagnosticDump(false);
  std::filesystem::current_path(Old);

  const std::string Base = (Dir / "HDCDebug" / std::to_string(N)).string();
  EXPECT_EQ(testing_support::ReadFile(Base + ".emf"), B.Bytes());
  const std::string Log = testing_support::ReadFile(Base + ".txt");
  EXPECT_NE(Log.find("\r\n2   POLYLINE 0 0 0 0 2 0 0 100 0\r\n\r\n" + std::string(35, '-') +
                     "\r\n     n\r\n     0 842 m\r\n     75 842 l\r\n     S\r\n" +
                     std::string(35, '-') + "\r\n\r\n"),
            std::string::npos)
      << Log;
  EXPECT_EQ(Log.substr(0, 13), "1   HEADER 0 ");
  // The next playback took the next number.
  EXPECT_TRUE(std::filesystem::exists(Dir / "HDCDebug" / (std::to_string(N + 1) + ".txt")));
  EXPECT_EQ(TEMWParser::DumpCounter(), N + 2);
}

}  // namespace
}  // namespace quillora::testing
