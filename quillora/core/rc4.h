// RC4 stream cipher: a fresh key schedule per message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillora {

class TRC4 {
 public:
  // Raises Exception "RC4: Invalid key length" outside 1..256 bytes.
  TRC4(const uint8_t* Key, size_t KeyLength);
  // Encrypts (or decrypts) Length bytes in place.
  void Crypt(uint8_t* Data, size_t Length);
  void Crypt(std::string& Data) { Crypt(reinterpret_cast<uint8_t*>(Data.data()), Data.size()); }

 private:
  uint8_t s_[256];
  uint8_t i_ = 0;
  uint8_t j_ = 0;
};

}  // namespace quillora
