// The emf2pdf tool: pages sized to each metafile's frame, help, and a clear
// refusal of files that are not metafiles.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "metafile/emf_builder.h"
#include "quillora/platform/emf_format.h"
#include "support/pdf_tools.h"

namespace quillora::testing {
namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;
using namespace emf;

std::string Tool() {
  const char* Dir = std::getenv("QUILLORA_TOOLS_DIR");
  return (fs::path(Dir ? Dir : "") / "emf2pdf" / "emf2pdf").string();
}

TEST(Emf2Pdf, HelpAndErrors) {
  ASSERT_TRUE(fs::exists(Tool())) << Tool();
  const ts::CommandResult Help = ts::Run(ts::Quote(Tool()) + " --help");
  EXPECT_EQ(Help.exit_code, 0);
  EXPECT_NE(Help.out.find("Usage: emf2pdf"), std::string::npos);

  const fs::path Dir = ts::FreshDir("emf2pdf-bad");
  ts::WriteFile(Dir / "text.emf", "This is not a metafile at all, just some words.");
  const ts::CommandResult Bad =
      ts::Run(ts::Quote(Tool()) + " -o " + ts::Quote((Dir / "out.pdf").string()) + " " +
              ts::Quote((Dir / "text.emf").string()));
  EXPECT_NE(Bad.exit_code, 0);
  EXPECT_NE(Bad.err.find("text.emf: Not an enhanced metafile"), std::string::npos) << Bad.err;
  EXPECT_FALSE(fs::exists(Dir / "out.pdf"));

  const ts::CommandResult Missing =
      ts::Run(ts::Quote(Tool()) + " " + ts::Quote((Dir / "none.emf").string()));
  EXPECT_NE(Missing.exit_code, 0);
  EXPECT_NE(Missing.err.find("cannot open"), std::string::npos);
  EXPECT_NE(ts::Run(ts::Quote(Tool()) + " --bogus x.emf").exit_code, 0);
}

TEST(Emf2Pdf, OnePagePerFileSizedToTheFrame) {
  ASSERT_TRUE(fs::exists(Tool())) << Tool();
  const fs::path Dir = ts::FreshDir("emf2pdf");
  // 400 x 200 pixels at 96 dpi: 300 x 150 points, a red rectangle in the
  // left half; then a 200 x 400 picture, blue at the bottom.
  TEmfBuilder A(399, 199);
  A.Brush(1, BS_SOLID, 0x0000FF).Select(1).Stock(NULL_PEN).Rec(EMR_RECTANGLE, {0, 0, 200, 200});
  TEmfBuilder B(199, 399);
  B.Brush(1, BS_SOLID, 0xFF0000).Select(1).Stock(NULL_PEN).Rec(EMR_RECTANGLE, {0, 200, 200, 400});
  ts::WriteFile(Dir / "a.emf", A.Bytes());
  ts::WriteFile(Dir / "b.emf", B.Bytes());
  const ts::CommandResult R =
      ts::Run(ts::Quote(Tool()) + " " + ts::Quote((Dir / "a.emf").string()) + " " +
              ts::Quote((Dir / "b.emf").string()));
  ASSERT_EQ(R.exit_code, 0) << R.err;
  const fs::path Pdf = Dir / "a.pdf";
  ASSERT_TRUE(fs::exists(Pdf));
  EXPECT_EQ(ts::QpdfCheck(Pdf), "");
  std::string Info;
  for (char C : ts::Run("pdfinfo -f 1 -l 2 " + ts::Quote(Pdf.string())).out)
    if (C != ' ' || Info.empty() || Info.back() != ' ') Info += C;  // single spaces
  EXPECT_NE(Info.find("Pages: 2\n"), std::string::npos) << Info;
  EXPECT_NE(Info.find("Page 1 size: 300 x 150 pts"), std::string::npos) << Info;
  EXPECT_NE(Info.find("Page 2 size: 150 x 300 pts"), std::string::npos) << Info;
  const ts::Image P1 = ts::RenderPoppler(Pdf, 1, 72);
  EXPECT_GT(P1.At(50, 75).r, 200);
  EXPECT_LT(P1.At(50, 75).g, 50);
  EXPECT_GT(P1.At(250, 75).g, 200);  // the right half is empty
  const ts::Image P2 = ts::RenderPoppler(Pdf, 2, 72);
  EXPECT_GT(P2.At(75, 250).b, 200);
  EXPECT_LT(P2.At(75, 250).r, 50);
  EXPECT_GT(P2.At(75, 50).r, 200);
}

// Metafiles of other programs whose text and ink we know (skipped when the
// corpus is absent).
TEST(Emf2Pdf, KnownPicturesFromOtherProgramsRender) {
  const char* Root = std::getenv("QUILLORA_CORPUS");
  const fs::path Corpus = fs::path(Root ? Root : "") / "emf";
  struct Case {
    const char* File;
    const char* Text;
  } Cases[] = {
      {"EmfReader-LibreOffice__emf.emf", "16797"},
      {"EmfReader-spool__EMFSpool_0001.emf", "SpoolMonitorService.vb"},
      {"EmfReader-win-nt4__l_image002.emf", ""},
  };
  const fs::path Out = ts::FreshDir("emf2pdf-known");
  int Found = 0;
  for (const Case& C : Cases) {
    if (!fs::exists(Corpus / C.File)) continue;
    ++Found;
    SCOPED_TRACE(C.File);
    const fs::path Pdf = Out / (std::string(C.File) + ".pdf");
    const ts::CommandResult R = ts::Run(ts::Quote(Tool()) + " -o " + ts::Quote(Pdf.string()) + " " +
                                        ts::Quote((Corpus / C.File).string()));
    ASSERT_EQ(R.exit_code, 0) << R.err;
    EXPECT_EQ(ts::QpdfCheck(Pdf), "");
    EXPECT_NE(ts::PdfToText(Pdf).find(C.Text), std::string::npos);
    const ts::Image Img = ts::RenderPoppler(Pdf, 1, 30);
    int Dark = 0;
    for (int y = 0; y < Img.height; ++y)
      for (int x = 0; x < Img.width; ++x) {
        const auto P = Img.At(x, y);
        if (P.r + P.g + P.b < 384) ++Dark;
      }
    EXPECT_GT(Dark, Img.width * Img.height / 1000) << Img.width << "x" << Img.height;
  }
  if (!Found) GTEST_SKIP() << "no EMF corpus at " << Corpus;
}

}  // namespace
}  // namespace quillora::testing
