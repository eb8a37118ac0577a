// The canvas's frame: the header and end records, the device-context state
// (attributes, mapping, world transform, saved states), the bounds and the
// object table.
#include "quillora/platform/metafile_canvas.h"

#include <algorithm>
#include <cmath>

#include "quillora/core/exception.h"
#include "quillora/platform/codepage.h"
#include "quillora/platform/font_system.h"
#include "quillora/platform/metafile.h"

namespace quillora {

using namespace emf;

namespace {

int MulDivRound(int64_t Value, int64_t Numerator, int64_t Denominator) {
  if (Denominator == 0) return 0;
  const double R = static_cast<double>(Value) * Numerator / Denominator;
  return static_cast<int>(std::lround(R));
}

// The header with the optional pixel-format and micrometre fields, as
// current GDI writes it.
constexpr uint32_t kHeaderSize = HEADER_EXT2_SIZE;
// EXTCREATEFONTINDIRECTW with the logical font, full name, style, script and
// an empty design vector.
constexpr uint32_t kFontRecordSize = 368;
constexpr uint32_t kDesignVectorSignature = 0x08007664;

}  // namespace

int TReferenceDC::WidthMillimeters() const {
  return MulDivRound(WidthPixels, 254, 10 * int64_t{PixelsPerInchX});
}
int TReferenceDC::HeightMillimeters() const {
  return MulDivRound(HeightPixels, 254, 10 * int64_t{PixelsPerInchY});
}

TMetafileCanvas::TMetafileCanvas(TMetafile& Metafile, const TReferenceDC& Reference)
    : FMetafile(Metafile), FReference(Reference) {
  if (FReference.PixelsPerInchX <= 0 || FReference.PixelsPerInchY <= 0 ||
      FReference.WidthPixels <= 0 || FReference.HeightPixels <= 0)
    throw Exception("Invalid reference device");
  FWriter.Buffer().reserve(64 * 1024);
  FWriter.Begin(EMR_HEADER, kHeaderSize);  // filled in by Close
  FObjectUsed.push_back(1);                // index 0 is never an object
}

TMetafileCanvas::~TMetafileCanvas() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot report; Close raises only when memory runs out.
  }
}

void TMetafileCanvas::CheckOpen() const {
  if (FClosed) throw Exception("Metafile canvas closed");
}

void TMetafileCanvas::Close() {
  if (FClosed) return;
  const size_t At = FWriter.Begin(EMR_EOF, eof::Size);
  FWriter.Put32(At + eof::PalEntries, 0);
  FWriter.Put32(At + eof::PalOffset, 16);
  FWriter.Put32(At + 16, eof::Size);
  FinishHeader();
  FClosed = true;
  FMeasure.reset();
  if (FMetafile.Width() == 0 || FMetafile.Height() == 0) {
    // Without a size given, the picture is as large as what was drawn.
    if (!FBounds.Empty) {
      FMetafile.SetWidth(static_cast<int>(FBounds.Right) + 1);
      FMetafile.SetHeight(static_cast<int>(FBounds.Bottom) + 1);
    }
  }
  FMetafile.AssignRecording(std::move(FWriter.Buffer()));
}

