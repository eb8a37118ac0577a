#include "quillora/platform/canvas_objects.h"

#include <cmath>
#include <cstdlib>

namespace quillora {

TXForm CombineTransform(const TXForm& A, const TXForm& B) {
  TXForm R;
  R.eM11 = A.eM11 * B.eM11 + A.eM12 * B.eM21;
  R.eM12 = A.eM11 * B.eM12 + A.eM12 * B.eM22;
  R.eM21 = A.eM21 * B.eM11 + A.eM22 * B.eM21;
  R.eM22 = A.eM21 * B.eM12 + A.eM22 * B.eM22;
  R.eDx = A.eDx * B.eM11 + A.eDy * B.eM21 + B.eDx;
  R.eDy = A.eDx * B.eM12 + A.eDy * B.eM22 + B.eDy;
  return R;
}

int TCanvasFont::Size(int PixelsPerInch) const {
  if (PixelsPerInch <= 0) return 0;
  // Points from the character height, rounded like MulDiv.
  const long long H = std::llabs(static_cast<long long>(Height));
  return static_cast<int>((H * 72 + PixelsPerInch / 2) / PixelsPerInch);
}

void TCanvasFont::SetSize(int Points, int PixelsPerInch) {
  const long long P = std::llabs(static_cast<long long>(Points));
  Height = -static_cast<int>((P * PixelsPerInch + 36) / 72);
}

TFontStyles TCanvasFont::Style() const {
  TFontStyles S = 0;
  if (Weight >= 600) S |= fsBold;
  if (Italic) S |= fsItalic;
  if (Underline) S |= fsUnderline;
  if (StrikeOut) S |= fsStrikeOut;
  return S;
}

void TCanvasFont::SetStyle(TFontStyles S) {
  Weight = (S & fsBold) ? 700 : 400;
  Italic = (S & fsItalic) != 0;
  Underline = (S & fsUnderline) != 0;
  StrikeOut = (S & fsStrikeOut) != 0;
}

}  // namespace quillora
