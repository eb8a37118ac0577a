// The standard security handler: permissions, owner and user entries, the
// file key and the per-object keys (revision 2 with 40-bit keys, revision 3
// with 128-bit keys).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "quillora/core/types.h"

namespace quillora {

using TEntry32 = std::array<uint8_t, 32>;
using TFileID = std::array<uint8_t, 16>;

extern const TEntry32 kPasswordPadding;

// The /P value.
int32_t ComputePermissionFlags(TPDFCtiptoOptions Options, TPDFKeyLength KeyLength);

// The password truncated to 32 bytes and completed with the padding string.
TEntry32 PadPassword(std::string_view Password);

// The /O value.
TEntry32 ComputeOwnerEntry(std::string_view OwnerPassword, std::string_view UserPassword,
                           TPDFKeyLength KeyLength);

// The file key: 5 bytes for kl40, 16 for kl128 (the rest of the array unused).
struct TEncryptionKey {
  std::array<uint8_t, 16> Bytes{};
  int Length = 0;
};
TEncryptionKey ComputeEncryptionKey(std::string_view UserPassword, const TEntry32& OwnerEntry,
                                    int32_t PermissionFlags, const TFileID& FileID,
                                    TPDFKeyLength KeyLength);

// The /U value. For revision 3 the last 16 bytes come from RandomByte, which
// must answer 32..231.
TEntry32 ComputeUserEntry(const TEncryptionKey& Key, const TFileID& FileID,
                          TPDFKeyLength KeyLength, const std::function<uint8_t()>& RandomByte);

// The RC4 key of one object's strings and streams (10 or 16 bytes used).
struct TObjectKey {
  std::array<uint8_t, 16> Bytes{};
  int Length = 0;
};
TObjectKey ComputeObjectKey(const TEncryptionKey& Key, int ObjectNumber);

// Reads 32 hexadecimal digits (the file identifier) into 16 bytes.
TFileID FileIDBytes(std::string_view Hex);

}  // namespace quillora
