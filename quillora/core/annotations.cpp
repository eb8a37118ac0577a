#include "quillora/core/annotations.h"

#include "quillora/core/actions.h"
#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/page/page.h"

namespace quillora {

std::string ColorComponents(TColorRef Color) {
  std::string s;
  AppendReal(s, GetRValue(Color) / 255.0L);
  s += ' ';
  AppendReal(s, GetGValue(Color) / 255.0L);
  s += ' ';
  AppendReal(s, GetBValue(Color) / 255.0L);
  return s;
}

TPDFCustomAnnotation::TPDFCustomAnnotation(TPDFPage* Page) : FPage(Page) {
  if (!Page) throw TPDFException("Annotation must have TPDFPage as owner");
  FObjectNumber = Page->Document().AllocateObjectNumber();
  Page->AdoptAnnotation(this);
}

void TPDFCustomAnnotation::SetRect(TRect Rect) {
  NormalizeRect(Rect);
  FLeft = static_cast<int>(RoundHalfEven(FPage->ToPageX(Rect.Left)));
  FRight = static_cast<int>(RoundHalfEven(FPage->ToPageX(Rect.Right)));
  FTop = static_cast<int>(RoundHalfEven(FPage->ToPageY(Rect.Top)));
  FBottom = static_cast<int>(RoundHalfEven(FPage->ToPageY(Rect.Bottom)));
}

void TPDFActionAnnotation::SetAction(TPDFAction* Action) {
  Page().Document().AddAction(Action);
  FAction = Action;
}

void TPDFActionAnnotation::WriteObject() {
  TPDFDocument& doc = Page().Document();
  int number = ObjectNumber();
  doc.StartObject(number);
  doc.WriteText("/Type /Annot");
  doc.WriteText("/Subtype /Link");
  doc.WriteText("/Border " + Border());
  doc.WriteText("/F " + IntToStr(Flags().Bits()));
  doc.WriteText("/C [" + ColorComponents(Color()) + " ]");
  doc.WriteText("/Rect [" + IntToStr(Left()) + " " + IntToStr(Bottom()) + " " + IntToStr(Right()) +
                " " + IntToStr(Top()) + "]");
  if (FAction) doc.WriteText("/A " + IntToStr(FAction->ObjectNumber()) + " 0 R");
  doc.EndDictionary();
  doc.EndObject();
}

}  // namespace quillora
