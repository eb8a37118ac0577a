#include "quillora/core/tokens.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

namespace quillora {

namespace {

// Digits of an unsigned value into a buffer, returns the end.
char* WriteUnsigned(char* p, uint64_t v) {
  char tmp[24];
  int n = 0;
  do {
    tmp[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v);
  while (n) *p++ = tmp[--n];
  return p;
}

// Exact path: the value's 18 significant digits, rounded in decimal at
// `decimals` places, ties away from zero. Used for huge values and for
// values whose scaled fraction lies too close to one half to decide in
// binary.
char* FormatSlow(char* out, long double value, int decimals) {
  bool negative = value < 0;
  char buf[64];
  // d.ddddddddddddddddde±x: 18 significant digits.
  std::snprintf(buf, sizeof buf, "%.17Le", negative ? -value : value);
  char digits[20];
  int nd = 0;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits[nd++] = *p;
  int exponent = std::atoi(p + 1);
  // Digit i has decimal weight 10^(exponent - i).
  int keep = exponent + 1 + decimals;  // digits kept before rounding
  char kept[64];
  int nk = 0;
  bool round_up = false;
  if (keep >= 0) {
    for (int i = 0; i < keep && i < 60; ++i) kept[nk++] = i < nd ? digits[i] : '0';
    round_up = keep < nd && digits[keep] >= '5';
  }
  // Apply the carry.
  if (round_up) {
    int i = nk - 1;
    while (i >= 0 && kept[i] == '9') kept[i--] = '0';
    if (i >= 0) {
      kept[i]++;
    } else {
      std::memmove(kept + 1, kept, nk);
      kept[0] = '1';
      ++nk;
      ++exponent;
    }
  }
  // kept holds the integer digits then `decimals` fraction digits.
  int int_digits = nk - decimals;
  bool all_zero = true;
  for (int i = 0; i < nk; ++i)
    if (kept[i] != '0') all_zero = false;
  char* o = out;
  if (all_zero) {
    *o++ = '0';
    return o;
  }
  if (negative) *o++ = '-';
  if (int_digits <= 0) {
    *o++ = '0';
  } else {
    int start = 0;
    while (start < int_digits - 1 && kept[start] == '0') ++start;
    for (int i = start; i < int_digits; ++i) *o++ = kept[i];
  }
  // Fraction without trailing zeros.
  int last = nk - 1;
  while (last >= std::max(int_digits, 0) && kept[last] == '0') --last;
  if (last >= std::max(int_digits, 0)) {
    *o++ = '.';
    for (int i = int_digits; i < 0; ++i) *o++ = '0';
    for (int i = std::max(int_digits, 0); i <= last; ++i) *o++ = kept[i];
  }
  return o;
}

char* FormatRealTo(char* out, long double value, bool precise) {
  const int decimals = precise ? 5 : 2;
  const uint64_t scale = precise ? 100000 : 100;
  if (std::isnan(value)) {
    *out++ = '0';
    return out;
  }
  long double magnitude = value < 0 ? -value : value;
  if (magnitude >= 1e13L) return FormatSlow(out, value, decimals);
  long double scaled = magnitude * static_cast<long double>(scale);
  long double whole = std::floor(scaled);
  long double fraction = scaled - whole;
  // Near a tie the 18-digit decimal expansion decides, not the binary value.
  if (std::fabs(fraction - 0.5L) < 1e-6L) return FormatSlow(out, value, decimals);
  uint64_t units = static_cast<uint64_t>(whole) + (fraction > 0.5L ? 1 : 0);
  if (units == 0) {
    *out++ = '0';
    return out;
  }
  if (value < 0) *out++ = '-';
  out = WriteUnsigned(out, units / scale);
  uint64_t frac = units % scale;
  if (frac) {
    *out++ = '.';
    int width = decimals;
    while (frac % 10 == 0) {
      frac /= 10;
      --width;
    }
    char digits[8];
    for (int i = width - 1; i >= 0; --i) {
      digits[i] = static_cast<char>('0' + frac % 10);
      frac /= 10;
    }
    std::memcpy(out, digits, width);
    out += width;
  }
  return out;
}

}  // namespace

void AppendReal(std::string& Out, long double Value, bool Precise) {
  char buf[64];
  char* end = FormatRealTo(buf, Value, Precise);
  Out.append(buf, end);
}

std::string FormatReal(long double Value, bool Precise) {
  char buf[64];
  char* end = FormatRealTo(buf, Value, Precise);
  return std::string(buf, end);
}

void AppendInt(std::string& Out, int64_t Value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, Value);
  Out.append(buf, r.ptr);
}

std::string IntToStr(int64_t Value) {
  std::string s;
  AppendInt(s, Value);
  return s;
}

std::string EscapeString(std::string_view S) {
  std::string r;
  r.reserve(S.size() + 8);
  for (char c : S) {
    switch (c) {
      case '\n': r += "\\n"; break;
      case '\r': r += "\\r"; break;
      case '(': r += "\\("; break;
      case ')': r += "\\)"; break;
      case '\\': r += "\\\\"; break;
      default: r += c;
    }
  }
  return r;
}

static const char kHexDigits[] = "0123456789ABCDEF";

std::string ByteToHex(uint8_t B) { return {kHexDigits[B >> 4], kHexDigits[B & 15]}; }

std::string HexToBytes(std::string_view Hex) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
  };
  std::string bytes;
  bytes.reserve(Hex.size() / 2);
  for (size_t i = 0; i + 1 < Hex.size(); i += 2)
    bytes += static_cast<char>(nibble(Hex[i]) << 4 | nibble(Hex[i + 1]));
  return bytes;
}

