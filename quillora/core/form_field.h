// The base of every form field: a widget annotation on a page (the page
// owns and writes it with itself) that is also the field dictionary.
#pragma once

#include <string>

#include "quillora/core/annotations.h"

namespace quillora {

class TPDFDocument;
class TPDFAcroForm;

class TPDFFormField : public TPDFCustomAnnotation {
 public:
  // Rect is in the page's device units. The form's Add operations check the
  // arguments before they construct a field.
  TPDFFormField(TPDFPage* Page, TRect Rect, const std::string& Name);

  const std::string& Name() const { return FName; }
  bool Required() const { return FRequired; }
  void SetRequired(bool v) { FRequired = v; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool v) { FReadOnly = v; }
  // Calculated fields are listed in the form's "/CO" (calculation order).
  virtual bool Calculated() const { return false; }

  int Width() const { return Right() - Left(); }
  int Height() const { return Top() - Bottom(); }

 protected:
  // "/Ff" bits shared by every kind: read-only 1, required 2.
  int CommonFlags() const { return (FReadOnly ? 1 : 0) + (FRequired ? 2 : 0); }
  // StartObject and the widget's lines: type, subtype, rectangle, page,
  // flags, and the field name when there is one.
  void StartWidget(TPDFDocument& Document, int& Number);
  // "/MK <<...>>" border and background colours ("r g b" texts).
  static std::string Characteristics(const std::string& Border, const std::string& Background);

 private:
  std::string FName;
  bool FRequired = false;
  bool FReadOnly = false;
};

}  // namespace quillora
