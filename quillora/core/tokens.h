// The token rules of the file: reals, strings, hexadecimal digits, padding,
// and the small geometric helpers every writer shares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "quillora/core/types.h"

namespace quillora {

// Reals are written with at most two decimals ("0.##"), or five when Precise
// ("0.#####"), rounded half away from zero on the value's 18 significant
// digits, "." always, no trailing zeros, no "-0".
std::string FormatReal(long double Value, bool Precise = false);
// Appends the same text to Out without a temporary string (hot paths).
void AppendReal(std::string& Out, long double Value, bool Precise = false);
void AppendInt(std::string& Out, int64_t Value);
std::string IntToStr(int64_t Value);

// Literal string body: LF, CR, "(", ")" and "\" escaped, everything else as is.
std::string EscapeString(std::string_view S);

std::string ByteToHex(uint8_t B);
// Pairs of hexadecimal digits read as bytes; a final odd digit is ignored,
// any other character counts as 0.
std::string HexToBytes(std::string_view Hex);
std::string WordToHex(uint16_t W);

// Value's decimal text left-padded with "0" to Width characters.
std::string ZeroPad(int64_t Value, int Width);

std::string ReplaceChar(std::string_view S, char Ch, std::string_view Replacement);

// 1-based position of Sub in S at or after Start; 0 when absent.
int PosFrom(std::string_view Sub, std::string_view S, int Start);

// Ascending unsigned order of Values[0..High].
void SortWords(uint16_t* Values, int High);

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

void NormalizeRect(TRect& Rect);
void NormalizeCoords(int& X1, int& Y1, int& X2, int& Y2);
void NormalizeRealCoords(long double& X1, long double& Y1, long double& X2, long double& Y2);

inline TRealPoint MakeRealPoint(long double X, long double Y) { return {X, Y}; }

// Rotation about the origin, counter-clockwise for positive angles (y up).
void RotatePoint(long double AngleDegrees, long double X, long double Y, long double& X2,
                 long double& Y2);

// Nearest integer, halves to even.
int64_t RoundHalfEven(long double Value);

inline int IfThenInt(bool Condition, int A, int B) { return Condition ? A : B; }
inline std::string IfThenStr(bool Condition, const std::string& A, const std::string& B) {
  return Condition ? A : B;
}

}  // namespace quillora
