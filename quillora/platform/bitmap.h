// In-memory bitmaps standing in for the platform's picture services: pixel
// formats with palettes, the monochrome device format, stretching with raster
// operations, flipping, masks and alpha blending over a destination.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "quillora/core/types.h"

namespace quillora {

// Common base of the pictures the image registry accepts (TBitmap, TJPEGImage).
class TGraphic {
 public:
  virtual ~TGraphic() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

// pfDevice is the device-dependent format: 1 bit per pixel when monochrome
// (bit 0 black, bit 1 white), otherwise 32 bits per pixel like a true-colour
// screen. The other formats are device-independent.
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };

// Pixels are kept top row first, each row padded to a multiple of 4 bytes as
// in a device-independent bitmap. 24-bit pixels are blue, green, red; 32-bit
// ones blue, green, red, alpha; indexed formats refer to Palette(), the most
// significant bits of a byte holding the leftmost pixel.
class TBitmap : public TGraphic {
 public:
  // Largest accepted width or height, and largest number of pixels: bigger
  // requests are refused rather than overflowing a size computation.
  static constexpr int kMaxDimension = 1 << 20;
  static constexpr int64_t kMaxPixels = int64_t{1} << 28;

  TBitmap() = default;
  // A white bitmap; Format pfDevice gives a colour device bitmap.
  TBitmap(int Width, int Height, TPixelFormat Format = pf24bit);

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // Resizes and makes every pixel white.
  void SetSize(int Width, int Height);

  TPixelFormat PixelFormat() const { return format_; }
  // Converts the pixels to the new format (indexed formats get the standard
  // black-and-white or 16-colour palette, or a 256-entry colour cube).
  void SetPixelFormat(TPixelFormat Format);
  // True for pf1bit and for the monochrome device format.
  bool Monochrome() const { return bpp_ == 1; }
  // Switches to the monochrome device format (or back to the colour device
  // format), converting pixels to black and white by nearest colour.
  void SetMonochrome(bool Value);
  // Bits per pixel of the stored rows: 1, 4, 8, 24 or 32.
  int BitsPerPixel() const { return bpp_; }
  size_t Stride() const { return stride_; }

  uint8_t* ScanLine(int Row) { return pixels_.data() + static_cast<size_t>(Row) * stride_; }
  const uint8_t* ScanLine(int Row) const {
    return pixels_.data() + static_cast<size_t>(Row) * stride_;
  }

  const std::vector<TColorRef>& Palette() const { return palette_; }
  // Only for indexed formats; at most 2^bits entries.
  void SetPalette(std::vector<TColorRef> Palette);

  TColorRef Pixel(int X, int Y) const;
  void SetPixel(int X, int Y, TColorRef Color);
  void Fill(TColorRef Color);

  // The colour that counts as transparent: the bottom-left pixel unless one
  // was set (black for an empty bitmap).
  TColorRef TransparentColor() const;
  void SetTransparentColor(TColorRef Color);
  bool HasTransparentColor() const { return transparent_set_; }

  // Turns the bitmap into a monochrome device bitmap in which pixels of Color
  // are white and all others black.
  void Mask(TColorRef Color);

  // Reads row Y as colours (red in the low byte; for 32-bit pixels the alpha
  // in the top byte, otherwise 0), Width() values.
  void ReadRow(int Y, uint32_t* Colors) const;
  // Writes Width() colours into row Y, mapping to the nearest palette entry
  // for indexed formats.
  void WriteRow(int Y, const uint32_t* Colors);

 private:
  void Allocate(int Width, int Height, int Bpp);
  uint8_t NearestIndex(TColorRef Color) const;

  int width_ = 0;
  int height_ = 0;
  int bpp_ = 24;
  TPixelFormat format_ = pf24bit;
  size_t stride_ = 0;
  std::vector<uint8_t> pixels_;
  std::vector<TColorRef> palette_;
  TColorRef transparent_ = 0;
  bool transparent_set_ = false;
};

// Bytes per row of a bitmap of Width pixels at Bpp bits, padded to 4 bytes;
// raises Exception when the size does not fit.
size_t BitmapStride(int64_t Width, int Bpp);

// Checks Width and Height against the limits above; raises Exception
// "Bitmap too large" or "Invalid bitmap size".
void CheckBitmapSize(int64_t Width, int64_t Height);

// Mirrors the bitmap in place: left to right, top to bottom, or both.
void FlipBitmap(TBitmap& Bitmap, bool Horizontal, bool Vertical);

// Raster operations are Windows ternary raster codes: bits 16 to 23 select
// the boolean function of pattern, source and destination; the low word is
// ignored. 0xCC0020 is source copy.
inline constexpr uint32_t kRopSourceCopy = 0xCC0020;

// Combines pattern, source and destination bit by bit as Rop says.
uint32_t ApplyRop(uint32_t Rop, uint32_t Pattern, uint32_t Source, uint32_t Dest);

// Stretches the source rectangle onto the destination rectangle (nearest
// neighbour) combining with the destination by Rop; Pattern is the brush
// colour. A negative width or height mirrors. Parts outside either bitmap
// are clipped.
void StretchBlt(TBitmap& Dest, int DX, int DY, int DW, int DH, const TBitmap& Source, int SX,
                int SY, int SW, int SH, uint32_t Rop = kRopSourceCopy,
                TColorRef Pattern = 0xFFFFFF);

// Windows BLENDFUNCTION: operation (0, source over), flags, constant alpha,
// and the alpha format (1 when the source has premultiplied per-pixel alpha).
struct TBlendFunction {
  uint8_t BlendOp = 0;
  uint8_t BlendFlags = 0;
  uint8_t SourceConstantAlpha = 255;
  uint8_t AlphaFormat = 0;
  static TBlendFunction FromBytes(uint32_t Value) {
    return {static_cast<uint8_t>(Value), static_cast<uint8_t>(Value >> 8),
            static_cast<uint8_t>(Value >> 16), static_cast<uint8_t>(Value >> 24)};
  }
};
// AlphaFormat value: the source carries premultiplied per-pixel alpha.
inline constexpr uint8_t kAlphaFormatSourceAlpha = 1;

// Blends the source rectangle over the destination rectangle (nearest
// neighbour when sizes differ).
void AlphaBlend(TBitmap& Dest, int DX, int DY, int DW, int DH, const TBitmap& Source, int SX,
                int SY, int SW, int SH, TBlendFunction Blend);

}  // namespace quillora
