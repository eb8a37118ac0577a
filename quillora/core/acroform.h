// The interactive form: its fields (widget annotations on pages, owned by
// their pages), the fonts named in its default resources, and the radio
// button groups written so far. Also the operations that add fields.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "quillora/core/tokens.h"

namespace quillora {

class TPDFDocument;
class TPDFPage;
class TPDFFormField;
class TPDFTextField;
class TPDFCheckBox;
class TPDFComboBox;
class TPDFPushButton;
class TRadioButtonGroup;

// A font named in the form's default resources.
struct TFormFont {
  std::string ResourceName;
  int ObjectNumber = 0;
};

// A list of form fields in order; it does not own them.
class TPDFControls {
 public:
  void Add(TPDFFormField* Field) { FItems.push_back(Field); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TPDFFormField* Items(int Index) const { return FItems[Index]; }
  void Clear() { FItems.clear(); }

 private:
  std::vector<TPDFFormField*> FItems;
};

class TPDFAcroForm {
 public:
  explicit TPDFAcroForm(TPDFDocument& Document) : FDocument(Document) {}

  int ObjectNumber() const { return FObjectNumber; }
  TPDFControls& Fields() { return FFields; }
  const std::vector<TFormFont>& FormFonts() const { return FFormFonts; }
  const std::vector<TRadioButtonGroup*>& WrittenGroups() const { return FWrittenGroups; }
  void AddWrittenGroup(TRadioButtonGroup* Group) { FWrittenGroups.push_back(Group); }
  bool Empty() const { return FFields.Count() == 0 && FWrittenGroups.empty(); }
  void Clear();

  // Fields on Page over Rect (device units). Each raises TPDFException when
  // the document is not generating, the page is not one of the document's
  // unwritten pages, the rectangle is empty, or the name is empty, holds a
  // "." or is already taken by another field or radio group.
  TPDFTextField* AddTextField(TPDFPage* Page, TRect Rect, const std::string& Name);
  TPDFCheckBox* AddCheckBox(TPDFPage* Page, TRect Rect, const std::string& Name);
  TPDFComboBox* AddComboBox(TPDFPage* Page, TRect Rect, const std::string& Name,
                            const std::vector<std::string>& Items);
  // A button that runs Script (JavaScript) when clicked.
  TPDFPushButton* AddPushButton(TPDFPage* Page, TRect Rect, const std::string& Name,
                                const std::string& Caption, const std::string& Script);

  // The checks above, shared with radio groups (name) and radio buttons
  // (page and rectangle).
  void CheckFieldName(const std::string& Name) const;
  // Takes a name that passed CheckFieldName.
  void TakeFieldName(const std::string& Name) { FNames.insert(Name); }
  void CheckWidgetPlace(TPDFPage* Page, TRect Rect) const;

  // Writes the default resources and the form dictionary (only when the
  // form is not empty); the number is given here.
  void Write();

 private:
  // Helvetica from the font registry, added to the default resources on
  // first use.
  const TFormFont& TextFont();

  TPDFDocument& FDocument;
  int FObjectNumber = 0;
  TPDFControls FFields;
  std::vector<TFormFont> FFormFonts;
  std::vector<TRadioButtonGroup*> FWrittenGroups;
  std::set<std::string> FNames;  // of fields and radio groups
};

}  // namespace quillora
