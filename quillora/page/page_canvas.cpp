// The page's recording canvas: created with the page, played back into the
// content when the page is closed.
#include "quillora/page/page_canvas.h"

#include <memory>

#include "quillora/core/document.h"
#include "quillora/core/emf_options.h"
#include "quillora/core/exception.h"
#include "quillora/metafile/emw_parser.h"
#include "quillora/page/page.h"

namespace quillora {

namespace {

// Integer multiply-then-divide, rounded to the nearest integer.
int MulDiv(int64_t A, int64_t B, int64_t C) {
  const int64_t P = A * B;
  const int64_t Q = (P >= 0 ? P + C / 2 : P - C / 2) / C;
  return static_cast<int>(Q);
}

}  // namespace

void TPDFPage::SetCustomSize(int Width, int Height) {
  if (FPageInProgress) throw TPDFException("Page in progress");
  if (Width < 1 || Height < 1) throw TPDFException("Invalid page size");
  FWidth = Width;
  FHeight = Height;
  if (FRecording && !FCanvasTaken) {
    FreeCanvas();
    CreateCanvas();
  }
}

void TPDFPage::CreateCanvas() {
  if (FRecording) throw TPDFException("Canvas for this page already created");
  auto Recording = std::make_unique<TPageRecording>();
  FCanvasTaken = false;
  const TPDFEMFParseOptions& Options = FDocument.EMFOptions();
  TReferenceDC Reference;
  Reference.PixelsPerInchX = Options.ReferencePixelsPerInchX();
  Reference.PixelsPerInchY = Options.ReferencePixelsPerInchY();
  Recording->Metafile.SetHeight(MulDiv(FHeight, Reference.PixelsPerInchY, 72));
  Recording->Metafile.SetWidth(MulDiv(FWidth, Reference.PixelsPerInchX, 72));
  Recording->Canvas = std::make_unique<TMetafileCanvas>(Recording->Metafile, Reference);
  FRecording = std::move(Recording);
}

void TPDFPage::CloseCanvas() {
  if (!FRecording) return;
  // Whatever happens below, the recording ends with this call.
  std::unique_ptr<TPageRecording> Recording = std::move(FRecording);
  FCanvasTaken = false;
  Recording->Canvas.reset();  // ends the recording

  TEMWParser Parser(*this);
  Parser.SetMetafile(Recording->Metafile.Data());
  int64_t Width = 0, Height = 0;
  Parser.GetPlaybackSize(Width, Height);
  if (Width < 1 || Height < 1) return;

  CloseTextObject();
  std::string Direct = TakeContent();
  FText.FontDirty = true;
  try {
    Parser.PlayMetafile();
    CloseTextObject();
  } catch (...) {
    // Keep what was drawn directly even when the playback fails.
    SetContentText(TakeContent() + "\r" + Direct);
    throw;
  }
  // The recorded drawing comes first; the direct drawing paints over it.
  SetContentText(TakeContent() + "\r" + Direct);
}

void TPDFPage::FreeCanvas() {
  FRecording.reset();
  FCanvasTaken = false;
}

TMetafileCanvas* TPDFPage::Canvas() {
  return FRecording ? FRecording->Canvas.get() : nullptr;
}

}  // namespace quillora
