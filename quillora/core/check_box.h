// A check box: on ("/Yes") or off.
#pragma once

#include "quillora/core/form_field.h"

namespace quillora {

class TPDFCheckBox : public TPDFFormField {
 public:
  using TPDFFormField::TPDFFormField;
  void WriteObject() override;
  bool Checked() const { return FChecked; }
  void SetChecked(bool v) { FChecked = v; }

 private:
  bool FChecked = false;
};

}  // namespace quillora