std::string WordToHex(uint16_t W) {
  return {kHexDigits[(W >> 12) & 15], kHexDigits[(W >> 8) & 15], kHexDigits[(W >> 4) & 15],
          kHexDigits[W & 15]};
}

std::string ZeroPad(int64_t Value, int Width) {
  std::string s = IntToStr(Value);
  if (static_cast<int>(s.size()) < Width) s.insert(0, Width - s.size(), '0');
  return s;
}

std::string ReplaceChar(std::string_view S, char Ch, std::string_view Replacement) {
  std::string r;
  r.reserve(S.size());
  for (char c : S) {
    if (c == Ch)
      r += Replacement;
    else
      r += c;
  }
  return r;
}

int PosFrom(std::string_view Sub, std::string_view S, int Start) {
  if (Sub.empty() || S.empty() || Start < 1) return 0;
  if (static_cast<size_t>(Start - 1) + Sub.size() > S.size()) return 0;
  size_t p = S.find(Sub, static_cast<size_t>(Start - 1));
  return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

static void QuickSortWords(uint16_t* v, int lo, int hi) {
  while (lo < hi) {
    int i = lo, j = hi;
    uint16_t pivot = v[lo + (hi - lo) / 2];
    while (i <= j) {
      while (v[i] < pivot) ++i;
      while (v[j] > pivot) --j;
      if (i <= j) std::swap(v[i++], v[j--]);
    }
    // Recurse into the smaller half, loop over the larger: bounded depth.
    if (j - lo < hi - i) {
      QuickSortWords(v, lo, j);
      lo = i;
    } else {
      QuickSortWords(v, i, hi);
      hi = j;
    }
  }
}

void SortWords(uint16_t* Values, int High) {
  if (High > 0) QuickSortWords(Values, 0, High);
}

void NormalizeRect(TRect& Rect) { NormalizeCoords(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }

void NormalizeCoords(int& X1, int& Y1, int& X2, int& Y2) {
  if (X2 < X1) std::swap(X1, X2);
  if (Y2 < Y1) std::swap(Y1, Y2);
}

void NormalizeRealCoords(long double& X1, long double& Y1, long double& X2, long double& Y2) {
  if (X2 < X1) std::swap(X1, X2);
  if (Y2 < Y1) std::swap(Y1, Y2);
}

void RotatePoint(long double AngleDegrees, long double X, long double Y, long double& X2,
                 long double& Y2) {
  long double a = AngleDegrees * M_PIl / 180.0L;
  long double c = std::cos(a), s = std::sin(a);
  X2 = X * c - Y * s;
  Y2 = X * s + Y * c;
}

int64_t RoundHalfEven(long double Value) { return static_cast<int64_t>(std::nearbyintl(Value)); }

}  // namespace quillora
