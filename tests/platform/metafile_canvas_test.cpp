// The records the canvas writes for each call, their fields, the object
// table and the header's bounds.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "metafile_fixture.h"
#include "quillora/core/exception.h"
#include "quillora/platform/font_system.h"
#include "quillora/platform/metafile.h"

using namespace quillora;
using namespace quillora::emf;
using metafile_testing::DrawingTypes;
using metafile_testing::Rec;
using metafile_testing::Record;
using metafile_testing::Records;

namespace {

struct Box {
  int32_t L, T, R, B;
  bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& O, const Box& B) {
  return O << "(" << B.L << " " << B.T << " " << B.R << " " << B.B << ")";
}

Box BoxAt(const Rec& R, size_t Offset) {
  return {R.I32(Offset), R.I32(Offset + 4), R.I32(Offset + 8), R.I32(Offset + 12)};
}

Box HeaderBounds(const std::string& Emf) {
  return BoxAt(Records(Emf).front(), header::Bounds);
}

// The records of one type, in order.
std::vector<Rec> OfType(const std::string& Emf, uint32_t Type) {
  std::vector<Rec> Out;
  for (Rec& R : Records(Emf))
    if (R.Type == Type) Out.push_back(std::move(R));
  return Out;
}

TEST(MetafileCanvas, EmptyRecordingIsAHeaderAndAnEndRecord) {
  const std::string Emf = Record([](TMetafileCanvas&) {}, 794, 1123);
  const auto All = Records(Emf);
  ASSERT_EQ(All.size(), 2u);
  const Rec& H = All[0];
  EXPECT_EQ(H.Type, EMR_HEADER);
  EXPECT_EQ(H.Bytes.size(), 108u);
  EXPECT_EQ(BoxAt(H, header::Bounds), (Box{0, 0, -1, -1}));  // nothing drawn
  // The frame is the picture size in 0.01 mm at 96 pixels per inch.
  EXPECT_EQ(BoxAt(H, header::Frame), (Box{0, 0, 21008, 29713}));
  EXPECT_EQ(H.U32(header::Signature), ENHMETA_SIGNATURE);
  EXPECT_EQ(H.U32(header::Version), ENHMETA_VERSION);
  EXPECT_EQ(H.U32(header::Bytes), Emf.size());
  EXPECT_EQ(H.U32(header::Records), 2u);
  EXPECT_EQ(H.U16(header::Handles), 1u);  // the reserved entry 0
  EXPECT_EQ(H.I32(header::DevicePixels), 1920);
  EXPECT_EQ(H.I32(header::DevicePixels + 4), 1440);
  EXPECT_EQ(H.I32(header::DeviceMillimeters), 508);
  EXPECT_EQ(H.I32(header::DeviceMillimeters + 4), 381);
  EXPECT_EQ(H.I32(header::DeviceMicrometers), 508000);
  const Rec& E = All[1];
  EXPECT_EQ(E.Type, EMR_EOF);
  EXPECT_EQ(E.Bytes.size(), 20u);
  EXPECT_EQ(E.U32(16), 20u);  // nSizeLast
}

TEST(MetafileCanvas, ObjectsAreCreatedSelectedAndDeletedAsTheyChange) {
  const std::string Emf = Record([](TMetafileCanvas& C) {
    C.Rectangle(10, 10, 50, 50);  // creates the pen and the brush
    C.Rectangle(60, 10, 90, 50);  // nothing changed: no object records
    C.Pen().Color = RGB(255, 0, 0);
    C.LineTo(100, 100);  // a new pen in a new slot, the old one deleted
    C.Pen().Width = 3;
    C.LineTo(0, 100);  // the freed slot 1 is taken again
    C.Brush().Style = bsClear;
    C.Ellipse(0, 0, 20, 20);  // the stock null brush; the solid one deleted
  });
  const std::vector<uint32_t> Expected = {
      EMR_CREATEPEN,    EMR_SELECTOBJECT, EMR_CREATEBRUSHINDIRECT, EMR_SELECTOBJECT,
      EMR_RECTANGLE,    EMR_RECTANGLE,    EMR_CREATEPEN,           EMR_SELECTOBJECT,
      EMR_DELETEOBJECT, EMR_LINETO,       EMR_CREATEPEN,           EMR_SELECTOBJECT,
      EMR_DELETEOBJECT, EMR_LINETO,       EMR_SELECTOBJECT,        EMR_DELETEOBJECT,
      EMR_ELLIPSE};
  EXPECT_EQ(DrawingTypes(Emf), Expected);
  const auto All = Records(Emf);
  // Indexes: pen 1, brush 2, red pen 3 (1 deleted), wide pen back in 1.
  EXPECT_EQ(All[1].U32(pen::Index), 1u);
  EXPECT_EQ(All[2].U32(8), 1u);
  EXPECT_EQ(All[3].U32(brush::Index), 2u);
  EXPECT_EQ(All[3].U32(brush::Color), 0xFFFFFFu);  // the default brush is white
  EXPECT_EQ(All[7].U32(pen::Index), 3u);
  EXPECT_EQ(All[7].U32(pen::Color), 0x0000FFu);
  EXPECT_EQ(All[9].U32(8), 1u);  // DELETEOBJECT 1
  EXPECT_EQ(All[11].U32(pen::Index), 1u);
  EXPECT_EQ(All[11].I32(pen::Width), 3);
  EXPECT_EQ(All[13].U32(8), 3u);
  EXPECT_EQ(All[15].U32(8), STOCK_OBJECT_FLAG | NULL_BRUSH);
  EXPECT_EQ(All[16].U32(8), 2u);
  EXPECT_EQ(All[0].U16(header::Handles), 4u);  // entries 0 to 3
}

TEST(MetafileCanvas, StockObjectsAreSelectedByTheirFlaggedIndex) {
  const std::string Emf = Record([](TMetafileCanvas& C) {
    EXPECT_TRUE(C.SelectStockObject(BLACK_BRUSH));
    EXPECT_TRUE(C.SelectStockObject(NULL_PEN));
    EXPECT_FALSE(C.SelectStockObject(SYSTEM_FONT));
    EXPECT_EQ(C.Brush().Color, 0u);
    EXPECT_EQ(C.Pen().Style, psClear);
    C.Rectangle(0, 0, 10, 10);  // already selected: no more records
  });
  const auto Sel = OfType(Emf, EMR_SELECTOBJECT);
  ASSERT_EQ(Sel.size(), 2u);
  EXPECT_EQ(Sel[0].U32(8), STOCK_OBJECT_FLAG | BLACK_BRUSH);
  EXPECT_EQ(Sel[1].U32(8), STOCK_OBJECT_FLAG | NULL_PEN);
  EXPECT_EQ(DrawingTypes(Emf).size(), 3u);
}

TEST(MetafileCanvas, SavedStatesKeepTheirObjectsUntilRestored) {
  const std::string Emf = Record([](TMetafileCanvas& C) {
    C.LineTo(10, 10);  // pen 1
    EXPECT_EQ(C.SaveDC(), 1);
    C.Pen().Color = RGB(0, 0, 255);
    C.LineTo(20, 20);  // pen 2; pen 1 is still selected in the saved state
    EXPECT_TRUE(C.RestoreDC(-1));
    // The saved pen is back, in the metafile and in Pen().
    EXPECT_EQ(C.Pen().Color, 0u);
    C.LineTo(30, 30);
  });
  const std::vector<uint32_t> Expected = {
      EMR_CREATEPEN,    EMR_SELECTOBJECT, EMR_LINETO,    EMR_SAVEDC,       EMR_CREATEPEN,
      EMR_SELECTOBJECT, EMR_LINETO,       EMR_RESTOREDC, EMR_DELETEOBJECT, EMR_LINETO};
  EXPECT_EQ(DrawingTypes(Emf), Expected);
  const auto Del = OfType(Emf, EMR_DELETEOBJECT);
  ASSERT_EQ(Del.size(), 1u);
  EXPECT_EQ(Del[0].U32(8), 2u);
  EXPECT_EQ(OfType(Emf, EMR_RESTOREDC)[0].I32(8), -1);
}

TEST(MetafileCanvas, RestoreDCTakesLevelsAndCountsBack) {
  struct Case {
    int Saves;
    int Level;
    bool Ok;
    int DepthAfter;  // what the next SaveDC returns minus one
  };
  const Case Cases[] = {
      {0, -1, false, 0}, {0, 1, false, 0}, {2, 0, false, 2}, {2, 3, false, 2}, {2, -3, false, 2},
      {2, -1, true, 1},  {2, -2, true, 0}, {3, 2, true, 1},  {3, 1, true, 0},
  };
  for (const Case& K : Cases) {
    const std::string Emf = Record([&](TMetafileCanvas& C) {
      for (int I = 0; I < K.Saves; ++I) C.SaveDC();
      EXPECT_EQ(C.RestoreDC(K.Level), K.Ok) << K.Saves << " " << K.Level;
      EXPECT_EQ(C.SaveDC() - 1, K.DepthAfter) << K.Saves << " " << K.Level;
    });
    // The record always counts back from the current state.
    const auto Restores = OfType(Emf, EMR_RESTOREDC);
    ASSERT_EQ(Restores.size(), K.Ok ? 1u : 0u);
    if (K.Ok) {
      EXPECT_EQ(Restores[0].I32(8), K.DepthAfter - K.Saves) << K.Saves << " " << K.Level;
    }
  }
}

TEST(MetafileCanvas, PolylinesUseTheSixteenBitFormWhenThePointsFit) {
  const std::vector<TPoint> Small = {{10, 20}, {-30, 40}, {32767, -32768}};
  const std::vector<TPoint> Large = {{10, 20}, {40000, 40}};
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    C.Polyline(Small);
    C.Polyline(Large);
  });
  const auto P16 = OfType(Emf, EMR_POLYLINE16);
  const auto P32 = OfType(Emf, EMR_POLYLINE);
  ASSERT_EQ(P16.size(), 1u);
  ASSERT_EQ(P32.size(), 1u);
  EXPECT_EQ(P16[0].Bytes.size(), 28u + 3 * 4);
  EXPECT_EQ(P16[0].U32(poly::Count), 3u);
  EXPECT_EQ(static_cast<int16_t>(P16[0].U16(poly::Points + 4)), -30);
  EXPECT_EQ(static_cast<int16_t>(P16[0].U16(poly::Points + 10)), -32768);
  EXPECT_EQ(BoxAt(P16[0], poly::Bounds), (Box{-30, -32768, 32767, 40}));
  EXPECT_EQ(P32[0].Bytes.size(), 28u + 2 * 8);
  EXPECT_EQ(P32[0].I32(poly::Points + 8), 40000);
}

