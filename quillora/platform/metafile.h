// TMetafile: the bytes of one enhanced metafile (EMF) and its picture size.
// A TMetafileCanvas records into it; it can also be loaded from and saved to
// a file, and its header read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "quillora/platform/emf_format.h"

namespace quillora {

class TMetafile {
 public:
  // Pixels per inch that relate Width and Height to the frame of a loaded
  // file: the screen's.
  static constexpr int kScreenPixelsPerInch = 96;

  TMetafile() = default;

  // The picture size in pixels of the reference device. Set before
  // recording, it becomes the recording's frame; a loaded file takes it from
  // the frame of its header.
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetWidth(int Value);
  void SetHeight(int Value);
  // The same size in 0.01 mm at PixelsPerInch.
  int MMWidth(int PixelsPerInch = kScreenPixelsPerInch) const;
  int MMHeight(int PixelsPerInch = kScreenPixelsPerInch) const;

  bool Empty() const { return FData.empty(); }
  // The whole metafile, header record first, EOF record last.
  const std::string& Data() const { return FData; }
  // Takes a complete metafile; raises TPDFException "Not an enhanced
  // metafile" or "Broken metafile header" when the bytes are not one, or
  // "Broken metafile record" when a record size runs outside the data.
  // Width and Height follow the header's frame.
  void SetData(std::string Bytes);
  void Clear();

  // The header fields; raises TPDFException when the metafile is empty.
  emf::THeader Header() const;

  // Raises Exception naming the file when it cannot be read or written.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName) const;

 private:
  friend class TMetafileCanvas;
  // Stores a recording the canvas finished; it is valid by construction.
  void AssignRecording(std::string&& Bytes) { FData = std::move(Bytes); }

  std::string FData;
  int FWidth = 0;
  int FHeight = 0;
};

}  // namespace quillora
