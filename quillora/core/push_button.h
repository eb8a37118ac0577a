// A push button that runs a JavaScript script when clicked.
#pragma once

#include <string>

#include "quillora/core/acroform.h"
#include "quillora/core/form_field.h"

namespace quillora {

class TPDFPushButton : public TPDFFormField {
 public:
  TPDFPushButton(TPDFPage* Page, TRect Rect, const std::string& Name, const TFormFont& Font,
                 const std::string& Caption, const std::string& Script)
      : TPDFFormField(Page, Rect, Name), FFont(Font), FCaption(Caption), FScript(Script) {}
  void WriteObject() override;

  const std::string& Caption() const { return FCaption; }
  const std::string& Script() const { return FScript; }
  long double FontSize() const { return FFontSize; }
  void SetFontSize(long double v) { FFontSize = v; }

 private:
  TFormFont FFont;
  std::string FCaption;
  std::string FScript;
  long double FFontSize = 10;
};

}  // namespace quillora
