#include "tollmark/io/rtf_writer.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <algorithm>

#include "tollmark/io/cell_blocks.h"
#include "tollmark/io/code_pages.h"
#include "tollmark/io/document_io.h"
#include "tollmark/io/rtf_lists.h"
#include "tollmark/io/rtf_pictures.h"

namespace tollmark::io {
namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr int kDefaultTableWidth = 9360;  // twips, 6.5 inches

QByteArray Num(qint64 value) {
  return QByteArray::number(value);
}
qint64 Twips(double pixels) {
  return qRound64(pixels * kTwipsPerPixel);
}

const char* BorderStyleWord(int style) {
  switch (style) {
    case QTextFrameFormat::BorderStyle_Dotted:
      return "\\brdrdot";
    case QTextFrameFormat::BorderStyle_Dashed:
      return "\\brdrdash";
    case QTextFrameFormat::BorderStyle_Double:
      return "\\brdrdb";
    case QTextFrameFormat::BorderStyle_None:
      return "\\brdrnone";
    default:
      return "\\brdrs";
  }
}

// A field argument in quotes: backslashes and quotes are escaped with a backslash.
QString FieldQuoted(const QString& text) {
  QString out;
  for (QChar c : text) {
    if (c == u'\\' || c == u'"') out += u'\\';
    out += c;
  }
  return out;
}

}  // namespace

QByteArray RtfEscape(QStringView text) {
  QByteArray out;
  out.reserve(text.size());
  for (QChar qc : text) {
    const char16_t c = qc.unicode();
    switch (c) {
      case u'\\':
        out += "\\\\";
        continue;
      case u'{':
        out += "\\{";
        continue;
      case u'}':
        out += "\\}";
        continue;
      case u'\t':
        out += "\\tab ";
        continue;
      case QChar::LineSeparator:
        out += "\\line ";
        continue;
      case 0x00A0:
        out += "\\~";
        continue;
      case 0x00AD:
        out += "\\-";
        continue;
      case 0x2011:
        out += "\\_";
        continue;
      default:
        break;
    }
    if (c < 0x20) continue;
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    out += "\\u";
    out += Num(c > 32767 ? int(c) - 65536 : int(c));
    const int fallback = UnicodeToCp1252(c);
    if (fallback >= 0x80) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\'";
      out += kHex[fallback >> 4];
      out += kHex[fallback & 15];
    } else {
      out += '?';
    }
  }
  return out;
}

int RtfWriter::FontIndex(const QString& family) {
  auto it = std::find(fonts_.begin(), fonts_.end(), family);
  if (it != fonts_.end()) return static_cast<int>(it - fonts_.begin());
  fonts_.push_back(family);
  return static_cast<int>(fonts_.size()) - 1;
}

int RtfWriter::ColorIndex(const QColor& color) {
  const QColor rgb = color.toRgb();
  for (size_t i = 0; i < colors_.size(); ++i) {
    if (colors_[i].rgb() == rgb.rgb()) return static_cast<int>(i) + 1;
  }
  colors_.push_back(rgb);
  return static_cast<int>(colors_.size());
}

int RtfWriter::ListIndex(const QTextList* list) {
  auto it = listIndex_.find(list);
  if (it != listIndex_.end()) return it->second;
  lists_.push_back(list);
  const int index = static_cast<int>(lists_.size());
  listIndex_[list] = index;
  return index;
}

void RtfWriter::WriteText(QStringView text) {
  out_ += RtfEscape(text);
}

