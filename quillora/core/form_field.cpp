#include "quillora/core/form_field.h"

#include "quillora/core/document.h"
#include "quillora/core/tokens.h"
#include "quillora/page/page.h"

namespace quillora {

TPDFFormField::TPDFFormField(TPDFPage* Page, TRect Rect, const std::string& Name)
    : TPDFCustomAnnotation(Page), FName(Name) {
  SetRect(Rect);
  // Widgets print, unlike links.
  SetFlags({afPrint});
}

void TPDFFormField::StartWidget(TPDFDocument& Document, int& Number) {
  Document.StartObject(Number);
  Document.WriteText("/Type /Annot");
  Document.WriteText("/Subtype /Widget");
  Document.WriteText("/Rect [" + IntToStr(Left()) + " " + IntToStr(Bottom()) + " " +
                     IntToStr(Right()) + " " + IntToStr(Top()) + "]");
  Document.WriteText("/P " + IntToStr(Page().ObjectNumber()) + " 0 R");
  Document.WriteText("/F " + IntToStr(Flags().Bits()));
  if (!FName.empty()) Document.WriteText("/T " + Document.LiteralString(FName, Number));
}

std::string TPDFFormField::Characteristics(const std::string& Border,
                                           const std::string& Background) {
  return "/MK <</BC [" + Border + "] /BG [" + Background + "]>>";
}

}  // namespace quillora