TEST(MetafileCanvas, PointListsThatGdiRefusesRecordNothing) {
  const std::vector<TPoint> One = {{1, 1}}, Two = {{1, 1}, {2, 2}}, Four(4, {3, 3}),
                            Five(5, {3, 3}), Six(6, {4, 4});
  const std::vector<uint32_t> Counts = {2, 3};
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    EXPECT_FALSE(C.Polyline(One));
    EXPECT_FALSE(C.Polygon(One));
    EXPECT_FALSE(C.PolylineTo({}));
    EXPECT_FALSE(C.PolyBezier(Five));           // not 3n+1
    EXPECT_FALSE(C.PolyBezierTo(Four));         // not 3n
    EXPECT_FALSE(C.PolyPolygon(Four, Counts));  // counts add up to 5
    EXPECT_FALSE(C.PolyPolyline(Two, std::vector<uint32_t>{1, 1}));
    const std::vector<uint8_t> BadBezier = {PT_MOVETO, PT_BEZIERTO, PT_BEZIERTO, PT_LINETO};
    EXPECT_FALSE(C.PolyDraw(Four, BadBezier));
    EXPECT_FALSE(C.PolyDraw(Four, std::vector<uint8_t>{PT_MOVETO}));
    EXPECT_FALSE(C.AngleArc(0, 0, -1, 0, 90));
  });
  EXPECT_TRUE(DrawingTypes(Emf).empty());
}

