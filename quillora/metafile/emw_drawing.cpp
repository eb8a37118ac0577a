// Line, curve, shape, path, region and clipping records.
#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "quillora/metafile/emw_parser.h"
#include "quillora/page/page.h"

namespace quillora {

using namespace emf;

// --- paint rules -------------------------------------------------------------------

void TEMWParser::StrokeShape() {
  if (FPenStyle == PS_NULL)
    FPage.NewPath();
  else
    FPage.Stroke();
}

void TEMWParser::PaintShape() {
  if (FHollowBrush) {
    StrokeShape();
  } else if (FPenStyle == PS_NULL) {
    if (FAlternateFill)
      FPage.EoFill();
    else
      FPage.Fill();
  } else if (FAlternateFill) {
    FPage.EoFillAndStroke();
  } else {
    FPage.FillAndStroke();
  }
}

void TEMWParser::PaintClosedFigure() {
  if (FPenWidth != 0 && FPenStyle != PS_NULL) {
    if (FHollowBrush)
      FPage.Stroke();
    else
      FPage.FillAndStroke();
  } else if (FHollowBrush) {
    FPage.NewPath();
  } else {
    FPage.Fill();
  }
}

void TEMWParser::M(int32_t X, int32_t Y) {
  FPage.MoveTo(MapX(X), MapY(Y));
}
void TEMWParser::L(int32_t X, int32_t Y) {
  FPage.LineTo(MapX(X), MapY(Y));
}

size_t TEMWParser::ReadPoints(const TRecord& R, size_t Offset, uint64_t Count, bool Small) {
  const size_t Item = Small ? 4 : 8;
  const size_t N = static_cast<size_t>(R.FittingCount(Offset, Count, Item));
  if (FPoints.size() < N) FPoints.resize(N);
  const uint8_t* P = R.Data() + Offset;
  if (Small) {
    for (size_t i = 0; i < N; ++i, P += 4)
      FPoints[i] = TIntPoint{TRecord::LoadI16(P), TRecord::LoadI16(P + 2)};
  } else {
    for (size_t i = 0; i < N; ++i, P += 8)
      FPoints[i] = TIntPoint{TRecord::LoadI32(P), TRecord::LoadI32(P + 4)};
  }
  return N;
}

// --- lines and polylines ----------------------------------------------------------------

void TEMWParser::DoMoveTo(const TRecord& R) {
  FCurrentPos = TIntPoint{R.I32(8), R.I32(12)};
  if (!FInPath) return;
  EndTextColorMode();
  M(FCurrentPos.X, FCurrentPos.Y);
}

void TEMWParser::DoLineTo(const TRecord& R) {
  const TIntPoint P{R.I32(8), R.I32(12)};
  if (!FInPath) M(FCurrentPos.X, FCurrentPos.Y);
  L(P.X, P.Y);
  FCurrentPos = P;
  if (!FInPath) StrokeShape();
}

void TEMWParser::DoPolyline(const TRecord& R, bool Small) {
  const size_t N = ReadPoints(R, poly::Points, R.U32(poly::Count), Small);
  if (N == 0) return;
  FPage.NewPath();
  M(FPoints[0].X, FPoints[0].Y);
  for (size_t i = 1; i < N; ++i) L(FPoints[i].X, FPoints[i].Y);
  if (!FInPath) StrokeShape();
}

void TEMWParser::DoPolylineTo(const TRecord& R, bool Small) {
  const size_t N = ReadPoints(R, poly::Points, R.U32(poly::Count), Small);
  if (N == 0) return;
  if (!FInPath) {
    FPage.NewPath();
    M(FCurrentPos.X, FCurrentPos.Y);
  }
  for (size_t i = 0; i < N; ++i) L(FPoints[i].X, FPoints[i].Y);
  if (!FInPath) StrokeShape();
  FCurrentPos = FPoints[N - 1];
}

void TEMWParser::DoPolyPolyline(const TRecord& R, bool Small, bool Polygon) {
  const uint32_t Polys = R.U32(polypoly::Polys);
  const uint32_t Total = R.U32(polypoly::Count);
  // The counts must all lie in the record; the points that do are drawn.
  const uint64_t CountsEnd = polypoly::Counts + uint64_t{Polys} * 4;
  if (!R.Fits(polypoly::Counts, uint64_t{Polys} * 4)) throw ERecordBounds();
  const size_t N = ReadPoints(R, CountsEnd, Total, Small);
  FPage.NewPath();
  size_t Next = 0;
  for (uint32_t k = 0; k < Polys && Next < N; ++k) {
    const uint64_t Count = R.U32(polypoly::Counts + 4 * uint64_t{k});
    const size_t End = static_cast<size_t>(std::min<uint64_t>(Next + Count, N));
    if (End == Next) continue;
    const TIntPoint First = FPoints[Next];
    M(First.X, First.Y);
    for (size_t i = Next + 1; i < End; ++i) L(FPoints[i].X, FPoints[i].Y);
    if (Polygon) L(First.X, First.Y);
    Next = End;
  }
  if (Polygon)
    PaintShape();
  else if (!FInPath)
    StrokeShape();
}

void TEMWParser::DoPolygon(const TRecord& R, bool Small) {
  const size_t N = ReadPoints(R, poly::Points, R.U32(poly::Count), Small);
  if (N == 0) return;
  FPage.NewPath();
  M(FPoints[0].X, FPoints[0].Y);
  for (size_t i = 1; i < N; ++i) L(FPoints[i].X, FPoints[i].Y);
  if (FInPath) return;
  FPage.ClosePath();
  PaintShape();
}

// --- Bezier curves ----------------------------------------------------------------------

void TEMWParser::DoPolyBezier(const TRecord& R, bool Small) {
  const size_t N = ReadPoints(R, poly::Points, R.U32(poly::Count), Small);
  if (N < 4) return;
  M(FPoints[0].X, FPoints[0].Y);
  for (size_t k = 0; k < (N - 1) / 3; ++k) {
    const TIntPoint* P = &FPoints[3 * k + 1];
    FPage.CurveTo(MapX(P[0].X), MapY(P[0].Y), MapX(P[1].X), MapY(P[1].Y), MapX(P[2].X),
                  MapY(P[2].Y));
  }
  if (!FInPath) StrokeShape();
}

void TEMWParser::DoPolyBezierTo(const TRecord& R, bool Small) {
  const size_t N = ReadPoints(R, poly::Points, R.U32(poly::Count), Small);
  if (N < 3) return;
  if (!FInPath) M(FCurrentPos.X, FCurrentPos.Y);
  for (size_t k = 0; k + 3 <= N; k += 3) {
    const TIntPoint* P = &FPoints[k];
    FPage.CurveTo(MapX(P[0].X), MapY(P[0].Y), MapX(P[1].X), MapY(P[1].Y), MapX(P[2].X),
                  MapY(P[2].Y));
    FCurrentPos = P[2];
  }
  if (!FInPath) StrokeShape();
}

void TEMWParser::DoPolyDraw(const TRecord& R, bool Small) {
  const uint32_t Count = R.U32(polydraw::Count);
  const uint64_t TypesOffset = polydraw::Points + uint64_t{Count} * (Small ? 4 : 8);
  size_t N = ReadPoints(R, polydraw::Points, Count, Small);
  N = static_cast<size_t>(std::min<uint64_t>(N, R.FittingCount(TypesOffset, Count, 1)));
  const uint8_t* Types = N ? R.Data() + TypesOffset : nullptr;

  if (!FInPath) FPage.NewPath();
  M(FCurrentPos.X, FCurrentPos.Y);
  TIntPoint Start = FCurrentPos;
  bool LastWasMove = false;
  size_t i = 0;
  while (i < N) {
    const uint8_t T = Types[i];
    const TIntPoint P = FPoints[i];
    if (T == PT_MOVETO) {
      if (Small && LastWasMove)
        L(P.X, P.Y);
      else
        M(P.X, P.Y);
      Start = FCurrentPos = P;
      LastWasMove = true;
      ++i;
      continue;
    }
    LastWasMove = false;
    if (T & PT_LINETO) {
      L(P.X, P.Y);
      FCurrentPos = P;
      if (T & PT_CLOSEFIGURE) {
        L(Start.X, Start.Y);
        FCurrentPos = Start;
      }
      ++i;
    } else if (T & PT_BEZIERTO) {
      if (i + 2 >= N) break;  // an incomplete curve is not drawn
      const TIntPoint* Q = &FPoints[i];
      FPage.CurveTo(MapX(Q[0].X), MapY(Q[0].Y), MapX(Q[1].X), MapY(Q[1].Y), MapX(Q[2].X),
                    MapY(Q[2].Y));
      FCurrentPos = Q[2];
      if (Types[i + 2] & PT_CLOSEFIGURE) {
        L(Start.X, Start.Y);
        FCurrentPos = Start;
      }
      i += 3;
    } else {
      ++i;
    }
  }
  if (!FInPath) StrokeShape();
  if (Small) FPage.SetLineCap(lcRound);
}

// --- rectangles, ellipses, rounded rectangles ------------------------------------------

void TEMWParser::DoRectangle(const TRecord& R) {
  const int32_t Left = R.I32(box::Left), Top = R.I32(box::Top);
  const int32_t Right = R.I32(box::Right), Bottom = R.I32(box::Bottom);
  if (Left == Right || Top == Bottom) {
    FPage.NewPath();
    return;
  }
  FPage.Rectangle(MapX(Left), MapY(Top), MapX(Right), MapY(Bottom));
  if (!FInPath) PaintClosedFigure();
}

void TEMWParser::DoEllipse(const TRecord& R) {
  FPage.Ellipse(MapX(R.I32(box::Left)), MapY(R.I32(box::Top)), MapX(R.I32(box::Right)),
                MapY(R.I32(box::Bottom)));
  if (!FInPath) PaintClosedFigure();
}

namespace {
int RoundInt(long double V) {
  const int64_t I = RoundHalfEven(V);
  return static_cast<int>(std::clamp<int64_t>(I, INT32_MIN, INT32_MAX));
}
}  // namespace

void TEMWParser::DoRoundRect(const TRecord& R) {
  FPage.RoundRect(RoundInt(MapX(R.I32(box::Left))), RoundInt(MapY(R.I32(box::Top))),
                  RoundInt(MapX(R.I32(box::Right))), RoundInt(MapY(R.I32(box::Bottom))),
                  RoundInt(MapX(R.I32(box::CornerWidth))),
                  RoundInt(MapY(R.I32(box::CornerHeight))));
  if (!FInPath) PaintClosedFigure();
}

// --- arcs, chords, pies ---------------------------------------------------------------

void TEMWParser::DoArc(const TRecord& R, uint32_t Type) {
  const long double X1 = MapX(R.I32(box::Left)), Y1 = MapY(R.I32(box::Top));
  const long double X2 = MapX(R.I32(box::Right)), Y2 = MapY(R.I32(box::Bottom));
  long double SX = MapX(R.I32(box::StartX)), SY = MapY(R.I32(box::StartY));
  long double EX = MapX(R.I32(box::EndX)), EY = MapY(R.I32(box::EndY));
  if (Type == EMR_PIE) {
    FPage.Pie(X1, Y1, X2, Y2, SX, SY, EX, EY);
    if (!FInPath) PaintShape();
    return;
  }
  if (!FArcCounterClockwise) {
    std::swap(SX, EX);
    std::swap(SY, EY);
  }
  const TRealPoint First = FPage.Arc(X1, Y1, X2, Y2, SX, SY, EX, EY);
  if (Type == EMR_ARC) {
    if (!FInPath) StrokeShape();
    return;
  }
  FPage.LineTo(First.X, First.Y);
  if (!FInPath) PaintShape();
}

void TEMWParser::DoArcTo(const TRecord& R) {
  const int32_t Left = R.I32(box::Left), Top = R.I32(box::Top);
  const int32_t Right = R.I32(box::Right), Bottom = R.I32(box::Bottom);
  TIntPoint S{R.I32(box::StartX), R.I32(box::StartY)};
  TIntPoint E{R.I32(box::EndX), R.I32(box::EndY)};
  if (!FArcCounterClockwise) std::swap(S, E);
  M(FCurrentPos.X, FCurrentPos.Y);
  const long double CX = (static_cast<long double>(Left) + Right) / 2;
  const long double CY = (static_cast<long double>(Top) + Bottom) / 2;
  const long double RX = std::fabs(static_cast<long double>(Left) - Right) / 2;
  const long double RY = std::fabs(static_cast<long double>(Top) - Bottom) / 2;
  auto Angle = [&](const TIntPoint& P) { return std::atan2(RX * (CY - P.Y), RY * (P.X - CX)); };
  const long double A0 = Angle(S), A1 = Angle(E);
  FPage.LineTo(MapX(CX + RX * std::cos(A0)), MapY(CY - RY * std::sin(A0)));
  FPage.Arc(MapX(Left), MapY(Top), MapX(Right), MapY(Bottom), MapX(S.X), MapY(S.Y), MapX(E.X),
            MapY(E.Y));
  FCurrentPos = TIntPoint{RoundInt(CX + RX * std::cos(A1)), RoundInt(CY - RY * std::sin(A1))};
  if (!FInPath) StrokeShape();
}

void TEMWParser::DoAngleArc(const TRecord& R) {
  const long double CX = R.I32(anglearc::CenterX), CY = R.I32(anglearc::CenterY);
  const long double Radius = R.U32(anglearc::Radius);
  const long double A = R.F32(anglearc::StartAngle), S = R.F32(anglearc::SweepAngle);
  constexpr long double kDeg = std::numbers::pi_v<long double> / 180;
  M(FCurrentPos.X, FCurrentPos.Y);
  FPage.LineTo(MapX(CX + Radius * std::cos(A * kDeg)), MapY(CY - Radius * std::sin(A * kDeg)));
  const long double X1 = MapX(CX - Radius), Y1 = MapY(CY - Radius);
  const long double X2 = MapX(CX + Radius), Y2 = MapY(CY + Radius);
  if (std::fabs(S) >= 360)
    FPage.Ellipse(X1, Y1, X2, Y2);
  else
    FPage.ArcByAngles(X1, Y1, X2, Y2, A, A + S);
  FCurrentPos = TIntPoint{RoundInt(CX + Radius * std::cos((A + S) * kDeg)),
                          RoundInt(CY - Radius * std::sin((A + S) * kDeg))};
  if (!FInPath) StrokeShape();
}

// --- single pixels -----------------------------------------------------------------------

void TEMWParser::DoSetPixel(const TRecord& R) {
  const int32_t X = R.I32(setpixel::X), Y = R.I32(setpixel::Y);
  const TColorRef Color = R.U32(setpixel::Color);
  FPage.NewPath();
  const bool OtherColor = Color != FPenColor;
  auto Stroke = [&](TColorRef C) {
    FPage.SetRGBStroke((C & 0xFF) / 255.0L, ((C >> 8) & 0xFF) / 255.0L,
                       ((C >> 16) & 0xFF) / 255.0L);
  };
  if (OtherColor) Stroke(Color);
  if (FPenWidth != 1) FPage.SetLineWidth(1);
  const long double PX = MapX(X), PY = MapY(Y);
  FPage.MoveTo(PX, PY);
  FPage.LineTo(PX + 0.01L, PY + 0.01L);
  StrokeShape();
  if (FPenWidth != 1) FPage.SetLineWidth(FScaleX * FPenWidth);
  if (OtherColor) Stroke(FPenColor);
}

// --- path brackets -----------------------------------------------------------------------

void TEMWParser::DoPathRecord(uint32_t Type) {
  switch (Type) {
    case EMR_BEGINPATH:
      FInPath = true;
      FPage.NewPath();
      M(FCurrentPos.X, FCurrentPos.Y);
      break;
    case EMR_ENDPATH:
      FInPath = false;
      break;
    case EMR_CLOSEFIGURE:
      FPage.ClosePath();
      break;
    case EMR_FILLPATH:
      FInPath = false;
      if (!FHollowBrush) FPage.Fill();
      FPage.NewPath();
      break;
    case EMR_STROKEANDFILLPATH:
      FInPath = false;
      PaintShape();
      FPage.NewPath();
      break;
    case EMR_STROKEPATH:
      FInPath = false;
      StrokeShape();
      FPage.NewPath();
      break;
    case EMR_ABORTPATH:
      FPage.NewPath();
      FInPath = false;
      break;
    default:
      break;
  }
}

// --- clipping ------------------------------------------------------------------------------

void TEMWParser::CloseClipForRect() {
  if (!FClipActive) return;
  FPage.RestoreState();
  FFontChanged = true;
  SetStrokeFromPen();
  SetFillFromBrush(false);
  FPage.SetLineWidth(FScaleX * FPenWidth);
}

void TEMWParser::CloseClipForPath() {
  if (!FClipActive) return;
  FPage.RestoreState();
  FPage.SetLineWidth(FScaleX * FPenWidth);
  SetStrokeFromPen();
  SetFillFromBrush(false);
  FFontChanged = true;
}

void TEMWParser::DoIntersectClipRect(const TRecord& R) {
  const long double X1 = MapX(R.I32(box::Left)), Y1 = MapY(R.I32(box::Top));
  const long double X2 = MapX(R.I32(box::Right)), Y2 = MapY(R.I32(box::Bottom));
  CloseClipForRect();
  FPage.SaveState();
  FClipActive = true;
  FPage.NewPath();
  FPage.Rectangle(X1, Y1, X2, Y2);
  FClipRect[0] = X1;
  FClipRect[1] = Y1;
  FClipRect[2] = X2;
  FClipRect[3] = Y2;
  FClipRectValid = true;
  FPage.Clip();
  FPage.NewPath();
}

void TEMWParser::DoSelectClipPath() {
  CloseClipForPath();
  FPage.SaveState();
  FClipActive = true;
  FPage.Clip();
  FClipRectValid = false;
  FPage.NewPath();
  FInPath = false;
}

void TEMWParser::RegionRectangles(const TRecord& R, size_t DataOffset, uint32_t DataSize) {
  // The rectangles must lie both in the region data and in the record.
  if (!R.Fits(DataOffset, DataSize) || DataSize < rgndata::Rects) throw ERecordBounds();
  const TRecord Region(R.Data() + DataOffset, DataSize);
  const uint32_t Count = Region.U32(rgndata::Count);
  const uint64_t N = Region.FittingCount(rgndata::Rects, Count, 16);
  const uint8_t* P = Region.Data() + rgndata::Rects;
  for (uint64_t i = 0; i < N; ++i, P += 16) {
    FPage.Rectangle(DeviceX(TRecord::LoadI32(P)), DeviceY(TRecord::LoadI32(P + 4)),
                    DeviceX(TRecord::LoadI32(P + 8)), DeviceY(TRecord::LoadI32(P + 12)));
  }
}

void TEMWParser::DoExtSelectClipRgn(const TRecord& R) {
  if (FWindowScale.On || FViewportScale.On) return;
  const uint32_t DataSize = R.U32(cliprgn::DataSize);
  if (DataSize != 0 && (!R.Fits(cliprgn::Data, DataSize) || DataSize < rgndata::Rects))
    throw ERecordBounds();
  CloseClipForPath();
  FClipActive = false;
  if (DataSize == 0) return;
  FPage.SaveState();
  FPage.NewPath();
  FClipActive = true;
  FClipRectValid = false;
  RegionRectangles(R, cliprgn::Data, DataSize);
  FPage.Clip();
  FPage.NewPath();
}

void TEMWParser::DoFillRgn(const TRecord& R) {
  const uint32_t DataSize = R.U32(fillrgn::DataSize);
  if (DataSize == 0) return;
  if (!R.Fits(fillrgn::Data, DataSize) || DataSize < rgndata::Rects) throw ERecordBounds();
  FPage.NewPath();
  RegionRectangles(R, fillrgn::Data, DataSize);
  if (!FHollowBrush) FPage.Fill();
  FPage.NewPath();
}

}  // namespace quillora