void RtfWriter::WriteCharFormat(const QTextCharFormat& f) {
  out_ += "\\plain";
  QStringList families = f.fontFamilies().toStringList();
  if (!families.isEmpty() && !families.first().isEmpty()) {
    out_ += "\\f" + Num(FontIndex(families.first()));
  } else {
    out_ += "\\f0";
  }
  const double size = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : defaultSize_;
  out_ += "\\fs" + Num(std::max<qint64>(2, qRound64(size * 2)));
  if (f.fontWeight() >= QFont::DemiBold) out_ += "\\b";
  if (f.fontItalic()) out_ += "\\i";
  if (f.fontUnderline() || f.underlineStyle() != QTextCharFormat::NoUnderline) {
    switch (f.underlineStyle()) {
      case QTextCharFormat::DashUnderline:
        out_ += "\\uldash";
        break;
      case QTextCharFormat::DotLine:
        out_ += "\\uld";
        break;
      case QTextCharFormat::DashDotLine:
        out_ += "\\uldashd";
        break;
      case QTextCharFormat::DashDotDotLine:
        out_ += "\\uldashdd";
        break;
      case QTextCharFormat::WaveUnderline:
      case QTextCharFormat::SpellCheckUnderline:
        out_ += "\\ulwave";
        break;
      default:
        out_ += "\\ul";
        break;
    }
  }
  if (f.fontStrikeOut()) out_ += "\\strike";
  if (f.fontCapitalization() == QFont::AllUppercase) out_ += "\\caps";
  if (f.fontCapitalization() == QFont::SmallCaps) out_ += "\\scaps";
  if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) out_ += "\\super";
  if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) out_ += "\\sub";
  if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush) {
    out_ += "\\cf" + Num(ColorIndex(f.foreground().color()));
  }
  if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush) {
    out_ += "\\highlight" + Num(ColorIndex(f.background().color()));
  }
  if (f.boolProperty(kHiddenText)) out_ += "\\v";
  out_ += ' ';
}

void RtfWriter::WritePicture(const QTextImageFormat& format) {
  RtfPictureOut picture;
  if (!EncodePicture(doc_, format, picture)) return;
  out_ += "{\\pict";
  out_ += picture.blip;
  out_ += "\\picw" + Num(picture.picw) + "\\pich" + Num(picture.pich);
  const double width = format.width() > 0 ? format.width() : picture.picw;
  const double height = format.height() > 0 ? format.height() : picture.pich;
  out_ += "\\picwgoal" + Num(Twips(width)) + "\\pichgoal" + Num(Twips(height)) + "\n";
  const QByteArray hex = picture.data.toHex();
  for (qsizetype i = 0; i < hex.size(); i += 128) {
    out_ += hex.mid(i, 128);
    out_ += '\n';
  }
  out_ += "}";
}