TEST(MetafileCanvas, PolyDrawKeepsTheTypeBytesAndMovesTheCurrentPosition) {
  const std::vector<TPoint> Points = {{10, 10}, {50, 10}, {30, 40}, {60, 60}, {70, 60}, {80, 70}};
  const std::vector<uint8_t> Types = {PT_MOVETO,   PT_LINETO,   PT_LINETO | PT_CLOSEFIGURE,
                                      PT_BEZIERTO, PT_BEZIERTO, PT_BEZIERTO};
  TPoint After;
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    EXPECT_TRUE(C.PolyDraw(Points, Types));
    After = C.PenPos();
  });
  EXPECT_EQ(After, (TPoint{80, 70}));
  const auto R = OfType(Emf, EMR_POLYDRAW16);
  ASSERT_EQ(R.size(), 1u);
  EXPECT_EQ(R[0].Bytes.size(), 28u + 6 * 4 + 8);  // six type bytes padded to eight
  EXPECT_EQ(static_cast<uint8_t>(R[0].Bytes[28 + 24 + 2]), PT_LINETO | PT_CLOSEFIGURE);
  EXPECT_EQ(static_cast<uint8_t>(R[0].Bytes[28 + 24 + 5]), PT_BEZIERTO);
}

// Header bounds for one rectangle under various device-context states.
TEST(MetafileCanvas, HeaderBoundsAccumulateTheDrawnExtentInDeviceUnits) {
  struct Case {
    const char* Name;
    std::function<void(TMetafileCanvas&)> Setup;
    Box Expected;
  };
  const Case Cases[] = {
      {"plain", [](TMetafileCanvas&) {}, {10, 20, 99, 49}},
      {"viewport origin",
       [](TMetafileCanvas& C) { C.SetViewportOrg(100, 200); },
       {110, 220, 199, 249}},
      {"window origin", [](TMetafileCanvas& C) { C.SetWindowOrg(10, 20); }, {0, 0, 89, 29}},
      {"wide pen",
       [](TMetafileCanvas& C) { C.Pen().Width = 5; },
       {7, 17, 102, 52}},  // half the width, rounded up, on every side
      {"anisotropic half",
       [](TMetafileCanvas& C) {
         C.SetMapMode(MM_ANISOTROPIC);
         C.SetWindowExt(1000, 1000);
         C.SetViewportExt(500, 500);
       },
       {5, 10, 49, 24}},
      {"extents ignored in text mode",
       [](TMetafileCanvas& C) {
         C.SetWindowExt(1000, 1000);
         C.SetViewportExt(500, 500);
       },
       {10, 20, 99, 49}},
      {"low metric flips y",
       [](TMetafileCanvas& C) { C.SetMapMode(MM_LOMETRIC); },
       {4, -19, 37, -9}},  // 0.1 mm units at 96 pixels per inch
      {"world scale",
       [](TMetafileCanvas& C) {
         C.SetGraphicsMode(GM_ADVANCED);
         C.SetWorldTransform({2, 0, 0, 3, 5, 0});
       },
       {23, 58, 206, 151}},  // the one-unit pen is three pixels wide
  };
  for (const Case& K : Cases) {
    const std::string Emf = Record([&](TMetafileCanvas& C) {
      K.Setup(C);
      C.Rectangle(10, 20, 100, 50);
    });
    EXPECT_EQ(HeaderBounds(Emf), K.Expected) << K.Name;
  }
}