void TMetafileCanvas::FinishHeader() {
  TRecordWriter& W = FWriter;
  PutBounds(W, header::Bounds, FBounds);
  int FrameLeft = 0, FrameTop = 0, FrameRight = -1, FrameBottom = -1;
  if (FMetafile.Width() > 0 && FMetafile.Height() > 0) {
    FrameRight = FMetafile.MMWidth(FReference.PixelsPerInchX);
    FrameBottom = FMetafile.MMHeight(FReference.PixelsPerInchY);
  } else if (!FBounds.Empty) {
    // GDI derives the frame from the drawn extent when none was given.
    const int X = FReference.PixelsPerInchX, Y = FReference.PixelsPerInchY;
    FrameLeft = MulDivRound(static_cast<int64_t>(FBounds.Left), 2540, X);
    FrameTop = MulDivRound(static_cast<int64_t>(FBounds.Top), 2540, Y);
    FrameRight = MulDivRound(static_cast<int64_t>(FBounds.Right) + 1, 2540, X);
    FrameBottom = MulDivRound(static_cast<int64_t>(FBounds.Bottom) + 1, 2540, Y);
  }
  W.PutI32(header::Frame, FrameLeft);
  W.PutI32(header::Frame + 4, FrameTop);
  W.PutI32(header::Frame + 8, FrameRight);
  W.PutI32(header::Frame + 12, FrameBottom);
  W.Put32(header::Signature, ENHMETA_SIGNATURE);
  W.Put32(header::Version, ENHMETA_VERSION);
  W.Put32(header::Bytes, static_cast<uint32_t>(W.Size()));
  W.Put32(header::Records, W.Records());
  W.Put16(header::Handles, static_cast<uint16_t>(FObjectUsed.size()));
  W.Put16(header::Reserved, 0);
  W.Put32(header::DescriptionChars, 0);
  W.Put32(header::DescriptionOffset, 0);
  W.Put32(header::PalEntries, 0);
  const int MMW = FReference.WidthMillimeters(), MMH = FReference.HeightMillimeters();
  W.PutI32(header::DevicePixels, FReference.WidthPixels);
  W.PutI32(header::DevicePixels + 4, FReference.HeightPixels);
  W.PutI32(header::DeviceMillimeters, MMW);
  W.PutI32(header::DeviceMillimeters + 4, MMH);
  W.Put32(header::PixelFormatSize, 0);
  W.Put32(header::PixelFormatOffset, 0);
  W.Put32(header::OpenGL, 0);
  W.PutI32(header::DeviceMicrometers,
           MulDivRound(FReference.WidthPixels, 25400, FReference.PixelsPerInchX));
  W.PutI32(header::DeviceMicrometers + 4,
           MulDivRound(FReference.HeightPixels, 25400, FReference.PixelsPerInchY));
}

// --- bounds --------------------------------------------------------------------

void TMetafileCanvas::TBounds::Add(double X, double Y) {
  if (Empty) {
    Left = Right = X;
    Top = Bottom = Y;
    Empty = false;
    return;
  }
  Left = std::min(Left, X);
  Right = std::max(Right, X);
  Top = std::min(Top, Y);
  Bottom = std::max(Bottom, Y);
}

void TMetafileCanvas::TBounds::Add(const TBounds& B) {
  if (B.Empty) return;
  Add(B.Left, B.Top);
  Add(B.Right, B.Bottom);
}

void TMetafileCanvas::TBounds::Inflate(double D) {
  if (Empty) return;
  Left -= D;
  Top -= D;
  Right += D;
  Bottom += D;
}

void TMetafileCanvas::PutBounds(TRecordWriter& W, size_t At, const TBounds& B) {
  const auto Clamp = [](double V) {
    return static_cast<int32_t>(std::clamp(V, -2147483648.0, 2147483647.0));
  };
  if (B.Empty) {
    W.PutI32(At, 0);
    W.PutI32(At + 4, 0);
    W.PutI32(At + 8, -1);
    W.PutI32(At + 12, -1);
    return;
  }
  W.PutI32(At, Clamp(B.Left));
  W.PutI32(At + 4, Clamp(B.Top));
  W.PutI32(At + 8, Clamp(B.Right));
  W.PutI32(At + 12, Clamp(B.Bottom));
}

void TMetafileCanvas::Accumulate(const TBounds& B) {
  if (FInPath)
    FPathBounds.Add(B);
  else
    FBounds.Add(B);
}

void TMetafileCanvas::InflateForPen(TBounds& B) const {
  const TPen& P = FState.SelectedPen;
  if (P.Style == psClear || FState.PenObject == kNoObject) return;
  const double Device = P.Width * std::max(ScaleX(), ScaleY());
  if (Device > 1) B.Inflate(std::ceil(Device / 2));
}

// --- mapping ----------------------------------------------------------------------

void TMetafileCanvas::ToDevice(double X, double Y, double& DX, double& DY) const {
  const TState& S = FState;
  if (S.GraphicsMode == GM_ADVANCED) {
    const TXForm& M = S.World;
    const double WX = X * M.eM11 + Y * M.eM21 + M.eDx;
    const double WY = X * M.eM12 + Y * M.eM22 + M.eDy;
    X = WX;
    Y = WY;
  }
  DX = (X - S.WindowOrg.X) * S.ViewportExt.Width / S.WindowExt.Width + S.ViewportOrg.X;
  DY = (Y - S.WindowOrg.Y) * S.ViewportExt.Height / S.WindowExt.Height + S.ViewportOrg.Y;
}

void TMetafileCanvas::AddPoint(TBounds& B, double X, double Y) const {
  double DX, DY;
  ToDevice(X, Y, DX, DY);
  B.Add(std::round(DX), std::round(DY));
}

