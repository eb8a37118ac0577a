#include "quillora/platform/dib.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "quillora/core/exception.h"

namespace quillora {

namespace {

uint16_t Get16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
  return p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Extracts one channel of a bit-field pixel, scaled to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;
  explicit Channel(uint32_t m) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    const int bits = std::min(std::popcount(m >> shift), 31);
    max = (uint32_t{1} << bits) - 1;
  }
  uint32_t operator()(uint32_t pixel) const {
    if (!max) return 0;
    uint32_t v = ((pixel & mask) >> shift) & max;
    return max == 255 ? v : static_cast<uint32_t>((uint64_t{v} * 255 + max / 2) / max);
  }
};

// Stores palette index `value` at pixel x of a packed row.
inline void PutIndex(uint8_t* row, int bpp, int x, uint8_t value) {
  if (bpp == 8) {
    row[x] = value;
  } else {
    uint8_t& b = row[x >> 1];
    b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | (value & 15))
                : static_cast<uint8_t>((b & 0x0F) | (value << 4));
  }
}

void DecodeRLE(const TDIBHeader& h, const uint8_t* Bits, size_t Size, TBitmap& Out) {
  const int bpp = h.BitsPerPixel;
  for (int y = 0; y < h.Height; ++y) std::memset(Out.ScanLine(y), 0, Out.Stride());
  int x = 0;
  int64_t row = 0;  // from the bottom
  size_t i = 0;
  auto put = [&](uint8_t value) {
    if (x < h.Width && row < h.Height)
      PutIndex(Out.ScanLine(h.Height - 1 - int(row)), bpp, x, value);
    ++x;
  };
  while (i + 1 < Size) {
    const uint8_t count = Bits[i], value = Bits[i + 1];
    i += 2;
    if (count > 0) {  // a run of one value (RLE4: two alternating nibbles)
      for (int k = 0; k < count; ++k)
        put(bpp == 8 ? value : static_cast<uint8_t>((k & 1) ? value & 15 : value >> 4));
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta
      if (i + 1 >= Size) return;
      x += Bits[i];
      row += Bits[i + 1];
      i += 2;
    } else {  // absolute run of `value` pixels, padded to 16 bits
      const size_t bytes = bpp == 8 ? value : (value + 1u) / 2;
      if (i + bytes > Size) return;
      for (int k = 0; k < value; ++k) {
        const uint8_t b = Bits[i + (bpp == 8 ? k : k / 2)];
        put(bpp == 8 ? b : static_cast<uint8_t>((k & 1) ? b & 15 : b >> 4));
      }
      i += bytes + (bytes & 1);
    }
    if (row >= h.Height) return;
  }
}

}  // namespace

const std::vector<TColorRef>& DefaultLogicalPalette() {
  static const std::vector<TColorRef> palette = {
      RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),
      RGB(0, 0, 128),     RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192),
      RGB(192, 220, 192), RGB(166, 202, 240), RGB(255, 251, 240), RGB(160, 160, 164),
      RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),     RGB(255, 255, 0),
      RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255)};
  return palette;
}

