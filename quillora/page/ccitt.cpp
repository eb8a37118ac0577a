#include "quillora/page/ccitt.h"

#include <array>
#include <bit>
#include <cstring>

#include "quillora/core/exception.h"
#include "quillora/platform/bitmap.h"

namespace quillora {

namespace {

// Codes are given as their bits, first to last, as in the T.4 tables.
constexpr const char* kWhiteTerminating[64] = {
    "00110101", "000111",   "0111",     "1000",     "1011",     "1100",     "1110",     "1111",
    "10011",    "10100",    "00111",    "01000",    "001000",   "000011",   "110100",   "110101",
    "101010",   "101011",   "0100111",  "0001100",  "0001000",  "0010111",  "0000011",  "0000100",
    "0101000",  "0101011",  "0010011",  "0100100",  "0011000",  "00000010", "00000011", "00011010",
    "00011011", "00010010", "00010011", "00010100", "00010101", "00010110", "00010111", "00101000",
    "00101001", "00101010", "00101011", "00101100", "00101101", "00000100", "00000101", "00001010",
    "00001011", "01010010", "01010011", "01010100", "01010101", "00100100", "00100101", "01011000",
    "01011001", "01011010", "01011011", "01001010", "01001011", "00110010", "00110011", "00110100"};

constexpr const char* kBlackTerminating[64] = {
    "0000110111",   "010",          "11",           "10",           "011",          "0011",
    "0010",         "00011",        "000101",       "000100",       "0000100",      "0000101",
    "0000111",      "00000100",     "00000111",     "000011000",    "0000010111",   "0000011000",
    "0000001000",   "00001100111",  "00001101000",  "00001101100",  "00000110111",  "00000101000",
    "00000010111",  "00000011000",  "000011001010", "000011001011", "000011001100", "000011001101",
    "000001101000", "000001101001", "000001101010", "000001101011", "000011010010", "000011010011",
    "000011010100", "000011010101", "000011010110", "000011010111", "000001101100", "000001101101",
    "000011011010", "000011011011", "000001010100", "000001010101", "000001010110", "000001010111",
    "000001100100", "000001100101", "000001010010", "000001010011", "000000100100", "000000110111",
    "000000111000", "000000100111", "000000101000", "000001011000", "000001011001", "000000101011",
    "000000101100", "000001011010", "000001100110", "000001100111"};

// Make-up codes for 64 to 1728, by run / 64 - 1.
constexpr const char* kWhiteMakeUp[27] = {
    "11011",     "10010",     "010111",    "0110111",   "00110110",  "00110111",  "01100100",
    "01100101",  "01101000",  "01100111",  "011001100", "011001101", "011010010", "011010011",
    "011010100", "011010101", "011010110", "011010111", "011011000", "011011001", "011011010",
    "011011011", "010011000", "010011001", "010011010", "011000",    "010011011"};

constexpr const char* kBlackMakeUp[27] = {
    "0000001111",    "000011001000",  "000011001001",  "000001011011",  "000000110011",
    "000000110100",  "000000110101",  "0000001101100", "0000001101101", "0000001001010",
    "0000001001011", "0000001001100", "0000001001101", "0000001110010", "0000001110011",
    "0000001110100", "0000001110101", "0000001110110", "0000001110111", "0000001010010",
    "0000001010011", "0000001010100", "0000001010101", "0000001011010", "0000001011011",
    "0000001100100", "0000001100101"};

// Extended make-up codes for 1792 to 2560, shared by both colours.
constexpr const char* kExtendedMakeUp[13] = {
    "00000001000",  "00000001100",  "00000001101",  "000000010010", "000000010011",
    "000000010100", "000000010101", "000000010110", "000000010111", "000000011100",
    "000000011101", "000000011110", "000000011111"};

template <typename Code>
constexpr Code Parse(const char* Bits) {
  Code c{0, 0};
  for (; *Bits; ++Bits) {
    c.Bits = static_cast<uint16_t>((c.Bits << 1) | (*Bits == '1'));
    ++c.Length;
  }
  return c;
}

template <typename Code>
struct Tables {
  std::array<Code, 64> whiteTerm{}, blackTerm{};
  std::array<Code, 41> whiteMakeUp{}, blackMakeUp{};  // index run / 64
  constexpr Tables() {
    for (int i = 0; i < 64; ++i) {
      whiteTerm[i] = Parse<Code>(kWhiteTerminating[i]);
      blackTerm[i] = Parse<Code>(kBlackTerminating[i]);
    }
    for (int i = 0; i < 27; ++i) {
      whiteMakeUp[i + 1] = Parse<Code>(kWhiteMakeUp[i]);
      blackMakeUp[i + 1] = Parse<Code>(kBlackMakeUp[i]);
    }
    for (int i = 0; i < 13; ++i) {
      whiteMakeUp[i + 28] = blackMakeUp[i + 28] = Parse<Code>(kExtendedMakeUp[i]);
    }
  }
};

// Leading 0 bits and leading 1 bits of each byte value, most significant
// bit first: run ends are found a byte at a time.
struct RunTables {
  uint8_t zeros[256];
  uint8_t ones[256];
  constexpr RunTables() : zeros(), ones() {
    for (int v = 0; v < 256; ++v) {
      int z = 0;
      while (z < 8 && !(v & (0x80 >> z))) ++z;
      int o = 0;
      while (o < 8 && (v & (0x80 >> o))) ++o;
      zeros[v] = static_cast<uint8_t>(z);
      ones[v] = static_cast<uint8_t>(o);
    }
  }
};
constexpr RunTables kRuns;

inline int PixelAt(const uint8_t* Row, int X) {
  return (Row[X >> 3] >> (7 - (X & 7))) & 1;
}

// First position at or after Start, below End, whose pixel is not Color;
// End when there is none.
int FindDiff(const uint8_t* Row, int Start, int End, int Color) {
  if (Start >= End) return End;
  const uint8_t* table = Color ? kRuns.ones : kRuns.zeros;
  int pos = Start;
  const uint8_t* p = Row + (pos >> 3);
  const int bit = pos & 7;
  if (bit) {
    const int left = 8 - bit;
    int n = table[static_cast<uint8_t>(*p << bit)];
    if (n > left) n = left;
    pos += n;
    if (n < left || pos >= End) return pos < End ? pos : End;
    ++p;
  }
  const uint8_t full = Color ? 0xFF : 0x00;
  const uint64_t full64 = Color ? ~uint64_t{0} : 0;
  while (pos + 64 <= End) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    if (word != full64) break;
    pos += 64;
    p += 8;
  }
  while (pos < End && *p == full) {
    pos += 8;
    ++p;
  }
  if (pos >= End) return End;
  pos += table[*p];
  return pos < End ? pos : End;
}

}  // namespace

