#include "document_dump.h"

#include <QCryptographicHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <map>

#include "tollmark/io/cell_blocks.h"
#include "tollmark/io/document_io.h"

namespace tollmark::io::testing {
namespace {

std::string Num(double v) {
  char buffer[32];
  snprintf(buffer, sizeof buffer, "%.2f", v);
  std::string s = buffer;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

std::string Color(const QBrush& brush) {
  if (brush.style() == Qt::NoBrush) return "none";
  return brush.color().name().toStdString();
}

class Dumper {
 public:
  explicit Dumper(const QTextDocument& doc) : doc_(doc) {}
  std::string Dump() {
    Frame(doc_.rootFrame(), 0);
    return out_;
  }

 private:
  void Indent(int depth) { out_.append(static_cast<size_t>(depth) * 2, ' '); }

  void CharFormat(const QTextCharFormat& f) {
    QStringList families = f.fontFamilies().toStringList();
    out_ += "font=" + (families.isEmpty() ? std::string("-") : families.first().toStdString());
    // The size in effect: the format's own, or the document's default.
    out_ +=
        " size=" + Num(f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize()
                                                                 : doc_.defaultFont().pointSizeF());
    if (f.fontWeight() >= QFont::DemiBold) out_ += " bold";
    if (f.fontItalic()) out_ += " italic";
    if (f.underlineStyle() != QTextCharFormat::NoUnderline)
      out_ += " ul=" + std::to_string(f.underlineStyle());
    if (f.fontStrikeOut()) out_ += " strike";
    if (f.fontCapitalization() != QFont::MixedCase)
      out_ += " caps=" + std::to_string(f.fontCapitalization());
    if (f.verticalAlignment() != QTextCharFormat::AlignNormal)
      out_ += " valign=" + std::to_string(f.verticalAlignment());
    if (f.hasProperty(QTextFormat::ForegroundBrush)) out_ += " fg=" + Color(f.foreground());
    if (f.hasProperty(QTextFormat::BackgroundBrush)) out_ += " bg=" + Color(f.background());
    if (f.boolProperty(kHiddenText)) out_ += " hidden";
    if (f.isAnchor()) out_ += " href=" + f.anchorHref().toStdString();
    if (f.isImageFormat()) {
      QTextImageFormat image = f.toImageFormat();
      out_ += " image=" + Num(image.width()) + "x" + Num(image.height());
      QByteArray data = image.property(kPictureData).toByteArray();
      if (!data.isEmpty()) {
        out_ +=
            " kind=" + std::to_string(image.intProperty(kPictureKind)) + " md5=" +
            QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex().left(8).toStdString();
      } else {
        QImage pixels =
            doc_.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
        out_ += " pixels=" + std::to_string(pixels.width()) + "x" + std::to_string(pixels.height());
        if (!pixels.isNull()) {
          out_ += " px0=" + QColor(pixels.pixel(0, 0)).name().toStdString();
        }
      }
    }
  }

  void Block(const QTextBlock& block, int depth) {
    Indent(depth);
    const QTextBlockFormat f = block.blockFormat();
    out_ += "P align=" + std::to_string(int(f.alignment() & Qt::AlignHorizontal_Mask));
    if (!block.textList()) {
      if (f.leftMargin() != 0) out_ += " left=" + Num(f.leftMargin());
      if (f.textIndent() != 0) out_ += " first=" + Num(f.textIndent());
    }
    if (f.rightMargin() != 0) out_ += " right=" + Num(f.rightMargin());
    if (f.topMargin() != 0) out_ += " before=" + Num(f.topMargin());
    if (f.bottomMargin() != 0) out_ += " after=" + Num(f.bottomMargin());
    if (f.lineHeightType() != QTextBlockFormat::SingleHeight) {
      out_ += " line=" + std::to_string(f.lineHeightType()) + ":" + Num(f.lineHeight());
    }
    if (f.nonBreakableLines()) out_ += " keep";
    if (f.boolProperty(kKeepWithNext)) out_ += " keepnext";
    if (f.pageBreakPolicy() != QTextFormat::PageBreak_Auto)
      out_ += " break=" + std::to_string(f.pageBreakPolicy());
    if (f.hasProperty(QTextFormat::BackgroundBrush)) out_ += " shading=" + Color(f.background());
    for (int side : {kBorderTop, kBorderBottom, kBorderLeft, kBorderRight}) {
      if (!f.hasProperty(side)) continue;
      QPen pen = f.penProperty(side);
      out_ += " border" + std::to_string(side - kBorderTop) + "=" + Num(pen.widthF()) + ":" +
              std::to_string(pen.style()) + ":" + pen.color().name().toStdString();
    }
    if (f.hasProperty(kBorderSpacing)) out_ += " brsp=" + Num(f.doubleProperty(kBorderSpacing));
    for (const QTextOption::Tab& tab : f.tabPositions()) {
      out_ += " tab=" + std::to_string(tab.type) + "@" + Num(tab.position);
    }
    if (const QTextList* list = block.textList()) {
      auto [it, inserted] = lists_.emplace(list, static_cast<int>(lists_.size()));
      QTextListFormat lf = list->format();
      out_ += " list=" + std::to_string(it->second) + ":" + std::to_string(lf.style()) + ":" +
              std::to_string(lf.indent()) + ":" + lf.numberPrefix().toStdString() + "#" +
              lf.numberSuffix().toStdString();
      if (lf.hasProperty(kListStart)) out_ += ":start" + std::to_string(lf.intProperty(kListStart));
    }
    out_ += "\n";
    Indent(depth + 1);
    out_ += "mark: ";
    if (IsFirstBlockOfCell(block)) {
      out_ += "cell";
    } else {
      CharFormat(block.charFormat());
    }
    out_ += "\n";
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      QTextFragment fragment = it.fragment();
      Indent(depth + 1);
      out_ += "\"" + fragment.text().toStdString() + "\" ";
      CharFormat(fragment.charFormat());
      out_ += "\n";
    }
  }

  void Table(const QTextTable* table, int depth) {
    Indent(depth);
    QTextTableFormat f = table->format();
    out_ += "TABLE " + std::to_string(table->rows()) + "x" + std::to_string(table->columns());
    for (const QTextLength& length : f.columnWidthConstraints()) {
      out_ += " w=" + Num(length.rawValue());
    }
    out_ += "\n";
    for (int r = 0; r < table->rows(); ++r) {
      for (int c = 0; c < table->columns(); ++c) {
        QTextTableCell cell = table->cellAt(r, c);
        if (cell.row() != r || cell.column() != c) continue;
        QTextTableCellFormat cf = cell.format().toTableCellFormat();
        Indent(depth + 1);
        out_ += "CELL " + std::to_string(r) + "," + std::to_string(c) +
                " span=" + std::to_string(cell.rowSpan()) + "x" + std::to_string(cell.columnSpan());
        if (cf.verticalAlignment() != QTextCharFormat::AlignNormal)
          out_ += " valign=" + std::to_string(cf.verticalAlignment());
        if (cf.hasProperty(QTextFormat::BackgroundBrush)) out_ += " bg=" + Color(cf.background());
        if (cf.hasProperty(QTextFormat::TableCellTopBorder)) {
          out_ += " borders=" + Num(cf.topBorder()) + "/" + Num(cf.leftBorder()) + "/" +
                  Num(cf.bottomBorder()) + "/" + Num(cf.rightBorder()) + ":" +
                  std::to_string(cf.topBorderStyle()) + ":" + Color(cf.topBorderBrush());
        }
        out_ += "\n";
        for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) Item(it, depth + 2);
      }
    }
  }

  void Item(QTextFrame::iterator it, int depth) {
    if (QTextFrame* child = it.currentFrame()) {
      if (auto* table = qobject_cast<QTextTable*>(child)) {
        Table(table, depth);
      } else {
        Frame(child, depth);
      }
    } else {
      Block(it.currentBlock(), depth);
    }
  }

  void Frame(const QTextFrame* frame, int depth) {
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) Item(it, depth);
  }

  const QTextDocument& doc_;
  std::string out_;
  std::map<const QTextList*, int> lists_;
};

}  // namespace

std::string DumpDocument(const QTextDocument& doc) {
  return Dumper(doc).Dump();
}

std::string NormalizeText(const QString& text) {
  return text.simplified().toStdString();
}

}  // namespace tollmark::io::testing