TPoint TMetafileCanvas::LPtoDP(TPoint P) const {
  double DX, DY;
  ToDevice(P.X, P.Y, DX, DY);
  return {static_cast<int>(std::lround(DX)), static_cast<int>(std::lround(DY))};
}

double TMetafileCanvas::ScaleX() const {
  const TState& S = FState;
  double K = std::fabs(static_cast<double>(S.ViewportExt.Width) / S.WindowExt.Width);
  if (S.GraphicsMode == GM_ADVANCED) K *= std::hypot(S.World.eM11, S.World.eM12);
  return K;
}

double TMetafileCanvas::ScaleY() const {
  const TState& S = FState;
  double K = std::fabs(static_cast<double>(S.ViewportExt.Height) / S.WindowExt.Height);
  if (S.GraphicsMode == GM_ADVANCED) K *= std::hypot(S.World.eM21, S.World.eM22);
  return K;
}

bool TMetafileCanvas::WorldIsAxisAligned() const {
  return FState.GraphicsMode != GM_ADVANCED || (FState.World.eM12 == 0 && FState.World.eM21 == 0);
}

void TMetafileCanvas::SetFixedExtents(int Mode) {
  TState& S = FState;
  const int MMW = FReference.WidthMillimeters(), MMH = FReference.HeightMillimeters();
  // Logical units per millimetre, times 254 to stay in integers.
  int64_t Per254 = 0;
  switch (Mode) {
    case MM_TEXT:
      S.WindowExt = {1, 1};
      S.ViewportExt = {1, 1};
      return;
    case MM_LOMETRIC:
    case MM_ISOTROPIC:  // starts from the low-metric extents, as GDI does
      Per254 = 2540;
      break;
    case MM_HIMETRIC:
      Per254 = 25400;
      break;
    case MM_LOENGLISH:
      Per254 = 1000;
      break;
    case MM_HIENGLISH:
      Per254 = 10000;
      break;
    case MM_TWIPS:
      Per254 = 14400;
      break;
    default:  // MM_ANISOTROPIC keeps the extents in force
      return;
  }
  S.WindowExt = {MulDivRound(MMW, Per254, 254), MulDivRound(MMH, Per254, 254)};
  S.ViewportExt = {FReference.WidthPixels, -FReference.HeightPixels};
}

void TMetafileCanvas::AdjustIsotropic() {
  TState& S = FState;
  if (S.MapMode != MM_ISOTROPIC) return;
  const double SX = std::fabs(static_cast<double>(S.ViewportExt.Width) / S.WindowExt.Width);
  const double SY = std::fabs(static_cast<double>(S.ViewportExt.Height) / S.WindowExt.Height);
  // One logical unit gets the same size both ways: the smaller scale wins.
  if (SX < SY) {
    const int V = static_cast<int>(std::lround(SX * std::abs(S.WindowExt.Height)));
    S.ViewportExt.Height = S.ViewportExt.Height < 0 ? -V : V;
  } else if (SY < SX) {
    const int V = static_cast<int>(std::lround(SY * std::abs(S.WindowExt.Width)));
    S.ViewportExt.Width = S.ViewportExt.Width < 0 ? -V : V;
  }
  if (S.ViewportExt.Width == 0) S.ViewportExt.Width = 1;
  if (S.ViewportExt.Height == 0) S.ViewportExt.Height = 1;
}

bool TMetafileCanvas::SetMapMode(int Mode) {
  CheckOpen();
  if (Mode < MM_TEXT || Mode > MM_ANISOTROPIC) return false;
  WriteInt(EMR_SETMAPMODE, static_cast<uint32_t>(Mode));
  FState.MapMode = Mode;
  SetFixedExtents(Mode);
  return true;
}

void TMetafileCanvas::SetWindowOrg(int X, int Y) {
  CheckOpen();
  WritePoint(EMR_SETWINDOWORGEX, X, Y);
  FState.WindowOrg = {X, Y};
}

void TMetafileCanvas::SetViewportOrg(int X, int Y) {
  CheckOpen();
  WritePoint(EMR_SETVIEWPORTORGEX, X, Y);
  FState.ViewportOrg = {X, Y};
}

bool TMetafileCanvas::SetWindowExt(int X, int Y) {
  CheckOpen();
  if (X == 0 || Y == 0) return false;
  WritePoint(EMR_SETWINDOWEXTEX, X, Y);
  // Only the two scalable modes take extents; the others keep theirs.
  if (FState.MapMode == MM_ISOTROPIC || FState.MapMode == MM_ANISOTROPIC) {
    FState.WindowExt = {X, Y};
    AdjustIsotropic();
  }
  return true;
}

