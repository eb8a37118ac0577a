#include "tollmark/app/print_document.h"

#include "tollmark/io/document_io.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <memory>

namespace tollmark {
namespace {

// The layout works in pixels of this density, like the screen; the painter
// scales to the printer's.
constexpr qreal kLayoutDpi = 96;

bool HasBorders(const QTextBlockFormat& format) {
  return format.hasProperty(io::kBorderTop) || format.hasProperty(io::kBorderBottom) ||
         format.hasProperty(io::kBorderLeft) || format.hasProperty(io::kBorderRight);
}

}  // namespace

int PrintDocument(const QTextDocument& doc, QPrinter& printer) {
  std::unique_ptr<QTextDocument> copy(io::CloneDocument(doc));
  const QRectF body = printer.pageLayout().paintRect(QPageLayout::Inch);
  const QSizeF page(body.width() * kLayoutDpi, body.height() * kLayoutDpi);
  copy->setDocumentMargin(0);
  copy->setPageSize(page);
  const int pages = copy->pageCount();

  QPainter painter(&printer);
  if (!painter.isActive()) return 0;
  const qreal scale = printer.resolution() / kLayoutDpi;
  painter.scale(scale, scale);
  QAbstractTextDocumentLayout* layout = copy->documentLayout();
  for (int i = 0; i < pages; ++i) {
    if (i > 0) printer.newPage();
    const QRectF clip(0, i * page.height(), page.width(), page.height());
    painter.save();
    painter.translate(0, -clip.top());
    painter.setClipRect(clip);
    copy->drawContents(&painter, clip);
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
      if (!HasBorders(block.blockFormat())) continue;
      const QRectF rect = layout->blockBoundingRect(block);
      if (rect.intersects(clip))
        io::PaintBlockBorders(painter, rect, block.blockFormat(), kLayoutDpi);
    }
    painter.restore();
  }
  return pages;
}

}  // namespace tollmark
