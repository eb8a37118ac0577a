// Windows character sets and the code pages of their single-byte text.
#pragma once

#include <string>
#include <string_view>

namespace quillora {

// The code page of the text output for a Windows charset (charset 1 is
// first replaced by the system's default font charset); 1252 for any other.
int CharsetCodePage(int Charset);

// Single-byte text of the charset as UTF-16 (through CharsetCodePage).
std::u16string CharsetToUnicode(std::string_view Text, int Charset);

// "FEFF" and four hex digits per UTF-16 unit of S read in the charset's code
// page (its own shorter map: 932, 949, 936, 950, 1253, 1254, 1257, 1251,
// 1250, else 1252); empty when nothing converts.
std::string AnsiToUnicodeHex(std::string_view S, int Charset);

}  // namespace quillora
