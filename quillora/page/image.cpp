#include "quillora/page/image.h"

#include "quillora/core/compression_stream.h"
#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/core/tokens.h"
#include "quillora/page/ccitt.h"
#include "quillora/page/images.h"
#include "quillora/platform/bitmap.h"
#include "quillora/platform/jpeg.h"

namespace quillora {

TPDFImage::TPDFImage(TPDFDocument* Document, const TGraphic* Picture, TImageEncoding Compression,
                     int MaskIndex, bool IsMask, int64_t TransparentColor) {
  const auto* bitmap = dynamic_cast<const TBitmap*>(Picture);
  const auto* jpeg = dynamic_cast<const TJPEGImage*>(Picture);

  // Which bit value the palette makes black: compare bit 0 of the first
  // pixel with its colour.
  if (bitmap && bitmap->BitsPerPixel() == 1 && Compression != ieJPEG && bitmap->Width() > 0 &&
      bitmap->Height() > 0) {
    const bool topBit = (bitmap->ScanLine(0)[0] & 0x80) != 0;
    const bool notBlack = bitmap->Pixel(0, 0) > 0;
    FBlackIs1 = topBit != notBlack;
  }

  if (MaskIndex >= 0) {
    if (IsMask) throw TPDFException("Mask Image cannot have mask");
    if (!Document || MaskIndex >= Document->Images().Count())
      throw TPDFException("Unknow Mask Image. Out of bound.");
    if (!Document->Images().Items(MaskIndex)->IsMask())
      throw TPDFException("Mask Image not marked as \"Mask Image\".");
  }
  if (IsMask && !bitmap) throw TPDFException("Create Mask available only for bitmap images");

  FMaskIndex = MaskIndex;
  FIsMask = IsMask;
  FCompression = Compression;
  FDocument = Document;
  if (!bitmap && !jpeg) throw TPDFException("Not valid image.");
  FWidth = Picture->Width();
  FHeight = Picture->Height();

  if (IsMask) {
    EncodeMask(*bitmap, TransparentColor);
    return;
  }
  switch (Compression) {
    case ieJPEG:
      EncodeJPEG(*Picture);
      break;
    case ieFlate:
      if (bitmap) {
        EncodeFlate(*bitmap);
      } else {
        EncodeFlate(jpeg->ToBitmap());
      }
      break;
    case ieCCITTG3:
    case ieCCITTG3TwoD:
    case ieCCITTG4:
      if (!bitmap) throw TPDFException("CCITT compression work only for bitmap");
      EncodeCCITT(*bitmap);
      break;
    default:
      throw TPDFException("Not valid image.");
  }
}

void TPDFImage::EncodeMask(const TBitmap& Bitmap, int64_t TransparentColor) {
  TBitmap mask = Bitmap;
  mask.SetPixelFormat(pf24bit);
  const TColorRef color =
      TransparentColor == -1 ? Bitmap.TransparentColor() : static_cast<TColorRef>(TransparentColor);
  // Transparent pixels white, all others black, in the standard black-and-
  // white palette: the stored bit 1 marks the masked-out pixels.
  mask.Mask(color);
  mask.SetPixelFormat(pf1bit);
  FGray = true;
  FCompression = ieCCITTG4;
  FBitsPerComponent = 1;
  // The mask is rebuilt with black as 0 whatever the picture's palette was.
  FBlackIs1 = false;
  CCITTCompressBitmap(mask, &FData, 2);
}

void TPDFImage::EncodeJPEG(const TGraphic& Picture) {
  const int quality = FDocument ? FDocument->JPEGQuality() : 80;
  FBitsPerComponent = 8;
  if (FWidth == 0 || FHeight == 0) return;  // nothing to encode
  TJPEGImage encoder;
  encoder.SetProgressiveEncoding(false);
  encoder.SetCompressionQuality(quality);
  if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&Picture)) {
    if (jpeg->Components() == 4) {
      // DeviceRGB cannot describe CMYK data: store it as RGB.
      encoder.Assign(jpeg->ToBitmap());
    } else {
      // JPEG data is stored as it is.
      FData = jpeg->Data();
      FGray = jpeg->Grayscale();
      return;
    }
  } else {
    encoder.Assign(static_cast<const TBitmap&>(Picture));
  }
  FData = encoder.Data();
  FGray = encoder.Grayscale();
}

