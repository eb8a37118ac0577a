// Independent readers draw our recordings as we meant them: libemf2svg turns
// them into SVG, rsvg-convert renders it, and the pixels are compared with
// what was drawn.
#include <gtest/gtest.h>

#include <cstring>

#include "metafile_fixture.h"

using namespace quillora;
using namespace quillora::emf;
using metafile_testing::EmfToSvg;
using metafile_testing::Record;
using metafile_testing::RenderSvg;
using metafile_testing::UemfComplaint;
using testing_support::Image;

namespace {

// A white page under everything, so the SVG's origin is the canvas origin.
void WhitePage(TMetafileCanvas& C) {
  C.SelectStockObject(NULL_PEN);
  C.SelectStockObject(WHITE_BRUSH);
  C.Rectangle(0, 0, 201, 201);
  C.Pen() = TPen{};
}

// A bitmap of four solid quadrants.
TBitmap Quadrants(int Size, TPixelFormat Format = pf24bit) {
  TBitmap B(Size, Size, Format);
  const TColorRef Colors[4] = {RGB(255, 255, 0), RGB(255, 0, 255), RGB(0, 255, 255), RGB(0, 0, 0)};
  for (int Y = 0; Y < Size; ++Y)
    for (int X = 0; X < Size; ++X) B.SetPixel(X, Y, Colors[(Y >= Size / 2) * 2 + (X >= Size / 2)]);
  return B;
}

struct Expect {
  int X, Y;
  uint8_t R, G, B;
};

void ExpectPixels(const Image& Img, std::initializer_list<Expect> Points) {
  for (const Expect& E : Points) {
    ASSERT_LT(E.X, Img.width);
    ASSERT_LT(E.Y, Img.height);
    const auto P = Img.At(E.X, E.Y);
    const auto Near = [](int A, int B) { return std::abs(A - B) <= 40; };
    EXPECT_TRUE(Near(P.r, E.R) && Near(P.g, E.G) && Near(P.b, E.B))
        << "at " << E.X << "," << E.Y << ": " << int(P.r) << " " << int(P.g) << " " << int(P.b);
  }
}

TEST(MetafileReaders, ShapesBitmapsAndTextRenderWhereTheyWereDrawn) {
  const TBitmap Blocks = Quadrants(20);
  const std::string Emf = Record(
      [&](TMetafileCanvas& C) {
        WhitePage(C);
        C.Brush().Color = RGB(255, 0, 0);
        C.Rectangle(10, 10, 60, 40);
        C.Brush().Color = RGB(0, 0, 255);
        C.Ellipse(70, 10, 130, 50);
        C.Brush().Color = RGB(0, 160, 0);
        const TPoint Triangle[] = {{140, 45}, {190, 45}, {165, 5}};
        C.Polygon(Triangle);
        C.Draw(10, 60, Blocks);
        C.StretchDIBits(40, 60, 40, 40, 0, 0, 20, 20, Blocks);
        C.Pen().Width = 6;
        C.Pen().Color = RGB(128, 0, 128);
        C.MoveTo(100, 80);
        C.LineTo(190, 80);
        C.SetTextColor(RGB(0, 0, 0));
        C.SetBkMode(TRANSPARENT);
        C.Font().Height = -30;
        C.TextOut(100, 110, u"Ink");
      },
      200, 200);
  const std::string Svg = EmfToSvg(Emf);
  EXPECT_NE(Svg.find("Ink"), std::string::npos);
  const Image Img = RenderSvg(Svg);
  ExpectPixels(Img, {
                        {35, 25, 255, 0, 0},       // rectangle
                        {100, 30, 0, 0, 255},      // ellipse centre
                        {72, 12, 255, 255, 255},   // outside the ellipse, inside its box
                        {165, 35, 0, 160, 0},      // triangle
                        {14, 64, 255, 255, 0},     // drawn bitmap, top-left quadrant
                        {25, 75, 0, 0, 0},         // its bottom-right quadrant
                        {48, 90, 0, 255, 255},     // stretched: bottom-left
                        {72, 68, 255, 0, 255},     // stretched: top-right
                        {150, 80, 128, 0, 128},    // wide line
                        {150, 85, 255, 255, 255},  // beside it
                    });
  // The text: dark pixels in its box, none far below it.
  int Dark = 0, Below = 0;
  for (int Y = 110; Y < 145; ++Y)
    for (int X = 100; X < 160; ++X) Dark += Img.At(X, Y).r < 100;
  for (int Y = 160; Y < 200; ++Y)
    for (int X = 100; X < 160; ++X) Below += Img.At(X, Y).r < 100;
  EXPECT_GT(Dark, 50);
  EXPECT_EQ(Below, 0);
}

TEST(MetafileReaders, MappingAndTransformsMoveTheDrawing) {
  const std::string Emf = Record(
      [](TMetafileCanvas& C) {
        WhitePage(C);
        C.SelectStockObject(NULL_PEN);
        C.Brush().Color = RGB(255, 0, 0);
        // libemf2svg applies origins only in the scalable modes.
        C.SetMapMode(MM_ANISOTROPIC);
        C.SetWindowExt(200, 200);
        C.SetViewportExt(200, 200);
        C.SetViewportOrg(100, 50);  // as the export places a column
        C.Rectangle(0, 0, 40, 40);
        C.SetMapMode(MM_TEXT);
        C.SetViewportOrg(0, 0);
        C.SetGraphicsMode(GM_ADVANCED);
        C.SetWorldTransform({2, 0, 0, 2, 10, 120});
        C.Brush().Color = RGB(0, 0, 255);
        C.Rectangle(0, 0, 20, 20);
      },
      200, 200);
  const Image Img = RenderSvg(EmfToSvg(Emf));
  ExpectPixels(Img, {
                        {120, 70, 255, 0, 0},
                        {90, 70, 255, 255, 255},
                        {45, 155, 0, 0, 255},  // (0..20) doubled and moved to (10..50, 120..160)
                        {55, 155, 255, 255, 255},
                    });
}

TEST(MetafileReaders, FilledPathsRender) {
  const std::string Emf = Record(
      [](TMetafileCanvas& C) {
        WhitePage(C);
        C.Brush().Color = RGB(0, 128, 255);
        C.FillRect({0, 0, 1, 1});  // selects the brush before the path, as programs do
        C.BeginPath();
        C.MoveTo(20, 20);
        const TPoint Edges[] = {{180, 20}, {180, 180}, {20, 180}};
        C.PolylineTo(Edges);
        C.CloseFigure();
        C.EndPath();
        C.FillPath();
      },
      200, 200);
  ExpectPixels(RenderSvg(EmfToSvg(Emf)), {{100, 100, 0, 128, 255}, {10, 10, 255, 255, 255}});
}

// The readers' checks can fail: damage our own records and see them refused.
TEST(MetafileReaders, TheCheckCatchesDamagedRecords) {
  const std::string Good = Record([](TMetafileCanvas& C) { C.TextOut(0, 0, u"abc"); });
  const auto Records = metafile_testing::Records(Good);
  size_t Offset = 0;
  for (const auto& R : Records) {
    if (R.Type == EMR_EXTTEXTOUTW) break;
    Offset += R.Bytes.size();
  }
  std::string BadDx = Good;
  const uint32_t Far = 1u << 20;
  std::memcpy(BadDx.data() + Offset + text::DxOffset, &Far, 4);
  EXPECT_NE(UemfComplaint(BadDx), "");
  std::string BadCount = Good;
  const uint32_t Records1 = static_cast<uint32_t>(Records.size()) + 1;
  std::memcpy(BadCount.data() + header::Records, &Records1, 4);
  EXPECT_NE(UemfComplaint(BadCount), "");
  EXPECT_EQ(UemfComplaint(Good), "");
}

}  // namespace
