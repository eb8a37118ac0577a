#include <cmath>

#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/page/images.h"
#include "quillora/page/page.h"

namespace quillora {

void TPDFPage::DrawImage(int Index, long double X, long double Y, long double Width,
                         long double Height, long double Angle) {
  if (Width == 0 || Height == 0) return;
  const long double x = ToPageX(X);
  const long double y = ToPageY(Y);
  const long double w = Width / FK;
  const long double h = Height / FK;
  TPDFImages& images = FDocument.Images();
  if (Index < 0 || Index >= images.Count()) throw TPDFException("Out of range");
  TPDFImage* image = images.Items(Index);
  if (image->BitsPerComponent() == 1 || image->Gray())
    SetUsesGrayImage();
  else
    SetUsesColorImage();
  SaveState();
  Translate(x, y - h);
  if (std::fabs(Angle) > 0.001L) Rotate(Angle);
  Concat(w, 0, 0, h, 0, 0);
  WriteContent("/" + image->Name() + " Do");
  RestoreState();
  UseImage(image);
}

}  // namespace quillora
