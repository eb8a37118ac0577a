// How recorded page pictures are converted into page content.
#pragma once

#include "quillora/core/types.h"

namespace quillora {

class TPDFEMFParseOptions {
 public:
  bool Redraw() const { return FRedraw; }
  void SetRedraw(bool v) { FRedraw = v; }
  bool ColorImagesAsJPEG() const { return FColorImagesAsJPEG; }
  void SetColorImagesAsJPEG(bool v) { FColorImagesAsJPEG = v; }
  TPDFLineCap LineCap() const { return FLineCap; }
  void SetLineCap(TPDFLineCap v) { FLineCap = v; }
  TPDFLineJoin LineJoin() const { return FLineJoin; }
  void SetLineJoin(TPDFLineJoin v) { FLineJoin = v; }
  // Writes each page's metafile and a record log into "HDCDebug" when set.
  // Off by default: the dump is unencrypted.
  bool DiagnosticDump() const { return FDiagnosticDump; }
  void SetDiagnosticDump(bool v) { FDiagnosticDump = v; }

  // The reference device context: the screen's, 96 pixels per inch.
  int ReferencePixelsPerInchX() const { return 96; }
  int ReferencePixelsPerInchY() const { return 96; }

 private:
  bool FRedraw = true;
  bool FColorImagesAsJPEG = false;
  TPDFLineCap FLineCap = lcProjectingSquare;
  TPDFLineJoin FLineJoin = ljBevel;
  bool FDiagnosticDump = false;
};

}  // namespace quillora
