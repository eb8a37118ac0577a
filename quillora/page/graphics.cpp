// Path, painting, clipping and graphics-state operators of a page.
#include <cmath>

#include "quillora/page/page.h"

namespace quillora {

namespace {
constexpr long double kBezierK = 0.5522847498L;
constexpr long double kPi = 3.14159265358979323846264338327950288L;
}  // namespace

void TPDFPage::WritePoint(std::string& Line, long double X, long double Y) {
  AppendReal(Line, X);
  Line += ' ';
  AppendReal(Line, Y);
  Line += ' ';
}

// --- page-unit forms --------------------------------------------------------

void TPDFPage::MoveToPage(long double X, long double Y) {
  CloseTextObject();
  std::string line;
  WritePoint(line, X, Y);
  line += 'm';
  WriteContent(line);
}

void TPDFPage::LineToPage(long double X, long double Y) {
  CloseTextObject();
  std::string line;
  WritePoint(line, X, Y);
  line += 'l';
  WriteContent(line);
}

void TPDFPage::CurveToPage(long double X1, long double Y1, long double X2, long double Y2,
                           long double X3, long double Y3) {
  CloseTextObject();
  std::string line;
  line.reserve(48);
  WritePoint(line, X1, Y1);
  WritePoint(line, X2, Y2);
  WritePoint(line, X3, Y3);
  line += 'c';
  WriteContent(line);
}

void TPDFPage::RectanglePage(long double X, long double Y, long double W, long double H) {
  CloseTextObject();
  std::string line;
  line.reserve(32);
  WritePoint(line, X, Y);
  WritePoint(line, W, H);
  line += "re";
  WriteContent(line);
}

// --- device-unit forms ------------------------------------------------------

void TPDFPage::MoveTo(long double X, long double Y) {
  MoveToPage(ToPageX(X), ToPageY(Y));
  FPathPending = true;
}

void TPDFPage::LineTo(long double X, long double Y) {
  LineToPage(ToPageX(X), ToPageY(Y));
  FPathPending = true;
}

void TPDFPage::CurveTo(long double X1, long double Y1, long double X2, long double Y2,
                       long double X3, long double Y3) {
  CurveToPage(ToPageX(X1), ToPageY(Y1), ToPageX(X2), ToPageY(Y2), ToPageX(X3), ToPageY(Y3));
  FPathPending = true;
}

void TPDFPage::ClosePath() {
  CloseTextObject();
  WriteContent("h");
}

void TPDFPage::NewPath() {
  CloseTextObject();
  WriteContent("n");
}

void TPDFPage::Rectangle(long double X1, long double Y1, long double X2, long double Y2) {
  NormalizeRealCoords(X1, Y1, X2, Y2);
  FPathPending = true;
  long double x = ToPageX(X1), y = ToPageY(Y2);
  RectanglePage(x, y, ToPageX(X2) - x, ToPageY(Y1) - y);
}

void TPDFPage::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  NormalizeCoords(X1, Y1, X2, Y2);
  const long double rx = X3 / 2.0L, ry = Y3 / 2.0L, k = kBezierK;
  MoveTo(X1 + rx, Y1);
  LineTo(X2 - rx, Y1);
  CurveTo(X2 - rx + k * rx, Y1, X2, Y1 + ry - k * ry, X2, Y1 + ry);
  LineTo(X2, Y2 - ry);
  CurveTo(X2, Y2 - ry + k * ry, X2 - rx + k * rx, Y2, X2 - rx, Y2);
  LineTo(X1 + rx, Y2);
  CurveTo(X1 + rx - k * rx, Y2, X1, Y2 - ry + k * ry, X1, Y2 - ry);
  LineTo(X1, Y1 + ry);
  CurveTo(X1, Y1 + ry - k * ry, X1 + rx - k * rx, Y1, X1 + rx, Y1);
  ClosePath();
}

void TPDFPage::Ellipse(long double X1, long double Y1, long double X2, long double Y2) {
  FPathPending = true;
  const long double x1 = ToPageX(X1), y1 = ToPageY(Y1), x2 = ToPageX(X2), y2 = ToPageY(Y2);
  const long double rx = (x2 - x1) / 2, ry = (y2 - y1) / 2;
  const long double cx = x1 + rx, cy = y1 + ry, k = kBezierK;
  MoveToPage(cx + rx, cy);
  CurveToPage(cx + rx, cy + k * ry, cx + k * rx, cy + ry, cx, cy + ry);
  CurveToPage(cx - k * rx, cy + ry, cx - rx, cy + k * ry, cx - rx, cy);
  CurveToPage(cx - rx, cy - k * ry, cx - k * rx, cy - ry, cx, cy - ry);
  CurveToPage(cx + k * rx, cy - ry, cx + rx, cy - k * ry, cx + rx, cy);
}