bool TMetafileCanvas::SetViewportExt(int X, int Y) {
  CheckOpen();
  if (X == 0 || Y == 0) return false;
  WritePoint(EMR_SETVIEWPORTEXTEX, X, Y);
  if (FState.MapMode == MM_ISOTROPIC || FState.MapMode == MM_ANISOTROPIC) {
    FState.ViewportExt = {X, Y};
    AdjustIsotropic();
  }
  return true;
}

namespace {

bool ScaleExtent(TSize& Ext, int XNum, int XDenom, int YNum, int YDenom) {
  const int64_t X = int64_t{Ext.Width} * XNum / XDenom;
  const int64_t Y = int64_t{Ext.Height} * YNum / YDenom;
  if (X == 0 || Y == 0 || X > INT32_MAX || X < INT32_MIN || Y > INT32_MAX || Y < INT32_MIN)
    return false;
  Ext = {static_cast<int>(X), static_cast<int>(Y)};
  return true;
}

}  // namespace

bool TMetafileCanvas::ScaleWindowExt(int XNum, int XDenom, int YNum, int YDenom) {
  CheckOpen();
  if (XDenom == 0 || YDenom == 0 || XNum == 0 || YNum == 0) return false;
  const size_t At = FWriter.Begin(EMR_SCALEWINDOWEXTEX, 24);
  FWriter.PutI32(At + scaleext::XNum, XNum);
  FWriter.PutI32(At + scaleext::XDenom, XDenom);
  FWriter.PutI32(At + scaleext::YNum, YNum);
  FWriter.PutI32(At + scaleext::YDenom, YDenom);
  if (FState.MapMode == MM_ISOTROPIC || FState.MapMode == MM_ANISOTROPIC) {
    ScaleExtent(FState.WindowExt, XNum, XDenom, YNum, YDenom);
    AdjustIsotropic();
  }
  return true;
}

bool TMetafileCanvas::ScaleViewportExt(int XNum, int XDenom, int YNum, int YDenom) {
  CheckOpen();
  if (XDenom == 0 || YDenom == 0 || XNum == 0 || YNum == 0) return false;
  const size_t At = FWriter.Begin(EMR_SCALEVIEWPORTEXTEX, 24);
  FWriter.PutI32(At + scaleext::XNum, XNum);
  FWriter.PutI32(At + scaleext::XDenom, XDenom);
  FWriter.PutI32(At + scaleext::YNum, YNum);
  FWriter.PutI32(At + scaleext::YDenom, YDenom);
  if (FState.MapMode == MM_ISOTROPIC || FState.MapMode == MM_ANISOTROPIC) {
    ScaleExtent(FState.ViewportExt, XNum, XDenom, YNum, YDenom);
    AdjustIsotropic();
  }
  return true;
}

bool TMetafileCanvas::SetGraphicsMode(int Mode) {
  CheckOpen();
  if (Mode != GM_COMPATIBLE && Mode != GM_ADVANCED) return false;
  if (Mode == GM_COMPATIBLE && !(FState.World == TXForm{})) return false;
  // GDI records no record for the mode; text records carry it.
  FState.GraphicsMode = Mode;
  return true;
}

namespace {

bool Invertible(const TXForm& X) {
  const double D = static_cast<double>(X.eM11) * X.eM22 - static_cast<double>(X.eM12) * X.eM21;
  return std::isfinite(D) && D != 0 && std::isfinite(X.eDx) && std::isfinite(X.eDy);
}

void PutXForm(TRecordWriter& W, size_t At, const TXForm& X) {
  W.PutF32(At + xform::M11, X.eM11);
  W.PutF32(At + xform::M12, X.eM12);
  W.PutF32(At + xform::M21, X.eM21);
  W.PutF32(At + xform::M22, X.eM22);
  W.PutF32(At + xform::Dx, X.eDx);
  W.PutF32(At + xform::Dy, X.eDy);
}

}  // namespace

bool TMetafileCanvas::SetWorldTransform(const TXForm& X) {
  CheckOpen();
  if (FState.GraphicsMode != GM_ADVANCED || !Invertible(X)) return false;
  const size_t At = FWriter.Begin(EMR_SETWORLDTRANSFORM, 32);
  PutXForm(FWriter, At, X);
  FState.World = X;
  return true;
}