void RtfWriter::WriteBlock(const QTextBlock& block, int depth, const char* mark) {
  const QTextBlockFormat f = block.blockFormat();
  out_ += "\\pard";
  if (depth > 0) out_ += "\\intbl";
  if (depth > 1) out_ += "\\itap" + Num(depth);
  const Qt::Alignment align = f.alignment() & Qt::AlignHorizontal_Mask;
  if (align & Qt::AlignHCenter)
    out_ += "\\qc";
  else if (align & Qt::AlignRight)
    out_ += "\\qr";
  else if (align & Qt::AlignJustify)
    out_ += "\\qj";

  const QTextList* list = block.textList();
  if (list) {
    const int level = std::clamp(list->format().indent(), 1, 9);
    out_ += "\\li" + Num(Twips(level * doc_.indentWidth())) + "\\fi-" +
            Num(Twips(doc_.indentWidth() / 2));
  } else {
    const double left = f.leftMargin() + f.indent() * doc_.indentWidth();
    if (left != 0) out_ += "\\li" + Num(Twips(left));
    if (f.textIndent() != 0) out_ += "\\fi" + Num(Twips(f.textIndent()));
  }
  if (f.rightMargin() != 0) out_ += "\\ri" + Num(Twips(f.rightMargin()));
  if (f.topMargin() != 0) out_ += "\\sb" + Num(Twips(f.topMargin()));
  if (f.bottomMargin() != 0) out_ += "\\sa" + Num(Twips(f.bottomMargin()));
  switch (f.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
      if (f.lineHeight() != 100) out_ += "\\sl" + Num(qRound64(f.lineHeight() * 2.4)) + "\\slmult1";
      break;
    case QTextBlockFormat::FixedHeight:
      out_ += "\\sl-" + Num(Twips(f.lineHeight())) + "\\slmult0";
      break;
    case QTextBlockFormat::MinimumHeight:
      out_ += "\\sl" + Num(Twips(f.lineHeight())) + "\\slmult0";
      break;
    default:
      break;
  }
  if (f.nonBreakableLines()) out_ += "\\keep";
  if (f.boolProperty(kKeepWithNext)) out_ += "\\keepn";
  if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) out_ += "\\pagebb";
  if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush) {
    out_ += "\\cbpat" + Num(ColorIndex(f.background().color()));
  }
  static constexpr struct {
    int property;
    const char* word;
  } kSides[] = {{kBorderTop, "\\brdrt"},
                {kBorderBottom, "\\brdrb"},
                {kBorderLeft, "\\brdrl"},
                {kBorderRight, "\\brdrr"}};
  for (const auto& side : kSides) {
    if (!f.hasProperty(side.property)) continue;
    const QPen pen = f.penProperty(side.property);
    if (pen.style() == Qt::NoPen) continue;
    out_ += side.word;
    out_ += pen.style() == Qt::DotLine    ? "\\brdrdot"
            : pen.style() == Qt::DashLine ? "\\brdrdash"
                                          : "\\brdrs";
    out_ += "\\brdrw" + Num(std::max<qint64>(1, qRound64(pen.widthF() * 20)));
    out_ += "\\brdrcf" + Num(ColorIndex(pen.color()));
    if (f.hasProperty(kBorderSpacing))
      out_ += "\\brsp" + Num(qRound64(f.doubleProperty(kBorderSpacing) * 20));
  }
  const QList<QTextOption::Tab> tabs = f.tabPositions();
  for (const QTextOption::Tab& tab : tabs) {
    if (tab.type == QTextOption::RightTab) out_ += "\\tqr";
    if (tab.type == QTextOption::CenterTab) out_ += "\\tqc";
    if (tab.type == QTextOption::DelimiterTab) out_ += "\\tqdec";
    out_ += "\\tx" + Num(Twips(tab.position));
  }
  if (list) {
    const int level = std::clamp(list->format().indent(), 1, 9) - 1;
    out_ += "\\ls" + Num(ListIndex(list)) + "\\ilvl" + Num(level);
    // The number as text for readers that do not know \listtable.
    QString label = list->itemText(block);
    if (label.isEmpty()) label = BulletForStyle(list->format().style());
    out_ += "{\\listtext\\plain ";
    WriteText(label);
    out_ += "\\tab}";
  }

  QString href;
  bool fieldOpen = false;
  for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
    const QTextFragment fragment = it.fragment();
    if (!fragment.isValid()) continue;
    const QTextCharFormat format = fragment.charFormat();
    const QString fragmentHref = format.isAnchor() ? format.anchorHref() : QString();
    if (fieldOpen && fragmentHref != href) {
      out_ += "}}";
      fieldOpen = false;
    }
    if (!fieldOpen && !fragmentHref.isEmpty()) {
      href = fragmentHref;
      out_ += "{\\field{\\*\\fldinst{HYPERLINK ";
      if (href.startsWith(u'#')) {
        out_ += "\\\\l \"" + RtfEscape(FieldQuoted(href.mid(1))) + "\"";
      } else {
        out_ += "\"" + RtfEscape(FieldQuoted(href)) + "\"";
      }
      out_ += "}}{\\fldrslt";
      fieldOpen = true;
    }
    const QString text = fragment.text();
    if (format.isImageFormat()) {
      for (QChar c : text) {
        if (c == QChar::ObjectReplacementCharacter) WritePicture(format.toImageFormat());
      }
      continue;
    }
    out_ += '{';
    WriteCharFormat(format);
    WriteText(text);
    out_ += '}';
  }
  if (fieldOpen) out_ += "}}";
  // The paragraph mark carries the block's character format (the first block
  // of a table cell carries the cell's format instead).
  if (!IsFirstBlockOfCell(block)) WriteCharFormat(block.charFormat());
  out_ += mark;
  if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter) out_ += "\\page";
  out_ += '\n';
}

