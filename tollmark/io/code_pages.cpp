#include "tollmark/io/code_pages.h"

#include <iconv.h>

#include <array>
#include <cerrno>

namespace tollmark::io {
namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes keep their C1 value,
// as Windows' own conversion does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const char* IconvName(int codePage) {
  switch (codePage) {
    case 437:
      return "CP437";
    case 850:
      return "CP850";
    case 852:
      return "CP852";
    case 866:
      return "CP866";
    case 874:
      return "CP874";
    case 932:
      return "CP932";
    case 936:
      return "CP936";
    case 949:
      return "CP949";
    case 950:
      return "CP950";
    case 1250:
      return "CP1250";
    case 1251:
      return "CP1251";
    case 1253:
      return "CP1253";
    case 1254:
      return "CP1254";
    case 1255:
      return "CP1255";
    case 1256:
      return "CP1256";
    case 1257:
      return "CP1257";
    case 1258:
      return "CP1258";
    case 1361:
      return "JOHAB";
    case 10000:
      return "MACINTOSH";
    case 10001:
      return "CP932";  // Mac Japanese: Shift-JIS
    case 10002:
      return "BIG5";
    case 10003:
      return "CP949";
    case 10007:
      return "MAC-CYRILLIC";
    case 10008:
      return "GBK";
    case 10029:
      return "MAC-CENTRALEUROPE";
    case 20866:
      return "KOI8-R";
    case 28591:
      return "ISO-8859-1";
    case 28592:
      return "ISO-8859-2";
    case 28595:
      return "ISO-8859-5";
    case 65001:
      return "UTF-8";
    default:
      return nullptr;
  }
}

void DecodeCp1252(std::string_view bytes, QString& out) {
  for (unsigned char b : bytes) out.append(QChar(Cp1252ToUnicode(b)));
}

}  // namespace

int CodePageForCharset(int charset) {
  switch (charset) {
    case 0:
      return 1252;
    case 2:
      return kCodePageSymbol;
    case 77:
      return 10000;  // the Mac charsets
    case 78:
      return 10001;
    case 79:
      return 10003;
    case 80:
      return 10008;
    case 81:
      return 10002;
    case 88:
      return 10029;
    case 89:
      return 10007;
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
    case 254:
      return 437;
    case 255:
      return 850;
    default:
      return 0;
  }
}

bool IsDoubleByteCodePage(int codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
         codePage == 1361;
}

char16_t Cp1252ToUnicode(unsigned char b) {
  if (b >= 0x80 && b < 0xA0) return kCp1252High[b - 0x80];
  return b;
}

int UnicodeToCp1252(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (size_t i = 0; i < kCp1252High.size(); ++i) {
    if (kCp1252High[i] == c) return static_cast<int>(0x80 + i);
  }
  return -1;
}

CodePageDecoder::~CodePageDecoder() {
  for (auto& [cp, cd] : descriptors_) {
    if (cd) iconv_close(static_cast<iconv_t>(cd));
  }
}

void* CodePageDecoder::Descriptor(int codePage) {
  auto it = descriptors_.find(codePage);
  if (it != descriptors_.end()) return it->second;
  void* result = nullptr;
  if (const char* name = IconvName(codePage)) {
    iconv_t cd = iconv_open("UTF-16LE", name);
    if (cd != reinterpret_cast<iconv_t>(-1)) result = cd;
  }
  descriptors_.emplace(codePage, result);
  return result;
}

void CodePageDecoder::Decode(int codePage, std::string_view bytes, QString& out) {
  if (bytes.empty()) return;
  bool ascii = true;
  for (unsigned char b : bytes) {
    if (b >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii && codePage != kCodePageSymbol) {
    out.append(QLatin1StringView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return;
  }
  if (codePage == kCodePageSymbol) {
    for (unsigned char b : bytes) out.append(QChar(b < 0x20 ? char16_t(b) : char16_t(0xF000 + b)));
    return;
  }
  if (codePage == 1252 || codePage == 0) return DecodeCp1252(bytes, out);
  auto cd = static_cast<iconv_t>(Descriptor(codePage));
  if (!cd) return DecodeCp1252(bytes, out);

  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  std::array<char16_t, 512> buffer;
  while (inLeft > 0) {
    char* outPtr = reinterpret_cast<char*>(buffer.data());
    size_t outLeft = sizeof(buffer);
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    size_t produced = (sizeof(buffer) - outLeft) / sizeof(char16_t);
    out.append(reinterpret_cast<const QChar*>(buffer.data()), static_cast<qsizetype>(produced));
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ, or EINVAL for a lead byte without its trail byte.
      out.append(QChar(QChar::ReplacementCharacter));
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
}

}  // namespace tollmark::io
