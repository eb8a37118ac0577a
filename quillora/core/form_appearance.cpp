#include "quillora/core/form_appearance.h"

#include "quillora/core/acroform.h"
#include "quillora/core/compression_stream.h"
#include "quillora/core/document.h"
#include "quillora/core/tokens.h"
#include "quillora/fonts/standard_fonts.h"

namespace quillora {

namespace {

void Point(std::string& s, long double X, long double Y) {
  AppendReal(s, X);
  s += ' ';
  AppendReal(s, Y);
  s += ' ';
}

}  // namespace

void WriteAppearanceStream(TPDFDocument& Document, int& Number, int Width, int Height,
                           const std::string& Content, const TFormFont* Font) {
  std::string data = Content;
  bool deflate = Document.Compression() == ctFlate;
  if (deflate) data = Deflate(Content);
  if (Number < 1) Number = Document.AllocateObjectNumber();
  Document.EncryptStream(data, Number);
  Document.StartObject(Number);
  Document.WriteText("/Type /XObject");
  Document.WriteText("/Subtype /Form");
  Document.WriteText("/BBox [0 0 " + IntToStr(Width) + " " + IntToStr(Height) + "]");
  if (Font)
    Document.WriteText("/Resources <</Font <</" + Font->ResourceName + " " +
                       IntToStr(Font->ObjectNumber) + " 0 R>>>>");
  Document.WriteText("/Length " + IntToStr(static_cast<int64_t>(data.size())));
  if (deflate) Document.WriteText("/Filter /FlateDecode");
  Document.EndDictionary();
  Document.StartStream();
  Document.WriteBytes(data);
  Document.WriteText("");
  Document.EndStream();
  Document.EndObject();
}

std::string DefaultAppearance(const TFormFont& Font, long double Size) {
  std::string s = "/" + Font.ResourceName + " ";
  AppendReal(s, Size);
  return s + " Tf 0 g";
}

std::string BoxLines(int Width, int Height, std::string_view Fill) {
  std::string s(Fill);
  s += "\r\n0 0 " + IntToStr(Width) + " " + IntToStr(Height) + " re f\r\n0 G 1 w\r\n";
  s += "0.5 0.5 ";
  AppendReal(s, Width - 1.0L);
  s += ' ';
  AppendReal(s, Height - 1.0L);
  s += " re S\r\n";
  return s;
}

std::string CircleLines(long double CX, long double CY, long double R, bool Stroke) {
  // Four Bezier quarters; 0.5523 places the control points on the tangents.
  const long double k = 0.5523L * R;
  std::string s;
  Point(s, CX + R, CY);
  s += "m\r\n";
  Point(s, CX + R, CY + k), Point(s, CX + k, CY + R), Point(s, CX, CY + R);
  s += "c\r\n";
  Point(s, CX - k, CY + R), Point(s, CX - R, CY + k), Point(s, CX - R, CY);
  s += "c\r\n";
  Point(s, CX - R, CY - k), Point(s, CX - k, CY - R), Point(s, CX, CY - R);
  s += "c\r\n";
  Point(s, CX + k, CY - R), Point(s, CX + R, CY - k), Point(s, CX + R, CY);
  s += "c\r\n";
  s += Stroke ? "b\r\n" : "f\r\n";
  return s;
}

std::string TextLines(const TFormFont& Font, long double Size, int Width, int Height,
                      std::string_view Text, bool Centred) {
  // Helvetica: cap height about 0.72 em, so this centres capitals.
  long double y = (Height - 0.72L * Size) / 2;
  long double x = 2;
  if (Centred) {
    long double width = 0;
    for (unsigned char c : Text) width += StandardFontWidth(0, c);
    x = (Width - width * Size / 1000) / 2;
  }
  std::string s = "/Tx BMC\r\nq\r\n1 1 " + IntToStr(Width - 2) + " " + IntToStr(Height - 2) +
                  " re W n\r\nBT\r\n/" + Font.ResourceName + " ";
  AppendReal(s, Size);
  s += " Tf\r\n0 g\r\n";
  Point(s, x, y);
  s += "Td\r\n(" + EscapeString(Text) + ") Tj\r\nET\r\nQ\r\nEMC\r\n";
  return s;
}

}  // namespace quillora
