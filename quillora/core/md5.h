// MD5 message digest (RFC 1321), one-shot and incremental.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillora {

using TMD5Digest = std::array<uint8_t, 16>;

class TMD5Context {
 public:
  TMD5Context() { Init(); }
  void Init();
  void Update(const void* Data, size_t Length);
  void Update(std::string_view Data) { Update(Data.data(), Data.size()); }
  TMD5Digest Final();

 private:
  void Transform(const uint8_t* Block);
  uint32_t state_[4];
  uint64_t bit_count_ = 0;
  uint8_t buffer_[64];
};

TMD5Digest MD5(const void* Data, size_t Length);
inline TMD5Digest MD5(std::string_view Data) { return MD5(Data.data(), Data.size()); }

// 32 lower-case hexadecimal digits.
std::string MD5Print(const TMD5Digest& Digest);

}  // namespace quillora
