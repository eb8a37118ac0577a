// RTF written by other programs ($QUILLORA_CORPUS/rtf: Word, WordPad, TextEdit,
// LibreOffice and others): every file reads, survives our own write and read,
// and gives the text LibreOffice extracts. Our RTF opens in LibreOffice with its
// text, tables, lists and pictures. Skips cleanly without the corpus or soffice.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <cstdlib>
#include <filesystem>

#include "document_dump.h"
#include "support/pdf_tools.h"
#include "tollmark/io/document_io.h"

namespace tollmark::io {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles() {
  const char* corpus = std::getenv("QUILLORA_CORPUS");
  std::vector<fs::path> files;
  if (!corpus) return files;
  const fs::path dir = fs::path(corpus) / "rtf";
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() == ".rtf") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

QByteArray ReadBytes(const fs::path& path) {
  QFile file(QString::fromStdString(path.string()));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// The text as LibreOffice exports it: list labels before list items, hidden
// text included, pictures left out; whitespace normalised.
std::string DocumentText(const QTextDocument& doc) {
  QString text;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    if (const QTextList* list = block.textList()) {
      const QTextListFormat::Style style = list->format().style();
      if (style == QTextListFormat::ListDisc)
        text += QChar(0x2022);
      else if (style == QTextListFormat::ListCircle)
        text += QChar(0x25E6);
      else if (style == QTextListFormat::ListSquare)
        text += QChar(0x25AA);
      else
        text += list->itemText(block);
      text += u' ';
    }
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      if (it.fragment().charFormat().isImageFormat()) continue;
      text += it.fragment().text();
    }
    text += u'\n';
  }
  return testing::NormalizeText(text);
}

// Tables, cells with their spans, lists and pictures, without the formats.
std::string Skeleton(const QTextDocument& doc) {
  const std::string dump = testing::DumpDocument(doc);
  const QRegularExpression formats(" (w|valign|bg|borders)=.*");
  std::string skeleton;
  for (QString line : QString::fromStdString(dump).split(u'\n')) {
    line = line.trimmed();
    if (!line.startsWith("TABLE") && !line.startsWith("CELL")) continue;
    skeleton += line.remove(formats).toStdString() + "\n";
  }
  for (const char* part : {" list=", " image="}) {
    size_t count = 0;
    for (size_t at = dump.find(part); at != std::string::npos; at = dump.find(part, at + 1))
      ++count;
    skeleton += std::string(part) + std::to_string(count) + "\n";
  }
  return skeleton;
}

// soffice --headless, with a profile of its own so that it never meets
// another running instance.
bool ConvertWithLibreOffice(const std::vector<fs::path>& inputs, const std::string& filter,
                            const fs::path& outDir) {
  std::string command = "soffice -env:UserInstallation=file://" + (outDir / "profile").string() +
                        " --headless --convert-to " + testing_support::Quote(filter) +
                        " --outdir " + testing_support::Quote(outDir.string());
  for (const fs::path& input : inputs) command += " " + testing_support::Quote(input.string());
  return testing_support::Run(command).exit_code == 0;
}

TEST(RtfOutsideInput, EveryCorpusFileReadsAndRoundTrips) {
  const std::vector<fs::path> files = CorpusFiles();
  if (files.empty()) GTEST_SKIP() << "no RTF corpus ($QUILLORA_CORPUS/rtf)";
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    QTextDocument doc;
    QString error;
    ASSERT_TRUE(ReadRtf(ReadBytes(file), doc, &error)) << error.toStdString();
    // What we write of an outside document reads back with the same text,
    // tables, lists and pictures, and from then on it round-trips exactly.
    QTextDocument back, again;
    ASSERT_TRUE(ReadRtf(WriteRtf(doc), back, &error));
    EXPECT_EQ(DocumentText(back), DocumentText(doc));
    EXPECT_EQ(Skeleton(back), Skeleton(doc));
    ASSERT_TRUE(ReadRtf(WriteRtf(back), again, &error));
    EXPECT_EQ(testing::DumpDocument(again), testing::DumpDocument(back));
  }
}

