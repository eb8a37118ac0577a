#include "quillora/core/combo_box.h"

#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/core/form_appearance.h"
#include "quillora/core/tokens.h"
#include "quillora/page/page.h"

namespace quillora {

void TPDFComboBox::SetValue(const std::string& v) {
  if (!v.empty()) {
    bool found = false;
    for (const std::string& item : FItems) found = found || item == v;
    if (!found)
      throw TPDFException("Combo box \"" + Name() + "\": \"" + v + "\" is not one of its items");
  }
  FValue = v;
}

void TPDFComboBox::WriteObject() {
  TPDFDocument& doc = Page().Document();
  int number = ObjectNumber();
  int appearance = doc.AllocateObjectNumber();
  StartWidget(doc, number);
  doc.WriteText("/FT /Ch");
  // Bit 18: a combo box rather than a list box.
  doc.WriteText("/Ff " + IntToStr(131072 + CommonFlags()));
  std::string options = "/Opt [";
  for (const std::string& item : FItems) options += doc.LiteralString(item, number) + " ";
  doc.WriteText(options + "]");
  doc.WriteText("/DA " + doc.LiteralString(DefaultAppearance(FFont, FFontSize), number));
  doc.WriteText("/V " + doc.LiteralString(FValue, number));
  doc.WriteText(Characteristics("0 0 0", "1 1 1"));
  doc.WriteText("/AP <</N " + IntToStr(appearance) + " 0 R>>");
  doc.EndDictionary();
  doc.EndObject();
  WriteAppearanceStream(doc, appearance, Width(), Height(),
                        BoxLines(Width(), Height(), "1 g") +
                            TextLines(FFont, FFontSize, Width(), Height(), FValue, false),
                        &FFont);
}

}  // namespace quillora
