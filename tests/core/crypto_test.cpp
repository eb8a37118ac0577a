#include <gtest/gtest.h>

#include "quillora/core/compression_stream.h"
#include "quillora/core/exception.h"
#include "quillora/core/md5.h"
#include "quillora/core/rc4.h"
#include "quillora/core/security.h"

#include <zlib.h>

namespace quillora {
namespace {

TEST(MD5, MatchesTheRfcTestSuite) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [text, digest] : cases) EXPECT_EQ(MD5Print(MD5(text)), digest) << text;
}

TEST(MD5, IncrementalEqualsOneShotAcrossBlockBoundaries) {
  std::string data(1000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31);
  for (size_t split : {0u, 1u, 55u, 56u, 63u, 64u, 65u, 999u}) {
    TMD5Context ctx;
    ctx.Update(data.data(), split);
    ctx.Update(data.data() + split, data.size() - split);
    EXPECT_EQ(ctx.Final(), MD5(data)) << split;
  }
}

TEST(RC4, MatchesPublishedVectors) {
  // Key "Key", plaintext "Plaintext" -> BBF316E8D940AF0AD3.
  std::string s = "Plaintext";
  TRC4(reinterpret_cast<const uint8_t*>("Key"), 3).Crypt(s);
  const uint8_t expected[] = {0xBB, 0xF3, 0x16, 0xE8, 0xD9, 0x40, 0xAF, 0x0A, 0xD3};
  ASSERT_EQ(s.size(), sizeof expected);
  for (size_t i = 0; i < s.size(); ++i) EXPECT_EQ(static_cast<uint8_t>(s[i]), expected[i]);
  // Encrypting twice with fresh states gives the plaintext back.
  TRC4(reinterpret_cast<const uint8_t*>("Key"), 3).Crypt(s);
  EXPECT_EQ(s, "Plaintext");
}

TEST(RC4, RefusesKeysOutsideOneTo256Bytes) {
  uint8_t key[257] = {};
  EXPECT_THROW(
      {
        try {
          TRC4(key, 0);
        } catch (const TPDFException&) {
          FAIL() << "must be the general class";
        }
      },
      Exception);
  try {
    TRC4(key, 257);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "RC4: Invalid key length");
  }
  EXPECT_NO_THROW(TRC4(key, 256));
}

TEST(Security, PermissionFlags) {
  TPDFCtiptoOptions all{coPrint,   coModifyStructure, coCopyInformation, coModifyAnnotation,
                        coPrintHi, coFillAnnotation,  coExtractInfo,     coAssemble};
  EXPECT_EQ(ComputePermissionFlags(all, kl40), -4);
  EXPECT_EQ(ComputePermissionFlags({}, kl40), -64);
  EXPECT_EQ(ComputePermissionFlags({}, kl128), -3904);
  EXPECT_EQ(ComputePermissionFlags(all, kl128), -4);
  EXPECT_EQ(ComputePermissionFlags({coPrint}, kl128), -3900);
  EXPECT_EQ(ComputePermissionFlags({coPrintHi}, kl40), -64);
}

TEST(Security, EmptyPasswordsRevision2) {
  // /O: RC4 of the padding with the first 5 bytes of MD5(padding).
  TEntry32 owner = ComputeOwnerEntry("", "", kl40);
  TMD5Digest d = MD5(kPasswordPadding.data(), 32);
  TEntry32 expected = kPasswordPadding;
  TRC4(d.data(), 5).Crypt(expected.data(), 32);
  EXPECT_EQ(owner, expected);

  TFileID id = FileIDBytes("000102030405060708090a0b0c0d0e0f");
  EXPECT_EQ(id[15], 0x0F);
  TEncryptionKey key = ComputeEncryptionKey("", owner, -64, id, kl40);
  EXPECT_EQ(key.Length, 5);
  TEntry32 user = ComputeUserEntry(key, id, kl40, [] { return uint8_t(0); });
  TEntry32 expected_user = kPasswordPadding;
  TRC4(key.Bytes.data(), 5).Crypt(expected_user.data(), 32);
  EXPECT_EQ(user, expected_user);
}