bool TMetafileCanvas::ModifyWorldTransform(const TXForm& X, int Mode) {
  CheckOpen();
  if (FState.GraphicsMode != GM_ADVANCED) return false;
  TXForm Result;
  switch (Mode) {
    case MWT_IDENTITY:
      break;
    case MWT_LEFTMULTIPLY:
      Result = CombineTransform(X, FState.World);
      break;
    case MWT_RIGHTMULTIPLY:
      Result = CombineTransform(FState.World, X);
      break;
    case MWT_SET:
      Result = X;
      break;
    default:
      return false;
  }
  if (!Invertible(Result)) return false;
  const size_t At = FWriter.Begin(EMR_MODIFYWORLDTRANSFORM, 36);
  PutXForm(FWriter, At, Mode == MWT_IDENTITY ? TXForm{} : X);
  FWriter.PutI32(At + xform::Mode, Mode);
  FState.World = Result;
  return true;
}

int TMetafileCanvas::SaveDC() {
  CheckOpen();
  WriteSimple(EMR_SAVEDC);
  FSaved.push_back(FState);
  return static_cast<int>(FSaved.size());
}

bool TMetafileCanvas::RestoreDC(int Level) {
  CheckOpen();
  const int Depth = static_cast<int>(FSaved.size());
  int Keep;  // saved states that remain below the restored one
  if (Level > 0 && Level <= Depth)
    Keep = Level - 1;
  else if (Level < 0 && -Level <= Depth)
    Keep = Depth + Level;
  else
    return false;
  // The record counts back from the current state, as GDI writes it; readers
  // refuse absolute levels.
  WriteInt(EMR_RESTOREDC, static_cast<uint32_t>(Keep - Depth));
  // Objects selected now or only in the discarded states may become free.
  for (uint32_t Index : {FState.PenObject, FState.BrushObject, FState.FontObject})
    FPendingDelete.push_back(Index);
  for (int I = Keep + 1; I < Depth; ++I)
    for (uint32_t Index : {FSaved[I].PenObject, FSaved[I].BrushObject, FSaved[I].FontObject})
      FPendingDelete.push_back(Index);
  FState = std::move(FSaved[Keep]);
  FSaved.resize(Keep);
  std::vector<uint32_t> Pending;
  Pending.swap(FPendingDelete);
  for (uint32_t Index : Pending) ReleaseObject(Index);
  return true;
}

// --- attributes --------------------------------------------------------------------

void TMetafileCanvas::SetTextColor(TColorRef Color) {
  CheckOpen();
  WriteInt(EMR_SETTEXTCOLOR, Color);
  FState.TextColor = Color;
}

void TMetafileCanvas::SetBkColor(TColorRef Color) {
  CheckOpen();
  WriteInt(EMR_SETBKCOLOR, Color);
  FState.BkColor = Color;
}

void TMetafileCanvas::SetBkMode(int Mode) {
  CheckOpen();
  if (Mode != TRANSPARENT && Mode != OPAQUE) return;
  WriteInt(EMR_SETBKMODE, static_cast<uint32_t>(Mode));
  FState.BkMode = Mode;
}

void TMetafileCanvas::SetPolyFillMode(int Mode) {
  CheckOpen();
  if (Mode != ALTERNATE && Mode != WINDING) return;
  WriteInt(EMR_SETPOLYFILLMODE, static_cast<uint32_t>(Mode));
  FState.PolyFillMode = Mode;
}

void TMetafileCanvas::SetArcDirection(int Direction) {
  CheckOpen();
  if (Direction != AD_COUNTERCLOCKWISE && Direction != AD_CLOCKWISE) return;
  WriteInt(EMR_SETARCDIRECTION, static_cast<uint32_t>(Direction));
  FState.ArcDirection = Direction;
}

void TMetafileCanvas::SetTextAlign(uint32_t Flags) {
  CheckOpen();
  WriteInt(EMR_SETTEXTALIGN, Flags);
  FState.TextAlign = Flags;
}

void TMetafileCanvas::SetStretchBltMode(int Mode) {
  CheckOpen();
  if (Mode < BLACKONWHITE || Mode > HALFTONE) return;
  WriteInt(EMR_SETSTRETCHBLTMODE, static_cast<uint32_t>(Mode));
  FState.StretchMode = Mode;
}

