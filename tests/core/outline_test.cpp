#include "quillora/core/outlines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/doc_fixture.h"
#include "core/forms_support.h"
#include "quillora/core/actions.h"
#include "quillora/core/goto_action.h"
#include "quillora/page/page.h"
#include "support/pdf_tools.h"

namespace quillora {
namespace {

namespace fs = std::filesystem;
using testing::BuildPdf;
using testing::FixedClock;
using testing::MessageOf;
using testing::ObjectText;
using testing_support::QpdfCheck;
using testing_support::Quote;

// Two pages; "One" (closed, three children, goes to page 2) and "Two"
// (open, one child opening a web address).
void BuildTree(TPDFDocument& d) {
  d.AddPage();
  TOutlineEntry* one = d.Outlines().Add(nullptr, "One", new TPDFGoToAction(1, 100));
  d.Outlines().Add(one, "One.a");
  d.Outlines().Add(one, "One.b");
  d.Outlines().Add(one, "One.c");
  TOutlineEntry* two = d.Outlines().Add(nullptr, "Two");
  two->SetOpened(true);
  auto* url = new TPDFURLAction();
  url->SetURL("https://example.org/");
  d.Outlines().Add(two, "Two.a", url);
}

TEST(Outlines, ItemsAndRootAreWrittenWithCountsSiblingsAndActions) {
  FixedClock clock;
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, BuildTree);
  // Actions 4 and 5, root 11, items 12 to 17 in creation order.
  EXPECT_EQ(ObjectText(pdf, 4), "4 0 obj\r\n<</S /GoTo /D [3 0 R /FitH 742]\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 12),
            "12 0 obj\r\n<</Title (One)\r\n/Count -3\r\n/First 13 0 R\r\n/Last 15 0 R\r\n"
            "/Parent 11 0 R\r\n/Next 16 0 R\r\n/A 4 0 R\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 14),
            "14 0 obj\r\n<</Title (One.b)\r\n/Parent 12 0 R\r\n/Next 15 0 R\r\n/Prev 13 0 R\r\n"
            ">>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 16),
            "16 0 obj\r\n<</Title (Two)\r\n/Count 1\r\n/First 17 0 R\r\n/Last 17 0 R\r\n"
            "/Parent 11 0 R\r\n/Prev 12 0 R\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 17),
            "17 0 obj\r\n<</Title (Two.a)\r\n/Parent 16 0 R\r\n/A 5 0 R\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 11),
            "11 0 obj\r\n<</Type /Outlines\r\n/Count 6\r\n/First 12 0 R\r\n/Last 16 0 R\r\n"
            ">>\r\nendobj\r\n");
  // Items, then the root, then the catalog naming it.
  EXPECT_LT(pdf.find("17 0 obj"), pdf.find("11 0 obj"));
  EXPECT_NE(pdf.find("/PageMode /UseNone\r\n/Outlines 11 0 R\r\n>>"), std::string::npos);
}

TEST(Outlines, OneItemAndNoItems) {
  TPDFDocument doc;
  std::string none = BuildPdf(doc);
  EXPECT_EQ(none.find("/Outlines"), std::string::npos);

  std::string pdf = BuildPdf(doc, [](TPDFDocument& d) { d.Outlines().Add(nullptr, "(Only)"); });
  // Root 6, item 7 (after the page's resources and content): the title's
  // parentheses escaped.
  EXPECT_EQ(ObjectText(pdf, 7),
            "7 0 obj\r\n<</Title (\\(Only\\))\r\n/Parent 6 0 R\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 6),
            "6 0 obj\r\n<</Type /Outlines\r\n/Count 1\r\n/First 7 0 R\r\n/Last 7 0 R\r\n>>\r\n"
            "endobj\r\n");
}

TEST(Outlines, ColourAndStyleFromVersion14On) {
  struct Case {
    TPDFVersion version;
    bool written;
  };
  // PDF 1.3 has no item colour or style; 1.5 and 1.6 keep the 1.4 entries.
  for (Case c : {Case{v13, false}, Case{v14, true}, Case{v15, true}, Case{v16, true}}) {
    TPDFDocument doc;
    doc.SetVersion(c.version);
    std::string pdf = BuildPdf(doc, [](TPDFDocument& d) {
      TOutlineEntry* red = d.Outlines().Add(nullptr, "Red");
      red->SetColor(RGB(255, 0, 0));
      red->SetStyle(fsBold | fsItalic);
      TOutlineEntry* plain = d.Outlines().Add(nullptr, "Plain");
      plain->SetStyle(fsUnderline);  // neither bold nor italic: no "/F"
      d.Outlines().Add(nullptr, "Bold")->SetStyle(fsBold);
    });
    const char* expected = "/Title (Red)\r\n/C [1 0 0 ]\r\n/F 3\r\n/Parent";
    EXPECT_EQ(pdf.find(expected) != std::string::npos, c.written) << c.version;
    EXPECT_EQ(pdf.find("/Title (Bold)\r\n/F 2\r\n") != std::string::npos, c.written);
    EXPECT_NE(pdf.find("/Title (Plain)\r\n/Parent"), std::string::npos);
  }
}

TEST(Outlines, TitlesOfOtherCharsetsAreWrittenAsUnicode) {
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, [](TPDFDocument& d) {
    // "Привет" in Windows-1251, "Ωμέγα" in Windows-1253.
    d.Outlines().Add(nullptr, "\xCF\xF0\xE8\xE2\xE5\xF2")->SetCharset(204);
    d.Outlines().Add(nullptr, "\xD9\xEC\xDD\xE3\xE1")->SetCharset(161);
    d.Outlines().Add(nullptr, "")->SetCharset(204);
  });
  EXPECT_NE(pdf.find("/Title <FEFF041F04400438043204350442>\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("/Title <FEFF03A903BC03AD03B303B1>\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("/Title <>\r\n"), std::string::npos);
}

TEST(Outlines, RefusedItems) {
  TPDFDocument doc;
  EXPECT_EQ(MessageOf([&] { doc.Outlines().Add(nullptr, "x"); }),
            "Generation PDF file not activated");
  EXPECT_EQ(MessageOf([] { TPDFGoToAction(-1, 0); }), "Go-to action: page index -1 names no page");

  TPDFDocument other;
  std::ostringstream sink;
  other.SetOutputStream(&sink);
  BuildPdf(doc, [&](TPDFDocument& d) {
    other.StartDocument();
    TOutlineEntry* foreign = other.Outlines().Add(nullptr, "Foreign");
    EXPECT_EQ(MessageOf([&] { d.Outlines().Add(foreign, "x"); }),
              "Outline item parent belongs to another outline");
    other.AbortDocument();
    EXPECT_EQ(d.Outlines().Count(), 0);
  });
}

TEST(Outlines, GoToAPageThatNeverCameAbortsTheFile) {
  fs::path file = testing_support::FreshDir() / "outline.pdf";
  TPDFDocument doc;
  doc.SetFileName(file.string());
  doc.StartDocument();
  // Page 3 (index 2) may still be added; it is not, so finishing fails.
  doc.Outlines().Add(nullptr, "Later", new TPDFGoToAction(2, 0));
  EXPECT_EQ(MessageOf([&] { doc.FinishDocument(); }),
            "Go-to action: page index 2 names no page (the document has 1 pages)");
  EXPECT_TRUE(doc.Aborted());
  EXPECT_FALSE(fs::exists(file));
}

// mutool and qpdf read the tree back: titles (Unicode ones too) and targets,
// with and without protection.
TEST(Outlines, ReadersShowTitlesAndTargets) {
  if (!testing_support::HaveTool("mutool") || !testing_support::HaveTool("qpdf"))
    GTEST_SKIP() << "mutool or qpdf missing";
  for (bool protect : {false, true}) {
    fs::path file = testing_support::FreshDir() / "outline.pdf";
    TPDFDocument doc;
    doc.SetProtectionEnabled(protect);
    doc.SetUserPassword(protect ? "user" : "");
    doc.SetOwnerPassword(protect ? "owner" : "");
    testing::WritePdfFile(doc, file, [](TPDFDocument& d) {
      BuildTree(d);
      d.Outlines().Add(nullptr, "\xCF\xF0\xE8\xE2\xE5\xF2")->SetCharset(204);
    });
    std::string password = protect ? "user" : "";
    EXPECT_EQ(QpdfCheck(file, password), "");
    // Protected, the titles (the Unicode one too) are encrypted.
    std::string raw = testing_support::ReadFile(file);
    for (const char* clear : {"(One.a)", "(Two)", "<FEFF041F0440"})
      EXPECT_EQ(raw.find(clear) != std::string::npos, !protect) << clear;
    std::string pw = protect ? " -p user" : "";
    auto shown = testing_support::Run("mutool show" + pw + " " + Quote(file.string()) + " outline");
    EXPECT_EQ(shown.exit_code, 0) << shown.err;
    for (const char* title : {"One", "One.a", "One.c", "Two.a", "Привет"})
      EXPECT_NE(shown.out.find(title), std::string::npos) << title << "\n" << shown.out;
    EXPECT_NE(shown.out.find("https://example.org/"), std::string::npos) << shown.out;
    auto json = testing_support::Run("qpdf --json --json-key=outlines" +
                                     std::string(protect ? " --password=user " : " ") +
                                     Quote(file.string()));
    EXPECT_EQ(json.exit_code, 0) << json.err;
    EXPECT_NE(json.out.find("\"title\": \"Привет\""), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"destpageposfrom1\": 2"), std::string::npos) << json.out;
  }
}

}  // namespace
}  // namespace quillora
