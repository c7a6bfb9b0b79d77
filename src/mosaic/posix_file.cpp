#include "posix_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace mozenta {

PosixFile::~PosixFile() {
  if (fd_ >= 0) ::close(fd_);
}

int PosixFile::Create(const std::string& fileName) {
  if (fd_ >= 0) Close();
  // The C call would stop at an embedded NUL and create a file of another name.
  if (fileName.find('\0') != std::string::npos) return ENOENT;
  int fd;
  // Without O_NONBLOCK, creating over a named pipe would wait for a reader that may never come; with it,
  // a pipe nobody reads fails at once (ENXIO). Writes block again as usual afterwards.
  do {
    fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  fd_ = fd;
  return 0;
}

int PosixFile::WriteAll(const void* data, std::size_t size) {
  if (fd_ < 0) return EBADF;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(fd_, p, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return EIO;  // no progress and no error: give up instead of spinning
    p += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

int PosixFile::Close() {
  if (fd_ < 0) return 0;
  const int fd = fd_;
  fd_ = -1;
  // The descriptor is gone after close() whatever it returns, so it is never retried (EINTR included).
  if (::close(fd) != 0 && errno != EINTR) return errno;
  return 0;
}

}  // namespace mozenta
