// Reading RTF: text and code pages, formatting, lists, tables, pictures,
// fields, document information, and damaged input.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include "document_dump.h"
#include "tollmark/io/document_io.h"

namespace tollmark::io {
namespace {

using testing::DumpDocument;

QString Read(const std::string& rtf, QTextDocument& doc) {
  QString error;
  EXPECT_TRUE(ReadRtf(QByteArray::fromStdString(rtf), doc, &error)) << error.toStdString();
  return doc.toPlainText();
}

// The text with its special characters (line breaks, no-break spaces) as read.
QString ReadText(const std::string& rtf) {
  QTextDocument doc;
  Read(rtf, doc);
  QString text = doc.toRawText();
  for (QChar& c : text) {
    if (c == QChar::ParagraphSeparator || c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1) c = u'\n';
  }
  return text;
}

struct TextCase {
  const char* name;
  std::string rtf;
  std::u16string text;
};

class RtfTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfTextTest, ReadsText) {
  const TextCase& c = GetParam();
  EXPECT_EQ(ReadText(c.rtf), QString::fromStdU16String(c.text)) << c.rtf;
}

INSTANTIATE_TEST_SUITE_P(
    CodePagesAndUnicode, RtfTextTest,
    ::testing::Values(
        TextCase{"plain", R"({\rtf1\ansi Hello {\b world}\par})", u"Hello world"},
        TextCase{"windows1252", R"({\rtf1\ansi caf\'e9 \'80\'96\'93})",
                 u"caf\u00e9 \u20ac\u2013\u201c"},
        TextCase{"ansicpg1251", R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2})",
                 u"\u041f\u0440\u0438\u0432\u0435\u0442"},
        TextCase{
            "fcharset_per_font",
            R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1\fcharset238 Arial CE;}{\f2\fcharset161 Greek;}}
