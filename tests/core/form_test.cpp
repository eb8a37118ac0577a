#include "quillora/core/acroform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "core/doc_fixture.h"
#include "core/forms_support.h"
#include "quillora/core/check_box.h"
#include "quillora/core/combo_box.h"
#include "quillora/core/push_button.h"
#include "quillora/core/radio_group.h"
#include "quillora/core/text_field.h"
#include "quillora/page/page.h"
#include "support/pdf_tools.h"

namespace quillora {
namespace {

namespace fs = std::filesystem;
using testing::BuildPdf;
using testing::MessageOf;
using testing::ObjectHolding;
using testing::ObjectText;
using testing_support::QpdfCheck;
using testing_support::Quote;

// One of every kind on the first page (72 units per inch, so device units
// are points from the top).
void BuildForm(TPDFDocument& d) {
  TPDFPage* page = d.CurrentPage();
  TPDFAcroForm& form = d.AcroForm();
  TPDFTextField* name = form.AddTextField(page, {100, 100, 300, 124}, "Name");
  name->SetValue("Ada (Lovelace)");
  name->SetRequired(true);
  TPDFTextField* total = form.AddTextField(page, {100, 140, 300, 164}, "Total");
  total->SetCalculateScript("event.value = 6 * 7;");
  total->SetReadOnly(true);
  form.AddCheckBox(page, {100, 180, 120, 200}, "Agree")->SetChecked(true);
  TPDFComboBox* colour = form.AddComboBox(page, {100, 220, 300, 244}, "Colour", {"Red", "Green"});
  colour->SetValue("Green");
  form.AddPushButton(page, {100, 260, 220, 290}, "Go", "Press me", "app.alert(\"Hi\");");
  TRadioButtonGroup* size = d.RadioGroups().Add("Size");
  size->AddButton(page, {100, 300, 120, 320}, "Small");
  size->AddButton(page, {140, 300, 160, 320}, "Large")->SetChecked(true);
}

// Numbers in BuildForm's file: the form's font 3, the fields 4 to 8, the
// group 9 and its buttons 10 and 11 (all taken when added), the information
// dictionary 12, the page's resources and content 13 and 14, appearances 15
// to 24, default resources 25, the form 26, the catalog 27.
TEST(Form, FormDictionaryListsFieldsThenGroupsWithResourcesAndCalculationOrder) {
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, BuildForm);
  EXPECT_EQ(ObjectText(pdf, 26),
            "26 0 obj\r\n<</Fields [4 0 R 5 0 R 6 0 R 7 0 R 8 0 R 9 0 R ]/DR 25 0 R\r\n"
            "/CO [5 0 R ]>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(pdf, 25), "25 0 obj\r\n<</Font <</F0 3 0 R >>\r\n>>\r\nendobj\r\n");
  // The registry's Helvetica, written with the fonts after the catalog.
  EXPECT_EQ(ObjectText(pdf, 3),
            "3 0 obj\r\n<</Type /Font\r\n/Subtype /Type1\r\n/BaseFont /Helvetica\r\n"
            "/Encoding /WinAnsiEncoding\r\n/FirstChar 32\r\n/LastChar 255\r\n>>\r\nendobj\r\n");
  EXPECT_LT(pdf.find("\n27 0 obj\r\n"), pdf.find("\n3 0 obj\r\n"));
  EXPECT_NE(ObjectText(pdf, 27).find("/AcroForm 26 0 R\r\n>>"), std::string::npos);
  // The page with its widgets, then the group, the form, the catalog.
  size_t page = pdf.find("\n2 0 obj\r\n"), group = pdf.find("\n9 0 obj\r\n"),
         form = pdf.find("\n26 0 obj\r\n"), catalog = pdf.find("\n27 0 obj\r\n");
  EXPECT_LT(page, group);
  EXPECT_LT(group, form);
  EXPECT_LT(form, catalog);
  EXPECT_NE(ObjectText(pdf, 2).find("/Annots [\r\n4 0 R\r\n5 0 R\r\n6 0 R\r\n7 0 R\r\n8 0 R\r\n"
                                    "10 0 R\r\n11 0 R\r\n]"),
            std::string::npos);
}

TEST(Form, FieldObjects) {
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, BuildForm);
  const std::string widget = "<</Type /Annot\r\n/Subtype /Widget\r\n";
  EXPECT_EQ(ObjectText(pdf, 4),
            "4 0 obj\r\n" + widget +
                "/Rect [100 718 300 742]\r\n/P 2 0 R\r\n/F 4\r\n/T (Name)\r\n/FT /Tx\r\n/Ff 2\r\n"
                "/DA (/F0 10 Tf 0 g)\r\n/V (Ada \\(Lovelace\\))\r\n"
                "/MK <</BC [0 0 0] /BG [1 1 1]>>\r\n/AP <</N 15 0 R>>\r\n>>\r\nendobj\r\n");
  EXPECT_NE(ObjectText(pdf, 5).find(
                "/Ff 1\r\n/DA (/F0 10 Tf 0 g)\r\n/V ()\r\n/MK <</BC [0 0 0] /BG [1 1 1]>>\r\n"
                "/AA <</C <</S /JavaScript /JS (event.value = 6 * 7;)>>>>\r\n"),
            std::string::npos);
  EXPECT_NE(ObjectText(pdf, 6).find("/T (Agree)\r\n/FT /Btn\r\n/Ff 0\r\n/V /Yes\r\n/AS /Yes\r\n"),
            std::string::npos);
  EXPECT_NE(ObjectText(pdf, 6).find("/AP <</N <</Yes 17 0 R /Off 18 0 R>>>>\r\n"),
            std::string::npos);
  EXPECT_NE(ObjectText(pdf, 7).find("/FT /Ch\r\n/Ff 131072\r\n/Opt [(Red) (Green) ]\r\n"),
            std::string::npos);
  EXPECT_NE(ObjectText(pdf, 7).find("/V (Green)\r\n"), std::string::npos);
  EXPECT_NE(ObjectText(pdf, 8).find("/FT /Btn\r\n/Ff 65536\r\n"), std::string::npos);
  EXPECT_NE(ObjectText(pdf, 8).find("/CA (Press me)>>\r\n/A <</S /JavaScript /JS "
                                    "(app.alert\\(\"Hi\"\\);)>>\r\n"),
            std::string::npos);
  // Radio widgets: no name or type of their own, the group is their parent.
  EXPECT_EQ(ObjectText(pdf, 11),
            "11 0 obj\r\n" + widget +
                "/Rect [140 522 160 542]\r\n/P 2 0 R\r\n/F 4\r\n/Parent 9 0 R\r\n/AS /Large\r\n"
                "/MK <</BC [0 0 0] /BG [1 1 1]>>\r\n/AP <</N <</Large 23 0 R /Off 24 0 R>>>>\r\n"
                ">>\r\nendobj\r\n");
  EXPECT_NE(ObjectText(pdf, 10).find("/AS /Off\r\n"), std::string::npos);
  // An appearance: the box, then the value in F0etica.
  EXPECT_NE(ObjectText(pdf, 15).find("/BBox [0 0 200 24]\r\n/Resources <</Font <</F0 3 0 R>>>>\r\n"
                                     "/Length 148\r\n"),
            std::string::npos);
  EXPECT_NE(ObjectText(pdf, 15).find("/F0 10 Tf\r\n0 g\r\n2 8.4 Td\r\n(Ada \\(Lovelace\\)) Tj\r\n"),
            std::string::npos);
}

TEST(RadioGroups, FlagsAndValue) {
  struct Case {
    int buttons;
    int checked;  // -1: none
    bool required, readOnly;
    const char* expected;
  };
  const Case cases[] = {
      {1, -1, false, false, "/Kids [6 0 R ]\r\n/Ff 32768\r\n>>"},
      {2, -1, false, false, "/Kids [6 0 R 7 0 R ]\r\n/Ff 49152\r\n>>"},
      {2, 1, true, true, "/V /B1\r\n/DV /B1\r\n/Kids [6 0 R 7 0 R ]\r\n/Ff 49155\r\n>>"},
      {3, 0, true, false, "/V /B0\r\n/DV /B0\r\n/Kids [6 0 R 7 0 R 8 0 R ]\r\n/Ff 49154\r\n>>"},
  };
  for (const Case& c : cases) {
    TPDFDocument doc;
    std::string pdf = BuildPdf(doc, [&](TPDFDocument& d) {
      d.AcroForm().AddTextField(d.CurrentPage(), {0, 0, 10, 10}, "Before");  // takes 3 and 4
      TRadioButtonGroup* group = d.RadioGroups().Add("Pick");                // 5
      for (int i = 0; i < c.buttons; ++i) {
        TPDFRadioButton* b = group->AddButton(d.CurrentPage(), {0, 20 * i, 10, 20 * i + 10},
                                              "B" + std::to_string(i));
        // Only the first button's flags count.
        b->SetRequired(i == 0 ? c.required : !c.required);
        b->SetReadOnly(i == 0 ? c.readOnly : !c.readOnly);
        if (i == c.checked) b->SetChecked(true);
      }
    });
    std::string group = ObjectText(pdf, 5);
    EXPECT_EQ(group.substr(0, 32), "5 0 obj\r\n<</FT /Btn\r\n/T (Pick)\r\n");
    EXPECT_NE(group.find(c.expected), std::string::npos) << c.expected << "\n" << group;
    EXPECT_EQ(group.find("/V ") != std::string::npos, c.checked >= 0);
  }
}

TEST(RadioGroups, OneButtonOnAtATimeAndNamesEscaped) {
  TPDFDocument doc;
  std::string pdf = BuildPdf(doc, [](TPDFDocument& d) {
    TRadioButtonGroup* group = d.RadioGroups().Add("Size");
    TPDFRadioButton* a = group->AddButton(d.CurrentPage(), {0, 0, 10, 10}, "Extra large");
    TPDFRadioButton* b = group->AddButton(d.CurrentPage(), {0, 20, 10, 30}, "50%");
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
  });
  EXPECT_NE(pdf.find("/V /50#25\r\n/DV /50#25\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("/AP <</N <</Extra#20large "), std::string::npos);
  fs::path file = testing_support::FreshDir() / "radio.pdf";
  testing_support::WriteFile(file, pdf);
  EXPECT_EQ(QpdfCheck(file), "");
}

TEST(Form, RefusedFields) {
  TPDFDocument idle;
  EXPECT_EQ(MessageOf([&] { idle.RadioGroups().Add("x"); }), "Generation PDF file not activated");
  TPDFDocument other;
  std::ostringstream sink;
  other.SetOutputStream(&sink);
  other.StartDocument();
  TPDFDocument doc;
  BuildPdf(doc, [&](TPDFDocument& d) {
    TPDFPage* page = d.CurrentPage();
    TPDFAcroForm& form = d.AcroForm();
    form.AddTextField(page, {0, 0, 50, 20}, "Taken");
    d.RadioGroups().Add("Group");
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] {
           form.AddTextField(page, {0, 0, 50, 20}, "Taken");
         },
         "Form field \"Taken\" already exists"},
        {[&] {
           form.AddCheckBox(page, {0, 0, 50, 20}, "Group");
         },
         "Form field \"Group\" already exists"},
        {[&] { d.RadioGroups().Add("Taken"); }, "Form field \"Taken\" already exists"},
        {[&] {
           form.AddComboBox(page, {0, 0, 50, 20}, "", {});
         },
         "Form field name cannot be empty"},
        {[&] {
           form.AddPushButton(page, {0, 0, 50, 20}, "a.b", "", "");
         },
         "Form field name \"a.b\" cannot contain \".\""},
        {[&] {
           form.AddTextField(page, {10, 0, 10, 20}, "Thin");
         },
         "Form field rectangle is empty"},
        {[&] {
           form.AddTextField(nullptr, {0, 0, 50, 20}, "NoPage");
         },
         "Form field page is not a page of this document"},
        {[&] {
           form.AddTextField(other.CurrentPage(), {0, 0, 50, 20}, "Foreign");
         },
         "Form field page is not a page of this document"},
        {[&] {
           d.RadioGroups().Items(0)->AddButton(page, {0, 0, 9, 9}, "Off");
         },
         "Radio button export name cannot be \"Off\", the name of the off state"},
        {[&] {
           d.RadioGroups().Items(0)->AddButton(page, {0, 0, 9, 9}, "");
         },
         "Radio button export name cannot be empty"},
        {[&] {
           form.AddComboBox(page, {0, 30, 50, 50}, "C", {"a"})->SetValue("b");
         },
         "Combo box \"C\": \"b\" is not one of its items"},
    };
    for (const auto& [add, message] : cases) EXPECT_EQ(MessageOf(add), message);
    // Only "Taken", and the combo box whose value was refused, were added.
    EXPECT_EQ(form.Fields().Count(), 2);
    EXPECT_EQ(page->AnnotationCount(), 2);
  });
  other.AbortDocument();
}

