// The text state a page keeps between text operations.
#pragma once

#include <string>

namespace quillora {

class TPDFFont;

struct TTextState {
  std::string FontName = "Helvetica";
  int FontStyle = 0;  // bits: 1 bold, 2 italic, 4 underline, 8 strikeout
  long double FontSize = 8;
  int FontCharset = 0;
  TPDFFont* SelectedFont = nullptr;
  bool FontDirty = true;  // the next text selects its font again
  bool SelectedUnicode = false;
  int FontSelectionDepth = 0;  // graphics state depth at the last selection
  long double CharSpacing = 0;
  long double WordSpacing = 0;
  long double HorizontalScaling = 100;
  int RenderingMode = 0;
  bool TextObjectOpen = false;
  bool BaselineOrigin = false;
  long double MatrixAngle = 0;
  long double MatrixX = 0;
  long double MatrixY = 0;
};

}  // namespace quillora
