// What the RTF reader recovers, before it becomes a QTextDocument: tables
// need every row before their column grid is known, so the reader builds
// this tree first and the document builder turns it into Qt objects.
#pragma once

#include <QImage>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextListFormat>
#include <QTextTableCellFormat>
#include <memory>
#include <vector>

#include "tollmark/io/document_io.h"

namespace tollmark::io {

struct RtfRun {
  QString text;  // U+FFFC for a picture, whose format is a QTextImageFormat
  QTextCharFormat format;
};

struct RtfParagraph {
  QTextBlockFormat format;
  QTextCharFormat markFormat;  // the paragraph mark's character format
  int list = -1;               // index into RtfDocument::lists
  std::vector<RtfRun> runs;
};

struct RtfTable;

// A paragraph, or a table when `table` is set.
struct RtfItem {
  RtfParagraph paragraph;
  std::unique_ptr<RtfTable> table;
};

enum class RtfMerge { kNone, kFirst, kContinue };

struct RtfCellDef {
  int right = 0;  // twips, from \cellx
  QTextTableCellFormat format;
  RtfMerge horizontal = RtfMerge::kNone;
  RtfMerge vertical = RtfMerge::kNone;
};

struct RtfRowDef {
  int left = 0;   // twips, \trleft
  int gap = 108;  // twips, \trgaph
  Qt::Alignment alignment = Qt::AlignLeft;
  std::vector<RtfCellDef> cells;
};

struct RtfCell {
  std::vector<RtfItem> items;
};

struct RtfRow {
  RtfRowDef def;
  std::vector<RtfCell> cells;
};

struct RtfTable {
  std::vector<RtfRow> rows;
};

struct RtfPicture {
  QString name;  // resource name
  QImage image;
};

struct RtfDocument {
  std::vector<RtfItem> body;
  std::vector<QTextListFormat> lists;
  std::vector<RtfPicture> pictures;
  DocumentInfo info;
  QString defaultFamily;  // \deff's font: the document's default font
};

}  // namespace tollmark::io
