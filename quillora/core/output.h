// The byte sink of a document: a buffered temporary file beside the target
// (renamed over it when finished) or a memory buffer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillora {

class TOutput {
 public:
  TOutput() = default;
  ~TOutput();
  TOutput(const TOutput&) = delete;
  TOutput& operator=(const TOutput&) = delete;

  // Creates a new temporary file in the folder of Target. Raises Exception
  // with the system's reason when it cannot be created.
  void OpenFile(const std::string& Target);
  // Keeps everything in memory (Memory() gives it back).
  void OpenMemory();

  void Write(std::string_view Bytes) {
    buffer_.append(Bytes);
    if (fd_ >= 0 && buffer_.size() >= kFlushSize) Flush();
  }
  int64_t Position() const { return flushed_ + static_cast<int64_t>(buffer_.size()); }
  bool IsOpen() const { return open_; }
  const std::string& Memory() const { return buffer_; }

  // Flushes, syncs and renames the temporary file over the target.
  void Commit();
  // Closes and removes the temporary file, if any; the target is untouched.
  void Discard();

 private:
  static constexpr size_t kFlushSize = 1 << 20;
  void Flush();
  std::string buffer_;
  int64_t flushed_ = 0;
  int fd_ = -1;
  bool open_ = false;
  std::string target_;
  std::string temp_;
};

}  // namespace quillora
