// "Save As PDF File": the export of the document to PDF.
#include "tollmark/app/main_form.h"

#include "tollmark/app/rich_view_edit.h"
#include "tollmark/app/ui_hooks.h"

namespace tollmark {

void TMForm::SaveAsPDFItemClick() {
  Hooks().inform(this, "Save As PDF File", "Saving as PDF is not available in this version yet.");
  RichViewEdit1->setFocus();
}

}  // namespace tollmark
