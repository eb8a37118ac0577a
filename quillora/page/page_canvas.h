// The recording surface of the current page.
#pragma once

#include <memory>

#include "quillora/platform/metafile.h"
#include "quillora/platform/metafile_canvas.h"

namespace quillora {

// Holds the page's metafile and its canvas between CreateCanvas and
// CloseCanvas or FreeCanvas.
struct TPageRecording {
  TMetafile Metafile;
  std::unique_ptr<TMetafileCanvas> Canvas;
};

}  // namespace quillora
