#include "input_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "errors.h"

namespace mozenta {

InputFile::InputFile(const std::string& fileName) {
  // Without O_NONBLOCK, opening a named pipe would wait for a writer that may never come.
  fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat status {};
  if (fd_ >= 0 && (::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode))) Close();
  if (fd_ < 0) throw EFOpenError(MessageText(MessageId::kCannotOpenFile, fileName));
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  // Others may read the file while it is open but should not write it: a shared advisory lock says so to
  // programs that ask.
  ::flock(fd_, LOCK_SH | LOCK_NB);
  size_ = static_cast<std::uint64_t>(status.st_size);
}

InputFile InputFile::FromBytes(std::vector<std::uint8_t> bytes) {
  InputFile file;
  file.memory_ = std::move(bytes);
  file.size_ = file.memory_.size();
  return file;
}

InputFile::~InputFile() {
  Close();
}

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      memory_(std::move(other.memory_)),
      size_(other.size_),
      position_(other.position_),
      viewsAllowed_(other.viewsAllowed_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    memory_ = std::move(other.memory_);
    size_ = other.size_;
    position_ = other.position_;
    viewsAllowed_ = other.viewsAllowed_;
  }
  return *this;
}

void InputFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::size_t InputFile::Read(void* buffer, std::size_t count) {
  const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(count, Remaining()));
  if (wanted == 0) return 0;
  if (fd_ < 0) {
    std::memcpy(buffer, memory_.data() + position_, wanted);
    position_ += wanted;
    return wanted;
  }
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < wanted) {
    const ssize_t got = ::pread(fd_, out + done, wanted - done, static_cast<off_t>(position_ + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw EReadError(MessageText(MessageId::kReadError));
    if (got == 0) break;  // the file shrank since it was opened
    done += static_cast<std::size_t>(got);
  }
  position_ += done;
  return done;
}

void InputFile::ReadExact(void* buffer, std::size_t count) {
  if (Read(buffer, count) != count) throw EReadError(MessageText(MessageId::kReadError));
}

std::vector<std::uint8_t> InputFile::ReadToVector(std::uint64_t limit) {
  const std::uint64_t count = std::min(limit, Remaining());
  if (count > kMaxInMemoryFileBytes) throw EStreamError(MessageText(MessageId::kStreamOutOfMemory));
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    throw EStreamError(MessageText(MessageId::kStreamOutOfMemory));
  }
  bytes.resize(Read(bytes.data(), bytes.size()));
  return bytes;
}

std::shared_ptr<PixelStore> InputFile::ViewPixels(std::uint64_t offset, std::size_t size) const {
  if (!viewsAllowed_ || fd_ < 0 || offset > size_ || size > size_ - offset) return nullptr;
  return PixelStore::ViewFile(fd_, offset, size);
}

}  // namespace mozenta
