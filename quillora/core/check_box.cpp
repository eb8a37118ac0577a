#include "quillora/core/check_box.h"

#include "quillora/core/document.h"
#include "quillora/core/form_appearance.h"
#include "quillora/core/tokens.h"
#include "quillora/page/page.h"

namespace quillora {

void TPDFCheckBox::WriteObject() {
  TPDFDocument& doc = Page().Document();
  int number = ObjectNumber();
  int on = doc.AllocateObjectNumber();
  int off = doc.AllocateObjectNumber();
  const char* state = FChecked ? "/Yes" : "/Off";
  StartWidget(doc, number);
  doc.WriteText("/FT /Btn");
  doc.WriteText("/Ff " + IntToStr(CommonFlags()));
  doc.WriteText(std::string("/V ") + state);
  doc.WriteText(std::string("/AS ") + state);
  doc.WriteText(Characteristics("0 0 0", "1 1 1"));
  doc.WriteText("/AP <</N <</Yes " + IntToStr(on) + " 0 R /Off " + IntToStr(off) + " 0 R>>>>");
  doc.EndDictionary();
  doc.EndObject();

  const int w = Width(), h = Height();
  std::string box = BoxLines(w, h, "1 g");
  // A tick from the lower left up to the upper right.
  std::string tick = "q\r\n0 G\r\n";
  AppendReal(tick, (w < h ? w : h) * 0.12L);
  tick += " w\r\n1 J\r\n1 j\r\n";
  auto point = [&](long double x, long double y, const char* op) {
    AppendReal(tick, x);
    tick += ' ';
    AppendReal(tick, y);
    tick += op;
  };
  point(w * 0.2L, h * 0.5L, " m\r\n");
  point(w * 0.42L, h * 0.22L, " l\r\n");
  point(w * 0.8L, h * 0.8L, " l\r\nS\r\nQ\r\n");
  WriteAppearanceStream(doc, on, w, h, box + tick, nullptr);
  WriteAppearanceStream(doc, off, w, h, box, nullptr);
}

}  // namespace quillora
