// Deflate stream: everything written to it reaches the destination as a
// zlib-format stream (what FlateDecode reads). The output is complete only
// after Finish() or destruction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillora {

enum TCompressionLevel { clNone, clFastest, clDefault, clMax };

class TCompressionStream {
 public:
  // Appends to Destination from its current end.
  TCompressionStream(TCompressionLevel Level, std::string& Destination);
  ~TCompressionStream();
  TCompressionStream(const TCompressionStream&) = delete;
  TCompressionStream& operator=(const TCompressionStream&) = delete;

  void Write(const void* Data, size_t Length);
  void Write(std::string_view Data) { Write(Data.data(), Data.size()); }
  // Finishes the zlib stream; further writes are refused.
  void Finish();

  // Reading is not supported: raises ECompressionError "Invalid stream operation".
  size_t Read(void* Buffer, size_t Count);
  // Seeking by 0 from the current position returns the bytes consumed so
  // far; any other seek raises "Invalid stream operation".
  enum TSeekOrigin { soBeginning, soCurrent, soEnd };
  int64_t Seek(int64_t Offset, TSeekOrigin Origin);

 private:
  void Flush(int mode);
  struct State;
  std::unique_ptr<State> state_;
  std::string& dest_;
  bool finished_ = false;
};

// One call: Data deflated into a new string.
std::string Deflate(std::string_view Data, TCompressionLevel Level = clDefault);

}  // namespace quillora
