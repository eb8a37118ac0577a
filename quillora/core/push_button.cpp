#include "quillora/core/push_button.h"

#include "quillora/core/document.h"
#include "quillora/core/form_appearance.h"
#include "quillora/core/tokens.h"
#include "quillora/page/page.h"

namespace quillora {

void TPDFPushButton::WriteObject() {
  TPDFDocument& doc = Page().Document();
  int number = ObjectNumber();
  int appearance = doc.AllocateObjectNumber();
  StartWidget(doc, number);
  doc.WriteText("/FT /Btn");
  // Bit 17: a push button, which keeps no value.
  doc.WriteText("/Ff " + IntToStr(65536 + CommonFlags()));
  doc.WriteText("/DA " + doc.LiteralString(DefaultAppearance(FFont, FFontSize), number));
  doc.WriteText("/MK <</BC [0 0 0] /BG [0.75 0.75 0.75] /CA " +
                doc.LiteralString(FCaption, number) + ">>");
  if (!FScript.empty())
    doc.WriteText("/A <</S /JavaScript /JS " + doc.LiteralString(FScript, number) + ">>");
  doc.WriteText("/AP <</N " + IntToStr(appearance) + " 0 R>>");
  doc.EndDictionary();
  doc.EndObject();
  WriteAppearanceStream(doc, appearance, Width(), Height(),
                        BoxLines(Width(), Height(), "0.75 g") +
                            TextLines(FFont, FFontSize, Width(), Height(), FCaption, true),
                        &FFont);
}

}  // namespace quillora
