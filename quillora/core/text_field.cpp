#include "quillora/core/text_field.h"

#include "quillora/core/document.h"
#include "quillora/core/form_appearance.h"
#include "quillora/core/tokens.h"
#include "quillora/page/page.h"

namespace quillora {

void TPDFTextField::WriteObject() {
  TPDFDocument& doc = Page().Document();
  int number = ObjectNumber();
  int appearance = doc.AllocateObjectNumber();
  StartWidget(doc, number);
  doc.WriteText("/FT /Tx");
  doc.WriteText("/Ff " + IntToStr(CommonFlags()));
  doc.WriteText("/DA " + doc.LiteralString(DefaultAppearance(FFont, FFontSize), number));
  doc.WriteText("/V " + doc.LiteralString(FValue, number));
  doc.WriteText(Characteristics("0 0 0", "1 1 1"));
  if (Calculated())
    doc.WriteText("/AA <</C <</S /JavaScript /JS " + doc.LiteralString(FCalculateScript, number) +
                  ">>>>");
  doc.WriteText("/AP <</N " + IntToStr(appearance) + " 0 R>>");
  doc.EndDictionary();
  doc.EndObject();
  WriteAppearanceStream(doc, appearance, Width(), Height(),
                        BoxLines(Width(), Height(), "1 g") +
                            TextLines(FFont, FFontSize, Width(), Height(), FValue, false),
                        &FFont);
}

}  // namespace quillora
