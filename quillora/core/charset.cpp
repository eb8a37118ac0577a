#include "quillora/core/charset.h"

#include "quillora/core/tokens.h"
#include "quillora/platform/codepage.h"

namespace quillora {

int CharsetCodePage(int Charset) {
  if (Charset == 1) Charset = platform::DefaultFontCharset();
  switch (Charset) {
    case 77:
      return 10000;
    case 128:
      return 932;
    case 129:
      return 949;
    case 130:
      return 1361;
    case 134:
      return 936;
    case 136:
      return 950;
    case 161:
      return 1253;
    case 162:
      return 1254;
    case 163:
      return 1258;
    case 177:
      return 1255;
    case 178:
      return 1256;
    case 186:
      return 1257;
    case 204:
      return 1251;
    case 222:
      return 874;
    case 238:
      return 1250;
    default:
      return 1252;
  }
}

std::u16string CharsetToUnicode(std::string_view Text, int Charset) {
  return platform::MultiByteToUnicode(Text, CharsetCodePage(Charset));
}

std::string AnsiToUnicodeHex(std::string_view S, int Charset) {
  int codePage = 1252;
  switch (Charset) {
    case 128:
      codePage = 932;
      break;
    case 129:
      codePage = 949;
      break;
    case 134:
      codePage = 936;
      break;
    case 136:
      codePage = 950;
      break;
    case 161:
      codePage = 1253;
      break;
    case 162:
      codePage = 1254;
      break;
    case 186:
      codePage = 1257;
      break;
    case 204:
      codePage = 1251;
      break;
    case 238:
      codePage = 1250;
      break;
    default:
      break;
  }
  std::u16string wide = platform::MultiByteToUnicode(S, codePage);
  if (wide.empty()) return {};
  std::string hex = "FEFF";
  hex.reserve(4 + 4 * wide.size());
  for (char16_t c : wide) hex += WordToHex(c);
  return hex;
}

}  // namespace quillora
