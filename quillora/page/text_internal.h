// Pieces shared by the page's text operations (text.cpp, text_advances.cpp,
// text_links.cpp); not part of the page's interface.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quillora {

class TPDFPage;

inline constexpr long double kTextPi = 3.14159265358979323846264338327950288L;

// The four upper-case hex digits of a glyph index (as WordToHex), appended
// without a temporary string: one per character on the hot path.
inline void AppendWordHex(std::string& Out, uint16_t W) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  Out += kDigits[W >> 12];
  Out += kDigits[(W >> 8) & 15];
  Out += kDigits[(W >> 4) & 15];
  Out += kDigits[W & 15];
}

// Single-byte text of the charset as UTF-16; "Cannot convert text to
// unicode" when nothing converts.
std::u16string ConvertOrRaise(std::string_view Text, int Charset);

// Sets the text matrix for a line whose top-left (or baseline start) is the
// device point (X, Y).
void PlaceText(TPDFPage& Page, long double X, long double Y, long double Angle);

// The low byte of each UTF-16 unit (link detection reads text as bytes).
std::string LowBytes(std::u16string_view Text);

// Width in device units of Text[From, To); Url tells whether the span is
// the URL itself or the text before it.
using TSpanWidth = std::function<long double(size_t From, size_t To, bool Url)>;

// Adds a link annotation over every "http://", "ftp://" or "mailto:" URL of
// Text that starts the text or follows a space.
void DetectLinks(TPDFPage& Page, long double X, long double Y, std::string_view Text,
                 const TSpanWidth& Width);

}  // namespace quillora
