// Lines, curves, shapes, pixels, paths and clipping of the recording canvas.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "quillora/core/exception.h"
#include "quillora/platform/metafile_canvas.h"

namespace quillora {

using namespace emf;

namespace {

bool Fits16(std::span<const TPoint> Points) {
  constexpr int Lo = std::numeric_limits<int16_t>::min(), Hi = std::numeric_limits<int16_t>::max();
  for (const TPoint& P : Points)
    if (P.X < Lo || P.X > Hi || P.Y < Lo || P.Y > Hi) return false;
  return true;
}

// Writes the points at At, in the 16-bit form when Small.
void PutPoints(TRecordWriter& W, size_t At, std::span<const TPoint> Points, bool Small) {
  if (Small) {
    for (const TPoint& P : Points) {
      W.Put16(At, static_cast<uint16_t>(P.X));
      W.Put16(At + 2, static_cast<uint16_t>(P.Y));
      At += 4;
    }
  } else {
    for (const TPoint& P : Points) {
      W.PutI32(At, P.X);
      W.PutI32(At + 4, P.Y);
      At += 8;
    }
  }
}

// Parametric angle of the point where the radial through (PX, PY) meets
// the ellipse, counter-clockwise on the screen (y down).
double RadialAngle(double CX, double CY, double RX, double RY, double PX, double PY) {
  return std::atan2(RX * (CY - PY), RY * (PX - CX));
}

}  // namespace

TMetafileCanvas::TBounds TMetafileCanvas::PointsBounds(std::span<const TPoint> Points) const {
  TBounds B;
  for (const TPoint& P : Points) AddPoint(B, P.X, P.Y);
  return B;
}

TMetafileCanvas::TBounds TMetafileCanvas::BoxBounds(double X1, double Y1, double X2,
                                                    double Y2) const {
  TBounds B;
  AddPoint(B, X1, Y1);
  AddPoint(B, X2, Y1);
  AddPoint(B, X1, Y2);
  AddPoint(B, X2, Y2);
  // The right and bottom edges are outside the figure.
  if (B.Right > B.Left) B.Right -= 1;
  if (B.Bottom > B.Top) B.Bottom -= 1;
  return B;
}

TMetafileCanvas::TBounds TMetafileCanvas::ArcBounds(int X1, int Y1, int X2, int Y2, int X3, int Y3,
                                                    int X4, int Y4, bool WithCenter,
                                                    TPoint* EndPoint) const {
  const double CX = (static_cast<double>(X1) + X2) / 2, CY = (static_cast<double>(Y1) + Y2) / 2;
  const double RX = std::fabs(static_cast<double>(X2) - X1) / 2;
  const double RY = std::fabs(static_cast<double>(Y2) - Y1) / 2;
  const double A0 = RadialAngle(CX, CY, RX, RY, X3, Y3);
  const double A1 = RadialAngle(CX, CY, RX, RY, X4, Y4);
  const auto PointAt = [&](double A, double& PX, double& PY) {
    PX = CX + RX * std::cos(A);
    PY = CY - RY * std::sin(A);
  };
  if (EndPoint) {
    double PX, PY;
    PointAt(A1, PX, PY);
    *EndPoint = {static_cast<int>(std::lround(PX)), static_cast<int>(std::lround(PY))};
  }
  if (!WorldIsAxisAligned()) return BoxBounds(X1, Y1, X2, Y2);
  // Sweep from start to end in the arc direction; equal radials draw the
  // whole ellipse.
  constexpr double TwoPi = 2 * std::numbers::pi;
  double Sweep = FState.ArcDirection == AD_COUNTERCLOCKWISE ? A1 - A0 : A0 - A1;
  Sweep = std::fmod(Sweep, TwoPi);
  if (Sweep <= 0) Sweep += TwoPi;
  const double From = FState.ArcDirection == AD_COUNTERCLOCKWISE ? A0 : A1;
  TBounds B;
  double PX, PY;
  PointAt(A0, PX, PY);
  AddPoint(B, PX, PY);
  PointAt(A1, PX, PY);
  AddPoint(B, PX, PY);
  for (int K = 0; K < 8; ++K) {  // the axis points inside the sweep
    const double A = K * std::numbers::pi / 2;
    double Offset = std::fmod(A - From, TwoPi);
    if (Offset < 0) Offset += TwoPi;
    if (Offset <= Sweep) {
      PointAt(A, PX, PY);
      AddPoint(B, PX, PY);
    }
  }
  if (WithCenter) AddPoint(B, CX, CY);
  return B;
}

// --- lines ------------------------------------------------------------------------

void TMetafileCanvas::MoveTo(int X, int Y) {
  CheckOpen();
  WritePoint(EMR_MOVETOEX, X, Y);
  FState.CurrentPos = {X, Y};
}

void TMetafileCanvas::LineTo(int X, int Y) {
  CheckOpen();
  RealizePen();
  TBounds B;
  AddPoint(B, FState.CurrentPos.X, FState.CurrentPos.Y);
  AddPoint(B, X, Y);
  InflateForPen(B);
  Accumulate(B);
  WritePoint(EMR_LINETO, X, Y);
  FState.CurrentPos = {X, Y};
}

bool TMetafileCanvas::WritePoly(uint32_t Type32, uint32_t Type16, std::span<const TPoint> Points,
                                const TBounds& Bounds) {
  const bool Small = Fits16(Points);
  const uint64_t Size = poly::Points + uint64_t{Points.size()} * (Small ? 4 : 8);
  const size_t At = FWriter.Begin(Small ? Type16 : Type32, Size);
  PutBounds(FWriter, At + poly::Bounds, Bounds);
  FWriter.Put32(At + poly::Count, static_cast<uint32_t>(Points.size()));
  PutPoints(FWriter, At + poly::Points, Points, Small);
  Accumulate(Bounds);
  return true;
}

bool TMetafileCanvas::WritePolyPoly(uint32_t Type32, uint32_t Type16,
                                    std::span<const TPoint> Points,
                                    std::span<const uint32_t> Counts, const TBounds& Bounds) {
  const bool Small = Fits16(Points);
  const uint64_t Size =
      polypoly::Counts + 4 * uint64_t{Counts.size()} + uint64_t{Points.size()} * (Small ? 4 : 8);
  const size_t At = FWriter.Begin(Small ? Type16 : Type32, Size);
  PutBounds(FWriter, At + polypoly::Bounds, Bounds);
  FWriter.Put32(At + polypoly::Polys, static_cast<uint32_t>(Counts.size()));
  FWriter.Put32(At + polypoly::Count, static_cast<uint32_t>(Points.size()));
  for (size_t I = 0; I < Counts.size(); ++I)
    FWriter.Put32(At + polypoly::Counts + 4 * I, Counts[I]);
  PutPoints(FWriter, At + polypoly::Counts + 4 * Counts.size(), Points, Small);
  Accumulate(Bounds);
  return true;
}

bool TMetafileCanvas::Polyline(std::span<const TPoint> Points) {
  CheckOpen();
  if (Points.size() < 2) return false;
  RealizePen();
  TBounds B = PointsBounds(Points);
  InflateForPen(B);
  return WritePoly(EMR_POLYLINE, EMR_POLYLINE16, Points, B);
}

bool TMetafileCanvas::PolylineTo(std::span<const TPoint> Points) {
  CheckOpen();
  if (Points.empty()) return false;
  RealizePen();
  TBounds B = PointsBounds(Points);
  AddPoint(B, FState.CurrentPos.X, FState.CurrentPos.Y);
  InflateForPen(B);
  WritePoly(EMR_POLYLINETO, EMR_POLYLINETO16, Points, B);
  FState.CurrentPos = Points.back();
  return true;
}

bool TMetafileCanvas::Polygon(std::span<const TPoint> Points) {
  CheckOpen();
  if (Points.size() < 2) return false;
  RealizePen();
  RealizeBrush();
  TBounds B = PointsBounds(Points);
  InflateForPen(B);
  return WritePoly(EMR_POLYGON, EMR_POLYGON16, Points, B);
}

namespace {

// Every count at least Minimum and the counts adding up to the points.
bool CountsMatch(std::span<const TPoint> Points, std::span<const uint32_t> Counts,
                 uint32_t Minimum) {
  if (Counts.empty()) return false;
  uint64_t Total = 0;
  for (uint32_t C : Counts) {
    if (C < Minimum) return false;
    Total += C;
  }
  return Total == Points.size();
}

}  // namespace

bool TMetafileCanvas::PolyPolyline(std::span<const TPoint> Points,
                                   std::span<const uint32_t> Counts) {
  CheckOpen();
  if (!CountsMatch(Points, Counts, 2)) return false;
  RealizePen();
  TBounds B = PointsBounds(Points);
  InflateForPen(B);
  return WritePolyPoly(EMR_POLYPOLYLINE, EMR_POLYPOLYLINE16, Points, Counts, B);
}

bool TMetafileCanvas::PolyPolygon(std::span<const TPoint> Points,
                                  std::span<const uint32_t> Counts) {
  CheckOpen();
  if (!CountsMatch(Points, Counts, 2)) return false;
  RealizePen();
  RealizeBrush();
  TBounds B = PointsBounds(Points);
  InflateForPen(B);
  return WritePolyPoly(EMR_POLYPOLYGON, EMR_POLYPOLYGON16, Points, Counts, B);
}

bool TMetafileCanvas::PolyBezier(std::span<const TPoint> Points) {
  CheckOpen();
  if (Points.size() < 4 || (Points.size() - 1) % 3 != 0) return false;
  RealizePen();
  TBounds B = PointsBounds(Points);  // the control polygon holds the curve
  InflateForPen(B);
  return WritePoly(EMR_POLYBEZIER, EMR_POLYBEZIER16, Points, B);
}

bool TMetafileCanvas::PolyBezierTo(std::span<const TPoint> Points) {
  CheckOpen();
  if (Points.empty() || Points.size() % 3 != 0) return false;
  RealizePen();
  TBounds B = PointsBounds(Points);
  AddPoint(B, FState.CurrentPos.X, FState.CurrentPos.Y);
  InflateForPen(B);
  WritePoly(EMR_POLYBEZIERTO, EMR_POLYBEZIERTO16, Points, B);
  FState.CurrentPos = Points.back();
  return true;
}

bool TMetafileCanvas::PolyDraw(std::span<const TPoint> Points, std::span<const uint8_t> Types) {
  CheckOpen();
  if (Points.empty() || Points.size() != Types.size()) return false;
  // Check the types as GDI does: Bézier points come in threes.
  TPoint Current = FState.CurrentPos, FigureStart = Current;
  for (size_t I = 0; I < Types.size();) {
    const uint8_t T = Types[I] & ~PT_CLOSEFIGURE;
    if (T == PT_MOVETO) {
      if (Types[I] & PT_CLOSEFIGURE) return false;
      Current = FigureStart = Points[I];
      ++I;
    } else if (T == PT_LINETO) {
      Current = (Types[I] & PT_CLOSEFIGURE) ? FigureStart : Points[I];
      ++I;
    } else if (T == PT_BEZIERTO) {
      if (I + 2 >= Types.size() || (Types[I] & PT_CLOSEFIGURE) ||
          (Types[I + 1] & ~PT_CLOSEFIGURE) != PT_BEZIERTO || (Types[I + 1] & PT_CLOSEFIGURE) ||
          (Types[I + 2] & ~PT_CLOSEFIGURE) != PT_BEZIERTO)
        return false;
      Current = (Types[I + 2] & PT_CLOSEFIGURE) ? FigureStart : Points[I + 2];
      I += 3;
    } else {
      return false;
    }
  }
  RealizePen();
  TBounds B = PointsBounds(Points);
  AddPoint(B, FState.CurrentPos.X, FState.CurrentPos.Y);
  InflateForPen(B);
  const bool Small = Fits16(Points);
  const uint64_t N = Points.size();
  const uint64_t Size = TRecordWriter::Align4(polydraw::Points + N * (Small ? 4 : 8) + N);
  const size_t At = FWriter.Begin(Small ? EMR_POLYDRAW16 : EMR_POLYDRAW, Size);
  PutBounds(FWriter, At + polydraw::Bounds, B);
  FWriter.Put32(At + polydraw::Count, static_cast<uint32_t>(N));
  PutPoints(FWriter, At + polydraw::Points, Points, Small);
  FWriter.PutBytes(At + polydraw::Points + N * (Small ? 4 : 8), Types.data(), N);
  Accumulate(B);
  FState.CurrentPos = Current;
  return true;
}

// --- shapes -----------------------------------------------------------------------

void TMetafileCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  CheckOpen();
  RealizePen();
  RealizeBrush();
  TBounds B = BoxBounds(X1, Y1, X2, Y2);
  InflateForPen(B);
  Accumulate(B);
  WriteBox(EMR_RECTANGLE, X1, Y1, X2, Y2);
}

void TMetafileCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int CornerWidth, int CornerHeight) {
  CheckOpen();
  RealizePen();
  RealizeBrush();
  TBounds B = BoxBounds(X1, Y1, X2, Y2);
  InflateForPen(B);
  Accumulate(B);
  const size_t At = FWriter.Begin(EMR_ROUNDRECT, 32);
  FWriter.PutI32(At + box::Left, X1);
  FWriter.PutI32(At + box::Top, Y1);
  FWriter.PutI32(At + box::Right, X2);
  FWriter.PutI32(At + box::Bottom, Y2);
  FWriter.PutI32(At + box::CornerWidth, CornerWidth);
  FWriter.PutI32(At + box::CornerHeight, CornerHeight);
}

void TMetafileCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  CheckOpen();
  RealizePen();
  RealizeBrush();
  TBounds B = BoxBounds(X1, Y1, X2, Y2);
  InflateForPen(B);
  Accumulate(B);
  WriteBox(EMR_ELLIPSE, X1, Y1, X2, Y2);
}

void TMetafileCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  CheckOpen();
  RealizePen();
  TBounds B = ArcBounds(X1, Y1, X2, Y2, X3, Y3, X4, Y4, false, nullptr);
  InflateForPen(B);
  Accumulate(B);
  WriteBoxPoints(EMR_ARC, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TMetafileCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  CheckOpen();
  RealizePen();
  RealizeBrush();
  TBounds B = ArcBounds(X1, Y1, X2, Y2, X3, Y3, X4, Y4, false, nullptr);
  InflateForPen(B);
  Accumulate(B);
  WriteBoxPoints(EMR_CHORD, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TMetafileCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  CheckOpen();
  RealizePen();
  RealizeBrush();
  TBounds B = ArcBounds(X1, Y1, X2, Y2, X3, Y3, X4, Y4, true, nullptr);
  InflateForPen(B);
  Accumulate(B);
  WriteBoxPoints(EMR_PIE, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TMetafileCanvas::ArcTo(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  CheckOpen();
  RealizePen();
  TPoint End;
  TBounds B = ArcBounds(X1, Y1, X2, Y2, X3, Y3, X4, Y4, false, &End);
  AddPoint(B, FState.CurrentPos.X, FState.CurrentPos.Y);
  InflateForPen(B);
  Accumulate(B);
  WriteBoxPoints(EMR_ARCTO, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  FState.CurrentPos = End;
}

bool TMetafileCanvas::AngleArc(int X, int Y, int Radius, float StartAngle, float SweepAngle) {
  CheckOpen();
  if (Radius < 0 || !std::isfinite(StartAngle) || !std::isfinite(SweepAngle)) return false;
  RealizePen();
  const double R = Radius, A = StartAngle * std::numbers::pi / 180;
  const double S = SweepAngle * std::numbers::pi / 180;
  TBounds B;
  AddPoint(B, FState.CurrentPos.X, FState.CurrentPos.Y);
  // The arc's ends and the axis points it passes.
  const auto Add = [&](double T) { AddPoint(B, X + R * std::cos(T), Y - R * std::sin(T)); };
  Add(A);
  Add(A + S);
  const double Lo = std::min(A, A + S), Hi = std::max(A, A + S);
  if (Hi - Lo >= 2 * std::numbers::pi) {
    for (int K = 0; K < 4; ++K) Add(K * std::numbers::pi / 2);
  } else {
    for (double T = std::ceil(Lo / (std::numbers::pi / 2)) * (std::numbers::pi / 2); T <= Hi;
         T += std::numbers::pi / 2)
      Add(T);
  }
  InflateForPen(B);
  Accumulate(B);
  const size_t At = FWriter.Begin(EMR_ANGLEARC, 28);
  FWriter.PutI32(At + anglearc::CenterX, X);
  FWriter.PutI32(At + anglearc::CenterY, Y);
  FWriter.Put32(At + anglearc::Radius, static_cast<uint32_t>(Radius));
  FWriter.PutF32(At + anglearc::StartAngle, StartAngle);
  FWriter.PutF32(At + anglearc::SweepAngle, SweepAngle);
  FState.CurrentPos = {static_cast<int>(std::lround(X + R * std::cos(A + S))),
                       static_cast<int>(std::lround(Y - R * std::sin(A + S)))};
  return true;
}

namespace {

// Width and height of a rectangle, which must fit the records' 32-bit fields.
void RectSize(const TRect& Rect, int& Width, int& Height) {
  const int64_t W = int64_t{Rect.Right} - Rect.Left, H = int64_t{Rect.Bottom} - Rect.Top;
  if (W > INT32_MAX || W < INT32_MIN || H > INT32_MAX || H < INT32_MIN)
    throw Exception("Rectangle too large");
  Width = static_cast<int>(W);
  Height = static_cast<int>(H);
}

}  // namespace

void TMetafileCanvas::FillRect(const TRect& Rect) {
  CheckOpen();
  int W, H;
  RectSize(Rect, W, H);
  if (W <= 0 || H <= 0) return;
  BitBlt(Rect.Left, Rect.Top, W, H, nullptr, 0, 0, PATCOPY);
}

void TMetafileCanvas::FrameRect(const TRect& Rect) {
  CheckOpen();
  int W, H;
  RectSize(Rect, W, H);
  if (W <= 0 || H <= 0) return;
  BitBlt(Rect.Left, Rect.Top, W, 1, nullptr, 0, 0, PATCOPY);
  if (H > 1) BitBlt(Rect.Left, Rect.Bottom - 1, W, 1, nullptr, 0, 0, PATCOPY);
  if (H > 2) {
    BitBlt(Rect.Left, Rect.Top + 1, 1, H - 2, nullptr, 0, 0, PATCOPY);
    if (W > 1) BitBlt(Rect.Right - 1, Rect.Top + 1, 1, H - 2, nullptr, 0, 0, PATCOPY);
  }
}

void TMetafileCanvas::SetPixel(int X, int Y, TColorRef Color) {
  CheckOpen();
  TBounds B;
  AddPoint(B, X, Y);
  Accumulate(B);
  const size_t At = FWriter.Begin(EMR_SETPIXELV, 20);
  FWriter.PutI32(At + setpixel::X, X);
  FWriter.PutI32(At + setpixel::Y, Y);
  FWriter.Put32(At + setpixel::Color, Color);
}

// --- paths ------------------------------------------------------------------------

void TMetafileCanvas::BeginPath() {
  CheckOpen();
  WriteSimple(EMR_BEGINPATH);
  FInPath = true;
  FPathBounds = TBounds{};
}

void TMetafileCanvas::EndPath() {
  CheckOpen();
  WriteSimple(EMR_ENDPATH);
  FInPath = false;
}

void TMetafileCanvas::CloseFigure() {
  CheckOpen();
  WriteSimple(EMR_CLOSEFIGURE);
}

void TMetafileCanvas::AbortPath() {
  CheckOpen();
  WriteSimple(EMR_ABORTPATH);
  FInPath = false;
  FPathBounds = TBounds{};
}

void TMetafileCanvas::WritePathPaint(uint32_t Type) {
  // Painting ends an open bracket and consumes the path; its extent is
  // now drawn.
  FInPath = false;
  TBounds B = FPathBounds;
  if (Type != EMR_FILLPATH) InflateForPen(B);
  const size_t At = FWriter.Begin(Type, 24);
  PutBounds(FWriter, At + 8, B);
  FBounds.Add(B);
  FPathBounds = TBounds{};
}

void TMetafileCanvas::FillPath() {
  CheckOpen();
  RealizeBrush();
  WritePathPaint(EMR_FILLPATH);
}

void TMetafileCanvas::StrokePath() {
  CheckOpen();
  RealizePen();
  WritePathPaint(EMR_STROKEPATH);
}

void TMetafileCanvas::StrokeAndFillPath() {
  CheckOpen();
  RealizePen();
  RealizeBrush();
  WritePathPaint(EMR_STROKEANDFILLPATH);
}

void TMetafileCanvas::FlattenPath() {
  CheckOpen();
  WriteSimple(EMR_FLATTENPATH);
}

void TMetafileCanvas::WidenPath() {
  CheckOpen();
  WriteSimple(EMR_WIDENPATH);
}

void TMetafileCanvas::SelectClipPath(int Mode) {
  CheckOpen();
  if (Mode < RGN_AND || Mode > RGN_COPY) return;
  WriteInt(EMR_SELECTCLIPPATH, static_cast<uint32_t>(Mode));
  FInPath = false;
  FPathBounds = TBounds{};
}

// --- clipping -----------------------------------------------------------------------

void TMetafileCanvas::IntersectClipRect(int X1, int Y1, int X2, int Y2) {
  CheckOpen();
  WriteBox(EMR_INTERSECTCLIPRECT, X1, Y1, X2, Y2);
}

void TMetafileCanvas::ExcludeClipRect(int X1, int Y1, int X2, int Y2) {
  CheckOpen();
  WriteBox(EMR_EXCLUDECLIPRECT, X1, Y1, X2, Y2);
}

void TMetafileCanvas::WriteRegion(size_t At, std::span<const TRect> Region) {
  TBounds B;
  for (const TRect& R : Region) {
    B.Add(R.Left, R.Top);
    B.Add(R.Right, R.Bottom);
  }
  FWriter.Put32(At + rgndata::HeaderSize, 32);
  FWriter.Put32(At + rgndata::Type, 1);  // RDH_RECTANGLES
  FWriter.Put32(At + rgndata::Count, static_cast<uint32_t>(Region.size()));
  FWriter.Put32(At + rgndata::RgnSize, static_cast<uint32_t>(16 * Region.size()));
  if (B.Empty) {
    for (int I = 0; I < 4; ++I) FWriter.PutI32(At + rgndata::Bounds + 4 * I, 0);
  } else {
    FWriter.PutI32(At + rgndata::Bounds, static_cast<int32_t>(B.Left));
    FWriter.PutI32(At + rgndata::Bounds + 4, static_cast<int32_t>(B.Top));
    FWriter.PutI32(At + rgndata::Bounds + 8, static_cast<int32_t>(B.Right));
    FWriter.PutI32(At + rgndata::Bounds + 12, static_cast<int32_t>(B.Bottom));
  }
  size_t P = At + rgndata::Rects;
  for (const TRect& R : Region) {
    FWriter.PutI32(P, R.Left);
    FWriter.PutI32(P + 4, R.Top);
    FWriter.PutI32(P + 8, R.Right);
    FWriter.PutI32(P + 12, R.Bottom);
    P += 16;
  }
}

void TMetafileCanvas::SelectClipRgn(std::span<const TRect> Region, int Mode) {
  CheckOpen();
  if (Mode < RGN_AND || Mode > RGN_COPY) return;
  if (Region.empty()) {
    // Only copying "no region" has a meaning: it removes the clip.
    if (Mode != RGN_COPY) return;
    const size_t At = FWriter.Begin(EMR_EXTSELECTCLIPRGN, cliprgn::Data);
    FWriter.Put32(At + cliprgn::DataSize, 0);
    FWriter.PutI32(At + cliprgn::Mode, Mode);
    return;
  }
  const uint64_t DataSize = rgndata::Rects + 16 * uint64_t{Region.size()};
  const size_t At = FWriter.Begin(EMR_EXTSELECTCLIPRGN, cliprgn::Data + DataSize);
  FWriter.Put32(At + cliprgn::DataSize, static_cast<uint32_t>(DataSize));
  FWriter.PutI32(At + cliprgn::Mode, Mode);
  WriteRegion(At + cliprgn::Data, Region);
}

void TMetafileCanvas::FillRgn(std::span<const TRect> Region) {
  CheckOpen();
  if (Region.empty()) return;
  RealizeBrush();
  TBounds B;
  for (const TRect& R : Region) {
    if (R.Right <= R.Left || R.Bottom <= R.Top) continue;
    B.Add(R.Left, R.Top);
    B.Add(R.Right - 1, R.Bottom - 1);
  }
  const uint64_t DataSize = rgndata::Rects + 16 * uint64_t{Region.size()};
  const size_t At = FWriter.Begin(EMR_FILLRGN, fillrgn::Data + DataSize);
  PutBounds(FWriter, At + fillrgn::Bounds, B);
  FWriter.Put32(At + fillrgn::DataSize, static_cast<uint32_t>(DataSize));
  FWriter.Put32(At + fillrgn::Brush, FState.BrushObject);
  WriteRegion(At + fillrgn::Data, Region);
  Accumulate(B);
}

}  // namespace quillora
