// Text output of the page: text state, font selection, the text matrix,
// single-byte and Unicode text, measuring, decoration bands and links.
#include <cmath>

#include "quillora/core/charset.h"
#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/core/tokens.h"
#include "quillora/fonts/font_registry.h"
#include "quillora/fonts/winansi.h"
#include "quillora/page/page.h"
#include "quillora/page/text_internal.h"
#include "quillora/platform/codepage.h"

namespace quillora {

std::u16string ConvertOrRaise(std::string_view Text, int Charset) {
  std::u16string wide = CharsetToUnicode(Text, Charset);
  if (wide.empty()) throw TPDFException("Cannot convert text to unicode");
  return wide;
}

namespace {

// Width of text in points from the sums of its widths (thousandths of the
// size), its character count and its spaces.
long double ApplySpacing(const TTextState& t, long double sum, int count, int spaces) {
  long double width = sum * t.FontSize / 1000;
  if (t.HorizontalScaling != 100) width = width * t.HorizontalScaling / 100;
  if (t.WordSpacing > 0) width += spaces * t.WordSpacing;
  if (t.CharSpacing > 0) width += count * t.CharSpacing;
  return width;
}

}  // namespace

void TPDFPage::SetTextFont(const std::string& Name, int Style, long double Size, int Charset) {
  if (Name != FText.FontName || Style != FText.FontStyle || Size != FText.FontSize) {
    FText.FontName = Name;
    FText.FontStyle = Style;
    FText.FontSize = Size;
    FText.FontDirty = true;
    FText.SelectedUnicode = false;
  }
  FText.FontCharset = Charset == 1 ? platform::DefaultFontCharset() : Charset;
}

void TPDFPage::BeginText() {
  if (FText.TextObjectOpen) return;
  WriteContent("BT");
  FText.MatrixX = 0;
  FText.MatrixY = 0;
  FText.TextObjectOpen = true;
}

void TPDFPage::SetCharacterSpacingPage(long double Spacing) {
  if (Spacing == FText.CharSpacing) return;
  // A difference below what the operator can show (a run spacing of float
  // noise) is no change.
  std::string value = FormatReal(Spacing, true);
  if (value == FormatReal(FText.CharSpacing, true)) {
    FText.CharSpacing = Spacing;
    return;
  }
  BeginText();
  WriteContent(value + " Tc");
  FText.CharSpacing = Spacing;
}

void TPDFPage::SetCharacterSpacing(long double Spacing) {
  SetCharacterSpacingPage(Spacing / FK);
}

void TPDFPage::SetWordSpacing(long double Spacing) {
  long double s = Spacing / FK;
  if (s == FText.WordSpacing) return;
  BeginText();
  std::string line;
  AppendReal(line, s);
  line += " Tw";
  WriteContent(line);
  FText.WordSpacing = s;
}

void TPDFPage::SetHorizontalScaling(long double Percent) {
  if (Percent == FText.HorizontalScaling) return;
  BeginText();
  std::string line;
  AppendReal(line, Percent);
  line += " Tz";
  WriteContent(line);
  FText.HorizontalScaling = Percent;
}

void TPDFPage::SetTextRenderingMode(int Mode) {
  BeginText();
  WriteContent(IntToStr(Mode) + " Tr");
  FText.RenderingMode = Mode;
}

void TPDFPage::SelectFont(bool Unicode) {
  if (!FText.FontDirty && FText.SelectedFont && FText.SelectedUnicode == Unicode) return;
  BeginText();
  SetUsesText();
  TPDFFont* font = FDocument.Fonts().GetFont(FText.FontName, FText.FontStyle, Unicode);
  UseFont(font);
  WriteContent("/" + font->ResourceName() + " 1 Tf");
  font->SetUsed(true);
  FText.SelectedFont = font;
  FText.FontDirty = false;
  FText.SelectedUnicode = Unicode;
  FText.FontSelectionDepth = FStateDepth;
}

void TPDFPage::SetTextMatrix(long double X, long double Y, long double Angle) {
  BeginText();
  long double a = Angle * kTextPi / 180;
  long double c = std::cos(a) * FText.FontSize;
  long double s = std::sin(a) * FText.FontSize;
  std::string line;
  line.reserve(48);
  AppendReal(line, c);
  line += ' ';
  AppendReal(line, s);
  line += ' ';
  AppendReal(line, -s);
  line += ' ';
  AppendReal(line, c);
  line += ' ';
  AppendReal(line, X);
  line += ' ';
  AppendReal(line, Y);
  line += " Tm";
  WriteContent(line);
  FText.MatrixAngle = Angle;
  FText.MatrixX = X;
  FText.MatrixY = Y;
}

long double TPDFPage::AscentOffset() {
  if (FText.BaselineOrigin) return 0;
  TPDFFont* font = FText.FontDirty || !FText.SelectedFont
                       ? FDocument.Fonts().GetFont(FText.FontName, FText.FontStyle, false)
                       : FText.SelectedFont;
  return font->Ascent() * FText.FontSize / 1000;
}

long double TPDFPage::TextWidthPoints(std::string_view Text) {
  if (FText.HorizontalScaling <= 0 || Text.empty()) return 0;
  if (FText.FontCharset != 0) return TextWidthWPoints(ConvertOrRaise(Text, FText.FontCharset));
  TPDFFont* font = FText.FontDirty || FText.SelectedUnicode || !FText.SelectedFont
                       ? FDocument.Fonts().GetFont(FText.FontName, FText.FontStyle, false)
                       : FText.SelectedFont;
  long double sum = 0;
  int spaces = 0;
  for (size_t i = 0; i < Text.size(); ++i) {
    uint8_t code = static_cast<uint8_t>(Text[i]);
    sum += font->Width(code);
    if (code == ' ' && i + 1 < Text.size()) ++spaces;
  }
  int count = static_cast<int>(Text.size()) - 1 +
              (font->Width(static_cast<uint8_t>(Text.back())) != 0 ? 1 : 0);
  return ApplySpacing(FText, sum, count, spaces);
}

long double TPDFPage::TextWidthWPoints(std::u16string_view Text) {
  if (FText.HorizontalScaling <= 0 || Text.empty()) return 0;
  TPDFFont* single = nullptr;
  TPDFFont* unicode = nullptr;
  bool clean = !FText.FontDirty && FText.SelectedFont;
  long double sum = 0;
  int spaces = 0;
  int lastWidth = 0;
  for (size_t i = 0; i < Text.size(); ++i) {
    char16_t c = Text[i];
    if (IsWinAnsiChar(c)) {
      if (!single)
        single = clean && !FText.SelectedUnicode
                     ? FText.SelectedFont
                     : FDocument.Fonts().GetFont(FText.FontName, FText.FontStyle, false);
      lastWidth = single->Width(UnicodeToWinAnsi(c));
    } else {
      if (!unicode)
        unicode = clean && FText.SelectedUnicode
                      ? FText.SelectedFont
                      : FDocument.Fonts().GetFont(FText.FontName, FText.FontStyle, true);
      lastWidth = unicode->TTFData()->CharWidth(c);
    }
    sum += lastWidth;
    if (c == u' ' && i + 1 < Text.size()) ++spaces;
  }
  int count = static_cast<int>(Text.size()) - 1 + (lastWidth != 0 ? 1 : 0);
  return ApplySpacing(FText, sum, count, spaces);
}

long double TPDFPage::TextWidth(std::string_view Text) {
  return TextWidthPoints(Text) * FK;
}

void TPDFPage::DrawTextDecoration(long double Width) {
  int style = FText.FontStyle;
  if (!(style & 12)) return;
  long double s = FText.FontSize;
  long double X = FText.MatrixX, Y = FText.MatrixY;
  long double a = FText.MatrixAngle * kTextPi / 180;
  long double sa = std::sin(a), ca = std::cos(a);
  auto band = [&](long double px, long double py, long double height) {
    if (FText.MatrixAngle == 0) {
      RectanglePage(px, py, Width, height);
      return;
    }
    auto to = [&](long double u, long double v, bool move) {
      long double x = px + u * ca - v * sa, y = py + u * sa + v * ca;
      if (move)
        MoveToPage(x, y);
      else
        LineToPage(x, y);
    };
    to(0, 0, true);
    to(Width, 0, false);
    to(Width, height, false);
    to(0, height, false);
    to(0, 0, false);
  };
  if (style & 4) {
    if (FText.MatrixAngle == 0)
      band(X, Y - 0.05L * s, -0.05L * s);
    else
      band(X + 3 * sa, Y - 3 * ca, -0.05L * s);
  }
  if (style & 8) {
    if (FText.MatrixAngle == 0)
      band(X, Y + s / 4, 0.05L * s);
    else
      band(X - sa * s / 4, Y + ca * s / 4, 0.05L * s);
  }
  switch (FText.RenderingMode) {
    case 1:
      Stroke();
      break;
    case 2:
      FillAndStroke();
      break;
    default:
      Fill();
      break;
  }
}

// ---- placement -------------------------------------------------------------

void PlaceText(TPDFPage& Page, long double X, long double Y, long double Angle) {
  long double A = Page.AscentOffset();
  if (Angle != 0) {
    long double a = Angle * kTextPi / 180;
    Page.SetTextMatrix(Page.ToPageX(X) + std::sin(a) * A, Page.ToPageY(Y) - std::cos(a) * A, Angle);
  } else {
    Page.SetTextMatrix(Page.ToPageX(X), Page.ToPageY(Y) - A, 0);
  }
}

namespace {

void ShowSingleByteRun(TPDFPage& Page, std::string& Run) {
  Page.TextState().SelectedFont->MarkUsed(Run);
  std::string line;
  line.reserve(Run.size() + 8);
  line += '(';
  line += EscapeString(Run);
  line += ") Tj";
  Page.WriteContent(line);
}

// Unicode text: runs of single-byte characters go to the family's
// single-byte font, the others to its Unicode font by glyph index.
void ShowUnicodeText(TPDFPage& Page, std::u16string_view Text) {
  TTextState& t = Page.TextState();
  Page.SetUsesText();
  bool decorate = (t.FontStyle & 12) != 0;
  auto isUnicode = [](char16_t c) { return !IsWinAnsiChar(c == 0xA0 ? u' ' : c); };
  bool unicode = isUnicode(Text[0]);
  Page.SelectFont(unicode);
  std::string run;
  long double sum = 0;
  int spaces = 0, lastWidth = 0;
  for (size_t i = 0; i < Text.size(); ++i) {
    char16_t c = Text[i] == 0xA0 ? u' ' : Text[i];
    bool kind = isUnicode(c);
    if (kind != unicode) {
      if (unicode) {
        Page.WriteContent("<" + run + "> Tj");
      } else {
        ShowSingleByteRun(Page, run);
      }
      run.clear();
      unicode = kind;
      Page.SelectFont(unicode);
    }
    TPDFFont* font = t.SelectedFont;
    if (unicode) {
      uint16_t glyph = font->TTFData()->CharToGlyph(c);
      AppendWordHex(run, glyph);
      if (decorate) lastWidth = font->TTFData()->CharWidth(c);
    } else {
      uint8_t code = UnicodeToWinAnsi(c);
      if (code < 32) code = 32;  // control characters show as spaces
      run += static_cast<char>(code);
      if (decorate) {
        lastWidth = font->Width(code);
        if (code == ' ' && i + 1 < Text.size()) ++spaces;
      }
    }
    sum += lastWidth;
  }
  if (unicode)
    Page.WriteContent("<" + run + "> Tj");
  else
    ShowSingleByteRun(Page, run);
  if (decorate) {
    int count = static_cast<int>(Text.size()) - 1 + (lastWidth != 0 ? 1 : 0);
    Page.DrawTextDecoration(ApplySpacing(t, sum, count, spaces));
  }
}

void ShowSingleByteText(TPDFPage& Page, std::string_view Original) {
  TTextState& t = Page.TextState();
  Page.SetUsesText();
  std::string text(Original);
  for (char& c : text)
    if (static_cast<uint8_t>(c) < 32) c = ' ';
  if (t.FontCharset != 0) {
    ShowUnicodeText(Page, ConvertOrRaise(text, t.FontCharset));
    return;
  }
  Page.SelectFont(false);
  if (!t.SelectedFont->StandardFont())
    for (char& c : text)
      if (static_cast<uint8_t>(c) == 160) c = ' ';
  t.SelectedFont->MarkUsed(text);
  std::string line;
  line.reserve(text.size() + 8);
  line += '(';
  line += EscapeString(text);
  line += ") Tj";
  Page.WriteContent(line);
  if (t.FontStyle & 12) Page.DrawTextDecoration(Page.TextWidthPoints(text));
}

}  // namespace

void TPDFPage::ShowText(long double X, long double Y, long double Angle, std::string_view Text) {
  if (Text.empty()) return;
  PlaceText(*this, X, Y, Angle);
  ShowSingleByteText(*this, Text);
  if (Angle == 0 && FDocument.AutoCreateURL()) {
    DetectLinks(*this, X, Y, Text, [&](size_t from, size_t to, bool url) {
      (void)url;
      return TextWidth(Text.substr(from, to - from));
    });
  }
}

void TPDFPage::ShowTextW(long double X, long double Y, long double Angle,
                         std::u16string_view Text) {
  if (Text.empty()) return;
  PlaceText(*this, X, Y, Angle);
  ShowUnicodeText(*this, Text);
  if (Angle == 0 && FDocument.AutoCreateURL()) {
    std::string bytes = LowBytes(Text);
    DetectLinks(*this, X, Y, bytes, [&](size_t from, size_t to, bool url) {
      if (url) return TextWidth(std::string_view(bytes).substr(from, to - from));
      return TextWidthWPoints(Text.substr(from, to - from)) * FK;
    });
  }
}

void TPDFPage::TextInRect(TRect Rect, std::string_view Text, int HAlign, int VAlign) {
  NormalizeRect(Rect);
  long double x = Rect.Left, y = Rect.Top;
  if (HAlign == 1) x = (Rect.Right - Rect.Left - TextWidth(Text)) / 2 + Rect.Left;
  if (HAlign == 2) x = Rect.Right - TextWidth(Text);
  long double height = FText.FontSize * FK;
  if (VAlign == 1) y = Rect.Top + (Rect.Bottom - Rect.Top - height) / 2;
  if (VAlign == 2) y = Rect.Bottom - height;
  ShowText(x, y, 0, Text);
}

}  // namespace quillora
