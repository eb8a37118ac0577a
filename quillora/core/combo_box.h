// A combo box: a drop-down list of choices showing the selected one.
#pragma once

#include <string>
#include <vector>

#include "quillora/core/acroform.h"
#include "quillora/core/form_field.h"

namespace quillora {

class TPDFComboBox : public TPDFFormField {
 public:
  TPDFComboBox(TPDFPage* Page, TRect Rect, const std::string& Name, const TFormFont& Font,
               const std::vector<std::string>& Items)
      : TPDFFormField(Page, Rect, Name), FFont(Font), FItems(Items) {}
  void WriteObject() override;

  const std::vector<std::string>& Items() const { return FItems; }
  const std::string& Value() const { return FValue; }
  // The value must be one of the items, or empty for no selection; raises
  // TPDFException otherwise.
  void SetValue(const std::string& v);
  long double FontSize() const { return FFontSize; }
  void SetFontSize(long double v) { FFontSize = v; }

 private:
  TFormFont FFont;
  std::vector<std::string> FItems;
  std::string FValue;
  long double FFontSize = 10;
};

}  // namespace quillora
