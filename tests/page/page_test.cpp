#include "quillora/page/page.h"

#include <gtest/gtest.h>

#include "core/doc_fixture.h"
#include "quillora/core/actions.h"
#include "quillora/core/annotations.h"
#include "quillora/core/document.h"
#include "quillora/core/exception.h"
#include "support/pdf_tools.h"

namespace quillora {
namespace {

using testing::BuildPdf;

std::string Message(const std::function<void()>& f) {
  try {
    f();
  } catch (const TPDFException& e) {
    return e.what();
  }
  return "(no exception)";
}

// A started document in memory whose current page the test draws on.
struct PageFixture : ::testing::Test {
  void SetUp() override {
    doc.SetOutputStream(&out);
    doc.StartDocument();
  }
  void TearDown() override {
    if (doc.Generating()) doc.AbortDocument();
  }
  TPDFPage& page() { return *doc.CurrentPage(); }
  std::string Finish() {
    doc.FinishDocument();
    return out.str();
  }
  // The content lines written since the page's initial "q".
  std::string Content() {
    std::string c = page().ContentText();
    return c.substr(3);
  }
  std::ostringstream out;
  TPDFDocument doc;
};

using PageSetup = PageFixture;

TEST_F(PageSetup, NewPageIsA4PortraitStartingWithSaveState) {
  EXPECT_EQ(page().Width(), 595);
  EXPECT_EQ(page().Height(), 842);
  EXPECT_EQ(page().Rotate(), pt0);
  EXPECT_EQ(page().ContentText(), "q\r\n");
  EXPECT_EQ(page().StateDepth(), 1);
  EXPECT_FALSE(page().PageInProgress());
}

TEST_F(PageSetup, SizesAndOrientation) {
  page().SetPageSize(pkLetter);
  page().SetOrientation(orLandscape);
  EXPECT_EQ(page().Width(), 792);
  EXPECT_EQ(page().Height(), 612);
  page().SetOrientation(orPortrait);
  EXPECT_EQ(page().Width(), 612);
  EXPECT_EQ(page().Height(), 792);
  page().SetPageSize(0);  // unknown: keeps the size, reapplies orientation
  EXPECT_EQ(page().Width(), 612);
  page().SetOrientation(orLandscape);
  page().SetPageSize(pkEnvB4);
  EXPECT_EQ(page().Width(), 1031);
  EXPECT_EQ(page().Height(), 728);
}

TEST_F(PageSetup, SizeIsFrozenByTheFirstCoordinate) {
  page().MoveTo(1, 1);
  EXPECT_EQ(Message([&] { page().SetPageSize(pkA3); }), "Page in progress");
  EXPECT_EQ(Message([&] { page().SetOrientation(orLandscape); }), "Page in progress");
}

TEST_F(PageSetup, CanvasIsCreatedOncePerPage) {
  EXPECT_EQ(Message([&] { page().CreateCanvas(); }), "Canvas for this page already created");
  page().FreeCanvas();
  EXPECT_NO_THROW(page().CreateCanvas());
}

TEST(PageCoordinates, ResolutionScalesDeviceUnits) {
  TPDFDocument doc;
  doc.SetResolution(144);
  BuildPdf(doc, [](TPDFDocument& d) {
    TPDFPage& p = *d.CurrentPage();
    EXPECT_DOUBLE_EQ(static_cast<double>(p.ToPageX(144)), 72);
    EXPECT_DOUBLE_EQ(static_cast<double>(p.ToPageY(0)), 842);
    EXPECT_DOUBLE_EQ(static_cast<double>(p.ToDeviceX(72)), 144);
    EXPECT_DOUBLE_EQ(static_cast<double>(p.ToDeviceY(842)), 0);
    EXPECT_EQ(p.DeviceWidth(), 1190);
    EXPECT_EQ(p.DeviceHeight(), 1684);
  });
}

TEST_F(PageSetup, EmptyPageDictionaryIsByteExact) {
  std::string pdf = Finish();
  EXPECT_NE(pdf.find("4 0 obj\r\n<< /ProcSet [/PDF ]\r\n>>\r\nendobj\r\n"
                     "5 0 obj\r\n<</Length 6\r\n>>\r\nstream\r\nq\r\nQ\r\n\r\nendstream\r\nendobj\r\n"
                     "2 0 obj\r\n<</Type /Page\r\n/Parent 1 0 R\r\n/Resources 4 0 R\r\n"
                     "/Contents [5 0 R]\r\n/MediaBox [0 0 595 842]\r\n>>\r\nendobj\r\n"),
            std::string::npos)
      << pdf;
}

TEST_F(PageSetup, RotationAndOpenStatesAreClosedWhenSaved) {
  page().SetRotate(pt270);
  for (int i = 0; i < 5; ++i) page().SaveState();
  std::string pdf = Finish();
  EXPECT_NE(pdf.find("/Rotate 270\r\n"), std::string::npos);
  // Five open levels: four "Q" for them and one for the initial "q".
  EXPECT_NE(pdf.find("q\r\nq\r\nq\r\nq\r\nq\r\nq\r\nQ\r\nQ\r\nQ\r\nQ\r\nQ\r\nQ\r\n\r\nendstream"),
            std::string::npos);
}

TEST_F(PageSetup, ContentIsDeflatedWhenAsked) {
  doc.SetCompression(ctFlate);
  page().MoveTo(0, 0);
  std::string pdf = Finish();
  EXPECT_NE(pdf.find("/Filter /FlateDecode\r\n>>\r\nstream\r\nx"), std::string::npos);
}

TEST_F(PageSetup, SetContentTextSplitsEveryKindOfLineEnd) {
  page().SetContentText("a\r\nb\rc\nd");
  EXPECT_EQ(page().ContentText(), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(page().ContentLineCount(), 4);
  page().SetContentText("x\r\n\r" "q\r\n");
  EXPECT_EQ(page().ContentText(), "x\r\n\r\nq\r\n");
  EXPECT_EQ(page().ContentLineCount(), 3);
}

using Links = PageFixture;

TEST_F(Links, UrlLinkAnnotationIsByteExact) {
  page().AddUrlLink({100, 200, 10, 20}, "https://example.org/(x)");
  std::string pdf = Finish();
  // Corners given in reverse order still make an ordered rectangle.
  EXPECT_NE(pdf.find("<</Type /Annot\r\n/Subtype /Link\r\n/Border []\r\n/F 0\r\n/C [1 1 0 ]\r\n"
                     "/Rect [10 642 100 822]\r\n/A "),
            std::string::npos)
      << pdf;
  EXPECT_NE(pdf.find("<</S /URI /URI (https://example.org/\\(x\\))\r\n>>"), std::string::npos);
  EXPECT_NE(pdf.find("/Annots [\r\n"), std::string::npos);
}

TEST_F(Links, EmptyAddressIsRefusedButTheLinkStays) {
  EXPECT_EQ(Message([&] { page().AddUrlLink({0, 0, 10, 10}, ""); }), "URL cannot be empty");
  EXPECT_EQ(page().AnnotationCount(), 1);
  EXPECT_EQ(doc.Actions().Count(), 1);
}

TEST_F(Links, AnnotationNeedsAPage) {
  EXPECT_EQ(Message([] { TPDFActionAnnotation a(nullptr); }),
            "Annotation must have TPDFPage as owner");
}

TEST_F(Links, SharedActionIsRegisteredOnce) {
  auto* first = page().AddUrlLink({0, 0, 10, 10}, "https://a.example/");
  auto* second = new TPDFActionAnnotation(&page());
  second->SetAction(first->Action());
  EXPECT_EQ(doc.Actions().Count(), 1);
  auto* flagged = new TPDFActionAnnotation(&page());
  flagged->SetFlags({afPrint, afReadOnly});
  flagged->SetColor(RGB(255, 128, 0));
  flagged->SetAction(first->Action());
  std::string pdf = Finish();
  EXPECT_NE(pdf.find("/Border [0 0 1]\r\n/F 68\r\n/C [1 0.5 0 ]\r\n"), std::string::npos);
  std::filesystem::path file = testing_support::FreshDir() / "links.pdf";
  testing_support::WriteFile(file, pdf);
  EXPECT_EQ(testing_support::QpdfCheck(file), "");
}

}  // namespace
}  // namespace quillora
