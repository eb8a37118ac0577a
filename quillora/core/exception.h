// The library's error classes. Messages are fixed English texts.
#pragma once

#include <stdexcept>
#include <string>

namespace quillora {

// The general error class: RC4, the CCITT encoder, the TrueType readers and
// the bitmap readers raise it with their own texts.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// Every error of the document, page and font objects.
class TPDFException : public Exception {
 public:
  using Exception::Exception;
};

// Errors of the deflate stream.
class EZlibError : public Exception {
 public:
  using Exception::Exception;
};

class ECompressionError : public EZlibError {
 public:
  using EZlibError::EZlibError;
};

}  // namespace quillora