void TMetafileCanvas::SetROP2(int Mode) {
  CheckOpen();
  if (Mode < 1 || Mode > 16) return;
  WriteInt(EMR_SETROP2, static_cast<uint32_t>(Mode));
  FState.Rop2 = Mode;
}

void TMetafileCanvas::SetMiterLimit(int Limit) {
  CheckOpen();
  if (Limit < 1) return;
  WriteInt(EMR_SETMITERLIMIT, static_cast<uint32_t>(Limit));
  FState.MiterLimit = Limit;
}

// --- small records -----------------------------------------------------------------

void TMetafileCanvas::WriteSimple(uint32_t Type) {
  FWriter.Begin(Type, 8);
}

void TMetafileCanvas::WriteInt(uint32_t Type, uint32_t Value) {
  const size_t At = FWriter.Begin(Type, 12);
  FWriter.Put32(At + 8, Value);
}

void TMetafileCanvas::WritePoint(uint32_t Type, int X, int Y) {
  const size_t At = FWriter.Begin(Type, 16);
  FWriter.PutI32(At + 8, X);
  FWriter.PutI32(At + 12, Y);
}

void TMetafileCanvas::WriteBox(uint32_t Type, int X1, int Y1, int X2, int Y2) {
  const size_t At = FWriter.Begin(Type, 24);
  FWriter.PutI32(At + box::Left, X1);
  FWriter.PutI32(At + box::Top, Y1);
  FWriter.PutI32(At + box::Right, X2);
  FWriter.PutI32(At + box::Bottom, Y2);
}

void TMetafileCanvas::WriteBoxPoints(uint32_t Type, int X1, int Y1, int X2, int Y2, int X3, int Y3,
                                     int X4, int Y4) {
  const size_t At = FWriter.Begin(Type, 40);
  FWriter.PutI32(At + box::Left, X1);
  FWriter.PutI32(At + box::Top, Y1);
  FWriter.PutI32(At + box::Right, X2);
  FWriter.PutI32(At + box::Bottom, Y2);
  FWriter.PutI32(At + box::StartX, X3);
  FWriter.PutI32(At + box::StartY, Y3);
  FWriter.PutI32(At + box::EndX, X4);
  FWriter.PutI32(At + box::EndY, Y4);
}

// --- objects ----------------------------------------------------------------------

uint32_t TMetafileCanvas::AllocateObject() {
  for (size_t I = 1; I < FObjectUsed.size(); ++I) {
    if (!FObjectUsed[I]) {
      FObjectUsed[I] = 1;
      return static_cast<uint32_t>(I);
    }
  }
  // The header counts handles in 16 bits.
  if (FObjectUsed.size() >= 0xFFFF) throw Exception("Too many metafile objects");
  FObjectUsed.push_back(1);
  return static_cast<uint32_t>(FObjectUsed.size() - 1);
}

bool TMetafileCanvas::ObjectInUse(uint32_t Index) const {
  const auto Uses = [Index](const TState& S) {
    return S.PenObject == Index || S.BrushObject == Index || S.FontObject == Index;
  };
  if (Uses(FState)) return true;
  return std::any_of(FSaved.begin(), FSaved.end(), Uses);
}

void TMetafileCanvas::ReleaseObject(uint32_t Index) {
  if (Index == kNoObject || (Index & STOCK_OBJECT_FLAG) || Index >= FObjectUsed.size() ||
      !FObjectUsed[Index])
    return;
  if (ObjectInUse(Index)) {
    // A saved state still selects it: delete it once that state is gone.
    if (std::find(FPendingDelete.begin(), FPendingDelete.end(), Index) == FPendingDelete.end())
      FPendingDelete.push_back(Index);
    return;
  }
  DeleteObjectRecord(Index);
  FObjectUsed[Index] = 0;
}

void TMetafileCanvas::SelectObjectRecord(uint32_t Index) {
  WriteInt(EMR_SELECTOBJECT, Index);
}
void TMetafileCanvas::DeleteObjectRecord(uint32_t Index) {
  WriteInt(EMR_DELETEOBJECT, Index);
}

