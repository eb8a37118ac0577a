#include "quillora/page/images.h"

#include "quillora/core/exception.h"
#include "quillora/core/tokens.h"

namespace quillora {

TPDFImage* TPDFImages::Add(const TGraphic* Picture, TImageEncoding Compression, int MaskIndex,
                           bool IsMask, int64_t TransparentColor) {
  auto image = std::make_unique<TPDFImage>(&FDocument, Picture, Compression, MaskIndex, IsMask,
                                           TransparentColor);
  image->SetName("Im" + IntToStr(Count()));
  FItems.push_back(std::move(image));
  return FItems.back().get();
}

TPDFImage* TPDFImages::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw TPDFException("Out of range");
  return FItems[static_cast<size_t>(Index)].get();
}

}  // namespace quillora
