#include "quillora/platform/bitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "quillora/core/exception.h"

namespace quillora {

namespace {

constexpr TColorRef kWhite = 0xFFFFFF;

int FormatBpp(TPixelFormat Format) {
  switch (Format) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf24bit:
      return 24;
    case pfDevice:
    case pf32bit:
      return 32;
  }
  return 24;
}

std::vector<TColorRef> DefaultPalette(int Bpp) {
  if (Bpp == 1) return {0x000000, kWhite};
  if (Bpp == 4) {
    // The 16 colours of a standard VGA palette.
    return {RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
            RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(128, 128, 128),
            RGB(192, 192, 192), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
            RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};
  }
  if (Bpp == 8) {
    // A 6 x 6 x 6 colour cube followed by 40 grays.
    std::vector<TColorRef> p;
    p.reserve(256);
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) p.push_back(RGB(r * 51, g * 51, b * 51));
    for (int i = 0; i < 40; ++i) {
      uint8_t v = static_cast<uint8_t>(i * 255 / 39);
      p.push_back(RGB(v, v, v));
    }
    return p;
  }
  return {};
}

int Distance(TColorRef A, TColorRef B) {
  int dr = int(GetRValue(A)) - GetRValue(B);
  int dg = int(GetGValue(A)) - GetGValue(B);
  int db = int(GetBValue(A)) - GetBValue(B);
  return dr * dr + dg * dg + db * db;
}

// Nearest of black and white.
inline uint32_t ToBlackWhite(uint32_t C) {
  return (uint32_t(GetRValue(C)) + GetGValue(C) + GetBValue(C)) > 382 ? kWhite : 0;
}

}  // namespace

void CheckBitmapSize(int64_t Width, int64_t Height) {
  if (Width < 0 || Height < 0) throw Exception("Invalid bitmap size");
  if (Width > TBitmap::kMaxDimension || Height > TBitmap::kMaxDimension ||
      Width * Height > TBitmap::kMaxPixels)
    throw Exception("Bitmap too large");
}

size_t BitmapStride(int64_t Width, int Bpp) {
  if (Width < 0 || Width > TBitmap::kMaxDimension) throw Exception("Bitmap too large");
  return static_cast<size_t>(((Width * Bpp + 31) / 32) * 4);
}

TBitmap::TBitmap(int Width, int Height, TPixelFormat Format) {
  format_ = Format;
  if (Format != pfDevice) palette_ = DefaultPalette(FormatBpp(Format));
  Allocate(Width, Height, FormatBpp(Format));
}

void TBitmap::Allocate(int Width, int Height, int Bpp) {
  CheckBitmapSize(Width, Height);
  size_t stride = BitmapStride(Width, Bpp);
  std::vector<uint8_t> pixels(stride * static_cast<size_t>(Height));
  width_ = Width;
  height_ = Height;
  bpp_ = Bpp;
  stride_ = stride;
  pixels_ = std::move(pixels);
  if (bpp_ >= 24 || pixels_.empty()) {
    std::fill(pixels_.begin(), pixels_.end(), 0xFF);
    return;
  }
  uint8_t white = NearestIndex(kWhite);
  uint8_t byte = 0;
  for (int i = 0; i < 8 / bpp_; ++i) byte = static_cast<uint8_t>((byte << bpp_) | white);
  std::fill(pixels_.begin(), pixels_.end(), byte);
}

void TBitmap::SetSize(int Width, int Height) {
  Allocate(Width, Height, bpp_);
}

void TBitmap::SetPalette(std::vector<TColorRef> Palette) {
  if (bpp_ > 8) throw Exception("Bitmap has no palette");
  if (Palette.empty() || Palette.size() > (size_t{1} << bpp_))
    throw Exception("Invalid palette size");
  for (TColorRef& c : Palette) c &= 0xFFFFFF;
  // Indices beyond a short palette read as black.
  Palette.resize(size_t{1} << bpp_, 0);
  palette_ = std::move(Palette);
}

