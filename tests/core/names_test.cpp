#include "quillora/core/name_trees.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/doc_fixture.h"
#include "core/forms_support.h"
#include "quillora/core/javascript.h"
#include "quillora/page/page.h"
#include "support/pdf_tools.h"

namespace quillora {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing::BuildPdf;
using testing::MessageOf;
using testing::ObjectHolding;
using testing::ObjectText;
using testing_support::QpdfCheck;
using testing_support::Quote;
using testing_support::ReadFile;
using testing_support::WriteFile;

TEST(NameTrees, NothingAddedWritesNoNameDictionary) {
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc);
  EXPECT_EQ(pdf.find("/Names"), std::string::npos);
  EXPECT_EQ(pdf.find("/AcroForm"), std::string::npos);
}

TEST(NamedDestinations, SortedInByteOrderWithLimits) {
  TPDFDocument doc;
  doc.SetResolution(144);  // positions in half points
  std::string pdf = BuildPdf(doc, [](TPDFDocument& d) {
    d.AddPage();
    d.NamedDestinations().Add("b", 1, 200);
    d.NamedDestinations().Add("a", 0, 0);
    d.NamedDestinations().Add("C", 0, 1);  // 841.5 rounds to the even 842
  });
  // Pages 2 and 3 with their resources and contents up to 7, info 8: the
  // tree is 9, its destinations 10 to 12 in sorted order.
  EXPECT_EQ(ObjectText(pdf, 9),
            "9 0 obj\r\n<</Limits [ (C) \r\n (b) \r\n]\r\n"
            "/Names [ (C) 10 0 R (a) 11 0 R (b) 12 0 R]\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 10), "10 0 obj\r\n<</D [2 0 R /FitH 842]\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 11), "11 0 obj\r\n<</D [2 0 R /FitH 842]\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 12), "12 0 obj\r\n<</D [3 0 R /FitH 742]\r\n>>\r\nendobj\r\n");
  // The catalog (13) names the name dictionary (14), written after it.
  EXPECT_NE(ObjectText(pdf, 13).find("/Names 14 0 R\r\n>>"), std::string::npos);
  EXPECT_EQ(ObjectText(pdf, 14), "14 0 obj\r\n<</Dests 9 0 R\r\n>>\r\nendobj\r\n");
  EXPECT_LT(pdf.find("13 0 obj"), pdf.find("14 0 obj"));
  fs::path file = testing_support::FreshDir() / "dests.pdf";
  WriteFile(file, pdf);
  EXPECT_EQ(QpdfCheck(file), "");
}

TEST(NamedDestinations, OneNameIsBothLimits) {
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, [](TPDFDocument& d) { d.NamedDestinations().Add("only", 0, 0); });
  EXPECT_NE(pdf.find("<</Limits [ (only) \r\n (only) \r\n]\r\n/Names [ (only) "),
            std::string::npos);
}

TEST(NamedDestinations, RefusedNames) {
  TPDFDocument doc;
  EXPECT_EQ(MessageOf([&] { doc.NamedDestinations().Add("a", 0, 0); }),
            "Generation PDF file not activated");
  BuildPdf(doc, [](TPDFDocument& d) {
    d.NamedDestinations().Add("a", 0, 0);
    EXPECT_EQ(MessageOf([&] { d.NamedDestinations().Add("a", 0, 5); }),
              "Named destination \"a\" already exists");
    EXPECT_EQ(MessageOf([&] { d.NamedDestinations().Add("", 0, 0); }),
              "Named destination name cannot be empty");
    EXPECT_EQ(MessageOf([&] { d.NamedDestinations().Add("b", -1, 0); }),
              "Named destination \"b\": page index -1 names no page");
    EXPECT_EQ(d.NamedDestinations().Count(), 1);
  });
}

TEST(NamedDestinations, PageThatNeverCameAbortsTheFile) {
  fs::path file = testing_support::FreshDir() / "dests.pdf";
  TPDFDocument doc;
  doc.SetFileName(file.string());
  doc.StartDocument();
  doc.NamedDestinations().Add("end", 1, 0);  // a second page may still come
  EXPECT_EQ(MessageOf([&] { doc.FinishDocument(); }),
            "Named destination \"end\": page index 1 names no page (the document has 1 pages)");
  EXPECT_TRUE(doc.Aborted());
  EXPECT_FALSE(fs::exists(file));
}