// --- elliptic arcs ------------------------------------------------------------

void TPDFPage::ArcSegment(bool First, long double CX, long double CY, long double RX,
                          long double RY, long double Start, long double Sweep) {
  auto point = [&](long double t) {
    return TRealPoint{CX + RX * std::cos(t), CY - RY * std::sin(t)};
  };
  if (Sweep == 0) {
    TRealPoint p = point(Start);
    if (First) MoveToPage(p.X, p.Y);
    LineToPage(p.X, p.Y);
    return;
  }
  const long double h = Sweep / 2, c = std::cos(h), s = std::sin(h);
  const long double p1x = c + 4.0L / 3.0L * (1 - c);
  const long double p1y = s - 4.0L / 3.0L * (1 - c) * c / s;
  const long double px[4] = {c, p1x, p1x, c};
  const long double py[4] = {s, p1y, -p1y, -s};
  const double m = static_cast<double>(Start + h);
  const long double cm = std::cos(m), sm = std::sin(m);
  long double X[4], Y[4];
  for (int i = 0; i < 4; ++i) {
    X[i] = CX + RX * (px[i] * cm + py[i] * sm) - 0.0001L;
    Y[i] = CY + RY * (py[i] * cm - px[i] * sm) - 0.0001L;
  }
  if (First) MoveToPage(X[0], Y[0]);
  CurveToPage(X[1], Y[1], X[2], Y[2], X[3], Y[3]);
}

TRealPoint TPDFPage::SweepArc(long double CX, long double CY, long double RX, long double RY,
                              long double Start, long double Sweep) {
  TRealPoint result{CX + RX * std::cos(Start), CY - RY * std::sin(Start)};
  bool first = true;
  while (Sweep > kPi / 2) {
    ArcSegment(first, CX, CY, RX, RY, Start, kPi / 2);
    Sweep -= kPi / 2;
    Start += kPi / 2;
    first = false;
  }
  if (Sweep >= 0) ArcSegment(first, CX, CY, RX, RY, Start, Sweep);
  return result;
}

namespace {

struct TArcBox {
  long double cx, cy, rx, ry;
};

TArcBox ArcBox(long double x1, long double y1, long double x2, long double y2) {
  TArcBox b;
  b.cx = (x1 + x2) / 2;
  b.cy = (y1 + y2) / 2;
  b.rx = std::max<long double>((std::fabs(x1 - x2) - 1) / 2, 0);
  b.ry = std::max<long double>((std::fabs(y1 - y2) - 1) / 2, 0);
  return b;
}

}  // namespace

// Draws the arc of Arc and Pie in page units; returns its start point.
TRealPoint TPDFPage::ArcPath(long double X1, long double Y1, long double X2, long double Y2,
                             long double X3, long double Y3, long double X4, long double Y4) {
  const long double x1 = ToPageX(X1), y1 = ToPageY(Y1), x2 = ToPageX(X2), y2 = ToPageY(Y2);
  const long double x3 = ToPageX(X3), y3 = ToPageY(Y3), x4 = ToPageX(X4), y4 = ToPageY(Y4);
  TArcBox b = ArcBox(x1, y1, x2, y2);
  // The page's y axis points the other way: the radials swap roles.
  const long double start = std::atan2((b.cy - y4) * b.rx, (x4 - b.cx) * b.ry);
  const long double end = std::atan2((b.cy - y3) * b.rx, (x3 - b.cx) * b.ry);
  long double sweep = end - start;
  if (sweep <= 0) sweep += 2 * kPi;
  return SweepArc(b.cx, b.cy, b.rx, b.ry, start, sweep);
}