TEST(RtfOutsideInput, TextMatchesLibreOffice) {
  const std::vector<fs::path> files = CorpusFiles();
  if (files.empty()) GTEST_SKIP() << "no RTF corpus ($QUILLORA_CORPUS/rtf)";
  if (!testing_support::HaveTool("soffice")) GTEST_SKIP() << "soffice is not installed";
  const fs::path out = testing_support::FreshDir();
  ASSERT_TRUE(ConvertWithLibreOffice(files, "txt:Text (encoded):UTF8", out));
  int same = 0;
  std::string report;
  for (const fs::path& file : files) {
    QTextDocument doc;
    ReadRtf(ReadBytes(file), doc);
    const std::string ours = DocumentText(doc);
    QByteArray theirs = ReadBytes(out / (file.stem().string() + ".txt"));
    if (theirs.startsWith("\xEF\xBB\xBF")) theirs.remove(0, 3);
    const std::string expected = testing::NormalizeText(QString::fromUtf8(theirs));
    if (ours == expected) {
      ++same;
      continue;
    }
    size_t at = 0;
    while (at < ours.size() && at < expected.size() && ours[at] == expected[at]) ++at;
    const size_t from = at > 30 ? at - 30 : 0;
    report += file.filename().string() + " at " + std::to_string(at) +
              "\n  ours:   " + ours.substr(from, 90) + "\n  theirs: " + expected.substr(from, 90) +
              "\n";
  }
  std::cout << same << " of " << files.size() << " files give LibreOffice's text\n" << report;
  EXPECT_GE(same * 100, static_cast<int>(files.size()) * 95) << report;
}

QByteArray Png(int w, int h, QColor color) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

TEST(RtfOutsideInput, OurRtfOpensInLibreOffice) {
  if (!testing_support::HaveTool("soffice")) GTEST_SKIP() << "soffice is not installed";
  QTextDocument doc;
  QTextCursor c(&doc);
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  c.insertText(QString::fromUtf8("Heading with Ünïcode €"), bold);
  c.insertBlock();
  c.createList(QTextListFormat::ListDecimal);
  c.insertText("first item");
  c.insertBlock();
  c.insertText("second item");
  c.insertBlock(QTextBlockFormat());
  c.insertText("before the table");
  QTextTable* table = c.insertTable(2, 3);
  table->mergeCells(0, 0, 1, 2);
  table->cellAt(0, 0).firstCursorPosition().insertText("merged");
  table->cellAt(0, 2).firstCursorPosition().insertText("top right");
  table->cellAt(1, 0).firstCursorPosition().insertText("a");
  table->cellAt(1, 1).firstCursorPosition().insertText("b");
  table->cellAt(1, 2).firstCursorPosition().insertText("c");
  c = table->lastCursorPosition();
  c.movePosition(QTextCursor::NextBlock);
  QTextImageFormat image;
  image.setName("pic");
  image.setWidth(40);
  image.setHeight(20);
  image.setProperty(kPictureKind, int(PictureKind::Png));
  image.setProperty(kPictureData, Png(4, 2, Qt::blue));
  doc.addResource(QTextDocument::ImageResource, QUrl("pic"), QImage(4, 2, QImage::Format_RGB32));
  c.insertImage(image);
  c.insertText(" after the picture");

  const fs::path dir = testing_support::FreshDir();
  const fs::path rtf = dir / "ours.rtf";
  ASSERT_TRUE(SaveDocument(QString::fromStdString(rtf.string()), doc, FileFormat::Rtf));
  ASSERT_TRUE(ConvertWithLibreOffice({rtf}, "txt:Text (encoded):UTF8", dir / "txt"));
  ASSERT_TRUE(ConvertWithLibreOffice({rtf}, "html", dir / "html"));
  QByteArray text = ReadBytes(dir / "txt" / "ours.txt");
  if (text.startsWith("\xEF\xBB\xBF")) text.remove(0, 3);
  const std::string normalized = testing::NormalizeText(QString::fromUtf8(text));
  for (const char* part :
       {"Heading with Ünïcode €", "first item", "second item", "before the table", "merged",
        "top right", "a b c", "after the picture"}) {
    EXPECT_NE(normalized.find(part), std::string::npos) << part << "\n" << normalized;
  }
  const std::string html = ReadBytes(dir / "html" / "ours.html").toStdString();
  EXPECT_NE(html.find("<table"), std::string::npos) << html;
  EXPECT_NE(html.find("colspan=\"2\""), std::string::npos) << html;
  EXPECT_NE(html.find("<ol"), std::string::npos) << html;
  EXPECT_NE(html.find("<img"), std::string::npos) << html;
}

}  // namespace
}  // namespace tollmark::io