TEST(DocumentJavaScript, FunctionsAreListedInByteOrder) {
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, [](TPDFDocument& d) {
    d.JavaScripts().Add("f", "x", "return x;");
    d.JavaScripts().Add("Add", "a, b", "return a + b;");
  });
  // Catalog 6, name dictionary 7, JavaScript tree 8, functions 9 and 10 in
  // the order they were added.
  EXPECT_EQ(ObjectText(pdf, 7), "7 0 obj\r\n<</JavaScript 8 0 R\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 8),
            "8 0 obj\r\n<</Names [ (Add) 10 0 R (f) 9 0 R]\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 9),
            "9 0 obj\r\n<</S /JavaScript /JS (function f(x){return x;})\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 10),
            "10 0 obj\r\n<</S /JavaScript /JS (function Add(a, b){return a + b;})\r\n>>\r\n"
            "endobj\r\n");
}

TEST(DocumentJavaScript, CodeKeepsPairedParenthesesAndEscapesTheRest) {
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, [](TPDFDocument& d) {
    d.JavaScripts().Add("g", "", "s = \")\" + \"\\\\\";\r\nreturn (s);");
  });
  EXPECT_NE(
      pdf.find(
          "/S /JavaScript /JS (function g(){s = \"\\)\" + \"\\\\\\\\\";\\r\\nreturn (s);})\r\n"),
      std::string::npos);
}

TEST(DocumentJavaScript, RefusedFunctions) {
  TPDFDocument doc;
  EXPECT_EQ(MessageOf([&] { doc.JavaScripts().Add("f", "", ""); }),
            "Generation PDF file not activated");
  BuildPdf(doc, [](TPDFDocument& d) {
    d.JavaScripts().Add("f", "", "");
    EXPECT_EQ(MessageOf([&] { d.JavaScripts().Add("f", "x", "return x;"); }),
              "JavaScript function \"f\" already exists");
    EXPECT_EQ(MessageOf([&] { d.JavaScripts().Add("", "", ""); }),
              "JavaScript function name cannot be empty");
  });
}

