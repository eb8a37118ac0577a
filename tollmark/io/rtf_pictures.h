// RTF pictures: decoding \pict data into an image the editor can show, and
// choosing the bytes the writer puts back.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QTextImageFormat>

class QTextDocument;

namespace tollmark::io {

struct RtfPictureSource {
  enum Blip { kUnknown, kPng, kJpeg, kEmf, kWmf, kDib, kWbitmap, kOther };
  Blip blip = kUnknown;
  QByteArray data;
  int picw = 0, pich = 0;          // pixels; hundredths of a millimetre for metafiles
  int goalw = 0, goalh = 0;        // twips
  int scalex = 100, scaley = 100;  // percent
  int wbmBitsPixel = 1, wbmWidthBytes = 0;
};

// Fills the picture to show and its format (size in pixels at 96 dpi, and the
// original bytes for PNG, JPEG and metafiles). Metafiles, and anything that
// does not decode, show as a grey placeholder of the picture's size.
void DecodePicture(const RtfPictureSource& source, QImage& image, QTextImageFormat& format);

struct RtfPictureOut {
  const char* blip = "\\pngblip";
  QByteArray data;
  int picw = 0, pich = 0;  // in the blip's own units
};

// The bytes to write for an image in `doc`: what was read, unchanged, when the
// format carries it; otherwise the resource as PNG. False when the image
// cannot be found.
bool EncodePicture(const QTextDocument& doc, const QTextImageFormat& format, RtfPictureOut& out);

}  // namespace tollmark::io