TEST(MetafileCanvas, BoundsCoverEveryFigureAndOnlyPaintedPaths) {
  const std::string Emf = Record([](TMetafileCanvas& C) {
    C.MoveTo(5, 5);  // moving draws nothing
    C.MoveTo(300, 300);
    C.LineTo(310, 305);
    C.SetPixel(2, 400, 0);
    C.BeginPath();
    C.Rectangle(0, 0, 1000, 1000);
    C.AbortPath();  // a discarded path adds nothing
    C.BeginPath();
    C.MoveTo(-50, 10);
    C.LineTo(20, 10);
    C.EndPath();
    C.StrokePath();
  });
  EXPECT_EQ(HeaderBounds(Emf), (Box{-50, 10, 310, 400}));
  const auto Stroke = OfType(Emf, EMR_STROKEPATH);
  ASSERT_EQ(Stroke.size(), 1u);
  EXPECT_EQ(BoxAt(Stroke[0], 8), (Box{-50, 10, 20, 10}));
}

TEST(MetafileCanvas, ArcBoundsFollowTheSweepAndTheDirection) {
  // A quarter of a circle of radius 50 centred at (50, 50): from the right
  // (east) counter-clockwise to the top (north) on the screen.
  const auto Quarter = Record([](TMetafileCanvas& C) { C.Arc(0, 0, 100, 100, 100, 50, 50, 0); });
  EXPECT_EQ(HeaderBounds(Quarter), (Box{50, 0, 100, 50}));
  // Clockwise, the same radials sweep the other three quarters.
  const auto Rest = Record([](TMetafileCanvas& C) {
    C.SetArcDirection(AD_CLOCKWISE);
    C.Arc(0, 0, 100, 100, 100, 50, 50, 0);
  });
  EXPECT_EQ(HeaderBounds(Rest), (Box{0, 0, 100, 100}));
  // A pie also covers its centre.
  const auto Pie = Record([](TMetafileCanvas& C) { C.Pie(0, 0, 100, 100, 100, 30, 100, 10); });
  EXPECT_EQ(HeaderBounds(Pie), (Box{50, 19, 96, 50}));
}

