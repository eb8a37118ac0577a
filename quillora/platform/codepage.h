// Windows code pages over iconv: single-byte and double-byte text to UTF-16
// and back, as MultiByteToWideChar and WideCharToMultiByte do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillora::platform {

// Whether the code page is one this layer converts (1250-1258, 874, 932,
// 936, 949, 950, 1361, 10000, and 437/850 for OEM text).
bool CodePageSupported(int codePage);

// Converts 8-bit text of the code page to UTF-16. A byte (or byte pair) the
// code page does not define becomes the character of the same number, as
// Windows does for the undefined codes of 1252; an unsupported code page
// gives empty text.
std::u16string MultiByteToUnicode(std::string_view text, int codePage);

// Whether Byte starts a two-byte character in the double-byte code pages
// (932, 936, 949, 950, 1361); false for every single-byte code page.
bool IsLeadByte(int codePage, uint8_t Byte);

// Converts UTF-16 to the code page; characters it cannot hold become '?'.
std::string UnicodeToMultiByte(std::u16string_view text, int codePage);

// The default font character set of the user's locale (LC_ALL, LC_CTYPE,
// LANG): 0 (ANSI) unless the language has its own Windows charset.
int DefaultFontCharset();

}  // namespace quillora::platform
