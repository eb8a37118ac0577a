#include "quillora/fonts/winansi.h"

namespace quillora {
namespace {

// Codes 0x80..0x9F; the five codes Windows-1252 leaves undefined map to the
// characters of the same number.
constexpr char16_t kHighCodes[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

uint8_t UnicodeToWinAnsi(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFE)) return static_cast<uint8_t>(c);
  // The table's characters lie in 0x81-0x9D, 0x152-0x192, 0x2C6-0x2DC and
  // 0x2013-0x2122: whole scripts (Greek, Cyrillic, ...) are rejected at once.
  if (c > 0x2122 || (c > 0x9D && c < 0x152) || (c > 0x192 && c < 0x2C6) ||
      (c > 0x2DC && c < 0x2013))
    return 0;
  for (int i = 0; i < 32; ++i)
    if (kHighCodes[i] == c) return static_cast<uint8_t>(0x80 + i);
  return 0;
}

bool IsWinAnsiChar(char16_t c) {
  return c == 0 || UnicodeToWinAnsi(c) != 0;
}

char16_t WinAnsiToUnicode(uint8_t code) {
  return code >= 0x80 && code <= 0x9F ? kHighCodes[code - 0x80] : code;
}

}  // namespace quillora
