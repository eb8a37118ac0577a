// The recording surface of the current page.
#pragma once

namespace quillora {

// Holds the page's metafile and its canvas between CreateCanvas and
// CloseCanvas or FreeCanvas.
struct TPageRecording {};

}  // namespace quillora
