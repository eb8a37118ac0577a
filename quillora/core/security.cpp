#include "quillora/core/security.h"

#include <algorithm>
#include <cstring>

#include "quillora/core/md5.h"
#include "quillora/core/rc4.h"
#include "quillora/core/tokens.h"

namespace quillora {

const TEntry32 kPasswordPadding = {0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41,
                                   0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
                                   0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80,
                                   0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

int32_t ComputePermissionFlags(TPDFCtiptoOptions Options, TPDFKeyLength KeyLength) {
  const bool strong = KeyLength == kl128;
  int32_t p = strong ? -3904 : -64;
  if (Options.Contains(coPrint)) p += 4;
  if (Options.Contains(coModifyStructure)) p += 8;
  if (Options.Contains(coCopyInformation)) p += 16;
  if (Options.Contains(coModifyAnnotation)) p += 32;
  if (strong) {
    if (Options.Contains(coPrintHi)) p += 2048;
    if (Options.Contains(coFillAnnotation)) p += 256;
    if (Options.Contains(coExtractInfo)) p += 512;
    if (Options.Contains(coAssemble)) p += 1024;
  }
  return p;
}

TEntry32 PadPassword(std::string_view Password) {
  TEntry32 r;
  size_t n = std::min<size_t>(Password.size(), 32);
  std::memcpy(r.data(), Password.data(), n);
  std::memcpy(r.data() + n, kPasswordPadding.data(), 32 - n);
  return r;
}

TEntry32 ComputeOwnerEntry(std::string_view OwnerPassword, std::string_view UserPassword,
                           TPDFKeyLength KeyLength) {
  const bool r3 = KeyLength == kl128;
  TEntry32 owner = PadPassword(OwnerPassword);
  TMD5Digest digest = MD5(owner.data(), owner.size());
  if (r3)
    for (int i = 0; i < 50; ++i) digest = MD5(digest.data(), digest.size());
  const int key_length = r3 ? 16 : 5;
  TEntry32 entry = PadPassword(UserPassword);
  TRC4(digest.data(), key_length).Crypt(entry.data(), entry.size());
  if (r3) {
    for (int i = 1; i <= 19; ++i) {
      uint8_t key[16];
      for (int k = 0; k < 16; ++k) key[k] = digest[k] ^ static_cast<uint8_t>(i);
      TRC4(key, 16).Crypt(entry.data(), entry.size());
    }
  }
  return entry;
}

TEncryptionKey ComputeEncryptionKey(std::string_view UserPassword, const TEntry32& OwnerEntry,
                                    int32_t PermissionFlags, const TFileID& FileID,
                                    TPDFKeyLength KeyLength) {
  const bool r3 = KeyLength == kl128;
  TMD5Context ctx;
  TEntry32 user = PadPassword(UserPassword);
  ctx.Update(user.data(), user.size());
  ctx.Update(OwnerEntry.data(), OwnerEntry.size());
  uint32_t p = static_cast<uint32_t>(PermissionFlags);
  uint8_t pbytes[4] = {static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 8),
                       static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 24)};
  ctx.Update(pbytes, 4);
  ctx.Update(FileID.data(), FileID.size());
  TMD5Digest digest = ctx.Final();
  if (r3)
    for (int i = 0; i < 50; ++i) digest = MD5(digest.data(), digest.size());
  TEncryptionKey key;
  key.Length = r3 ? 16 : 5;
  std::memcpy(key.Bytes.data(), digest.data(), key.Length);
  return key;
}

TEntry32 ComputeUserEntry(const TEncryptionKey& Key, const TFileID& FileID,
                          TPDFKeyLength KeyLength, const std::function<uint8_t()>& RandomByte) {
  TEntry32 entry;
  if (KeyLength != kl128) {
    entry = kPasswordPadding;
    TRC4(Key.Bytes.data(), Key.Length).Crypt(entry.data(), entry.size());
    return entry;
  }
  TMD5Context ctx;
  ctx.Update(kPasswordPadding.data(), kPasswordPadding.size());
  ctx.Update(FileID.data(), FileID.size());
  TMD5Digest digest = ctx.Final();
  for (int i = 0; i <= 19; ++i) {
    uint8_t key[16];
    for (int k = 0; k < 16; ++k) key[k] = Key.Bytes[k] ^ static_cast<uint8_t>(i);
    TRC4(key, 16).Crypt(digest.data(), digest.size());
  }
  std::memcpy(entry.data(), digest.data(), 16);
  for (int k = 16; k < 32; ++k) entry[k] = RandomByte();
  return entry;
}

TObjectKey ComputeObjectKey(const TEncryptionKey& Key, int ObjectNumber) {
  uint8_t material[21];
  std::memcpy(material, Key.Bytes.data(), Key.Length);
  uint32_t n = static_cast<uint32_t>(ObjectNumber);
  material[Key.Length] = static_cast<uint8_t>(n);
  material[Key.Length + 1] = static_cast<uint8_t>(n >> 8);
  material[Key.Length + 2] = static_cast<uint8_t>(n >> 16);
  material[Key.Length + 3] = 0;
  material[Key.Length + 4] = 0;
  TMD5Digest digest = MD5(material, Key.Length + 5);
  TObjectKey r;
  r.Length = Key.Length == 16 ? 16 : 10;
  std::memcpy(r.Bytes.data(), digest.data(), r.Length);
  return r;
}

TFileID FileIDBytes(std::string_view Hex) {
  std::string bytes = HexToBytes(Hex.substr(0, std::min<size_t>(Hex.size(), 32)));
  TFileID id{};
  std::copy(bytes.begin(), bytes.end(), id.begin());
  return id;
}

}  // namespace quillora