void TMetafileCanvas::WriteCreatePen(uint32_t Index, const TPen& P) {
  const bool Extended = P.Style == psUserStyle || P.Style == psAlternate || P.EndCap != peRound ||
                        P.JoinStyle != pjRound;
  if (!Extended) {
    const size_t At = FWriter.Begin(EMR_CREATEPEN, pen::Size);
    FWriter.Put32(At + pen::Index, Index);
    FWriter.Put32(At + pen::Style, static_cast<uint32_t>(P.Style));
    FWriter.PutI32(At + pen::Width, P.Width);
    FWriter.PutI32(At + pen::WidthY, 0);
    FWriter.Put32(At + pen::Color, P.Color & 0xFFFFFF);
    return;
  }
  uint32_t Style = static_cast<uint32_t>(P.Style);
  int Width = P.Width;
  if (P.Style == psAlternate) {
    Style |= PS_COSMETIC;  // alternate pixels exist only for one-pixel pens
    Width = 1;
  } else {
    Style |= PS_GEOMETRIC;
    Style |= P.EndCap == peSquare ? PS_ENDCAP_SQUARE
             : P.EndCap == peFlat ? PS_ENDCAP_FLAT
                                  : PS_ENDCAP_ROUND;
    Style |= P.JoinStyle == pjBevel   ? PS_JOIN_BEVEL
             : P.JoinStyle == pjMiter ? PS_JOIN_MITER
                                      : PS_JOIN_ROUND;
    if (Width < 1) Width = 1;
  }
  const size_t Entries = P.Style == psUserStyle ? P.Dashes.size() : 0;
  const size_t At = FWriter.Begin(EMR_EXTCREATEPEN, extpen::Entries + 4 * uint64_t{Entries});
  FWriter.Put32(At + extpen::Index, Index);
  FWriter.Put32(At + extpen::Style, Style);
  FWriter.PutI32(At + extpen::Width, Width);
  FWriter.Put32(At + extpen::BrushStyle, BS_SOLID);
  FWriter.Put32(At + extpen::Color, P.Color & 0xFFFFFF);
  FWriter.Put32(At + extpen::NumEntries, static_cast<uint32_t>(Entries));
  for (size_t I = 0; I < Entries; ++I) FWriter.Put32(At + extpen::Entries + 4 * I, P.Dashes[I]);
}

void TMetafileCanvas::WriteCreateBrush(uint32_t Index, const TBrush& B) {
  const size_t At = FWriter.Begin(EMR_CREATEBRUSHINDIRECT, brush::Size);
  FWriter.Put32(At + brush::Index, Index);
  uint32_t Style = BS_SOLID, Hatch = 0;
  switch (B.Style) {
    case bsSolid:
      break;
    case bsClear:
      Style = BS_NULL;
      break;
    case bsHorizontal:
    case bsVertical:
    case bsFDiagonal:
    case bsBDiagonal:
    case bsCross:
    case bsDiagCross:
      Style = BS_HATCHED;
      Hatch = HS_HORIZONTAL + (B.Style - bsHorizontal);
      break;
  }
  FWriter.Put32(At + brush::Style, Style);
  FWriter.Put32(At + brush::Color, B.Color & 0xFFFFFF);
  FWriter.Put32(At + brush::Hatch, Hatch);
}

void TMetafileCanvas::WriteCreateFont(uint32_t Index, const TCanvasFont& F) {
  const size_t At = FWriter.Begin(EMR_EXTCREATEFONTINDIRECTW, kFontRecordSize);
  FWriter.Put32(At + font::Index, Index);
  const size_t L = At + font::LogFont;
  FWriter.PutI32(L + logfont::Height, F.Height);
  FWriter.PutI32(L + logfont::Width, F.Width);
  FWriter.PutI32(L + logfont::Escapement, F.Escapement);
  FWriter.PutI32(L + logfont::Orientation, F.Orientation);
  FWriter.PutI32(L + logfont::Weight, F.Weight);
  FWriter.Put8(L + logfont::Italic, F.Italic ? 1 : 0);
  FWriter.Put8(L + logfont::Underline, F.Underline ? 1 : 0);
  FWriter.Put8(L + logfont::StrikeOut, F.StrikeOut ? 1 : 0);
  FWriter.Put8(L + logfont::CharSet, F.Charset);
  FWriter.Put8(L + logfont::Quality, F.Quality);
  FWriter.Put8(L + logfont::PitchAndFamily, F.PitchAndFamily);
  // The face name, at most 31 units and a terminating zero; the full name
  // repeats it.
  const std::u16string Face = platform::MultiByteToUnicode(F.Name, 1252);
  const size_t N = std::min<size_t>(Face.size(), logfont::FaceNameChars - 1);
  const size_t FullName = L + font::LogFontWSize;
  for (size_t I = 0; I < N; ++I) {
    FWriter.Put16(L + logfont::FaceName + 2 * I, Face[I]);
    FWriter.Put16(FullName + 2 * I, Face[I]);
  }
  // Full name (64 units), style (32) and script (32) follow; then the design
  // vector's signature and its axis count 0.
  FWriter.Put32(At + kFontRecordSize - 8, kDesignVectorSignature);
}

