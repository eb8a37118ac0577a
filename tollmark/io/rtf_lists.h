// Mapping between RTF list levels (\levelnfc, \leveltext, the older \pn
// forms) and Qt list formats.
#pragma once

#include <QString>
#include <QTextListFormat>

namespace tollmark::io {

// One level of a \listtable list, or a \pn paragraph numbering.
struct RtfListLevel {
  int nfc = 0;    // \levelnfc: 0 decimal, 1 I, 2 i, 3 A, 4 a, 23 bullet, 255 none
  int start = 1;  // \levelstartat
  QString text;   // \leveltext after its length: the template
  bool operator==(const RtfListLevel&) const = default;
};

QTextListFormat ListFormatForLevel(const RtfListLevel& level, int ilvl);

int LevelNfcForStyle(QTextListFormat::Style style);
QString BulletForStyle(QTextListFormat::Style style);

}  // namespace tollmark::io
