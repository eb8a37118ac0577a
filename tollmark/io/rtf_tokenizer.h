// Splits RTF bytes into groups, control words, control symbols, hex bytes
// and runs of plain text. Never reads past the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tollmark::io {

struct RtfToken {
  enum Kind { kEnd, kGroupStart, kGroupEnd, kWord, kSymbol, kHex, kText };
  Kind kind = kEnd;
  std::string_view text;  // kWord: the name; kText: the bytes
  bool hasParam = false;
  int32_t param = 0;      // clamped to the int32 range
  char symbol = 0;        // kSymbol
  unsigned char hex = 0;  // kHex
};

class RtfTokenizer {
 public:
  explicit RtfTokenizer(std::string_view data) : data_(data) {}

  RtfToken Next();
  // The raw bytes of \binN: at most `count`, fewer when the data ends.
  std::string_view ReadBinary(int64_t count);
  size_t Position() const { return pos_; }

 private:
  std::string_view data_;
  size_t pos_ = 0;
};

}  // namespace tollmark::io