void TMetafileCanvas::RealizePen() {
  TState& S = FState;
  if (S.PenObject != kNoObject && S.Pen == S.SelectedPen) return;
  const uint32_t Old = S.PenObject;
  uint32_t New;
  if (S.Pen.Style == psClear) {
    New = STOCK_OBJECT_FLAG | NULL_PEN;
  } else {
    New = AllocateObject();
    WriteCreatePen(New, S.Pen);
  }
  S.SelectedPen = S.Pen;
  if (New == Old) return;
  SelectObjectRecord(New);
  S.PenObject = New;
  ReleaseObject(Old);
}

void TMetafileCanvas::RealizeBrush() {
  TState& S = FState;
  if (S.BrushObject != kNoObject && S.Brush == S.SelectedBrush) return;
  const uint32_t Old = S.BrushObject;
  uint32_t New;
  if (S.Brush.Style == bsClear) {
    New = STOCK_OBJECT_FLAG | NULL_BRUSH;
  } else {
    New = AllocateObject();
    WriteCreateBrush(New, S.Brush);
  }
  S.SelectedBrush = S.Brush;
  if (New == Old) return;
  SelectObjectRecord(New);
  S.BrushObject = New;
  ReleaseObject(Old);
}

void TMetafileCanvas::RealizeFont() {
  TState& S = FState;
  if (S.FontObject != kNoObject && S.Font == S.SelectedFont) return;
  const uint32_t Old = S.FontObject;
  const uint32_t New = AllocateObject();
  WriteCreateFont(New, S.Font);
  S.SelectedFont = S.Font;
  SelectObjectRecord(New);
  S.FontObject = New;
  ReleaseObject(Old);
}

bool TMetafileCanvas::SelectStockObject(uint32_t Index) {
  CheckOpen();
  TState& S = FState;
  const uint32_t Object = STOCK_OBJECT_FLAG | Index;
  if (Index <= NULL_BRUSH) {
    static constexpr TColorRef kColors[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0, 0};
    S.Brush = {kColors[Index], Index == NULL_BRUSH ? bsClear : bsSolid};
    S.SelectedBrush = S.Brush;
    if (S.BrushObject == Object) return true;
    const uint32_t Old = S.BrushObject;
    SelectObjectRecord(Object);
    S.BrushObject = Object;
    ReleaseObject(Old);
    return true;
  }
  if (Index <= NULL_PEN) {
    TPen P;
    P.Width = 0;
    P.Color = Index == WHITE_PEN ? 0xFFFFFF : 0;
    P.Style = Index == NULL_PEN ? psClear : psSolid;
    S.Pen = P;
    S.SelectedPen = P;
    if (S.PenObject == Object) return true;
    const uint32_t Old = S.PenObject;
    SelectObjectRecord(Object);
    S.PenObject = Object;
    ReleaseObject(Old);
    return true;
  }
  return false;
}

const platform::TFont* TMetafileCanvas::MeasuringFont() {
  const TCanvasFont& F = FState.Font;
  // Text is measured at its size on the device, as GDI does.
  // Sizes beyond what a rasteriser takes are held at its limit.
  const auto Pixels = [](double V) {
    return static_cast<int>(std::lround(std::clamp(V, -32767.0, 32767.0)));
  };
  int Height = Pixels(F.Height * ScaleY());
  if (Height == 0 && F.Height != 0) Height = F.Height < 0 ? -1 : 1;
  const int Width = Pixels(F.Width * ScaleX());
  if (FMeasure && FMeasureHeight == Height && FMeasureWidth == Width && FMeasureFont == F)
    return FMeasure.get();
  platform::TLogFont Request;
  Request.FaceName = F.Name;
  Request.Height = Height;
  Request.Width = Width;
  Request.Weight = F.Weight;
  Request.Italic = F.Italic;
  Request.Charset = F.Charset;
  FMeasure = platform::TFont::Create(Request);
  if (!FMeasure) throw Exception("No font available for text");
  FMeasureFont = F;
  FMeasureHeight = Height;
  FMeasureWidth = Width;
  return FMeasure.get();
}

}  // namespace quillora
