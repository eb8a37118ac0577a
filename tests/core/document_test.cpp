#include "quillora/core/document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/doc_fixture.h"
#include "quillora/core/actions.h"
#include "quillora/core/exception.h"
#include "quillora/core/md5.h"
#include "quillora/page/page.h"
#include "quillora/platform/shell.h"
#include "support/pdf_tools.h"

namespace quillora {
namespace {

namespace fs = std::filesystem;
using testing::BuildPdf;
using testing::FixedClock;
using testing_support::FreshDir;
using testing_support::QpdfCheck;
using testing_support::ReadFile;

std::string ExpectMessage(const std::function<void()>& f) {
  try {
    f();
  } catch (const TPDFException& e) {
    return e.what();
  }
  return "(no exception)";
}

fs::path GoldenPath(const std::string& name) {
  return fs::path(std::getenv("QUILLORA_TEST_DATA")) / "golden" / name;
}

// Compares with a golden file; QUILLORA_UPDATE_GOLDEN=1 rewrites it.
void ExpectGolden(const std::string& name, const std::string& bytes) {
  fs::path path = GoldenPath(name);
  if (std::getenv("QUILLORA_UPDATE_GOLDEN")) {
    fs::create_directories(path.parent_path());
    testing_support::WriteFile(path, bytes);
  }
  std::string golden = ReadFile(path);
  ASSERT_FALSE(golden.empty()) << "missing golden file " << path;
  EXPECT_TRUE(golden == bytes) << name << " differs from its golden file";
}

TEST(Document, EmptyDocumentIsByteExact) {
  FixedClock clock;
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc);
  ExpectGolden("empty.pdf", pdf);
  // The skeleton the file must have, whatever the golden says.
  EXPECT_EQ(pdf.substr(0, 17), "%PDF-1.3\r\n%\xD2\xE5\xD1\xF2\r\n");
  EXPECT_NE(pdf.find("1 0 obj\r\n<</Type /Pages\r\n/Kids [\r\n2 0 R\r\n]\r\n/Count 1\r\n>>\r\n"),
            std::string::npos);
  EXPECT_NE(pdf.find("/Creator (Quillora program)\r\n/CreationDate (D:20261209130509)\r\n"
                     "/Producer (Quillora 3.x)\r\n/Author (Windows 9x/NT/2000/XP User)\r\n"
                     "/Title (No Title)\r\n/Subject (None)\r\n/Keywords (Quillora)\r\n"),
            std::string::npos);
  EXPECT_NE(pdf.find("<</Type /Catalog\r\n /Pages 1 0 R\r\n/PageLayout /SinglePage\r\n"
                     "/PageMode /UseNone\r\n>>\r\n"),
            std::string::npos);
  EXPECT_EQ(pdf.substr(pdf.size() - 7), "%%EOF\r\n");
}

TEST(Document, CrossReferenceLinesAreTwentyBytesAndPointAtObjects) {
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, [](TPDFDocument& d) {
    d.AddPage();
    d.AddPage();
  });
  size_t xref = pdf.rfind("\r\nxref\r\n") + 2;
  ASSERT_NE(xref, std::string::npos);
  size_t startxref = pdf.rfind("startxref\r\n");
  EXPECT_EQ(std::stoll(pdf.substr(startxref + 11)), static_cast<long long>(xref));
  size_t line = pdf.find("\r\n", xref + 6) + 2;  // after "0 N"
  int count = std::stoi(pdf.substr(xref + 8));
  EXPECT_EQ(pdf.substr(line, 20), "0000000000 65535 f\r\n");
  for (int n = 1; n < count; ++n) {
    std::string entry = pdf.substr(line + 20 * n, 20);
    ASSERT_EQ(entry.substr(10), " 00000 n\r\n") << n;
    size_t offset = std::stoul(entry.substr(0, 10));
    EXPECT_EQ(pdf.substr(offset, std::to_string(n).size() + 6), std::to_string(n) + " 0 obj") << n;
  }
  EXPECT_NE(pdf.find("/Size " + std::to_string(count) + "\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("/Count 3\r\n"), std::string::npos);
}

TEST(Document, WritesAFileThatReadersAccept) {
  fs::path dir = FreshDir();
  TPDFDocument doc;
  doc.SetFileName((dir / "out.pdf").string());
  doc.SetCompression(ctFlate);
  doc.StartDocument();
  doc.CurrentPage()->Rectangle(10, 10, 100, 100);
  doc.CurrentPage()->Fill();
  doc.AddPage();
  doc.FinishDocument();
  EXPECT_EQ(QpdfCheck(dir / "out.pdf"), "");
  // Only the finished file is left in the folder.
  int files = 0;
  for (auto& e : fs::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(Document, LifecycleErrors) {
  TPDFDocument doc;
  EXPECT_EQ(ExpectMessage([&] { doc.AddPage(); }), "Generation PDF file not activated");
  EXPECT_EQ(ExpectMessage([&] { doc.FinishDocument(); }), "Generation PDF file not activated");
  EXPECT_EQ(ExpectMessage([&] { doc.AbortDocument(); }), "Generation PDF file not activated");
  EXPECT_EQ(ExpectMessage([&] { doc.AddAction(nullptr); }), "Generation PDF file not activated");
  std::ostringstream out;
  doc.SetOutputStream(&out);
  doc.StartDocument();
  EXPECT_EQ(ExpectMessage([&] { doc.StartDocument(); }), "Generation PDF file in progress");
  const std::pair<const char*, std::function<void()>> refused[] = {
      {"FileName", [&] { doc.SetFileName("x.pdf"); }},
      {"ProtectionEnabled", [&] { doc.SetProtectionEnabled(true); }},
      {"ProtectionOptions", [&] { doc.SetProtectionOptions({coPrint}); }},
      {"OwnerPassword", [&] { doc.SetOwnerPassword("o"); }},
      {"UserPassword", [&] { doc.SetUserPassword("u"); }},
      {"OnePass", [&] { doc.SetOnePass(true); }},
  };
  for (const auto& [name, assign] : refused)
    EXPECT_EQ(ExpectMessage(assign), "Generation PDF file in progress") << name;
  EXPECT_EQ(ExpectMessage([&] { doc.SetProtectionKeyLength(kl128); }), "Cannot change this value");
  EXPECT_EQ(ExpectMessage([&] { doc.SetEmulateStandardFont(true); }), "Cannot change this value");
  // Unchanged values are no change at all.
  EXPECT_NO_THROW(doc.SetProtectionKeyLength(kl40));
  EXPECT_NO_THROW(doc.SetEmulateStandardFont(false));
  int too_high = doc.ObjectCount() + 1;
  EXPECT_EQ(ExpectMessage([&] { doc.StartObject(too_high); }), "Out of range");
  doc.FinishDocument();
  EXPECT_EQ(ExpectMessage([&] { doc.FinishDocument(); }), "Generation PDF file not activated");
}

TEST(Document, VersionAndKeyLengthFollowEachOther) {
  TPDFDocument doc;
  doc.SetProtectionKeyLength(kl128);
  EXPECT_EQ(doc.Version(), v14);
  EXPECT_EQ(BuildPdf(doc).substr(0, 8), "%PDF-1.4");
  doc.SetVersion(v13);
  EXPECT_EQ(doc.ProtectionKeyLength(), kl40);
  doc.SetVersion(v16);
  EXPECT_EQ(BuildPdf(doc).substr(0, 8), "%PDF-1.6");
}

TEST(Document, DocumentInfoAssignmentKeepsTheProducer) {
  TPDFDocInfo info;
  info.SetTitle("A (title)");
  info.SetAuthor("");
  TPDFDocument doc;
  doc.SetDocumentInfo(info);
  std::string pdf = BuildPdf(doc);
  EXPECT_NE(pdf.find("/Title (A \\(title\\))\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("/Author ()\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("/Producer (Quillora 3.x)\r\n"), std::string::npos);
}

TEST(Document, CatalogEntries) {
  struct Case {
    TPageLayout layout;
    TPageMode mode;
    TViewerPreferences prefs;
    const char* expected;
  };
  const Case cases[] = {
      {plTwoColumnLeft, pmUseOutlines, {},
       "/PageLayout /TwoColumnLeft\r\n/PageMode /UseOutlines\r\n"},
      {plOneColumn, pmFullScreen, {vpFitWindow},
       "/PageLayout /OneColumn\r\n/ViewerPreferences <<\r\n/FitWindow true\r\n>>\r\n"
       "/PageMode /FullScreen\r\n"},
      {plTwoColumnRight, pmUseThumbs,
       {vpHideToolBar, vpHideMenuBar, vpHideWindowUI, vpFitWindow, vpCenterWindow},
       "/PageLayout /TwoColumnRight\r\n/ViewerPreferences <<\r\n/HideToolbar true\r\n"
       "/HideMenubar true\r\n/HideWindowUI true\r\n/FitWindow true\r\n/CenterWindow true\r\n"
       ">>\r\n/PageMode /UseThumbs\r\n"},
  };
  for (const Case& c : cases) {
    TPDFDocument doc;
    doc.SetPageLayout(c.layout);
    doc.SetPageMode(c.mode);
    doc.SetViewerPreferences(c.prefs);
    std::string pdf = BuildPdf(doc);
    EXPECT_NE(pdf.find(c.expected), std::string::npos) << c.expected;
    if (c.prefs.Empty()) {
      EXPECT_EQ(pdf.find("/ViewerPreferences"), std::string::npos);
    }
  }
}

TEST(Document, OpenActionAndChainedActionsAreWritten) {
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, [](TPDFDocument& d) {
    auto* first = new TPDFURLAction();
    first->SetURL("https://a.example/");
    auto* second = new TPDFURLAction();
    second->SetURL("https://b.example/");
    first->SetNext(second);  // registered by the document before writing
    d.AddAction(first);
    d.SetOpenAction(first);
    EXPECT_EQ(d.Actions().Count(), 1);
  });
  EXPECT_NE(pdf.find("/S /URI /URI (https://a.example/)\r\n/Next "), std::string::npos);
  EXPECT_NE(pdf.find("/S /URI /URI (https://b.example/)\r\n>>"), std::string::npos);
  EXPECT_NE(pdf.find("/OpenAction "), std::string::npos);
  fs::path file = FreshDir() / "a.pdf";
  testing_support::WriteFile(file, pdf);
  EXPECT_EQ(QpdfCheck(file), "");
}

TEST(Document, FileIdentifierIsTheDigestOfNameAndTime) {
  FixedClock clock;
  TPDFDocument doc;
  BuildPdf(doc, [](TPDFDocument& d) {
    EXPECT_EQ(d.FileID(), MD5Print(MD5("Wed 09-12-2026 13:05:09.250")));
  });
}

TEST(Document, AbortKeepsAnExistingFileAndLeavesNoNewOne) {
  fs::path dir = FreshDir();
  fs::path existing = dir / "report.pdf";
  testing_support::WriteFile(existing, "previous contents");
  TPDFDocument doc;
  doc.SetFileName(existing.string());
  doc.StartDocument();
  doc.CurrentPage()->MoveTo(1, 1);
  doc.AbortDocument();
  EXPECT_TRUE(doc.Aborted());
  EXPECT_FALSE(doc.Generating());
  EXPECT_EQ(ReadFile(existing), "previous contents");

  fs::path fresh = dir / "new.pdf";
  doc.SetFileName(fresh.string());
  doc.StartDocument();
  EXPECT_FALSE(doc.Aborted());
  doc.AbortDocument();
  EXPECT_FALSE(fs::exists(fresh));
  int files = 0;
  for (auto& e : fs::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);  // only the previous report
}

TEST(Document, DestroyedWhileGeneratingRemovesItsTemporaryFile) {
  fs::path dir = FreshDir();
  {
    TPDFDocument doc;
    doc.SetFileName((dir / "x.pdf").string());
    doc.StartDocument();
  }
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST(Document, FailedFinishAbortsAndKeepsThePreviousFile) {
  fs::path dir = FreshDir();
  fs::path target = dir / "r.pdf";
  testing_support::WriteFile(target, "old");
  TPDFDocument doc;
  doc.SetFileName(target.string());
  doc.StartDocument();
  // An annotation whose page-tree reference was never allocated cannot be
  // written: the number is out of range.
  struct Broken : TPDFAction {
    void WriteObject() override {
      int n = Document()->ObjectCount() + 5;
      Document()->StartObject(n);
    }
  };
  doc.AddAction(new Broken());
  EXPECT_EQ(ExpectMessage([&] { doc.FinishDocument(); }), "Out of range");
  EXPECT_TRUE(doc.Aborted());
  EXPECT_EQ(ReadFile(target), "old");
  int files = 0;
  for (auto& e : fs::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(Document, CannotCreateTheFile) {
  TPDFDocument doc;
  doc.SetFileName("/nonexistent-folder/x.pdf");
  EXPECT_THROW(doc.StartDocument(), Exception);
  EXPECT_FALSE(doc.Generating());
}

TEST(Document, AutoLaunchOpensTheFinishedFileOnly) {
  std::vector<std::vector<std::string>> calls;
  platform::SetSpawnFunction([&](const std::vector<std::string>& argv) { calls.push_back(argv); });
  fs::path file = FreshDir() / "shown.pdf";
  TPDFDocument doc;
  doc.SetAutoLaunch(true);
  doc.SetFileName(file.string());
  doc.StartDocument();
  EXPECT_TRUE(calls.empty());
  doc.FinishDocument();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], (std::vector<std::string>{"xdg-open", file.string()}));
  // With an output stream there is no file to show.
  BuildPdf(doc);
  EXPECT_EQ(calls.size(), 1u);
  // A failing viewer is not the document's failure.
  platform::SetSpawnFunction([](const std::vector<std::string>&) { throw std::runtime_error("x"); });
  doc.StartDocument();
  EXPECT_NO_THROW(doc.FinishDocument());
  platform::SetSpawnFunction(nullptr);
}

TEST(Document, OnePassWritesPagesAsItGoes) {
  TPDFDocument doc;
  doc.SetOnePass(true);
  std::string pdf = BuildPdf(doc, [](TPDFDocument& d) {
    d.CurrentPage()->MoveTo(0, 0);
    d.CurrentPage()->LineTo(10, 10);
    d.CurrentPage()->Stroke();
    int64_t before = d.OutputPosition();
    d.AddPage();
    EXPECT_GT(d.OutputPosition(), before);  // page 1 is in the file already
    EXPECT_TRUE(d.Pages().Items(0)->ContentText().empty());
  });
  // The page tree follows the pages.
  EXPECT_LT(pdf.find("/Type /Page\r\n"), pdf.find("/Type /Pages\r\n"));
  fs::path file = FreshDir() / "one.pdf";
  testing_support::WriteFile(file, pdf);
  EXPECT_EQ(QpdfCheck(file), "");
}

TEST(Document, ReusableAfterFinish) {
  TPDFDocument doc;
  std::string a = BuildPdf(doc);
  std::string b = BuildPdf(doc, [](TPDFDocument& d) { EXPECT_EQ(d.PageCount(), 1); });
  EXPECT_EQ(a.size(), b.size());
}

}  // namespace
}  // namespace quillora
