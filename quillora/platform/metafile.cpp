#include "quillora/platform/metafile.h"

#include <cstdio>
#include <memory>

#include "quillora/core/exception.h"

namespace quillora {

namespace {

// Value * Numerator / Denominator rounded to the nearest integer, as GDI's
// MulDiv does (halves away from zero).
int MulDiv(int64_t Value, int64_t Numerator, int64_t Denominator) {
  if (Denominator == 0) return 0;
  int64_t P = Value * Numerator;
  const bool Negative = (P < 0) != (Denominator < 0);
  if (P < 0) P = -P;
  const int64_t D = Denominator < 0 ? -Denominator : Denominator;
  const int64_t Q = (P + D / 2) / D;
  return static_cast<int>(Negative ? -Q : Q);
}

struct FileCloser {
  void operator()(std::FILE* F) const { std::fclose(F); }
};

}  // namespace

void TMetafile::SetWidth(int Value) {
  FWidth = Value < 0 ? 0 : Value;
}
void TMetafile::SetHeight(int Value) {
  FHeight = Value < 0 ? 0 : Value;
}

int TMetafile::MMWidth(int PixelsPerInch) const {
  return MulDiv(FWidth, 2540, PixelsPerInch);
}
int TMetafile::MMHeight(int PixelsPerInch) const {
  return MulDiv(FHeight, 2540, PixelsPerInch);
}

void TMetafile::SetData(std::string Bytes) {
  const auto* P = reinterpret_cast<const uint8_t*>(Bytes.data());
  emf::TReader Reader(P, Bytes.size());
  // Walk the records once so that a file whose chain of sizes runs outside
  // the data is refused here rather than half-played later.
  emf::TRecord Record;
  while (Reader.Next(Record)) {
  }
  if (Reader.Truncated()) throw TPDFException("Broken metafile record");
  const emf::THeader& H = Reader.Header();
  FData = std::move(Bytes);
  FWidth = MulDiv(static_cast<int64_t>(H.FrameRight) - H.FrameLeft, kScreenPixelsPerInch, 2540);
  FHeight = MulDiv(static_cast<int64_t>(H.FrameBottom) - H.FrameTop, kScreenPixelsPerInch, 2540);
  if (FWidth < 0) FWidth = 0;
  if (FHeight < 0) FHeight = 0;
}

void TMetafile::Clear() {
  FData.clear();
  FWidth = 0;
  FHeight = 0;
}

emf::THeader TMetafile::Header() const {
  if (FData.empty()) throw TPDFException("Not an enhanced metafile");
  return emf::TReader(reinterpret_cast<const uint8_t*>(FData.data()), FData.size()).Header();
}

void TMetafile::LoadFromFile(const std::string& FileName) {
  std::unique_ptr<std::FILE, FileCloser> F(std::fopen(FileName.c_str(), "rb"));
  if (!F) throw Exception("Cannot open file \"" + FileName + "\"");
  std::string Bytes;
  char Buffer[65536];
  size_t N;
  while ((N = std::fread(Buffer, 1, sizeof Buffer, F.get())) > 0) Bytes.append(Buffer, N);
  if (std::ferror(F.get())) throw Exception("Cannot read file \"" + FileName + "\"");
  SetData(std::move(Bytes));
}

void TMetafile::SaveToFile(const std::string& FileName) const {
  if (FData.empty()) throw TPDFException("Not an enhanced metafile");
  std::unique_ptr<std::FILE, FileCloser> F(std::fopen(FileName.c_str(), "wb"));
  if (!F) throw Exception("Cannot create file \"" + FileName + "\"");
  const bool Written = std::fwrite(FData.data(), 1, FData.size(), F.get()) == FData.size();
  if (!Written || std::fclose(F.release()) != 0)
    throw Exception("Cannot write file \"" + FileName + "\"");
}

}  // namespace quillora
