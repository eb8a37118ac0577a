// The program's pictures, drawn in code: toolbar icons, the window icon and
// the about box's logo and banner.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace tollmark {

enum class IconId {
  kNew,
  kOpen,
  kSave,
  kSaveAsPdf,
  kPrintPreview,
  kPrint,
  kFind,
  kCut,
  kCopy,
  kPaste,
  kUndo,
  kRedo,
  kInsertPicture,
  kInsertTable,
  kBold,
  kItalic,
  kUnderline,
  kAlignLeft,
  kAlignCenter,
  kAlignRight,
  kAlignJustify,
  kBullets,
  kNumbering,
  kShrinkFont,
  kGrowFont,
  kTextColor,
  kTextBackground,
  kDecreaseIndent,
  kIncreaseIndent,
  kParagraphBackground,
  kBorderLeft,
  kBorderTop,
  kBorderRight,
  kBorderBottom,
  kBorderAll,
  kBorderNone,
  kInsertColumnLeft,
  kInsertColumnRight,
  kInsertRowAbove,
  kInsertRowBelow,
  kDeleteRows,
  kDeleteColumns,
  kDeleteTable,
  kSplitCells,
  kMergeCells,
};

QIcon CommandIcon(IconId id);
QIcon ApplicationIcon();
QPixmap AboutLogo(int size);
QPixmap AboutBanner(const QSize& size);

}  // namespace tollmark