\f1 \'b9\'e8 \f2 \'e1\'e2\f0 \'e9})",
            u"\u0105\u010d \u03b1\u03b2\u00e9"},
        TextCase{"shift_jis_pairs",  // the trail byte may be a literal character
                 R"({\rtf1\ansi{\fonttbl{\f0\fcharset128 MS Mincho;}}\f0 \'82\'a0\'83e})",
                 u"\u3042\u30c6"},
        TextCase{"gbk_pair", R"({\rtf1\ansi\ansicpg936 \'c4\'e3\'ba\'c3})", u"\u4f60\u597d"},
        TextCase{"unicode_with_fallback", R"({\rtf1\ansi \u8364\'80 and \u1046?})",
                 u"\u20ac and \u0416"},
        TextCase{"negative_unicode", R"({\rtf1\ansi \u-4064?})", u"\uf020"},
        TextCase{"surrogate_pair", R"({\rtf1\ansi \u-10179?\u-8704?})", u"\U0001F600"},
        TextCase{"uc2_skips_two", R"({\rtf1\ansi\uc2 \u20320\'c4\'e3!})", u"\u4f60!"},
        TextCase{"uc0_skips_none", R"({\rtf1\ansi\uc0 \u233 x})", u"\u00e9x"},
        TextCase{"uc_is_per_group", R"({\rtf1\ansi{\uc3 \u233 abcX}\u233 yZ})", u"\u00e9X\u00e9Z"},
        TextCase{"skip_ends_at_group", R"({\rtf1\ansi\uc2 \u233{b}c})", u"\u00e9bc"},
        TextCase{"invalid_code_page_falls_back", R"({\rtf1\ansi\ansicpg99999 caf\'e9})",
                 u"caf\u00e9"},
        TextCase{
            "symbols",
            R"({\rtf1\ansi a\tab b\line c\~d\emdash\endash\lquote\rquote\ldblquote\rdblquote\bullet\{\}\\})",
            u"a\tb\u2028c\u00a0d\u2014\u2013\u2018\u2019\u201c\u201d\u2022{}\\"},
        TextCase{"paragraphs", "{\\rtf1 one\\par two\\\r\nthree\\par}", u"one\ntwo\nthree"},
        TextCase{"unknown_star_destination_skipped",
                 R"({\rtf1 a{\*\unknowndest secret {\nested x}}b})", u"ab"},
        TextCase{
            "known_skipped_destinations",
            R"({\rtf1{\stylesheet{\s0 Normal;}}{\header head}{\footnote note}{\*\bkmkstart m}a{\pntext 1.}b{\nonshppict{\pict\wmetafile8 00}}})",
            u"ab"},
        TextCase{"upr_uses_unicode_half", R"({\rtf1{\upr{ansi}{\*\ud{uni\u233 ?}}}})",
                 u"uni\u00e9"},
        TextCase{"bin_data_is_not_text", "{\\rtf1 a{\\*\\x \\bin3 }{x}b}", u"ab"},
        TextCase{"footnote_reference_numbers",
                 R"({\rtf1 a{\super\chftn}{\footnote\pard{\super\chftn} note}b{\super\chftn}})",
                 u"a1b2"},
        TextCase{"field_result_only", R"({\rtf1 see {\field{\*\fldinst PAGE}{\fldrslt 7}} here})",
                 u"see 7 here"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(RtfReader, RefusesWhatIsNotRtf) {
  QTextDocument doc;
  doc.setPlainText("old");
  QString error;
  EXPECT_FALSE(ReadRtf("Hello, plain text", doc, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(doc.isEmpty());
}

TEST(RtfReader, CharacterFormatting) {
  QTextDocument doc;
  Read(R"({\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}{\f1\froman Times New Roman;}}
{\colortbl;\red255\green0\blue0;\red0\green0\blue255;}
\f1\fs32 big{\plain\b B}{\i I}{\ul U}{\uldash D}{\ulwave W}{\strike S}{\caps C}{\scaps K}
{\super sup}{\sub sub}{\cf1 red}{\highlight2 hl}{\v hid}\par})",
       doc);
  const std::string dump = DumpDocument(doc);
  EXPECT_NE(dump.find("\"big\" font=Times New Roman size=16\n"), std::string::npos) << dump;
  // \plain returns to \deff's font, the document's default: no family of its own.
  EXPECT_NE(dump.find("\"B\" font=- size=12 bold\n"), std::string::npos) << dump;
  EXPECT_EQ(doc.defaultFont().family(), "Arial");
  EXPECT_EQ(doc.defaultFont().pointSizeF(), 12);
  EXPECT_NE(dump.find("\"I\" font=Times New Roman size=16 italic"), std::string::npos);
  EXPECT_NE(dump.find("\"U\" font=Times New Roman size=16 ul=1"), std::string::npos);
  EXPECT_NE(dump.find("\"D\" font=Times New Roman size=16 ul=2"), std::string::npos);
  EXPECT_NE(dump.find("\"W\" font=Times New Roman size=16 ul=6"), std::string::npos) << dump;
  EXPECT_NE(dump.find("\"S\" font=Times New Roman size=16 strike"), std::string::npos);
  EXPECT_NE(dump.find("\"C\" font=Times New Roman size=16 caps=1"), std::string::npos);
  EXPECT_NE(dump.find("\"K\" font=Times New Roman size=16 caps=3"), std::string::npos);
  EXPECT_NE(dump.find("\"sup\" font=Times New Roman size=16 valign=1"), std::string::npos);
  EXPECT_NE(dump.find("\"sub\" font=Times New Roman size=16 valign=2"), std::string::npos);
  EXPECT_NE(dump.find("\"red\" font=Times New Roman size=16 fg=#ff0000"), std::string::npos);
  EXPECT_NE(dump.find("\"hl\" font=Times New Roman size=16 bg=#0000ff"), std::string::npos);
  EXPECT_NE(dump.find("\"hid\" font=Times New Roman size=16 hidden"), std::string::npos);
}

TEST(RtfReader, ParagraphFormatting) {
  QTextDocument doc;
  Read(R"({\rtf1\ansi{\colortbl;\red0\green128\blue0;}
\pard\qc\li720\ri360\fi-180\sb120\sa240\sl360\slmult1\keep\keepn centred\par
\pard\qj\sl-300\slmult0\tx1440\tqr\tx5760 exact\par
\pard\qr\sl280\slmult0 at least\page after break\par
\pard\brdrt\brdrs\brdrw30\brdrcf1\brdrb\brdrdot\brdrw10\brsp40\cbpat1 boxed\par
\pard\pagebb before\par})",
       doc);
  const std::string dump = DumpDocument(doc);
  EXPECT_NE(
      dump.find(
          "P align=4 left=48 first=-12 right=24 before=8 after=16 line=1:150 keep keepnext\n"),
      std::string::npos)
      << dump;
  EXPECT_NE(dump.find("P align=8 line=2:20 tab=0@96 tab=1@384\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("P align=2 line=3:18.67\n"), std::string::npos) << dump;
  // \page ends the paragraph; the next one starts on a new page.
  EXPECT_NE(dump.find("P align=2 line=3:18.67 break=1\n  mark: font=- size=12\n  \"after break\""),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("shading=#008000 border0=1.5:1:#008000 border1=0.5:3:#000000 brsp=2\n"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("P align=1 break=1\n  mark: font=- size=12\n  \"before\""),
            std::string::npos);
  EXPECT_EQ(doc.blockCount(), 6);
}

TEST(RtfReader, ListTableAndOverrides) {
  QTextDocument doc;
  Read(R"({\rtf1\ansi
{\*\listtable
{\list\listtemplateid1{\listlevel\levelnfc23{\leveltext\'01\u8226 ?;}{\levelnumbers;}}
{\listlevel\levelnfc4\levelstartat3{\leveltext\'02\'01);}{\levelnumbers\'01;}}\listid10}
{\list{\listlevel\levelnfc0{\leveltext\'03(\'00.;}{\levelnumbers\'02;}}\listid20}}
{\*\listoverridetable{\listoverride\listid10\listoverridecount0\ls1}{\listoverride\listid20\listoverridecount0\ls2}}
\pard\ls1 {\listtext\'b7\tab}bullet one\par
\pard\ls1\ilvl1 {\listtext c)\tab}sub\par
\pard\ls1 bullet two\par
\pard plain\par
\pard\ls2 {\listtext (1.\tab}number\par})",
       doc);
  EXPECT_EQ(doc.toPlainText(), "bullet one\nsub\nbullet two\nplain\nnumber");
  QTextBlock b = doc.begin();
  ASSERT_NE(b.textList(), nullptr);
  EXPECT_EQ(b.textList()->format().style(), QTextListFormat::ListDisc);
  QTextList* first = b.textList();
  b = b.next();
  ASSERT_NE(b.textList(), nullptr);
  EXPECT_EQ(b.textList()->format().style(), QTextListFormat::ListLowerAlpha);
  EXPECT_EQ(b.textList()->format().indent(), 2);
  EXPECT_EQ(b.textList()->format().numberSuffix(), ")");
  EXPECT_EQ(b.textList()->format().intProperty(kListStart), 3);
  b = b.next();
  EXPECT_EQ(b.textList(), first);  // the same list continues
  b = b.next();
  EXPECT_EQ(b.textList(), nullptr);
  b = b.next();
  ASSERT_NE(b.textList(), nullptr);
  EXPECT_EQ(b.textList()->format().style(), QTextListFormat::ListDecimal);
  EXPECT_EQ(b.textList()->format().numberPrefix(), "(");
  EXPECT_EQ(b.textList()->format().numberSuffix(), ".");
}

TEST(RtfReader, UnknownSymbolBulletsFollowTheirLevel) {
  QTextDocument doc;
  // A Wingdings check mark (U+F0FC) at three levels, and Symbol's bullet.
  Read(R"({\rtf1\ansi{\*\listtable{\list
{\listlevel\levelnfc23{\leveltext\'01\u61692 ?;}}{\listlevel\levelnfc23{\leveltext\'01\u61692 ?;}}
{\listlevel\levelnfc23{\leveltext\'01\u61692 ?;}}{\listlevel\levelnfc23{\leveltext\'01\u61623 ?;}}\listid1}}
{\*\listoverridetable{\listoverride\listid1\ls1}}
\pard\ls1 a\par\pard\ls1\ilvl1 b\par\pard\ls1\ilvl2 c\par\pard\ls1\ilvl3 d\par})",
       doc);
  std::vector<QTextListFormat::Style> styles;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    ASSERT_NE(b.textList(), nullptr) << b.text().toStdString();
    styles.push_back(b.textList()->format().style());
  }
  EXPECT_EQ(styles, (std::vector<QTextListFormat::Style>{
                        QTextListFormat::ListDisc, QTextListFormat::ListCircle,
                        QTextListFormat::ListSquare, QTextListFormat::ListDisc}));
}

TEST(RtfReader, WordPadParagraphNumbering) {
  QTextDocument doc;
  Read(R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1\fcharset2 Symbol;}}
{\pntext\f1\'b7\tab}{\*\pn\pnlvlblt\pnf1\pnindent0{\pntxtb\'b7}}\fi-360\li720 one\par
{\pntext\f1\'b7\tab}two\par
\pard{\pntext 1.\tab}{\*\pn\pnlvlbody\pnf0\pnindent0\pnstart1\pndec{\pntxta.}}first\par
{\pntext 2.\tab}second\par
\pard after\par})",
       doc);
  EXPECT_EQ(doc.toPlainText(), "one\ntwo\nfirst\nsecond\nafter");
  QTextBlock b = doc.begin();
  ASSERT_NE(b.textList(), nullptr);
  EXPECT_EQ(b.textList()->format().style(), QTextListFormat::ListDisc);
  EXPECT_EQ(b.next().textList(), b.textList());
  QTextBlock numbered = b.next().next();
  ASSERT_NE(numbered.textList(), nullptr);
  EXPECT_EQ(numbered.textList()->format().style(), QTextListFormat::ListDecimal);
  EXPECT_EQ(numbered.textList()->format().numberSuffix(), ".");
  EXPECT_EQ(numbered.next().textList(), numbered.textList());
  EXPECT_EQ(numbered.next().next().textList(), nullptr);
}

QTextTable* FirstTable(QTextDocument& doc) {
  for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
    if (auto* table = qobject_cast<QTextTable*>(frame)) return table;
  }
  return nullptr;
}

TEST(RtfReader, TableGridFromEveryRowWithMerges) {
  QTextDocument doc;
  // Row 1 has cells ending at 2000 and 6000; row 2 at 2000, 4000, 6000: the
  // grid has three columns and row 1's second cell spans two of them. The
  // first column of rows 2 and 3 is merged vertically; row 3 merges the old way.
  Read(R"({\rtf1\ansi{\colortbl;\red255\green255\blue0;}
\trowd\trgaph108\cellx2000\clcbpat1\clvertalc\clbrdrt\brdrs\brdrw30\cellx6000
\pard\intbl A\cell B\cell\row
\trowd\clvmgf\cellx2000\cellx4000\cellx6000
\pard\intbl C\cell D\cell E\cell\row
\trowd\clvmrg\cellx2000\clmgf\cellx4000\clmrg\cellx6000
\pard\intbl\cell F\cell\cell\row
\pard after\par})",
       doc);
  QTextTable* table = FirstTable(doc);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rows(), 3);
  EXPECT_EQ(table->columns(), 3);
  EXPECT_EQ(table->cellAt(0, 1).columnSpan(), 2);
  EXPECT_EQ(table->cellAt(1, 0).rowSpan(), 2);
  EXPECT_EQ(table->cellAt(2, 1).columnSpan(), 2);
  const std::string dump = DumpDocument(doc);
  EXPECT_NE(dump.find("TABLE 3x3 w=133.33 w=133.33 w=133.33\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("CELL 0,1 span=1x2 valign=3 bg=#ffff00 borders=2/0/0/0:3:none"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("CELL 1,0 span=2x1\n    P align=1\n      mark: cell\n      \"C\""),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("CELL 2,1 span=1x2\n    P align=1\n      mark: cell\n      \"F\""),
            std::string::npos)
      << dump;
  EXPECT_EQ(doc.lastBlock().text(), "after");
}

TEST(RtfReader, NestedTables) {
  QTextDocument doc;
  Read(R"({\rtf1\ansi
\trowd\cellx3000\cellx6000
\pard\intbl outer1\par
\pard\intbl\itap2 in1\nestcell in2\nestcell
{\*\nesttableprops\trowd\cellx1000\cellx2000\nestrow}{\nonesttables\par}
\pard\intbl\itap1 tail\cell outer2\cell\row
\pard end\par})",
       doc);
  QTextTable* outer = FirstTable(doc);
  ASSERT_NE(outer, nullptr);
  EXPECT_EQ(outer->rows(), 1);
  EXPECT_EQ(outer->columns(), 2);
  QTextTableCell cell = outer->cellAt(0, 0);
  QTextTable* inner = nullptr;
  for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
    if (auto* t = qobject_cast<QTextTable*>(it.currentFrame())) inner = t;
  }
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->columns(), 2);
  EXPECT_EQ(inner->cellAt(0, 1).firstCursorPosition().block().text(), "in2");
  EXPECT_EQ(outer->cellAt(0, 1).firstCursorPosition().block().text(), "outer2");
  EXPECT_EQ(doc.lastBlock().text(), "end");
}

QByteArray PngBytes(int w, int h, QColor color) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

TEST(RtfReader, Pictures) {
  const QByteArray png = PngBytes(4, 3, Qt::red);
  // A 2x1 24-bit DIB: blue then green, rows padded to 4 bytes... bottom-up.
  const QByteArray dib = QByteArray::fromHex(
      "28000000020000000100000001001800000000000800000000000000000000000000000000000000"
      "ff000000ff000000");
  const std::string rtf =
      "{\\rtf1\\ansi "
      "{\\*\\shppict{\\pict\\pngblip\\picw4\\pich3\\picwgoal600\\pichgoal450 " +
      png.toHex().toStdString() +
      "}}{\\nonshppict{\\pict\\wmetafile8 0102}}"
      "{\\pict\\dibitmap0\\picw2\\pich1 " +
      dib.toHex().toStdString() +
      "}{\\pict\\emfblip\\picw2540\\pich1270 01000000AABB}"
      "{\\pict\\wbitmap0\\picw8\\pich1\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2 f000}"
      "{\\pict\\pngblip\\bin" +
      std::to_string(png.size()) + " " + png.toStdString() + "}\\par}";
  QTextDocument doc;
  Read(rtf, doc);
  const std::string dump = DumpDocument(doc);
  // PNG: the goal size in pixels, the bytes kept for writing back.
  EXPECT_NE(dump.find("image=40x30 kind=1"), std::string::npos) << dump;
  EXPECT_NE(dump.find("image=2x1 pixels=2x1 px0=#0000ff"), std::string::npos) << dump;
  // EMF: a placeholder of its size (1 inch by half an inch), bytes kept.
  EXPECT_NE(dump.find("image=96x48 kind=3"), std::string::npos) << dump;
  EXPECT_NE(dump.find("image=4x3 kind=1"), std::string::npos) << dump;
  // A monochrome device bitmap: set bits are white.
  EXPECT_NE(dump.find("image=8x1 pixels=8x1 px0=#ffffff"), std::string::npos) << dump;
  // \nonshppict's WMF is not a second copy.
  EXPECT_EQ(doc.toRawText().count(QChar::ObjectReplacementCharacter), 5);
}

TEST(RtfReader, HyperlinkFields) {
  QTextDocument doc;
  Read(
      R"({\rtf1\ansi Go {\field{\*\fldinst{HYPERLINK "https://example.org/a?b=1" \o "tip"}}{\fldrslt{\ul\cf1 there}}} or {\field{\*\fldinst HYPERLINK \\l "sect2"}{\fldrslt here}}.\par})",
      doc);
  const std::string dump = DumpDocument(doc);
  EXPECT_NE(dump.find("\"there\" font=- size=12 ul=1 href=https://example.org/a?b=1"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("\"here\" font=- size=12 href=#sect2"), std::string::npos) << dump;
  EXPECT_NE(dump.find("\" or \" font=- size=12\n"), std::string::npos) << dump;
}

TEST(RtfReader, DocumentInformation) {
  QTextDocument doc;
  Read(
      R"({\rtf1\ansi{\info{\title Caf\'e9 report}{\author Ann}{\subject S}{\upr{\keywords a?}{\*\ud{\keywords a, b}}}{\creatim\yr2020}{\doccomm skip}}body})",
      doc);
  EXPECT_EQ(doc.toPlainText(), "body");
  DocumentInfo info = GetDocumentInfo(doc);
  EXPECT_EQ(info.title, QString::fromUtf8("Café report"));
  EXPECT_EQ(info.author, "Ann");
  EXPECT_EQ(info.subject, "S");
  EXPECT_EQ(info.keywords, "a, b");
  EXPECT_EQ(doc.metaInformation(QTextDocument::DocumentTitle), QString::fromUtf8("Café report"));
}

// Damaged input: a document, never a crash, a hang or a huge allocation.
struct DamagedCase {
  const char* name;
  std::string rtf;
  const char* text;
};

class RtfDamagedTest : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(RtfDamagedTest, RecoversText) {
  const DamagedCase& c = GetParam();
  EXPECT_EQ(ReadText(c.rtf).toStdString(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, RtfDamagedTest,
    ::testing::Values(
        DamagedCase{"truncated_group", "{\\rtf1 abc {\\b def", "abc def"},
        DamagedCase{"truncated_control_word", "{\\rtf1 abc\\", "abc\\"},
        DamagedCase{"truncated_hex", "{\\rtf1 abc\\'e", "abc"},
        DamagedCase{"stray_closing_braces", "{\\rtf1 a}}}b", "a"},
        DamagedCase{"absurd_bin", "{\\rtf1 a{\\pict\\pngblip\\bin2147483647 xyz}", "a\xef\xbf\xbc"},
        DamagedCase{"negative_bin", "{\\rtf1 a\\bin-5 b}", "ab"},
        DamagedCase{
            "absurd_picture_size",
            "{\\rtf1 a{\\pict\\emfblip\\picw2147483647\\pich-2147483648\\picwgoal99999999 00}b}",
            "a\xef\xbf\xbc"
            "b"},
        DamagedCase{"absurd_numbers",
                    "{\\rtf1\\fs99999999999999\\li-99999999999\\u99999999 ?a\\cf-3\\f123456789 b}",
                    "ab"},
        DamagedCase{"cell_marks_outside_tables", "{\\rtf1 a\\cell b\\row c}", "abc"},
        DamagedCase{"cell_without_intbl", "{\\rtf1\\trowd\\cellx900 a\\cell b\\row c}",
                    "\na\nb\nc"},
        DamagedCase{"row_without_cells", "{\\rtf1\\trowd\\cellx100\\row a}", "a"},
        DamagedCase{"list_without_table", "{\\rtf1\\ls7\\ilvl99 a\\par}", "a"}),
    [](const ::testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

TEST(RtfReader, RunawayNestingIsCapped) {
  std::string rtf = "{\\rtf1 a";
  rtf += std::string(200000, '{');
  rtf += "deep";
  rtf += std::string(200000, '}');
  rtf += "b}";
  EXPECT_EQ(ReadText(rtf).toStdString(), "ab");
}

TEST(RtfReader, TooManyColumnsAreCapped) {
  std::string rtf = "{\\rtf1\\trowd";
  for (int i = 1; i <= 5000; ++i) rtf += "\\cellx" + std::to_string(i * 10);
  rtf += "\\pard\\intbl ";
  for (int i = 0; i < 5000; ++i) rtf += "x\\cell ";
  rtf += "\\row}";
  QTextDocument doc;
  Read(rtf, doc);
  QTextTable* table = FirstTable(doc);
  ASSERT_NE(table, nullptr);
  EXPECT_LE(table->columns(), 63);
}

}  // namespace
}  // namespace tollmark::io
