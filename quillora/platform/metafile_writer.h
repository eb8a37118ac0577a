// Appends EMF records to one growing byte buffer (little-endian fields).
// Internal to the recording canvas.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "quillora/core/exception.h"

namespace quillora::emf {

class TRecordWriter {
 public:
  std::string& Buffer() { return FBuffer; }
  size_t Size() const { return FBuffer.size(); }
  uint32_t Records() const { return FRecords; }

  // Starts a record of Size bytes (a multiple of 4), zero-filled, and
  // returns its offset; fields are then stored relative to it.
  size_t Begin(uint32_t Type, uint64_t Size) {
    if (Size > kMaxRecordSize || FBuffer.size() + Size > kMaxMetafileSize)
      throw Exception("Metafile too large");
    const size_t At = FBuffer.size();
    FBuffer.resize(At + Size);
    Put32(At, Type);
    Put32(At + 4, static_cast<uint32_t>(Size));
    ++FRecords;
    return At;
  }

  void Put32(size_t At, uint32_t V) {
    char* P = FBuffer.data() + At;
    P[0] = static_cast<char>(V);
    P[1] = static_cast<char>(V >> 8);
    P[2] = static_cast<char>(V >> 16);
    P[3] = static_cast<char>(V >> 24);
  }
  void PutI32(size_t At, int32_t V) { Put32(At, static_cast<uint32_t>(V)); }
  void Put16(size_t At, uint16_t V) {
    char* P = FBuffer.data() + At;
    P[0] = static_cast<char>(V);
    P[1] = static_cast<char>(V >> 8);
  }
  void PutF32(size_t At, float F) {
    uint32_t Bits;
    std::memcpy(&Bits, &F, 4);
    Put32(At, Bits);
  }
  void Put8(size_t At, uint8_t V) { FBuffer[At] = static_cast<char>(V); }
  void PutBytes(size_t At, const void* Data, size_t Count) {
    if (Count) std::memcpy(FBuffer.data() + At, Data, Count);
  }
  uint8_t* At(size_t Offset) { return reinterpret_cast<uint8_t*>(FBuffer.data() + Offset); }

  static constexpr uint64_t Align4(uint64_t N) { return (N + 3) & ~uint64_t{3}; }

  // Records and the whole metafile must fit the format's 32-bit sizes.
  static constexpr uint64_t kMaxRecordSize = 0x7FFFFFF0;
  static constexpr uint64_t kMaxMetafileSize = 0xFFFFFFF0;

 private:
  std::string FBuffer;
  uint32_t FRecords = 0;
};

}  // namespace quillora::emf
