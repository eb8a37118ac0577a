#include "quillora/core/doc_info.h"

namespace quillora {

TPDFDocInfo::TPDFDocInfo() : FCreationDate(platform::Now()) {}

void TPDFDocInfo::Assign(const TPDFDocInfo& Source) {
  FCreator = Source.FCreator;
  FCreationDate = Source.FCreationDate;
  FAuthor = Source.FAuthor;
  FTitle = Source.FTitle;
  FSubject = Source.FSubject;
  FKeywords = Source.FKeywords;
}

}  // namespace quillora
