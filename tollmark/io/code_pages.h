// Windows code pages for RTF text: decoding bytes to UTF-16 (iconv for the
// code pages other than Windows-1252) and the Windows-1252 table the writer
// uses for its fallback bytes.
#pragma once

#include <QString>
#include <map>
#include <string_view>

namespace tollmark::io {

constexpr int kCodePage1252 = 1252;
constexpr int kCodePageSymbol = 42;  // \fcharset2: bytes go to U+F0xx like Windows

// The code page of an RTF \fcharset value; 0 when the charset names none.
int CodePageForCharset(int charset);
bool IsDoubleByteCodePage(int codePage);

// Windows-1252 byte for a UTF-16 unit, or -1 when it has none.
int UnicodeToCp1252(char16_t c);
char16_t Cp1252ToUnicode(unsigned char b);

// Decodes byte runs; keeps one iconv descriptor per code page. A code page
// iconv does not know decodes as Windows-1252; invalid bytes become U+FFFD.
class CodePageDecoder {
 public:
  CodePageDecoder() = default;
  CodePageDecoder(const CodePageDecoder&) = delete;
  CodePageDecoder& operator=(const CodePageDecoder&) = delete;
  ~CodePageDecoder();

  void Decode(int codePage, std::string_view bytes, QString& out);

 private:
  void* Descriptor(int codePage);  // iconv_t, or nullptr when unsupported
  std::map<int, void*> descriptors_;
};

}  // namespace tollmark::io