TEST(Form, OnePassTakesFieldsOnTheCurrentPageOnly) {
  fs::path file = testing_support::FreshDir() / "onepass.pdf";
  TPDFDocument doc;
  doc.SetOnePass(true);
  testing::WritePdfFile(doc, file, [](TPDFDocument& d) {
    TPDFPage* first = d.CurrentPage();
    d.AcroForm().AddTextField(first, {10, 10, 100, 30}, "OnFirst");
    d.AddPage();  // writes the first page
    EXPECT_EQ(MessageOf([&] {
                d.AcroForm().AddTextField(first, {10, 40, 100, 60}, "Late");
              }),
              "Form field page has already been written");
    d.RadioGroups().Add("R")->AddButton(d.CurrentPage(), {10, 10, 20, 20}, "On");
  });
  EXPECT_EQ(QpdfCheck(file), "");
}

// qpdf reads the fields back (names, kinds, flags, values), with and without
// protection, and poppler and mupdf draw their appearances.
TEST(Form, ReadersSeeFieldsAndAppearances) {
  for (const char* tool : {"qpdf", "pdftoppm", "mutool"})
    if (!testing_support::HaveTool(tool)) GTEST_SKIP() << tool << " missing";
  for (bool protect : {false, true}) {
    fs::path file = testing_support::FreshDir() / "form.pdf";
    TPDFDocument doc;
    doc.SetProtectionEnabled(protect);
    doc.SetProtectionKeyLength(kl128);
    doc.SetUserPassword(protect ? "user" : "");
    testing::WritePdfFile(doc, file, BuildForm);
    std::string pw = protect ? "user" : "";
    EXPECT_EQ(QpdfCheck(file, pw), "");
    std::string raw = testing_support::ReadFile(file);
    for (const char* clear : {"(Name)", "Lovelace", "(Green)", "app.alert", "event.value"})
      EXPECT_EQ(raw.find(clear) != std::string::npos, !protect) << clear;

    auto json = testing_support::Run("qpdf --json --json-key=acroform" +
                                     std::string(protect ? " --password=user " : " ") +
                                     Quote(file.string()));
    ASSERT_EQ(json.exit_code, 0) << json.err;
    std::string j = json.out;
    for (const char* expected :
         {"\"fullname\": \"Name\"", "\"value\": \"u:Ada (Lovelace)\"", "\"fieldflags\": 2,",
          "\"fullname\": \"Total\"", "\"fieldflags\": 1,", "\"ischeckbox\": true",
          "\"value\": \"/Yes\"", "\"choices\": [\n          \"Red\",\n          \"Green\"\n",
          "\"value\": \"u:Green\"", "\"fieldflags\": 131072", "\"fieldflags\": 65536",
          "\"isradiobutton\": true", "\"value\": \"/Large\"", "\"fieldflags\": 49152",
          "\"hasacroform\": true"})
      EXPECT_NE(j.find(expected), std::string::npos) << expected << "\n" << j;

    // 72 dpi: one pixel per point, y from the top as the fields were placed.
    for (const auto& image : {testing_support::RenderPoppler(file, 1, 72, pw),
                              testing_support::RenderMupdf(file, 1, 72, pw)}) {
      auto gray = [&](int x, int y) {
        auto p = image.At(x, y);
        return (p.r + p.g + p.b) / 3;
      };
      EXPECT_LT(gray(100, 110), 80);   // text field border
      EXPECT_GT(gray(200, 104), 200);  // inside the text field, right of the text
      int dark = 0;                    // the value's letters
      for (int x = 102; x < 160; ++x)
        for (int y = 104; y < 120; ++y) dark += gray(x, y) < 128;
      EXPECT_GT(dark, 40);
      EXPECT_LT(gray(110, 190), 100);        // the tick through the check box
      EXPECT_NEAR(gray(106, 266), 191, 12);  // push button background
      EXPECT_LT(gray(150, 310), 80);         // the dot of the checked radio button
      EXPECT_GT(gray(110, 310), 200);        // the unchecked one is empty
    }
  }
}

}  // namespace
}  // namespace quillora
