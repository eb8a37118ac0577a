// Radio buttons: one field (the group, holding the name and the value) whose
// kids are the buttons' widgets; at most one button is on.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "quillora/core/acroform.h"
#include "quillora/core/form_field.h"

namespace quillora {

class TRadioButtonGroup;

class TPDFRadioButton : public TPDFFormField {
 public:
  TPDFRadioButton(TPDFPage* Page, TRect Rect, TRadioButtonGroup& Group,
                  const std::string& ExportName)
      : TPDFFormField(Page, Rect, ""), FGroup(Group), FExportName(ExportName) {}
  void WriteObject() override;

  TRadioButtonGroup& Group() const { return FGroup; }
  // The name of the button's on state, and the group's value when it is on.
  const std::string& ExportName() const { return FExportName; }
  bool Checked() const { return FChecked; }
  // Checking a button unchecks the others of its group.
  void SetChecked(bool v);

 private:
  friend class TRadioButtonGroup;
  TRadioButtonGroup& FGroup;
  std::string FExportName;
  bool FChecked = false;
};

class TRadioButtonGroup {
 public:
  TRadioButtonGroup(TPDFDocument& Document, const std::string& Name, int ObjectNumber)
      : FDocument(Document), FObjectNumber(ObjectNumber), FName(Name) {}

  // A button on Page over Rect (device units). Raises TPDFException for a
  // page or rectangle the form refuses, and for an empty export name or
  // "Off" (the name of every button's off state).
  TPDFRadioButton* AddButton(TPDFPage* Page, TRect Rect, const std::string& ExportName);

  TPDFControls& Buttons() { return FButtons; }
  TPDFDocument& Document() const { return FDocument; }
  // Given when the group is created, so that the buttons can name their
  // parent when their page is written.
  int ObjectNumber() const { return FObjectNumber; }
  const std::string& Name() const { return FName; }

  // Writes the group's field and adds it to the form's written groups.
  void WriteObject();

 private:
  TPDFControls FButtons;
  TPDFDocument& FDocument;
  int FObjectNumber;
  std::string FName;
};

// The document's radio groups, which it owns.
class TRadioGroups {
 public:
  explicit TRadioGroups(TPDFDocument& Document) : FDocument(Document) {}
  // Raises TPDFException when not generating and for a name the form
  // refuses (empty, with a ".", or taken).
  TRadioButtonGroup* Add(const std::string& Name);
  int Count() const { return static_cast<int>(FItems.size()); }
  TRadioButtonGroup* Items(int Index) const { return FItems[Index].get(); }
  void Clear() { FItems.clear(); }

 private:
  TPDFDocument& FDocument;
  std::vector<std::unique_ptr<TRadioButtonGroup>> FItems;
};

// "/" and the name, with delimiters, "#" and bytes outside ! to ~ written
// as "#" and two hexadecimal digits.
std::string NameToken(const std::string& Name);

}  // namespace quillora
