#include "quillora/core/acroform.h"

#include "quillora/core/check_box.h"
#include "quillora/core/combo_box.h"
#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/core/push_button.h"
#include "quillora/core/radio_group.h"
#include "quillora/core/text_field.h"
#include "quillora/fonts/font_registry.h"
#include "quillora/page/page.h"

namespace quillora {

void TPDFAcroForm::Clear() {
  FFields.Clear();
  FFormFonts.clear();
  FWrittenGroups.clear();
  FNames.clear();
  FObjectNumber = 0;
}

void TPDFAcroForm::CheckFieldName(const std::string& Name) const {
  if (Name.empty()) throw TPDFException("Form field name cannot be empty");
  // A "." separates the levels of a qualified field name.
  if (Name.find('.') != std::string::npos)
    throw TPDFException("Form field name \"" + Name + "\" cannot contain \".\"");
  if (FNames.count(Name)) throw TPDFException("Form field \"" + Name + "\" already exists");
}

void TPDFAcroForm::CheckWidgetPlace(TPDFPage* Page, TRect Rect) const {
  if (!FDocument.Generating()) throw TPDFException("Generation PDF file not activated");
  if (!Page || FDocument.Pages().IndexOf(Page) < 0)
    throw TPDFException("Form field page is not a page of this document");
  // In one-pass mode every page but the current one is already in the file.
  if (FDocument.OnePass() && Page != FDocument.CurrentPage())
    throw TPDFException("Form field page has already been written");
  if (Rect.Left == Rect.Right || Rect.Top == Rect.Bottom)
    throw TPDFException("Form field rectangle is empty");
}

const TFormFont& TPDFAcroForm::TextFont() {
  if (FFormFonts.empty()) {
    // The registry's standard Helvetica, written with the document's fonts.
    TPDFFont* font = FDocument.Fonts().GetFont("Helvetica", 0, false);
    font->SetUsed(true);
    if (font->ObjectNumber() < 1) font->SetObjectNumber(FDocument.AllocateObjectNumber());
    FFormFonts.push_back({font->ResourceName(), font->ObjectNumber()});
  }
  return FFormFonts.front();
}

TPDFTextField* TPDFAcroForm::AddTextField(TPDFPage* Page, TRect Rect, const std::string& Name) {
  CheckWidgetPlace(Page, Rect);
  CheckFieldName(Name);
  auto* field = new TPDFTextField(Page, Rect, Name, TextFont());  // the page owns it
  FFields.Add(field);
  TakeFieldName(Name);
  return field;
}

TPDFCheckBox* TPDFAcroForm::AddCheckBox(TPDFPage* Page, TRect Rect, const std::string& Name) {
  CheckWidgetPlace(Page, Rect);
  CheckFieldName(Name);
  auto* field = new TPDFCheckBox(Page, Rect, Name);
  FFields.Add(field);
  TakeFieldName(Name);
  return field;
}

TPDFComboBox* TPDFAcroForm::AddComboBox(TPDFPage* Page, TRect Rect, const std::string& Name,
                                        const std::vector<std::string>& Items) {
  CheckWidgetPlace(Page, Rect);
  CheckFieldName(Name);
  auto* field = new TPDFComboBox(Page, Rect, Name, TextFont(), Items);
  FFields.Add(field);
  TakeFieldName(Name);
  return field;
}

TPDFPushButton* TPDFAcroForm::AddPushButton(TPDFPage* Page, TRect Rect, const std::string& Name,
                                            const std::string& Caption, const std::string& Script) {
  CheckWidgetPlace(Page, Rect);
  CheckFieldName(Name);
  auto* field = new TPDFPushButton(Page, Rect, Name, TextFont(), Caption, Script);
  FFields.Add(field);
  TakeFieldName(Name);
  return field;
}

void TPDFAcroForm::Write() {
  if (Empty()) return;
  int resources = 0;
  FDocument.StartObject(resources);
  std::string fonts = "/Font <<";
  for (const TFormFont& font : FFormFonts)
    fonts += "/" + font.ResourceName + " " + IntToStr(font.ObjectNumber) + " 0 R ";
  FDocument.WriteText(fonts + ">>");
  FDocument.EndDictionary();
  FDocument.EndObject();

  FDocument.StartObject(FObjectNumber);
  std::string line = "/Fields [";
  for (int i = 0; i < FFields.Count(); ++i) {
    AppendInt(line, FFields.Items(i)->ObjectNumber());
    line += " 0 R ";
  }
  for (TRadioButtonGroup* group : FWrittenGroups) {
    AppendInt(line, group->ObjectNumber());
    line += " 0 R ";
  }
  line += "]/DR ";
  AppendInt(line, resources);
  FDocument.WriteText(line + " 0 R");
  line = "/CO [";
  for (int i = 0; i < FFields.Count(); ++i)
    if (FFields.Items(i)->Calculated()) {
      AppendInt(line, FFields.Items(i)->ObjectNumber());
      line += " 0 R ";
    }
  FDocument.WriteText(line + "]", false);
  FDocument.EndDictionary();
  FDocument.EndObject();
}

}  // namespace quillora