uint8_t TBitmap::NearestIndex(TColorRef Color) const {
  int best = 0;
  int bestDistance = 1 << 30;
  for (size_t i = 0; i < palette_.size(); ++i) {
    int d = Distance(Color, palette_[i]);
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return static_cast<uint8_t>(best);
}

void TBitmap::ReadRow(int Y, uint32_t* Colors) const {
  const uint8_t* p = ScanLine(Y);
  const int w = width_;
  switch (bpp_) {
    case 1: {
      uint32_t pal[2] = {palette_.size() > 0 ? palette_[0] : 0,
                         palette_.size() > 1 ? palette_[1] : 0};
      for (int x = 0; x < w; ++x) Colors[x] = pal[(p[x >> 3] >> (7 - (x & 7))) & 1];
      break;
    }
    case 4:
    case 8: {
      uint32_t pal[256] = {};
      std::copy(palette_.begin(), palette_.end(), pal);
      if (bpp_ == 8) {
        for (int x = 0; x < w; ++x) Colors[x] = pal[p[x]];
      } else {
        for (int x = 0; x < w; ++x) Colors[x] = pal[(p[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
      }
      break;
    }
    case 24:
      for (int x = 0; x < w; ++x, p += 3)
        Colors[x] = p[2] | (uint32_t(p[1]) << 8) | (uint32_t(p[0]) << 16);
      break;
    case 32:
      for (int x = 0; x < w; ++x, p += 4)
        Colors[x] = p[2] | (uint32_t(p[1]) << 8) | (uint32_t(p[0]) << 16) | (uint32_t(p[3]) << 24);
      break;
  }
}

void TBitmap::WriteRow(int Y, const uint32_t* Colors) {
  uint8_t* p = ScanLine(Y);
  const int w = width_;
  switch (bpp_) {
    case 1: {
      const bool standard = palette_.size() == 2 && palette_[0] == 0 && palette_[1] == kWhite;
      std::memset(p, 0, stride_);
      for (int x = 0; x < w; ++x) {
        uint32_t c = Colors[x] & 0xFFFFFF;
        bool one =
            standard ? ToBlackWhite(c) != 0 : Distance(c, palette_[1]) < Distance(c, palette_[0]);
        if (one) p[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
      }
      break;
    }
    case 4:
    case 8: {
      uint32_t last = 0xFFFFFFFF;
      uint8_t index = 0;
      if (bpp_ == 4) std::memset(p, 0, stride_);
      for (int x = 0; x < w; ++x) {
        uint32_t c = Colors[x] & 0xFFFFFF;
        if (c != last) {
          index = NearestIndex(c);
          last = c;
        }
        if (bpp_ == 8)
          p[x] = index;
        else
          p[x >> 1] |= static_cast<uint8_t>((x & 1) ? index : index << 4);
      }
      break;
    }
    case 24:
      for (int x = 0; x < w; ++x, p += 3) {
        uint32_t c = Colors[x];
        p[0] = static_cast<uint8_t>(c >> 16);
        p[1] = static_cast<uint8_t>(c >> 8);
        p[2] = static_cast<uint8_t>(c);
      }
      break;
    case 32:
      for (int x = 0; x < w; ++x, p += 4) {
        uint32_t c = Colors[x];
        p[0] = static_cast<uint8_t>(c >> 16);
        p[1] = static_cast<uint8_t>(c >> 8);
        p[2] = static_cast<uint8_t>(c);
        p[3] = static_cast<uint8_t>(c >> 24);
      }
      break;
  }
}

void TBitmap::SetPixelFormat(TPixelFormat Format) {
  if (Format == format_ && !(Format == pfDevice && bpp_ == 1)) return;
  const int newBpp = FormatBpp(Format);
  // The monochrome device format and pf1bit share their bits.
  if (Format == pf1bit && bpp_ == 1) {
    format_ = pf1bit;
    return;
  }
  TBitmap converted;
  converted.format_ = Format;
  if (Format != pfDevice) converted.palette_ = DefaultPalette(newBpp);
  converted.Allocate(width_, height_, newBpp);
  std::vector<uint32_t> row(static_cast<size_t>(width_));
  for (int y = 0; y < height_; ++y) {
    ReadRow(y, row.data());
    converted.WriteRow(y, row.data());
  }
  converted.transparent_ = transparent_;
  converted.transparent_set_ = transparent_set_;
  *this = std::move(converted);
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value == Monochrome() && format_ == pfDevice) return;
  if (!Value) {
    if (Monochrome()) SetPixelFormat(pfDevice);
    return;
  }
  TBitmap converted;
  converted.format_ = pfDevice;
  converted.palette_ = DefaultPalette(1);
  converted.Allocate(width_, height_, 1);
  std::vector<uint32_t> row(static_cast<size_t>(width_));
  for (int y = 0; y < height_; ++y) {
    ReadRow(y, row.data());
    converted.WriteRow(y, row.data());
  }
  converted.transparent_ = transparent_;
  converted.transparent_set_ = transparent_set_;
  *this = std::move(converted);
}

TColorRef TBitmap::Pixel(int X, int Y) const {
  if (X < 0 || Y < 0 || X >= width_ || Y >= height_) throw Exception("Pixel out of range");
  const uint8_t* p = ScanLine(Y);
  auto pal = [&](size_t i) { return i < palette_.size() ? palette_[i] : 0; };
  switch (bpp_) {
    case 1:
      return pal((p[X >> 3] >> (7 - (X & 7))) & 1);
    case 4:
      return pal((p[X >> 1] >> ((X & 1) ? 0 : 4)) & 15);
    case 8:
      return pal(p[X]);
    case 24:
      p += X * 3;
      return RGB(p[2], p[1], p[0]);
    default:
      p += X * 4;
      return RGB(p[2], p[1], p[0]);
  }
}

void TBitmap::SetPixel(int X, int Y, TColorRef Color) {
  if (X < 0 || Y < 0 || X >= width_ || Y >= height_) throw Exception("Pixel out of range");
  uint8_t* p = ScanLine(Y);
  Color &= 0xFFFFFF;
  switch (bpp_) {
    case 1: {
      uint8_t bit = static_cast<uint8_t>(0x80 >> (X & 7));
      bool one = Distance(Color, palette_[1]) < Distance(Color, palette_[0]);
      p[X >> 3] = static_cast<uint8_t>(one ? (p[X >> 3] | bit) : (p[X >> 3] & ~bit));
      break;
    }
    case 4: {
      uint8_t i = NearestIndex(Color);
      uint8_t& b = p[X >> 1];
      b = (X & 1) ? static_cast<uint8_t>((b & 0xF0) | i)
                  : static_cast<uint8_t>((b & 0x0F) | (i << 4));
      break;
    }
    case 8:
      p[X] = NearestIndex(Color);
      break;
    case 24:
    case 32:
      p += X * (bpp_ / 8);
      p[0] = GetBValue(Color);
      p[1] = GetGValue(Color);
      p[2] = GetRValue(Color);
      break;
  }
}

void TBitmap::Fill(TColorRef Color) {
  if (height_ == 0 || width_ == 0) return;
  std::vector<uint32_t> row(static_cast<size_t>(width_), Color & 0xFFFFFF);
  WriteRow(0, row.data());
  for (int y = 1; y < height_; ++y) std::memcpy(ScanLine(y), ScanLine(0), stride_);
}

TColorRef TBitmap::TransparentColor() const {
  if (transparent_set_) return transparent_;
  if (width_ == 0 || height_ == 0) return 0;
  return Pixel(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColorRef Color) {
  transparent_ = Color & 0xFFFFFF;
  transparent_set_ = true;
}

void TBitmap::Mask(TColorRef Color) {
  Color &= 0xFFFFFF;
  TBitmap mask;
  mask.format_ = pfDevice;
  mask.palette_ = DefaultPalette(1);
  mask.Allocate(width_, height_, 1);
  std::vector<uint32_t> row(static_cast<size_t>(width_));
  for (int y = 0; y < height_; ++y) {
    ReadRow(y, row.data());
    uint8_t* p = mask.ScanLine(y);
    std::memset(p, 0, mask.stride_);
    for (int x = 0; x < width_; ++x)
      if ((row[x] & 0xFFFFFF) == Color) p[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
  }
  *this = std::move(mask);
}

namespace {

// Palette indices (or packed bytes) of one row, for the indexed formats.
void ReadIndices(const uint8_t* Row, int Bpp, int Width, uint8_t* Out) {
  if (Bpp == 8) {
    std::memcpy(Out, Row, static_cast<size_t>(Width));
  } else if (Bpp == 4) {
    for (int x = 0; x < Width; ++x) Out[x] = (Row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
  } else {
    for (int x = 0; x < Width; ++x) Out[x] = (Row[x >> 3] >> (7 - (x & 7))) & 1;
  }
}

void WriteIndices(uint8_t* Row, int Bpp, int Width, const uint8_t* In) {
  if (Bpp == 8) {
    std::memcpy(Row, In, static_cast<size_t>(Width));
    return;
  }
  const int perByte = 8 / Bpp;
  const int bytes = (Width + perByte - 1) / perByte;
  std::memset(Row, 0, static_cast<size_t>(bytes));
  for (int x = 0; x < Width; ++x) {
    int shift = 8 - Bpp * (x % perByte + 1);
    Row[x / perByte] |= static_cast<uint8_t>(In[x] << shift);
  }
}

}  // namespace

void FlipBitmap(TBitmap& Bitmap, bool Horizontal, bool Vertical) {
  const int w = Bitmap.Width();
  const int h = Bitmap.Height();
  if (w == 0 || h == 0) return;
  if (Vertical) {
    std::vector<uint8_t> tmp(Bitmap.Stride());
    for (int top = 0, bottom = h - 1; top < bottom; ++top, --bottom) {
      std::memcpy(tmp.data(), Bitmap.ScanLine(top), Bitmap.Stride());
      std::memcpy(Bitmap.ScanLine(top), Bitmap.ScanLine(bottom), Bitmap.Stride());
      std::memcpy(Bitmap.ScanLine(bottom), tmp.data(), Bitmap.Stride());
    }
  }
  if (!Horizontal) return;
  const int bpp = Bitmap.BitsPerPixel();
  if (bpp >= 24) {
    const int n = bpp / 8;
    for (int y = 0; y < h; ++y) {
      uint8_t* row = Bitmap.ScanLine(y);
      for (int l = 0, r = w - 1; l < r; ++l, --r)
        for (int k = 0; k < n; ++k) std::swap(row[l * n + k], row[r * n + k]);
    }
    return;
  }
  std::vector<uint8_t> indices(static_cast<size_t>(w));
  for (int y = 0; y < h; ++y) {
    ReadIndices(Bitmap.ScanLine(y), bpp, w, indices.data());
    std::reverse(indices.begin(), indices.end());
    WriteIndices(Bitmap.ScanLine(y), bpp, w, indices.data());
  }
}

uint32_t ApplyRop(uint32_t Rop, uint32_t P, uint32_t S, uint32_t D) {
  const uint32_t index = (Rop >> 16) & 0xFF;
  switch (index) {
    case 0x00:
      return 0;
    case 0xFF:
      return 0xFFFFFF;
    case 0xCC:
      return S;
    case 0xAA:
      return D;
    case 0xF0:
      return P & 0xFFFFFF;
    case 0x33:
      return ~S & 0xFFFFFF;
    case 0x55:
      return ~D & 0xFFFFFF;
    case 0x88:
      return S & D & 0xFFFFFF;
    case 0xEE:
      return (S | D) & 0xFFFFFF;
    case 0x66:
      return (S ^ D) & 0xFFFFFF;
    default:
      break;
  }
  // Sum of the minterms selected by the index: bit (p<<2 | s<<1 | d).
  uint32_t result = 0;
  for (int i = 0; i < 8; ++i) {
    if (!(index & (1u << i))) continue;
    result |= ((i & 4) ? P : ~P) & ((i & 2) ? S : ~S) & ((i & 1) ? D : ~D);
  }
  return result & 0xFFFFFF;
}

namespace {

// Source coordinate of every destination pixel of a span, -1 outside the
// source. Nearest neighbour, mirrored when asked.
void MapSpan(int DStart, int DLen, int SStart, int SLen, int SLimit, bool Mirror, int From, int To,
             std::vector<int>& Out) {
  Out.resize(static_cast<size_t>(To - From));
  for (int d = From; d < To; ++d) {
    int64_t offset = (static_cast<int64_t>(d - DStart) * SLen) / DLen;
    int64_t s = Mirror ? SStart + SLen - 1 - offset : SStart + offset;
    Out[static_cast<size_t>(d - From)] = (s < 0 || s >= SLimit) ? -1 : static_cast<int>(s);
  }
}

// Normalises a signed destination/source extent pair; false when empty.
bool Normalise(int& D, int& DLen, int& S, int& SLen, bool& Mirror) {
  if (DLen == 0 || SLen == 0) return false;
  Mirror = (DLen < 0) != (SLen < 0);
  if (DLen < 0) {
    D += DLen;
    DLen = -DLen;
  }
  if (SLen < 0) {
    S += SLen;
    SLen = -SLen;
  }
  return true;
}

template <typename Combine>
void ForEachRow(TBitmap& Dest, int DX, int DY, int DW, int DH, const TBitmap& Source, int SX,
                int SY, int SW, int SH, Combine combine) {
  bool mirrorX, mirrorY;
  if (!Normalise(DX, DW, SX, SW, mirrorX) || !Normalise(DY, DH, SY, SH, mirrorY)) return;
  const int x0 = std::max(DX, 0);
  const int x1 = static_cast<int>(std::min<int64_t>(int64_t{DX} + DW, Dest.Width()));
  const int y0 = std::max(DY, 0);
  const int y1 = static_cast<int>(std::min<int64_t>(int64_t{DY} + DH, Dest.Height()));
  if (x0 >= x1 || y0 >= y1) return;
  std::vector<int> xs, ys;
  MapSpan(DX, DW, SX, SW, Source.Width(), mirrorX, x0, x1, xs);
  MapSpan(DY, DH, SY, SH, Source.Height(), mirrorY, y0, y1, ys);
  std::vector<uint32_t> srcRow(static_cast<size_t>(Source.Width()));
  std::vector<uint32_t> dstRow(static_cast<size_t>(Dest.Width()));
  int cached = -1;
  for (int y = y0; y < y1; ++y) {
    int sy = ys[static_cast<size_t>(y - y0)];
    if (sy < 0) continue;
    if (sy != cached) {
      Source.ReadRow(sy, srcRow.data());
      cached = sy;
    }
    Dest.ReadRow(y, dstRow.data());
    for (int x = x0; x < x1; ++x) {
      int sx = xs[static_cast<size_t>(x - x0)];
      if (sx >= 0) dstRow[x] = combine(srcRow[sx], dstRow[x]);
    }
    Dest.WriteRow(y, dstRow.data());
  }
}

}  // namespace

void StretchBlt(TBitmap& Dest, int DX, int DY, int DW, int DH, const TBitmap& Source, int SX,
                int SY, int SW, int SH, uint32_t Rop, TColorRef Pattern) {
  const bool mono = Dest.Monochrome();
  const uint32_t pattern = mono ? ToBlackWhite(Pattern) : (Pattern & 0xFFFFFF);
  if (((Rop >> 16) & 0xFF) == 0xCC) {
    ForEachRow(Dest, DX, DY, DW, DH, Source, SX, SY, SW, SH,
               [](uint32_t s, uint32_t) { return s; });
    return;
  }
  ForEachRow(Dest, DX, DY, DW, DH, Source, SX, SY, SW, SH, [&](uint32_t s, uint32_t d) {
    if (mono) s = ToBlackWhite(s);
    return ApplyRop(Rop, pattern, s & 0xFFFFFF, d & 0xFFFFFF);
  });
}

void AlphaBlend(TBitmap& Dest, int DX, int DY, int DW, int DH, const TBitmap& Source, int SX,
                int SY, int SW, int SH, TBlendFunction Blend) {
  const uint32_t sca = Blend.SourceConstantAlpha;
  const bool perPixel = (Blend.AlphaFormat & kAlphaFormatSourceAlpha) != 0 && Source.BitsPerPixel() == 32;
  ForEachRow(Dest, DX, DY, DW, DH, Source, SX, SY, SW, SH, [&](uint32_t s, uint32_t d) {
    uint32_t out = 0;
    if (perPixel) {
      // Premultiplied source: colour scaled by the constant alpha, the
      // destination kept in proportion to what the source leaves.
      const uint32_t sa = ((s >> 24) * sca + 127) / 255;
      for (int shift = 0; shift < 24; shift += 8) {
        uint32_t sc = (((s >> shift) & 0xFF) * sca + 127) / 255;
        uint32_t dc = (((d >> shift) & 0xFF) * (255 - sa) + 127) / 255;
        out |= std::min<uint32_t>(sc + dc, 255) << shift;
      }
    } else {
      for (int shift = 0; shift < 24; shift += 8) {
        uint32_t v =
            (((s >> shift) & 0xFF) * sca + ((d >> shift) & 0xFF) * (255 - sca) + 127) / 255;
        out |= v << shift;
      }
    }
    return out;
  });
}

}  // namespace quillora
