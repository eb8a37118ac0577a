// emf2pdf: converts enhanced metafiles into one PDF, a page per file sized
// to the metafile's frame.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "quillora/core/document.h"
#include "quillora/core/emf_options.h"
#include "quillora/core/exception.h"
#include "quillora/metafile/emw_parser.h"
#include "quillora/page/page.h"
#include "quillora/platform/emf_format.h"

namespace {

using namespace quillora;

const char kUsage[] =
    "Usage: emf2pdf [OPTIONS] FILE.emf...\n"
    "Converts enhanced metafiles into one PDF file, a page per metafile sized to\n"
    "its frame.\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE       the PDF to write (default: the first input with\n"
    "                          the extension .pdf)\n"
    "  -r, --resolution DPI    device units per inch of the conversion\n"
    "                          (default 96; higher keeps more precision)\n"
    "  -n, --no-compress       write uncompressed page content\n"
    "  -j, --jpeg              store colour bitmaps as JPEG\n"
    "  -q, --quality N         JPEG quality, 1 to 100 (default 80)\n"
    "  -h, --help              show this help and exit\n";

struct TInput {
  std::string Name;
  std::string Bytes;
  emf::THeader Header;
};

[[noreturn]] void Fail(const std::string& Message) {
  std::fprintf(stderr, "emf2pdf: %s\n", Message.c_str());
  std::exit(1);
}

int ParseInt(const std::string& Option, const char* Value, int Min, int Max) {
  char* End = nullptr;
  const long V = std::strtol(Value, &End, 10);
  if (!*Value || *End || V < Min || V > Max)
    Fail("invalid value for " + Option + ": " + Value + " (expected " + std::to_string(Min) +
         " to " + std::to_string(Max) + ")");
  return static_cast<int>(V);
}

// The page size in points and the transform that puts the frame's top-left
// corner at the page's and scales the recording device to its real
// resolution.
struct TPlacement {
  int Width = 1, Height = 1;
  long double Scale = 1, Dx = 0, Dy = 0;
};

TPlacement Place(const emf::THeader& H, int ReferencePpi) {
  TPlacement P;
  // Frame units are 0.01 mm; the frame includes its right and bottom edges.
  const long double MmToPt = 72.0L / 2540;
  const long double Left = H.FrameLeft * MmToPt, Top = H.FrameTop * MmToPt;
  P.Width = std::max(1, static_cast<int>(std::lround((H.FrameRight - H.FrameLeft + 1) * MmToPt)));
  P.Height = std::max(1, static_cast<int>(std::lround((H.FrameBottom - H.FrameTop + 1) * MmToPt)));
  // Device pixels per inch of the recording, from its reference device.
  long double Ppi = ReferencePpi;
  if (H.DeviceWidth > 0 && H.MillimetersWidth > 0) Ppi = H.DeviceWidth * 25.4L / H.MillimetersWidth;
  if (!(Ppi > 10 && Ppi < 10000)) Ppi = ReferencePpi;
  P.Scale = ReferencePpi / Ppi;
  P.Dx = -Left;
  P.Dy = P.Height * (1 - P.Scale) + Top;
  return P;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> Files;
  std::string Output;
  int Resolution = 96;
  int Quality = 80;
  bool Compress = true, Jpeg = false;
  for (int i = 1; i < argc; ++i) {
    const std::string A = argv[i];
    auto Value = [&]() -> const char* {
      if (i + 1 >= argc) Fail("option " + A + " needs a value");
      return argv[++i];
    };
    if (A == "-h" || A == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (A == "-o" || A == "--output") {
      Output = Value();
    } else if (A == "-r" || A == "--resolution") {
      Resolution = ParseInt(A, Value(), 72, 9600);
    } else if (A == "-q" || A == "--quality") {
      Quality = ParseInt(A, Value(), 1, 100);
    } else if (A == "-n" || A == "--no-compress") {
      Compress = false;
    } else if (A == "-j" || A == "--jpeg") {
      Jpeg = true;
    } else if (A.size() > 1 && A[0] == '-') {
      Fail("unknown option " + A + " (see --help)");
    } else {
      Files.push_back(A);
    }
  }
  if (Files.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (Output.empty()) {
    Output = Files[0];
    const size_t Dot = Output.rfind('.');
    if (Dot != std::string::npos && Output.find('/', Dot) == std::string::npos) Output.erase(Dot);
    Output += ".pdf";
  }

  // Every input is read and checked before the output is created.
  std::vector<TInput> Inputs;
  for (const std::string& Name : Files) {
    std::ifstream In(Name, std::ios::binary);
    if (!In) Fail(Name + ": cannot open the file");
    TInput I;
    I.Name = Name;
    I.Bytes.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
    try {
      emf::TReader Reader(reinterpret_cast<const uint8_t*>(I.Bytes.data()), I.Bytes.size());
      I.Header = Reader.Header();
    } catch (const Exception& E) {
      Fail(Name + ": " + E.what());
    }
    Inputs.push_back(std::move(I));
  }

  TPDFDocument Doc;
  try {
    Doc.SetFileName(Output);
    Doc.SetResolution(Resolution);
    Doc.SetCompression(Compress ? ctFlate : ctNone);
    Doc.SetJPEGQuality(Quality);
    Doc.EMFOptions().SetColorImagesAsJPEG(Jpeg);
    Doc.StartDocument();
    for (size_t i = 0; i < Inputs.size(); ++i) {
      if (i > 0) Doc.AddPage();
      TPDFPage& Page = *Doc.CurrentPage();
      const TPlacement P = Place(Inputs[i].Header, Doc.EMFOptions().ReferencePixelsPerInchX());
      Page.SetCustomSize(P.Width, P.Height);
      TEMWParser Parser(Page);
      Parser.SetMetafile(Inputs[i].Bytes);
      int64_t W = 0, H = 0;
      Parser.GetPlaybackSize(W, H);
      if (W < 1 || H < 1) continue;
      if (P.Scale != 1 || P.Dx != 0 || P.Dy != 0) Page.Concat(P.Scale, 0, 0, P.Scale, P.Dx, P.Dy);
      Parser.PlayMetafile();
      Page.CloseTextObject();
    }
    Doc.FinishDocument();
  } catch (const std::exception& E) {
    if (Doc.Generating()) Doc.AbortDocument();
    Fail(E.what());
  }
  return 0;
}
