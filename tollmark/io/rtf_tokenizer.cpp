#include "tollmark/io/rtf_tokenizer.h"

#include <limits>

namespace tollmark::io {
namespace {

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

RtfToken RtfTokenizer::Next() {
  RtfToken token;
  const size_t size = data_.size();
  // Line ends carry no meaning in RTF; NUL bytes are garbage.
  while (pos_ < size && (data_[pos_] == '\r' || data_[pos_] == '\n' || data_[pos_] == '\0')) ++pos_;
  if (pos_ >= size) return token;

  const char c = data_[pos_];
  if (c == '{') {
    ++pos_;
    token.kind = RtfToken::kGroupStart;
    return token;
  }
  if (c == '}') {
    ++pos_;
    token.kind = RtfToken::kGroupEnd;
    return token;
  }
  if (c != '\\') {
    size_t start = pos_;
    while (pos_ < size) {
      char d = data_[pos_];
      if (d == '\\' || d == '{' || d == '}' || d == '\r' || d == '\n' || d == '\0') break;
      ++pos_;
    }
    token.kind = RtfToken::kText;
    token.text = data_.substr(start, pos_ - start);
    return token;
  }

  ++pos_;  // the backslash
  if (pos_ >= size) {
    token.kind = RtfToken::kSymbol;
    token.symbol = '\\';
    return token;
  }
  const char n = data_[pos_];
  if (IsLetter(n)) {
    size_t start = pos_;
    while (pos_ < size && IsLetter(data_[pos_])) ++pos_;
    token.kind = RtfToken::kWord;
    token.text = data_.substr(start, pos_ - start);
    bool negative = false;
    if (pos_ + 1 < size && data_[pos_] == '-' && IsDigit(data_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    if (pos_ < size && IsDigit(data_[pos_])) {
      int64_t value = 0;
      while (pos_ < size && IsDigit(data_[pos_])) {
        if (value <= std::numeric_limits<int32_t>::max()) value = value * 10 + (data_[pos_] - '0');
        ++pos_;
      }
      if (negative) value = -value;
      if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
      if (value < std::numeric_limits<int32_t>::min()) value = std::numeric_limits<int32_t>::min();
      token.hasParam = true;
      token.param = static_cast<int32_t>(value);
    }
    if (pos_ < size && data_[pos_] == ' ') ++pos_;
    return token;
  }
  if (n == '\'') {
    ++pos_;
    int hi = pos_ < size ? HexValue(data_[pos_]) : -1;
    int lo = pos_ + 1 < size ? HexValue(data_[pos_ + 1]) : -1;
    if (hi >= 0 && lo >= 0) {
      pos_ += 2;
      token.kind = RtfToken::kHex;
      token.hex = static_cast<unsigned char>(hi * 16 + lo);
      return token;
    }
    if (hi >= 0) ++pos_;  // one digit only: take what there is
    token.kind = RtfToken::kHex;
    token.hex = static_cast<unsigned char>(hi >= 0 ? hi : '?');
    return token;
  }
  ++pos_;
  token.kind = RtfToken::kSymbol;
  // "\<newline>" is a paragraph mark, like \par.
  token.symbol = (n == '\r' || n == '\n') ? '\n' : n;
  if (n == '\r' && pos_ < size && data_[pos_] == '\n') ++pos_;
  return token;
}

std::string_view RtfTokenizer::ReadBinary(int64_t count) {
  if (count <= 0) return {};
  size_t available = data_.size() - pos_;
  size_t n = static_cast<uint64_t>(count) < available ? static_cast<size_t>(count) : available;
  std::string_view bytes = data_.substr(pos_, n);
  pos_ += n;
  return bytes;
}

}  // namespace tollmark::io
