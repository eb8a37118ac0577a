#include "quillora/fonts/pdf_font.h"

#include <vector>

#include "quillora/core/compression_stream.h"
#include "quillora/core/document.h"
#include "quillora/core/tokens.h"
#include "quillora/fonts/ansi_subset.h"
#include "quillora/fonts/standard_fonts.h"
#include "quillora/fonts/winansi.h"
#include "quillora/platform/font_system.h"

namespace quillora {

TPDFFont::TPDFFont(uint8_t StandardIndex)
    : FStandardFont(true),
      FResourceName("F" + IntToStr(StandardIndex)),
      FStandardIndex(StandardIndex) {}

TPDFFont::TPDFFont(std::string FontName, int Style, bool Unicode, bool Embedded, bool Symbol)
    : FFontName(std::move(FontName)),
      FUpperName(FFontName),
      FStyle(Style & 3),
      FUnicode(Unicode),
      FEmbedded(Embedded),
      FSymbol(Symbol) {
  for (char& c : FUpperName)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

TPDFFont::~TPDFFont() = default;

int TPDFFont::Width(uint8_t Code) const {
  return FStandardFont ? StandardFontWidth(FStandardIndex, Code) : FWidths[Code];
}

int TPDFFont::Ascent() const {
  return FStandardFont ? StandardFontAscent(FStandardIndex) : FAscent;
}

void TPDFFont::LoadMetrics() {
  platform::TLogFont request;
  request.FaceName = FFontName;
  request.Height = -1000;
  request.Weight = (FStyle & 1) ? 700 : 400;
  request.Italic = (FStyle & 2) != 0;
  request.Charset = platform::ANSI_CHARSET;
  auto font = platform::TFont::Create(request);
  if (font) {
    // Metrics of a font the system cannot give stay zero.
    auto tm = font->TextMetrics();
    FAscent = tm.Ascent;
    FDescent = tm.Descent;
    FFixedPitch = tm.FixedPitch;
    auto om = font->OutlineMetrics();
    FItalicAngle = om.ItalicAngle;
    FOutlineAscent = om.Ascent;
    FOutlineDescent = om.Descent;
    FBBoxLeft = om.BBoxLeft;
    FBBoxTop = om.BBoxTop;
    FBBoxRight = om.BBoxRight;
    FBBoxBottom = om.BBoxBottom;
  }
  if (FUnicode) {
    FTTFData = std::make_unique<TTTFData>(FFontName, FEmbedded, FStyle);
  } else if (font) {
    for (int code = 0; code < 256; ++code) {
      char16_t c = WinAnsiToUnicode(static_cast<uint8_t>(FFixedPitch ? 0 : code));
      FWidths[code] = font->CharAdvance(c);
    }
  }
}

void TPDFFont::MarkUsed(std::string_view Text) {
  if (FStandardFont || FUnicode) return;
  for (char c : Text) MarkCharUsed(static_cast<uint8_t>(c));
}

void TPDFFont::MarkCharUsed(uint8_t Code) {
  if (FStandardFont || FUnicode) return;
  FUsedCodes[Code] = true;
  if (Code < FFirstUsed) FFirstUsed = Code;
  if (Code > FLastUsed) FLastUsed = Code;
}

std::string TPDFFont::BaseName() const {
  std::string name = ReplaceChar(FFontName, ' ', "#20");
  if (FStyle & 1) name += "#20Bold";
  if (FStyle & 2) name += "#20Italic";
  return name;
}

void TPDFFont::Save(TPDFDocument& Document) {
  if (!FUsed) return;
  if (FStandardFont)
    SaveStandard(Document);
  else if (FUnicode)
    SaveUnicode(Document);
  else
    SaveSingleByte(Document);
}

void TPDFFont::SaveStandard(TPDFDocument& Document) {
  Document.StartObject(FObjectNumber);
  Document.WriteText("/Type /Font");
  Document.WriteText("/Subtype /Type1");
  Document.WriteText("/BaseFont /" + std::string(StandardFontName(FStandardIndex)));
  if (FStandardIndex < 12) Document.WriteText("/Encoding /WinAnsiEncoding");
  Document.WriteText("/FirstChar 32");
  Document.WriteText("/LastChar 255");
  Document.EndDictionary();
  Document.EndObject();
}

// Font programs are always deflated at the best level, whatever the
// document's compression.
int TPDFFont::WriteProgram(TPDFDocument& Document, const std::string& Program) {
  std::string data = Deflate(Program, clMax);
  int number = 0;
  Document.StartObject(number);
  Document.EncryptStream(data, number);
  Document.WriteText("/Filter /FlateDecode /Length " + IntToStr(static_cast<int64_t>(data.size())) +
                     " /Length1 " + IntToStr(static_cast<int64_t>(Program.size())));
  Document.EndDictionary();
  Document.StartStream();
  Document.WriteBytes(data);
  Document.WriteText("");
  Document.EndStream();
  Document.EndObject();
  return number;
}

int TPDFFont::WriteDescriptor(TPDFDocument& Document, int ProgramNumber) {
  int number = 0;
  Document.StartObject(number);
  Document.WriteText("/Type /FontDescriptor");
  Document.WriteText("/Ascent " + IntToStr(FOutlineAscent));
  Document.WriteText("/CapHeight 666");
  Document.WriteText("/Descent " + IntToStr(FOutlineDescent));
  Document.WriteText("/Flags 32");
  Document.WriteText("/FontBBox [" + IntToStr(FBBoxLeft) + " " + IntToStr(FBBoxBottom) + " " +
                     IntToStr(FBBoxRight) + " " + IntToStr(FBBoxTop) + "]");
  Document.WriteText("/FontName /" + BaseName());
  Document.WriteText("/ItalicAngle " + IntToStr(FItalicAngle));
  Document.WriteText("/StemV 87");
  if (ProgramNumber > 0) Document.WriteText("/FontFile2 " + IntToStr(ProgramNumber) + " 0 R");
  Document.EndDictionary();
  Document.EndObject();
  return number;
}

void TPDFFont::SaveSingleByte(TPDFDocument& Document) {
  // A font selected but given no character still needs a valid range.
  int first = FFirstUsed, last = FLastUsed;
  if (first > last) {
    MarkCharUsed(32);
    first = last = 32;
  }
  int programNumber = 0;
  if (FEmbedded) {
    std::vector<uint16_t> chars;
    for (int code = first; code <= last; ++code)
      if (FUsedCodes[code]) chars.push_back(WinAnsiToUnicode(static_cast<uint8_t>(code)));
    if (!chars.empty()) {
      SortWords(chars.data(), static_cast<int>(chars.size()) - 1);
      std::string program;
      BuildAnsiSubset(FFontName, FStyle, program, static_cast<int>(chars.size()), chars.data());
      if (!program.empty()) programNumber = WriteProgram(Document, program);
    }
  }
  int descriptor = WriteDescriptor(Document, programNumber);
  Document.StartObject(FObjectNumber);
  Document.WriteText("/Type /Font");
  Document.WriteText("/Subtype /TrueType");
  Document.WriteText("/BaseFont /" + BaseName());
  Document.WriteText("/FirstChar " + IntToStr(first));
  Document.WriteText("/LastChar " + IntToStr(last));
  Document.WriteText(FSymbol ? "/Encoding /MacRomanEncoding" : "/Encoding /WinAnsiEncoding");
  Document.WriteText("/FontDescriptor " + IntToStr(descriptor) + " 0 R");
  std::string widths = "/Widths [";
  for (int code = first; code <= last; ++code) {
    if (FUsedCodes[code]) {
      AppendInt(widths, FWidths[code]);
      widths += ' ';
    } else {
      widths += "0 ";
    }
    if (code % 16 == 0) widths += "\r\n";
  }
  widths += "]";
  Document.WriteText(widths);
  Document.EndDictionary();
  Document.EndObject();
}

void TPDFFont::SaveUnicode(TPDFDocument& Document) {
  int programNumber = 0;
  if (FEmbedded) {
    std::string program;
    std::string upper = FFontName;
    for (char& c : upper)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (upper.find(".TMP") != std::string::npos) {
      platform::TLogFont request;
      request.FaceName = FFontName;
      request.Height = -1000;
      request.Weight = (FStyle & 1) ? 700 : 400;
      request.Italic = (FStyle & 2) != 0;
      request.Charset = platform::DEFAULT_CHARSET;
      if (auto font = platform::TFont::Create(request)) program = font->FontFile();
    } else {
      FTTFData->WriteSubsetFont(program);
    }
    programNumber = WriteProgram(Document, program);
  }
  int descriptor = WriteDescriptor(Document, programNumber);

  int descendant = 0;
  Document.StartObject(descendant);
  Document.WriteText("/Type /Font");
  Document.WriteText("/BaseFont /" + BaseName());
  Document.WriteText("/Subtype /CIDFontType2");
  Document.WriteText("/CIDSystemInfo <</Ordering(Identity)/Registry(Adobe)/Supplement 0>>");
  Document.WriteText("/DW 1000");
  Document.WriteText("/W" + FTTFData->GetWidthArray());
  Document.WriteText("/FontDescriptor " + IntToStr(descriptor) + " 0 R");
  Document.EndDictionary();
  Document.EndObject();

  std::string cmap;
  FTTFData->WriteToUnicodeCMap(FResourceName, cmap);
  std::string data = Deflate(cmap, clDefault);
  int toUnicode = 0;
  Document.StartObject(toUnicode);
  Document.EncryptStream(data, toUnicode);
  Document.WriteText("/Filter /FlateDecode /Length " + IntToStr(static_cast<int64_t>(data.size())));
  Document.EndDictionary();
  Document.StartStream();
  Document.WriteBytes(data);
  Document.WriteText("");
  Document.EndStream();
  Document.EndObject();

  Document.StartObject(FObjectNumber);
  Document.WriteText("/Type /Font");
  Document.WriteText("/Subtype /Type0");
  Document.WriteText("/BaseFont /" + BaseName());
  Document.WriteText("/Encoding /Identity-H");
  Document.WriteText("/DescendantFonts [" + IntToStr(descendant) + " 0 R]");
  Document.WriteText("/ToUnicode " + IntToStr(toUnicode) + " 0 R");
  Document.EndDictionary();
  Document.EndObject();
}

}  // namespace quillora
