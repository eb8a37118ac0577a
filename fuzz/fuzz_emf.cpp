// Any bytes as an enhanced metafile, played into a page of a document
// written to memory.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string_view>

#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/metafile/emw_parser.h"
#include "quillora/page/page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  using namespace quillora;
  TPDFDocument Doc;
  std::ostringstream Out;
  Doc.SetOutputStream(&Out);
  Doc.SetCompression(ctNone);
  Doc.StartDocument();
  try {
    TEMWParser Parser(*Doc.CurrentPage());
    Parser.SetMetafile(std::string_view(reinterpret_cast<const char*>(Data), Size));
    int64_t Width = 0, Height = 0;
    Parser.GetPlaybackSize(Width, Height);
    Parser.PlayMetafile();
    Doc.FinishDocument();
  } catch (const Exception&) {
    if (Doc.Generating()) Doc.AbortDocument();
  }
  return 0;
}