TEST(MetafileCanvas, ArcToAndAngleArcMoveTheCurrentPosition) {
  TPoint AfterArc, AfterAngle;
  Record([&](TMetafileCanvas& C) {
    C.ArcTo(0, 0, 100, 100, 100, 50, 50, 0);
    AfterArc = C.PenPos();
    C.AngleArc(200, 200, 10, 0, 90);
    AfterAngle = C.PenPos();
  });
  EXPECT_EQ(AfterArc, (TPoint{50, 0}));
  EXPECT_EQ(AfterAngle, (TPoint{200, 190}));
}

TEST(MetafileCanvas, ShapeRecordsCarryTheirArguments) {
  const std::string Emf = Record([](TMetafileCanvas& C) {
    C.RoundRect(1, 2, 30, 40, 5, 6);
    C.Chord(1, 2, 3, 4, 5, 6, 7, 8);
    C.AngleArc(10, 20, 30, 45.5f, -90.0f);
    C.SetPixel(7, 8, RGB(1, 2, 3));
  });
  const Rec Round = OfType(Emf, EMR_ROUNDRECT).at(0);
  EXPECT_EQ(BoxAt(Round, 8), (Box{1, 2, 30, 40}));
  EXPECT_EQ(Round.I32(box::CornerWidth), 5);
  EXPECT_EQ(Round.I32(box::CornerHeight), 6);
  const Rec Chord = OfType(Emf, EMR_CHORD).at(0);
  EXPECT_EQ(BoxAt(Chord, box::StartX), (Box{5, 6, 7, 8}));
  const Rec Angle = OfType(Emf, EMR_ANGLEARC).at(0);
  EXPECT_EQ(Angle.U32(anglearc::Radius), 30u);
  EXPECT_FLOAT_EQ(Angle.F32(anglearc::StartAngle), 45.5f);
  EXPECT_FLOAT_EQ(Angle.F32(anglearc::SweepAngle), -90.0f);
  const Rec Pixel = OfType(Emf, EMR_SETPIXELV).at(0);
  EXPECT_EQ(Pixel.U32(setpixel::Color), RGB(1, 2, 3));
}

TEST(MetafileCanvas, GeometricPensBecomeExtendedPens) {
  const std::string Emf = Record([](TMetafileCanvas& C) {
    C.Pen().Width = 4;
    C.Pen().EndCap = peFlat;
    C.Pen().JoinStyle = pjMiter;
    C.Pen().Color = RGB(0, 128, 0);
    C.LineTo(10, 10);
    C.Pen().Style = psUserStyle;
    C.Pen().Dashes = {6, 2, 1, 2};
    C.LineTo(20, 10);
  });
  const auto Pens = OfType(Emf, EMR_EXTCREATEPEN);
  ASSERT_EQ(Pens.size(), 2u);
  EXPECT_EQ(Pens[0].U32(extpen::Style), PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER);
  EXPECT_EQ(Pens[0].I32(extpen::Width), 4);
  EXPECT_EQ(Pens[0].U32(extpen::Color), RGB(0, 128, 0));
  EXPECT_EQ(Pens[0].Bytes.size(), 52u);
  EXPECT_EQ(Pens[1].U32(extpen::Style) & PS_STYLE_MASK, PS_USERSTYLE);
  ASSERT_EQ(Pens[1].U32(extpen::NumEntries), 4u);
  EXPECT_EQ(Pens[1].U32(extpen::Entries), 6u);
  EXPECT_EQ(Pens[1].U32(extpen::Entries + 12), 2u);
}