TEST(EmbeddedFiles, EmptyFileIsTheDeflateFramingAlone) {
  fs::path dir = testing_support::FreshDir();
  WriteFile(dir / "empty.txt", "");
  TPDFDocument doc;
  std::string pdf = BuildPdf(
      doc, [&](TPDFDocument& d) { d.EmbeddedFiles().Add("Empty", (dir / "empty.txt").string()); });
  // Tree 6, filespec dictionary 7, stream 8, catalog 9, name dictionary 10.
  EXPECT_EQ(ObjectText(pdf, 6), "6 0 obj\r\n<</Names [ (Empty) 7 0 R]\r\n>>\r\nendobj\r\n");
  // zlib header for the maximum level, an empty final block, Adler-32 of nothing.
  EXPECT_EQ(ObjectText(pdf, 8),
            "8 0 obj\r\n<</Filter /FlateDecode /Length 8\r\n/Params <</Size 0>>\r\n>>\r\n"
            "stream\r\n\x78\xDA\x03\x00\x00\x00\x00\x01\r\nendstream\r\nendobj\r\n"s);
  EXPECT_EQ(ObjectText(pdf, 7),
            "7 0 obj\r\n<</Type /Filespec /F (empty.txt)\r\n/EF <</F 8 0 R >>\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 10), "10 0 obj\r\n<</EmbeddedFiles 6 0 R\r\n>>\r\nendobj\r\n");
}

TEST(EmbeddedFiles, RefusedFiles) {
  fs::path dir = testing_support::FreshDir();
  WriteFile(dir / "a.txt", "a");
  TPDFDocument doc;
  EXPECT_EQ(MessageOf([&] { doc.EmbeddedFiles().Add("a", (dir / "a.txt").string()); }),
            "Generation PDF file not activated");
  BuildPdf(doc, [&](TPDFDocument& d) {
    std::string missing = (dir / "missing.txt").string();
    EXPECT_EQ(MessageOf([&] { d.EmbeddedFiles().Add("m", missing); }),
              "Cannot read the file to embed \"" + missing + "\": No such file or directory");
    EXPECT_EQ(MessageOf([&] { d.EmbeddedFiles().Add("d", dir.string()); }),
              "Cannot read the file to embed \"" + dir.string() + "\": Is a directory");
    d.EmbeddedFiles().Add("a", (dir / "a.txt").string());
    EXPECT_EQ(MessageOf([&] { d.EmbeddedFiles().Add("a", (dir / "a.txt").string()); }),
              "Embedded file \"a\" already exists");
    EXPECT_EQ(MessageOf([&] { d.EmbeddedFiles().Add("", (dir / "a.txt").string()); }),
              "Embedded file title cannot be empty");
    EXPECT_EQ(d.EmbeddedFiles().Count(), 1);
  });
}

TEST(EmbeddedFiles, FileGoneBeforeFinishingAbortsTheFile) {
  fs::path dir = testing_support::FreshDir();
  WriteFile(dir / "gone.txt", "soon gone");
  TPDFDocument doc;
  doc.SetFileName((dir / "out.pdf").string());
  doc.StartDocument();
  doc.EmbeddedFiles().Add("Gone", (dir / "gone.txt").string());
  fs::remove(dir / "gone.txt");
  EXPECT_EQ(MessageOf([&] { doc.FinishDocument(); }), "Cannot read the file to embed \"" +
                                                          (dir / "gone.txt").string() +
                                                          "\": No such file or directory");
  EXPECT_TRUE(doc.Aborted());
  EXPECT_FALSE(fs::exists(dir / "out.pdf"));
}

// Destinations, scripts and attachments together, read back by poppler and
// qpdf, with and without protection.
TEST(NameTrees, ReadersGetEverythingBack) {
  for (const char* tool : {"qpdf", "pdfdetach", "pdfinfo"})
    if (!testing_support::HaveTool(tool)) GTEST_SKIP() << tool << " missing";
  fs::path dir = testing_support::FreshDir();
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7 + i / 256) & 0xFF);
  WriteFile(dir / "data.bin", binary);
  WriteFile(dir / "notes (draft).txt", "line one\r\nline two\n");
  WriteFile(dir / "empty.dat", "");

  for (TPDFKeyLength key : {kl40, kl128}) {
    for (bool protect : {false, true}) {
      fs::path out =
          dir / (std::string(protect ? "locked" : "open") + (key == kl128 ? "128" : "40"));
      fs::create_directories(out);
      fs::path file = out / "names.pdf";
      TPDFDocument doc;
      doc.SetProtectionKeyLength(key);
      doc.SetProtectionEnabled(protect);
      doc.SetUserPassword(protect ? "user" : "");
      doc.SetOwnerPassword(protect ? "owner" : "");
      testing::WritePdfFile(doc, file, [&](TPDFDocument& d) {
        d.AddPage();
        d.NamedDestinations().Add("second", 1, 0);
        d.NamedDestinations().Add("first", 0, 0);
        d.JavaScripts().Add("greet", "who", "app.alert(\"Hello, \" + who + \"!\");");
        d.EmbeddedFiles().Add("Data", (dir / "data.bin").string());
        d.EmbeddedFiles().Add("Notes (draft)", (dir / "notes (draft).txt").string());
        d.EmbeddedFiles().Add("Empty", (dir / "empty.dat").string());
      });
      std::string pw = protect ? "user" : "";
      EXPECT_EQ(QpdfCheck(file, pw), "");
      std::string pdf = ReadFile(file);
      // Protected, no name, file name or script appears in the clear.
      for (const char* clear : {"(second)", "(greet)", "app.alert", "(Data)", "(data.bin)"})
        EXPECT_EQ(pdf.find(clear) != std::string::npos, !protect) << clear;

      std::string upw = protect ? " -upw user " : " ";
      auto list = testing_support::Run("pdfdetach -list" + upw + Quote(file.string()));
      EXPECT_EQ(list.exit_code, 0) << list.err;
      EXPECT_EQ(list.err, "");
      EXPECT_NE(list.out.find("3 embedded files"), std::string::npos) << list.out;
      for (const char* name : {"data.bin", "notes (draft).txt", "empty.dat"})
        EXPECT_NE(list.out.find(name), std::string::npos) << name << list.out;
      auto save = testing_support::Run("cd " + Quote(out.string()) + " && pdfdetach -saveall" +
                                       upw + "names.pdf");
      EXPECT_EQ(save.exit_code, 0) << save.err;
      EXPECT_TRUE(ReadFile(out / "data.bin") == binary);
      EXPECT_EQ(ReadFile(out / "notes (draft).txt"), "line one\r\nline two\n");
      EXPECT_TRUE(fs::exists(out / "empty.dat"));
      EXPECT_EQ(fs::file_size(out / "empty.dat"), 0u);

      auto js = testing_support::Run("pdfinfo -js" + upw + Quote(file.string()));
      EXPECT_NE(js.out.find("function greet(who){app.alert(\"Hello, \" + who + \"!\");}"),
                std::string::npos)
          << js.out << js.err;

      // The destination tree, decrypted by qpdf.
      int tree = ObjectHolding(pdf, "<</Limits [");
      auto shown =
          testing_support::Run("qpdf --show-object=" + std::to_string(tree) +
                               (protect ? " --password=user " : " ") + Quote(file.string()));
      EXPECT_NE(shown.out.find("(first)"), std::string::npos) << shown.out << shown.err;
      EXPECT_NE(shown.out.find("(second)"), std::string::npos) << shown.out;
    }
  }
}

}  // namespace
}  // namespace quillora
