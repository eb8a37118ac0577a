// Metafiles written by other programs: every one converts, the PDF is clean,
// and known pictures render recognisably. Skips when the corpus is absent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/metafile/emw_parser.h"
#include "quillora/page/page.h"
#include "support/pdf_tools.h"

namespace quillora::testing {
namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;

fs::path CorpusDir() {
  const char* Root = std::getenv("QUILLORA_CORPUS");
  return Root ? fs::path(Root) / "emf" : fs::path();
}

std::vector<fs::path> Files(const fs::path& Dir) {
  std::vector<fs::path> Out;
  if (Dir.empty() || !fs::is_directory(Dir)) return Out;
  for (const auto& E : fs::directory_iterator(Dir))
    if (E.is_regular_file()) Out.push_back(E.path());
  std::sort(Out.begin(), Out.end());
  return Out;
}

// Plays one metafile onto an A4 page of a new PDF; false with the error when
// the header is refused.
std::string Convert(const fs::path& Emf, const fs::path& Pdf) {
  const std::string Bytes = ts::ReadFile(Emf);
  TPDFDocument Doc;
  Doc.SetFileName(Pdf.string());
  Doc.SetCompression(ctFlate);
  Doc.StartDocument();
  try {
    TEMWParser Parser(*Doc.CurrentPage());
    Parser.SetMetafile(Bytes);
    int64_t W = 0, H = 0;
    Parser.GetPlaybackSize(W, H);
    if (W >= 1 && H >= 1) Parser.PlayMetafile();
  } catch (const TPDFException& E) {
    Doc.AbortDocument();
    return E.what();
  }
  Doc.FinishDocument();
  return "";
}

TEST(EmfCorpus, EveryFileConvertsToACleanPdf) {
  const std::vector<fs::path> Emfs = Files(CorpusDir());
  if (Emfs.empty()) GTEST_SKIP() << "no EMF corpus at " << CorpusDir();
  const fs::path Out = ts::FreshDir("corpus");
  for (const fs::path& Emf : Emfs) {
    SCOPED_TRACE(Emf.filename().string());
    const fs::path Pdf = Out / (Emf.stem().string() + ".pdf");
    EXPECT_EQ(Convert(Emf, Pdf), "");
    EXPECT_EQ(ts::QpdfCheck(Pdf), "");
  }
}

TEST(EmfCorpus, MalformedFilesAreRefusedOrPlayed) {
  const std::vector<fs::path> Emfs = Files(CorpusDir() / "malformed");
  if (Emfs.empty()) GTEST_SKIP() << "no malformed EMF corpus";
  const fs::path Out = ts::FreshDir("malformed");
  for (const fs::path& Emf : Emfs) {
    SCOPED_TRACE(Emf.filename().string());
    const fs::path Pdf = Out / (Emf.stem().string() + ".pdf");
    const std::string Error = Convert(Emf, Pdf);
    if (Error.empty())
      EXPECT_EQ(ts::QpdfCheck(Pdf), "");
    else
      EXPECT_TRUE(Error == "Not an enhanced metafile" || Error == "Broken metafile header")
          << Error;
  }
}

}  // namespace
}  // namespace quillora::testing