TEST(MetafileCanvas, MappingRecordsAndTheirEffect) {
  TPoint Device;
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    EXPECT_FALSE(C.SetMapMode(9));
    EXPECT_TRUE(C.SetMapMode(MM_ISOTROPIC));
    EXPECT_TRUE(C.SetWindowExt(100, 100));
    EXPECT_TRUE(C.SetViewportExt(200, -400));  // isotropic: y shrinks to match x
    EXPECT_EQ(C.ViewportExt(), (TSize{200, -200}));
    EXPECT_FALSE(C.SetWindowExt(0, 5));
    EXPECT_TRUE(C.ScaleViewportExt(1, 2, 1, 2));
    EXPECT_EQ(C.ViewportExt(), (TSize{100, -100}));
    EXPECT_FALSE(C.ScaleWindowExt(1, 0, 1, 1));
    C.SetViewportOrg(10, 300);
    Device = C.LPtoDP({50, 50});
  });
  EXPECT_EQ(Device, (TPoint{60, 250}));
  const std::vector<uint32_t> Expected = {EMR_SETMAPMODE, EMR_SETWINDOWEXTEX, EMR_SETVIEWPORTEXTEX,
                                          EMR_SCALEVIEWPORTEXTEX, EMR_SETVIEWPORTORGEX};
  EXPECT_EQ(DrawingTypes(Emf), Expected);
  // The extent record holds what was asked for, as GDI records it.
  EXPECT_EQ(OfType(Emf, EMR_SETVIEWPORTEXTEX)[0].I32(12), -400);
}

TEST(MetafileCanvas, WorldTransformsNeedTheAdvancedMode) {
  TXForm After;
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    EXPECT_FALSE(C.SetWorldTransform({2, 0, 0, 2, 0, 0}));
    EXPECT_TRUE(C.SetGraphicsMode(GM_ADVANCED));
    EXPECT_FALSE(C.SetWorldTransform({0, 0, 0, 0, 0, 0}));  // singular
    EXPECT_TRUE(C.SetWorldTransform({2, 0, 0, 2, 0, 0}));
    EXPECT_FALSE(C.SetGraphicsMode(GM_COMPATIBLE));  // not while transformed
    EXPECT_TRUE(C.ModifyWorldTransform({1, 0, 0, 1, 10, 20}, MWT_RIGHTMULTIPLY));
    EXPECT_TRUE(C.ModifyWorldTransform({3, 0, 0, 3, 0, 0}, MWT_LEFTMULTIPLY));
    After = C.WorldTransform();
    EXPECT_FALSE(C.ModifyWorldTransform({}, 7));
  });
  // Scaling by 3 first, then by 2 and moving by (10, 20).
  EXPECT_EQ(After, (TXForm{6, 0, 0, 6, 10, 20}));
  const auto Sets = OfType(Emf, EMR_SETWORLDTRANSFORM);
  ASSERT_EQ(Sets.size(), 1u);
  EXPECT_FLOAT_EQ(Sets[0].F32(xform::M11), 2.0f);
  const auto Mods = OfType(Emf, EMR_MODIFYWORLDTRANSFORM);
  ASSERT_EQ(Mods.size(), 2u);
  EXPECT_EQ(Mods[0].I32(xform::Mode), MWT_RIGHTMULTIPLY);
  EXPECT_FLOAT_EQ(Mods[0].F32(xform::Dy), 20.0f);
  EXPECT_EQ(Mods[1].I32(xform::Mode), MWT_LEFTMULTIPLY);
}

