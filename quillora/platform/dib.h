// Decoding of device-independent bitmaps (a bitmap-info block with its colour
// table, and the pixel bits), as metafile bitmap records and clipboard data
// carry them. Every size, stride and offset is checked against the bytes
// given; a DIB that does not fit raises Exception with a clear message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "quillora/platform/bitmap.h"

namespace quillora {

// Colour usage: the colour table holds RGB quads, or 16-bit indices into the
// logical palette.
inline constexpr uint32_t kDibRgbColors = 0;
inline constexpr uint32_t kDibPalColors = 1;

// Compression values of the bitmap-info header.
enum TDIBCompression : uint32_t {
  dcRGB = 0,
  dcRLE8 = 1,
  dcRLE4 = 2,
  dcBitFields = 3,
  dcJPEG = 4,
  dcPNG = 5,
  dcAlphaBitFields = 6
};

struct TDIBHeader {
  uint32_t HeaderSize = 0;  // 12 (core), 40 (info), 52, 56, 64, 108 (V4), 124 (V5)
  int Width = 0;
  int Height = 0;        // always positive
  bool TopDown = false;  // a negative height in the header
  int BitsPerPixel = 0;
  uint32_t Compression = dcRGB;
  uint32_t ColorsUsed = 0;  // entries of the colour table (0 for none)
  uint32_t RedMask = 0, GreenMask = 0, BlueMask = 0, AlphaMask = 0;
  size_t ColorTableOffset = 0;  // from the start of the info block
  size_t ColorEntrySize = 4;    // 3 for the core header, 2 for palette indices
  size_t Stride = 0;            // bytes per uncompressed row
};

// Reads and checks the header, the bit-field masks and the colour table's
// place. Usage selects the colour table's entry size.
TDIBHeader ReadDIBHeader(const uint8_t* Info, size_t InfoSize, uint32_t Usage = kDibRgbColors);

// The standard 20-entry palette of the reference device, used for palette
// index colour tables when no logical palette is given.
const std::vector<TColorRef>& DefaultLogicalPalette();

// Decodes the whole DIB into a top-down bitmap: 1, 4 and 8 bits per pixel
// with their colour table as palette, 16 and 24 bits as pf24bit, 32 bits as
// pf32bit with the fourth byte (or the alpha mask) kept as alpha. Pixels an
// RLE stream skips are colour index 0.
TBitmap DecodeDIB(const uint8_t* Info, size_t InfoSize, const uint8_t* Bits, size_t BitsSize,
                  uint32_t Usage = kDibRgbColors,
                  const std::vector<TColorRef>* LogicalPalette = nullptr);

// A packed DIB: the info block directly followed by the bits.
TBitmap DecodePackedDIB(const uint8_t* Data, size_t Size, uint32_t Usage = kDibRgbColors);

// Stretches the source rectangle of a DIB onto Dest as StretchDIBits does:
// source coordinates count from the bottom-left corner for bottom-up DIBs
// and from the top-left for top-down ones; negative extents mirror.
void StretchDIBits(TBitmap& Dest, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc,
                   int YSrc, int SrcWidth, int SrcHeight, const uint8_t* Info, size_t InfoSize,
                   const uint8_t* Bits, size_t BitsSize, uint32_t Usage = kDibRgbColors,
                   uint32_t Rop = kRopSourceCopy);

// Copies Width x Height pixels from (XSrc, YSrc) of a DIB onto Dest at
// (XDest, YDest) as SetDIBitsToDevice does: Bits holds only ScanLines rows
// beginning at row StartScan (counted like the source coordinates).
void SetDIBitsToDevice(TBitmap& Dest, int XDest, int YDest, int Width, int Height, int XSrc,
                       int YSrc, int StartScan, int ScanLines, const uint8_t* Info, size_t InfoSize,
                       const uint8_t* Bits, size_t BitsSize, uint32_t Usage = kDibRgbColors);

}  // namespace quillora
