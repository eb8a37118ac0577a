#include "quillora/core/rc4.h"

#include <utility>

#include "quillora/core/exception.h"

namespace quillora {

TRC4::TRC4(const uint8_t* Key, size_t KeyLength) {
  if (KeyLength < 1 || KeyLength > 256) throw Exception("RC4: Invalid key length");
  for (int k = 0; k < 256; ++k) s_[k] = static_cast<uint8_t>(k);
  uint8_t j = 0;
  for (int k = 0; k < 256; ++k) {
    j = static_cast<uint8_t>(j + s_[k] + Key[k % KeyLength]);
    std::swap(s_[k], s_[j]);
  }
}

void TRC4::Crypt(uint8_t* Data, size_t Length) {
  uint8_t i = i_, j = j_;
  for (size_t n = 0; n < Length; ++n) {
    i = static_cast<uint8_t>(i + 1);
    j = static_cast<uint8_t>(j + s_[i]);
    std::swap(s_[i], s_[j]);
    Data[n] ^= s_[static_cast<uint8_t>(s_[i] + s_[j])];
  }
  i_ = i;
  j_ = j;
}

}  // namespace quillora