void RtfWriter::WriteTable(const QTextTable* table, int depth) {
  const QTextTableFormat format = table->format();
  const int rows = table->rows(), columns = table->columns();
  if (rows <= 0 || columns <= 0) return;
  // Column edges in twips.
  const QList<QTextLength> constraints = format.columnWidthConstraints();
  std::vector<qint64> edges(columns + 1, 0);
  for (int c = 0; c < columns; ++c) {
    qint64 width = kDefaultTableWidth / columns;
    if (c < constraints.size()) {
      const QTextLength& length = constraints[c];
      if (length.type() == QTextLength::FixedLength) width = Twips(length.rawValue());
      if (length.type() == QTextLength::PercentageLength) {
        width = qRound64(kDefaultTableWidth * length.rawValue() / 100.0);
      }
    }
    edges[c + 1] = edges[c] + std::max<qint64>(width, 15);
  }

  for (int r = 0; r < rows; ++r) {
    QByteArray def = "\\trowd\\trgaph" + Num(Twips(format.cellPadding())) + "\\trleft0";
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter) def += "\\trqc";
    if (align & Qt::AlignRight) def += "\\trqr";
    for (int c = 0; c < columns; ++c) {
      const QTextTableCell cell = table->cellAt(r, c);
      const QTextTableCellFormat cf = cell.format().toTableCellFormat();
      if (cell.rowSpan() > 1) def += cell.row() == r ? "\\clvmgf" : "\\clvmrg";
      if (cell.columnSpan() > 1) def += cell.column() == c ? "\\clmgf" : "\\clmrg";
      switch (cf.verticalAlignment()) {
        case QTextCharFormat::AlignMiddle:
          def += "\\clvertalc";
          break;
        case QTextCharFormat::AlignBottom:
          def += "\\clvertalb";
          break;
        case QTextCharFormat::AlignTop:
          def += "\\clvertalt";
          break;
        default:
          break;
      }
      static constexpr struct {
        int width, style, brush;
        const char* word;
      } kSides[] = {{QTextFormat::TableCellTopBorder, QTextFormat::TableCellTopBorderStyle,
                     QTextFormat::TableCellTopBorderBrush, "\\clbrdrt"},
                    {QTextFormat::TableCellLeftBorder, QTextFormat::TableCellLeftBorderStyle,
                     QTextFormat::TableCellLeftBorderBrush, "\\clbrdrl"},
                    {QTextFormat::TableCellBottomBorder, QTextFormat::TableCellBottomBorderStyle,
                     QTextFormat::TableCellBottomBorderBrush, "\\clbrdrb"},
                    {QTextFormat::TableCellRightBorder, QTextFormat::TableCellRightBorderStyle,
                     QTextFormat::TableCellRightBorderBrush, "\\clbrdrr"}};
      for (const auto& side : kSides) {
        if (!cf.hasProperty(side.style) && !cf.hasProperty(side.width)) continue;
        const double width = cf.doubleProperty(side.width);
        const int style = cf.hasProperty(side.style) ? cf.intProperty(side.style)
                                                     : QTextFrameFormat::BorderStyle_Solid;
        if (width <= 0 || style == QTextFrameFormat::BorderStyle_None) continue;
        def += side.word;
        def += BorderStyleWord(style);
        def += "\\brdrw" + Num(std::max<qint64>(1, Twips(width)));
        if (cf.hasProperty(side.brush))
          def += "\\brdrcf" + Num(ColorIndex(cf.brushProperty(side.brush).color()));
      }
      if (cf.hasProperty(QTextFormat::BackgroundBrush) && cf.background().style() != Qt::NoBrush) {
        def += "\\clcbpat" + Num(ColorIndex(cf.background().color()));
      }
      def += "\\cellx" + Num(edges[c + 1]);
    }
    def += '\n';
    if (depth == 1) out_ += def;

    const char* cellMark = depth == 1 ? "\\cell" : "\\nestcell";
    for (int c = 0; c < columns; ++c) {
      const QTextTableCell cell = table->cellAt(r, c);
      if (cell.row() != r || cell.column() != c) {
        out_ += "\\pard\\intbl";
        if (depth > 1) out_ += "\\itap" + Num(depth);
        out_ += ' ';
        out_ += cellMark;
        out_ += '\n';
        continue;
      }
      // The cell's blocks and tables; its last block ends with the cell mark.
      WriteItems(cell.begin(), depth, cellMark);
    }
    if (depth == 1) {
      out_ += "\\row\n";
    } else {
      out_ += "{\\*\\nesttableprops " + def + "\\nestrow}{\\nonesttables\\par}\n";
    }
  }
}

void RtfWriter::WriteItems(QTextFrame::iterator it, int depth, const char* lastMark) {
  bool atStart = true;
  while (!it.atEnd()) {
    QTextFrame::iterator next = it;
    ++next;
    if (const QTextFrame* child = it.currentFrame()) {
      if (const auto* table = qobject_cast<const QTextTable*>(child)) {
        WriteTable(table, depth + 1);
      } else {
        WriteItems(child->begin(), depth, "\\par");
      }
      atStart = false;
    } else {
      const QTextBlock block = it.currentBlock();
      // Qt keeps an empty block before a table that starts a frame; a reader
      // recreates it, so it is not written. Between two tables the block is
      // written: without a paragraph between them they would be one table.
      const bool structural =
          atStart && block.length() <= 1 && !next.atEnd() && next.currentFrame() != nullptr;
      if (!structural) WriteBlock(block, depth, next.atEnd() ? lastMark : "\\par");
      atStart = false;
    }
    it = next;
  }
}

