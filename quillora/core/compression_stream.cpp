#include "quillora/core/compression_stream.h"

#include <zlib.h>

#include "quillora/core/exception.h"

namespace quillora {

namespace {
constexpr size_t kBufferSize = 65536;

int ZlibLevel(TCompressionLevel level) {
  switch (level) {
    case clNone: return 0;
    case clFastest: return 1;
    case clMax: return 9;
    default: return Z_DEFAULT_COMPRESSION;
  }
}
}  // namespace

struct TCompressionStream::State {
  z_stream z{};
  unsigned char buffer[kBufferSize];
};

TCompressionStream::TCompressionStream(TCompressionLevel Level, std::string& Destination)
    : state_(std::make_unique<State>()), dest_(Destination) {
  if (deflateInit2(&state_->z, ZlibLevel(Level), Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) < 0)
    throw ECompressionError("Compression error");
  state_->z.next_out = state_->buffer;
  state_->z.avail_out = kBufferSize;
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (...) {
    // A destructor cannot report; callers that need the error call Finish().
  }
  deflateEnd(&state_->z);
}

void TCompressionStream::Flush(int mode) {
  z_stream& z = state_->z;
  for (;;) {
    int r = deflate(&z, mode);
    if (r < 0 && r != Z_BUF_ERROR) throw ECompressionError("Compression error");
    if (z.avail_out == 0) {
      dest_.append(reinterpret_cast<char*>(state_->buffer), kBufferSize);
      z.next_out = state_->buffer;
      z.avail_out = kBufferSize;
      continue;
    }
    if (mode == Z_FINISH ? r == Z_STREAM_END : z.avail_in == 0) break;
  }
}

void TCompressionStream::Write(const void* Data, size_t Length) {
  if (finished_) throw ECompressionError("Invalid stream operation");
  z_stream& z = state_->z;
  const Bytef* p = static_cast<const Bytef*>(Data);
  // zlib counts in 32 bits: feed huge buffers in pieces.
  while (Length > 0) {
    uInt piece = static_cast<uInt>(std::min<size_t>(Length, 1u << 30));
    z.next_in = const_cast<Bytef*>(p);
    z.avail_in = piece;
    Flush(Z_NO_FLUSH);
    p += piece;
    Length -= piece;
  }
}

void TCompressionStream::Finish() {
  if (finished_) return;
  finished_ = true;
  z_stream& z = state_->z;
  z.next_in = nullptr;
  z.avail_in = 0;
  Flush(Z_FINISH);
  dest_.append(reinterpret_cast<char*>(state_->buffer), kBufferSize - z.avail_out);
  z.next_out = state_->buffer;
  z.avail_out = kBufferSize;
}

size_t TCompressionStream::Read(void*, size_t) {
  throw ECompressionError("Invalid stream operation");
}

int64_t TCompressionStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  if (Offset == 0 && Origin == soCurrent) return static_cast<int64_t>(state_->z.total_in);
  throw ECompressionError("Invalid stream operation");
}

std::string Deflate(std::string_view Data, TCompressionLevel Level) {
  std::string out;
  TCompressionStream z(Level, out);
  z.Write(Data);
  z.Finish();
  return out;
}

}  // namespace quillora