static constexpr Tables<TCCITTCompression::TCode> kTables;
static constexpr TCCITTCompression::TCodeTable kWhite{kTables.whiteTerm.data(),
                                                      kTables.whiteMakeUp.data()};
static constexpr TCCITTCompression::TCodeTable kBlack{kTables.blackTerm.data(),
                                                      kTables.blackMakeUp.data()};

namespace {
constexpr TCCITTCompression::TCode kPass{0b0001, 4};
constexpr TCCITTCompression::TCode kHorizontal{0b001, 3};
// Vertical codes for b1 - a1 = -3 .. 3: VR3, VR2, VR1, V0, VL1, VL2, VL3.
constexpr TCCITTCompression::TCode kVertical[7] = {
    {0b0000011, 7}, {0b000011, 6}, {0b011, 3}, {0b1, 1}, {0b010, 3}, {0b000010, 6}, {0b0000010, 7}};
constexpr uint32_t kEOL = 1;
constexpr int kEOLLength = 12;
}  // namespace

void TCCITTCompression::PutBits(uint32_t Code, int Length) {
  bit_buffer_ = (bit_buffer_ << Length) | (Code & ((1u << Length) - 1));
  bit_count_ += Length;
  if (bit_count_ >= 32) {
    const int keep = bit_count_ - 32;
    const uint32_t word = static_cast<uint32_t>(bit_buffer_ >> keep);
    const char bytes[4] = {static_cast<char>(word >> 24), static_cast<char>(word >> 16),
                           static_cast<char>(word >> 8), static_cast<char>(word)};
    out_.append(bytes, 4);
    bit_count_ = keep;
    bit_buffer_ &= (uint64_t{1} << keep) - 1;
  }
}

void TCCITTCompression::Flush() {
  while (bit_count_ >= 8) {
    bit_count_ -= 8;
    out_.push_back(static_cast<char>(bit_buffer_ >> bit_count_));
  }
  if (bit_count_ > 0) out_.push_back(static_cast<char>(bit_buffer_ << (8 - bit_count_)));
  bit_count_ = 0;
  bit_buffer_ = 0;
}

void TCCITTCompression::PutSpan(int Run, const TCodeTable& Table) {
  while (Run >= 2624) {
    PutCode(Table.MakeUp[40]);
    Run -= 2560;
  }
  if (Run >= 64) {
    PutCode(Table.MakeUp[Run >> 6]);
    Run &= 63;
  }
  PutCode(Table.Terminating[Run]);
}

void TCCITTCompression::EncodeRow1D(const uint8_t* Row) {
  int pos = 0;
  while (pos < width_) {
    int end = FindDiff(Row, pos, width_, 0);
    PutSpan(end - pos, kWhite);
    pos = end;
    if (pos >= width_) break;
    end = FindDiff(Row, pos, width_, 1);
    PutSpan(end - pos, kBlack);
    pos = end;
  }
}

