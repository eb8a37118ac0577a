// TPDFImage: one image XObject of the document, encoded when it is created
// and written once.
#pragma once

#include <string>

#include "quillora/core/types.h"

namespace quillora {

class TPDFDocument;
class TPDFImages;
class TGraphic;
class TBitmap;

class TPDFImage {
 public:
  // Picture is a TBitmap or a TJPEGImage. Document may be null (JPEG
  // quality 80, no mask lookups). TransparentColor -1 takes the bitmap's
  // own transparent colour. Raises TPDFException for a bad mask or picture,
  // and Exception "Cannot compress not monochrome image via CCITT".
  TPDFImage(TPDFDocument* Document, const TGraphic* Picture, TImageEncoding Compression,
            int MaskIndex = -1, bool IsMask = false, int64_t TransparentColor = -1);

  const std::string& Name() const { return FName; }
  void SetName(std::string Name) { FName = std::move(Name); }
  // -1 until written.
  int ObjectNumber() const { return FObjectNumber; }
  bool Written() const { return FWritten; }
  bool Gray() const { return FGray; }
  int BitsPerComponent() const { return FBitsPerComponent; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  TImageEncoding Compression() const { return FCompression; }
  bool IsMask() const { return FIsMask; }
  int MaskIndex() const { return FMaskIndex; }
  bool BlackIs1() const { return FBlackIs1; }
  // The encoded samples; emptied once written.
  const std::string& Data() const { return FData; }

  // Writes the image object, its mask first; nothing when already written.
  void Save(TPDFDocument& Document);

 private:
  void EncodeMask(const TBitmap& Bitmap, int64_t TransparentColor);
  void EncodeJPEG(const TGraphic& Picture);
  void EncodeFlate(const TBitmap& Bitmap);
  void EncodeCCITT(const TBitmap& Bitmap);

  TPDFDocument* FDocument = nullptr;
  TImageEncoding FCompression = ieFlate;
  std::string FName;
  int FObjectNumber = -1;
  int FWidth = 0;
  int FHeight = 0;
  std::string FData;
  int FBitsPerComponent = 8;
  bool FGray = false;
  bool FWritten = false;
  bool FIsMask = false;
  int FMaskIndex = -1;
  bool FBlackIs1 = false;
};

}  // namespace quillora
