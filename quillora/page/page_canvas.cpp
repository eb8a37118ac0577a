#include "quillora/page/page_canvas.h"

#include <memory>

#include "quillora/core/exception.h"
#include "quillora/page/page.h"

namespace quillora {

void TPDFPage::CreateCanvas() {
  if (FRecording) throw TPDFException("Canvas for this page already created");
  FRecording = std::make_unique<TPageRecording>();
  FCanvasTaken = false;
}

void TPDFPage::CloseCanvas() {
  if (!FRecording) return;
  FRecording.reset();
  FCanvasTaken = false;
}

void TPDFPage::FreeCanvas() {
  FRecording.reset();
  FCanvasTaken = false;
}

TMetafileCanvas* TPDFPage::Canvas() { return nullptr; }

}  // namespace quillora
