// Appearance streams of form fields: small form XObjects drawn by a viewer
// in place of the widget, and the drawing helpers the fields share.
#pragma once

#include <string>
#include <string_view>

namespace quillora {

class TPDFDocument;
struct TFormFont;

// Writes a form XObject of Width x Height points holding Content (operator
// lines), with Font as its only font resource when given. Number is
// allocated when below 1. The stream follows the document's Compression.
void WriteAppearanceStream(TPDFDocument& Document, int& Number, int Width, int Height,
                           const std::string& Content, const TFormFont* Font);

// The field's "/DA" text: "/<font> <size> Tf 0 g".
std::string DefaultAppearance(const TFormFont& Font, long double Size);

// Content pieces, in the field's own coordinates (origin bottom-left).
// A filled background and a one-point border just inside the box.
std::string BoxLines(int Width, int Height, std::string_view Fill);
// A circle through the middle of the box: filled and stroked, or only filled.
std::string CircleLines(long double CX, long double CY, long double R, bool Stroke);
// One line of Helvetica text, vertically centred; left-aligned at 2 points
// or centred horizontally. Text is single-byte WinAnsi.
std::string TextLines(const TFormFont& Font, long double Size, int Width, int Height,
                      std::string_view Text, bool Centred);

}  // namespace quillora
