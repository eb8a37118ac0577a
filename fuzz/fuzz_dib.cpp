// libFuzzer target: any bytes as a device-independent bitmap. The first two
// bytes choose the colour usage and where the info block ends; the rest is
// the info block followed by the bits. Decoding, the GDI-style copies and
// the JPEG/CCITT encoders of the result must never read outside the data.
#include <cstddef>
#include <cstdint>
#include <string>

#include "quillora/core/exception.h"
#include "quillora/page/ccitt.h"
#include "quillora/platform/bitmap.h"
#include "quillora/platform/dib.h"

using namespace quillora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 2) return 0;
  const uint32_t usage = Data[0] & 1;
  const bool packed = (Data[0] & 2) != 0;
  const uint8_t* rest = Data + 2;
  const size_t restSize = Size - 2;
  try {
    // Keep each run small: the decoder itself accepts up to 2^28 pixels.
    const TDIBHeader h = ReadDIBHeader(rest, restSize, usage);
    if (int64_t{h.Width} * h.Height > (int64_t{1} << 18)) return 0;
  } catch (const Exception&) {
    return 0;
  }
  try {
    TBitmap b;
    if (packed) {
      b = DecodePackedDIB(rest, restSize, usage);
    } else {
      const size_t split = std::min<size_t>(restSize, Data[1] * 4u + 12);
      b = DecodeDIB(rest, split, rest + split, restSize - split, usage);
      TBitmap dest(17, 9, (Data[1] & 1) ? pf24bit : pfDevice);
      if (Data[1] & 2) dest.SetMonochrome(true);
      StretchDIBits(dest, -3, 2, 20, -7, 1, 1, b.Width(), b.Height() - 1, rest, split, rest + split,
                    restSize - split, usage, 0x660046);
      SetDIBitsToDevice(dest, 1, -1, 15, 8, 0, 1, 1, 5, rest, split, rest + split, restSize - split,
                        usage);
    }
    FlipBitmap(b, true, true);
    if (b.BitsPerPixel() == 1) {
      std::string out;
      CCITTCompressBitmap(b, &out, Data[1] % 3);
    }
    TBitmap white(b.Width(), b.Height(), pf24bit);
    AlphaBlend(white, 0, 0, b.Width(), b.Height(), b, 0, 0, b.Width(), b.Height(),
               TBlendFunction::FromBytes(0x01800000));
  } catch (const Exception&) {
  }
  return 0;
}
