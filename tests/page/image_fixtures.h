// Generated 1-bit and colour bitmaps shared by the CCITT and image tests.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "quillora/platform/bitmap.h"

namespace image_fixtures {

enum class Content { kWhite, kBlack, kNoise, kText };

inline const char* Name(Content c) {
  switch (c) {
    case Content::kWhite:
      return "white";
    case Content::kBlack:
      return "black";
    case Content::kNoise:
      return "noise";
    case Content::kText:
      return "text";
  }
  return "?";
}

// A pf1bit bitmap (palette black, white: bit 1 is white). The padding bits
// after the last pixel of every row are set to 1s and 0s alternately so that
// an encoder reading them would show.
inline quillora::TBitmap MonoBitmap(int width, int height, Content content, uint32_t seed = 1) {
  quillora::TBitmap b(width, height, quillora::pf1bit);
  std::mt19937 rng(seed);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (size_t i = 0; i < b.Stride(); ++i) row[i] = (y & 1) ? 0xFF : 0x00;
    auto set = [&](int x, bool white) {
      uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<uint8_t>(white ? row[x >> 3] | bit : row[x >> 3] & ~bit);
    };
    int glyphLeft = 0;
    // Rows of one text line share their cells.
    std::mt19937 lineRng(seed * 1000003u + static_cast<uint32_t>(y / 16));
    for (int x = 0; x < width; ++x) {
      bool white = true;
      switch (content) {
        case Content::kWhite:
          white = true;
          break;
        case Content::kBlack:
          white = false;
          break;
        case Content::kNoise:
          white = (rng() & 1) != 0;
          break;
        case Content::kText: {
          // Lines of 16 rows with 10 rows of "glyphs": strokes of 1 to 3
          // pixels inside cells of 4 to 9 pixels, words separated by gaps.
          int line = y % 16;
          if (line < 3 || line > 12) break;
          if (x == glyphLeft) glyphLeft += 4 + static_cast<int>(lineRng() % 6);
          int inCell = (glyphLeft - x);
          uint32_t h = static_cast<uint32_t>(glyphLeft * 2654435761u + line * 40503u);
          bool gap = (glyphLeft / 37) % 7 == 6;
          white = gap ||
                  !(inCell <= 1 + static_cast<int>(h % 3) || line == static_cast<int>(3 + h % 10));
          break;
        }
      }
      set(x, white);
    }
  }
  return b;
}

// Reads pixel (x, y) of a 1-bit bitmap as true when black.
inline bool IsBlack(const quillora::TBitmap& b, int x, int y) {
  return quillora::GetRValue(b.Pixel(x, y)) < 128;
}

}  // namespace image_fixtures
