// Writes a QTextDocument as RTF that Word-compatible readers take: fonts and
// colours in tables of first use, lists in \listtable, tables row by row
// with merges as \clmgf/\clvmgf, pictures as PNG/JPEG blips (metafiles as read).
#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QTextFrame>
#include <map>
#include <vector>

class QTextBlock;
class QTextCharFormat;
class QTextDocument;

class QTextImageFormat;
class QTextList;
class QTextTable;

namespace tollmark::io {

class RtfWriter {
 public:
  explicit RtfWriter(const QTextDocument& doc) : doc_(doc) {}
  QByteArray Write();

 private:
  // Blocks and tables of a frame or cell; its last block ends with `lastMark`.
  void WriteItems(QTextFrame::iterator it, int depth, const char* lastMark);
  void WriteBlock(const QTextBlock& block, int depth, const char* mark);
  void WriteTable(const QTextTable* table, int depth);
  void WriteCharFormat(const QTextCharFormat& format);
  void WritePicture(const QTextImageFormat& format);
  void WriteText(QStringView text);
  QByteArray Header();
  int FontIndex(const QString& family);
  int ColorIndex(const QColor& color);
  int ListIndex(const QTextList* list);

  const QTextDocument& doc_;
  QByteArray out_;
  std::vector<QString> fonts_;
  std::vector<QColor> colors_;
  std::vector<const QTextList*> lists_;
  std::map<const QTextList*, int> listIndex_;
  double defaultSize_ = 12;
};

// RTF text for a string: ASCII as is, other characters as \uN with their
// Windows-1252 byte (or "?") for readers without Unicode.
QByteArray RtfEscape(QStringView text);

}  // namespace tollmark::io