TEST(Security, PasswordsAreTruncatedTo32Bytes) {
  std::string long_password(40, 'x');
  for (int i = 0; i < 40; ++i) long_password[i] = static_cast<char>('A' + i % 26);
  std::string first32 = long_password.substr(0, 32);
  TFileID id{};
  for (TPDFKeyLength kl : {kl40, kl128}) {
    TEntry32 o1 = ComputeOwnerEntry("owner", long_password, kl);
    TEntry32 o2 = ComputeOwnerEntry("owner", first32, kl);
    EXPECT_EQ(o1, o2);
    EXPECT_EQ(ComputeEncryptionKey(long_password, o1, -4, id, kl).Bytes,
              ComputeEncryptionKey(first32, o2, -4, id, kl).Bytes);
  }
}

TEST(Security, Revision3UserEntryHasARandomTailInRange) {
  TFileID id = FileIDBytes("ffeeddccbbaa99887766554433221100");
  TEntry32 owner = ComputeOwnerEntry("o", "u", kl128);
  TEncryptionKey key = ComputeEncryptionKey("u", owner, -3904, id, kl128);
  EXPECT_EQ(key.Length, 16);
  int n = 0;
  auto counting = [&] { return static_cast<uint8_t>(32 + (n++ * 37) % 200); };
  TEntry32 a = ComputeUserEntry(key, id, kl128, counting);
  TEntry32 b = ComputeUserEntry(key, id, kl128, [] { return uint8_t(231); });
  EXPECT_TRUE(std::equal(a.begin(), a.begin() + 16, b.begin()));
  for (int i = 16; i < 32; ++i) {
    EXPECT_GE(a[i], 32);
    EXPECT_LE(a[i], 231);
    EXPECT_EQ(b[i], 231);
  }
}

TEST(Security, ObjectKeyLengths) {
  TEncryptionKey k40;
  k40.Length = 5;
  TEncryptionKey k128;
  k128.Length = 16;
  EXPECT_EQ(ComputeObjectKey(k40, 7).Length, 10);
  EXPECT_EQ(ComputeObjectKey(k128, 7).Length, 16);
  EXPECT_NE(ComputeObjectKey(k40, 7).Bytes, ComputeObjectKey(k40, 8).Bytes);
}

std::string Inflate(const std::string& data) {
  z_stream z{};
  inflateInit(&z);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  std::string out;
  char buf[16384];
  int r;
  do {
    z.next_out = reinterpret_cast<Bytef*>(buf);
    z.avail_out = sizeof buf;
    r = inflate(&z, Z_NO_FLUSH);
    out.append(buf, sizeof buf - z.avail_out);
  } while (r == Z_OK);
  inflateEnd(&z);
  EXPECT_EQ(r, Z_STREAM_END);
  return out;
}

TEST(CompressionStream, ProducesZlibStreamsAcrossBufferBoundaries) {
  std::string input;
  for (uint64_t i = 0; i < 300000; ++i) input += static_cast<char>((i * i) % 251);
  for (TCompressionLevel level : {clNone, clFastest, clDefault, clMax}) {
    std::string out = "prefix";
    {
      TCompressionStream z(level, out);
      for (size_t at = 0; at < input.size(); at += 7777)
        z.Write(input.data() + at, std::min<size_t>(7777, input.size() - at));
      EXPECT_EQ(z.Seek(0, TCompressionStream::soCurrent), static_cast<int64_t>(input.size()));
    }
    ASSERT_EQ(out.substr(0, 6), "prefix");
    EXPECT_EQ(static_cast<uint8_t>(out[6]), 0x78);  // zlib header
    EXPECT_TRUE(Inflate(out.substr(6)) == input) << level;
  }
}

TEST(CompressionStream, RefusesReadingAndSeeking) {
  std::string out;
  TCompressionStream z(clDefault, out);
  char buf[4];
  try {
    z.Read(buf, 4);
    FAIL();
  } catch (const ECompressionError& e) {
    EXPECT_STREQ(e.what(), "Invalid stream operation");
  }
  EXPECT_THROW(z.Seek(1, TCompressionStream::soCurrent), ECompressionError);
  EXPECT_THROW(z.Seek(0, TCompressionStream::soBeginning), ECompressionError);
}

TEST(CompressionStream, EmptyInputIsAValidStream) {
  EXPECT_EQ(Inflate(Deflate("")), "");
}

}  // namespace
}  // namespace quillora