TEST(MetafileCanvas, AttributeRecordsHoldTheirValuesAndInvalidOnesAreDropped) {
  const std::string Emf = Record([](TMetafileCanvas& C) {
    C.SetTextColor(RGB(10, 20, 30));
    C.SetBkColor(RGB(40, 50, 60));
    C.SetBkMode(TRANSPARENT);
    C.SetBkMode(7);
    C.SetPolyFillMode(WINDING);
    C.SetArcDirection(AD_CLOCKWISE);
    C.SetArcDirection(0);
    C.SetTextAlign(TA_BASELINE | TA_CENTER);
    C.SetStretchBltMode(COLORONCOLOR);
    C.SetMiterLimit(4);
  });
  const std::vector<uint32_t> Expected = {
      EMR_SETTEXTCOLOR,    EMR_SETBKCOLOR,   EMR_SETBKMODE,         EMR_SETPOLYFILLMODE,
      EMR_SETARCDIRECTION, EMR_SETTEXTALIGN, EMR_SETSTRETCHBLTMODE, EMR_SETMITERLIMIT};
  EXPECT_EQ(DrawingTypes(Emf), Expected);
  const auto All = Records(Emf);
  const uint32_t Values[] = {RGB(10, 20, 30), RGB(40, 50, 60), 1, 2, 2, 30, 3, 4};
  for (size_t I = 0; I < 8; ++I) EXPECT_EQ(All[I + 1].U32(8), Values[I]) << I;
}

TEST(MetafileCanvas, PathAndClipRecords) {
  const std::vector<TRect> Region = {{0, 0, 10, 10}, {20, 0, 30, 5}};
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    C.BeginPath();
    C.MoveTo(0, 0);
    C.LineTo(10, 0);
    C.CloseFigure();
    C.EndPath();
    C.SelectClipPath(RGN_AND);
    C.IntersectClipRect(1, 2, 3, 4);
    C.ExcludeClipRect(5, 6, 7, 8);
    C.SelectClipRgn(Region);
    C.SelectClipRgn({});
    C.SelectClipRgn({}, RGN_AND);  // meaningless: nothing written
    C.FillRgn(Region);
  });
  const std::vector<uint32_t> Expected = {EMR_BEGINPATH,
                                          EMR_MOVETOEX,
                                          EMR_CREATEPEN,
                                          EMR_SELECTOBJECT,
                                          EMR_LINETO,
                                          EMR_CLOSEFIGURE,
                                          EMR_ENDPATH,
                                          EMR_SELECTCLIPPATH,
                                          EMR_INTERSECTCLIPRECT,
                                          EMR_EXCLUDECLIPRECT,
                                          EMR_EXTSELECTCLIPRGN,
                                          EMR_EXTSELECTCLIPRGN,
                                          EMR_CREATEBRUSHINDIRECT,
                                          EMR_SELECTOBJECT,
                                          EMR_FILLRGN};
  EXPECT_EQ(DrawingTypes(Emf), Expected);
  const auto Clips = OfType(Emf, EMR_EXTSELECTCLIPRGN);
  EXPECT_EQ(Clips[0].U32(cliprgn::DataSize), 32u + 32);
  EXPECT_EQ(Clips[0].I32(cliprgn::Mode), RGN_COPY);
  EXPECT_EQ(Clips[0].U32(cliprgn::Data + rgndata::Count), 2u);
  EXPECT_EQ(BoxAt(Clips[0], cliprgn::Data + rgndata::Bounds), (Box{0, 0, 30, 10}));
  EXPECT_EQ(BoxAt(Clips[0], cliprgn::Data + rgndata::Rects + 16), (Box{20, 0, 30, 5}));
  EXPECT_EQ(Clips[1].Bytes.size(), 16u);
  EXPECT_EQ(Clips[1].U32(cliprgn::DataSize), 0u);
  const Rec Fill = OfType(Emf, EMR_FILLRGN).at(0);
  EXPECT_EQ(Fill.U32(fillrgn::Brush), 2u);
  EXPECT_EQ(BoxAt(Fill, fillrgn::Bounds), (Box{0, 0, 29, 9}));
}

