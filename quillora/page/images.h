// The document's image registry: owns the images, names them "Im" + index.
#pragma once

#include <memory>
#include <vector>

#include "quillora/page/image.h"

namespace quillora {

class TPDFImages {
 public:
  explicit TPDFImages(TPDFDocument& Document) : FDocument(Document) {}

  // Creates the image (see TPDFImage), appends it and names it; a failure
  // leaves the registry unchanged.
  TPDFImage* Add(const TGraphic* Picture, TImageEncoding Compression, int MaskIndex = -1,
                 bool IsMask = false, int64_t TransparentColor = -1);
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises TPDFException "Out of range" for a bad index.
  TPDFImage* Items(int Index) const;

 private:
  TPDFDocument& FDocument;
  std::vector<std::unique_ptr<TPDFImage>> FItems;
};

}  // namespace quillora
