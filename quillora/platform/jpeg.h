// JPEG pictures over libjpeg-turbo: JPEG file data that can be decoded into
// a bitmap, and bitmaps encoded as baseline or progressive JPEG.
#pragma once

#include <string>

#include "quillora/platform/bitmap.h"

namespace quillora {

class TJPEGImage : public TGraphic {
 public:
  TJPEGImage() = default;

  // Takes JPEG file data; the header is read at once. Raises Exception
  // "Invalid JPEG data: ..." for data libjpeg refuses and "Bitmap too large"
  // for dimensions beyond the bitmap limits.
  void LoadFromData(std::string Data);
  // Encodes the bitmap with the current quality and progressive setting.
  void Assign(const TBitmap& Bitmap);

  int CompressionQuality() const { return quality_; }
  // 1 to 100; other values are clamped.
  void SetCompressionQuality(int Quality);
  // When set, Assign encodes one gray component.
  void SetGrayscale(bool Value) { gray_encoding_ = Value; }
  bool ProgressiveEncoding() const { return progressive_; }
  void SetProgressiveEncoding(bool Value) { progressive_ = Value; }

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const { return data_.empty(); }
  // Colour components of the data: 1 gray, 3 colour (YCbCr or RGB), 4 CMYK.
  int Components() const { return components_; }
  bool Grayscale() const { return components_ == 1; }
  const std::string& Data() const { return data_; }

  // Decodes into a 24-bit bitmap (gray and CMYK data converted to RGB).
  TBitmap ToBitmap() const;

 private:
  std::string data_;
  int width_ = 0;
  int height_ = 0;
  int components_ = 0;
  int quality_ = 75;
  bool progressive_ = false;
  bool gray_encoding_ = false;
};

}  // namespace quillora
