#include "quillora/platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <map>
#include <utility>

namespace quillora::platform {
namespace {

const char* IconvName(int codePage) {
  switch (codePage) {
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
    case 1252:
      return "CP1252";
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
    case 437:
      return "CP437";
    case 850:
      return "CP850";
    default:
      return nullptr;
  }
}

// Converters are opened once per code page and direction and kept for the
// life of the process; iconv_open costs far more than a short conversion.
class ConverterCache {
 public:
  iconv_t Get(int codePage, bool toUnicode) {
    auto key = std::make_pair(codePage, toUnicode);
    auto it = converters_.find(key);
    if (it != converters_.end()) return it->second;
    const char* name = IconvName(codePage);
    if (!name) return reinterpret_cast<iconv_t>(-1);
    iconv_t cd = toUnicode ? iconv_open("UTF-16LE", name) : iconv_open(name, "UTF-16LE");
    if (cd != reinterpret_cast<iconv_t>(-1)) converters_.emplace(key, cd);
    return cd;
  }

 private:
  std::map<std::pair<int, bool>, iconv_t> converters_;
};

// Never destroyed: conversions may run during static destruction.
ConverterCache& Cache() {
  static ConverterCache* cache = new ConverterCache();
  return *cache;
}

}  // namespace

bool CodePageSupported(int codePage) {
  return IconvName(codePage) != nullptr;
}

std::u16string MultiByteToUnicode(std::string_view text, int codePage) {
  std::u16string out;
  iconv_t cd = Cache().Get(codePage, true);
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  out.reserve(text.size());
  char buffer[512];
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    size_t produced = sizeof buffer - outLeft;
    for (size_t i = 0; i + 1 < produced; i += 2) {
      out.push_back(static_cast<char16_t>(static_cast<uint8_t>(buffer[i]) |
                                          (static_cast<uint8_t>(buffer[i + 1]) << 8)));
    }
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // An undefined or truncated sequence: the byte stands for itself.
      out.push_back(static_cast<char16_t>(static_cast<uint8_t>(*in)));
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  // 1255 and 1258 hold a base character back until they know whether a
  // combining mark follows: flush it.
  char* outPtr = buffer;
  size_t outLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  for (size_t i = 0; i + 1 < sizeof buffer - outLeft; i += 2) {
    out.push_back(static_cast<char16_t>(static_cast<uint8_t>(buffer[i]) |
                                        (static_cast<uint8_t>(buffer[i + 1]) << 8)));
  }
  return out;
}

std::string UnicodeToMultiByte(std::u16string_view text, int codePage) {
  std::string out;
  iconv_t cd = Cache().Get(codePage, false);
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string in16;
  in16.reserve(text.size() * 2);
  for (char16_t c : text) {
    in16.push_back(static_cast<char>(c & 0xFF));
    in16.push_back(static_cast<char>(c >> 8));
  }
  char buffer[512];
  char* in = in16.data();
  size_t inLeft = in16.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // A character the code page cannot hold (or a lone surrogate).
      out.push_back('?');
      size_t skip = inLeft >= 2 ? 2 : inLeft;
      in += skip;
      inLeft -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

int DefaultFontCharset() {
  const char* locale = nullptr;
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* v = std::getenv(name);
    if (v && *v) {
      locale = v;
      break;
    }
  }
  if (!locale) return 0;
  std::string_view l(locale);
  auto lang = l.substr(0, l.find_first_of("_.@"));
  auto is = [&](std::initializer_list<const char*> names) {
    for (const char* n : names)
      if (lang == n) return true;
    return false;
  };
  if (is({"ru", "uk", "be", "bg", "sr", "mk", "kk", "ky", "tt", "mn"})) return 204;
  if (is({"pl", "cs", "sk", "hu", "ro", "hr", "sl", "sq", "bs"})) return 238;
  if (is({"el"})) return 161;
  if (is({"tr", "az"})) return 162;
  if (is({"lt", "lv", "et"})) return 186;
  if (is({"he", "yi"})) return 177;
  if (is({"ar", "fa", "ur"})) return 178;
  if (is({"th"})) return 222;
  if (is({"vi"})) return 163;
  if (is({"ja"})) return 128;
  if (is({"ko"})) return 129;
  if (lang == "zh") {
    return (l.find("TW") != std::string_view::npos || l.find("HK") != std::string_view::npos) ? 136
                                                                                              : 134;
  }
  return 0;
}

bool IsLeadByte(int codePage, uint8_t Byte) {
  switch (codePage) {
    case 932: return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
    case 936:
    case 949:
    case 950: return Byte >= 0x81 && Byte <= 0xFE;
    case 1361:
      return (Byte >= 0x84 && Byte <= 0xD3) || (Byte >= 0xD8 && Byte <= 0xDE) ||
             (Byte >= 0xE0 && Byte <= 0xF9);
    default: return false;
  }
}

}  // namespace quillora::platform
