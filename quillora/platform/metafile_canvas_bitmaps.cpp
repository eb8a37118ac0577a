// Bitmaps of the recording canvas: the blt and DIB records, each carrying
// the source rectangle as a bottom-up device-independent bitmap.
#include <cstdint>
#include <cstring>

#include "quillora/core/exception.h"
#include "quillora/platform/metafile_canvas.h"

namespace quillora {

using namespace emf;

namespace {

constexpr uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER

// A DIB of a rectangle of a bitmap: header and colour table, then rows.
struct TDibLayout {
  const TBitmap* Bitmap = nullptr;
  int X = 0, Y = 0, Width = 0, Height = 0;
  int Bpp = 0;
  uint32_t Colors = 0;
  uint64_t InfoSize = 0;
  uint64_t RowSize = 0;
  uint64_t BitsSize = 0;
};

TDibLayout LayoutDib(const TBitmap& B, int X, int Y, int Width, int Height) {
  if (Width <= 0 || Height <= 0 || X < 0 || Y < 0 || X > B.Width() - Width ||
      Y > B.Height() - Height)
    throw Exception("Source rectangle outside the bitmap");
  TDibLayout L;
  L.Bitmap = &B;
  L.X = X;
  L.Y = Y;
  L.Width = Width;
  L.Height = Height;
  L.Bpp = B.BitsPerPixel();
  if (L.Bpp <= 8) {
    const size_t P = B.Palette().size();
    L.Colors = P ? static_cast<uint32_t>(P) : (L.Bpp == 1 ? 2 : (1u << L.Bpp));
  }
  L.InfoSize = kInfoHeaderSize + 4 * uint64_t{L.Colors};
  L.RowSize = (uint64_t{static_cast<uint32_t>(Width)} * L.Bpp + 31) / 32 * 4;
  L.BitsSize = L.RowSize * static_cast<uint32_t>(Height);
  return L;
}

void WriteDib(TRecordWriter& W, size_t InfoAt, size_t BitsAt, const TDibLayout& L) {
  const TBitmap& B = *L.Bitmap;
  W.Put32(InfoAt, kInfoHeaderSize);
  W.PutI32(InfoAt + 4, L.Width);
  W.PutI32(InfoAt + 8, L.Height);  // positive: rows bottom-up
  W.Put16(InfoAt + 12, 1);
  W.Put16(InfoAt + 14, static_cast<uint16_t>(L.Bpp));
  W.Put32(InfoAt + 16, 0);  // BI_RGB
  W.Put32(InfoAt + 20, static_cast<uint32_t>(L.BitsSize));
  W.Put32(InfoAt + 32, L.Colors);
  const std::vector<TColorRef>& Palette = B.Palette();
  for (uint32_t I = 0; I < L.Colors; ++I) {
    // Without a palette the one-bit device format is black and white.
    TColorRef C = I < Palette.size() ? Palette[I] : (I == 0 ? 0 : 0xFFFFFF);
    if (Palette.empty() && L.Bpp > 1) {
      const uint32_t Level = I * 255 / (L.Colors - 1);
      C = RGB(Level, Level, Level);
    }
    W.Put8(InfoAt + kInfoHeaderSize + 4 * I, GetBValue(C));
    W.Put8(InfoAt + kInfoHeaderSize + 4 * I + 1, GetGValue(C));
    W.Put8(InfoAt + kInfoHeaderSize + 4 * I + 2, GetRValue(C));
  }
  const uint64_t BitOffset = uint64_t{static_cast<uint32_t>(L.X)} * L.Bpp;
  const uint64_t RowBits = uint64_t{static_cast<uint32_t>(L.Width)} * L.Bpp;
  for (int R = 0; R < L.Height; ++R) {
    const uint8_t* Src = B.ScanLine(L.Y + L.Height - 1 - R);
    uint8_t* Dst = W.At(BitsAt + R * L.RowSize);
    if (BitOffset % 8 == 0) {
      const size_t Bytes = (RowBits + 7) / 8;
      std::memcpy(Dst, Src + BitOffset / 8, Bytes);
      // Bits past the rectangle's last pixel are zero.
      if (RowBits % 8) Dst[Bytes - 1] &= static_cast<uint8_t>(0xFF00 >> (RowBits % 8));
    } else {
      // A rectangle that starts inside a byte: move the pixels bit by bit.
      for (uint64_t Bit = 0; Bit < RowBits; ++Bit) {
        const uint64_t S = BitOffset + Bit;
        if (Src[S / 8] & (0x80 >> (S % 8))) Dst[Bit / 8] |= static_cast<uint8_t>(0x80 >> (Bit % 8));
      }
    }
  }
}

bool RopNeedsSource(uint32_t Rop) {
  return (((Rop >> 2) ^ Rop) & 0x330000) != 0;
}
bool RopNeedsPattern(uint32_t Rop) {
  return (((Rop >> 4) ^ Rop) & 0x0F0000) != 0;
}

void PutIdentity(TRecordWriter& W, size_t At) {
  W.PutF32(At, 1);
  W.PutF32(At + 12, 1);
}

}  // namespace

TMetafileCanvas::TBounds TMetafileCanvas::DestBounds(int X, int Y, int Width, int Height) const {
  return BoxBounds(X, Y, static_cast<double>(X) + Width, static_cast<double>(Y) + Height);
}

void TMetafileCanvas::WriteBlt(uint32_t Type, int X, int Y, int Width, int Height,
                               const TBitmap* Source, int XSrc, int YSrc, int WidthSrc,
                               int HeightSrc, uint32_t Rop, const TBitmap* Mask, int XMask,
                               int YMask) {
  uint64_t Fixed = blt::StretchBltSize;
  if (Type == EMR_BITBLT) Fixed = blt::BitBltSize;
  if (Type == EMR_MASKBLT) Fixed = blt::MaskBltSize;
  TDibLayout Src, Msk;
  if (Source) Src = LayoutDib(*Source, XSrc, YSrc, WidthSrc, HeightSrc);
  if (Mask) {
    if (Mask->BitsPerPixel() != 1) throw Exception("The mask must be a one-bit bitmap");
    Msk = LayoutDib(*Mask, XMask, YMask, WidthSrc, HeightSrc);
  }
  const TBounds B = DestBounds(X, Y, Width, Height);
  const uint64_t Size = Fixed + Src.InfoSize + Src.BitsSize + Msk.InfoSize + Msk.BitsSize;
  const size_t At = FWriter.Begin(Type, Size);
  PutBounds(FWriter, At + blt::Bounds, B);
  FWriter.PutI32(At + blt::XDest, X);
  FWriter.PutI32(At + blt::YDest, Y);
  FWriter.PutI32(At + blt::CxDest, Width);
  FWriter.PutI32(At + blt::CyDest, Height);
  FWriter.Put32(At + blt::Rop, Rop);
  if (Source) {
    // The record's bitmap is the source rectangle itself.
    PutIdentity(FWriter, At + blt::XformSrc);
    FWriter.Put32(At + blt::BkColorSrc, 0xFFFFFF);
    FWriter.Put32(At + blt::UsageSrc, DIB_RGB_COLORS);
    FWriter.Put32(At + blt::BmiOffset, static_cast<uint32_t>(Fixed));
    FWriter.Put32(At + blt::BmiSize, static_cast<uint32_t>(Src.InfoSize));
    FWriter.Put32(At + blt::BitsOffset, static_cast<uint32_t>(Fixed + Src.InfoSize));
    FWriter.Put32(At + blt::BitsSize, static_cast<uint32_t>(Src.BitsSize));
    WriteDib(FWriter, At + Fixed, At + Fixed + Src.InfoSize, Src);
  }
  if (Type != EMR_BITBLT && Type != EMR_MASKBLT) {
    FWriter.PutI32(At + blt::CxSrc, WidthSrc);
    FWriter.PutI32(At + blt::CySrc, HeightSrc);
  }
  if (Mask) {
    const uint64_t MaskAt = Fixed + Src.InfoSize + Src.BitsSize;
    FWriter.Put32(At + blt::MaskUsage, DIB_RGB_COLORS);
    FWriter.Put32(At + blt::MaskBmiOffset, static_cast<uint32_t>(MaskAt));
    FWriter.Put32(At + blt::MaskBmiSize, static_cast<uint32_t>(Msk.InfoSize));
    FWriter.Put32(At + blt::MaskBitsOffset, static_cast<uint32_t>(MaskAt + Msk.InfoSize));
    FWriter.Put32(At + blt::MaskBitsSize, static_cast<uint32_t>(Msk.BitsSize));
    WriteDib(FWriter, At + MaskAt, At + MaskAt + Msk.InfoSize, Msk);
  }
  Accumulate(B);
}

void TMetafileCanvas::WriteDIBits(uint32_t Type, int X, int Y, int Width, int Height, int XSrc,
                                  int YSrc, int WidthSrc, int HeightSrc, const TBitmap& Source,
                                  uint32_t Rop) {
  const TDibLayout Src = LayoutDib(Source, XSrc, YSrc, WidthSrc, HeightSrc);
  const bool Stretch = Type == EMR_STRETCHDIBITS;
  const uint64_t Fixed = Stretch ? dibits::StretchDIBitsSize : dibits::SetDIBitsSize;
  TBounds B;
  if (Stretch) {
    B = DestBounds(X, Y, Width, Height);
  } else {
    // The bits land unscaled, pixel for pixel, at the mapped point.
    const TPoint D = LPtoDP({X, Y});
    B.Add(D.X, D.Y);
    B.Add(D.X + (WidthSrc - 1.0), D.Y + (HeightSrc - 1.0));
  }
  const size_t At = FWriter.Begin(Type, Fixed + Src.InfoSize + Src.BitsSize);
  PutBounds(FWriter, At + dibits::Bounds, B);
  FWriter.PutI32(At + dibits::XDest, X);
  FWriter.PutI32(At + dibits::YDest, Y);
  FWriter.PutI32(At + dibits::CxSrc, WidthSrc);
  FWriter.PutI32(At + dibits::CySrc, HeightSrc);
  FWriter.Put32(At + dibits::BmiOffset, static_cast<uint32_t>(Fixed));
  FWriter.Put32(At + dibits::BmiSize, static_cast<uint32_t>(Src.InfoSize));
  FWriter.Put32(At + dibits::BitsOffset, static_cast<uint32_t>(Fixed + Src.InfoSize));
  FWriter.Put32(At + dibits::BitsSize, static_cast<uint32_t>(Src.BitsSize));
  FWriter.Put32(At + dibits::Usage, DIB_RGB_COLORS);
  if (Stretch) {
    FWriter.Put32(At + dibits::Rop, Rop);
    FWriter.PutI32(At + dibits::CxDest, Width);
    FWriter.PutI32(At + dibits::CyDest, Height);
  } else {
    FWriter.Put32(At + dibits::StartScan, 0);
    FWriter.Put32(At + dibits::Scans, static_cast<uint32_t>(HeightSrc));
  }
  WriteDib(FWriter, At + Fixed, At + Fixed + Src.InfoSize, Src);
  Accumulate(B);
}

void TMetafileCanvas::Draw(int X, int Y, const TBitmap& Bitmap) {
  CheckOpen();
  if (Bitmap.Width() <= 0 || Bitmap.Height() <= 0) return;
  WriteBlt(EMR_BITBLT, X, Y, Bitmap.Width(), Bitmap.Height(), &Bitmap, 0, 0, Bitmap.Width(),
           Bitmap.Height(), SRCCOPY);
}

void TMetafileCanvas::StretchDraw(const TRect& Rect, const TBitmap& Bitmap) {
  CheckOpen();
  if (Bitmap.Width() <= 0 || Bitmap.Height() <= 0) return;
  const int64_t W = int64_t{Rect.Right} - Rect.Left, H = int64_t{Rect.Bottom} - Rect.Top;
  if (W > INT32_MAX || W < INT32_MIN || H > INT32_MAX || H < INT32_MIN)
    throw Exception("Rectangle too large");
  if (W == 0 || H == 0) return;
  WriteBlt(EMR_STRETCHBLT, Rect.Left, Rect.Top, static_cast<int>(W), static_cast<int>(H), &Bitmap,
           0, 0, Bitmap.Width(), Bitmap.Height(), SRCCOPY);
}

void TMetafileCanvas::BitBlt(int X, int Y, int Width, int Height, const TBitmap* Source, int XSrc,
                             int YSrc, uint32_t Rop) {
  CheckOpen();
  if (!Source && RopNeedsSource(Rop)) throw Exception("The raster operation needs a source bitmap");
  if (Source && (Width <= 0 || Height <= 0)) return;
  if (RopNeedsPattern(Rop)) RealizeBrush();
  WriteBlt(EMR_BITBLT, X, Y, Width, Height, Source, XSrc, YSrc, Width, Height, Rop);
}

void TMetafileCanvas::StretchBlt(int X, int Y, int Width, int Height, const TBitmap& Source,
                                 int XSrc, int YSrc, int WidthSrc, int HeightSrc, uint32_t Rop) {
  CheckOpen();
  if (Width == 0 || Height == 0) return;
  if (RopNeedsPattern(Rop)) RealizeBrush();
  WriteBlt(EMR_STRETCHBLT, X, Y, Width, Height, &Source, XSrc, YSrc, WidthSrc, HeightSrc, Rop);
}

void TMetafileCanvas::StretchDIBits(int X, int Y, int Width, int Height, int XSrc, int YSrc,
                                    int WidthSrc, int HeightSrc, const TBitmap& Source,
                                    uint32_t Rop) {
  CheckOpen();
  if (Width == 0 || Height == 0) return;
  if (RopNeedsPattern(Rop)) RealizeBrush();
  WriteDIBits(EMR_STRETCHDIBITS, X, Y, Width, Height, XSrc, YSrc, WidthSrc, HeightSrc, Source, Rop);
}

void TMetafileCanvas::SetDIBitsToDevice(int X, int Y, int XSrc, int YSrc, int WidthSrc,
                                        int HeightSrc, const TBitmap& Source) {
  CheckOpen();
  WriteDIBits(EMR_SETDIBITSTODEVICE, X, Y, WidthSrc, HeightSrc, XSrc, YSrc, WidthSrc, HeightSrc,
              Source, SRCCOPY);
}

void TMetafileCanvas::AlphaBlend(int X, int Y, int Width, int Height, const TBitmap& Source,
                                 int XSrc, int YSrc, int WidthSrc, int HeightSrc,
                                 TBlendFunction Blend) {
  CheckOpen();
  if (Width <= 0 || Height <= 0) return;
  const uint32_t Function = Blend.BlendOp | uint32_t{Blend.BlendFlags} << 8 |
                            uint32_t{Blend.SourceConstantAlpha} << 16 |
                            uint32_t{Blend.AlphaFormat} << 24;
  WriteBlt(EMR_ALPHABLEND, X, Y, Width, Height, &Source, XSrc, YSrc, WidthSrc, HeightSrc, Function);
}

void TMetafileCanvas::MaskBlt(int X, int Y, int Width, int Height, const TBitmap& Source, int XSrc,
                              int YSrc, const TBitmap& Mask, int XMask, int YMask, uint32_t Rop) {
  CheckOpen();
  if (Width <= 0 || Height <= 0) return;
  // A quaternary operation: foreground in the low bytes, background in the top one.
  if (RopNeedsPattern(Rop & 0xFFFFFF) || RopNeedsPattern((Rop >> 8) & 0xFF0000)) RealizeBrush();
  WriteBlt(EMR_MASKBLT, X, Y, Width, Height, &Source, XSrc, YSrc, Width, Height, Rop, &Mask, XMask,
           YMask);
}

void TMetafileCanvas::TransparentBlt(int X, int Y, int Width, int Height, const TBitmap& Source,
                                     int XSrc, int YSrc, int WidthSrc, int HeightSrc,
                                     TColorRef Transparent) {
  CheckOpen();
  if (Width <= 0 || Height <= 0) return;
  WriteBlt(EMR_TRANSPARENTBLT, X, Y, Width, Height, &Source, XSrc, YSrc, WidthSrc, HeightSrc,
           Transparent);
}

}  // namespace quillora
