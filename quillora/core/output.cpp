#include "quillora/core/output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "quillora/core/exception.h"

namespace quillora {

namespace {

std::string FileError(const std::string& what, const std::string& name) {
  return what + " \"" + name + "\". " + std::strerror(errno);
}

}  // namespace

TOutput::~TOutput() { Discard(); }

void TOutput::OpenFile(const std::string& Target) {
  Discard();
  if (Target.empty()) {
    errno = ENOENT;
    throw Exception(FileError("Cannot create file", Target));
  }
  // A fresh name beside the target, so that the final rename is atomic and
  // the file already standing there survives until the document is complete.
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".~%08x", rd());
    std::string name = Target + suffix;
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      fd_ = fd;
      temp_ = name;
      target_ = Target;
      open_ = true;
      buffer_.clear();
      flushed_ = 0;
      return;
    }
    if (errno != EEXIST) break;
  }
  throw Exception(FileError("Cannot create file", Target));
}

void TOutput::OpenMemory() {
  Discard();
  buffer_.clear();
  flushed_ = 0;
  open_ = true;
}

void TOutput::Flush() {
  const char* p = buffer_.data();
  size_t left = buffer_.size();
  while (left > 0) {
    ssize_t n = ::write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw Exception(FileError("Cannot write file", temp_));
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  flushed_ += static_cast<int64_t>(buffer_.size());
  buffer_.clear();
}

void TOutput::Commit() {
  if (fd_ < 0) return;
  Flush();
  if (::fsync(fd_) != 0 && errno != EINVAL)
    throw Exception(FileError("Cannot write file", temp_));
  if (::close(fd_) != 0) {
    fd_ = -1;
    throw Exception(FileError("Cannot write file", temp_));
  }
  fd_ = -1;
  if (std::rename(temp_.c_str(), target_.c_str()) != 0)
    throw Exception(FileError("Cannot create file", target_));
  temp_.clear();
  open_ = false;
}

void TOutput::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
  buffer_.clear();
  buffer_.shrink_to_fit();
  flushed_ = 0;
  open_ = false;
}

}  // namespace quillora