QByteArray RtfWriter::Header() {
  QByteArray header = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
  for (size_t i = 0; i < fonts_.size(); ++i) {
    header +=
        "{\\f" + Num(static_cast<qint64>(i)) + "\\fnil\\fcharset0 " + RtfEscape(fonts_[i]) + ";}";
  }
  header += "}\n{\\colortbl;";
  for (const QColor& color : colors_) {
    header += "\\red" + Num(color.red()) + "\\green" + Num(color.green()) + "\\blue" +
              Num(color.blue()) + ";";
  }
  header += "}\n";
  if (!lists_.empty()) {
    header += "{\\*\\listtable\n";
    for (size_t i = 0; i < lists_.size(); ++i) {
      const QTextListFormat lf = lists_[i]->format();
      const int nfc = LevelNfcForStyle(lf.style());
      const int start = lf.hasProperty(kListStart) ? lf.intProperty(kListStart) : 1;
      header += "{\\list\\listtemplateid" + Num(static_cast<qint64>(i + 1)) + "\\listsimple0";
      for (int level = 0; level < 9; ++level) {
        header += "{\\listlevel\\levelnfc" + Num(nfc) + "\\levelnfcn" + Num(nfc) +
                  "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat" + Num(start);
        if (nfc == 23) {
          header +=
              "{\\leveltext\\'01" + RtfEscape(BulletForStyle(lf.style())) + ";}{\\levelnumbers;}";
        } else {
          const QString prefix = lf.numberPrefix(), suffix = lf.numberSuffix();
          const qsizetype length = std::min<qsizetype>(prefix.size() + 1 + suffix.size(), 255);
          static const char kHex[] = "0123456789abcdef";
          auto hexByte = [](qsizetype v) {
            return QByteArray("\\'") + kHex[(v >> 4) & 15] + kHex[v & 15];
          };
          header += "{\\leveltext" + hexByte(length) + RtfEscape(prefix) + hexByte(level) +
                    RtfEscape(suffix) + ";}{\\levelnumbers" + hexByte(prefix.size() + 1) + ";}";
        }
        header += "\\fi-" + Num(Twips(doc_.indentWidth() / 2)) + "\\li" +
                  Num(Twips((level + 1) * doc_.indentWidth())) + "}";
      }
      header += "{\\listname ;}\\listid" + Num(static_cast<qint64>(i + 1)) + "}\n";
    }
    header += "}\n{\\*\\listoverridetable";
    for (size_t i = 0; i < lists_.size(); ++i) {
      header += "{\\listoverride\\listid" + Num(static_cast<qint64>(i + 1)) +
                "\\listoverridecount0\\ls" + Num(static_cast<qint64>(i + 1)) + "}";
    }
    header += "}\n";
  }
  const DocumentInfo info = GetDocumentInfo(doc_);
  if (info != DocumentInfo()) {
    header += "{\\info";
    if (!info.title.isEmpty()) header += "{\\title " + RtfEscape(info.title) + "}";
    if (!info.author.isEmpty()) header += "{\\author " + RtfEscape(info.author) + "}";
    if (!info.subject.isEmpty()) header += "{\\subject " + RtfEscape(info.subject) + "}";
    if (!info.keywords.isEmpty()) header += "{\\keywords " + RtfEscape(info.keywords) + "}";
    header += "}\n";
  }
  return header;
}

QByteArray RtfWriter::Write() {
  const QFont font = doc_.defaultFont();
  fonts_.push_back(font.family().isEmpty() ? QStringLiteral("Arial") : font.family());
  if (font.pointSizeF() > 0) defaultSize_ = font.pointSizeF();
  WriteItems(doc_.rootFrame()->begin(), 0, "\\par");
  QByteArray result = Header();
  result += "\\viewkind4\n";
  result += out_;
  result += "}\n";
  return result;
}

}  // namespace tollmark::io