TRealPoint TPDFPage::Arc(long double X1, long double Y1, long double X2, long double Y2,
                         long double X3, long double Y3, long double X4, long double Y4) {
  FPathPending = true;
  TRealPoint p = ArcPath(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  return {ToDeviceX(p.X), ToDeviceY(p.Y)};
}

TRealPoint TPDFPage::ArcByAngles(long double X1, long double Y1, long double X2, long double Y2,
                                 long double BeginAngle, long double EndAngle) {
  FPathPending = true;
  TArcBox b = ArcBox(ToPageX(X1), ToPageY(Y1), ToPageX(X2), ToPageY(Y2));
  const long double start = -EndAngle * kPi / 180, end = -BeginAngle * kPi / 180;
  long double sweep = end - start;
  if (sweep < 0) sweep += 2 * kPi;
  TRealPoint p = SweepArc(b.cx, b.cy, b.rx, b.ry, start, sweep);
  return {ToDeviceX(p.X), ToDeviceY(p.Y)};
}

void TPDFPage::Pie(long double X1, long double Y1, long double X2, long double Y2, long double X3,
                   long double Y3, long double X4, long double Y4) {
  TRealPoint start = ArcPath(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  const long double x1 = ToPageX(X1), y1 = ToPageY(Y1), x2 = ToPageX(X2), y2 = ToPageY(Y2);
  const long double cx = x1 + (x2 - x1) / 2, cy = y1 + (y2 - y1) / 2;
  LineToPage(cx, cy);
  MoveToPage(start.X, start.Y);
  LineToPage(cx, cy);
}

// --- painting and clipping ----------------------------------------------------

void TPDFPage::Fill() {
  CloseTextObject();
  FPathPending = false;
  WriteContent("f");
}

void TPDFPage::EoFill() {
  CloseTextObject();
  FPathPending = false;
  WriteContent("f*");
}

void TPDFPage::Stroke() {
  CloseTextObject();
  FPathPending = false;
  WriteContent("S");
}

void TPDFPage::FillAndStroke() {
  CloseTextObject();
  FPathPending = false;
  WriteContent("B");
}

void TPDFPage::EoFillAndStroke() {
  CloseTextObject();
  FPathPending = false;
  WriteContent("B*");
}

void TPDFPage::Clip() {
  CloseTextObject();
  if (FPathPending) WriteContent("W");
}

// --- graphics state -----------------------------------------------------------

void TPDFPage::SaveState() {
  CloseTextObject();
  ++FStateDepth;
  WriteContent("q");
}

void TPDFPage::RestoreState() {
  if (FStateDepth <= 1) return;
  CloseTextObject();
  WriteContent("Q");
  --FStateDepth;
  // The restored state no longer holds the font selected inside it.
  if (FStateDepth < FText.FontSelectionDepth) FText.FontDirty = true;
}

void TPDFPage::SetLineWidth(long double Width) {
  CloseTextObject();
  std::string line;
  AppendReal(line, Width / FK);
  line += " w";
  WriteContent(line);
}

void TPDFPage::SetDash(const std::string& Pattern) {
  CloseTextObject();
  if (Pattern == FCurrentDash) return;
  WriteContent(Pattern + " d");
  FCurrentDash = Pattern;
}

void TPDFPage::SetLineCap(TPDFLineCap Cap) {
  CloseTextObject();
  WriteContent(IntToStr(static_cast<int>(Cap)) + " J");
}

void TPDFPage::SetLineJoin(TPDFLineJoin Join) {
  CloseTextObject();
  WriteContent(IntToStr(static_cast<int>(Join)) + " j");
}

void TPDFPage::SetGrayFill(long double Gray) {
  std::string line;
  AppendReal(line, Gray);
  line += " g";
  WriteContent(line);
}

void TPDFPage::SetGrayStroke(long double Gray) {
  std::string line;
  AppendReal(line, Gray);
  line += " G";
  WriteContent(line);
}

void TPDFPage::SetGray(long double Gray) {
  SetGrayFill(Gray);
  SetGrayStroke(Gray);
}

void TPDFPage::SetRGBFill(long double R, long double G, long double B) {
  std::string line;
  WritePoint(line, R, G);
  AppendReal(line, B);
  line += " rg";
  WriteContent(line);
}

void TPDFPage::SetRGBStroke(long double R, long double G, long double B) {
  std::string line;
  WritePoint(line, R, G);
  AppendReal(line, B);
  line += " RG";
  WriteContent(line);
}

void TPDFPage::SetRGBColor(long double R, long double G, long double B) {
  SetRGBFill(R, G, B);
  SetRGBStroke(R, G, B);
}

void TPDFPage::Concat(long double A, long double B, long double C, long double D, long double E,
                      long double F) {
  CloseTextObject();
  std::string line;
  WritePoint(line, A, B);
  WritePoint(line, C, D);
  WritePoint(line, E, F);
  line += "cm";
  WriteContent(line);
}

void TPDFPage::Rotate(long double Angle) {
  const long double a = Angle * kPi / 180;
  Concat(std::cos(a), std::sin(a), -std::sin(a), std::cos(a), 0, 0);
}

}  // namespace quillora
