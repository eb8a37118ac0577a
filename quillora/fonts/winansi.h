// The Windows-1252 code table: which Unicode characters a single-byte
// (WinAnsi) font shows, and under which code.
#pragma once

#include <cstdint>

namespace quillora {

// True for U+0000..U+007F, U+00A0..U+00FE and the 32 characters of codes
// 0x80..0x9F (the 27 defined ones and the five undefined codes as themselves).
bool IsWinAnsiChar(char16_t c);

// The single-byte code of a character, or 0 when it has none.
uint8_t UnicodeToWinAnsi(char16_t c);

// The character of a single-byte code.
char16_t WinAnsiToUnicode(uint8_t code);

}  // namespace quillora
