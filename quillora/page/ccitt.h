// CCITT facsimile coding (ITU-T T.4 and T.6) of monochrome bitmaps for images
// written with the CCITTFaxDecode filter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillora {

class TBitmap;

// Encodes a bitmap in 1-bit format. Modes: 0 Group 3 one-dimensional,
// 1 Group 3 two-dimensional, 2 Group 4. Bitmap bit 1 is taken as white.
class TCCITTCompression {
 public:
  void SetMode(int Mode) { mode_ = Mode; }
  // The string that receives the coded bytes (appended to); not owned.
  void SetStream(std::string* Stream) { stream_ = Stream; }
  // Raises Exception "Not set output stream." or "Not b/w image.".
  void Encode(const TBitmap& Bitmap);

  struct TCode {
    uint16_t Bits;
    uint8_t Length;
  };
  struct TCodeTable {
    const TCode* Terminating;  // runs 0 to 63
    const TCode* MakeUp;       // index n for runs of n * 64, 1 to 40
  };

 private:
  void PutBits(uint32_t Code, int Length);
  void PutCode(TCode Code) { PutBits(Code.Bits, Code.Length); }
  void PutSpan(int Run, const TCodeTable& Table);
  void EncodeRow1D(const uint8_t* Row);
  void EncodeRow2D(const uint8_t* Row, const uint8_t* Reference);
  int CopiedRowChanges(const uint8_t* Row, const uint8_t* Reference) const;
  void Flush();

  int mode_ = 0;
  std::string* stream_ = nullptr;
  int width_ = 0;
  int bytes_per_row_ = 0;
  uint64_t bit_buffer_ = 0;  // pending bits, right-aligned
  int bit_count_ = 0;        // number of pending bits
  std::string out_;          // coded bytes not yet appended to the stream
  std::vector<uint8_t> reference_;
};

// Creates an encoder with Mode and Stream, encodes Bitmap and frees it.
void CCITTCompressBitmap(const TBitmap& Bitmap, std::string* Stream, int Mode);

}  // namespace quillora
