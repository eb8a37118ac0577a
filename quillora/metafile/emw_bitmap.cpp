// Bitmap records: the record's device-independent bitmap decoded, combined
// by its raster operation where it has one, added to the document's images
// and placed on the page; records without a bitmap paint with the brush.
#include <cmath>

#include "quillora/core/document.h"
#include "quillora/core/emf_options.h"
#include "quillora/core/exception.h"
#include "quillora/metafile/emw_parser.h"
#include "quillora/page/page.h"
#include "quillora/platform/bitmap.h"
#include "quillora/platform/dib.h"

namespace quillora {

using namespace emf;

namespace {

// Bitmaps larger than this are not decoded: no page picture needs them, and
// a damaged record must not make the converter allocate gigabytes.
constexpr int64_t kMaxRecordPixels = int64_t{1} << 26;

// The bitmap-info block and the bits of a record, checked against it.
struct TDib {
  const uint8_t* Info = nullptr;
  size_t InfoSize = 0;
  const uint8_t* Bits = nullptr;
  size_t BitsSize = 0;
  uint32_t Usage = 0;
  bool Present() const { return InfoSize != 0 && BitsSize != 0; }
  TDIBHeader Header() const { return ReadDIBHeader(Info, InfoSize, Usage); }
};

TDib ReadDib(const TRecord& R, size_t InfoOffsetField, size_t UsageField) {
  TDib D;
  const uint32_t InfoOffset = R.U32(InfoOffsetField), InfoSize = R.U32(InfoOffsetField + 4);
  const uint32_t BitsOffset = R.U32(InfoOffsetField + 8), BitsSize = R.U32(InfoOffsetField + 12);
  D.Usage = R.U32(UsageField);
  if (InfoSize) D.Info = R.Bytes(InfoOffset, InfoSize);
  if (BitsSize) D.Bits = R.Bytes(BitsOffset, BitsSize);
  D.InfoSize = InfoSize;
  D.BitsSize = BitsSize;
  return D;
}

TBitmap NewBitmap(int64_t Width, int64_t Height, bool Monochrome) {
  if (Width > 0 && Height > 0 && Width * Height > kMaxRecordPixels)
    throw Exception("Bitmap too large");
  CheckBitmapSize(Width, Height);
  return TBitmap(static_cast<int>(Width), static_cast<int>(Height), Monochrome ? pf1bit : pf24bit);
}

bool IsBitBltRop(uint32_t Rop) {
  switch (Rop) {
    case 0x000042:
    case 0x1100A6:
    case 0x330008:
    case 0x440328:
    case 0x550009:
    case 0x660046:
    case 0x8800C6:
    case 0xBB0226:
    case 0xC000CA:
    case 0xCC0020:
    case 0xEE0086:
    case 0xF00021:
    case 0xFB0A09:
    case 0xFF0062:
      return true;
    default:
      return false;
  }
}

}  // namespace

int TEMWParser::AddBitmap(TBitmap& Bitmap, bool Monochrome) {
  TImageEncoding Encoding = ieFlate;
  if (Monochrome) {
    if (Bitmap.PixelFormat() != pf1bit) Bitmap.SetPixelFormat(pf1bit);
    Encoding = ieCCITTG4;
  } else if (FOptions.ColorImagesAsJPEG()) {
    Encoding = ieJPEG;
  }
  return FPage.Document().AddImage(&Bitmap, Encoding, -1, false, -1);
}

void TEMWParser::BoundsPlacement(const TRecord& R, int Index) {
  const int64_t Left = R.I32(blt::Bounds), Top = R.I32(blt::Bounds + 4);
  const int64_t Right = R.I32(blt::Bounds + 8), Bottom = R.I32(blt::Bounds + 12);
  FPage.DrawImage(Index, DeviceX(Left), DeviceY(Top), DeviceX(Right - Left + 1),
                  DeviceY(Bottom - Top + 1));
}

void TEMWParser::PatternFill(const TRecord& R) {
  const int64_t X = R.I32(blt::XDest), Y = R.I32(blt::YDest);
  const int64_t W = R.I32(blt::CxDest), H = R.I32(blt::CyDest);
  FPage.Rectangle(MapX(X), MapY(Y), MapX(X + W), MapY(Y + H));
  FPage.Fill();
}

void TEMWParser::DoBitBlt(const TRecord& R, uint32_t Type) {
  uint32_t Rop = R.U32(blt::Rop);
  if (Type == EMR_BITBLT && !IsBitBltRop(Rop)) return;
  if (Type == EMR_TRANSPARENTBLT) Rop = SRCCOPY;
  if (Type == EMR_MASKBLT) Rop &= 0xFFFFFF;  // the foreground operation
  const int32_t W = R.I32(blt::CxDest), H = R.I32(blt::CyDest);
  const TDib Dib = ReadDib(R, blt::BmiOffset, blt::UsageSrc);

  if (Type == EMR_MASKBLT) {
    if (Dib.InfoSize == 0) return;
    const bool Mono = Dib.Header().BitsPerPixel == 1;
    TBitmap Bitmap = NewBitmap(W, H, Mono);
    if (Dib.Present())
      StretchDIBits(Bitmap, 0, 0, W, H, R.I32(blt::XSrc), R.I32(blt::YSrc), W, H, Dib.Info,
                    Dib.InfoSize, Dib.Bits, Dib.BitsSize, Dib.Usage, Rop);
    BoundsPlacement(R, AddBitmap(Bitmap, Mono));
    return;
  }

  // The text colour mode is suspended for this record's own drawing.
  const bool Resume = FTextColorMode;
  EndTextColorMode();
  struct TResume {
    TEMWParser& P;
    bool On;
    ~TResume() {
      if (On) P.BeginTextColorMode();
    }
  } ResumeAtEnd{*this, Resume};

  if (W == 0 || H == 0) return;
  if (Dib.Present()) {
    const bool Mono = Dib.Header().BitsPerPixel == 1;
    TBitmap Bitmap = NewBitmap(W, H, Mono);
    // A transparent blit may stretch its source.
    int32_t SW = W, SH = H;
    if (Type == EMR_TRANSPARENTBLT && R.Fits(blt::CySrc, 4)) {
      SW = R.I32(blt::CxSrc);
      SH = R.I32(blt::CySrc);
    }
    StretchDIBits(Bitmap, 0, 0, W, H, R.I32(blt::XSrc), R.I32(blt::YSrc), SW, SH, Dib.Info,
                  Dib.InfoSize, Dib.Bits, Dib.BitsSize, Dib.Usage, Rop);
    BoundsPlacement(R, AddBitmap(Bitmap, Bitmap.BitsPerPixel() == 1));
    return;
  }
  SetFillFromBrush(!FFontChanged);
  PatternFill(R);
}

void TEMWParser::DoStretchBlt(const TRecord& R) {
  const uint32_t Rop = R.U32(blt::Rop);
  const TDib Dib = ReadDib(R, blt::BmiOffset, blt::UsageSrc);
  if (R.U32(blt::BmiOffset) != 0 && R.U32(blt::BitsOffset) != 0) {
    const bool Mono = Dib.Header().BitsPerPixel == 1;
    TBitmap Source = DecodeDIB(Dib.Info, Dib.InfoSize, Dib.Bits, Dib.BitsSize, Dib.Usage);
    if (int64_t{Source.Width()} * Source.Height() > kMaxRecordPixels)
      throw Exception("Bitmap too large");
    if (Rop == SRCCOPY) {
      if (!Mono && Source.BitsPerPixel() != 24) Source.SetPixelFormat(pf24bit);
      BoundsPlacement(R, AddBitmap(Source, Mono));
    } else {
      TBitmap Result = NewBitmap(Source.Width(), Source.Height(), Mono);
      quillora::StretchBlt(Result, 0, 0, Source.Width(), Source.Height(), Source, 0, 0,
                           Source.Width(), Source.Height(), Rop, ResolveColor(FBrushColor));
      BoundsPlacement(R, AddBitmap(Result, Result.BitsPerPixel() == 1));
    }
    return;
  }
  if (R.I32(blt::CxDest) != 0 && R.I32(blt::CyDest) != 0)
    PatternFill(R);
  else
    FPage.NewPath();
}

void TEMWParser::DoAlphaBlend(const TRecord& R) {
  const int32_t SW = R.I32(blt::CxSrc), SH = R.I32(blt::CySrc);
  if (SW < 1 || SH < 1) {
    if (R.I32(blt::CxDest) != 0 && R.I32(blt::CyDest) != 0)
      PatternFill(R);
    else
      FPage.NewPath();
    return;
  }
  const TDib Dib = ReadDib(R, blt::BmiOffset, blt::UsageSrc);
  if (!Dib.Present()) throw ERecordBounds();
  TBitmap Blended = NewBitmap(SW, SH, false);
  const TBitmap Source = DecodeDIB(Dib.Info, Dib.InfoSize, Dib.Bits, Dib.BitsSize, Dib.Usage);
  // Source coordinates count from the top of the source picture.
  quillora::AlphaBlend(Blended, 0, 0, SW, SH, Source, R.I32(blt::XSrc), R.I32(blt::YSrc), SW, SH,
                       TBlendFunction::FromBytes(R.U32(blt::Rop)));
  const int64_t Left = R.I32(blt::Bounds), Top = R.I32(blt::Bounds + 4);
  const int64_t Right = R.I32(blt::Bounds + 8), Bottom = R.I32(blt::Bounds + 12);
  FPage.DrawImage(AddBitmap(Blended, false), DeviceX(Left), DeviceY(Top), DeviceX(Right - Left),
                  DeviceY(Bottom - Top));
}

void TEMWParser::DoSetDIBitsToDevice(const TRecord& R) {
  const int32_t SW = R.I32(dibits::CxSrc), SH = R.I32(dibits::CySrc);
  const TDib Dib = ReadDib(R, dibits::BmiOffset, dibits::Usage);
  const bool Mono = Dib.InfoSize && Dib.Header().BitsPerPixel == 1;
  TBitmap Bitmap = NewBitmap(SW, SH, Mono);
  if (Dib.Present())
    SetDIBitsToDevice(Bitmap, 0, 0, SW, SH, R.I32(dibits::XSrc), R.I32(dibits::YSrc),
                      R.I32(dibits::StartScan), R.I32(dibits::Scans), Dib.Info, Dib.InfoSize,
                      Dib.Bits, Dib.BitsSize, Dib.Usage);
  const int Index = AddBitmap(Bitmap, Mono);
  FPage.DrawImage(Index, DeviceX(R.I32(dibits::Bounds)), DeviceY(R.I32(dibits::Bounds + 4)),
                  SizeScaleX() * FScaleX * FWorldScaleX * SW,
                  SizeScaleY() * FScaleY * FWorldScaleY * SH);
}

void TEMWParser::DoStretchDIBits(const TRecord& R) {
  const int32_t DW = R.I32(dibits::CxDest), DH = R.I32(dibits::CyDest);
  const long double Width = SizeScaleX() * FScaleX * FWorldScaleX * DW;
  const long double Height = SizeScaleY() * FScaleY * FWorldScaleY * DH;
  const bool Inverted = R.I32(dibits::Bounds + 8) < R.I32(dibits::Bounds) ||
                        R.I32(dibits::Bounds + 12) < R.I32(dibits::Bounds + 4);
  if (Inverted && (Width < 0.01L || Height < 0.01L)) return;

  const int32_t SW = R.I32(dibits::CxSrc), SH = R.I32(dibits::CySrc);
  uint32_t Rop = R.U32(dibits::Rop);
  if (Rop == 0xB8074A) Rop = SRCCOPY;
  const TDib Dib = ReadDib(R, dibits::BmiOffset, dibits::Usage);
  const bool Mono = Dib.InfoSize && Dib.Header().BitsPerPixel == 1;
  TBitmap Bitmap = NewBitmap(SW, SH, Mono);
  if (Dib.Present())
    StretchDIBits(Bitmap, 0, 0, SW, SH, R.I32(dibits::XSrc), R.I32(dibits::YSrc), SW, SH, Dib.Info,
                  Dib.InfoSize, Dib.Bits, Dib.BitsSize, Dib.Usage, Rop);
  FlipBitmap(Bitmap, DW < 0, DH < 0);
  const int Index = AddBitmap(Bitmap, Bitmap.BitsPerPixel() == 1);
  FPage.DrawImage(Index, MapX(R.I32(dibits::XDest)), MapY(R.I32(dibits::YDest)), std::fabs(Width),
                  std::fabs(Height));
}

}  // namespace quillora