// For a row equal to its reference, the number of its changing elements
// (the imaginary pixel before the row is white); -1 when the rows differ.
int TCCITTCompression::CopiedRowChanges(const uint8_t* Row, const uint8_t* Reference) const {
  const int full = width_ >> 3, rest = width_ & 7;
  const uint8_t lastMask = static_cast<uint8_t>(0xFF00 >> rest);
  if (std::memcmp(Row, Reference, static_cast<size_t>(full)) != 0) return -1;
  if (rest && ((Row[full] ^ Reference[full]) & lastMask)) return -1;
  int changes = 0;
  uint64_t prev = 0;  // the last pixel of the previous word
  int i = 0;
  for (; i + 8 <= full; i += 8) {
    uint64_t w;
    std::memcpy(&w, Row + i, 8);
    w = __builtin_bswap64(w);
    changes += std::popcount(w ^ ((w >> 1) | (prev << 63)));
    prev = w & 1;
  }
  for (; i < full; ++i) {
    const unsigned b = Row[i];
    changes += std::popcount((b ^ ((b >> 1) | static_cast<unsigned>(prev << 7))) & 0xFFu);
    prev = b & 1;
  }
  if (rest) {
    const unsigned b = Row[full];
    changes += std::popcount((b ^ ((b >> 1) | static_cast<unsigned>(prev << 7))) & lastMask);
  }
  return changes;
}

void TCCITTCompression::EncodeRow2D(const uint8_t* Row, const uint8_t* Reference) {
  const int bits = width_;
  // A row equal to its reference codes as one V0 per changing element and a
  // last V0 at the row end: the procedure below gives exactly that, found
  // here without walking the runs.
  if (int changes = CopiedRowChanges(Row, Reference); changes >= 0) {
    for (int n = changes + 1; n > 0; n -= 24) {
      const int k = n < 24 ? n : 24;
      PutBits((1u << k) - 1, k);
    }
    return;
  }
  int a0 = 0;
  int a1 = PixelAt(Row, 0) ? 0 : FindDiff(Row, 0, bits, 0);
  int b1 = PixelAt(Reference, 0) ? 0 : FindDiff(Reference, 0, bits, 0);
  for (;;) {
    const int b2 = b1 < bits ? FindDiff(Reference, b1, bits, PixelAt(Reference, b1)) : bits;
    if (b2 < a1) {
      PutCode(kPass);
      a0 = b2;
    } else {
      const int d = b1 - a1;
      if (d >= -3 && d <= 3) {
        PutCode(kVertical[d + 3]);
        a0 = a1;
      } else {
        const int a2 = a1 < bits ? FindDiff(Row, a1, bits, PixelAt(Row, a1)) : bits;
        PutCode(kHorizontal);
        if (a0 + a1 == 0 || PixelAt(Row, a0) == 0) {
          PutSpan(a1 - a0, kWhite);
          PutSpan(a2 - a1, kBlack);
        } else {
          PutSpan(a1 - a0, kBlack);
          PutSpan(a2 - a1, kWhite);
        }
        a0 = a2;
      }
    }
    if (a0 >= bits) break;
    const int c = PixelAt(Row, a0);
    a1 = FindDiff(Row, a0, bits, c);
    b1 = FindDiff(Reference, a0, bits, !c);
    b1 = FindDiff(Reference, b1, bits, c);
  }
}

void TCCITTCompression::Encode(const TBitmap& Bitmap) {
  if (!stream_) throw Exception("Not set output stream.");
  if (Bitmap.BitsPerPixel() != 1) throw Exception("Not b/w image.");
  if (Bitmap.Width() == 0 || Bitmap.Height() == 0) return;
  width_ = Bitmap.Width();
  bytes_per_row_ = (width_ + 7) / 8;
  bit_buffer_ = 0;
  bit_count_ = 0;
  out_.clear();
  // Seven spare bytes let the run finder read whole words near the end.
  std::vector<uint8_t> work(static_cast<size_t>(bytes_per_row_) + 8, 0);
  if (mode_ != 0) reference_.assign(work.size(), 0);
  for (int y = 0; y < Bitmap.Height(); ++y) {
    const uint8_t* src = Bitmap.ScanLine(y);
    for (int i = 0; i < bytes_per_row_; ++i) work[i] = static_cast<uint8_t>(~src[i]);
    switch (mode_) {
      case 0:
        EncodeRow1D(work.data());
        break;
      case 1:
        PutBits(kEOL, kEOLLength);
        PutBits(0, 1);  // tag: this line is coded two-dimensionally
        EncodeRow2D(work.data(), reference_.data());
        std::memcpy(reference_.data(), work.data(), static_cast<size_t>(bytes_per_row_));
        break;
      default:
        EncodeRow2D(work.data(), reference_.data());
        std::memcpy(reference_.data(), work.data(), static_cast<size_t>(bytes_per_row_));
        break;
    }
    if (out_.size() >= 1 << 16) {
      stream_->append(out_);
      out_.clear();
    }
  }
  if (mode_ == 2) {  // end of facsimile block
    PutBits(kEOL, kEOLLength);
    PutBits(kEOL, kEOLLength);
  }
  Flush();
  stream_->append(out_);
  out_.clear();
}

void CCITTCompressBitmap(const TBitmap& Bitmap, std::string* Stream, int Mode) {
  TCCITTCompression encoder;
  encoder.SetMode(Mode);
  encoder.SetStream(Stream);
  encoder.Encode(Bitmap);
}

}  // namespace quillora