void TPDFImage::EncodeFlate(const TBitmap& Bitmap) {
  FBitsPerComponent = 8;
  const TBitmap* source = &Bitmap;
  TBitmap converted;
  if (Bitmap.BitsPerPixel() != 24) {
    converted = Bitmap;
    converted.SetPixelFormat(pf24bit);
    source = &converted;
  }
  const int w = source->Width();
  std::string row(static_cast<size_t>(w) * 3, '\0');
  TCompressionStream z(clDefault, FData);
  for (int y = 0; y < source->Height(); ++y) {
    const uint8_t* p = source->ScanLine(y);
    for (int x = 0; x < w; ++x) {  // blue-green-red to red-green-blue
      row[3 * x] = static_cast<char>(p[3 * x + 2]);
      row[3 * x + 1] = static_cast<char>(p[3 * x + 1]);
      row[3 * x + 2] = static_cast<char>(p[3 * x]);
    }
    z.Write(row);
  }
  z.Finish();
}

void TPDFImage::EncodeCCITT(const TBitmap& Bitmap) {
  const TBitmap* source = &Bitmap;
  TBitmap converted;
  if (Bitmap.PixelFormat() != pf1bit) {
    if (Bitmap.PixelFormat() != pfDevice || Bitmap.BitsPerPixel() != 1)
      throw Exception("Cannot compress not monochrome image via CCITT");
    converted = Bitmap;
    converted.SetPixelFormat(pf1bit);
    source = &converted;
  }
  FBitsPerComponent = 1;
  const int mode = FCompression == ieCCITTG3 ? 0 : (FCompression == ieCCITTG3TwoD ? 1 : 2);
  CCITTCompressBitmap(*source, &FData, mode);
}

void TPDFImage::Save(TPDFDocument& Document) {
  if (FWritten) return;
  TPDFImage* mask = nullptr;
  if (FMaskIndex >= 0) {
    mask = Document.Images().Items(FMaskIndex);
    mask->Save(Document);
  }
  Document.StartObject(FObjectNumber);
  Document.WriteText("/Type /XObject");
  Document.WriteText("/Subtype /Image");
  Document.WriteText(FBitsPerComponent == 1 || FGray ? "/ColorSpace /DeviceGray"
                                                     : "/ColorSpace /DeviceRGB");
  Document.WriteText("/BitsPerComponent " + IntToStr(FBitsPerComponent));
  Document.WriteText("/Width " + IntToStr(FWidth));
  Document.WriteText("/Height " + IntToStr(FHeight));
  if (FIsMask) Document.WriteText("/ImageMask true");
  if (mask) Document.WriteText("/Mask " + IntToStr(mask->ObjectNumber()) + " 0 R");
  switch (FCompression) {
    case ieFlate:
      Document.WriteText("/Filter /FlateDecode");
      break;
    case ieJPEG:
      Document.WriteText("/Filter /DCTDecode");
      break;
    default:
      Document.WriteText("/Filter [/CCITTFaxDecode]");
      break;
  }
  Document.WriteText("/Length " + IntToStr(static_cast<int64_t>(FData.size())));
  if (FCompression >= ieCCITTG3) {
    const char* k = FCompression == ieCCITTG3 ? "0" : (FCompression == ieCCITTG3TwoD ? "1" : "-1");
    Document.WriteText(std::string("/DecodeParms [<</K ") + k + " /Columns " + IntToStr(FWidth) +
                       " /Rows " + IntToStr(FHeight) + (FBlackIs1 ? "/BlackIs1 true" : "") + ">>]");
  }
  Document.EndDictionary();
  Document.StartStream();
  Document.EncryptStream(FData, FObjectNumber);
  Document.WriteBytes(FData);
  std::string().swap(FData);
  Document.EndStream();
  Document.EndObject();
  FWritten = true;
}

}  // namespace quillora