TDIBHeader ReadDIBHeader(const uint8_t* Info, size_t InfoSize, uint32_t Usage) {
  if (!Info || InfoSize < 4) throw Exception("DIB header outside the data");
  TDIBHeader h;
  h.HeaderSize = Get32(Info);
  int64_t width = 0, height = 0;
  if (h.HeaderSize == 12) {
    if (InfoSize < 12) throw Exception("DIB header outside the data");
    width = Get16(Info + 4);
    height = Get16(Info + 6);
    h.BitsPerPixel = Get16(Info + 10);
    h.ColorEntrySize = 3;
  } else if (h.HeaderSize >= 40 && h.HeaderSize <= 1024) {
    if (InfoSize < h.HeaderSize) throw Exception("DIB header outside the data");
    width = static_cast<int32_t>(Get32(Info + 4));
    height = static_cast<int32_t>(Get32(Info + 8));
    h.BitsPerPixel = Get16(Info + 14);
    h.Compression = Get32(Info + 16);
    h.ColorsUsed = Get32(Info + 32);
  } else {
    throw Exception("Unsupported DIB header size");
  }
  if (height < 0) {
    h.TopDown = true;
    height = -height;
  }
  if (width <= 0 || height <= 0) throw Exception("Invalid DIB size");
  CheckBitmapSize(width, height);
  h.Width = static_cast<int>(width);
  h.Height = static_cast<int>(height);

  if (h.Compression == dcJPEG || h.Compression == dcPNG)
    throw Exception("DIB with JPEG or PNG data is not supported");
  const int bpp = h.BitsPerPixel;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    throw Exception("Unsupported DIB bit depth");
  const bool bitFields = h.Compression == dcBitFields || h.Compression == dcAlphaBitFields;
  const bool valid = h.Compression == dcRGB ||
                     (h.Compression == dcRLE8 && bpp == 8 && !h.TopDown) ||
                     (h.Compression == dcRLE4 && bpp == 4 && !h.TopDown) ||
                     (bitFields && (bpp == 16 || bpp == 32));
  if (!valid) throw Exception("Unsupported DIB compression");

  size_t tableOffset = h.HeaderSize;
  if (bpp == 16) {
    h.RedMask = 0x7C00, h.GreenMask = 0x03E0, h.BlueMask = 0x001F;
  } else if (bpp == 32) {
    h.RedMask = 0xFF0000, h.GreenMask = 0xFF00, h.BlueMask = 0xFF, h.AlphaMask = 0xFF000000;
  }
  if (bitFields) {
    // Masks sit at offset 40: inside the larger headers, or directly after
    // a 40-byte one.
    const size_t count = h.Compression == dcAlphaBitFields ? 4 : 3;
    const size_t at = 40, end = at + 4 * count;
    if (h.HeaderSize == 40) {
      tableOffset = end;
    } else if (h.HeaderSize < 52) {
      throw Exception("Unsupported DIB header size");
    }
    if (InfoSize < end) throw Exception("DIB colour masks outside the data");
    h.RedMask = Get32(Info + at);
    h.GreenMask = Get32(Info + at + 4);
    h.BlueMask = Get32(Info + at + 8);
    h.AlphaMask = (count == 4 || h.HeaderSize >= 56) ? Get32(Info + at + 12) : 0;
  }
  h.ColorTableOffset = tableOffset;
  if (bpp <= 8) {
    const uint32_t full = 1u << bpp;
    h.ColorsUsed =
        (h.ColorsUsed == 0 || h.ColorsUsed > full || h.HeaderSize == 12) ? full : h.ColorsUsed;
    if (Usage == kDibPalColors) h.ColorEntrySize = 2;
    if (InfoSize < tableOffset || (InfoSize - tableOffset) / h.ColorEntrySize < h.ColorsUsed)
      throw Exception("DIB colour table outside the data");
  } else {
    h.ColorsUsed = 0;
  }
  h.Stride = BitmapStride(h.Width, bpp);
  return h;
}

TBitmap DecodeDIB(const uint8_t* Info, size_t InfoSize, const uint8_t* Bits, size_t BitsSize,
                  uint32_t Usage, const std::vector<TColorRef>* LogicalPalette) {
  const TDIBHeader h = ReadDIBHeader(Info, InfoSize, Usage);
  const int bpp = h.BitsPerPixel;
  if (!Bits) BitsSize = 0;

  if (bpp <= 8) {
    std::vector<TColorRef> palette(h.ColorsUsed);
    const std::vector<TColorRef>& logical =
        LogicalPalette && !LogicalPalette->empty() ? *LogicalPalette : DefaultLogicalPalette();
    for (uint32_t i = 0; i < h.ColorsUsed; ++i) {
      const uint8_t* e = Info + h.ColorTableOffset + i * h.ColorEntrySize;
      if (Usage == kDibPalColors) {
        const uint16_t index = Get16(e);
        palette[i] = index < logical.size() ? logical[index] : 0;
      } else {
        palette[i] = RGB(e[2], e[1], e[0]);
      }
    }
    TBitmap out(h.Width, h.Height, bpp == 1 ? pf1bit : (bpp == 4 ? pf4bit : pf8bit));
    out.SetPalette(palette);
    if (h.Compression == dcRLE8 || h.Compression == dcRLE4) {
      DecodeRLE(h, Bits, BitsSize, out);
      return out;
    }
    if (BitsSize / h.Stride < static_cast<size_t>(h.Height))
      throw Exception("DIB bits outside the data");
    for (int y = 0; y < h.Height; ++y) {
      const int src = h.TopDown ? y : h.Height - 1 - y;
      std::memcpy(out.ScanLine(y), Bits + static_cast<size_t>(src) * h.Stride, h.Stride);
    }
    return out;
  }

  if (BitsSize / h.Stride < static_cast<size_t>(h.Height))
    throw Exception("DIB bits outside the data");
  TBitmap out(h.Width, h.Height, bpp == 32 ? pf32bit : pf24bit);
  const bool standard32 = bpp == 32 && h.RedMask == 0xFF0000 && h.GreenMask == 0xFF00 &&
                          h.BlueMask == 0xFF &&
                          (h.AlphaMask == 0xFF000000 || h.Compression == dcRGB);
  const Channel r(h.RedMask), g(h.GreenMask), b(h.BlueMask), a(h.AlphaMask);
  for (int y = 0; y < h.Height; ++y) {
    const uint8_t* src = Bits + static_cast<size_t>(h.TopDown ? y : h.Height - 1 - y) * h.Stride;
    uint8_t* dst = out.ScanLine(y);
    if (bpp == 24 || standard32) {
      std::memcpy(dst, src, static_cast<size_t>(h.Width) * (bpp / 8));
    } else if (bpp == 16) {
      for (int x = 0; x < h.Width; ++x, dst += 3) {
        const uint32_t px = Get16(src + 2 * x);
        dst[0] = static_cast<uint8_t>(b(px));
        dst[1] = static_cast<uint8_t>(g(px));
        dst[2] = static_cast<uint8_t>(r(px));
      }
    } else {
      for (int x = 0; x < h.Width; ++x, dst += 4) {
        const uint32_t px = Get32(src + 4 * x);
        dst[0] = static_cast<uint8_t>(b(px));
        dst[1] = static_cast<uint8_t>(g(px));
        dst[2] = static_cast<uint8_t>(r(px));
        dst[3] = static_cast<uint8_t>(a(px));
      }
    }
  }
  return out;
}

