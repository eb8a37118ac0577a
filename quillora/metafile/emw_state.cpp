// Device-context state records, the coordinate mapping and the colour
// operators through which pens and brushes reach the page.
#include <cmath>

#include "quillora/core/exception.h"
#include "quillora/metafile/emw_parser.h"
#include "quillora/page/page.h"
#include "quillora/platform/codepage.h"
#include "quillora/platform/font_system.h"

namespace quillora {

using namespace emf;

namespace {

// A division the mapping needs but the metafile made impossible ends the
// record; playback goes on with the next one.
long double Divide(long double A, long double B) {
  if (B == 0) throw Exception("Floating point division by zero");
  return A / B;
}

long double Component(TColorRef C, int Shift) {
  return ((C >> Shift) & 0xFF) / 255.0L;
}

}  // namespace

// --- mapping -------------------------------------------------------------------

long double TEMWParser::MapX(long double X) const {
  if (FWindowScale.On) X = Divide(X * FWindowScale.XDenom, FWindowScale.XNum);
  if (FMapMode == MM_ISOTROPIC || FMapMode == MM_ANISOTROPIC)
    X = Divide((X - FWindowOrg.X) * FViewportExt.X, FWindowExt.X) + FViewportOrg.X;
  else
    X = X - FWindowOrg.X + FViewportOrg.X;
  if (FViewportScale.On) X = Divide(X * FViewportScale.XNum, FViewportScale.XDenom);
  return X * FWorldScaleX * FScaleX + FWorldOffsetX;
}

long double TEMWParser::MapY(long double Y) const {
  if (FWindowScale.On) Y = Divide(Y * FWindowScale.YDenom, FWindowScale.YNum);
  if (FMapMode == MM_ISOTROPIC || FMapMode == MM_ANISOTROPIC)
    Y = Divide((Y - FWindowOrg.Y) * FViewportExt.Y, FWindowExt.Y) + FViewportOrg.Y;
  else
    Y = Y - FWindowOrg.Y + FViewportOrg.Y;
  if (FViewportScale.On) Y = Divide(Y * FViewportScale.YNum, FViewportScale.YDenom);
  return Y * FWorldScaleY * FScaleY + FWorldOffsetY;
}

long double TEMWParser::SizeScaleX() const {
  if (FMapMode == MM_TEXT) return 1;
  return std::fabs(Divide(FViewportExt.X, FWindowExt.X));
}

long double TEMWParser::SizeScaleY() const {
  if (FMapMode == MM_TEXT) return 1;
  return std::fabs(Divide(FViewportExt.Y, FWindowExt.Y));
}

void TEMWParser::SetWorldFields(const TXForm& T) {
  FWorldScaleX = T.eM11;
  FWorldScaleY = T.eM22;
  FWorldOffsetX = FScaleX * T.eDx;
  FWorldOffsetY = FScaleY * T.eDy;
}

// --- colours ---------------------------------------------------------------------

void TEMWParser::WriteFill(TColorRef Color) {
  FLastFillColor = Color;
  FPage.SetRGBFill(Component(Color, 0), Component(Color, 8), Component(Color, 16));
}

void TEMWParser::SetFillFromBrush(bool SkipIfSame) {
  FBrushColor = ResolveColor(FBrushColor);
  if (FBrushColor == FLastFillColor && SkipIfSame) return;
  WriteFill(FBrushColor);
}

void TEMWParser::SetFillFromTextColor() {
  if (FTextColor == FLastFillColor && !FFontChanged) return;
  WriteFill(FTextColor);
}

void TEMWParser::SetFillFromBackground() {
  if (FBkColor == FLastFillColor) return;
  WriteFill(FBkColor);
}

void TEMWParser::SetStrokeFromPen() {
  FPenColor = ResolveColor(FPenColor);
  FPage.SetRGBStroke(Component(FPenColor, 0), Component(FPenColor, 8), Component(FPenColor, 16));
}

void TEMWParser::EndTextColorMode() {
  if (!FTextColorMode) return;
  FTextColorMode = false;
  SetFillFromBrush(true);
}

// --- window, viewport, mapping mode, world transform ------------------------------

void TEMWParser::DoSetExtOrg(const TRecord& R) {
  const TIntPoint P{R.I32(8), R.I32(12)};
  switch (R.Type()) {
    case EMR_SETWINDOWEXTEX:
      FWindowExt = FDC.WindowExt = P;
      break;
    case EMR_SETWINDOWORGEX:
      FWindowOrg = FDC.WindowOrg = P;
      break;
    case EMR_SETVIEWPORTEXTEX:
      FViewportExt = FDC.ViewportExt = P;
      break;
    default:
      FViewportOrg = FDC.ViewportOrg = P;
      break;
  }
}

void TEMWParser::DoScaleExt(const TRecord& R) {
  TScale S;
  S.On = true;
  S.XNum = R.I32(scaleext::XNum);
  S.XDenom = R.I32(scaleext::XDenom);
  S.YNum = R.I32(scaleext::YNum);
  S.YDenom = R.I32(scaleext::YDenom);
  (R.Type() == EMR_SCALEWINDOWEXTEX ? FWindowScale : FViewportScale) = S;
}

void TEMWParser::DoSetMapMode(const TRecord& R) {
  FMapMode = FDC.MapMode = R.I32(8);
  FFontChanged = true;
}

namespace {

TXForm ReadXForm(const TRecord& R) {
  TXForm T;
  T.eM11 = R.F32(xform::M11);
  T.eM12 = R.F32(xform::M12);
  T.eM21 = R.F32(xform::M21);
  T.eM22 = R.F32(xform::M22);
  T.eDx = R.F32(xform::Dx);
  T.eDy = R.F32(xform::Dy);
  return T;
}

}  // namespace

void TEMWParser::DoSetWorldTransform(const TRecord& R) {
  FDC.World = ReadXForm(R);
  SetWorldFields(FDC.World);
}

void TEMWParser::DoModifyWorldTransform(const TRecord& R) {
  const TXForm T = ReadXForm(R);
  switch (R.I32(xform::Mode)) {
    case MWT_IDENTITY:
      FDC.World = TXForm();
      break;
    case MWT_LEFTMULTIPLY:
      FDC.World = CombineTransform(T, FDC.World);
      break;
    case MWT_RIGHTMULTIPLY:
      FDC.World = CombineTransform(FDC.World, T);
      break;
    case MWT_SET:
      FDC.World = T;
      break;
    default:
      break;
  }
  SetWorldFields(FDC.World);
}

// --- object table ------------------------------------------------------------------

void TEMWParser::DoCreatePen(const TRecord& R) {
  const uint32_t Index = R.U32(pen::Index);
  TGdiObject O;
  O.Kind = TObjectKind::okPen;
  O.Pen.Style = R.U32(pen::Style) & PS_STYLE_MASK;
  O.Pen.Width = R.I32(pen::Width);
  O.Pen.Color = R.U32(pen::Color);
  if (Index < FObjects.size()) FObjects[Index] = O;
}

void TEMWParser::DoExtCreatePen(const TRecord& R) {
  const uint32_t Index = R.U32(extpen::Index);
  TGdiObject O;
  O.Kind = TObjectKind::okPen;
  O.Pen.Style = R.U32(extpen::Style) & PS_STYLE_MASK;
  O.Pen.Width = R.I32(extpen::Width);
  O.Pen.Color = R.U32(extpen::Color);
  if (Index < FObjects.size()) FObjects[Index] = O;
}

void TEMWParser::DoCreateBrush(const TRecord& R) {
  const uint32_t Index = R.U32(brush::Index);
  TGdiObject O;
  O.Kind = TObjectKind::okBrush;
  O.Brush.Style = R.U32(brush::Style);
  O.Brush.Color = R.U32(brush::Color);
  O.Brush.Hatch = R.U32(brush::Hatch);
  if (Index < FObjects.size()) FObjects[Index] = O;
}

void TEMWParser::DoCreateFont(const TRecord& R) {
  const uint32_t Index = R.U32(font::Index);
  const uint8_t* LF = R.Bytes(font::LogFont, font::LogFontWSize);
  TGdiObject O;
  O.Kind = TObjectKind::okFont;
  TLogFontA& F = O.Font;
  F.Height = TRecord::LoadI32(LF + logfont::Height);
  F.Width = TRecord::LoadI32(LF + logfont::Width);
  F.Escapement = TRecord::LoadI32(LF + logfont::Escapement);
  F.Orientation = TRecord::LoadI32(LF + logfont::Orientation);
  F.Weight = TRecord::LoadI32(LF + logfont::Weight);
  F.Italic = LF[logfont::Italic];
  F.Underline = LF[logfont::Underline];
  F.StrikeOut = LF[logfont::StrikeOut];
  F.CharSet = LF[logfont::CharSet];
  F.OutPrecision = LF[logfont::OutPrecision];
  F.ClipPrecision = LF[logfont::ClipPrecision];
  F.Quality = LF[logfont::Quality];
  F.PitchAndFamily = LF[logfont::PitchAndFamily];
  // The single-byte face name, in the system code page; characters it cannot
  // hold become '?'.
  std::u16string Wide;
  for (size_t i = 0; i < logfont::FaceNameChars; ++i) {
    const char16_t C = TRecord::LoadU16(LF + logfont::FaceName + 2 * i);
    if (C == 0) break;
    Wide.push_back(C);
  }
  bool Ascii = true;
  for (char16_t C : Wide) Ascii = Ascii && C < 0x80;
  if (Ascii) {
    std::string Face(Wide.begin(), Wide.end());
    F.SetFace(Face);
  } else {
    F.SetFace(
        platform::UnicodeToMultiByte(Wide, ConverterCodePage(platform::DefaultFontCharset())));
  }
  if (FLogging) FLog.push_back("Font: " + F.Face());
  if (Index < FObjects.size()) FObjects[Index] = O;
}

void TEMWParser::DoDeleteObject(const TRecord& R) {
  const uint32_t Index = R.U32(8);
  if (Index < FObjects.size()) FObjects[Index] = TGdiObject();
}

// --- selection -----------------------------------------------------------------------

void TEMWParser::SelectPen(const TPenObject& Pen) {
  if (Pen.Color != FPenColor) {
    FPenColor = Pen.Color;
    SetStrokeFromPen();
  }
  uint32_t Style = Pen.Style;
  if (Pen.Width > 1) Style = PS_SOLID;
  if (Style != FPenStyle) {
    FPenStyle = Style;
    switch (Style) {
      case PS_SOLID:
      case PS_INSIDEFRAME:
        FPage.SolidLine();
        break;
      case PS_DASH:
        FPage.SetDash("[4 4] 0");
        break;
      case PS_DOT:
        FPage.SetDash("[1 1] 0");
        break;
      case PS_DASHDOT:
        FPage.SetDash("[4 1 1 1] 0");
        break;
      case PS_DASHDOTDOT:
        FPage.SetDash("[4 1 1 1 1 1] 0");
        break;
      default:
        break;
    }
  }
  if (Pen.Width == 0) {
    // A cosmetic pen is one logical unit wide and always writes its width.
    FPenWidth = SizeScaleX() * FWorldScaleX;
    FPage.SetLineWidth(FScaleX * FPenWidth);
    return;
  }
  const long double Width = SizeScaleX() * Pen.Width * FWorldScaleX;
  if (Width != FPenWidth) {
    FPenWidth = Width;
    FPage.SetLineWidth(FScaleX * FPenWidth);
  }
}

void TEMWParser::SelectBrush(const TBrushObject& Brush) {
  FHollowBrush = false;
  if (Brush.Color != FBrushColor) {
    FBrushColor = Brush.Color;
    if (!FTextColorMode) SetFillFromBrush(true);
  }
  if (Brush.Style == BS_NULL) FHollowBrush = true;
}

void TEMWParser::SelectStockObject(uint32_t Index) {
  if (Index <= BLACK_BRUSH || Index == NULL_BRUSH) {
    static constexpr TColorRef kBrushColors[] = {0xFFFFFF, 0xAAAAAA, 0x808080, 0x666666, 0};
    const bool Null = Index == NULL_BRUSH;
    FDC.Brush = TBrushObject{Null ? uint32_t{BS_NULL} : uint32_t{BS_SOLID},
                             Null ? TColorRef{0xFFFFFF} : kBrushColors[Index], 0};
    FHollowBrush = Null;
    FBrushColor = FDC.Brush.Color;
    if (!FTextColorMode) SetFillFromBrush(true);
    return;
  }
  switch (Index) {
    case WHITE_PEN:
    case BLACK_PEN: {
      const TColorRef Color = Index == WHITE_PEN ? 0xFFFFFF : 0;
      FDC.Pen = TPenObject{PS_SOLID, 0, Color};
      FPenColor = Color;
      SetStrokeFromPen();
      if (FPenStyle != PS_SOLID) {
        FPenStyle = PS_SOLID;
        FPage.SolidLine();
      }
      FPenWidth = SizeScaleX() * FWorldScaleX;
      FPage.SetLineWidth(FScaleX * FPenWidth);
      break;
    }
    case NULL_PEN:
      FDC.Pen = TPenObject{PS_NULL, 0, 0};
      FPenStyle = PS_NULL;
      break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
      FDC.Font = StockFont(Index);
      FFont.SetFace("Arial");
      FFontChanged = true;
      break;
    case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT:
    case DEFAULT_GUI_FONT:
      FDC.Font = StockFont(Index);
      break;
    default:
      break;
  }
}

void TEMWParser::DoSelectObject(const TRecord& R) {
  const uint32_t Index = R.U32(8);
  if (Index & STOCK_OBJECT_FLAG) {
    SelectStockObject(Index & ~STOCK_OBJECT_FLAG);
    return;
  }
  if (Index >= FObjects.size()) return;
  const TGdiObject& O = FObjects[Index];
  switch (O.Kind) {
    case TObjectKind::okPen:
      FDC.Pen = O.Pen;
      SelectPen(O.Pen);
      break;
    case TObjectKind::okBrush:
      FDC.Brush = O.Brush;
      SelectBrush(O.Brush);
      break;
    case TObjectKind::okFont: {
      TLogFontA F = O.Font;
      FDC.Font = F;
      if (F.Face().find('?') != std::string::npos) {
        // Characters were lost converting the face name: use the face the
        // font system chose for it.
        platform::TLogFont Request;
        Request.FaceName = F.Face();
        Request.Height = F.Height;
        Request.Weight = F.Weight;
        Request.Italic = F.Italic != 0;
        Request.Charset = F.CharSet;
        if (auto Font = platform::TFont::Create(Request)) F.SetFace(Font->FaceName());
      }
      if (!F.SameLook(FFont)) {
        FFont = F;
        FFontChanged = true;
      } else if (F.Escapement != FFont.Escapement || F.Orientation != FFont.Orientation) {
        FFont = F;
      }
      break;
    }
    case TObjectKind::okNone:
      break;
  }
}

// --- saved states ------------------------------------------------------------------------

void TEMWParser::DoSaveDC() {
  FSaved.Save(FDC);
}

void TEMWParser::DoRestoreDC(const TRecord& R) {
  FSaved.Restore(R.I32(8), FDC);
  if (FClipActive) {
    EndTextColorMode();
    FPage.RestoreState();
    FClipActive = false;
  }
  SetWorldFields(FDC.World);
  FMapMode = FDC.MapMode;
  FBkOpaque = FDC.BkMode != TRANSPARENT;
  FTextColor = FDC.TextColor;
  if (FTextColorMode) SetFillFromTextColor();
  FBkColor = FDC.BkColor;
  FAlternateFill = FDC.PolyFillMode == ALTERNATE;
  FViewportExt = FDC.ViewportExt;
  FWindowExt = FDC.WindowExt;
  FViewportOrg = FDC.ViewportOrg;
  FWindowOrg = FDC.WindowOrg;
  SelectPen(FDC.Pen);
  SelectBrush(FDC.Brush);
  FHollowBrush = FDC.Brush.Style == BS_NULL;
  if (!FDC.Font.SameLook(FFont)) {
    FFont = FDC.Font;
    FFontChanged = true;
  }
  DecodeTextAlign(FDC.TextAlign);
  FArcCounterClockwise = FDC.ArcDirection == AD_COUNTERCLOCKWISE;
}

// --- modes and colours ---------------------------------------------------------------------

void TEMWParser::DecodeTextAlign(uint32_t Flags) {
  switch (Flags & 6) {
    case TA_LEFT:
      FTextHAlign = 0;
      break;
    case TA_RIGHT:
      FTextHAlign = 2;
      break;
    case TA_CENTER:
      FTextHAlign = 1;
      break;
    default:
      break;
  }
  switch (Flags & 0x18) {
    case TA_TOP:
      FTextVAlign = 0;
      break;
    case TA_BOTTOM:
      FTextVAlign = 2;
      break;
    case TA_BASELINE:
      FTextVAlign = 1;
      break;
    default:
      break;
  }
  FTextUpdateCP = (Flags & TA_UPDATECP) != 0;
}

void TEMWParser::DoSimpleState(const TRecord& R) {
  const uint32_t Value = R.U32(8);
  switch (R.Type()) {
    case EMR_SETBKMODE:
      FDC.BkMode = static_cast<int32_t>(Value);
      FBkOpaque = FDC.BkMode != TRANSPARENT;
      break;
    case EMR_SETBKCOLOR:
      FBkColor = FDC.BkColor = Value;
      break;
    case EMR_SETTEXTCOLOR:
      FTextColor = FDC.TextColor = Value;
      if (FTextColorMode) SetFillFromTextColor();
      break;
    case EMR_SETPOLYFILLMODE:
      FDC.PolyFillMode = static_cast<int32_t>(Value);
      FAlternateFill = FDC.PolyFillMode == ALTERNATE;
      break;
    case EMR_SETSTRETCHBLTMODE:
      FStretchMode = FDC.StretchMode = static_cast<int32_t>(Value);
      break;
    case EMR_SETTEXTALIGN:
      FDC.TextAlign = Value;
      DecodeTextAlign(Value);
      break;
    case EMR_SETARCDIRECTION:
      FDC.ArcDirection = static_cast<int32_t>(Value);
      FArcCounterClockwise = FDC.ArcDirection == AD_COUNTERCLOCKWISE;
      break;
    default:
      break;
  }
}

}  // namespace quillora
