// A single-line text field, optionally calculated by a JavaScript script.
#pragma once

#include <string>

#include "quillora/core/acroform.h"
#include "quillora/core/form_field.h"

namespace quillora {

class TPDFTextField : public TPDFFormField {
 public:
  TPDFTextField(TPDFPage* Page, TRect Rect, const std::string& Name, const TFormFont& Font)
      : TPDFFormField(Page, Rect, Name), FFont(Font) {}
  void WriteObject() override;

  // Single-byte (WinAnsi) text.
  const std::string& Value() const { return FValue; }
  void SetValue(const std::string& v) { FValue = v; }
  long double FontSize() const { return FFontSize; }
  void SetFontSize(long double v) { FFontSize = v; }
  // JavaScript run to recompute the value when another field changes; a
  // field with a script is calculated.
  const std::string& CalculateScript() const { return FCalculateScript; }
  void SetCalculateScript(const std::string& v) { FCalculateScript = v; }
  bool Calculated() const override { return !FCalculateScript.empty(); }

 private:
  TFormFont FFont;
  std::string FValue;
  long double FFontSize = 10;
  std::string FCalculateScript;
};

}  // namespace quillora
