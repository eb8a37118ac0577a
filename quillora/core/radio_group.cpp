#include "quillora/core/radio_group.h"

#include <cstring>

#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/core/form_appearance.h"
#include "quillora/core/tokens.h"
#include "quillora/page/page.h"

namespace quillora {

std::string NameToken(const std::string& Name) {
  std::string s = "/";
  for (unsigned char c : Name) {
    if (c < '!' || c > '~' || std::strchr("()<>[]{}/%#", c)) {
      s += '#';
      s += ByteToHex(c);
    } else {
      s += static_cast<char>(c);
    }
  }
  return s;
}

void TPDFRadioButton::SetChecked(bool v) {
  if (v)
    for (int i = 0; i < FGroup.Buttons().Count(); ++i)
      static_cast<TPDFRadioButton*>(FGroup.Buttons().Items(i))->FChecked = false;
  FChecked = v;
}

void TPDFRadioButton::WriteObject() {
  TPDFDocument& doc = Page().Document();
  int number = ObjectNumber();
  int on = doc.AllocateObjectNumber();
  int off = doc.AllocateObjectNumber();
  std::string onName = NameToken(FExportName);
  StartWidget(doc, number);
  doc.WriteText("/Parent " + IntToStr(FGroup.ObjectNumber()) + " 0 R");
  doc.WriteText("/AS " + (FChecked ? onName : std::string("/Off")));
  doc.WriteText(Characteristics("0 0 0", "1 1 1"));
  doc.WriteText("/AP <</N <<" + onName + " " + IntToStr(on) + " 0 R /Off " + IntToStr(off) +
                " 0 R>>>>");
  doc.EndDictionary();
  doc.EndObject();

  const int w = Width(), h = Height();
  const long double r = (w < h ? w : h) / 2.0L;
  std::string ring = "1 g\r\n0 G\r\n1 w\r\n" + CircleLines(w / 2.0L, h / 2.0L, r - 0.5L, true);
  std::string dot = "0 g\r\n" + CircleLines(w / 2.0L, h / 2.0L, r * 0.45L, false);
  WriteAppearanceStream(doc, on, w, h, ring + dot, nullptr);
  WriteAppearanceStream(doc, off, w, h, ring, nullptr);
}

TPDFRadioButton* TRadioButtonGroup::AddButton(TPDFPage* Page, TRect Rect,
                                              const std::string& ExportName) {
  FDocument.AcroForm().CheckWidgetPlace(Page, Rect);
  if (ExportName.empty()) throw TPDFException("Radio button export name cannot be empty");
  if (ExportName == "Off")
    throw TPDFException("Radio button export name cannot be \"Off\", the name of the off state");
  auto* button = new TPDFRadioButton(Page, Rect, *this, ExportName);  // the page owns it
  FButtons.Add(button);
  return button;
}

void TRadioButtonGroup::WriteObject() {
  FDocument.AcroForm().AddWrittenGroup(this);
  int number = FObjectNumber;
  FDocument.StartObject(number);
  FDocument.WriteText("/FT /Btn");
  FDocument.WriteText("/T " + FDocument.LiteralString(FName, number));
  for (int i = 0; i < FButtons.Count(); ++i) {
    auto* button = static_cast<TPDFRadioButton*>(FButtons.Items(i));
    if (!button->Checked()) continue;
    FDocument.WriteText("/V " + NameToken(button->ExportName()));
    FDocument.WriteText("/DV " + NameToken(button->ExportName()));
    break;
  }
  std::string kids = "/Kids [";
  for (int i = 0; i < FButtons.Count(); ++i) {
    AppendInt(kids, FButtons.Items(i)->ObjectNumber());
    kids += " 0 R ";
  }
  FDocument.WriteText(kids + "]");
  // Radio 32768; no toggle to off 16384 unless the group has one button;
  // required 2 and read-only 1 as the first button says.
  int flags = 32768;
  if (FButtons.Count() != 1) flags += 16384;
  if (FButtons.Count() > 0 && FButtons.Items(0)->Required()) flags += 2;
  if (FButtons.Count() > 0 && FButtons.Items(0)->ReadOnly()) flags += 1;
  FDocument.WriteText("/Ff " + IntToStr(flags));
  FDocument.EndDictionary();
  FDocument.EndObject();
}

TRadioButtonGroup* TRadioGroups::Add(const std::string& Name) {
  if (!FDocument.Generating()) throw TPDFException("Generation PDF file not activated");
  FDocument.AcroForm().CheckFieldName(Name);
  FDocument.AcroForm().TakeFieldName(Name);
  FItems.push_back(
      std::make_unique<TRadioButtonGroup>(FDocument, Name, FDocument.AllocateObjectNumber()));
  return FItems.back().get();
}

}  // namespace quillora
