// Protected files checked against independent readers (qpdf, poppler).
#include <gtest/gtest.h>

#include <filesystem>

#include "core/doc_fixture.h"
#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "quillora/page/page.h"
#include "support/pdf_tools.h"

namespace quillora {
namespace {

namespace fs = std::filesystem;
using testing_support::Quote;


fs::path WriteProtected(TPDFKeyLength kl, TPDFCtiptoOptions options, const std::string& owner,
                        const std::string& user, TCompressionType compression = ctFlate) {
  TPDFDocument doc;
  doc.SetProtectionEnabled(true);
  doc.SetProtectionKeyLength(kl);
  doc.SetProtectionOptions(options);
  doc.SetOwnerPassword(owner);
  doc.SetUserPassword(user);
  doc.SetCompression(compression);
  doc.DocumentInfo().SetTitle("Secret (title)");
  std::string pdf = testing::BuildPdf(doc, [](TPDFDocument& d) {
    TPDFPage& p = *d.CurrentPage();
    p.SetRGBFill(1, 0, 0);
    p.Rectangle(72, 72, 144, 144);
    p.Fill();
    p.AddUrlLink({72, 72, 144, 144}, "https://example.org/a(b)");
  });
  fs::path file = testing_support::FreshDir() / "p.pdf";
  testing_support::WriteFile(file, pdf);
  return file;
}

std::string ShowEncryption(const fs::path& file, const std::string& password) {
  return testing_support::Run("qpdf --show-encryption --password=" + Quote(password) + " " + Quote(file.string()))
      .out;
}

struct PermissionCase {
  TPDFKeyLength kl;
  TPDFCtiptoOptions options;
  const char* p_line;
  const char* allowed_line;  // a line qpdf prints for the permission
};

TEST(Protection, QpdfReportsThePermissionsThatWereSet) {
  const PermissionCase cases[] = {
      {kl40, {}, "P = -64", "print low resolution: not allowed"},
      {kl40, {coPrint}, "P = -60", "print low resolution: allowed"},
      {kl40, {coModifyStructure}, "P = -56", "modify other: allowed"},
      {kl40, {coCopyInformation}, "P = -48", "extract for any purpose: allowed"},
      {kl40, {coModifyAnnotation}, "P = -32", "modify annotations: allowed"},
      {kl128, {}, "P = -3904", "print low resolution: not allowed"},
      {kl128, {coPrint}, "P = -3900", "print high resolution: not allowed"},
      {kl128, {coPrint, coPrintHi}, "P = -1852", "print high resolution: allowed"},
      {kl128, {coModifyStructure}, "P = -3896", "modify other: allowed"},
      {kl128, {coCopyInformation}, "P = -3888", "extract for any purpose: allowed"},
      {kl128, {coModifyAnnotation}, "P = -3872", "modify annotations: allowed"},
      {kl128, {coFillAnnotation}, "P = -3648", "modify forms: allowed"},
      {kl128, {coExtractInfo}, "P = -3392", "extract for accessibility: allowed"},
      {kl128, {coAssemble}, "P = -2880", "modify document assembly: allowed"},
  };
  for (const PermissionCase& c : cases) {
    fs::path file = WriteProtected(c.kl, c.options, "owner", "user");
    std::string report = ShowEncryption(file, "user");
    EXPECT_NE(report.find(std::string(c.p_line) + "\n"), std::string::npos) << c.p_line << report;
    EXPECT_NE(report.find(c.allowed_line), std::string::npos) << c.p_line << "\n" << report;
    EXPECT_NE(report.find(c.kl == kl128 ? "R = 3" : "R = 2"), std::string::npos);
  }
}

TEST(Protection, FilesOpenWithEitherPasswordAndRefuseAWrongOne) {
  for (TPDFKeyLength kl : {kl40, kl128}) {
    for (TCompressionType compression : {ctNone, ctFlate}) {
      fs::path file = WriteProtected(kl, {coPrint}, "owner", "user", compression);
      for (const char* password : {"owner", "user"})
        EXPECT_EQ(testing_support::QpdfCheck(file, password), "") << password;
      auto info = testing_support::Run("pdfinfo -opw owner " + Quote(file.string()));
      EXPECT_EQ(info.exit_code, 0) << info.err;
      EXPECT_NE(info.out.find("Title:           Secret (title)"), std::string::npos) << info.out;
      EXPECT_EQ(testing_support::Run("pdfinfo -upw user " + Quote(file.string())).exit_code, 0);
      EXPECT_NE(testing_support::Run("pdfinfo -upw wrong " + Quote(file.string())).exit_code, 0);
      EXPECT_NE(testing_support::Run("qpdf --check --password=wrong " + Quote(file.string())).exit_code, 0);
      // The page draws the same as an unprotected one.
      auto image = testing_support::RenderPoppler(file, 1, 72, "user");
      ASSERT_GT(image.width, 0);
      auto px = image.At(100, 100);
      EXPECT_GT(px.r, 200);
      EXPECT_LT(px.g, 60);
    }
  }
}

TEST(Protection, EmptyUserPasswordOpensWithoutOne) {
  fs::path file = WriteProtected(kl128, {coPrint}, "owner", "");
  EXPECT_EQ(testing_support::QpdfCheck(file), "");
  EXPECT_EQ(testing_support::Run("pdftotext " + Quote(file.string()) + " -").exit_code, 0);
}

TEST(Protection, StringsAreEncryptedAndKeysStayReadable) {
  fs::path file = WriteProtected(kl40, {}, "o", "u", ctNone);
  std::string pdf = testing_support::ReadFile(file);
  EXPECT_EQ(pdf.find("Secret"), std::string::npos);
  EXPECT_EQ(pdf.find("example.org"), std::string::npos);
  EXPECT_EQ(pdf.find("Quillora program"), std::string::npos);
  EXPECT_NE(pdf.find("/S /URI /URI ("), std::string::npos);
  EXPECT_NE(pdf.find("/Filter /Standard\r\n/V 1\r\n/R 2\r\n/P -64\r\n/O ("), std::string::npos);
  EXPECT_NE(pdf.find("/Encrypt "), std::string::npos);
  // The uncompressed content stream keeps its length under encryption.
  fs::path plain = file.parent_path() / "plain.pdf";
  auto r = testing_support::Run("qpdf --password=u --decrypt --stream-data=uncompress " + Quote(file.string()) + " " +
                                Quote(plain.string()));
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(testing_support::ReadFile(plain).find("1 0 0 rg\r\n72 698 72 72 re"),
            std::string::npos);
}

// Reads the literal string that starts at `at` (just after "("), undoing
// the escapes the writer uses.
std::string UnescapeAt(const std::string& pdf, size_t at) {
  std::string r;
  for (size_t i = at; i < pdf.size() && pdf[i] != ')'; ++i) {
    if (pdf[i] != '\\') {
      r += pdf[i];
      continue;
    }
    char c = pdf[++i];
    r += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
  }
  return r;
}

TEST(Protection, Revision3FilesDifferOnlyInTheRandomTailOfU) {
  auto build = [] {
    testing::FixedClock clock;
    TPDFDocument doc;
    doc.SetProtectionEnabled(true);
    doc.SetProtectionKeyLength(kl128);
    doc.SetUserPassword("u");
    return testing::BuildPdf(doc);
  };
  std::string a = build(), b = build();
  size_t u = a.find("/U (");
  ASSERT_NE(u, std::string::npos);
  ASSERT_EQ(b.find("/U ("), u);
  // Everything before /U is the same.
  EXPECT_TRUE(a.compare(0, u, b, 0, u) == 0);
  std::string ua = UnescapeAt(a, u + 4), ub = UnescapeAt(b, u + 4);
  ASSERT_EQ(ua.size(), 32u);
  ASSERT_EQ(ub.size(), 32u);
  EXPECT_EQ(ua.substr(0, 16), ub.substr(0, 16));
  for (int i = 16; i < 32; ++i) {
    EXPECT_GE(static_cast<uint8_t>(ua[i]), 32);
    EXPECT_LE(static_cast<uint8_t>(ua[i]), 231);
  }
  // The trailer is the same; only the table's offset may move when the
  // tail needs escapes.
  EXPECT_EQ(a.substr(a.find("trailer"), 150).substr(0, a.substr(a.find("trailer")).find("startxref")),
            b.substr(b.find("trailer"), 150).substr(0, b.substr(b.find("trailer")).find("startxref")));
}

}  // namespace
}  // namespace quillora