TEST(MetafileCanvas, DrawingAfterCloseIsRefusedAndTheMetafileHoldsTheRecording) {
  TMetafile M;
  TMetafileCanvas C(M);
  C.Rectangle(0, 0, 5, 5);
  EXPECT_TRUE(M.Empty());  // nothing handed over before the recording ends
  C.Close();
  C.Close();  // once is enough
  EXPECT_FALSE(M.Empty());
  EXPECT_EQ(metafile_testing::UemfComplaint(M.Data()), "");
  EXPECT_THROW(C.LineTo(1, 1), Exception);
  EXPECT_EQ(M.Width(), 5);  // no size given: the drawn extent
  EXPECT_EQ(M.Height(), 5);
}

TEST(MetafileCanvas, ANewCanvasOnTheSameMetafileReplacesTheRecording) {
  TMetafile M;
  M.SetWidth(100);
  M.SetHeight(50);
  {
    TMetafileCanvas C(M);
    C.Rectangle(0, 0, 5, 5);
  }
  const std::string First = M.Data();
  {
    TMetafileCanvas C(M);
    C.Ellipse(0, 0, 5, 5);
  }
  EXPECT_NE(M.Data(), First);
  EXPECT_EQ(DrawingTypes(M.Data()).back(), EMR_ELLIPSE);
  EXPECT_EQ(M.Width(), 100);
}

TEST(MetafileCanvas, RecordingIsDeterministic) {
  const auto Draw = [](TMetafileCanvas& C) {
    C.Pen().Color = RGB(1, 2, 3);
    C.Ellipse(0, 0, 30, 20);
    C.TextOut(5, 5, u"Same bytes");
  };
  EXPECT_EQ(Record(Draw), Record(Draw));
}

TEST(MetafileCanvas, ExtremeCoordinatesKeepTheBoundsInRange) {
  constexpr int Lo = INT32_MIN, Hi = INT32_MAX;
  const TBitmap Pixel(1, 1);
  const std::string Emf = Record([&](TMetafileCanvas& C) {
    C.Rectangle(Lo, Lo, Hi, Hi);
    C.Draw(Hi, Hi, Pixel);
    C.MoveTo(Hi, 0);
    C.SetTextAlign(TA_UPDATECP);
    C.TextOut(0, 0, u"past the edge");
    EXPECT_EQ(C.PenPos().X, Hi);  // stays at the edge instead of wrapping
    // Sizes that do not fit the records' fields are refused.
    EXPECT_THROW(C.FillRect({Lo, 0, Hi, 10}), Exception);
    EXPECT_THROW(C.StretchDraw({0, Lo, 10, Hi}, Pixel), Exception);
  });
  EXPECT_EQ(HeaderBounds(Emf), (Box{Lo, Lo, Hi, Hi}));
}

TEST(MetafileCanvas, RestoreDCBringsBackMappingAttributesAndPosition) {
  Record([](TMetafileCanvas& C) {
    C.MoveTo(5, 6);
    C.SaveDC();
    C.SetMapMode(MM_ANISOTROPIC);
    C.SetWindowExt(10, 10);
    C.SetViewportExt(20, 20);
    C.SetViewportOrg(100, 100);
    C.SetTextColor(RGB(9, 9, 9));
    C.SetTextAlign(TA_BOTTOM);
    C.SetGraphicsMode(GM_ADVANCED);
    C.SetWorldTransform({1, 0, 0, 1, 7, 7});
    C.MoveTo(50, 50);
    EXPECT_EQ(C.LPtoDP({1, 1}), (TPoint{116, 116}));
    C.RestoreDC(-1);
    EXPECT_EQ(C.MapMode(), MM_TEXT);
    EXPECT_EQ(C.LPtoDP({1, 1}), (TPoint{1, 1}));
    EXPECT_EQ(C.TextColor(), 0u);
    EXPECT_EQ(C.TextAlign(), 0u);
    EXPECT_EQ(C.GraphicsMode(), GM_COMPATIBLE);
    EXPECT_EQ(C.PenPos(), (TPoint{5, 6}));
  });
}

}  // namespace