TBitmap DecodePackedDIB(const uint8_t* Data, size_t Size, uint32_t Usage) {
  const TDIBHeader h = ReadDIBHeader(Data, Size, Usage);
  const size_t bitsOffset = h.ColorTableOffset + size_t{h.ColorsUsed} * h.ColorEntrySize;
  if (bitsOffset > Size) throw Exception("DIB bits outside the data");
  return DecodeDIB(Data, Size, Data + bitsOffset, Size - bitsOffset, Usage);
}

namespace {

// Source extents made positive; a mirrored source mirrors the destination.
void NormaliseSource(int& Src, int& SrcLen, int& DestLen) {
  if (SrcLen < 0) {
    Src += SrcLen;
    SrcLen = -SrcLen;
    DestLen = -DestLen;
  }
}

}  // namespace

void StretchDIBits(TBitmap& Dest, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc,
                   int YSrc, int SrcWidth, int SrcHeight, const uint8_t* Info, size_t InfoSize,
                   const uint8_t* Bits, size_t BitsSize, uint32_t Usage, uint32_t Rop) {
  if (DestWidth == 0 || DestHeight == 0 || SrcWidth == 0 || SrcHeight == 0) return;
  const TBitmap source = DecodeDIB(Info, InfoSize, Bits, BitsSize, Usage);
  NormaliseSource(XSrc, SrcWidth, DestWidth);
  NormaliseSource(YSrc, SrcHeight, DestHeight);
  // Bottom-up DIBs count source rows from the bottom.
  const TDIBHeader h = ReadDIBHeader(Info, InfoSize, Usage);
  int64_t top = h.TopDown ? YSrc : int64_t{h.Height} - YSrc - SrcHeight;
  if (top < INT32_MIN || top > INT32_MAX) return;
  StretchBlt(Dest, XDest, YDest, DestWidth, DestHeight, source, XSrc, static_cast<int>(top),
             SrcWidth, SrcHeight, Rop);
}

void SetDIBitsToDevice(TBitmap& Dest, int XDest, int YDest, int Width, int Height, int XSrc,
                       int YSrc, int StartScan, int ScanLines, const uint8_t* Info, size_t InfoSize,
                       const uint8_t* Bits, size_t BitsSize, uint32_t Usage) {
  if (Width <= 0 || Height <= 0 || ScanLines <= 0 || StartScan < 0) return;
  const TDIBHeader h = ReadDIBHeader(Info, InfoSize, Usage);
  if (StartScan >= h.Height) return;
  ScanLines = std::min(ScanLines, h.Height - StartScan);
  // The bits hold ScanLines rows only: decode them as a DIB of that height.
  std::vector<uint8_t> info(Info, Info + InfoSize);
  if (h.HeaderSize == 12) {
    info[6] = static_cast<uint8_t>(ScanLines);
    info[7] = static_cast<uint8_t>(ScanLines >> 8);
  } else {
    const uint32_t v = static_cast<uint32_t>(h.TopDown ? -ScanLines : ScanLines);
    for (int k = 0; k < 4; ++k) info[8 + k] = static_cast<uint8_t>(v >> (8 * k));
  }
  const TBitmap band = DecodeDIB(info.data(), info.size(), Bits, BitsSize, Usage);
  const int64_t begin = std::max<int64_t>(YSrc, StartScan);
  const int64_t end = std::min<int64_t>(int64_t{YSrc} + Height, int64_t{StartScan} + ScanLines);
  if (begin >= end) return;
  const int rows = static_cast<int>(end - begin);
  int64_t bandTop, destTop;
  if (h.TopDown) {
    bandTop = begin - StartScan;
    destTop = YDest + (begin - YSrc);
  } else {
    bandTop = ScanLines - 1 - (end - 1 - StartScan);
    destTop = YDest + (int64_t{YSrc} + Height - end);
  }
  if (destTop < INT32_MIN || destTop > INT32_MAX) return;
  StretchBlt(Dest, XDest, static_cast<int>(destTop), Width, rows, band, XSrc,
             static_cast<int>(bandTop), Width, rows);
}

}  // namespace quillora
